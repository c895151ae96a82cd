#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace testsupport {

// Opens one hidden window with a current GL context for the whole test process (offscreen driver),
// `width` x `height` pixels on the first call; later calls return at once.
void ensureGlContext(int width = 64, int height = 64);

struct Rgb {
    int r, g, b;
};
// The colour at window pixel (x, y), with y = 0 the bottom row, from the back buffer.
Rgb readPixel(int x, int y);
// The whole back buffer as RGB rows, bottom row first.
std::vector<uint8_t> readFramebuffer(int width, int height);
// True when every channel is within `tolerance` of the expected value.
bool near(Rgb got, Rgb want, int tolerance = 3);
std::string describe(Rgb c);

// A fresh folder under /tmp, removed with everything in it on destruction.
class TempDir {
  public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::string& path() const { return path_; }
    std::string file(const std::string& name) const { return path_ + "/" + name; }

  private:
    std::string path_;
};

// Changes the working directory for a scope, as the show resolves its files against it.
class ScopedChdir {
  public:
    explicit ScopedChdir(const std::string& dir);
    ~ScopedChdir();

  private:
    std::string previous_;
};

void writeBytes(const std::string& path, const std::vector<uint8_t>& bytes);
std::vector<uint8_t> readBytes(const std::string& path);

// A TGA file's bytes. `rgba` holds width * height pixels of bitsPerPixel / 8 bytes in red, green,
// blue (alpha) order, in file row order; they are stored blue, green, red (alpha). Type 2 writes
// them raw, type 10 as run-length packets (runs where pixels repeat, raw packets elsewhere).
std::vector<uint8_t> makeTga(int width, int height, int bitsPerPixel, int imageType,
                             const std::vector<uint8_t>& rgba, uint8_t descriptor = 0);
// A picture of one colour.
std::vector<uint8_t> solidPixels(int width, int height, int bitsPerPixel, Rgb colour,
                                 int alpha = 255);

// A sound file through libsndfile: `frames` frames of a sine of `hz` at `amplitude` (0 to 1).
// `format` is a libsndfile major|minor format, e.g. SF_FORMAT_WAV | SF_FORMAT_PCM_16.
void writeSine(const std::string& path, int format, int sampleRate, int channels, long frames,
               double hz, double amplitude);

} // namespace testsupport
