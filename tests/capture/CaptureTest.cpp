// show-capture as a user runs it, on the small test pack: the frames, the sound track and the
// pictures it writes, and how it fails.
#include "PngFile.h"
#include "TestPack.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <cstdlib>
#include <filesystem>
#include <sys/wait.h>

namespace fs = std::filesystem;
using testsupport::Rgb;
using testsupport::testPackColour;

namespace {

struct CaptureRun {
    int status;
    std::string err;
};

// Runs show-capture in `dir` with `args`, with `env` (NAME=value ...) added to its environment.
// `err` holds what it wrote to standard error and standard output.
CaptureRun capture(const std::string& dir, const std::string& args, const std::string& env = "") {
    const std::string errFile = dir + "/capture-output.txt";
    const std::string command = "cd '" + dir + "' && env " + env + " '" SHOW_CAPTURE_PATH "' " +
                                args + " >'" + errFile + "' 2>&1";
    int raw = std::system(command.c_str());
    auto bytes = testsupport::readBytes(errFile);
    return CaptureRun{WIFEXITED(raw) ? WEXITSTATUS(raw) : -1,
                      std::string(bytes.begin(), bytes.end())};
}

// Everything a command writes to standard output.
std::vector<uint8_t> commandOutput(const std::string& command) {
    std::vector<uint8_t> out;
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) {
        return out;
    }
    uint8_t buffer[65536];
    size_t n;
    while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0) {
        out.insert(out.end(), buffer, buffer + n);
    }
    pclose(pipe);
    return out;
}

// The colour at (x, y) of a top-row-first RGB picture.
Rgb pixelAt(const std::vector<uint8_t>& rgb, int width, int x, int y) {
    size_t i = (size_t(y) * width + x) * 3;
    return Rgb{rgb[i], rgb[i + 1], rgb[i + 2]};
}

constexpr int Width = 160;
constexpr int Height = 90;

// A picture of the parade in scene 3 at this size has the unicorn sprites near the bottom (the
// parade runs at y = -0.65 to -0.15, rows 52 to 74 from the top) and only the background above.
void expectParadeAtTheBottom(const std::vector<uint8_t>& rgb, int spriteColumn, int tolerance) {
    const Rgb background = testPackColour("data/unicycles_background.tga");
    const Rgb unicorn = testPackColour("data/unibrowed_unicorn_on_unicycle.tga");
    Rgb low = pixelAt(rgb, Width, spriteColumn, 63);
    Rgb high = pixelAt(rgb, Width, spriteColumn, 20);
    EXPECT_TRUE(testsupport::near(low, unicorn, tolerance)) << "row 63: " << describe(low);
    EXPECT_TRUE(testsupport::near(high, background, tolerance)) << "row 20: " << describe(high);
}

bool readPicture(const std::string& path, std::vector<uint8_t>& rgb) {
    int w = 0, h = 0;
    std::string error;
    if (!readPng(path, w, h, rgb, error)) {
        ADD_FAILURE() << error;
        return false;
    }
    EXPECT_EQ(w, Width);
    EXPECT_EQ(h, Height);
    return w == Width && h == Height;
}

// One video around the start of scene 3, at 60 fps: frames 1038 to 1073 (clock 17300 to 17883).
// Scene 3 begins on frame 1050, the first past 17485 ms, at clock 17500, and its first frame
// starts data/soap.wav (330 Hz, 0.3 s): 200 ms into the video.
class VideoCapture : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        pack_ = new testsupport::TempDir();
        testsupport::writeTestPack(pack_->path());
        run_ = new CaptureRun(
            capture(pack_->path(), "--out clip.mp4 --size 160x90 --from 17300 --to 17900"));
    }
    static void TearDownTestSuite() {
        delete run_;
        delete pack_;
    }
    void SetUp() override { ASSERT_EQ(run_->status, 0) << run_->err; }
    static std::string video() { return pack_->file("clip.mp4"); }

    static testsupport::TempDir* pack_;
    static CaptureRun* run_;
};
testsupport::TempDir* VideoCapture::pack_ = nullptr;
CaptureRun* VideoCapture::run_ = nullptr;

TEST_F(VideoCapture, HoldsOneFramePerClockStepAndSoundAsLongAsTheFrames) {
    auto out = commandOutput("ffprobe -v error -count_frames -show_entries "
                             "stream=codec_type,codec_name,nb_read_frames,width,height,pix_fmt,"
                             "duration,sample_rate,channels -of compact '" +
                             video() + "'");
    std::string text(out.begin(), out.end());
    // One line a stream; the fields in ffprobe's order.
    EXPECT_NE(text.find("codec_name=h264|codec_type=video|width=160|height=90|pix_fmt=yuv420p|"
                        "duration=0.600000|nb_read_frames=36\n"),
              std::string::npos)
        << text;
    EXPECT_NE(text.find("codec_type=audio|sample_rate=44100|channels=2|duration=0.600000|"),
              std::string::npos)
        << text;
}

