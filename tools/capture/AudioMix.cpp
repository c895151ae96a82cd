#include "AudioMix.h"

#include <algorithm>

std::vector<float> mixSounds(const std::vector<PlacedSound>& sounds, int64_t firstSample,
                             int64_t endSample) {
    const int64_t count = std::max<int64_t>(0, endSample - firstSample);
    std::vector<float> mix(size_t(count) * 2, 0.0f);
    for (const PlacedSound& sound : sounds) {
        const int64_t frames = int64_t(sound.stereo->size() / 2);
        // The overlap of the sound's frames [start, start + frames) with the range.
        const int64_t from = std::max(firstSample, sound.startSample);
        const int64_t to = std::min(endSample, sound.startSample + frames);
        for (int64_t g = from; g < to; ++g) {
            const size_t in = size_t(g - sound.startSample) * 2;
            const size_t out = size_t(g - firstSample) * 2;
            mix[out] += (*sound.stereo)[in];
            mix[out + 1] += (*sound.stereo)[in + 1];
        }
    }
    for (float& s : mix) {
        s = std::clamp(s, -1.0f, 1.0f);
    }
    return mix;
}
