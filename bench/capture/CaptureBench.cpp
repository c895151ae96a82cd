// How fast show-capture can go: the heaviest scene (3, the parade with both formations, 649
// quads) drawn as the capture draws it, at 1280x720 and 1920x1080. Three figures a size, in
// frames per second: drawing alone (each frame finished), drawing plus reading the pixels back, and
// drawing, reading back and encoding with ffmpeg's libx264 at the capture's presets.
//
// The pictures come from the default pack (show-assets generate) when that tool is built, from
// SHOW_BENCH_DATA=DIR (a folder holding data/) when set, else from the small test pack.
#include "Process.h"
#include "TestPack.h"
#include "TestSupport.h"

#include "draw/Composite.h"
#include "platform/Audio.h"
#include "platform/Display.h"
#include "show/Show.h"
#include "textures/TextureLibrary.h"

#include <GL/gl.h>
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <sys/resource.h>
#include <thread>
#include <time.h>
#include <memory>
#include <string>
#include <vector>

namespace {

std::unique_ptr<testsupport::TempDir> packDir;
std::unique_ptr<testsupport::ScopedChdir> inPack;
std::string packKind;
int openWidth = 0;
int openHeight = 0;

void preparePack() {
    if (inPack) {
        return;
    }
    std::string dir;
    if (const char* own = std::getenv("SHOW_BENCH_DATA")) {
        dir = own;
        packKind = "SHOW_BENCH_DATA";
    } else {
        packDir = std::make_unique<testsupport::TempDir>();
        dir = packDir->path();
#ifdef SHOW_ASSETS_PATH
        std::string error;
        if (runProgram({SHOW_ASSETS_PATH, "generate", dir}, error) == 0) {
            packKind = "default pack";
        }
#endif
        if (packKind.empty()) {
            testsupport::writeTestPack(dir);
            packKind = "test pack (8x8 pictures)";
        }
    }
    inPack = std::make_unique<testsupport::ScopedChdir>(dir);
    initSound();
}

// A hidden window of this size with the show's textures loaded into its context, and the
// timeline inside scene 3 with its start time set (its first frame at 17486 ms).
void openAt(int width, int height) {
    preparePack();
    if (openWidth == width && openHeight == height) {
        return;
    }
    createHiddenDisplay(width, height);
    loadCatalogueTextures();
    loadCompositeTextures();
    openWidth = width;
    openHeight = height;
    renderFrame(17486);
}

// Clock values inside scene 3 with both formations on screen (past 40400 ms), moving on.
uint32_t clockFor(int64_t frame) {
    return 45000u + uint32_t(frame % 600) * 16u;
}

constexpr int BatchFrames = 120;

// Processor time of this process (every thread, llvmpipe's included) and of its waited-for
// children (ffmpeg), in seconds. The machine is shared, so wall-clock rates move with the load;
// the processor time per frame is the work itself.
double cpuSeconds() {
    timespec own{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &own);
    rusage children{};
    getrusage(RUSAGE_CHILDREN, &children);
    auto seconds = [](timeval t) { return double(t.tv_sec) + double(t.tv_usec) / 1e6; };
    return double(own.tv_sec) + double(own.tv_nsec) / 1e9 + seconds(children.ru_utime) +
           seconds(children.ru_stime);
}

// The counters every benchmark reports: frames per second of wall-clock time, processor
// milliseconds per frame, and the rate that work allows on this machine's cores when nothing
// else runs (an upper bound: it assumes the work spreads over all of them).
void reportRates(benchmark::State& state, double cpuUsed) {
    const double frames = double(state.iterations()) * BatchFrames;
    state.counters["fps"] =
        benchmark::Counter(BatchFrames, benchmark::Counter::kIsIterationInvariantRate);
    const double cpuMs = cpuUsed * 1000.0 / frames;
    state.counters["cpu_ms/frame"] = cpuMs;
    state.counters["fps_idle_max"] = double(std::thread::hardware_concurrency()) * 1000.0 / cpuMs;
}

void readBack(std::vector<uint8_t>& rgb, int width, int height) {
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadBuffer(GL_BACK);
    glReadPixels(0, 0, width, height, GL_RGB, GL_UNSIGNED_BYTE, rgb.data());
}

void BM_Draw(benchmark::State& state) {
    const int w = int(state.range(0)), h = int(state.range(1));
    openAt(w, h);
    int64_t frame = 0;
    const double cpuStart = cpuSeconds();
    for (auto _ : state) {
        for (int k = 0; k < BatchFrames; ++k) {
            renderFrame(clockFor(frame++));
            // Each frame to its end, as the read-back forces it; llvmpipe would otherwise pile
            // frames up and may drop work that a later clear covers.
            glFinish();
        }
    }
    reportRates(state, cpuSeconds() - cpuStart);
    state.SetLabel(packKind);
}

void BM_DrawRead(benchmark::State& state) {
    const int w = int(state.range(0)), h = int(state.range(1));
    openAt(w, h);
    std::vector<uint8_t> rgb(size_t(w) * h * 3);
    int64_t frame = 0;
    const double cpuStart = cpuSeconds();
    for (auto _ : state) {
        for (int k = 0; k < BatchFrames; ++k) {
            renderFrame(clockFor(frame++));
            readBack(rgb, w, h);
            benchmark::DoNotOptimize(rgb.data());
        }
    }
    reportRates(state, cpuSeconds() - cpuStart);
    state.SetLabel(packKind);
}

// As the capture feeds ffmpeg: every frame drawn, read back, its rows turned top first and piped;
// the encoder's start and its last frames are inside the time.
void BM_DrawReadEncode(benchmark::State& state, const char* preset) {
    const int w = int(state.range(0)), h = int(state.range(1));
    openAt(w, h);
    const size_t row = size_t(w) * 3;
    std::vector<uint8_t> bottomUp(row * h), rgb(row * h);
    int64_t frame = 0;
    const std::string size = std::to_string(w) + "x" + std::to_string(h);
    const double cpuStart = cpuSeconds();
    for (auto _ : state) {
        PipedProcess encoder;
        std::string error;
        if (!encoder.start({"ffmpeg",   "-hide_banner", "-loglevel", "error",  "-f",
                            "rawvideo", "-pix_fmt",     "rgb24",     "-s",     size,
                            "-r",       "60",           "-i",        "pipe:0", "-c:v",
                            "libx264",  "-preset",      preset,      "-crf",   "18",
                            "-pix_fmt", "yuv420p",      "-f",        "null",   "-"},
                           error)) {
            state.SkipWithError(error.c_str());
            return;
        }
        for (int k = 0; k < BatchFrames; ++k) {
            renderFrame(clockFor(frame++));
            readBack(bottomUp, w, h);
            for (int y = 0; y < h; ++y) {
                std::copy_n(&bottomUp[size_t(h - 1 - y) * row], row, &rgb[size_t(y) * row]);
            }
            if (!encoder.write(rgb.data(), rgb.size())) {
                state.SkipWithError("ffmpeg stopped taking frames");
                return;
            }
        }
        if (encoder.finish() != 0) {
            state.SkipWithError("ffmpeg failed");
            return;
        }
    }
    reportRates(state, cpuSeconds() - cpuStart);
    state.SetLabel(std::string(preset) + ", " + packKind);
}

// Sizes in order, so that each opens its window once.
void sizes(benchmark::internal::Benchmark* b) {
    b->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(3.0);
}

} // namespace

BENCHMARK(BM_Draw)->Args({1280, 720})->Apply(sizes);
BENCHMARK(BM_DrawRead)->Args({1280, 720})->Apply(sizes);
BENCHMARK_CAPTURE(BM_DrawReadEncode, ultrafast, "ultrafast")->Args({1280, 720})->Apply(sizes);
BENCHMARK_CAPTURE(BM_DrawReadEncode, veryfast, "veryfast")->Args({1280, 720})->Apply(sizes);
BENCHMARK(BM_Draw)->Args({1920, 1080})->Apply(sizes);
BENCHMARK(BM_DrawRead)->Args({1920, 1080})->Apply(sizes);
BENCHMARK_CAPTURE(BM_DrawReadEncode, ultrafast, "ultrafast")->Args({1920, 1080})->Apply(sizes);
BENCHMARK_CAPTURE(BM_DrawReadEncode, veryfast, "veryfast")->Args({1920, 1080})->Apply(sizes);

int main(int argc, char** argv) {
    // A benchmark, not the show: headless unless the caller chose a video driver.
    setenv("SDL_VIDEODRIVER", "offscreen", 0);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