TEST_F(VideoCapture, SceneChangesOnItsFirstFrameWithRowsTopFirst) {
    auto frames = commandOutput("ffmpeg -v error -i '" + video() +
                                "' -map 0:v:0 -f rawvideo -pix_fmt rgb24 -");
    const size_t frameBytes = size_t(Width) * Height * 3;
    ASSERT_EQ(frames.size(), 36 * frameBytes);
    auto frame = [&](int k) {
        return std::vector<uint8_t>(frames.begin() + k * frameBytes,
                                    frames.begin() + (k + 1) * frameBytes);
    };
    // Frame 11 (clock 17483) is still scene 2, the full-screen news logo.
    Rgb last2 = pixelAt(frame(11), Width, 20, 63);
    EXPECT_TRUE(testsupport::near(last2, testPackColour("data/newslogo.tga"), 8))
        << describe(last2);
    // Frame 12 (clock 17500) is scene 3: the parade's leading sprites at the left, x -0.6 to
    // -0.35 (columns 32 to 52).
    expectParadeAtTheBottom(frame(12), 42, 8);
}

TEST_F(VideoCapture, SoundTrackHoldsTheCueFromTheFrameThatStartedIt) {
    auto bytes =
        commandOutput("ffmpeg -v error -i '" + video() + "' -map 0:a:0 -f f32le -ac 2 -ar 44100 -");
    // The left channel; the cues play alike on both.
    std::vector<float> s(bytes.size() / sizeof(float) / 2);
    for (size_t i = 0; i < s.size(); ++i) {
        std::memcpy(&s[i], &bytes[i * 2 * sizeof(float)], sizeof(float));
    }
    // 0.6 s, give or take the encoder's last block.
    ASSERT_GT(s.size(), 26000u);

    size_t onset = 0;
    while (onset < s.size() && std::fabs(s[onset]) < 0.05f) {
        ++onset;
    }
    // The cue begins at clock 17500: 8820 samples after the range's first frame.
    EXPECT_NEAR(double(onset), 8820.0, 90.0) << "onset sample";

    // Within the cue: the sine of data/soap.wav, 330 Hz at amplitude 0.2.
    int crossings = 0;
    float peak = 0;
    for (size_t i = 9261; i < 21609; ++i) { // 210 to 490 ms
        if ((s[i - 1] < 0) != (s[i] < 0)) {
            ++crossings;
        }
        peak = std::max(peak, std::fabs(s[i]));
    }
    const double hz = crossings / 2.0 / 0.28;
    EXPECT_NEAR(hz, 330.0, 8.0);
    EXPECT_NEAR(peak, 0.2, 0.03);

    // Silence before the cue (the 2 s music ended long ago) and after its 0.3 s.
    auto loudest = [&](size_t from, size_t to) {
        float m = 0;
        for (size_t i = from; i < to && i < s.size(); ++i) {
            m = std::max(m, std::fabs(s[i]));
        }
        return m;
    };
    EXPECT_LT(loudest(0, 8500), 0.02f);
    EXPECT_LT(loudest(22500, 26000), 0.02f);
}

// PNG frames around the start of scene 4 at 30 fps, whose snow flicker shows a different picture
// on every frame: frames 1719 and 1720 are scene 3; scene 4 begins on frame 1721 (57366 ms).
class PictureCapture : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        pack_ = new testsupport::TempDir();
        testsupport::writeTestPack(pack_->path());
        run_ = new CaptureRun(capture(
            pack_->path(), "--frames frames --fps 30 --size 160x90 --from 57300 --to 57500"));
    }
    static void TearDownTestSuite() {
        delete run_;
        delete pack_;
    }
    void SetUp() override { ASSERT_EQ(run_->status, 0) << run_->err; }
    static std::string frame(int n) {
        char name[40];
        std::snprintf(name, sizeof name, "frames/frame-%06d.png", n);
        return pack_->file(name);
    }

    static testsupport::TempDir* pack_;
    static CaptureRun* run_;
};
testsupport::TempDir* PictureCapture::pack_ = nullptr;
CaptureRun* PictureCapture::run_ = nullptr;

