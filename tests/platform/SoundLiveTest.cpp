// The live sound layer against SDL's disk driver, which writes every buffer the mixer hands it to
// a file: the sound must come out whole, in place, mixed and clipped as it should, with the
// channels handed out and given back. The driver keeps real-time pacing here, so that the workers
// decode against the same deadline as on a sound card.
#include "SoundFixtures.h"
#include "TestPack.h"
#include "TestSupport.h"

#include "platform/SoundFile.h"
#include "platform/SoundLayer.h"
#include "platform/SoundMixerProbe.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <thread>

using namespace soundfixtures;

namespace {

constexpr int Rate = 44100;

// Waits for `done` for at most ten seconds; false if it never came.
template <typename Condition> bool waitFor(Condition done) {
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (!done()) {
        if (std::chrono::steady_clock::now() > deadline) {
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
}

class ScopedEnv {
  public:
    ScopedEnv(const char* name, const char* value) : name_(name) {
        const char* old = std::getenv(name);
        hadValue_ = old != nullptr;
        if (old) {
            old_ = old;
        }
        if (value) {
            setenv(name, value, 1);
        } else {
            unsetenv(name);
        }
    }
    ~ScopedEnv() {
        if (hadValue_) {
            setenv(name_.c_str(), old_.c_str(), 1);
        } else {
            unsetenv(name_.c_str());
        }
    }

  private:
    std::string name_;
    std::string old_;
    bool hadValue_ = false;
};

class LiveSoundTest : public ::testing::Test {
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

    void SetUp() override { soundLayerShutdown(); }
    void TearDown() override { soundLayerShutdown(); }

    static std::string packFile(const std::string& name) { return pack_->file(name); }
    std::string file(const std::string& name) const { return dir_.file(name); }

    void initDisk() {
        FSOUND_SetBufferSize(200);
        ASSERT_TRUE(FSOUND_Init(Rate, 4, 0)) << "error " << FSOUND_GetError();
    }

    static FSOUND_STREAM* openReady(const std::string& path) {
        FSOUND_STREAM* stream = FSOUND_Stream_Open(path.c_str(), FSOUND_NONBLOCKING, 0, 0);
        EXPECT_NE(stream, nullptr);
        EXPECT_TRUE(waitFor([&] { return FSOUND_Stream_GetOpenState(stream) != -2; }));
        EXPECT_EQ(FSOUND_Stream_GetOpenState(stream), 0) << path;
        return stream;
    }

    static void waitEnded(FSOUND_STREAM* stream) {
        ASSERT_TRUE(waitFor([&] { return soundMixerStreamEnded(stream); }));
    }

    // Closes the device and returns all it was given.
    std::vector<int16_t> output() {
        // A gap in the output is either a mixing fault or a worker that fell behind; this tells
        // which.
        underruns_ = soundMixerUnderruns();
        soundLayerShutdown();
        return readDiskOutput(file("out.raw"));
    }

    int64_t underruns_ = 0;
    testsupport::TempDir dir_;
    ScopedEnv driver_{"SDL_AUDIODRIVER", "disk"};
    ScopedEnv outputFile_{"SDL_DISKAUDIOFILE", dir_.file("out.raw").c_str()};
    ScopedEnv pacing_{"SDL_DISKAUDIODELAY", nullptr};

    static testsupport::TempDir* pack_;
    static std::vector<OpenCase>* openCases_;
};
testsupport::TempDir* LiveSoundTest::pack_ = nullptr;
std::vector<OpenCase>* LiveSoundTest::openCases_ = nullptr;

// The file's sound as the mixer quantises it.
std::vector<int16_t> expectedSamples(const std::string& path) {
    DecodedSound decoded = decodeSoundFile(path);
    EXPECT_EQ(decoded.error, 0) << path;
    std::vector<int16_t> samples(decoded.samples.size());
    std::transform(decoded.samples.begin(), decoded.samples.end(), samples.begin(), toSample16);
    return samples;
}

int64_t firstNonSilentFrame(const std::vector<int16_t>& samples) {
    for (size_t i = 0; i < samples.size(); ++i) {
        if (samples[i] != 0) {
            return int64_t(i / 2);
        }
    }
    return -1;
}

// How far the disk file runs ahead of the mixer's frame count: the file also holds the silent
// periods SDL writes while the device is still paused, which the mixer never sees.
// `firstSoundFrame` is the mixer frame of the first sample that is not silent.
int64_t fileShift(const std::vector<int16_t>& out, int64_t firstSoundFrame) {
    int64_t shift = firstNonSilentFrame(out) - firstSoundFrame;
    EXPECT_GE(shift, 0);
    EXPECT_EQ(shift % soundMixerPeriodFrames(), 0) << "whole device periods only";
    return shift;
}

bool silentBetween(const std::vector<int16_t>& out, int64_t firstFrame, int64_t endFrame) {
    for (int64_t i = firstFrame * 2; i < std::min<int64_t>(endFrame * 2, int64_t(out.size()));
         ++i) {
        if (out[size_t(i)] != 0) {
            return false;
        }
    }
    return true;
}

TEST_F(LiveSoundTest, MusicComesOutWholeFromItsFirstSample) {
    writeWav16(file("pattern.wav"), Rate, 2, sine16(Rate, 2, 22050, 220.0, 0.5));
    for (std::string music : {file("pattern.wav"), packFile("data/fast.mp3")}) {
        SCOPED_TRACE(music);
        initDisk();
        FSOUND_STREAM* stream = openReady(music);
        ASSERT_EQ(FSOUND_Stream_Play(FSOUND_FREE, stream), 0);
        waitEnded(stream);
        int64_t start = soundMixerStreamFirstFrame(stream);
        std::vector<int16_t> out = output();

        std::vector<int16_t> expected = expectedSamples(music);
        ASSERT_GE(start, 0);
        start += fileShift(out, start + firstNonSilentFrame(expected));
        ASSERT_GE(out.size(), size_t(start) * 2 + expected.size());
        EXPECT_TRUE(silentBetween(out, 0, start)) << "nothing before the music";
        for (size_t i = 0; i < expected.size(); ++i) {
            ASSERT_EQ(out[size_t(start) * 2 + i], expected[i])
                << "sample " << i << ", underruns " << underruns_;
        }
        int64_t end = start + int64_t(expected.size() / 2);
        EXPECT_TRUE(silentBetween(out, end, int64_t(out.size() / 2))) << "nothing after it";
    }
}

TEST_F(LiveSoundTest, CueStartedLaterIsMixedOverTheMusicAtItsPlace) {
    std::vector<int16_t> music = sine16(Rate, 2, Rate, 220.0, 0.3);
    std::vector<int16_t> cue = sine16(Rate, 2, Rate / 5, 660.0, 0.3);
    writeWav16(file("music.wav"), Rate, 2, music);
    writeWav16(file("cue.wav"), Rate, 2, cue);
    initDisk();
    FSOUND_STREAM* musicStream = openReady(file("music.wav"));
    FSOUND_STREAM* cueStream = openReady(file("cue.wav"));
    ASSERT_EQ(FSOUND_Stream_Play(FSOUND_FREE, musicStream), 0);
    ASSERT_TRUE(waitFor([&] {
        int64_t start = soundMixerStreamFirstFrame(musicStream);
        return start >= 0 && soundMixerFramesMixed() >= start + Rate / 4;
    }));
    int64_t mixedAtPlay = soundMixerFramesMixed();
    ASSERT_EQ(FSOUND_Stream_Play(FSOUND_FREE, cueStream), 1);
    waitEnded(musicStream);
    int64_t musicStart = soundMixerStreamFirstFrame(musicStream);
    int64_t cueStart = soundMixerStreamFirstFrame(cueStream);
    std::vector<int16_t> out = output();

    // The cue starts with the first device period after the call: at most the period in flight
    // and the next one later.
    EXPECT_GE(cueStart, mixedAtPlay);
    EXPECT_LE(cueStart, mixedAtPlay + 2 * soundMixerPeriodFrames());
    int64_t shift = fileShift(out, musicStart + firstNonSilentFrame(music));
    musicStart += shift;
    cueStart += shift;
    int64_t musicFrames = int64_t(music.size() / 2);
    int64_t cueFrames = int64_t(cue.size() / 2);
    ASSERT_LE(cueStart + cueFrames, musicStart + musicFrames);
    ASSERT_GE(int64_t(out.size()), (musicStart + musicFrames) * 2);
    for (int64_t f = musicStart; f < musicStart + musicFrames; ++f) {
        for (int c = 0; c < 2; ++c) {
            int expected = music[size_t((f - musicStart) * 2 + c)];
            if (f >= cueStart && f < cueStart + cueFrames) {
                expected += cue[size_t((f - cueStart) * 2 + c)];
            }
            ASSERT_EQ(out[size_t(f * 2 + c)], expected)
                << "frame " << f - musicStart << ", underruns " << underruns_;
        }
    }
}

TEST_F(LiveSoundTest, LowRateMonoComesOutAtItsPitchAndLength) {
    // Half a second at 22050 Hz, one channel.
    writeWav16(file("low.wav"), 22050, 1, sine16(22050, 1, 11025, 440.0, 0.5));
    initDisk();
    FSOUND_STREAM* stream = openReady(file("low.wav"));
    ASSERT_EQ(FSOUND_Stream_Play(FSOUND_FREE, stream), 0);
    waitEnded(stream);
    int64_t start = soundMixerStreamFirstFrame(stream);
    std::vector<int16_t> out = output();
    start += fileShift(out, start + firstNonSilentFrame(expectedSamples(file("low.wav"))));

    // The last frame that is not silent ends the sound.
    int64_t last = int64_t(out.size() / 2) - 1;
    while (last > start && out[size_t(last) * 2] == 0 && out[size_t(last) * 2 + 1] == 0) {
        --last;
    }
    EXPECT_NEAR(double(last + 1 - start), 22050.0, 32.0);
    EXPECT_NEAR(measureFrequency(out, long(start) + 1000, 20000, Rate), 440.0, 440.0 * 0.005);
    for (int64_t f = start; f <= last; ++f) {
        ASSERT_EQ(out[size_t(f) * 2], out[size_t(f) * 2 + 1]) << "both sides alike, frame " << f;
    }
}

TEST_F(LiveSoundTest, FourStreamsTakeFourChannelsAndAFifthGetsNone) {
    writeWav16(file("long.wav"), Rate, 2, sine16(Rate, 2, Rate, 220.0, 0.1));
    writeWav16(file("short.wav"), Rate, 2, sine16(Rate, 2, Rate / 10, 220.0, 0.1));
    initDisk();
    FSOUND_STREAM* streams[5];
    for (int i = 0; i < 5; ++i) {
        streams[i] = openReady(file(i == 2 ? "short.wav" : "long.wav"));
    }
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(FSOUND_Stream_Play(FSOUND_FREE, streams[i]), i);
    }
    EXPECT_EQ(FSOUND_Stream_Play(FSOUND_FREE, streams[4]), -1);
    EXPECT_EQ(FSOUND_GetError(), SoundErrChannelAlloc);

    // The short one ends first and gives its channel back; the others still hold theirs.
    waitEnded(streams[2]);
    EXPECT_FALSE(soundMixerStreamEnded(streams[0]));
    EXPECT_EQ(FSOUND_Stream_Play(FSOUND_FREE, streams[4]), 2);
    EXPECT_EQ(FSOUND_Stream_Play(FSOUND_FREE, streams[4]), -1) << "a stream plays once";
    EXPECT_EQ(FSOUND_GetError(), SoundErrPlay);
}

struct ClipCase {
    int16_t a;
    int16_t b;
    int16_t sum;
};

TEST_F(LiveSoundTest, SumsBeyondFullScaleSaturate) {
    const ClipCase cases[] = {
        {20000, 20000, 32767}, {-20000, -20000, -32768}, {32767, 1, 32767},
        {-32768, -1, -32768},  {30000, -10000, 20000},
    };
    for (const ClipCase& c : cases) {
        SCOPED_TRACE(std::to_string(c.a) + " + " + std::to_string(c.b));
        // Half a second each, so that they overlap even if this thread is held up between the
        // two starts.
        writeWav16(file("a.wav"), Rate, 2, constant16(2, Rate / 2, c.a));
        writeWav16(file("b.wav"), Rate, 2, constant16(2, Rate / 2, c.b));
        initDisk();
        FSOUND_STREAM* a = openReady(file("a.wav"));
        FSOUND_STREAM* b = openReady(file("b.wav"));
        ASSERT_EQ(FSOUND_Stream_Play(FSOUND_FREE, a), 0);
        ASSERT_EQ(FSOUND_Stream_Play(FSOUND_FREE, b), 1);
        waitEnded(a);
        waitEnded(b);
        int64_t startA = soundMixerStreamFirstFrame(a);
        int64_t startB = soundMixerStreamFirstFrame(b);
        std::vector<int16_t> out = output();
        int64_t shift = fileShift(out, std::min(startA, startB));
        startA += shift;
        startB += shift;

        int64_t frames = Rate / 2;
        int64_t from = std::max(startA, startB);
        int64_t to = std::min(startA, startB) + frames;
        ASSERT_GE(to - from, soundMixerPeriodFrames()) << "the two overlap";
        for (int64_t f = std::min(startA, startB); f < std::max(startA, startB) + frames; ++f) {
            bool inA = f >= startA && f < startA + frames;
            bool inB = f >= startB && f < startB + frames;
            int16_t expected = inA && inB ? c.sum : inA ? c.a : c.b;
            ASSERT_EQ(out[size_t(f) * 2], expected)
                << "frame " << f << ", underruns " << underruns_;
            ASSERT_EQ(out[size_t(f) * 2 + 1], expected) << "frame " << f;
        }
    }
}

TEST_F(LiveSoundTest, OpenStatesAndCodes) {
    initDisk();
    for (const OpenCase& c : *openCases_) {
        SCOPED_TRACE(c.label);
        FSOUND_STREAM* stream =
            FSOUND_Stream_Open(packFile(c.file).c_str(), FSOUND_NONBLOCKING, 0, 0);
        ASSERT_NE(stream, nullptr) << "a handle at once, whatever the file";
        ASSERT_TRUE(waitFor([&] { return FSOUND_Stream_GetOpenState(stream) != -2; }));
        EXPECT_EQ(FSOUND_Stream_GetOpenState(stream), c.error == 0 ? 0 : -1);
        if (c.error != 0) {
            EXPECT_EQ(FSOUND_GetError(), c.error);
            EXPECT_EQ(FSOUND_Stream_Play(FSOUND_FREE, stream), -1);
        }
    }
}

TEST_F(LiveSoundTest, OpeningWithoutNonBlockingWaitsForTheFile) {
    initDisk();
    FSOUND_STREAM* stream = FSOUND_Stream_Open(packFile("data/intro.wav").c_str(), 0, 0, 0);
    ASSERT_NE(stream, nullptr);
    EXPECT_EQ(FSOUND_Stream_GetOpenState(stream), 0);
    EXPECT_EQ(FSOUND_Stream_Open(packFile("nothing.wav").c_str(), 0, 0, 0), nullptr);
    EXPECT_EQ(FSOUND_GetError(), SoundErrFileNotFound);
}

TEST_F(LiveSoundTest, SetUpIsStoredAndInitOpensTheDeviceOnce) {
    EXPECT_EQ(FSOUND_Stream_Open(packFile("data/intro.wav").c_str(), FSOUND_NONBLOCKING, 0, 0),
              nullptr);
    EXPECT_EQ(FSOUND_GetError(), SoundErrNotInitialised);

    EXPECT_TRUE(FSOUND_SetOutput(FSOUND_OUTPUT_DSOUND));
    EXPECT_TRUE(FSOUND_SetBufferSize(200));
    EXPECT_TRUE(FSOUND_SetDriver(0));
    ASSERT_TRUE(FSOUND_Init(Rate, 4, 0));
    SoundLayerSettings settings = soundLayerSettings();
    EXPECT_EQ(settings.outputType, FSOUND_OUTPUT_DSOUND);
    EXPECT_EQ(settings.bufferLengthMs, 200);
    EXPECT_EQ(settings.driver, 0);
    EXPECT_TRUE(settings.initialised);
    EXPECT_EQ(settings.maxChannels, 4);
    // The most sound queued ahead stays within the buffer length.
    EXPECT_LE(soundMixerQueueFrames() + soundMixerPeriodFrames(), Rate * 200 / 1000);

    EXPECT_FALSE(FSOUND_Init(Rate, 4, 0));
    EXPECT_EQ(FSOUND_GetError(), SoundErrAlreadyInitialised);
    EXPECT_FALSE(FSOUND_SetBufferSize(100));
    EXPECT_EQ(soundLayerSettings().bufferLengthMs, 200);
}

TEST_F(LiveSoundTest, InitWithoutADeviceFailsWithCode3) {
    ScopedEnv noDriver("SDL_AUDIODRIVER", "no-such-driver");
    EXPECT_FALSE(FSOUND_Init(Rate, 4, 0));
    EXPECT_EQ(FSOUND_GetError(), SoundErrInit);
    EXPECT_FALSE(soundLayerSettings().initialised);
}

} // namespace
