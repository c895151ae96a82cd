#include "textures/TGADecoder.h"

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <limits>
#include <new>
#include <utility>

namespace {

constexpr uint32_t HeaderSize = 18;
constexpr uint32_t PaletteEntries = 256;
constexpr uint32_t PaletteBytes = PaletteEntries * 3; // as stored: blue, green, red
constexpr uint8_t TopRowFirst = 0x20;

// Header offsets; 16-bit fields are little-endian and taken as signed.
constexpr int IdLengthAt = 0;
constexpr int ColourMapTypeAt = 1;
constexpr int ImageTypeAt = 2;
constexpr int ColMapStartAt = 3;
constexpr int ColMapLenAt = 5;
constexpr int ColMapEntryBitsAt = 7;
constexpr int X1At = 8;
constexpr int Y1At = 10;
constexpr int X2At = 12;
constexpr int Y2At = 14;
constexpr int DepthAt = 16;
constexpr int DescriptorAt = 17;

int16_t read16(const uint8_t* at) {
    return int16_t(uint16_t(at[0] | (at[1] << 8)));
}

std::unique_ptr<uint8_t[]> allocate(size_t bytes) {
    return std::unique_ptr<uint8_t[]>(new (std::nothrow) uint8_t[bytes]);
}

} // namespace

void TGADecoder::release() {
    pixels.reset();
    palette.reset();
    fileData.reset();
    fileLength = 0;
}

int TGADecoder::load(const char* path) {
    pixels.reset();
    palette.reset();
    if (!path) {
        return LoadCannotOpen;
    }
    // A directory opens as a stream on Linux and reports an absurd length; it is no file.
    std::error_code ec;
    if (std::filesystem::is_directory(path, ec)) {
        return LoadCannotOpen;
    }
    std::ifstream fIn(path, std::ios::in | std::ios::binary);
    if (!fIn.good()) {
        return LoadCannotOpen;
    }
    fIn.seekg(0, std::ios::end);
    const std::streamoff end = fIn.tellg();
    fIn.seekg(0, std::ios::beg);
    if (end < 0 || !fIn.good()) {
        return LoadCannotOpen;
    }
    // The file length is held in 32 bits; a longer file cannot be held whole.
    if (uint64_t(end) > std::numeric_limits<uint32_t>::max()) {
        return LoadUnsupported;
    }

    fileData.reset();
    fileLength = 0;
    fileData = allocate(size_t(end));
    if (!fileData) {
        return LoadNoMemory;
    }
    fIn.read(reinterpret_cast<char*>(fileData.get()), end);
    // Only the bytes that really came count, so a file that shrank since its length was taken
    // never leaves unread bytes to decode.
    fileLength = uint32_t(fIn.gcount());
    fIn.close();
    return decodeFileData();
}

int TGADecoder::loadFromMemory(const uint8_t* data, size_t size) {
    pixels.reset();
    palette.reset();
    if (size > std::numeric_limits<uint32_t>::max()) {
        return LoadUnsupported;
    }
    fileData.reset();
    fileLength = 0;
    fileData = allocate(size);
    if (!fileData) {
        return LoadNoMemory;
    }
    if (size > 0) {
        std::memcpy(fileData.get(), data, size);
    }
    fileLength = uint32_t(size);
    return decodeFileData();
}

// Steps after the file is in memory; on failure fileData (and any pixel buffer already made) stays
// until the next load or release.
int TGADecoder::decodeFileData() {
    const int header = parseHeader();
    if (header != LoadOk) {
        return header;
    }
    const uint8_t* h = fileData.get();
    const uint64_t idLength = h[IdLengthAt];
    const uint8_t colourMapType = h[ColourMapTypeAt];
    int result = LoadOk;
    switch (imageType) {
    case 1:
        if (uint64_t(imageSize) + idLength + HeaderSize + PaletteBytes > fileLength) {
            return LoadBadImage;
        }
        if (colourMapType != 1) {
            return LoadBadImage;
        }
        if ((result = copyRawData()) != LoadOk || (result = loadPalette()) != LoadOk) {
            return result;
        }
        break;
    case 2:
        if (uint64_t(imageSize) + idLength + HeaderSize > fileLength) {
            return LoadBadImage;
        }
        if (colourMapType != 0) {
            return LoadBadImage;
        }
        if ((result = copyRawData()) != LoadOk) {
            return result;
        }
        swapRedBlue();
        break;
    case 9:
        if (colourMapType != 1) {
            return LoadBadImage;
        }
        if ((result = decodeRle()) != LoadOk || (result = loadPalette()) != LoadOk) {
            return result;
        }
        break;
    case 10:
        if (colourMapType != 0) {
            return LoadBadImage;
        }
        if ((result = decodeRle()) != LoadOk) {
            return result;
        }
        swapRedBlue();
        break;
    default:
        return LoadUnsupported;
    }
    if (!(h[DescriptorAt] & TopRowFirst)) {
        flipRows();
    }
    fileData.reset();
    fileLength = 0;
    return LoadOk;
}

