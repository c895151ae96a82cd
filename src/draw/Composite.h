#pragma once
// The light-and-shadow composite: draws the whole frame in one of four modes from four pictures
// of its own, timed from compositeBaseTime.
#include <cstdint>

extern int32_t compositeMode;      // 0 to 3; anything else draws a black frame
extern uint32_t compositeBaseTime; // show-clock milliseconds of the current phase's first frame

extern uint32_t bangTexture;
extern uint32_t darkTexture;
extern uint32_t lightTexture;
extern uint32_t womanfrontTexture;

bool loadCompositeTextures();
void setCompositeBaseTime(uint32_t now);
void drawComposite(uint32_t now);