TEST_F(PictureCapture, WritesTheRangesFramesByNumber) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(pack_->file("frames"))) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"frame-001719.png", "frame-001720.png",
                                               "frame-001721.png", "frame-001722.png",
                                               "frame-001723.png", "frame-001724.png"}));

    std::vector<uint8_t> rgb;
    ASSERT_TRUE(readPicture(frame(1719), rgb));
    // Clock 57300: the parade's last sprite stands at x 0.786 to 1 (columns 143 to 159).
    expectParadeAtTheBottom(rgb, 152, 3);
    // The flicker counts its own frames: snow2, snow3, snow, snow2.
    const char* flicker[] = {"data/snow2.tga", "data/snow3.tga", "data/snow.tga", "data/snow2.tga"};
    for (int k = 0; k < 4; ++k) {
        ASSERT_TRUE(readPicture(frame(1721 + k), rgb));
        Rgb c = pixelAt(rgb, Width, 80, 45);
        EXPECT_TRUE(testsupport::near(c, testPackColour(flicker[k]))) << k << ": " << describe(c);
    }
}

struct StillCase {
    const char* name;
    int fps;
    uint32_t atMs;
    const char* picture; // the snow picture the flicker shows then
    int sameAsFrame;     // the --frames picture at 30 fps it must equal, or -1
};

class StillAt : public PictureCapture, public ::testing::WithParamInterface<StillCase> {};

