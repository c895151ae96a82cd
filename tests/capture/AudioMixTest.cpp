// The capture's sound track: streams placed at their start samples, summed, saturated, and cut
// to the captured range.
#include "AudioMix.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

// Stereo frames whose left channel counts 1, 2, 3 ... tenths and whose right is its negative, so
// every output sample tells which input frame it came from.
std::vector<float> countingSound(int frames) {
    std::vector<float> s;
    for (int i = 1; i <= frames; ++i) {
        s.push_back(0.1f * float(i));
        s.push_back(-0.1f * float(i));
    }
    return s;
}

std::vector<float> leftChannel(const std::vector<float>& stereo) {
    std::vector<float> left;
    for (size_t i = 0; i < stereo.size(); i += 2) {
        left.push_back(stereo[i]);
    }
    return left;
}

TEST(AudioMix, SoundStartsAtItsSampleWithSilenceAround) {
    std::vector<float> cue = countingSound(3);
    std::vector<float> mix = mixSounds({{&cue, 102}}, 100, 107);
    ASSERT_EQ(mix.size(), 14u);
    std::vector<float> want = {0, 0, 0.1f, 0.2f, 0.3f, 0, 0};
    std::vector<float> left = leftChannel(mix);
    for (size_t i = 0; i < want.size(); ++i) {
        EXPECT_FLOAT_EQ(left[i], want[i]) << "frame " << i;
        EXPECT_FLOAT_EQ(mix[2 * i + 1], -want[i]) << "frame " << i;
    }
}

TEST(AudioMix, RangeCutsSoundsThatStartedBeforeItOrRunPastIt) {
    std::vector<float> music = countingSound(5);
    // Music from sample 0; the range takes its frames 2 and 3 (values 0.3 and 0.4).
    std::vector<float> left = leftChannel(mixSounds({{&music, 0}}, 2, 4));
    ASSERT_EQ(left.size(), 2u);
    EXPECT_FLOAT_EQ(left[0], 0.3f);
    EXPECT_FLOAT_EQ(left[1], 0.4f);
    // A range wholly before or after the sound is silent and still as long as asked.
    for (auto range : {std::pair<int64_t, int64_t>{-10, 0}, {5, 9}}) {
        std::vector<float> mix = mixSounds({{&music, 0}}, range.first, range.second);
        ASSERT_EQ(mix.size(), size_t(range.second - range.first) * 2);
        for (float s : mix) {
            EXPECT_EQ(s, 0.0f);
        }
    }
}

TEST(AudioMix, OverlappingSoundsAddAndSaturate) {
    std::vector<float> quiet = {0.25f, -0.25f, 0.25f, -0.25f};
    std::vector<float> loud = {0.9f, -0.9f, 0.9f, -0.9f};
    std::vector<float> mix = mixSounds({{&quiet, 0}, {&quiet, 1}, {&loud, 1}}, 0, 3);
    ASSERT_EQ(mix.size(), 6u);
    EXPECT_FLOAT_EQ(mix[0], 0.25f); // the first quiet sound alone
    EXPECT_FLOAT_EQ(mix[1], -0.25f);
    EXPECT_FLOAT_EQ(mix[2], 1.0f); // 0.25 + 0.25 + 0.9 saturates
    EXPECT_FLOAT_EQ(mix[3], -1.0f);
    EXPECT_FLOAT_EQ(mix[4], 1.0f); // 0.25 + 0.9, the first sound over
    EXPECT_FLOAT_EQ(mix[5], -1.0f);
}

} // namespace
