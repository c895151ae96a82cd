// Decoding speed of the strict TGA reader against stb_image, on the same two 2048 x 2048 files:
// 24-bit uncompressed and 32-bit run-length. Both read from the file (warm in the page cache) and
// produce the pixels in red, green, blue (alpha) order. Rates are decoded pixel bytes per second;
// after the runs the program prints both rates by processor time and their ratio for each file.
#define STB_IMAGE_IMPLEMENTATION
#include <stb/stb_image.h>

#include "TestSupport.h"
#include "textures/TGALoader.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include <unistd.h>

namespace {

constexpr int Side = 2048;

// A picture with the mix a texture atlas has: flat areas (long runs), smooth gradients (short
// runs) and noisy areas (raw packets), in 64 x 64 blocks. Red, green, blue (alpha) order.
std::vector<uint8_t> picture(int bytesPerPixel) {
    std::vector<uint8_t> out(size_t(Side) * Side * bytesPerPixel);
    uint32_t state = 2463534242u;
    auto next = [&state] {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        return state;
    };
    for (int y = 0; y < Side; ++y) {
        for (int x = 0; x < Side; ++x) {
            uint8_t* p = &out[(size_t(y) * Side + x) * bytesPerPixel];
            const int block = (x / 64 + y / 64 * 3) % 3;
            if (block == 0) {
                p[0] = uint8_t(x / 64 * 8), p[1] = uint8_t(y / 64 * 8), p[2] = 90;
            } else if (block == 1) {
                p[0] = uint8_t(x / 4), p[1] = uint8_t(y / 8), p[2] = uint8_t((x + y) / 16);
            } else {
                const uint32_t r = next();
                p[0] = uint8_t(r), p[1] = uint8_t(r >> 8), p[2] = uint8_t(r >> 16);
            }
            if (bytesPerPixel == 4) {
                p[3] = uint8_t(block == 2 ? next() : 255);
            }
        }
    }
    return out;
}

struct Fixture {
    std::string label;
    std::string path;
    int bytesPerPixel;
};

std::string folder;
std::vector<Fixture> fixtures;

void writeFixtures() {
    char pattern[] = "/tmp/tga-bench-XXXXXX";
    if (mkdtemp(pattern) == nullptr) {
        std::perror("mkdtemp");
        std::exit(1);
    }
    folder = pattern;
    fixtures = {{"24-bit uncompressed", folder + "/uncompressed24.tga", 3},
                {"32-bit run-length", folder + "/runlength32.tga", 4}};
    for (const Fixture& f : fixtures) {
        const auto bytes =
            testsupport::makeTga(Side, Side, f.bytesPerPixel * 8, f.bytesPerPixel == 4 ? 10 : 2,
                                 picture(f.bytesPerPixel));
        std::FILE* out = std::fopen(f.path.c_str(), "wb");
        if (out == nullptr || std::fwrite(bytes.data(), 1, bytes.size(), out) != bytes.size()) {
            std::perror(f.path.c_str());
            std::exit(1);
        }
        std::fclose(out);
        std::printf("%s: %s, %zu bytes\n", f.label.c_str(), f.path.c_str(), bytes.size());
    }
}

// Both readers must give the same picture, or the comparison means nothing. stb_image puts the top
// row first; ours keeps the file's order, bottom row first for these files.
void checkAgreement() {
    for (const Fixture& f : fixtures) {
        tga::Image ours;
        const char* failure = tga::readFile(f.path, ours);
        int w = 0, h = 0, n = 0;
        uint8_t* theirs = stbi_load(f.path.c_str(), &w, &h, &n, 0);
        if (failure != nullptr || theirs == nullptr || w != Side || h != Side ||
            n != f.bytesPerPixel) {
            std::fprintf(stderr, "%s: a reader failed\n", f.label.c_str());
            std::exit(1);
        }
        const size_t row = size_t(Side) * n;
        for (int y = 0; y < Side; ++y) {
            if (std::memcmp(ours.pixels.get() + y * row, theirs + (Side - 1 - y) * row, row) != 0) {
                std::fprintf(stderr, "%s: the readers disagree on row %d\n", f.label.c_str(), y);
                std::exit(1);
            }
        }
        stbi_image_free(theirs);
    }
}

void BM_Ours(benchmark::State& state) {
    const Fixture& f = fixtures[size_t(state.range(0))];
    for (auto _ : state) {
        tga::Image image;
        if (tga::readFile(f.path, image) != nullptr) {
            state.SkipWithError("read failed");
            break;
        }
        benchmark::DoNotOptimize(image.pixels.get());
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * Side * Side * f.bytesPerPixel);
    state.SetLabel(f.label);
}

void BM_StbImage(benchmark::State& state) {
    const Fixture& f = fixtures[size_t(state.range(0))];
    for (auto _ : state) {
        int w = 0, h = 0, n = 0;
        uint8_t* pixels = stbi_load(f.path.c_str(), &w, &h, &n, 0);
        if (pixels == nullptr) {
            state.SkipWithError("read failed");
            break;
        }
        benchmark::DoNotOptimize(pixels);
        stbi_image_free(pixels);
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * Side * Side * f.bytesPerPixel);
    state.SetLabel(f.label);
}

BENCHMARK(BM_Ours)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_StbImage)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// Keeps each run's processor time per iteration (the machine may be shared, which inflates wall
// time) so that the ratios can be printed at the end.
class RatioReporter : public benchmark::ConsoleReporter {
  public:
    RatioReporter() : ConsoleReporter(isatty(STDOUT_FILENO) ? OO_Defaults : OO_Tabular) {}
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs) {
            if (run.run_type == Run::RT_Iteration && !run.error_occurred) {
                times[run.benchmark_name()] = run.GetAdjustedCPUTime();
            }
        }
        ConsoleReporter::ReportRuns(runs);
    }
    std::map<std::string, double> times;
};

} // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    writeFixtures();
    checkAgreement();
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    for (size_t i = 0; i < fixtures.size(); ++i) {
        const std::string arg = "/" + std::to_string(i);
        const auto ours = reporter.times.find("BM_Ours" + arg);
        const auto stb = reporter.times.find("BM_StbImage" + arg);
        if (ours != reporter.times.end() && stb != reporter.times.end()) {
            const double bytes = double(Side) * Side * fixtures[i].bytesPerPixel;
            std::printf("%-20s ours %7.1f MB/s  stb_image %7.1f MB/s  ours is %.2fx as fast (MB = "
                        "10^6 bytes)\n",
                        fixtures[i].label.c_str(), bytes / ours->second / 1e3,
                        bytes / stb->second / 1e3, stb->second / ours->second);
        }
    }
    std::filesystem::remove_all(folder);
    benchmark::Shutdown();
    return 0;
}
