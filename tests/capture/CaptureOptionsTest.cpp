// The command line of show-capture: what each accepted form captures, and that every faulty one is
// refused with a message naming what is wrong.
#include "CaptureOptions.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

ParsedOptions parse(std::vector<const char*> args) {
    args.insert(args.begin(), "show-capture");
    return parseCaptureOptions(int(args.size()), args.data());
}

struct AcceptCase {
    const char* name;
    std::vector<const char*> args;
    CaptureOutput output;
    int fps, width, height;
    uint32_t fromMs, toMs, atMs;
    int fish;
};

class AcceptedCommandLine : public ::testing::TestWithParam<AcceptCase> {};

TEST_P(AcceptedCommandLine, GivesTheCapture) {
    const AcceptCase& c = GetParam();
    ParsedOptions parsed = parse(c.args);
    ASSERT_TRUE(parsed.ok) << parsed.error;
    const CaptureOptions& o = parsed.options;
    EXPECT_EQ(o.output, c.output);
    EXPECT_EQ(o.fps, c.fps);
    EXPECT_EQ(o.width, c.width);
    EXPECT_EQ(o.height, c.height);
    if (c.output != CaptureOutput::Still) {
        EXPECT_EQ(o.fromMs, c.fromMs);
        EXPECT_EQ(o.toMs, c.toMs);
    } else {
        EXPECT_EQ(o.atMs, c.atMs);
    }
    EXPECT_EQ(o.fish, c.fish);
}

INSTANTIATE_TEST_SUITE_P(
    CaptureOptions, AcceptedCommandLine,
    ::testing::Values(AcceptCase{"VideoDefaultsToTheWholeShow",
                                 {"--out", "show.mp4"},
                                 CaptureOutput::Video,
                                 60,
                                 1920,
                                 1080,
                                 0,
                                 165000,
                                 0,
                                 -1},
                      AcceptCase{"VideoRangeSizeAndRate",
                                 {"--out=a.mkv", "--fps", "25", "--size", "160x90", "--from",
                                  "12000", "--to", "13500"},
                                 CaptureOutput::Video,
                                 25,
                                 160,
                                 90,
                                 12000,
                                 13500,
                                 0,
                                 -1},
                      AcceptCase{"FramesFolder",
                                 {"--frames", "out", "--to", "500", "--size=32X18"},
                                 CaptureOutput::Frames,
                                 60,
                                 32,
                                 18,
                                 0,
                                 500,
                                 0,
                                 -1},
                      AcceptCase{"OddSizeIsFineForPictures",
                                 {"--frames", "out", "--size", "33x17"},
                                 CaptureOutput::Frames,
                                 60,
                                 33,
                                 17,
                                 0,
                                 165000,
                                 0,
                                 -1},
                      AcceptCase{"StillAtTheLastDrawnClock",
                                 {"--at", "165000", "--out", "end.PNG"},
                                 CaptureOutput::Still,
                                 60,
                                 1920,
                                 1080,
                                 0,
                                 0,
                                 165000,
                                 -1},
                      AcceptCase{"FishTableauHasItsOwnLength",
                                 {"--fish", "1", "--out", "fish.mp4"},
                                 CaptureOutput::Video,
                                 60,
                                 1920,
                                 1080,
                                 0,
                                 10000,
                                 0,
                                 1},
                      AcceptCase{
                          "FishRangeMayPassTheShowsEnd",
                          {"--fish", "0", "--frames", "f", "--from", "170000", "--to", "171000"},
                          CaptureOutput::Frames,
                          60,
                          1920,
                          1080,
                          170000,
                          171000,
                          0,
                          0},
                      AcceptCase{"HighestRate",
                                 {"--frames", "f", "--fps", "1000", "--to", "3"},
                                 CaptureOutput::Frames,
                                 1000,
                                 1920,
                                 1080,
                                 0,
                                 3,
                                 0,
                                 -1}),
    [](const ::testing::TestParamInfo<AcceptCase>& info) { return info.param.name; });

struct RefuseCase {
    const char* name;
    std::vector<const char*> args;
    const char* messagePart; // the message must name the fault
};

class RefusedCommandLine : public ::testing::TestWithParam<RefuseCase> {};

TEST_P(RefusedCommandLine, SaysWhy) {
    const RefuseCase& c = GetParam();
    ParsedOptions parsed = parse(c.args);
    EXPECT_FALSE(parsed.ok);
    EXPECT_NE(parsed.error.find(c.messagePart), std::string::npos) << parsed.error;
}

INSTANTIATE_TEST_SUITE_P(
    CaptureOptions, RefusedCommandLine,
    ::testing::Values(
        RefuseCase{"NoOutput", {"--fps", "30"}, "--out FILE"},
        RefuseCase{"UnknownOption", {"--out", "a.mp4", "--speed", "2"}, "unknown option --speed"},
        RefuseCase{"ValueMissingAtTheEnd", {"--out"}, "--out needs a value"},
        RefuseCase{"ZeroRate", {"--out", "a.mp4", "--fps", "0"}, "--fps 0"},
        RefuseCase{"RateAboveOneFramePerMs", {"--out", "a.mp4", "--fps", "1001"}, "--fps 1001"},
        RefuseCase{"NegativeRate", {"--out", "a.mp4", "--fps", "-60"}, "--fps -60"},
        RefuseCase{"RateWithTrailingText", {"--out", "a.mp4", "--fps", "60fps"}, "--fps 60fps"},
        RefuseCase{"SizeWithoutHeight", {"--out", "a.mp4", "--size", "640"}, "--size 640"},
        RefuseCase{"ZeroWidth", {"--frames", "f", "--size", "0x90"}, "--size 0x90"},
        RefuseCase{"OddVideoSize", {"--out", "a.mp4", "--size", "161x90"}, "even width"},
        RefuseCase{"FramesAndOut", {"--out", "a.mp4", "--frames", "f"}, "give one"},
        RefuseCase{"StillWithoutPngName", {"--at", "5000", "--out", "a.mp4"}, "FILE.png"},
        RefuseCase{"StillWithoutOut", {"--at", "5000"}, "FILE.png"},
        RefuseCase{"StillIntoFrames", {"--at", "5000", "--frames", "f"}, "--frames"},
        RefuseCase{"StillWithRange",
                   {"--at", "5000", "--out", "a.png", "--to", "6000"},
                   "no --from or --to"},
        RefuseCase{"VideoNamedPng", {"--out", "a.png"}, "--at MS"},
        RefuseCase{"StillPastTheShow", {"--at", "165001", "--out", "a.png"}, "--at 165001"},
        RefuseCase{"RangePastTheShow", {"--out", "a.mp4", "--to", "170000"}, "--to 170000"},
        RefuseCase{"ClockTooLargeForThirtyTwoBits",
                   {"--out", "a.mp4", "--from", "4294967296"},
                   "--from 4294967296"},
        RefuseCase{
            "EmptyRange", {"--out", "a.mp4", "--from", "5000", "--to", "5000"}, "range is empty"},
        RefuseCase{"RangeWithoutAFrame",
                   {"--frames", "f", "--fps", "1", "--from", "1", "--to", "999"},
                   "no frame"},
        RefuseCase{"FishModeTwo", {"--out", "a.mp4", "--fish", "2"}, "--fish 2"},
        RefuseCase{"UnknownPreset", {"--out", "a.mp4", "--preset", "quick"}, "--preset quick"}),
    [](const ::testing::TestParamInfo<RefuseCase>& info) { return info.param.name; });

} // namespace
