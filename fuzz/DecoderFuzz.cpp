// The general decoder over one input in memory. Beyond the sanitizers' own checks: the result is
// exactly one code; a success holds an image of the size its getters give, with a palette exactly
// for the colour-mapped types; a second load of the same input on the same decoder gives the
// same result and pixels.
#include "textures/TGADecoder.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

[[noreturn]] void fail(const char* what) {
    std::fprintf(stderr, "fuzz_tga_decoder: %s\n", what);
    std::abort();
}

bool isCode(int code) {
    return code == TGADecoder::LoadOk || code == TGADecoder::LoadCannotOpen ||
           code == TGADecoder::LoadNoMemory || code == TGADecoder::LoadBadImage ||
           code == TGADecoder::LoadUnsupported;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    TGADecoder decoder;
    const int code = decoder.loadFromMemory(data, size);
    if (!isCode(code)) {
        fail("not a result code");
    }
    if (code != TGADecoder::LoadOk) {
        return 0;
    }

    const int type = decoder.getImageType();
    const int depth = decoder.getBitsPerPixel();
    const bool colourMapped = type == 1 || type == 9;
    if (decoder.getWidth() < 1 || decoder.getHeight() < 1 || !decoder.getPixels()) {
        fail("success without an image");
    }
    if (colourMapped ? depth != 8 : (depth != 24 && depth != 32)) {
        fail("success at a depth its type does not have");
    }
    if (uint64_t(decoder.getImageSize()) !=
        uint64_t(decoder.getWidth()) * uint64_t(decoder.getHeight()) * uint64_t(depth / 8)) {
        fail("image size disagrees with the getters");
    }
    if ((decoder.getPalette() != nullptr) != colourMapped) {
        fail("palette present for the wrong type");
    }
    // Copies every byte, so that AddressSanitizer sees a buffer shorter than it claims.
    const std::vector<uint8_t> pixels(decoder.getPixels(),
                                      decoder.getPixels() + decoder.getImageSize());
    std::vector<uint8_t> palette;
    if (colourMapped) {
        palette.assign(decoder.getPalette(), decoder.getPalette() + 768);
    }

    if (decoder.loadFromMemory(data, size) != TGADecoder::LoadOk ||
        decoder.getImageSize() != pixels.size() ||
        std::memcmp(decoder.getPixels(), pixels.data(), pixels.size()) != 0 ||
        (colourMapped && std::memcmp(decoder.getPalette(), palette.data(), 768) != 0)) {
        fail("a second load of the same input differs");
    }
    return 0;
}
