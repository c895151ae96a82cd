// Placeholder until the scene catalogue lands: every scene is black.
#include "show/Scenes.h"

void drawScene(int32_t, uint32_t) {}
