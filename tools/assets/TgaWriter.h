#pragma once
// Our TGA writer: true-colour files of the profile the show's reader takes (no image ID, no
// colour map, zero origin), uncompressed (type 2) or run-length (type 10), 24 or 32 bits.
#include <cstdint>
#include <string>
#include <vector>

namespace art {

struct TgaFormat {
    int imageType = 2;     // 2 uncompressed, 10 run-length
    int bitsPerPixel = 24; // 24 or 32
    bool topRowFirst = false;
};

// An 8-bit picture, straight alpha, four bytes a pixel (red, green, blue, alpha), rows top first.
struct Rgba8Image {
    int width = 0, height = 0;
    std::vector<uint8_t> rgba;
};

// The file's bytes. Rows are stored bottom row first (image descriptor 0x00) or top row first
// (0x20), nothing else in the descriptor, so the general decoder reads them too (it refuses
// attribute bits). Run-length packets never cross a row end, which is what ordinary viewers
// expect. A TGA 2.0 footer closes the file.
std::vector<uint8_t> encodeTga(const Rgba8Image& image, const TgaFormat& format);

// Writes bytes to a file, making its parent folders. Throws std::runtime_error on failure.
void writeFileBytes(const std::string& path, const std::vector<uint8_t>& bytes);

} // namespace art
