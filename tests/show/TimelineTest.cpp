// The timeline and the keys, driven through renderFrame and handleKey with a chosen clock.
#include "show/Show.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

struct AdvanceCase {
    const char* name;
    int32_t startScene;
    uint32_t now;
    int32_t expectScene;
    bool expectQuit;
};

class SceneAdvance : public ::testing::TestWithParam<AdvanceCase> {};

TEST_P(SceneAdvance, MovesAlongTheEndTimes) {
    const AdvanceCase& c = GetParam();
    resetTimeline();
    currentScene = c.startScene;
    advanceScene(c.now);
    EXPECT_EQ(currentScene, c.expectScene);
    EXPECT_EQ(quitRequested, c.expectQuit);
}

INSTANTIATE_TEST_SUITE_P(
    Timeline, SceneAdvance,
    ::testing::Values(AdvanceCase{"StartAtZero", 0, 0, 0, false},
                      AdvanceCase{"EqualToEndKeepsScene", 0, 7180, 0, false},
                      AdvanceCase{"OneMoreMillisecondMovesOn", 0, 7181, 1, false},
                      AdvanceCase{"LateFirstFramePassesSeveral", 0, 57363, 4, false},
                      AdvanceCase{"LongFrameStopsAtTheRightScene", 5, 100304, 10, false},
                      AdvanceCase{"EndOfScene19Keeps", 19, 165000, 19, false},
                      AdvanceCase{"PastTheLastEndQuits", 19, 165001, 20, true},
                      AdvanceCase{"VeryLateFirstFrameQuits", 0, 400000, 20, true},
                      AdvanceCase{"SkippedSceneRunsToItsOwnEnd", 7, 70000, 7, false},
                      AdvanceCase{"AtTwentyQuitsWithoutMoving", 20, 0, 20, true},
                      AdvanceCase{"AboveTwentyNeverMovesOrQuits", 21, 200000, 21, false}),
    [](const ::testing::TestParamInfo<AdvanceCase>& info) { return info.param.name; });

TEST(Timeline, EndTimesAreIncreasingAndEndAt165000) {
    for (int i = 1; i < SceneCount; ++i) {
        EXPECT_LT(SceneEndTimes[i - 1], SceneEndTimes[i]) << "scene " << i;
    }
    EXPECT_EQ(SceneEndTimes[0], 7180u);
    EXPECT_EQ(SceneEndTimes[SceneCount - 1], 165000u);
}

// Key messages as the poll delivers them: key-down and key-up carry the same code.
struct KeyCase {
    const char* name;
    std::vector<int> keys;
    int32_t expectScene;
    bool expectQuit;
    int32_t expectCount;
    std::string expectOutput; // "" or "clock" when Space printed a line
};

class Keys : public ::testing::TestWithParam<KeyCase> {};

TEST_P(Keys, ActOnEverySecondCountedMessage) {
    const KeyCase& c = GetParam();
    resetTimeline();
    currentScene = 5;
    testing::internal::CaptureStdout();
    for (int key : c.keys) {
        handleKey(key);
    }
    std::string out = testing::internal::GetCapturedStdout();
    EXPECT_EQ(currentScene, c.expectScene);
    EXPECT_EQ(quitRequested, c.expectQuit);
    EXPECT_EQ(keyMessageCount, c.expectCount);
    if (c.expectOutput.empty()) {
        EXPECT_EQ(out, "");
    } else {
        // One signed decimal and a newline per acting Space message.
        size_t lines = 0;
        for (char ch : out) {
            lines += ch == '\n';
        }
        EXPECT_EQ(std::to_string(lines), c.expectOutput) << out;
        EXPECT_NE(out.find_first_of("0123456789"), std::string::npos);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Timeline, Keys,
    ::testing::Values(KeyCase{"EnterDownOnlyCounts", {13}, 5, false, 1, ""},
                      KeyCase{"EnterPressActsOnKeyUp", {13, 13}, 6, false, 2, ""},
                      KeyCase{"TwoEnterPresses", {13, 13, 13, 13}, 7, false, 4, ""},
                      KeyCase{"SpacePressPrintsOnce", {32, 32}, 5, false, 2, "1"},
                      KeyCase{"OddCountShiftsParity", {32, 13, 13}, 6, false, 3, ""},
                      KeyCase{"SpaceAfterOddEnterActsOnKeyDown", {13, 32}, 5, false, 2, "1"},
                      KeyCase{"EscQuitsWithoutCounting", {27}, 5, true, 0, ""},
                      KeyCase{"OtherKeysAndNothingDoNothing", {0, 65, 0, 97}, 5, false, 0, ""}),
    [](const ::testing::TestParamInfo<KeyCase>& info) { return info.param.name; });

TEST(Timeline, EnterInScene19EndsTheShowOnTheNextAdvance) {
    resetTimeline();
    currentScene = 19;
    handleKey(13);
    handleKey(13);
    EXPECT_EQ(currentScene, 20);
    EXPECT_FALSE(quitRequested);
    advanceScene(160000);
    EXPECT_TRUE(quitRequested);
    EXPECT_EQ(currentScene, 20);
}

TEST(Timeline, SkipSceneHasNoBound) {
    resetTimeline();
    currentScene = 20;
    skipScene();
    EXPECT_EQ(currentScene, 21);
}

} // namespace
