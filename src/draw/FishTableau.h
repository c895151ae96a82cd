#pragma once
// The fish tableau: a second whole-frame renderer with seven pictures of its own. Mode 0 pans the
// background for seven seconds under a bobbing fish; mode 1 rests the background and plays a timed
// sequence: a figure dropping in, timed appearances, and a shaking bang picture after 8 s. The
// mode is the shared compositeMode (values other than 0 and 1 draw a black frame); the sequence is
// timed from the first frame drawn in each mode, the bang's shake from compositeBaseTime.
#include <cstdint>

// OpenGL texture names; 0 until loadFishTextures has run. The files are named without a folder
// and resolved against the working directory.
extern uint32_t omgponiesTexture; // "omgponies.tga"
extern uint32_t ossTexture;       // "oss.tga"
extern uint32_t rulleTexture;     // "rulle.tga", the background
extern uint32_t snillfiskTexture; // "snillfisk.tga"
extern uint32_t flippfiskTexture; // "flippfisk.tga"
extern uint32_t brakkoTexture;    // "brakko.tga"
extern uint32_t shotgunTexture;   // "shotgun.tga"

// Show-clock milliseconds of the first frame drawn in the mode entered last; 0 until then.
extern uint32_t fishStartTime;
extern bool fishMode0Started;
extern bool fishMode1Started;

// Loads the seven pictures in the order above through loadTexture, which ends the process on a
// bad file. Needs a current context. Returns true.
bool loadFishTextures();
// Draws the whole frame for the show-clock time `now` (milliseconds).
void drawFishTableau(uint32_t now);
