// The decoder both sound backends and the tools share: which files open and with what code, and
// that what comes out is the file's sound at 44.1 kHz stereo, whole and at the right pitch.
#include "SoundFixtures.h"
#include "TestPack.h"
#include "TestSupport.h"

#include "platform/SoundFile.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>

using namespace soundfixtures;

namespace {

class SoundFileTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        dir_ = new testsupport::TempDir();
        testsupport::writeTestPack(dir_->path());
        openCases_ = new std::vector<OpenCase>(writeOpenCases(dir_->path()));
    }
    static void TearDownTestSuite() {
        delete openCases_;
        delete dir_;
    }
    static std::string file(const std::string& name) { return dir_->file(name); }

    static testsupport::TempDir* dir_;
    static std::vector<OpenCase>* openCases_;
};
testsupport::TempDir* SoundFileTest::dir_ = nullptr;
std::vector<OpenCase>* SoundFileTest::openCases_ = nullptr;

TEST_F(SoundFileTest, OpensOrRefusesWithTheLayersCodes) {
    for (const OpenCase& c : *openCases_) {
        SCOPED_TRACE(c.label);
        int error = -1;
        std::unique_ptr<SoundFile> opened = SoundFile::open(file(c.file), error);
        EXPECT_EQ(error, c.error);
        EXPECT_EQ(opened != nullptr, c.error == 0);
        DecodedSound decoded = decodeSoundFile(file(c.file));
        EXPECT_EQ(decoded.error, c.error);
    }
}

TEST_F(SoundFileTest, DamagedFilesThatOpenGiveWhatTheyHold) {
    EXPECT_EQ(decodeSoundFile(file("no-frames.wav")).frames(), 0);
    EXPECT_EQ(decodeSoundFile(file("short.wav")).frames(), 1000);
    long whole = decodeSoundFile(file("data/fast.mp3")).frames();
    long half = decodeSoundFile(file("cut-half.mp3")).frames();
    EXPECT_GT(half, whole / 3);
    EXPECT_LT(half, whole * 2 / 3);
}

TEST_F(SoundFileTest, PcmAtTheMixRateComesOutSampleForSample) {
    // Left and right differ, and the values cover the whole 16-bit range.
    std::vector<int16_t> samples;
    for (int f = 0; f < 3000; ++f) {
        samples.push_back(int16_t(-32768 + (f * 97) % 65536));
        samples.push_back(int16_t(32767 - (f * 31) % 65536));
    }
    writeWav16(file("ramp.wav"), 44100, 2, samples);
    DecodedSound decoded = decodeSoundFile(file("ramp.wav"));
    ASSERT_EQ(decoded.error, 0);
    ASSERT_EQ(decoded.samples.size(), samples.size());
    for (size_t i = 0; i < samples.size(); ++i) {
        ASSERT_EQ(toSample16(decoded.samples[i]), samples[i]) << "sample " << i;
    }
}

struct ConversionCase {
    const char* file;
    long expectedFrames; // at 44.1 kHz: the file's length at that rate, rounded up
    double hz;
};

