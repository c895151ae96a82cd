#include "TestSupport.h"

#include "platform/Display.h"

#include <GL/gl.h>
#include <sndfile.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <unistd.h>

namespace testsupport {

void ensureGlContext(int width, int height) {
    static bool open = false;
    if (!open) {
        createHiddenDisplay(width, height);
        open = true;
    }
}

Rgb readPixel(int x, int y) {
    uint8_t px[4] = {0, 0, 0, 0};
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadBuffer(GL_BACK);
    glReadPixels(x, y, 1, 1, GL_RGB, GL_UNSIGNED_BYTE, px);
    return Rgb{px[0], px[1], px[2]};
}

std::vector<uint8_t> readFramebuffer(int width, int height) {
    std::vector<uint8_t> rgb(size_t(width) * height * 3);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadBuffer(GL_BACK);
    glReadPixels(0, 0, width, height, GL_RGB, GL_UNSIGNED_BYTE, rgb.data());
    return rgb;
}

bool near(Rgb got, Rgb want, int tolerance) {
    return std::abs(got.r - want.r) <= tolerance && std::abs(got.g - want.g) <= tolerance &&
           std::abs(got.b - want.b) <= tolerance;
}

std::string describe(Rgb c) {
    return "(" + std::to_string(c.r) + ", " + std::to_string(c.g) + ", " + std::to_string(c.b) +
           ")";
}

TempDir::TempDir() {
    char pattern[] = "/tmp/show-test-XXXXXX";
    const char* made = mkdtemp(pattern);
    if (!made) {
        throw std::runtime_error("mkdtemp failed");
    }
    path_ = made;
}

TempDir::~TempDir() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

ScopedChdir::ScopedChdir(const std::string& dir) {
    previous_ = std::filesystem::current_path().string();
    std::filesystem::current_path(dir);
}

ScopedChdir::~ScopedChdir() {
    std::error_code ignored;
    std::filesystem::current_path(previous_, ignored);
}

void writeBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
    std::filesystem::path p(path);
    if (p.has_parent_path()) {
        std::filesystem::create_directories(p.parent_path());
    }
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    if (!out) {
        throw std::runtime_error("cannot write " + path);
    }
}

std::vector<uint8_t> readBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}

std::vector<uint8_t> makeTga(int width, int height, int bitsPerPixel, int imageType,
                             const std::vector<uint8_t>& rgba, uint8_t descriptor) {
    const int bpp = bitsPerPixel / 8;
    std::vector<uint8_t> out = {0,
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
                                uint8_t(width >> 8),
                                uint8_t(height & 0xff),
                                uint8_t(height >> 8),
                                uint8_t(bitsPerPixel),
                                descriptor};
    const size_t count = size_t(width) * height;
    auto filePixel = [&](size_t i) {
        std::vector<uint8_t> v(rgba.begin() + i * bpp, rgba.begin() + (i + 1) * bpp);
        std::swap(v[0], v[2]);
        return v;
    };
    auto same = [&](size_t a, size_t b) {
        return std::equal(rgba.begin() + a * bpp, rgba.begin() + (a + 1) * bpp,
                          rgba.begin() + b * bpp);
    };
    if (imageType != 10) {
        for (size_t i = 0; i < count; ++i) {
            auto v = filePixel(i);
            out.insert(out.end(), v.begin(), v.end());
        }
        return out;
    }
    size_t i = 0;
    while (i < count) {
        size_t run = 1;
        while (i + run < count && run < 128 && same(i, i + run)) {
            ++run;
        }
        if (run > 1) {
            out.push_back(uint8_t(127 + run));
            auto v = filePixel(i);
            out.insert(out.end(), v.begin(), v.end());
            i += run;
            continue;
        }
        size_t raw = 1;
        while (i + raw < count && raw < 128 &&
               !(i + raw + 1 < count && same(i + raw, i + raw + 1))) {
            ++raw;
        }
        out.push_back(uint8_t(raw - 1));
        for (size_t k = 0; k < raw; ++k) {
            auto v = filePixel(i + k);
            out.insert(out.end(), v.begin(), v.end());
        }
        i += raw;
    }
    return out;
}

std::vector<uint8_t> solidPixels(int width, int height, int bitsPerPixel, Rgb colour, int alpha) {
    const int bpp = bitsPerPixel / 8;
    std::vector<uint8_t> px(size_t(width) * height * bpp);
    for (size_t i = 0; i < px.size(); i += bpp) {
        px[i] = uint8_t(colour.r);
        px[i + 1] = uint8_t(colour.g);
        px[i + 2] = uint8_t(colour.b);
        if (bpp == 4) {
            px[i + 3] = uint8_t(alpha);
        }
    }
    return px;
}

void writeSine(const std::string& path, int format, int sampleRate, int channels, long frames,
               double hz, double amplitude) {
    std::filesystem::path p(path);
    if (p.has_parent_path()) {
        std::filesystem::create_directories(p.parent_path());
    }
    SF_INFO info{};
    info.samplerate = sampleRate;
    info.channels = channels;
    info.format = format;
    SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
    if (!file) {
        throw std::runtime_error("cannot write " + path + ": " + sf_strerror(nullptr));
    }
    std::vector<float> samples(size_t(frames) * channels);
    for (long f = 0; f < frames; ++f) {
        float v = float(amplitude * std::sin(2.0 * M_PI * hz * double(f) / sampleRate));
        for (int c = 0; c < channels; ++c) {
            samples[size_t(f) * channels + c] = v;
        }
    }
    sf_writef_float(file, samples.data(), frames);
    sf_close(file);
}

} // namespace testsupport
