#pragma once
// Start-up, the frame loop, the scene timeline and the three keys.
#include <cstdint>

constexpr int SceneCount = 20;

// Show-clock milliseconds at which each scene ends; scene k starts on the first frame whose clock
// is past the end of scene k - 1.
extern const uint32_t SceneEndTimes[SceneCount];

extern uint32_t showTimeMs;     // the clock value of the frame in progress
extern int32_t currentScene;    // 0 to 19 name a scene, 20 ends the show; only grows
extern bool quitRequested;      // set by Esc or by the end of the timeline; never cleared
extern int32_t keyMessageCount; // key messages counted by Enter and Space together
extern int lastMessage;         // key code of the last message taken (0 for none or another kind)

void requestQuit();
void skipScene();

// Moves currentScene past every scene whose end time is before `now`, requesting the quit at 20.
void advanceScene(uint32_t now);
// One frame's drawing for clock value `now`: clear to black, both matrices to identity, advance,
// draw the current scene. The show's loop and the offline capture both use it.
void renderFrame(uint32_t now);
// Acts on one key code: Esc quits, Enter skips a scene and Space prints the clock, the last two on
// every second message that either counts.
void handleKey(int keyCode);
// Takes at most one window message and acts on its key code.
void pollInput();

// Start-up, then frames until the quit is requested. Returns 0.
int showMain();

// Test hook: the timeline's state as at process start.
void resetTimeline();
