#include "TgaWriter.h"

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <stdexcept>

namespace art {

namespace {

void put16(std::vector<uint8_t>& out, int v) {
    out.push_back(uint8_t(v & 0xff));
    out.push_back(uint8_t((v >> 8) & 0xff));
}

// One row's pixels as run-length packets: runs of two or more equal pixels as run packets,
// everything between as raw packets, each at most 128 pixels.
void encodeRow(std::vector<uint8_t>& out, const uint8_t* row, int width, int bytes) {
    auto same = [&](int a, int b) {
        return std::memcmp(row + a * bytes, row + b * bytes, bytes) == 0;
    };
    int x = 0;
    while (x < width) {
        int run = 1;
        while (x + run < width && run < 128 && same(x, x + run)) {
            ++run;
        }
        if (run >= 2) {
            out.push_back(uint8_t(0x80 | (run - 1)));
            out.insert(out.end(), row + x * bytes, row + (x + 1) * bytes);
            x += run;
            continue;
        }
        int start = x, count = 0;
        while (x < width && count < 128 && !(x + 1 < width && same(x, x + 1))) {
            ++x;
            ++count;
        }
        out.push_back(uint8_t(count - 1));
        out.insert(out.end(), row + start * bytes, row + (start + count) * bytes);
    }
}

} // namespace

std::vector<uint8_t> encodeTga(const Rgba8Image& image, const TgaFormat& format) {
    if (image.width <= 0 || image.height <= 0 || image.width > 65535 || image.height > 65535 ||
        (format.bitsPerPixel != 24 && format.bitsPerPixel != 32) ||
        (format.imageType != 2 && format.imageType != 10) ||
        image.rgba.size() != size_t(image.width) * image.height * 4) {
        throw std::invalid_argument("encodeTga: picture or format outside what the writer makes");
    }
    int bytes = format.bitsPerPixel / 8;
    std::vector<uint8_t> out = {0, 0, uint8_t(format.imageType), 0, 0, 0, 0, 0, 0, 0, 0, 0};
    put16(out, image.width);
    put16(out, image.height);
    out.push_back(uint8_t(format.bitsPerPixel));
    out.push_back(uint8_t(format.topRowFirst ? 0x20 : 0x00));

    std::vector<uint8_t> row(size_t(image.width) * bytes);
    for (int r = 0; r < image.height; ++r) {
        int src = format.topRowFirst ? r : image.height - 1 - r;
        const uint8_t* in = &image.rgba[size_t(src) * image.width * 4];
        for (int x = 0; x < image.width; ++x) {
            uint8_t* p = &row[size_t(x) * bytes];
            p[0] = in[x * 4 + 2];
            p[1] = in[x * 4 + 1];
            p[2] = in[x * 4 + 0];
            if (bytes == 4) {
                p[3] = in[x * 4 + 3];
            }
        }
        if (format.imageType == 2) {
            out.insert(out.end(), row.begin(), row.end());
        } else {
            encodeRow(out, row.data(), image.width, bytes);
        }
    }
    // TGA 2.0 footer: no extension area, no developer directory.
    for (int i = 0; i < 8; ++i) {
        out.push_back(0);
    }
    const char signature[] = "TRUEVISION-XFILE.";
    out.insert(out.end(), signature, signature + sizeof signature);
    return out;
}

void writeFileBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
    std::filesystem::path p(path);
    if (p.has_parent_path()) {
        std::error_code ec;
        std::filesystem::create_directories(p.parent_path(), ec);
    }
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) {
        throw std::runtime_error("cannot write " + path + ": " + std::strerror(errno));
    }
    size_t written = std::fwrite(bytes.data(), 1, bytes.size(), f);
    bool closed = std::fclose(f) == 0;
    if (written != bytes.size() || !closed) {
        throw std::runtime_error("cannot write " + path + ": " + std::strerror(errno));
    }
}

} // namespace art
