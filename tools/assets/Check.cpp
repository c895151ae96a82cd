// show-assets check DIR: reads every file the show (and the fish tableau) would load from DIR with
// the show's own readers, the TGA reader core and the sound layer's decoder, and names each file
// that would stop the show, with the reason. The show's own report names no file.
#include "Commands.h"
#include "Pack.h"

#include "platform/SoundFile.h"
#include "textures/TGALoader.h"

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>

namespace {

namespace fs = std::filesystem;

struct Header {
    size_t fileSize = 0;
    size_t have = 0; // header bytes present, up to 18
    unsigned char b[18] = {};
    int type() const { return b[2]; }
    int width() const { return b[12] | (b[13] << 8); }
    int height() const { return b[14] | (b[15] << 8); }
    int depth() const { return b[16]; }
};

Header readHeader(const std::string& path) {
    Header h;
    std::error_code ec;
    h.fileSize = size_t(fs::file_size(path, ec));
    std::ifstream in(path, std::ios::binary);
    in.read(reinterpret_cast<char*>(h.b), sizeof h.b);
    h.have = size_t(in.gcount());
    return h;
}

std::string format(const char* fmt, long a, long b = 0, long c = 0, long d = 0) {
    char text[200];
    std::snprintf(text, sizeof text, fmt, a, b, c, d);
    return text;
}

// What the reader's message means for this file, from its header: the values the show's report
// leaves out.
std::string explain(const std::string& path, const std::string& message) {
    Header h = readHeader(path);
    if (message == "could not open texture file") {
        std::error_code ec;
        return fs::exists(path, ec) ? "exists but cannot be opened for reading" : "";
    }
    if (message == "Could not read file header" || message == "Could not read info header") {
        return format("only %ld bytes; a TGA file starts with an 18-byte header", long(h.fileSize));
    }
    if (message == "TGA file be type 2 or type 10: Invalid Image") {
        if (h.b[0] != 0) {
            return format("has an image ID of %ld bytes", h.b[0]);
        }
        if (h.b[1] != 0) {
            return "has a colour map";
        }
        if (h.type() != 2 && h.type() != 10) {
            const char* kind = h.type() == 1 || h.type() == 9    ? " (colour-mapped)"
                               : h.type() == 3 || h.type() == 11 ? " (greyscale)"
                                                                 : "";
            return format("image type %ld", h.type()) + kind +
                   "; the show reads true-colour type 2 or 10";
        }
        return "a non-zero colour map or origin field in its header";
    }
    std::string size = format("%ld x %ld, %ld bits a pixel", h.width(), h.height(), h.depth());
    if (message == "Invalid texture information") {
        return size + "; the show reads sides above 0 at 24 or 32 bits";
    }
    if (message == "Could not allocate memory for image") {
        return size + ": too large";
    }
    if (message == "Could not read image data") {
        if (h.type() == 2) {
            size_t needed = size_t(h.width()) * size_t(h.height()) * size_t(h.depth() / 8);
            return size + format(": %ld bytes of pixels where %ld are needed",
                                 long(h.fileSize > 18 ? h.fileSize - 18 : 0), long(needed));
        }
        return size + ": the run-length data ends inside a pixel";
    }
    if (message == "Could not read RLE header") {
        return size + ": the run-length data ends before the last pixel";
    }
    if (message == "Too many Pixels read") {
        return size + ": a run-length packet runs past the last pixel";
    }
    return "";
}

bool powerOfTwo(uint32_t v) {
    return v != 0 && (v & (v - 1)) == 0;
}

// One line per problem on standard output. Returns false if the picture would stop the show.
bool checkPicture(const std::string& dir, const std::string& file) {
    std::string path = dir + "/" + file;
    tga::Image image;
    const char* failure = tga::readFile(path, image);
    if (failure) {
        std::string why = explain(path, failure);
        std::error_code ec;
        if (!fs::exists(path, ec)) {
            std::printf("%s: missing (%s)\n", file.c_str(), failure);
        } else if (why.empty()) {
            std::printf("%s: %s\n", file.c_str(), failure);
        } else {
            std::printf("%s: %s (%s)\n", file.c_str(), failure, why.c_str());
        }
        return false;
    }
    if (!powerOfTwo(image.width) || !powerOfTwo(image.height)) {
        // Today's drivers take any size; OpenGL 1.1 itself leaves such a texture blank.
        std::printf("%s: note: %u x %u is not a power of two on each side; OpenGL 1.1 "
                    "drivers show it blank\n",
                    file.c_str(), image.width, image.height);
    }
    return true;
}

const char* soundError(int code) {
    switch (code) {
    case 9:
        return "missing";
    case 10:
        return "not a sound file the sound layer can decode";
    case 11:
        return "unreadable or broken";
    case 12:
        return "out of memory while opening it";
    default:
        return "cannot be opened";
    }
}

// Decodes the whole file as the sound layer would play it. Returns the seconds of sound, or a
// negative value after printing the problem.
double checkSound(const std::string& dir, const std::string& file) {
    std::string path = dir + "/" + file;
    int error = 0;
    std::unique_ptr<SoundFile> sound = SoundFile::open(path, error);
    if (!sound) {
        std::printf("%s: %s (sound error %d)\n", file.c_str(), soundError(error), error);
        return -1;
    }
    std::vector<float> chunk(4096 * SoundMixChannels);
    long frames = 0;
    for (;;) {
        long n = sound->read(chunk.data(), 4096);
        if (n < 0) {
            std::printf("%s: %s after %.1f s (sound error %d)\n", file.c_str(),
                        soundError(sound->error()), double(frames) / SoundMixRate, sound->error());
            return -1;
        }
        if (n == 0) {
            break;
        }
        frames += n;
    }
    if (frames == 0) {
        std::printf("%s: holds no sound\n", file.c_str());
        return -1;
    }
    return double(frames) / SoundMixRate;
}

} // namespace

int runCheck(const std::vector<std::string>& args) {
    if (args.size() != 1) {
        std::fprintf(stderr, "usage: show-assets check DIR\n");
        return 2;
    }
    const std::string& dir = args[0];
    std::error_code ec;
    if (!fs::is_directory(dir, ec)) {
        std::printf("%s: no such folder\n", dir.c_str());
        return 1;
    }
    int bad = 0;
    for (const art::PictureSpec& p : art::packPictures()) {
        bad += checkPicture(dir, p.file) ? 0 : 1;
    }
    double music = 0;
    for (const art::SoundSpec& s : art::packSounds()) {
        double seconds = checkSound(dir, s.file);
        bad += seconds < 0 ? 1 : 0;
        if (std::strcmp(s.file, "data/fast.mp3") == 0) {
            music = seconds;
            if (seconds >= 0 && seconds < 165.0) {
                // Not fatal: the show goes on in silence once the music has ended.
                std::printf("%s: note: %.1f s of music; the timeline runs 165 s\n", s.file,
                            seconds);
            }
        }
    }
    size_t total = art::packPictures().size() + art::packSounds().size();
    if (bad > 0) {
        std::printf("%d of %zu files in %s are bad\n", bad, total, dir.c_str());
        return 1;
    }
    std::printf("All %zu files in %s are good: %zu pictures, %zu sounds, %.1f s of music\n", total,
                dir.c_str(), art::packPictures().size(), art::packSounds().size(), music);
    return 0;
}
