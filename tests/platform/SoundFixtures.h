#pragma once
// Small sound files for the sound layer's suites, written byte by byte so that every sample is
// known exactly, and helpers to read back what the mixer sent to SDL's disk driver.
#include <cstdint>
#include <string>
#include <vector>

namespace soundfixtures {

// A 16-bit PCM WAV file of interleaved samples.
void writeWav16(const std::string& path, int rate, int channels,
                const std::vector<int16_t>& samples);
// Interleaved 16-bit samples of a sine of `hz` at `amplitude` (of full scale) on every channel.
std::vector<int16_t> sine16(int rate, int channels, long frames, double hz, double amplitude);
// Every frame holds `value` on every channel.
std::vector<int16_t> constant16(int channels, long frames, int16_t value);

// The bytes of the first MPEG audio frame of an MP3 file (its Xing or Info header frame for the
// files the test pack writes), worked out from the frame header.
size_t firstMpegFrameLength(const std::vector<uint8_t>& mp3);

// The disk driver's output: interleaved stereo 16-bit samples.
std::vector<int16_t> readDiskOutput(const std::string& path);

// Frequency of the left channel of interleaved stereo float or 16-bit sound over
// [first, first + frames), from its rising zero crossings.
double measureFrequency(const std::vector<int16_t>& stereo, long first, long frames, int rate);
double measureFrequency(const std::vector<float>& stereo, long first, long frames, int rate);

// A file that the sound layer opens or refuses, with the error code it must give (0: opens).
struct OpenCase {
    std::string label;
    std::string file; // relative to the folder the cases were written into
    int error;
};
// Writes the open cases into `dir`, which must already hold the test pack (writeTestPack): a
// missing file, an empty one, a text file, a folder, an MP3 cut inside its first frame and one
// cut in the middle, a WAV with no frames and one shorter than its header says.
std::vector<OpenCase> writeOpenCases(const std::string& dir);

// Float sound as the mixer turns it into 16-bit samples.
int16_t toSample16(float value);

} // namespace soundfixtures
