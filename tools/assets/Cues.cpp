// The three cues: a news jingle, a soap-opera organ sting and a short fanfare.
#include "Sounds.h"

namespace art {

using namespace synth;

namespace {

size_t at(const Buffer& b, double seconds) {
    return size_t(seconds * b.rate());
}

} // namespace

Buffer renderNewsJingle(int rate) {
    // Three brass hits on B flat, a bell run up, and the big F major chord with a timpani roll.
    Buffer b(rate, size_t(3.2 * rate));
    for (double t : {0.0, 0.28, 0.56}) {
        timpani(b, at(b, t), 46, 0.8f);
        for (int n : {58, 62, 65}) {
            brass(b, at(b, t), n, 0.16, 0.28f, 0.0f);
        }
    }
    int run[5] = {74, 77, 82, 86, 89};
    for (int i = 0; i < 5; ++i) {
        bell(b, at(b, 0.86 + 0.1 * i), run[i], 0.35f, 0.0f);
    }
    double big = 1.42;
    for (int n : {53, 57, 60, 65, 69}) {
        brass(b, at(b, big), n, 1.25, 0.22f, 0.0f);
    }
    crash(b, at(b, big), 0.3f, 5);
    for (int i = 0; i < 14; ++i) {
        timpani(b, at(b, big + 0.06 * i), 41, 0.25f + 0.02f * float(i));
    }
    timpani(b, at(b, big + 0.9), 41, 0.9f);
    master(b, 1.5f, 0.85f);
    return b;
}

Buffer renderOrganSting(int rate) {
    // Dun, dun, DUNNN: D minor, B flat, then a long A seven swelling on the organ.
    Buffer b(rate, size_t(3.6 * rate));
    for (int n : {50, 62, 65, 69}) {
        organ(b, at(b, 0.0), n, 0.3, 0.5f, -0.2f);
    }
    timpani(b, at(b, 0.0), 50, 0.45f);
    for (int n : {46, 62, 65, 70}) {
        organ(b, at(b, 0.5), n, 0.3, 0.5f, 0.2f);
    }
    timpani(b, at(b, 0.5), 46, 0.45f);
    for (int n : {45, 61, 64, 67, 73}) {
        organ(b, at(b, 1.0), n, 2.2, 0.55f, 0.0f);
    }
    timpani(b, at(b, 1.0), 45, 0.6f);
    // The swell: the last chord grows for a second before it dies.
    size_t from = at(b, 1.0), to = at(b, 2.1);
    for (size_t i = from; i < b.frames(); ++i) {
        float g = i < to ? 0.7f + 0.5f * float(i - from) / float(to - from) : 1.2f;
        b.left()[i] *= g;
        b.right()[i] *= g;
    }
    echo(b, 0.19, 0.35f, 0.15f);
    master(b, 1.2f, 0.85f);
    return b;
}

Buffer renderFanfare(int rate) {
    // A triplet call on G, up to C, and a held C major with a snare roll and cymbal.
    Buffer b(rate, size_t(2.6 * rate));
    struct Call {
        double t, held;
        int note;
    };
    const Call calls[] = {{0.0, 0.09, 67},  {0.12, 0.09, 67}, {0.24, 0.09, 67}, {0.36, 0.3, 72},
                          {0.72, 0.12, 67}, {0.86, 0.12, 72}, {1.0, 1.1, 76}};
    for (const Call& c : calls) {
        brass(b, at(b, c.t), c.note, c.held, 0.35f, 0.15f);
        brass(b, at(b, c.t), c.note - 12, c.held, 0.2f, -0.15f);
    }
    for (int n : {48, 55, 60, 64}) {
        brass(b, at(b, 1.0), n, 1.1, 0.16f, float(n - 56) / 10.0f);
    }
    for (int i = 0; i < 12; ++i) {
        snare(b, at(b, 0.6 + 0.033 * i), 0.15f + 0.03f * float(i), uint32_t(i));
    }
    crash(b, at(b, 1.0), 0.35f, 9);
    kick(b, at(b, 1.0), 0.8f);
    // Driven harder than the others: it has to carry over the music's quietest section.
    master(b, 2.0f, 0.85f);
    return b;
}

} // namespace art
