#pragma once
// The capture's sound track: every stream the show started, placed at the sample of the clock value
// it started at, summed and cut to the captured range.
#include <cstdint>
#include <vector>

// One decoded stream: interleaved stereo float frames at MixRate, starting at `startSample` on the
// show clock's sample scale (sample 0 is clock 0).
struct PlacedSound {
    const std::vector<float>* stereo = nullptr;
    int64_t startSample = 0;
};

// Stereo frames [firstSample, endSample), interleaved. Each output frame is the sum of the streams
// playing at it, clamped to -1 .. 1 as a 16-bit device would saturate; silence where none plays.
std::vector<float> mixSounds(const std::vector<PlacedSound>& sounds, int64_t firstSample,
                             int64_t endSample);
