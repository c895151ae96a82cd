#pragma once
// What each of the twenty scenes draws, given the frame's show-clock value.
#include <cstdint>

// Per-scene state, set at process start and changed only while its scene is drawn. A scene's
// first frame is the first frame on which drawScene draws it; each scene has at most one.
extern int32_t scene2CueDone;       // scene 2 has started "data/intro.wav"
extern float scene3StartTime;       // show clock of scene 3's first frame; 0.0 until then
extern int32_t scene4FlickerCount;  // frames drawn by scene 4
extern int32_t scene5CueDone;       // scene 5 has started "data/kest.wav"
extern int32_t scene11FlickerCount; // frames drawn by scene 11
extern int32_t scene13BaseSet;      // scenes 13, 15, 16 and 18 have restarted the composite phase
extern int32_t scene15BaseSet;
extern int32_t scene16BaseSet;
extern int32_t scene18BaseSet;

// Draws scene `scene` (0 to 19) for clock value `now`; anything above 19 draws nothing.
void drawScene(int32_t scene, uint32_t now);

// Test hook: the scene state, and the composite's mode and phase, as at process start.
void resetSceneState();
