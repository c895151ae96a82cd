// Writing the pack's sounds: MP3 and WAV through libsndfile, and the recipe for each file.
#include "Sounds.h"

#include <sndfile.h>

#include <cstdio>
#include <filesystem>
#include <stdexcept>

namespace art {

void writeSound(const std::string& path, SoundFormat format, int rate, int channels,
                const std::vector<float>& samples) {
    SF_INFO info{};
    info.samplerate = rate;
    info.channels = channels;
    switch (format) {
    case SoundFormat::Mp3:
        info.format = SF_FORMAT_MPEG | SF_FORMAT_MPEG_LAYER_III;
        break;
    case SoundFormat::Wav16:
        info.format = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
        break;
    case SoundFormat::WavFloat:
        info.format = SF_FORMAT_WAV | SF_FORMAT_FLOAT;
        break;
    }
    if (!sf_format_check(&info)) {
        throw std::runtime_error("this libsndfile cannot write the format of " + path +
                                 " (MP3 needs libsndfile 1.1 or later built with LAME)");
    }
    std::filesystem::path p(path);
    if (p.has_parent_path()) {
        std::error_code ec;
        std::filesystem::create_directories(p.parent_path(), ec);
    }
    SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
    if (!file) {
        throw std::runtime_error("cannot write " + path + ": " + sf_strerror(nullptr));
    }
    // Samples beyond full scale are clipped rather than wrapped in the integer formats.
    sf_command(file, SFC_SET_CLIPPING, nullptr, SF_TRUE);
    // The PEAK chunk of float files carries the time of writing: leave it out so the same
    // samples always make the same bytes.
    sf_command(file, SFC_SET_ADD_PEAK_CHUNK, nullptr, SF_FALSE);
    sf_count_t frames = sf_count_t(samples.size() / size_t(channels));
    sf_count_t written = sf_writef_float(file, samples.data(), frames);
    std::string error = written == frames ? "" : sf_strerror(file);
    if (sf_close(file) != 0 && error.empty()) {
        error = "closing failed";
    }
    if (!error.empty()) {
        throw std::runtime_error("cannot write " + path + ": " + error);
    }
}

std::string makeSound(const SoundSpec& item, const std::string& path) {
    std::string file = item.file;
    synth::Buffer b(1, 0);
    SoundFormat format;
    int channels = 2;
    if (file == "data/fast.mp3") {
        b = renderMusic();
        format = SoundFormat::Mp3;
    } else if (file == "data/intro.wav") {
        b = renderNewsJingle(22050);
        format = SoundFormat::Wav16;
        channels = 1;
    } else if (file == "data/soap.wav") {
        b = renderOrganSting(44100);
        format = SoundFormat::Wav16;
    } else if (file == "data/kest.wav") {
        b = renderFanfare(48000);
        format = SoundFormat::WavFloat;
    } else {
        throw std::invalid_argument("no recipe for " + file);
    }
    writeSound(path, format, b.rate(), channels, channels == 1 ? b.mono() : b.interleaved());
    char line[160];
    std::snprintf(line, sizeof line, "%5.1f s  %s", double(b.frames()) / b.rate(), item.what);
    return line;
}

} // namespace art
