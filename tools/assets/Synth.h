#pragma once
// A small synthesizer for the pack's music and cues: oscillators, envelopes, a state-variable
// filter, drum sounds and pitched instruments, each rendering one note into a stereo buffer.
// Times are in seconds, positions in frames at the buffer's rate; samples are floats around 0.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace synth {

constexpr double Pi = 3.14159265358979323846;

// Equal-power gains of a position from -1 (left) to 1 (right).
struct Pan {
    float left, right;
    explicit Pan(float pan) {
        float p = (pan + 1.0f) * 0.25f * 3.14159265f;
        left = std::cos(p);
        right = std::sin(p);
    }
};

class Buffer {
  public:
    Buffer(int rate, size_t frames) : rate_(rate), left_(frames, 0.0f), right_(frames, 0.0f) {}
    int rate() const { return rate_; }
    size_t frames() const { return left_.size(); }
    // Adds `v` at `frame`, placed by `pan` from -1 (left) to 1 (right); frames past the end drop.
    void add(size_t frame, float v, Pan pan) {
        if (frame < left_.size()) {
            left_[frame] += v * pan.left;
            right_[frame] += v * pan.right;
        }
    }
    void add(size_t frame, float v, float pan) { add(frame, v, Pan(pan)); }
    void addStereo(size_t frame, float l, float r) {
        if (frame < left_.size()) {
            left_[frame] += l;
            right_[frame] += r;
        }
    }
    std::vector<float>& left() { return left_; }
    std::vector<float>& right() { return right_; }
    const std::vector<float>& left() const { return left_; }
    const std::vector<float>& right() const { return right_; }
    // Mixes another buffer of the same rate in at `gain`.
    void mixIn(const Buffer& other, float gain);
    // Interleaved left, right.
    std::vector<float> interleaved() const;
    // One channel: the mean of both.
    std::vector<float> mono() const;

  private:
    int rate_;
    std::vector<float> left_, right_;
};

double midiToHz(double note);

// White noise from a fixed generator; the start value picks the sequence.
class Noise {
  public:
    explicit Noise(uint32_t startValue) : state_(startValue * 2654435761u + 12345u) {}
    float next() {
        state_ ^= state_ << 13;
        state_ ^= state_ >> 17;
        state_ ^= state_ << 5;
        return float(state_) / 2147483648.0f - 1.0f;
    }

  private:
    uint32_t state_;
};

// A topology-preserving state-variable filter: low, band and high outputs of one input.
class Filter {
  public:
    void set(double cutoffHz, double q, int rate);
    // Returns the low-pass output; band() and high() give the others of the same step.
    float process(float x);
    float band() const { return band_; }
    float high() const { return high_; }

  private:
    float g_ = 0, k_ = 1, a1_ = 0, a2_ = 0, a3_ = 0;
    float ic1_ = 0, ic2_ = 0, band_ = 0, high_ = 0;
};

// Band-limited sawtooth and pulse (polyBLEP); phase in cycles 0 to 1, dt the phase step.
float sawWave(double phase, double dt);
float pulseWave(double phase, double dt, double width);

// Attack, decay, sustain level, release; the note is held for `held` seconds.
float adsr(double t, double held, double attack, double decay, double sustain, double release);

// Drums. `at` is the frame the hit starts, `gain` its loudness (about 0 to 1).
void kick(Buffer& b, size_t at, float gain);
void snare(Buffer& b, size_t at, float gain, uint32_t variation);
void clap(Buffer& b, size_t at, float gain, uint32_t variation);
void hat(Buffer& b, size_t at, float gain, bool open, uint32_t variation);
void crash(Buffer& b, size_t at, float gain, uint32_t variation);
void timpani(Buffer& b, size_t at, double note, float gain);

// Pitched notes; `note` is a MIDI note number, `held` seconds.
void bass(Buffer& b, size_t at, double note, double held, float gain, float brightness);
void pad(Buffer& b, size_t at, double note, double held, float gain, float pan);
void lead(Buffer& b, size_t at, double note, double held, float gain, float pan);
void pluck(Buffer& b, size_t at, double note, float gain, float pan);
void stab(Buffer& b, size_t at, double note, float gain, float pan);
void brass(Buffer& b, size_t at, double note, double held, float gain, float pan);
void bell(Buffer& b, size_t at, double note, float gain, float pan);
void organ(Buffer& b, size_t at, double note, double held, float gain, float pan);

// Effects and textures over a span of frames.
void riser(Buffer& b, size_t from, size_t to, float gain, uint32_t variation);
void staticNoise(Buffer& b, size_t from, size_t to, float gain, uint32_t variation);
void downSweep(Buffer& b, size_t at, double seconds, float gain);
// A stereo echo of `delaySeconds` with `feedback`, mixed back at `wet`.
void echo(Buffer& b, double delaySeconds, float feedback, float wet);
// A soft saturating limiter, then a scale so the loudest sample reaches `peak`.
void master(Buffer& b, float drive, float peak);

} // namespace synth
