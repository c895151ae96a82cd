// The offline sound layer that the capture tool and the scene tests link: files fail at once with
// the live layer's codes, channels are held for as long as each sound lasts on the show clock,
// and every start is recorded with the clock value it started at.
#include "SoundFixtures.h"
#include "TestPack.h"
#include "TestSupport.h"

#include "platform/ShowClock.h"
#include "platform/SoundLayer.h"

#include <gtest/gtest.h>

#include <cstdlib>

using namespace soundfixtures;

namespace {

uint32_t virtualClock = 0;
uint32_t readVirtualClock() {
    return virtualClock;
}

class OfflineSoundTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        pack_ = new testsupport::TempDir();
        testsupport::writeTestPack(pack_->path());
        openCases_ = new std::vector<OpenCase>(writeOpenCases(pack_->path()));
    }
    static void TearDownTestSuite() {
        delete openCases_;
        delete pack_;
    }
    void SetUp() override {
        soundLayerShutdown();
        virtualClock = 0;
        setShowClockSource(readVirtualClock);
    }
    void TearDown() override {
        setShowClockSource(nullptr);
        soundLayerShutdown();
    }

    static FSOUND_STREAM* open(const std::string& name) {
        FSOUND_STREAM* stream =
            FSOUND_Stream_Open(pack_->file(name).c_str(), FSOUND_NONBLOCKING, 0, 0);
        EXPECT_EQ(FSOUND_Stream_GetOpenState(stream), 0) << name;
        return stream;
    }

    static testsupport::TempDir* pack_;
    static std::vector<OpenCase>* openCases_;
};
testsupport::TempDir* OfflineSoundTest::pack_ = nullptr;
std::vector<OpenCase>* OfflineSoundTest::openCases_ = nullptr;

TEST_F(OfflineSoundTest, OpenStateIsFinalAtOnceWithTheLiveCodes) {
    ASSERT_TRUE(FSOUND_Init(44100, 4, 0));
    for (const OpenCase& c : *openCases_) {
        SCOPED_TRACE(c.label);
        FSOUND_STREAM* stream =
            FSOUND_Stream_Open(pack_->file(c.file).c_str(), FSOUND_NONBLOCKING, 0, 0);
        ASSERT_NE(stream, nullptr);
        EXPECT_EQ(FSOUND_Stream_GetOpenState(stream), c.error == 0 ? 0 : -1);
        if (c.error != 0) {
            EXPECT_EQ(FSOUND_GetError(), c.error);
        }
    }
}

TEST_F(OfflineSoundTest, InitNeedsNoDevice) {
    setenv("SDL_AUDIODRIVER", "no-such-driver", 1);
    EXPECT_TRUE(FSOUND_Init(44100, 4, 0));
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    EXPECT_TRUE(soundLayerSettings().initialised);
}

TEST_F(OfflineSoundTest, RecordsEachStartWithItsClockAndChannel) {
    ASSERT_TRUE(FSOUND_Init(44100, 4, 0));
    FSOUND_STREAM* music = open("data/fast.mp3");
    FSOUND_STREAM* intro = open("data/intro.wav");
    FSOUND_STREAM* soap = open("data/soap.wav");
    virtualClock = 40;
    EXPECT_EQ(FSOUND_Stream_Play(FSOUND_FREE, music), 0);
    // The music lasts 2000 ms, each cue 300 ms.
    virtualClock = 1000;
    EXPECT_EQ(FSOUND_Stream_Play(FSOUND_FREE, intro), 1);
    virtualClock = 1400;
    EXPECT_EQ(FSOUND_Stream_Play(FSOUND_FREE, soap), 1) << "the intro cue has ended by now";

    std::vector<StartedStream> started = soundLayerStartedStreams();
    ASSERT_EQ(started.size(), 3u);
    const StartedStream expected[] = {
        {pack_->file("data/fast.mp3"), 40, 0},
        {pack_->file("data/intro.wav"), 1000, 1},
        {pack_->file("data/soap.wav"), 1400, 1},
    };
    for (size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(started[i].fileName, expected[i].fileName);
        EXPECT_EQ(started[i].clockMs, expected[i].clockMs);
        EXPECT_EQ(started[i].channel, expected[i].channel);
    }
}

TEST_F(OfflineSoundTest, ChannelsAreHeldForTheLengthOfTheSound) {
    ASSERT_TRUE(FSOUND_Init(44100, 4, 0));
    // The music lasts 2000 ms, each cue 300 ms.
    FSOUND_STREAM* streams[] = {open("data/fast.mp3"), open("data/intro.wav"),
                                open("data/soap.wav"), open("data/kest.wav"),
                                open("data/intro.wav")};
    virtualClock = 1000;
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(FSOUND_Stream_Play(FSOUND_FREE, streams[i]), i);
    }
    virtualClock = 1299;
    EXPECT_EQ(FSOUND_Stream_Play(FSOUND_FREE, streams[4]), -1);
    EXPECT_EQ(FSOUND_GetError(), SoundErrChannelAlloc);
    virtualClock = 1300;
    EXPECT_EQ(FSOUND_Stream_Play(FSOUND_FREE, streams[4]), 1);
    EXPECT_EQ(soundLayerStartedStreams().size(), 5u) << "a refused start is not recorded";
}

TEST_F(OfflineSoundTest, ChannelLengthHoldsAcrossAClockWrap) {
    ASSERT_TRUE(FSOUND_Init(44100, 1, 0));
    FSOUND_STREAM* first = open("data/intro.wav");
    FSOUND_STREAM* second = open("data/intro.wav");
    virtualClock = 0xffffff00u;
    ASSERT_EQ(FSOUND_Stream_Play(FSOUND_FREE, first), 0);
    virtualClock = 0x20; // 288 ms later
    EXPECT_EQ(FSOUND_Stream_Play(FSOUND_FREE, second), -1);
    virtualClock = 0x2c; // 300 ms later
    EXPECT_EQ(FSOUND_Stream_Play(FSOUND_FREE, second), 0);
}

TEST_F(OfflineSoundTest, PlaysWithoutInit) {
    // Scene tests drive the cues without the start-up steps.
    FSOUND_STREAM* streams[] = {open("data/intro.wav"), open("data/soap.wav"),
                                open("data/kest.wav"), open("data/intro.wav"),
                                open("data/soap.wav")};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(FSOUND_Stream_Play(FSOUND_FREE, streams[i]), i);
    }
    EXPECT_EQ(FSOUND_Stream_Play(FSOUND_FREE, streams[4]), -1) << "four channels by default";
}

} // namespace
