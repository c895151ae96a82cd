#pragma once
#include <cstdint>

// Milliseconds of real elapsed time since the process started, on a monotonic clock taken at
// static initialisation. Wraps after about 49 days, like any unsigned 32-bit count.
uint32_t readShowClock();

// Replaces the clock with another source (the offline capture's virtual clock, or a test's);
// nullptr restores the real one.
using ShowClockSource = uint32_t (*)();
void setShowClockSource(ShowClockSource source);
