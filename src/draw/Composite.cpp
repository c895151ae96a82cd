// Placeholder until the composite lands.
#include "draw/Composite.h"

int32_t compositeMode = 0;
uint32_t compositeBaseTime = 0;
uint32_t bangTexture = 0;
uint32_t darkTexture = 0;
uint32_t lightTexture = 0;
uint32_t womanfrontTexture = 0;

bool loadCompositeTextures() {
    return true;
}
void setCompositeBaseTime(uint32_t now) {
    compositeBaseTime = now;
}
void drawComposite(uint32_t) {}
