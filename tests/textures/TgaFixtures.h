#pragma once
// Small TGA files built byte by byte, for cases that the general fixture writer cannot express:
// chosen packets, broken headers, files cut short.
#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

namespace tgafixture {

using Bytes = std::vector<uint8_t>;

// The 18 header bytes of a true-colour file: zero ID length, no colour map, zero origin.
inline Bytes header(int imageType, int width, int height, int bitsPerPixel,
                    uint8_t descriptor = 0) {
    return {0,
            0,
            uint8_t(imageType),
            0,
            0,
            0,
            0,
            0,
            0,
            0,
            0,
            0,
            uint8_t(width & 0xff),
            uint8_t((width >> 8) & 0xff),
            uint8_t(height & 0xff),
            uint8_t((height >> 8) & 0xff),
            uint8_t(bitsPerPixel),
            descriptor};
}

inline Bytes join(std::initializer_list<Bytes> parts) {
    Bytes out;
    for (const Bytes& part : parts) {
        out.insert(out.end(), part.begin(), part.end());
    }
    return out;
}

// `bytes` with the last `n` removed.
inline Bytes cut(Bytes bytes, size_t n) {
    bytes.resize(bytes.size() - n);
    return bytes;
}

// `bytes` with one byte replaced.
inline Bytes with(Bytes bytes, size_t at, uint8_t value) {
    bytes[at] = value;
    return bytes;
}

// A deterministic picture of `width` x `height` pixels in red, green, blue (alpha) order, made of
// stretches of equal pixels and stretches of changing ones, so that its run-length file mixes
// run packets and raw packets of many lengths (up to 128 and beyond).
inline Bytes mixedPicture(int width, int height, int bitsPerPixel) {
    const size_t bpp = size_t(bitsPerPixel) / 8;
    const size_t count = size_t(width) * height;
    Bytes out;
    out.reserve(count * bpp);
    uint32_t state = 12345;
    auto next = [&state] {
        state = state * 1664525u + 1013904223u;
        return state >> 8;
    };
    while (out.size() < count * bpp) {
        const bool run = next() % 2 == 0;
        const size_t length = 1 + next() % 200;
        uint32_t colour = next();
        for (size_t i = 0; i < length && out.size() < count * bpp; ++i) {
            if (!run) {
                colour = next();
            }
            for (size_t c = 0; c < bpp; ++c) {
                out.push_back(uint8_t(colour >> (8 * c)));
            }
        }
    }
    return out;
}

} // namespace tgafixture
