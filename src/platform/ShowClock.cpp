#include "platform/ShowClock.h"

#include <chrono>

namespace {
const std::chrono::steady_clock::time_point processStart = std::chrono::steady_clock::now();
ShowClockSource clockSource = nullptr;
} // namespace

uint32_t readShowClock() {
    if (clockSource) {
        return clockSource();
    }
    auto elapsed = std::chrono::steady_clock::now() - processStart;
    return static_cast<uint32_t>(
        std::chrono::duration_cast<std::chrono::milliseconds>(elapsed).count());
}

void setShowClockSource(ShowClockSource source) {
    clockSource = source;
}
