// Figures of the live sound layer on SDL's dummy driver, which paces its periods like a sound card:
//  - from process start to the first device buffer that carries music, streaming against
//    decoding the whole MP3 before playing it (a child process per run);
//  - from Stream_Open to open state 0 for the music and each cue, both ways;
//  - the device callback's worst and mean time with the music and three cues playing.
#include "SoundFixtures.h"
#include "TestPack.h"
#include "TestSupport.h"

#include "platform/Audio.h"
#include "platform/SoundLayer.h"
#include "platform/SoundMixerProbe.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace {

// The show's music runs 165 s.
constexpr int MusicSeconds = 165;

testsupport::TempDir* files = nullptr;
std::string selfPath;

const char* const Names[] = {"data/fast.mp3", "data/intro.wav", "data/soap.wav", "data/kest.wav"};

int64_t steadyNowNs() {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

// A 165 s MP3 made of the test pack's two-second MP3 repeated (its audio frames only, so no
// header announces a length), and three-second cues at the test pack's rates and layouts.
void writeFiles(const std::string& dir) {
    testsupport::writeTestPack(dir);
    std::vector<uint8_t> two = testsupport::readBytes(dir + "/data/fast.mp3");
    two.erase(two.begin(), two.begin() + long(soundfixtures::firstMpegFrameLength(two)));
    std::vector<uint8_t> music;
    for (int s = 0; s < MusicSeconds; s += 2) {
        music.insert(music.end(), two.begin(), two.end());
    }
    testsupport::writeBytes(dir + "/data/fast.mp3", music);
    using soundfixtures::sine16;
    soundfixtures::writeWav16(dir + "/data/intro.wav", 22050, 1,
                              sine16(22050, 1, 3 * 22050, 440.0, 0.2));
    soundfixtures::writeWav16(dir + "/data/soap.wav", 44100, 2,
                              sine16(44100, 2, 3 * 44100, 330.0, 0.2));
    soundfixtures::writeWav16(dir + "/data/kest.wav", 48000, 2,
                              sine16(48000, 2, 3 * 48000, 550.0, 0.2));
}

// In the child: the show's own first two steps, then the time at which the first device buffer
// with music was mixed, in steady-clock nanoseconds on standard output.
int startupProbe(const char* mode, const char* dir) {
    if (chdir(dir) != 0) {
        return 2;
    }
    soundMixerSetPredecode(std::strcmp(mode, "predecode") == 0);
    initSound();
    playStream("data/fast.mp3");
    while (soundMixerStreamFirstMixNs(currentStream) < 0) {
        std::this_thread::sleep_for(std::chrono::microseconds(100));
    }
    std::printf("%lld\n", static_cast<long long>(soundMixerStreamFirstMixNs(currentStream)));
    std::fflush(stdout);
    return 0;
}

void BM_ProcessStartToFirstMusicBuffer(benchmark::State& state) {
    const char* mode = state.range(0) == 0 ? "streaming" : "predecode";
    state.SetLabel(mode);
    for (auto _ : state) {
        int pipeFds[2];
        if (pipe(pipeFds) != 0) {
            state.SkipWithError("pipe");
            return;
        }
        int64_t started = steadyNowNs();
        pid_t pid = fork();
        if (pid == 0) {
            dup2(pipeFds[1], STDOUT_FILENO);
            close(pipeFds[0]);
            execl(selfPath.c_str(), selfPath.c_str(), "--startup-probe", mode,
                  files->path().c_str(), static_cast<char*>(nullptr));
            _exit(127);
        }
        close(pipeFds[1]);
        char text[64] = {};
        ssize_t got = read(pipeFds[0], text, sizeof(text) - 1);
        close(pipeFds[0]);
        int status = 0;
        waitpid(pid, &status, 0);
        if (got <= 0 || !WIFEXITED(status) || WEXITSTATUS(status) != 0) {
            state.SkipWithError("probe failed");
            return;
        }
        int64_t firstMix = std::atoll(text);
        state.SetIterationTime(double(firstMix - started) * 1e-9);
    }
}
BENCHMARK(BM_ProcessStartToFirstMusicBuffer)
    ->ArgName("predecode")
    ->Arg(0)
    ->Arg(1)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(10);

// Opens and waits; the open state.
int openAndWait(const std::string& path) {
    FSOUND_STREAM* stream = FSOUND_Stream_Open(path.c_str(), FSOUND_NONBLOCKING, 0, 0);
    while (FSOUND_Stream_GetOpenState(stream) == -2) {
    }
    return FSOUND_Stream_GetOpenState(stream);
}

// "first" is the first open after FSOUND_Init, as the music's is in the show: it pays for SDL
// preparing its resampler's filter table. The cues come later, when that is done.
void BM_OpenToReady(benchmark::State& state) {
    std::string name = Names[state.range(0)];
    bool predecode = state.range(1) != 0;
    bool first = state.range(2) != 0;
    state.SetLabel(name + (predecode ? " predecode" : " streaming") + (first ? " first" : ""));
    std::string path = files->file(name);
    for (auto _ : state) {
        state.PauseTiming();
        soundLayerShutdown();
        if (!FSOUND_Init(44100, 4, 0)) {
            state.SkipWithError("no device");
            return;
        }
        if (!first && openAndWait(files->file("data/intro.wav")) != 0) {
            state.SkipWithError("open failed");
            return;
        }
        soundMixerSetPredecode(predecode);
        state.ResumeTiming();
        int64_t opened = steadyNowNs();
        FSOUND_STREAM* stream = FSOUND_Stream_Open(path.c_str(), FSOUND_NONBLOCKING, 0, 0);
        while (FSOUND_Stream_GetOpenState(stream) == -2) {
            std::this_thread::yield(); // as playStream waits
        }
        int64_t ready = steadyNowNs();
        if (FSOUND_Stream_GetOpenState(stream) != 0) {
            state.SkipWithError("open failed");
            return;
        }
        state.SetIterationTime(double(ready - opened) * 1e-9);
    }
    soundLayerShutdown();
}
BENCHMARK(BM_OpenToReady)
    ->ArgNames({"file", "predecode", "first"})
    ->ArgsProduct({{0, 1, 2, 3}, {0, 1}, {0}})
    ->Args({0, 0, 1})
    ->Args({0, 1, 1})
    ->UseManualTime()
    ->Unit(benchmark::kMicrosecond)
    ->Iterations(20);

void BM_CallbackWithMusicAndThreeCues(benchmark::State& state) {
    for (auto _ : state) {
        soundLayerShutdown();
        if (!FSOUND_Init(44100, 4, 0)) {
            state.SkipWithError("no device");
            return;
        }
        for (const char* name : Names) {
            FSOUND_STREAM* stream =
                FSOUND_Stream_Open(files->file(name).c_str(), FSOUND_NONBLOCKING, 0, 0);
            while (FSOUND_Stream_GetOpenState(stream) == -2) {
                std::this_thread::yield();
            }
            if (FSOUND_Stream_Play(FSOUND_FREE, stream) < 0) {
                state.SkipWithError("play failed");
                return;
            }
        }
        // The cues last three seconds.
        std::this_thread::sleep_for(std::chrono::seconds(3));
        SoundMixerCallbackTimes times = soundMixerCallbackTimes();
        state.counters["worst_us"] = double(times.worstNs) / 1e3;
        state.counters["mean_us"] = double(times.totalNs) / 1e3 / double(times.calls);
        state.counters["period_us"] = soundMixerPeriodFrames() * 1e6 / 44100.0;
        state.counters["calls"] = double(times.calls);
        state.counters["underruns"] = double(soundMixerUnderruns());
    }
    soundLayerShutdown();
}
BENCHMARK(BM_CallbackWithMusicAndThreeCues)->Iterations(1)->Unit(benchmark::kSecond);

} // namespace

int main(int argc, char** argv) {
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    if (argc == 4 && std::strcmp(argv[1], "--startup-probe") == 0) {
        return startupProbe(argv[2], argv[3]);
    }
    char self[4096] = {};
    ssize_t length = readlink("/proc/self/exe", self, sizeof(self) - 1);
    selfPath = length > 0 ? std::string(self, size_t(length)) : std::string(argv[0]);
    files = new testsupport::TempDir();
    writeFiles(files->path());

    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    delete files;
    return 0;
}
