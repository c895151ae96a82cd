// The show's sound start-up over the live layer (SDL's dummy driver): the version gate, the device
// set-up, playStream, and the exact lines and exit status of every audio failure.
#include "SoundFixtures.h"
#include "TestPack.h"
#include "TestSupport.h"

#include "platform/Audio.h"
#include "platform/SoundLayer.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <unistd.h>

using namespace soundfixtures;

namespace {

// In a death test's child: standard output goes to standard error, unbuffered, where the death
// test reads it, and at exit the child reports what the sound layer had been set up with.
void captureOutputAndSetUp() {
    std::fflush(stdout);
    dup2(STDERR_FILENO, STDOUT_FILENO);
    setvbuf(stdout, nullptr, _IONBF, 0);
    std::atexit([] {
        SoundLayerSettings s = soundLayerSettings();
        std::fprintf(stderr, "[output %d, buffer %d, driver %d, init %d]", s.outputType,
                     s.bufferLengthMs, s.driver, int(s.initialised));
    });
}

class AudioTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        // The start-up opens a real device: without a driver named, SDL would try the machine's.
        setenv("SDL_AUDIODRIVER", "dummy", 0);
        ::testing::FLAGS_gtest_death_test_style = "threadsafe";
        pack_ = new testsupport::TempDir();
        testsupport::writeTestPack(pack_->path());
        writeOpenCases(pack_->path());
    }
    static void TearDownTestSuite() { delete pack_; }
    void SetUp() override { soundLayerShutdown(); }
    void TearDown() override { soundLayerShutdown(); }

    static testsupport::TempDir* pack_;
};
testsupport::TempDir* AudioTest::pack_ = nullptr;

TEST(SoundErrorText, EveryCodeHasItsText) {
    const char* const texts[] = {
        "No errors",
        "Cannot call this command after FSOUND_Init.  Call FSOUND_Close first.",
        "This command failed because FSOUND_Init was not called",
        "Error initializing output device.",
        "The output device is already in use and cannot be reused.",
        "Playing the sound failed.",
        "Soundcard does not support the features needed for this soundsystem (16bit stereo "
        "output)",
        "Error setting cooperative level for hardware.",
        "Error creating hardware sound buffer.",
        "File not found",
        "Unknown file format",
        "Error loading file",
        "Not enough memory ",
        "The version number of this file format is not supported",
        "An invalid parameter was passed to this function",
        "Tried to use an EAX command on a non EAX enabled channel or output.",
        "Failed to allocate a new channel",
        "Recording not supported on this device",
        "Required Mediaplayer codec is not installed",
    };
    for (uint32_t code = 0; code < 19; ++code) {
        EXPECT_STREQ(soundErrorText(code), texts[code]) << "code " << code;
    }
    // Above the table, negative codes included, as the unsigned value they become.
    for (uint32_t code : {19u, 20u, 1000u, uint32_t(-1), uint32_t(-16), 0x80000000u}) {
        EXPECT_STREQ(soundErrorText(code), "Unknown error") << "code " << code;
    }
}

TEST_F(AudioTest, VersionBelowTheGateStopsBeforeAnythingIsSetUp) {
    for (float version : {3.70f, 3.7099998f, 1.0f, 0.0f}) {
        SCOPED_TRACE(version);
        EXPECT_EXIT(
            {
                captureOutputAndSetUp();
                soundLayerSetReportedVersion(version);
                initSound();
            },
            ::testing::ExitedWithCode(1),
            "^Error: You have the wrong FMOD version - you should be using FMOD 3\\.71\n"
            "\\[output -1, buffer -1, driver -1, init 0\\]$");
    }
}

TEST_F(AudioTest, VersionAtOrAboveTheGateSetsUpTheDevice) {
    for (float version : {3.71f, 3.72f, 4.0f}) {
        SCOPED_TRACE(version);
        soundLayerSetReportedVersion(version);
        initSound();
        SoundLayerSettings s = soundLayerSettings();
        EXPECT_EQ(s.outputType, 2);
        EXPECT_EQ(s.bufferLengthMs, 200);
        EXPECT_EQ(s.driver, 0);
        EXPECT_TRUE(s.initialised);
        EXPECT_EQ(s.mixRate, 44100);
        EXPECT_EQ(s.maxChannels, 4);
        soundLayerShutdown();
    }
}

TEST_F(AudioTest, NoDeviceEndsWithTheInitError) {
    EXPECT_EXIT(
        {
            captureOutputAndSetUp();
            setenv("SDL_AUDIODRIVER", "no-such-driver", 1);
            initSound();
        },
        ::testing::ExitedWithCode(1),
        "^Error: Error initializing output device\\.\n"
        "\\[output 2, buffer 200, driver 0, init 0\\]$");
}

TEST_F(AudioTest, StreamThatFailsToOpenEndsWithItsErrorLine) {
    struct Case {
        const char* file;
        const char* line;
    };
    const Case cases[] = {
        {"data/missing.mp3", "^Error: File not found\n$"},
        {"notes.wav", "^Error: Unknown file format\n$"},
        // libsndfile's own MP3 probe may warn on stderr first.
        {"cut-first-frame.mp3", "Error: Error loading file\n$"},
    };
    testsupport::ScopedChdir inPack(pack_->path());
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        EXPECT_EXIT(
            {
                initSound();
                std::fflush(stdout);
                dup2(STDERR_FILENO, STDOUT_FILENO);
                playStream(c.file);
                std::printf("playStream returned\n");
            },
            ::testing::ExitedWithCode(1), c.line);
    }
}

TEST_F(AudioTest, PlayStreamStartsEachStreamOnTheNextFreeChannel) {
    testsupport::ScopedChdir inPack(pack_->path());
    initSound();
    playStream("data/fast.mp3");
    FSOUND_STREAM* music = currentStream;
    EXPECT_NE(music, nullptr);
    EXPECT_EQ(currentChannel, 0);
    playStream("data/intro.wav");
    EXPECT_NE(currentStream, music);
    EXPECT_EQ(currentChannel, 1);

    std::vector<StartedStream> started = soundLayerStartedStreams();
    ASSERT_EQ(started.size(), 2u);
    EXPECT_EQ(started[0].fileName, "data/fast.mp3");
    EXPECT_EQ(started[1].fileName, "data/intro.wav");
    EXPECT_LE(started[0].clockMs, started[1].clockMs);
}

} // namespace
