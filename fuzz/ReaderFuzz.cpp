// The strict reader core over one input as an in-memory stream. Beyond the sanitizers' own checks:
// a success holds the whole image and a failure holds none, and for every file that both readers
// take on (the strict profile, sizes the general decoder's 16-bit fields hold, a descriptor up to
// 32) both accept or both refuse, with the same pixels once the general decoder's row order is
// undone.
#include "textures/TGADecoder.h"
#include "textures/TGALoader.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

[[noreturn]] void fail(const char* what) {
    std::fprintf(stderr, "fuzz_tga_reader: %s\n", what);
    std::abort();
}

// Reads every byte so that AddressSanitizer sees a buffer shorter than it claims.
uint8_t touch(const uint8_t* p, size_t n) {
    uint8_t x = 0;
    for (size_t i = 0; i < n; ++i) {
        x ^= p[i];
    }
    return x;
}

bool bothReadersApply(const uint8_t* data, size_t size) {
    if (size < 18) {
        return false;
    }
    const unsigned width = data[12] | (data[13] << 8);
    const unsigned height = data[14] | (data[15] << 8);
    return width < 0x8000 && height < 0x8000 && data[17] <= 32;
}

} // namespace

// Whether the header declares more pixel bytes than any packets of this input could make (a run
// packet of 1 + bytes-per-pixel bytes makes at most 128 pixels) while staying under the reader's
// allocation cap. The reader makes the whole buffer before it reads a pixel, up to 1 GiB, which
// costs seconds under AddressSanitizer and can only end in a failed read.
bool hopelesslyLarge(const uint8_t* data, size_t size) {
    if (size < 18) {
        return false;
    }
    const uint64_t width = data[12] | (data[13] << 8);
    const uint64_t height = data[14] | (data[15] << 8);
    const uint64_t bytes = width * height * (data[16] / 8);
    return bytes > 128 * uint64_t(size) && bytes <= tga::MaxImageBytes;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (hopelesslyLarge(data, size)) {
        return 0;
    }
    std::FILE* stream = fmemopen(const_cast<uint8_t*>(data), size, "rb");
    if (stream == nullptr) {
        return 0; // an empty buffer on older C libraries
    }
    tga::Image image;
    const char* failure = tga::readStream(stream, image);
    std::fclose(stream);

    if (failure == nullptr) {
        if (!image.pixels || image.width == 0 || image.height == 0 ||
            (image.bitsPerPixel != 24 && image.bitsPerPixel != 32)) {
            fail("success without a whole image");
        }
        volatile uint8_t sink = touch(image.pixels.get(), image.byteCount());
        (void)sink;
        if (data[2] == 2 && size < 18 + image.byteCount()) {
            fail("uncompressed image longer than its file");
        }
    } else if (image.pixels) {
        fail("failure that keeps pixels");
    }

    if (!bothReadersApply(data, size)) {
        return 0;
    }
    TGADecoder decoder;
    const int code = decoder.loadFromMemory(data, size);
    if ((failure == nullptr) != (code == TGADecoder::LoadOk)) {
        // Only a file of the strict profile can succeed in the strict reader; the decoder takes
        // more (image IDs, origins, colour maps), so a decoder success alone is not a disagreement.
        if (failure == nullptr) {
            fail("the strict reader accepts a file the decoder refuses");
        }
        const bool strictProfile = data[0] == 0 && data[1] == 0 &&
                                   (data[2] == 2 || data[2] == 10) &&
                                   std::memcmp(data + 3, "\0\0\0\0\0\0\0\0\0", 9) == 0 &&
                                   (data[16] == 24 || data[16] == 32);
        if (strictProfile && std::strcmp(failure, "Could not allocate memory for image") != 0) {
            fail("the decoder accepts a strict-profile file the strict reader refuses");
        }
        return 0;
    }
    if (failure != nullptr) {
        return 0;
    }
    // The strict reader keeps file row order; the decoder puts the top row first, flipping the
    // usual bottom-first file (descriptor bit 0x20 clear).
    const size_t row = size_t(image.width) * (image.bitsPerPixel / 8);
    const bool flipped = !(data[17] & 0x20);
    if (decoder.getImageSize() != image.byteCount()) {
        fail("the readers disagree on the image size");
    }
    for (uint32_t y = 0; y < image.height; ++y) {
        const uint32_t other = flipped ? image.height - 1 - y : y;
        if (std::memcmp(image.pixels.get() + y * row, decoder.getPixels() + other * row, row) !=
            0) {
            fail("the readers disagree on the pixels");
        }
    }
    return 0;
}
