// show-assets inspect FILE [--decoder|--reader] [--raw OUT]: what one TGA file's header says and
// what one of our two readers makes of it, so that anyone can hold the result against another
// decoder. The header is printed from the file's own bytes, whichever reader runs; --raw writes the
// decoded pixels (and, for a colour-mapped file, the palette to OUT.palette) as plain bytes.
#include "Commands.h"

#include "textures/TGADecoder.h"
#include "textures/TGALoader.h"

#include <cstdint>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

namespace {

constexpr const char* Usage = "usage: show-assets inspect FILE [--decoder|--reader] [--raw OUT]";

struct Options {
    std::string file;
    bool reader = false; // the strict reader core instead of the general decoder
    std::string raw;
};

bool parse(const std::vector<std::string>& args, Options& o) {
    bool chose = false;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "--decoder" || a == "--reader") {
            if (chose) {
                return false;
            }
            chose = true;
            o.reader = a == "--reader";
        } else if (a == "--raw") {
            if (i + 1 >= args.size() || !o.raw.empty()) {
                return false;
            }
            o.raw = args[++i];
        } else if (!a.empty() && a[0] == '-') {
            return false;
        } else if (o.file.empty()) {
            o.file = a;
        } else {
            return false;
        }
    }
    return !o.file.empty();
}

const char* typeName(int type) {
    switch (type) {
    case 1:
        return "colour-mapped, uncompressed";
    case 2:
        return "true-colour, uncompressed";
    case 3:
        return "greyscale, uncompressed";
    case 9:
        return "colour-mapped, run-length";
    case 10:
        return "true-colour, run-length";
    case 11:
        return "greyscale, run-length";
    default:
        return "not a TGA image type";
    }
}

int read16(const uint8_t* at) {
    return at[0] | (at[1] << 8);
}

// The header as stored; the two readers read its size fields differently (the decoder takes the
// width as x2 - x1 from offsets 8 and 12, the strict reader the value at offset 12).
void printHeader(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    uint8_t h[18] = {};
    in.read(reinterpret_cast<char*>(h), sizeof h);
    const size_t have = size_t(in.gcount());
    if (!in && have == 0) {
        std::printf("header: none (the file cannot be read or is empty)\n");
        return;
    }
    if (have < sizeof h) {
        std::printf("header: only %zu of 18 bytes\n", have);
        return;
    }
    std::printf("type: %d (%s)\n", h[2], typeName(h[2]));
    std::printf("size: %d x %d", read16(h + 12), read16(h + 14));
    if (read16(h + 8) != 0 || read16(h + 10) != 0) {
        std::printf(" (origin %d, %d)", int16_t(read16(h + 8)), int16_t(read16(h + 10)));
    }
    std::printf("\ndepth: %d\n", h[16]);
    std::printf("descriptor: 0x%02x (%s row first, %d attribute bits)\n", h[17],
                (h[17] & 0x20) ? "top" : "bottom", h[17] & 0x0f);
    std::printf("image id: %d bytes\n", h[0]);
    std::printf("colour map: type %d, entries %d from %d, %d bits\n", h[1], read16(h + 5),
                read16(h + 3), h[7]);
}

bool writeFile(const std::string& path, const uint8_t* bytes, size_t count) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes), std::streamsize(count));
    out.close();
    if (!out) {
        std::fprintf(stderr, "show-assets inspect: cannot write %s\n", path.c_str());
        return false;
    }
    return true;
}

const char* codeName(int code) {
    switch (code) {
    case TGADecoder::LoadOk:
        return "LoadOk";
    case TGADecoder::LoadCannotOpen:
        return "LoadCannotOpen";
    case TGADecoder::LoadNoMemory:
        return "LoadNoMemory";
    case TGADecoder::LoadBadImage:
        return "LoadBadImage";
    case TGADecoder::LoadUnsupported:
        return "LoadUnsupported";
    default:
        return "unknown";
    }
}

int inspectWithDecoder(const Options& o) {
    TGADecoder decoder;
    const int code = decoder.load(o.file.c_str());
    std::printf("decoder: %s (%d)\n", codeName(code), code);
    if (code != TGADecoder::LoadOk) {
        return 1;
    }
    const bool mapped = decoder.getPalette() != nullptr;
    std::printf(
        "decoded: %d x %d, %d bits a pixel, %u bytes, top row first, %s\n", decoder.getWidth(),
        decoder.getHeight(), decoder.getBitsPerPixel(), decoder.getImageSize(),
        mapped
            ? "palette indices with a 256-entry palette (red, green, blue)"
            : (decoder.getBitsPerPixel() == 32 ? "red, green, blue, alpha" : "red, green, blue"));
    if (o.raw.empty()) {
        return 0;
    }
    if (!writeFile(o.raw, decoder.getPixels(), decoder.getImageSize())) {
        return 1;
    }
    std::printf("wrote: %s (%u bytes)\n", o.raw.c_str(), decoder.getImageSize());
    if (mapped) {
        const std::string palette = o.raw + ".palette";
        if (!writeFile(palette, decoder.getPalette(), 768)) {
            return 1;
        }
        std::printf("wrote: %s (768 bytes)\n", palette.c_str());
    }
    return 0;
}

int inspectWithReader(const Options& o) {
    tga::Image image;
    const char* failure = tga::readFile(o.file, image);
    if (failure != nullptr) {
        std::printf("reader: %s\n", failure);
        return 1;
    }
    std::printf("reader: ok\n");
    std::printf("decoded: %u x %u, %u bits a pixel, %zu bytes, rows in file order, %s\n",
                image.width, image.height, image.bitsPerPixel, image.byteCount(),
                image.bitsPerPixel == 32 ? "red, green, blue, alpha" : "red, green, blue");
    if (o.raw.empty()) {
        return 0;
    }
    if (!writeFile(o.raw, image.pixels.get(), image.byteCount())) {
        return 1;
    }
    std::printf("wrote: %s (%zu bytes)\n", o.raw.c_str(), image.byteCount());
    return 0;
}

} // namespace

// Exit status: 0 when the chosen reader decodes the file, 1 when it refuses it (or the raw file
// cannot be written), 2 for a usage error.
int runInspect(const std::vector<std::string>& args) {
    Options o;
    if (!parse(args, o)) {
        std::fprintf(stderr, "%s\n", Usage);
        return 2;
    }
    std::printf("file: %s\n", o.file.c_str());
    printHeader(o.file);
    return o.reader ? inspectWithReader(o) : inspectWithDecoder(o);
}
