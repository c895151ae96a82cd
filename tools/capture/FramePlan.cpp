#include "FramePlan.h"

uint32_t frameClockMs(int64_t n, int fps) {
    return static_cast<uint32_t>(n * 1000 / fps);
}

int64_t firstFrameAtOrAfter(uint32_t ms, int fps) {
    // floor(n * 1000 / fps) >= ms exactly when n * 1000 >= ms * fps.
    return (int64_t(ms) * fps + 999) / 1000;
}

int64_t frameStartSample(int64_t n, int fps) {
    return n * MixRate / fps;
}

int64_t clockSample(uint32_t ms) {
    return int64_t(ms) * MixRate / 1000;
}

FramePlan planFrames(uint32_t fromMs, uint32_t toMs, int fps) {
    FramePlan plan;
    plan.first = firstFrameAtOrAfter(fromMs, fps);
    plan.end = toMs > fromMs ? firstFrameAtOrAfter(toMs, fps) : plan.first;
    plan.firstSample = frameStartSample(plan.first, fps);
    plan.endSample = frameStartSample(plan.end, fps);
    return plan;
}
