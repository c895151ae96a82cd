#include "Synth.h"

#include <algorithm>

namespace synth {

void Buffer::mixIn(const Buffer& other, float gain) {
    size_t n = std::min(frames(), other.frames());
    for (size_t i = 0; i < n; ++i) {
        left_[i] += other.left_[i] * gain;
        right_[i] += other.right_[i] * gain;
    }
}

std::vector<float> Buffer::interleaved() const {
    std::vector<float> out(frames() * 2);
    for (size_t i = 0; i < frames(); ++i) {
        out[2 * i] = left_[i];
        out[2 * i + 1] = right_[i];
    }
    return out;
}

std::vector<float> Buffer::mono() const {
    std::vector<float> out(frames());
    for (size_t i = 0; i < frames(); ++i) {
        out[i] = 0.5f * (left_[i] + right_[i]);
    }
    return out;
}

double midiToHz(double note) {
    return 440.0 * std::pow(2.0, (note - 69.0) / 12.0);
}

void Filter::set(double cutoffHz, double q, int rate) {
    double fc = std::min(cutoffHz, rate * 0.45);
    g_ = float(std::tan(Pi * fc / rate));
    k_ = float(1.0 / q);
    a1_ = 1.0f / (1.0f + g_ * (g_ + k_));
    a2_ = g_ * a1_;
    a3_ = g_ * a2_;
}

float Filter::process(float x) {
    float v3 = x - ic2_;
    float v1 = a1_ * ic1_ + a2_ * v3;
    float v2 = ic2_ + a2_ * ic1_ + a3_ * v3;
    ic1_ = 2.0f * v1 - ic1_;
    ic2_ = 2.0f * v2 - ic2_;
    band_ = v1;
    high_ = x - k_ * v1 - v2;
    return v2;
}

namespace {

double blep(double t, double dt) {
    if (t < dt) {
        t /= dt;
        return t + t - t * t - 1.0;
    }
    if (t > 1.0 - dt) {
        t = (t - 1.0) / dt;
        return t * t + t + t + 1.0;
    }
    return 0.0;
}

size_t framesOf(double seconds, int rate) {
    return size_t(std::max(0.0, seconds) * rate);
}

} // namespace

float sawWave(double phase, double dt) {
    return float(2.0 * phase - 1.0 - blep(phase, dt));
}

float pulseWave(double phase, double dt, double width) {
    double v = phase < width ? 1.0 : -1.0;
    v += blep(phase, dt);
    v -= blep(std::fmod(phase + 1.0 - width, 1.0), dt);
    return float(v);
}

float adsr(double t, double held, double attack, double decay, double sustain, double release) {
    auto level = [&](double u) {
        if (u < attack) {
            return u / attack;
        }
        if (u < attack + decay) {
            return 1.0 - (1.0 - sustain) * (u - attack) / decay;
        }
        return sustain;
    };
    if (t < 0) {
        return 0;
    }
    if (t < held) {
        return float(level(t));
    }
    double r = t - held;
    if (r >= release) {
        return 0;
    }
    return float(level(held) * (1.0 - r / release));
}

void kick(Buffer& b, size_t at, float gain) {
    int rate = b.rate();
    const Pan centre(0.0f);
    size_t n = framesOf(0.42, rate);
    double phase = 0;
    for (size_t i = 0; i < n; ++i) {
        double t = double(i) / rate;
        double f = 46.0 + 120.0 * std::exp(-t * 32.0);
        phase += f / rate;
        double body = std::sin(2 * Pi * phase) * std::exp(-t * 7.5);
        double click = std::exp(-t * 400.0) * 0.5;
        b.add(at + i, float(std::tanh(1.6 * (body + click)) * gain), centre);
    }
}

void snare(Buffer& b, size_t at, float gain, uint32_t variation) {
    int rate = b.rate();
    Noise noise(variation + 7);
    Filter f;
    f.set(2200, 0.8, rate);
    size_t n = framesOf(0.22, rate);
    const Pan place(0.05f);
    double phase = 0;
    for (size_t i = 0; i < n; ++i) {
        double t = double(i) / rate;
        phase += (185.0 + 40.0 * std::exp(-t * 40.0)) / rate;
        f.process(noise.next());
        double v = f.band() * 1.6 * std::exp(-t * 18.0) +
                   std::sin(2 * Pi * phase) * 0.5 * std::exp(-t * 30.0);
        b.add(at + i, float(v * gain), place);
    }
}

void clap(Buffer& b, size_t at, float gain, uint32_t variation) {
    int rate = b.rate();
    Noise noise(variation + 11);
    Filter f;
    f.set(1300, 1.4, rate);
    size_t n = framesOf(0.25, rate);
    const Pan place(-0.1f);
    for (size_t i = 0; i < n; ++i) {
        double t = double(i) / rate;
        // Three quick bursts, then the tail.
        double env =
            t < 0.03 ? std::exp(-std::fmod(t, 0.01) * 250.0) : std::exp(-(t - 0.03) * 16.0);
        f.process(noise.next());
        b.add(at + i, float(f.band() * 2.2 * env * gain), place);
    }
}

void hat(Buffer& b, size_t at, float gain, bool open, uint32_t variation) {
    int rate = b.rate();
    Noise noise(variation + 13);
    Filter f;
    f.set(7500, 0.9, rate);
    double decay = open ? 9.0 : 55.0;
    size_t n = framesOf(open ? 0.35 : 0.08, rate);
    const Pan place(0.3f);
    for (size_t i = 0; i < n; ++i) {
        double t = double(i) / rate;
        f.process(noise.next());
        b.add(at + i, float(f.high() * std::exp(-t * decay) * gain), place);
    }
}

void crash(Buffer& b, size_t at, float gain, uint32_t variation) {
    int rate = b.rate();
    Noise nl(variation + 17), nr(variation + 19);
    Filter fl, fr;
    fl.set(5000, 0.7, rate);
    fr.set(5200, 0.7, rate);
    size_t n = framesOf(2.2, rate);
    for (size_t i = 0; i < n; ++i) {
        double t = double(i) / rate;
        double env = std::exp(-t * 2.2) * (1.0 - std::exp(-t * 800.0));
        fl.process(nl.next());
        fr.process(nr.next());
        b.addStereo(at + i, float(fl.high() * env * gain), float(fr.high() * env * gain));
    }
}

void timpani(Buffer& b, size_t at, double note, float gain) {
    int rate = b.rate();
    size_t n = framesOf(1.2, rate);
    double f0 = midiToHz(note);
    double p1 = 0, p2 = 0;
    Noise noise(23);
    const Pan centre(0.0f);
    for (size_t i = 0; i < n; ++i) {
        double t = double(i) / rate;
        double f = f0 * (1.0 + 0.15 * std::exp(-t * 25.0));
        p1 += f / rate;
        p2 += f * 1.5 / rate;
        double v = (std::sin(2 * Pi * p1) + 0.4 * std::sin(2 * Pi * p2)) * std::exp(-t * 3.5) +
                   noise.next() * 0.3 * std::exp(-t * 60.0);
        b.add(at + i, float(v * gain * 0.7), centre);
    }
}

void bass(Buffer& b, size_t at, double note, double held, float gain, float brightness) {
    int rate = b.rate();
    double hz = midiToHz(note), dt = hz / rate;
    Filter f;
    size_t n = framesOf(held + 0.03, rate);
    double phase = 0, sub = 0;
    const Pan centre(0.0f);
    for (size_t i = 0; i < n; ++i) {
        double t = double(i) / rate;
        if (i % 16 == 0) {
            f.set(180.0 + brightness * 2400.0 * std::exp(-t * 14.0) + 220.0 * brightness,
                  1.0 + 3.0 * brightness, rate);
        }
        phase += dt;
        phase -= std::floor(phase);
        sub += dt * 0.5;
        sub -= std::floor(sub);
        float v = f.process(sawWave(phase, dt)) + 0.6f * float(std::sin(2 * Pi * sub));
        float env = adsr(t, held, 0.004, 0.12, 0.7, 0.03);
        b.add(at + i, v * env * gain, centre);
    }
}

void pad(Buffer& b, size_t at, double note, double held, float gain, float pan) {
    int rate = b.rate();
    double hz = midiToHz(note);
    static const double detune[3] = {-0.11, 0.0, 0.12};
    static const float spread[3] = {-0.6f, 0.0f, 0.6f};
    Filter f[3];
    for (auto& x : f) {
        x.set(1700, 0.7, rate);
    }
    double phase[3] = {0.13, 0.57, 0.81};
    double dt[3];
    std::vector<Pan> place;
    for (int k = 0; k < 3; ++k) {
        dt[k] = hz * std::pow(2.0, detune[k] / 12.0) / rate;
        place.push_back(Pan(std::clamp(pan + spread[k], -1.0f, 1.0f)));
    }
    size_t n = framesOf(held + 0.6, rate);
    for (size_t i = 0; i < n; ++i) {
        double t = double(i) / rate;
        float env = adsr(t, held, 0.25, 0.4, 0.8, 0.6) * gain * 0.33f;
        for (int k = 0; k < 3; ++k) {
            phase[k] += dt[k];
            phase[k] -= std::floor(phase[k]);
            b.add(at + i, f[k].process(sawWave(phase[k], dt[k])) * env, place[size_t(k)]);
        }
    }
}

void lead(Buffer& b, size_t at, double note, double held, float gain, float pan) {
    int rate = b.rate();
    const Pan place(pan);
    double hz = midiToHz(note);
    Filter f;
    f.set(3800, 0.9, rate);
    double p1 = 0, p2 = 0.5;
    size_t n = framesOf(held + 0.12, rate);
    for (size_t i = 0; i < n; ++i) {
        double t = double(i) / rate;
        double vib = 1.0 + 0.004 * std::sin(2 * Pi * 5.5 * t) *
                               std::min(1.0, std::max(0.0, (t - 0.15) * 4.0));
        double dt1 = hz * vib / rate, dt2 = hz * vib * 1.006 / rate;
        p1 += dt1;
        p1 -= std::floor(p1);
        p2 += dt2;
        p2 -= std::floor(p2);
        float v = 0.5f * (pulseWave(p1, dt1, 0.5) + sawWave(p2, dt2));
        float env = adsr(t, held, 0.005, 0.15, 0.65, 0.1);
        b.add(at + i, f.process(v) * env * gain, place);
    }
}

void pluck(Buffer& b, size_t at, double note, float gain, float pan) {
    int rate = b.rate();
    const Pan place(pan);
    double hz = midiToHz(note), dt = hz / rate;
    Filter f;
    double phase = 0;
    size_t n = framesOf(0.25, rate);
    for (size_t i = 0; i < n; ++i) {
        double t = double(i) / rate;
        if (i % 16 == 0) {
            f.set(600.0 + 5000.0 * std::exp(-t * 25.0), 1.5, rate);
        }
        phase += dt;
        phase -= std::floor(phase);
        float v = f.process(pulseWave(phase, dt, 0.3));
        b.add(at + i, v * float(std::exp(-t * 14.0)) * gain, place);
    }
}

void stab(Buffer& b, size_t at, double note, float gain, float pan) {
    int rate = b.rate();
    const Pan place(pan);
    double hz = midiToHz(note);
    Filter f;
    double p1 = 0, p2 = 0.3;
    size_t n = framesOf(0.35, rate);
    for (size_t i = 0; i < n; ++i) {
        double t = double(i) / rate;
        if (i % 16 == 0) {
            f.set(500.0 + 4000.0 * std::exp(-t * 12.0), 1.2, rate);
        }
        double dt1 = hz / rate, dt2 = hz * 1.008 / rate;
        p1 += dt1;
        p1 -= std::floor(p1);
        p2 += dt2;
        p2 -= std::floor(p2);
        float v = f.process(0.5f * (sawWave(p1, dt1) + sawWave(p2, dt2)));
        b.add(at + i, v * float(std::exp(-t * 9.0)) * gain, place);
    }
}

void brass(Buffer& b, size_t at, double note, double held, float gain, float pan) {
    int rate = b.rate();
    const Pan place(pan);
    double hz = midiToHz(note);
    Filter f;
    double p1 = 0, p2 = 0.25;
    size_t n = framesOf(held + 0.15, rate);
    for (size_t i = 0; i < n; ++i) {
        double t = double(i) / rate;
        if (i % 16 == 0) {
            // The filter opens as the player blows, as brass does.
            double open = 1.0 - std::exp(-t * 18.0);
            f.set(400.0 + 3200.0 * open * (0.8 + 0.2 * std::exp(-t * 2.0)), 0.9, rate);
        }
        double vib = 1.0 + 0.005 * std::sin(2 * Pi * 5.0 * t) * std::min(1.0, t * 2.0);
        double dt1 = hz * vib / rate, dt2 = hz * vib * 1.004 / rate;
        p1 += dt1;
        p1 -= std::floor(p1);
        p2 += dt2;
        p2 -= std::floor(p2);
        float v = f.process(0.5f * (sawWave(p1, dt1) + sawWave(p2, dt2)));
        float env = adsr(t, held, 0.03, 0.2, 0.75, 0.15);
        b.add(at + i, v * env * gain, place);
    }
}

void bell(Buffer& b, size_t at, double note, float gain, float pan) {
    int rate = b.rate();
    const Pan place(pan);
    double hz = midiToHz(note);
    // Inharmonic partials, the higher ones dying sooner.
    static const double ratio[4] = {1.0, 2.76, 5.4, 8.93};
    static const double weight[4] = {1.0, 0.5, 0.25, 0.12};
    size_t n = framesOf(1.6, rate);
    for (size_t i = 0; i < n; ++i) {
        double t = double(i) / rate, v = 0;
        for (int k = 0; k < 4; ++k) {
            v += weight[k] * std::sin(2 * Pi * hz * ratio[k] * t) * std::exp(-t * (2.5 + 2.0 * k));
        }
        b.add(at + i, float(v * gain * 0.5), place);
    }
}

void organ(Buffer& b, size_t at, double note, double held, float gain, float pan) {
    int rate = b.rate();
    double hz = midiToHz(note);
    // Drawbar-like harmonics: sub, fundamental, fifth, octave, twelfth, two octaves.
    static const double ratio[6] = {0.5, 1.0, 1.5, 2.0, 3.0, 4.0};
    static const double weight[6] = {0.5, 1.0, 0.6, 0.5, 0.3, 0.25};
    double phase[6] = {0, 0, 0, 0, 0, 0};
    size_t n = framesOf(held + 0.35, rate);
    for (size_t i = 0; i < n; ++i) {
        double t = double(i) / rate;
        double vib = 1.0 + 0.006 * std::sin(2 * Pi * 6.2 * t);
        double v = 0;
        for (int k = 0; k < 6; ++k) {
            phase[k] += hz * ratio[k] * vib / rate;
            phase[k] -= std::floor(phase[k]);
            v += weight[k] * std::sin(2 * Pi * phase[k]);
        }
        // A rotating speaker: the level and the side swing together.
        double rot = std::sin(2 * Pi * 6.2 * t);
        float env = adsr(t, held, 0.01, 0.05, 1.0, 0.3);
        b.add(at + i, float(v * (0.85 + 0.15 * rot) * env * gain * 0.3),
              std::clamp(pan + 0.3f * float(rot), -1.0f, 1.0f));
    }
}

void riser(Buffer& b, size_t from, size_t to, float gain, uint32_t variation) {
    int rate = b.rate();
    Noise noise(variation + 29);
    Filter f;
    for (size_t i = from; i < to; ++i) {
        double u = double(i - from) / double(to - from);
        if ((i - from) % 16 == 0) {
            f.set(300.0 * std::pow(30.0, u), 2.5, rate);
        }
        f.process(noise.next());
        b.add(i, float(f.band() * u * u * gain), float(std::sin(u * 12.0) * 0.5));
    }
}

void staticNoise(Buffer& b, size_t from, size_t to, float gain, uint32_t variation) {
    Noise noise(variation + 31), crackle(variation + 37);
    Filter f;
    f.set(6000, 0.7, b.rate());
    for (size_t i = from; i < to; ++i) {
        float v = f.process(noise.next());
        if (crackle.next() > 0.9985f) {
            v += 1.5f;
        }
        b.addStereo(i, v * gain, f.high() * gain * 0.8f + v * gain * 0.2f);
    }
}

void downSweep(Buffer& b, size_t at, double seconds, float gain) {
    int rate = b.rate();
    size_t n = framesOf(seconds, rate);
    double phase = 0;
    for (size_t i = 0; i < n; ++i) {
        double u = double(i) / double(n);
        phase += 2000.0 * std::pow(0.03, u) / rate;
        b.add(at + i, float(std::sin(2 * Pi * phase) * (1.0 - u) * gain), 0.0f);
    }
}

void echo(Buffer& b, double delaySeconds, float feedback, float wet) {
    size_t d = framesOf(delaySeconds, b.rate());
    if (d == 0) {
        return;
    }
    // Ping-pong: each repeat crosses to the other side. The rings hold the last `d` frames of
    // the dry input and of the echoes, so the buffer is processed in place.
    std::vector<float> dryL(d, 0.0f), dryR(d, 0.0f), wetL(d, 0.0f), wetR(d, 0.0f);
    auto& left = b.left();
    auto& right = b.right();
    for (size_t i = 0; i < b.frames(); ++i) {
        size_t k = i % d;
        float el = dryR[k] * 0.7f + wetR[k] * feedback;
        float er = dryL[k] * 0.7f + wetL[k] * feedback;
        dryL[k] = left[i];
        dryR[k] = right[i];
        wetL[k] = el;
        wetR[k] = er;
        left[i] += el * wet;
        right[i] += er * wet;
    }
}

void master(Buffer& b, float drive, float peak) {
    float loudest = 0;
    for (auto* ch : {&b.left(), &b.right()}) {
        for (float& v : *ch) {
            v = std::tanh(v * drive);
            loudest = std::max(loudest, std::fabs(v));
        }
    }
    if (loudest <= 0) {
        return;
    }
    float k = peak / loudest;
    for (auto* ch : {&b.left(), &b.right()}) {
        for (float& v : *ch) {
            v *= k;
        }
    }
}

} // namespace synth
