#include "SoundFixtures.h"

#include "TestSupport.h"

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <stdexcept>

namespace soundfixtures {

namespace {
void put16(std::vector<uint8_t>& out, uint32_t v) {
    out.push_back(uint8_t(v));
    out.push_back(uint8_t(v >> 8));
}
void put32(std::vector<uint8_t>& out, uint32_t v) {
    put16(out, v & 0xffff);
    put16(out, v >> 16);
}
void putTag(std::vector<uint8_t>& out, const char* tag) {
    out.insert(out.end(), tag, tag + 4);
}

template <typename Sample> double sampleValue(Sample s) {
    return double(s);
}

template <typename Sample>
double frequencyOf(const std::vector<Sample>& stereo, long first, long frames, int rate) {
    long firstRise = -1;
    long lastRise = -1;
    long rises = 0;
    for (long f = first + 1; f < first + frames; ++f) {
        double before = sampleValue(stereo[size_t(f - 1) * 2]);
        double now = sampleValue(stereo[size_t(f) * 2]);
        if (before < 0 && now >= 0) {
            if (firstRise < 0) {
                firstRise = f;
            }
            lastRise = f;
            ++rises;
        }
    }
    if (rises < 2) {
        return 0.0;
    }
    return double(rises - 1) * rate / double(lastRise - firstRise);
}
} // namespace

void writeWav16(const std::string& path, int rate, int channels,
                const std::vector<int16_t>& samples) {
    std::vector<uint8_t> bytes;
    uint32_t dataBytes = uint32_t(samples.size() * 2);
    putTag(bytes, "RIFF");
    put32(bytes, 36 + dataBytes);
    putTag(bytes, "WAVE");
    putTag(bytes, "fmt ");
    put32(bytes, 16);
    put16(bytes, 1); // PCM
    put16(bytes, uint32_t(channels));
    put32(bytes, uint32_t(rate));
    put32(bytes, uint32_t(rate * channels * 2));
    put16(bytes, uint32_t(channels * 2));
    put16(bytes, 16);
    putTag(bytes, "data");
    put32(bytes, dataBytes);
    for (int16_t s : samples) {
        put16(bytes, uint16_t(s));
    }
    testsupport::writeBytes(path, bytes);
}

std::vector<int16_t> sine16(int rate, int channels, long frames, double hz, double amplitude) {
    std::vector<int16_t> samples(size_t(frames) * size_t(channels));
    for (long f = 0; f < frames; ++f) {
        double v = amplitude * 32767.0 * std::sin(2.0 * M_PI * hz * double(f) / rate);
        for (int c = 0; c < channels; ++c) {
            samples[size_t(f) * size_t(channels) + size_t(c)] = int16_t(std::lround(v));
        }
    }
    return samples;
}

std::vector<int16_t> constant16(int channels, long frames, int16_t value) {
    return std::vector<int16_t>(size_t(frames) * size_t(channels), value);
}

size_t firstMpegFrameLength(const std::vector<uint8_t>& mp3) {
    // MPEG-1 layer III only, which is what the encoder writes at 44.1 kHz.
    static const int kbps[16] = {0,   32,  40,  48,  56,  64,  80,  96,
                                 112, 128, 160, 192, 224, 256, 320, 0};
    static const int rates[4] = {44100, 48000, 32000, 0};
    if (mp3.size() < 4 || mp3[0] != 0xff || (mp3[1] & 0xfe) != 0xfa) {
        throw std::runtime_error("not an MPEG-1 layer III frame at the start");
    }
    int bitrate = kbps[mp3[2] >> 4] * 1000;
    int rate = rates[(mp3[2] >> 2) & 3];
    int padding = (mp3[2] >> 1) & 1;
    if (bitrate == 0 || rate == 0) {
        throw std::runtime_error("free-format or reserved MPEG header");
    }
    return size_t(144 * bitrate / rate + padding);
}

std::vector<OpenCase> writeOpenCases(const std::string& dir) {
    std::vector<uint8_t> mp3 = testsupport::readBytes(dir + "/data/fast.mp3");
    testsupport::writeBytes(dir + "/empty.wav", {});
    std::string text = "These are the show's notes, not a sound.\n";
    testsupport::writeBytes(dir + "/notes.wav", std::vector<uint8_t>(text.begin(), text.end()));
    std::filesystem::create_directories(dir + "/folder.wav");
    size_t firstFrame = firstMpegFrameLength(mp3);
    testsupport::writeBytes(dir + "/cut-first-frame.mp3",
                            std::vector<uint8_t>(mp3.begin(), mp3.begin() + long(firstFrame / 2)));
    testsupport::writeBytes(dir + "/cut-half.mp3",
                            std::vector<uint8_t>(mp3.begin(), mp3.begin() + long(mp3.size() / 2)));
    writeWav16(dir + "/no-frames.wav", 44100, 2, {});
    // Claims 10000 frames, holds 1000.
    writeWav16(dir + "/short.wav", 44100, 2, sine16(44100, 2, 10000, 440.0, 0.5));
    std::vector<uint8_t> wav = testsupport::readBytes(dir + "/short.wav");
    wav.resize(44 + 1000 * 4);
    testsupport::writeBytes(dir + "/short.wav", wav);
    return {
        {"Missing", "nothing.wav", 9},
        {"Empty", "empty.wav", 10},
        {"Text", "notes.wav", 10},
        {"Folder", "folder.wav", 11},
        {"Mp3CutInsideFirstFrame", "cut-first-frame.mp3", 11},
        {"Mp3CutInTheMiddle", "cut-half.mp3", 0},
        {"WavWithoutFrames", "no-frames.wav", 0},
        {"WavShorterThanItsHeader", "short.wav", 0},
    };
}

std::vector<int16_t> readDiskOutput(const std::string& path) {
    std::vector<uint8_t> bytes = testsupport::readBytes(path);
    std::vector<int16_t> samples(bytes.size() / 2);
    for (size_t i = 0; i < samples.size(); ++i) {
        samples[i] = int16_t(uint16_t(bytes[2 * i] | (bytes[2 * i + 1] << 8)));
    }
    // Whole stereo frames only.
    samples.resize(samples.size() / 2 * 2);
    return samples;
}

double measureFrequency(const std::vector<int16_t>& stereo, long first, long frames, int rate) {
    return frequencyOf(stereo, first, frames, rate);
}

double measureFrequency(const std::vector<float>& stereo, long first, long frames, int rate) {
    return frequencyOf(stereo, first, frames, rate);
}

int16_t toSample16(float value) {
    float scaled = std::min(std::max(value * 32768.0f, -32768.0f), 32767.0f);
    return int16_t(std::lrint(scaled));
}

} // namespace soundfixtures
