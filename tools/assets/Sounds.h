#pragma once
// The pack's sounds: the music track, composed section by section on the show's scene
// boundaries, and the three cues.
#include "Pack.h"
#include "Synth.h"

#include <cstdint>
#include <string>
#include <vector>

namespace art {

constexpr int MusicRate = 44100;
// The track fades out from 165 s, where the show's timeline ends, to its end at 168 s.
constexpr uint32_t MusicFadeStartMs = 165000;
constexpr uint32_t MusicEndMs = 168000;

// The show-clock milliseconds at which each scene ends; the music starts a new section at each
// (the show's SceneEndTimes, kept here so the tool needs nothing of the show's runtime).
extern const uint32_t SceneBoundariesMs[20];

struct MusicSection {
    uint32_t startMs; // where the section starts in the track
    uint32_t endMs;   // where the next starts (or the track's end)
    const char* name;
    int beats;  // beats fitted into the section; 0 for a short hit without a beat
    double bpm; // the tempo that makes them fit exactly
};
// The 21 sections: one from 0 and one from each scene boundary; the last runs to the track's end.
const std::vector<MusicSection>& musicSections();

// The first frame of a section at MusicRate.
size_t frameAtMs(uint32_t ms);

// The whole track, 44.1 kHz stereo, MusicEndMs long.
synth::Buffer renderMusic();
// The cues, each at the given rate.
synth::Buffer renderNewsJingle(int rate);
synth::Buffer renderOrganSting(int rate);
synth::Buffer renderFanfare(int rate);

// Renders one of packSounds() and writes it to `path`; returns a line that describes the file.
std::string makeSound(const SoundSpec& item, const std::string& path);

enum class SoundFormat { Mp3, Wav16, WavFloat };
// Writes interleaved float samples through libsndfile. Throws std::runtime_error on failure.
void writeSound(const std::string& path, SoundFormat format, int rate, int channels,
                const std::vector<float>& samples);

} // namespace art
