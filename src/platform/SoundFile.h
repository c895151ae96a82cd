#pragma once
// Sound file decoding shared by both sound backends and the tools: opens WAV, MP3 and whatever
// else libsndfile reads, and delivers the sound as interleaved stereo float frames at the mixing
// rate (44100 Hz unless asked otherwise), converted by SDL's audio stream when the file has
// another rate or channel count. Failures are the sound layer's error codes (SoundLayer.h).
#include <memory>
#include <string>
#include <vector>

constexpr int SoundMixRate = 44100;
constexpr int SoundMixChannels = 2;

class SoundFile {
  public:
    // Opens `path` for decoding to `outputRate` Hz stereo. On failure returns nullptr and sets
    // `error`: 9 no such file, 10 not a sound file we can decode, 11 unreadable or broken file,
    // 12 out of memory.
    static std::unique_ptr<SoundFile> open(const std::string& path, int& error,
                                           int outputRate = SoundMixRate);
    ~SoundFile();
    SoundFile(const SoundFile&) = delete;
    SoundFile& operator=(const SoundFile&) = delete;

    // Decodes up to `maxFrames` stereo frames into `out` (2 * maxFrames floats). Returns the
    // frames written: fewer than asked only near the end, 0 once the whole file has been
    // delivered, -1 on a read error (error() then says which). The file is read until the decoder
    // itself runs dry; a length that a header announces is never trusted.
    long read(float* out, long maxFrames);
    int error() const;

    int sourceRate() const;
    int sourceChannels() const;

    struct Impl;

  private:
    explicit SoundFile(std::unique_ptr<Impl> impl);
    std::unique_ptr<Impl> impl_;
};

// A whole file decoded at once, for offline mixing and the asset checker.
struct DecodedSound {
    int error = 0;              // 0, or the code SoundFile::open or read reported
    std::vector<float> samples; // interleaved stereo at the requested rate
    long frames() const { return long(samples.size() / SoundMixChannels); }
};
DecodedSound decodeSoundFile(const std::string& path, int outputRate = SoundMixRate);
