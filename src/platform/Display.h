#pragma once

// The show's only window and its OpenGL context. Results of the windowing calls are not
// examined: if something cannot be made, start-up goes on as if it had been.

// Opens a borderless, always-on-top window covering the primary display at its current
// resolution from (0, 0), makes a double-buffered RGB 8-8-8 compatibility context current
// (no depth, stencil, alpha or accumulation buffer requested) and hides the cursor.
void createDisplay();

// The same context on a hidden window of the given size, for tests and offline capture.
void createHiddenDisplay(int width, int height);

// Takes at most one pending event without waiting. Returns 27, 13 or 32 for Esc, Enter (either)
// and Space on key-down and key-up, the key's own code for other keys, 0 for any other event
// and when nothing is pending.
int pollDisplayKey();

// The handle that presenting needs (the window), and the buffer swap itself.
void* getDisplayDC();
void swapDisplayBuffers(void* dc);

// Size of the drawable in pixels (may exceed the window size on high-DPI screens).
int displayWidth();
int displayHeight();

// Test hooks: put a key-down (down = true) or key-up event for `keyCode`, or an event of another
// kind, into the event queue.
void pushDisplayKeyEvent(int keyCode, bool down);
void pushDisplayOtherEvent();
