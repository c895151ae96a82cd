#pragma once
// The general TGA decoder: colour-mapped (types 1 and 9, 8 bits a pixel) and true-colour (types 2
// and 10, 24 or 32 bits a pixel) files, uncompressed or run-length encoded, read whole into memory.
// Pixels come out top row first, rows without gaps; true-colour pixels red, green, blue (then the
// file's fourth byte at 32 bits), colour-mapped pixels one palette index each with a 256-entry
// palette of red, green, blue. Every outcome is a result code; nothing is printed.
#include <cstddef>
#include <cstdint>
#include <memory>

class TGADecoder {
  public:
    // Distinct bits, but exactly one is returned at a time.
    enum Result {
        LoadOk = 1,
        LoadCannotOpen = 2,  // missing path, a directory, or a stream whose length cannot be taken
        LoadNoMemory = 4,    // the file, pixel or palette buffer cannot be allocated
        LoadBadImage = 8,    // empty image, or data that does not hold what the header declares
        LoadUnsupported = 64 // header values outside what the decoder handles
    };

    TGADecoder() = default;
    // Destruction frees the three buffers, like release.
    ~TGADecoder() = default;
    TGADecoder(const TGADecoder&) = delete;
    TGADecoder& operator=(const TGADecoder&) = delete;

    // Reads the NUL-terminated path and decodes it, replacing any previous image.
    int load(const char* path);
    // The same decoding over `size` bytes already in memory (copied; the caller keeps its own).
    int loadFromMemory(const uint8_t* data, size_t size);
    // Frees pixels, palette and file data; the header values stay.
    void release();

    int getBitsPerPixel() const { return bitsPerPixel; }
    int getWidth() const { return width; }
    int getHeight() const { return height; }
    int getImageType() const { return imageType; }
    uint32_t getImageSize() const { return imageSize; } // bytes in getPixels after LoadOk
    // Valid until the next load or release; null when there is none.
    uint8_t* getPixels() const { return pixels.get(); }
    uint8_t* getPalette() const { return palette.get(); } // 768 bytes, red, green, blue

  private:
    int decodeFileData();
    int parseHeader();
    int copyRawData();
    int decodeRle();
    int loadPalette();
    void swapRedBlue();
    void flipRows();

    int16_t width = 0;
    int16_t height = 0;
    int16_t bitsPerPixel = 0;
    uint32_t imageSize = 0; // width * height * (bitsPerPixel / 8)
    int8_t imageType = 0;
    std::unique_ptr<uint8_t[]> pixels;
    std::unique_ptr<uint8_t[]> palette;
    std::unique_ptr<uint8_t[]> fileData; // the whole file, only during a load
    uint32_t fileLength = 0;             // bytes held in fileData
};