TEST_F(SoundFileTest, OtherRatesAndChannelCountsComeOutAtPitchAndLength) {
    // Lengths on and off the converter's 1024-frame reads, where the resampler's tail is easy to
    // lose.
    writeWav16(file("22050-mono-11025.wav"), 22050, 1, sine16(22050, 1, 11025, 440.0, 0.5));
    writeWav16(file("22050-stereo-2048.wav"), 22050, 2, sine16(22050, 2, 2048, 440.0, 0.5));
    writeWav16(file("48000-stereo-10240.wav"), 48000, 2, sine16(48000, 2, 10240, 1000.0, 0.5));
    writeWav16(file("44100-mono-1000.wav"), 44100, 1, sine16(44100, 1, 1000, 441.0, 0.5));
    const ConversionCase cases[] = {
        {"22050-mono-11025.wav", 22050, 440.0},
        {"22050-stereo-2048.wav", 4096, 440.0},
        {"48000-stereo-10240.wav", 9408, 1000.0},
        {"44100-mono-1000.wav", 1000, 441.0},
        // The test pack's sounds: 22050 Hz mono, 44100 Hz stereo, 48000 Hz float stereo, MP3.
        {"data/intro.wav", 13230, 440.0},
        {"data/soap.wav", 13230, 330.0},
        {"data/kest.wav", 13230, 550.0},
        {"data/fast.mp3", 88200, 220.0},
    };
    for (const ConversionCase& c : cases) {
        SCOPED_TRACE(c.file);
        DecodedSound decoded = decodeSoundFile(file(c.file));
        ASSERT_EQ(decoded.error, 0);
        long frames = decoded.frames();
        EXPECT_EQ(frames, c.expectedFrames);
        EXPECT_NEAR(measureFrequency(decoded.samples, frames / 10, frames * 8 / 10, 44100), c.hz,
                    c.hz * 0.005);
        // The sound lasts to the end: the last 1 ms is not silent.
        float tail = 0.0f;
        for (long f = frames - 44; f < frames; ++f) {
            tail = std::max(tail, std::fabs(decoded.samples[size_t(f) * 2]));
        }
        EXPECT_GT(tail, 0.05f);
        for (long f = 0; f < frames; ++f) {
            ASSERT_EQ(decoded.samples[size_t(f) * 2], decoded.samples[size_t(f) * 2 + 1])
                << "frame " << f;
        }
    }
}

TEST_F(SoundFileTest, ChunkedReadsAddUpToTheWholeFile) {
    // Resampled, so the converter holds frames back between reads.
    const std::vector<float> whole = decodeSoundFile(file("data/intro.wav")).samples;
    for (long chunk : {1L, 333L, 1024L, 5000L}) {
        SCOPED_TRACE(chunk);
        int error = 0;
        std::unique_ptr<SoundFile> sound = SoundFile::open(file("data/intro.wav"), error);
        ASSERT_TRUE(sound);
        std::vector<float> joined;
        std::vector<float> buffer(size_t(chunk) * 2);
        long n = 0;
        while ((n = sound->read(buffer.data(), chunk)) > 0) {
            ASSERT_LE(n, chunk);
            joined.insert(joined.end(), buffer.begin(), buffer.begin() + n * 2);
        }
        EXPECT_EQ(n, 0);
        EXPECT_EQ(sound->read(buffer.data(), chunk), 0) << "the end stays the end";
        EXPECT_EQ(joined, whole);
    }
}

TEST_F(SoundFileTest, Mp3IsReadToItsEndWhateverItsHeaderSays) {
    // The music's header frame counts 2 s; behind the music come the audio frames of a second
    // copy, so the stream holds about 4 s.
    std::vector<uint8_t> mp3 = testsupport::readBytes(file("data/fast.mp3"));
    std::vector<uint8_t> longer = mp3;
    longer.insert(longer.end(), mp3.begin() + long(firstMpegFrameLength(mp3)), mp3.end());
    testsupport::writeBytes(file("longer-than-header.mp3"), longer);

    DecodedSound decoded = decodeSoundFile(file("longer-than-header.mp3"));
    ASSERT_EQ(decoded.error, 0);
    EXPECT_GT(decoded.frames(), 2 * 88200 - 4096);
    EXPECT_LT(decoded.frames(), 2 * 88200 + 4096);
}

TEST_F(SoundFileTest, DecodesToAnotherMixRate) {
    DecodedSound decoded = decodeSoundFile(file("data/soap.wav"), 22050);
    ASSERT_EQ(decoded.error, 0);
    EXPECT_NEAR(double(decoded.frames()), 6615.0, 16.0);
    EXPECT_NEAR(measureFrequency(decoded.samples, 600, 5400, 22050), 330.0, 330.0 * 0.005);
}

} // namespace