TEST_P(StillAt, IsTheFrameTheShowDrawsAfterTheFramesBeforeIt) {
    const StillCase& c = GetParam();
    const std::string out = std::string(c.name) + ".png";
    CaptureRun run =
        capture(pack_->path(), "--at " + std::to_string(c.atMs) + " --fps " +
                                   std::to_string(c.fps) + " --size 160x90 --out " + out);
    ASSERT_EQ(run.status, 0) << run.err;
    std::vector<uint8_t> still;
    ASSERT_TRUE(readPicture(pack_->file(out), still));
    Rgb centre = pixelAt(still, Width, 80, 45);
    EXPECT_TRUE(testsupport::near(centre, testPackColour(c.picture))) << describe(centre);
    if (c.sameAsFrame >= 0) {
        std::vector<uint8_t> inRange;
        ASSERT_TRUE(readPicture(frame(c.sameAsFrame), inRange));
        EXPECT_TRUE(still == inRange) << "differs from frame " << c.sameAsFrame;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Capture, StillAt,
    ::testing::Values(
        // On the 30 fps grid: the third frame of scene 4.
        StillCase{"ThirdFlickerFrame", 30, 57433, "data/snow.tga", 1723},
        // Between grid frames: three frames of scene 4 before it, so it is the fourth.
        StillCase{"BetweenFrames", 30, 57450, "data/snow2.tga", -1},
        // At 60 fps four frames of scene 4 (57366 to 57416 ms) come before 57433.
        StillCase{"OtherRateOtherCount", 60, 57433, "data/snow3.tga", -1}),
    [](const ::testing::TestParamInfo<StillCase>& info) { return info.param.name; });

struct FailureCase {
    const char* name;
    const char* removed; // a file of the pack to delete first, or ""
    const char* broken;  // a file of the pack to fill with bytes that are no sound, or ""
    const char* args;
    const char* env;
    int status;
    const char* messagePart;
};

class CaptureFailure : public ::testing::TestWithParam<FailureCase> {};

TEST_P(CaptureFailure, StopsWithAMessageNamingTheCause) {
    const FailureCase& c = GetParam();
    testsupport::TempDir pack;
    testsupport::writeTestPack(pack.path());
    if (*c.removed) {
        fs::remove(pack.file(c.removed));
    }
    if (*c.broken) {
        testsupport::writeBytes(pack.file(c.broken), std::vector<uint8_t>(4000, 0x5a));
    }
    CaptureRun run = capture(pack.path(), c.args, c.env);
    EXPECT_EQ(run.status, c.status) << run.err;
    EXPECT_NE(run.err.find(c.messagePart), std::string::npos) << run.err;
    // Nothing is left behind: no output and no temporary files.
    for (const auto& entry : fs::directory_iterator(pack.path())) {
        std::string name = entry.path().filename().string();
        EXPECT_TRUE(name == "data" || name == "capture-output.txt" ||
                    name.find(".tga") != std::string::npos)
            << name;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Capture, CaptureFailure,
    ::testing::Values(
        FailureCase{"MissingCueOfAReachedScene", "data/soap.wav", "",
                    "--out v.mp4 --size 160x90 --from 17000 --to 17600", "", 1,
                    "missing data/soap.wav"},
        // Present but no sound: the show's own audio error, in the middle of the frames.
        FailureCase{"BrokenCueEndsLikeTheShow", "", "data/soap.wav",
                    "--out v.mp4 --size 160x90 --from 17000 --to 17600", "", 1,
                    "Error: Unknown file format"},
        FailureCase{"MissingPicture", "data/unicycles_background.tga", "",
                    "--at 100 --size 160x90 --out a.png", "", 1,
                    "missing data/unicycles_background.tga"},
        FailureCase{"MissingMusic", "data/fast.mp3", "", "--frames f --to 100 --size 160x90", "", 1,
                    "missing data/fast.mp3"},
        FailureCase{"NoFfmpeg", "", "", "--out v.mp4 --size 160x90 --to 100", "PATH=/nonexistent",
                    1, "apt-get install ffmpeg"},
        FailureCase{"FfmpegRefusesTheContainer", "", "", "--out v.webm --size 160x90 --to 100", "",
                    1, "ffmpeg failed"},
        FailureCase{"FaultyOption", "", "", "--out v.mp4 --fps sixty", "", 2, "--fps sixty"}),
    [](const ::testing::TestParamInfo<FailureCase>& info) { return info.param.name; });

TEST(Capture, CueOfASceneOutsideTheRangeIsNotNeeded) {
    testsupport::TempDir pack;
    testsupport::writeTestPack(pack.path());
    fs::remove(pack.file("data/soap.wav"));
    // Scene 3 starts after 17485 ms: a still at 17485 never reaches its cue.
    CaptureRun run = capture(pack.path(), "--at 17485 --fps 10 --size 160x90 --out a.png");
    ASSERT_EQ(run.status, 0) << run.err;
    std::vector<uint8_t> rgb;
    ASSERT_TRUE(readPicture(pack.file("a.png"), rgb));
    Rgb c = pixelAt(rgb, Width, 80, 45);
    EXPECT_TRUE(testsupport::near(c, testPackColour("data/newslogo.tga"))) << describe(c);
}

// The fish tableau instead of the timeline: its sequence counts from the capture's first frame
// (clock 0), and the bang's shake from compositeBaseTime, 0 here.
struct FishCase {
    const char* name;
    int mode;
    uint32_t atMs;
    float x, y;          // a point of the screen, -1 to 1 with y upwards
    const char* picture; // the picture that covers it then
};

class FishCapture : public ::testing::TestWithParam<FishCase> {
  protected:
    static void SetUpTestSuite() {
        pack_ = new testsupport::TempDir();
        testsupport::writeTestPack(pack_->path());
    }
    static void TearDownTestSuite() { delete pack_; }
    static testsupport::TempDir* pack_;
};
testsupport::TempDir* FishCapture::pack_ = nullptr;

#if SHOW_CAPTURE_HAS_FISH
TEST_P(FishCapture, ShowsTheTableausLayersOnTime) {
    const FishCase& c = GetParam();
    const std::string out = std::string(c.name) + ".png";
    CaptureRun run =
        capture(pack_->path(), "--fish " + std::to_string(c.mode) + " --at " +
                                   std::to_string(c.atMs) + " --fps 30 --size 160x90 --out " + out);
    ASSERT_EQ(run.status, 0) << run.err;
    std::vector<uint8_t> rgb;
    ASSERT_TRUE(readPicture(pack_->file(out), rgb));
    const int px = int((c.x + 1) / 2 * Width);
    const int row = int((1 - c.y) / 2 * Height);
    Rgb got = pixelAt(rgb, Width, px, row);
    EXPECT_TRUE(testsupport::near(got, testPackColour(c.picture))) << describe(got);
}

INSTANTIATE_TEST_SUITE_P(
    Capture, FishCapture,
    ::testing::Values(
        // Mode 0 starts with the second picture over the centre and the fish off screen...
        FishCase{"PanStart", 0, 0, 0.0f, 0.0f, "oss.tga"},
        // ... and after its seven-second pan the centre is background and the fish is in view.
        FishCase{"PanOverBackground", 0, 7500, 0.0f, 0.0f, "rulle.tga"},
        FishCase{"PanOverFish", 0, 7500, 0.8f, -0.5f, "snillfisk.tga"},
        FishCase{"PoniesBetween3And6Seconds", 1, 4000, 0.35f, 0.6f, "omgponies.tga"},
        FishCase{"OtherFishAfter5Seconds", 1, 5500, 0.8f, -0.5f, "flippfisk.tga"},
        FishCase{"BangAfter8Seconds", 1, 9000, 0.0f, 0.0f, "data/bang.tga"}),
    [](const ::testing::TestParamInfo<FishCase>& info) { return info.param.name; });
#else
TEST_F(FishCapture, SaysTheTableauIsNotAvailable) {
    CaptureRun run = capture(pack_->path(), "--fish 1 --at 100 --size 160x90 --out f.png");
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find("not available"), std::string::npos) << run.err;
}
#endif

} // namespace
