#pragma once
// The strict TGA reader: true-colour files only, uncompressed (type 2) or run-length (type 10),
// 24 or 32 bits a pixel, no image ID, no colour map, zero origin. Pixels come out red, green,
// blue (and alpha), rows in file order: the usual bottom-row-first file puts its bottom row first.
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>

namespace tga {

// A decoded picture, as the reader core gives it.
struct Image {
    uint32_t width = 0;
    uint32_t height = 0;
    uint32_t bitsPerPixel = 0;         // 24 or 32
    uint32_t format = 0;               // GL_RGB (0x1907) or GL_RGBA (0x1908)
    std::unique_ptr<uint8_t[]> pixels; // width * height * bitsPerPixel / 8 bytes
    size_t byteCount() const { return size_t(width) * height * (bitsPerPixel / 8); }
};

// The largest pixel buffer the reader will make: 16384 x 16384 at 32 bits, beyond what any OpenGL
// implementation takes as one texture. A header asking for more (up to 4 x 65535 x 65535 bytes,
// which does not fit in 32 bits) is refused with "Could not allocate memory for image" before
// anything is allocated.
constexpr uint64_t MaxImageBytes = uint64_t(16384) * 16384 * 4;

// The reader core. Returns nullptr and fills `out` on success, or the failure's message
// ("could not open texture file", "Too many Pixels read", ...). Touches no GL state.
const char* readFile(const std::string& fileName, Image& out);
// The same from an open stream positioned at the file's first byte; does not close it.
const char* readStream(std::FILE* file, Image& out);

} // namespace tga

// The record the show's texture upload gets from loadTGA.
class TextureImage {
  public:
    explicit TextureImage(std::string name);
    virtual ~TextureImage();
    TextureImage(const TextureImage&) = delete;
    TextureImage& operator=(const TextureImage&) = delete;

    uint32_t width = 0;
    uint32_t height = 0;
    uint32_t bitsPerPixel = 0;
    uint32_t format = 0;
    uint32_t textureName = 0;
    uint8_t* pixels = nullptr;
    std::string fileName;
    float priority = 0.0f;
};

// Reads the file into a new record that the caller owns. Every failure is a fatal report
// ("Assertion failed: false && \"<message>\", file src/textures/TGALoader.cpp, line <n>").
TextureImage* loadTGA(std::string fileName);
