// The music: a fast dance track in A minor whose sections start on the show's scene boundaries.
// Each section fits a whole, even number of beats between its boundaries (the tempo moves a
// little around 140 bpm from section to section), starts its bar and chord pattern afresh and
// opens with an accent, so every cut of the show lands on the music.
#include "Sounds.h"

#include <algorithm>

namespace art {

const uint32_t SceneBoundariesMs[20] = {
    7180,   12981,  17485,  57362,  58000,  65223,  68849,  80415,  87816,  95397,
    100304, 106423, 107000, 123000, 132000, 141000, 145000, 149000, 156000, 165000,
};

namespace {

constexpr double NominalBpm = 140.0;

// What plays in a section.
enum Part : uint32_t {
    Kick = 1u << 0,
    SoftKick = 1u << 1, // one kick a bar
    Clap = 1u << 2,
    Hats = 1u << 3,     // off-beat eighths
    Hats16 = 1u << 4,   // every sixteenth
    Bass = 1u << 5,     // off-beat root notes
    Acid = 1u << 6,     // running sixteenths, bright
    LongBass = 1u << 7, // one held root a bar
    Pad = 1u << 8,
    Lead = 1u << 9,
    LeadHigh = 1u << 10, // the hook an octave up, doubled by plucks
    Arp = 1u << 11,
    Stab = 1u << 12,
    RollEnd = 1u << 13,  // a snare roll through the last bar
    RollAll = 1u << 14,  // a roll that thickens through the whole section
    Riser = 1u << 15,    // a noise sweep rising through the section
    Static = 1u << 16,   // television static under everything
    Halftime = 1u << 17, // kick on one, snare on three
    NoAccent = 1u << 18, // no crash at the section's start
    Quiet = 1u << 19,    // room for a cue: melodic parts softer
};

struct Plan {
    const char* name;
    uint32_t parts;
};

// One entry per section: the start, then one per scene boundary.
const Plan plans[21] = {
    {"zvq presents: pads swell, arpeggio, rising sweep", Pad | Arp | Riser | NoAccent},
    {"title card: the beat comes in", Kick | Clap | Hats | Bass | Stab | Lead},
    {"news ident: drums and bass under the jingle", Kick | Hats | Bass | Quiet},
    {"parade: the main groove, building with the formations", Kick | Hats | Bass | Pad | Quiet},
    {"static: noise burst", Static},
    {"crew card 1: breakdown under the fanfare", SoftKick | Pad | LongBass | Quiet},
    {"crew card 2: bass returns", Kick | Pad | Bass},
    {"crew card 3: drums return", Kick | Clap | Hats | Bass | Pad},
    {"crew card 4: the hook", Kick | Clap | Hats | Bass | Pad | Lead},
    {"crew card 5: arpeggios", Kick | Clap | Hats16 | Bass | Arp | Lead},
    {"crew card 6: build-up", Kick | Bass | RollAll | Riser | Pad},
    {"static flicker: glitched groove", Static | Kick | Hats16 | Acid},
    {"white flash: the big hit", Riser},
    {"stage lit: the drop", Kick | Clap | Hats16 | Acid | Pad | Lead | Stab},
    {"bang: everything at once", Kick | Clap | Hats16 | Acid | Pad | LeadHigh | Arp | RollEnd},
    {"stage lit again: the groove", Kick | Clap | Hats | Acid | Pad | Lead | Stab},
    {"bang again", Kick | Clap | Hats16 | Acid | Pad | LeadHigh | Arp | RollEnd},
    {"stage dark: breakdown", Pad | LongBass | Arp},
    {"the figure rises: build and return", Kick | Hats | Bass | Pad | Riser | RollEnd},
    {"sunset: outro in half time, fading after 165 s", Halftime | Hats | Pad | Lead | LongBass},
    {"fade-out to silence at 168 s", 0},
};

// The parade's layers follow the show: the first formation of riders arrives at 35000 ms and
// the second at 40400 ms; the music adds a layer on the bar nearest each.
uint32_t paradeParts(uint32_t parts, double barStartMs) {
    if (barStartMs >= 17485 + 6900) {
        parts |= Clap | Lead;
        parts &= ~Quiet;
    }
    if (barStartMs >= 35000 - 400) {
        parts |= Arp | Stab;
    }
    if (barStartMs >= 40400 - 400) {
        parts = (parts & ~Hats) | Hats16 | LeadHigh;
    }
    return parts;
}

// A minor: Am, F, C, G, one chord a bar. Roots for the bass, triads for pads and stabs.
const int chordRoot[4] = {45, 41, 48, 43};
const int chordTones[4][3] = {{57, 60, 64}, {57, 60, 65}, {55, 60, 64}, {55, 59, 62}};

struct Note {
    int step, note, length; // sixteenths within the bar
};
// The hook, one bar per chord.
const std::vector<Note> hook[4] = {
    {{0, 76, 3}, {3, 72, 3}, {6, 69, 2}, {8, 72, 2}, {10, 76, 2}, {12, 74, 4}},
    {{0, 77, 3}, {3, 72, 3}, {6, 69, 2}, {8, 72, 2}, {10, 77, 2}, {12, 76, 4}},
    {{0, 79, 3}, {3, 76, 3}, {6, 72, 2}, {8, 76, 2}, {10, 79, 2}, {12, 81, 4}},
    {{0, 79, 3}, {3, 74, 3}, {6, 71, 2}, {8, 74, 2}, {10, 79, 2}, {12, 83, 2}, {14, 81, 2}},
};
// The acid line: offsets from the root per sixteenth, 99 for a rest.
const int acidLine[16] = {0, 0, 12, 0, 99, 0, 7, 0, 0, 12, 0, 10, 0, 99, 12, 7};
const bool acidAccent[16] = {1, 0, 1, 0, 0, 1, 0, 0, 1, 0, 1, 0, 0, 0, 1, 0};

} // namespace

size_t frameAtMs(uint32_t ms) {
    return size_t((uint64_t(ms) * 441u + 5u) / 10u);
}

const std::vector<MusicSection>& musicSections() {
    static const std::vector<MusicSection> sections = [] {
        std::vector<MusicSection> out;
        uint32_t start = 0;
        for (int i = 0; i < 21; ++i) {
            uint32_t end = i < 20 ? SceneBoundariesMs[i] : MusicEndMs;
            double span = double(end - start);
            int beats = 0;
            double bpm = 0;
            if (i == 20) {
                // The fade-out goes on at the outro's tempo.
                bpm = out.back().bpm;
                beats = int(std::floor(span * bpm / 60000.0));
            } else if (span >= 1500.0) {
                beats = std::max(2, int(std::lround(span / (60000.0 / NominalBpm) / 2.0)) * 2);
                bpm = 60000.0 * beats / span;
            }
            out.push_back(MusicSection{start, end, plans[i].name, beats, bpm});
            start = end;
        }
        return out;
    }();
    return sections;
}

synth::Buffer renderMusic() {
    const int rate = MusicRate;
    // Drums, bass and effects go straight into the mix; pads and leads get echoes of their own.
    synth::Buffer mix(rate, frameAtMs(MusicEndMs));
    synth::Buffer padBus(rate, mix.frames());
    synth::Buffer leadBus(rate, mix.frames());
    synth::Buffer& drums = mix;
    synth::Buffer& bassBus = mix;
    synth::Buffer& fxBus = mix;

    const auto& sections = musicSections();
    // The fade-out is the outro going on: the outro's section renders through to the end.
    for (size_t s = 0; s + 1 < sections.size(); ++s) {
        const MusicSection& sec = sections[s];
        bool outro = s + 2 == sections.size();
        size_t from = frameAtMs(sec.startMs), to = frameAtMs(outro ? MusicEndMs : sec.endMs);
        uint32_t parts = plans[s].parts;
        uint32_t salt = uint32_t(s) * 97u;

        if (!(parts & NoAccent)) {
            crash(drums, from, 0.35f, salt);
        }
        if (parts & Static) {
            staticNoise(fxBus, from, to, 0.14f, salt);
        }
        if (sec.beats == 0) {
            // A short hit between two scenes.
            if (parts & Static) {
                downSweep(fxBus, from, double(to - from) / rate, 0.3f);
                kick(drums, from, 0.9f);
            }
            if (parts & Riser) {
                // A breath of silence before the next section's downbeat.
                riser(fxBus, from, to - size_t(0.1 * rate), 0.55f, salt);
                for (int k = 0; k < 3; ++k) {
                    stab(padBus, from, chordTones[0][k] + 12, 0.45f, float(k - 1) * 0.4f);
                }
                kick(drums, from, 1.0f);
            }
            continue;
        }
        double beatFrames = 60.0 / sec.bpm * rate;
        double stepFrames = beatFrames / 4.0;
        long endStep = long(std::ceil(double(to - from) / stepFrames - 1e-9));
        if (parts & Riser) {
            // Over the whole of a short section, over its last two bars otherwise.
            size_t riseFrom = endStep > 64 ? to - size_t(32 * stepFrames) : from;
            // It stops a sixteenth early: the silence makes the next downbeat land harder.
            riser(fxBus, riseFrom, to - size_t(stepFrames), 0.3f, salt);
        }
        float melodic = (parts & Quiet) ? 0.55f : 1.0f;
        long lastBar = (endStep - 1) / 16;
        for (long step = 0; step < endStep; ++step) {
            size_t at = from + size_t(std::lround(double(step) * stepFrames));
            int inBar = int(step % 16);
            long bar = step / 16;
            int chord = int(bar % 4);
            uint32_t p = parts;
            if (s == 3) {
                p = paradeParts(parts, double(sec.startMs) +
                                           double(bar * 16) * stepFrames * 1000.0 / rate);
                melodic = (p & Quiet) ? 0.55f : 1.0f;
            }
            bool beat = inBar % 4 == 0;
            double barSeconds = 16 * stepFrames / rate;
            double untilEnd = double(to - at) / rate;

            if (p & Halftime) {
                if (inBar == 0 || inBar == 10) {
                    kick(drums, at, 0.9f);
                }
                if (inBar == 8) {
                    snare(drums, at, 0.6f, salt + uint32_t(step));
                }
            } else if ((p & Kick) && beat) {
                kick(drums, at, 0.95f);
            } else if ((p & SoftKick) && inBar == 0) {
                kick(drums, at, 0.6f);
            }
            if ((p & Clap) && (inBar == 4 || inBar == 12)) {
                clap(drums, at, 0.55f, salt + uint32_t(step));
            }
            if ((p & Hats) && inBar % 4 == 2) {
                hat(drums, at, 0.3f, inBar == 14, salt + uint32_t(step));
            }
            if (p & Hats16) {
                hat(drums, at, inBar % 4 == 2 ? 0.32f : 0.16f, false, salt + uint32_t(step));
            }
            bool rolling =
                (((p & RollEnd) && bar == lastBar) || (p & RollAll)) && step + 1 < endStep;
            if (rolling) {
                // Eighths in the first half of a roll that spans a section, sixteenths after.
                double progress = double(step) / double(endStep);
                bool play = (p & RollAll) ? (progress > 0.5 || step % 2 == 0) : true;
                if (play) {
                    float g = (p & RollAll) ? 0.15f + 0.5f * float(progress)
                                            : 0.2f + 0.4f * float(inBar) / 15.0f;
                    snare(drums, at, g, salt + uint32_t(step));
                }
            }
            if ((p & Bass) && inBar % 4 == 2) {
                bass(bassBus, at, chordRoot[chord], 2.5 * stepFrames / rate, 0.55f * melodic,
                     0.35f);
            }
            if ((p & Acid) && acidLine[inBar] != 99) {
                bass(bassBus, at, chordRoot[chord] + acidLine[inBar], 0.8 * stepFrames / rate,
                     acidAccent[inBar] ? 0.55f : 0.4f, acidAccent[inBar] ? 0.9f : 0.55f);
            }
            if ((p & LongBass) && inBar == 0) {
                bass(bassBus, at, chordRoot[chord], std::min(barSeconds, untilEnd) * 0.95, 0.5f,
                     0.15f);
            }
            if ((p & Pad) && inBar == 0) {
                double held = std::min(barSeconds, untilEnd);
                for (int k = 0; k < 3; ++k) {
                    pad(padBus, at, chordTones[chord][k], held, 0.32f * melodic,
                        float(k - 1) * 0.5f);
                }
            }
            if ((p & Stab) && (inBar == 0 || inBar == 3 || inBar == 6 || inBar == 10)) {
                for (int k = 0; k < 3; ++k) {
                    stab(padBus, at, chordTones[chord][k] + 12, 0.22f * melodic,
                         float(k - 1) * 0.6f);
                }
            }
            if (p & Arp) {
                int idx = inBar % 8;
                int octave = idx / 3;
                int note = chordTones[chord][idx % 3] + 12 * octave;
                pluck(leadBus, at, note, 0.2f * melodic, inBar % 2 ? 0.5f : -0.5f);
            }
            if (p & (Lead | LeadHigh)) {
                for (const Note& n : hook[chord]) {
                    if (n.step != inBar) {
                        continue;
                    }
                    double held = std::min(double(n.length) * stepFrames / rate * 0.9, untilEnd);
                    int up = (p & LeadHigh) ? 12 : 0;
                    lead(leadBus, at, n.note + up, held, 0.3f * melodic, 0.1f);
                    if (p & LeadHigh) {
                        pluck(leadBus, at, n.note, 0.25f, -0.3f);
                    }
                }
            }
        }
    }

    synth::echo(leadBus, 60.0 / musicSections()[3].bpm * 0.75, 0.35f, 0.35f);
    synth::echo(padBus, 0.23, 0.3f, 0.2f);
    mix.mixIn(padBus, 0.65f);
    mix.mixIn(leadBus, 0.6f);
    synth::master(mix, 1.3f, 0.89f);

    // The fade: a raised cosine from 165 s to silence at 168 s.
    size_t fadeFrom = frameAtMs(MusicFadeStartMs), fadeTo = frameAtMs(MusicEndMs);
    for (size_t i = fadeFrom; i < mix.frames(); ++i) {
        double u = double(i - fadeFrom) / double(fadeTo - fadeFrom);
        float g = float(0.5 + 0.5 * std::cos(synth::Pi * std::min(1.0, u)));
        mix.left()[i] *= g;
        mix.right()[i] *= g;
    }
    return mix;
}

} // namespace art
