#pragma once
// Which frames a capture draws and which sound samples go with them. Frame n of a capture at
// `fps` frames per second is drawn for show-clock value floor(n * 1000 / fps) ms, in exact integer
// arithmetic, so every run and every machine draws the same clock values.
#include <cstdint>

constexpr int64_t MixRate = 44100; // sound samples per second of the mixed track

// Show-clock milliseconds of frame n.
uint32_t frameClockMs(int64_t n, int fps);
// The first frame whose clock is at or after `ms`: ceil(ms * fps / 1000).
int64_t firstFrameAtOrAfter(uint32_t ms, int fps);
// Sound sample (at MixRate) where frame n begins on the video's own time line (n / fps seconds),
// rounded down.
int64_t frameStartSample(int64_t n, int fps);
// Sound sample (at MixRate) of show-clock value `ms`, rounded down.
int64_t clockSample(uint32_t ms);

// The frames [first, end) whose clock lies in [fromMs, toMs), and the sound samples
// [firstSample, endSample) that play while they are shown.
struct FramePlan {
    int64_t first = 0;
    int64_t end = 0;
    int64_t firstSample = 0;
    int64_t endSample = 0;
    int64_t frameCount() const { return end - first; }
    int64_t sampleCount() const { return endSample - firstSample; }
};
FramePlan planFrames(uint32_t fromMs, uint32_t toMs, int fps);