int TGADecoder::parseHeader() {
    // Every field below is read from the 18 header bytes, so a shorter file has no image.
    if (fileLength < HeaderSize) {
        return LoadBadImage;
    }
    const uint8_t* h = fileData.get();
    const uint8_t colourMapType = h[ColourMapTypeAt];
    if (colourMapType > 1) {
        return LoadUnsupported;
    }
    // Bytes 128 to 255 are negative here and pass; decodeFileData refuses them by type.
    imageType = int8_t(h[ImageTypeAt]);
    if (imageType > 11) {
        return LoadUnsupported;
    }
    if (colourMapType == 1) {
        const int16_t colMapStart = read16(h + ColMapStartAt);
        const int16_t colMapLen = read16(h + ColMapLenAt);
        if (colMapStart != 0 || colMapLen != int16_t(PaletteEntries) ||
            h[ColMapEntryBitsAt] != 24) {
            return LoadUnsupported;
        }
    }
    const int16_t x1 = read16(h + X1At);
    const int16_t y1 = read16(h + Y1At);
    const int16_t x2 = read16(h + X2At);
    const int16_t y2 = read16(h + Y2At);
    width = int16_t(uint16_t(x2 - x1));
    height = int16_t(uint16_t(y2 - y1));
    if (width < 1 || height < 1) {
        return LoadBadImage;
    }
    bitsPerPixel = h[DepthAt];
    if (h[DescriptorAt] > 32) {
        return LoadUnsupported;
    }
    // Palette indices are one byte; true-colour pixels need the three bytes that swapRedBlue
    // exchanges.
    const bool colourMapped = imageType == 1 || imageType == 9;
    const bool trueColour = imageType == 2 || imageType == 10;
    if ((colourMapped && bitsPerPixel != 8) ||
        (trueColour && bitsPerPixel != 24 && bitsPerPixel != 32)) {
        return LoadUnsupported;
    }
    const uint64_t size = uint64_t(width) * uint64_t(height) * uint64_t(bitsPerPixel / 8);
    if (size > std::numeric_limits<uint32_t>::max()) {
        return LoadUnsupported;
    }
    imageSize = uint32_t(size);
    return LoadOk;
}

int TGADecoder::copyRawData() {
    const uint8_t* h = fileData.get();
    const uint32_t start =
        HeaderSize + h[IdLengthAt] + (h[ColourMapTypeAt] == 1 ? PaletteBytes : 0);
    pixels.reset();
    pixels = allocate(imageSize);
    if (!pixels) {
        return LoadNoMemory;
    }
    std::memcpy(pixels.get(), h + start, imageSize);
    return LoadOk;
}

int TGADecoder::decodeRle() {
    const uint8_t* h = fileData.get();
    const uint64_t start =
        uint64_t(HeaderSize) + h[IdLengthAt] + (h[ColourMapTypeAt] == 1 ? PaletteBytes : 0);
    if (start > fileLength) {
        return LoadBadImage;
    }
    const uint32_t pixelBytes = uint32_t(bitsPerPixel / 8);
    // Each packet of at most 128 pixels costs at least its header and one pixel, so data that
    // cannot reach imageSize is refused before a buffer of that size is made.
    const uint64_t pixelCount = imageSize / pixelBytes;
    const uint64_t leastData = (pixelCount + 127) / 128 * (1 + pixelBytes);
    if (leastData > fileLength - start) {
        return LoadBadImage;
    }

    pixels.reset();
    pixels = allocate(imageSize);
    if (!pixels) {
        return LoadNoMemory;
    }
    uint8_t* out = pixels.get();
    uint64_t read = start;
    uint32_t count = 0;
    while (count < imageSize) {
        if (read >= fileLength) {
            return LoadBadImage;
        }
        const uint8_t packet = h[read++];
        const bool run = packet & 0x80;
        const uint32_t n = run ? packet - 127u : packet + 1u;
        // A packet that reaches past imageSize is refused whole, before anything of it is
        // written.
        if (uint64_t(n) * pixelBytes > imageSize - count) {
            return LoadBadImage;
        }
        const uint64_t dataBytes = uint64_t(run ? 1 : n) * pixelBytes;
        if (dataBytes > fileLength - read) {
            return LoadBadImage;
        }
        if (run) {
            for (uint32_t i = 0; i < n; ++i) {
                std::memcpy(out + count, h + read, pixelBytes);
                count += pixelBytes;
            }
        } else {
            std::memcpy(out + count, h + read, dataBytes);
            count += uint32_t(dataBytes);
        }
        read += dataBytes;
    }
    return LoadOk;
}

int TGADecoder::loadPalette() {
    const uint8_t* h = fileData.get();
    const uint64_t start = uint64_t(HeaderSize) + h[IdLengthAt];
    // Type 1 has been measured against the file already; type 9 has not.
    if (start + PaletteBytes > fileLength) {
        return LoadBadImage;
    }
    palette.reset();
    palette = allocate(PaletteBytes);
    if (!palette) {
        return LoadNoMemory;
    }
    std::memcpy(palette.get(), h + start, PaletteBytes);
    for (uint32_t i = 0; i < PaletteBytes; i += 3) {
        std::swap(palette[i], palette[i + 2]);
    }
    return LoadOk;
}

void TGADecoder::swapRedBlue() {
    const uint32_t pixelBytes = uint32_t(bitsPerPixel / 8);
    uint8_t* p = pixels.get();
    for (uint32_t i = 0; i < imageSize; i += pixelBytes) {
        std::swap(p[i], p[i + 2]);
    }
}

void TGADecoder::flipRows() {
    const size_t rowBytes = size_t(width) * size_t(bitsPerPixel / 8);
    uint8_t* upper = pixels.get();
    uint8_t* lower = upper + size_t(height - 1) * rowBytes;
    while (upper < lower) {
        std::swap_ranges(upper, upper + rowBytes, lower);
        upper += rowBytes;
        lower -= rowBytes;
    }
}
