// Which frames a range holds, the clock each is drawn at, and the sound samples that go with them.
#include "FramePlan.h"

#include <gtest/gtest.h>

namespace {

struct PlanCase {
    const char* name;
    uint32_t fromMs, toMs;
    int fps;
    int64_t first, end, firstSample, endSample;
};

class RangePlan : public ::testing::TestWithParam<PlanCase> {};

TEST_P(RangePlan, HoldsExactlyTheFramesWhoseClockIsInTheRange) {
    const PlanCase& c = GetParam();
    FramePlan plan = planFrames(c.fromMs, c.toMs, c.fps);
    EXPECT_EQ(plan.first, c.first);
    EXPECT_EQ(plan.end, c.end);
    EXPECT_EQ(plan.firstSample, c.firstSample);
    EXPECT_EQ(plan.endSample, c.endSample);

    // The frames on either side of the plan fall outside the range.
    EXPECT_GE(frameClockMs(plan.first, c.fps), c.fromMs);
    if (plan.first > 0) {
        EXPECT_LT(frameClockMs(plan.first - 1, c.fps), c.fromMs);
    }
    EXPECT_LT(frameClockMs(plan.end - 1, c.fps), c.toMs);
    EXPECT_GE(frameClockMs(plan.end, c.fps), c.toMs);
    // The sound lasts as long as the frames, to the sample.
    const double frameSamples = double(plan.frameCount()) * MixRate / c.fps;
    EXPECT_NEAR(double(plan.sampleCount()), frameSamples, 1.0);
}

INSTANTIATE_TEST_SUITE_P(
    FramePlan, RangePlan,
    ::testing::Values(PlanCase{"WholeShowAt60", 0, 165000, 60, 0, 9900, 0, 7276500},
                      PlanCase{"AroundScene2At60", 12900, 13300, 60, 774, 798, 568890, 586530},
                      PlanCase{"RangeOffTheFrameGridAt24", 1, 999, 24, 1, 24, 1837, 44100},
                      PlanCase{"OneSecondAt24", 0, 1000, 24, 0, 24, 0, 44100},
                      PlanCase{"EndOnAFrameIsNotIncluded", 1000, 2000, 30, 30, 60, 44100, 88200},
                      PlanCase{"OneFramePerMillisecond", 7180, 7183, 1000, 7180, 7183, 316638,
                               316770}),
    [](const ::testing::TestParamInfo<PlanCase>& info) { return info.param.name; });

TEST(FramePlan, FrameClocksRoundDownAndNeverRepeat) {
    // 1000 / 60 ms a frame: 16, 33, 50, 66, 83, 100 ...
    EXPECT_EQ(frameClockMs(1, 60), 16u);
    EXPECT_EQ(frameClockMs(2, 60), 33u);
    EXPECT_EQ(frameClockMs(4, 60), 66u);
    EXPECT_EQ(frameClockMs(6, 60), 100u);
    // Scene 2 begins on the first frame past 12981 ms.
    EXPECT_EQ(firstFrameAtOrAfter(12982, 60), 779);
    EXPECT_EQ(frameClockMs(779, 60), 12983u);
    for (int fps : {1, 24, 25, 30, 59, 60, 144, 1000}) {
        for (int64_t n = 1; n < 3000; ++n) {
            ASSERT_LT(frameClockMs(n - 1, fps), frameClockMs(n, fps)) << fps << " fps, frame " << n;
        }
    }
}

TEST(FramePlan, ClockSamplesAt441PerTenMs) {
    EXPECT_EQ(clockSample(0), 0);
    EXPECT_EQ(clockSample(10), 441);
    EXPECT_EQ(clockSample(12983), 572550); // 572550.3 rounded down
    EXPECT_EQ(clockSample(165000), 7276500);
}

} // namespace
