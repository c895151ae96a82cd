#pragma once
// What each of the twenty scenes draws, given the frame's show-clock value.
#include <cstdint>

// Draws scene `scene` (0 to 19) for clock value `now`; anything above 19 draws nothing.
void drawScene(int32_t scene, uint32_t now);
