#include "Capture.h"

#include "AudioMix.h"
#include "FramePlan.h"
#include "PngFile.h"
#include "Process.h"
#include "Progress.h"

#include "draw/Composite.h"
#include "platform/Audio.h"
#include "platform/Display.h"
#include "platform/ShowClock.h"
#include "platform/SoundFile.h"
#include "platform/SoundLayer.h"
#include "show/Show.h"
#include "textures/TextureLibrary.h"
#if SHOW_CAPTURE_HAS_FISH
#include "draw/FishTableau.h"
#endif

#include <GL/gl.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <map>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

// The virtual show clock: the clock value of the frame being drawn. Start-up runs at 0, so the
// music starts at clock 0 as it would in a show whose start-up took no time.
uint32_t virtualClockMs = 0;
uint32_t readVirtualClock() {
    return virtualClockMs;
}

const char* const CompositePictures[] = {"data/bang.tga", "data/dark.tga", "data/light.tga",
                                         "data/womanfront.tga"};
const char* const FishPictures[] = {"omgponies.tga", "oss.tga",    "rulle.tga",  "snillfisk.tga",
                                    "flippfisk.tga", "brakko.tga", "shotgun.tga"};
// The cues and the scenes whose first frame starts them.
struct Cue {
    const char* file;
    int scene;
};
const Cue Cues[] = {{"data/intro.wav", 2}, {"data/soap.wav", 3}, {"data/kest.wav", 5}};

void report(const std::string& message) {
    std::fprintf(stderr, "show-capture: %s\n", message.c_str());
}

// The encoder's temporary video, removed however the capture ends: on return, on exit() (a cue
// that fails to open ends the show's way, with status 1, in the middle of the frames), and on
// Ctrl-C or a termination signal. Kept in a plain array so the signal handler may use it.
char tempVideo[4096] = "";

void removeTempVideo() {
    if (tempVideo[0] != '\0') {
        unlink(tempVideo);
        tempVideo[0] = '\0';
    }
}

extern "C" void removeTempVideoAndDie(int signal) {
    removeTempVideo();
    std::signal(signal, SIG_DFL);
    std::raise(signal);
}

// Makes an empty, unused file in the folder of `target`, named .show-capture-XXXXXX plus
// `suffix`, as the temporary video. False if it cannot.
bool makeTempVideoBeside(const std::string& target, const std::string& suffix) {
    fs::path dir = fs::path(target).parent_path();
    std::string pattern =
        (dir.empty() ? std::string(".") : dir.string()) + "/.show-capture-XXXXXX" + suffix;
    if (pattern.size() >= sizeof tempVideo) {
        return false;
    }
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    int fd = mkstemps(name.data(), int(suffix.size()));
    if (fd < 0) {
        return false;
    }
    close(fd);
    std::memcpy(tempVideo, name.data(), name.size());
    static bool handlersSet = false;
    if (!handlersSet) {
        handlersSet = true;
        std::atexit(removeTempVideo);
        for (int sig : {SIGINT, SIGTERM, SIGHUP}) {
            std::signal(sig, removeTempVideoAndDie);
        }
    }
    return true;
}

struct TempVideoRemover {
    ~TempVideoRemover() { removeTempVideo(); }
};

// Draws one frame for clock value `now` as the show's loop does. A frame before the range
// (`kept` false) makes every call the show makes, so the scene state moves as in a live run
// (cues, phase starts, flicker counts), but its pixels are clipped to one: nothing in the show
// reads the picture back, and every frame starts by clearing, so only the work is saved.
void drawFrame(const CaptureOptions& o, uint32_t now, bool kept) {
    virtualClockMs = now;
    showTimeMs = now;
    if (kept) {
        glDisable(GL_SCISSOR_TEST);
    } else {
        glScissor(0, 0, 1, 1);
        glEnable(GL_SCISSOR_TEST);
    }
#if SHOW_CAPTURE_HAS_FISH
    if (o.fish >= 0) {
        compositeMode = o.fish;
        drawFishTableau(now);
        return;
    }
#endif
    renderFrame(now);
}

// Reads the frame just drawn, top row first, into `rgb`.
void readFrame(int width, int height, std::vector<uint8_t>& bottomUp, std::vector<uint8_t>& rgb) {
    const size_t row = size_t(width) * 3;
    bottomUp.resize(row * size_t(height));
    rgb.resize(row * size_t(height));
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadBuffer(GL_BACK);
    glReadPixels(0, 0, width, height, GL_RGB, GL_UNSIGNED_BYTE, bottomUp.data());
    // OpenGL reads the bottom row first; pictures and video want the top row first.
    for (int y = 0; y < height; ++y) {
        std::memcpy(&rgb[size_t(y) * row], &bottomUp[size_t(height - 1 - y) * row], row);
    }
}

bool checkInputs(const CaptureOptions& o) {
    if (o.fish >= 0 && !fishTableauAvailable()) {
        report("--fish: the fish tableau is not available in this build");
        return false;
    }
    if (o.output == CaptureOutput::Video && !findProgram("ffmpeg")) {
        report("ffmpeg is not installed (or not on PATH); the video needs it: "
               "apt-get install ffmpeg");
        return false;
    }
    for (const std::string& f : captureDataFiles(o)) {
        std::error_code ec;
        if (!fs::is_regular_file(f, ec)) {
            report("missing " + f + " in " + fs::current_path(ec).string() +
                   " (run in the folder that holds data/; show-assets generate DIR makes a "
                   "pack)");
            return false;
        }
    }
    if (o.output == CaptureOutput::Frames) {
        std::error_code ec;
        fs::create_directories(o.framesDir, ec);
        if (!fs::is_directory(o.framesDir, ec)) {
            report("cannot make the folder " + o.framesDir);
            return false;
        }
    } else {
        fs::path dir = fs::path(o.outPath).parent_path();
        std::error_code ec;
        if (!dir.empty() && !fs::is_directory(dir, ec)) {
            report("no folder " + dir.string() + " for --out " + o.outPath);
            return false;
        }
    }
    return true;
}

// Start-up as the show does it, on a hidden window of the capture's size instead of the
// full-screen one.
bool startUp(const CaptureOptions& o) {
    // A tool, not the show: pick the headless driver unless the user chose one.
    setenv("SDL_VIDEODRIVER", "offscreen", 0);
    setShowClockSource(readVirtualClock);
    virtualClockMs = 0;
    initSound();
    playStream("data/fast.mp3");
    createHiddenDisplay(o.width, o.height);
    if (displayWidth() != o.width || displayHeight() != o.height) {
        report("the display gave " + std::to_string(displayWidth()) + "x" +
               std::to_string(displayHeight()) + " pixels, not the " + std::to_string(o.width) +
               "x" + std::to_string(o.height) + " asked for");
        return false;
    }
    loadCatalogueTextures();
    loadCompositeTextures();
#if SHOW_CAPTURE_HAS_FISH
    if (o.fish >= 0) {
        loadFishTextures();
    }
#endif
    return true;
}

std::string framePath(const std::string& dir, int64_t n) {
    char name[32];
    std::snprintf(name, sizeof name, "frame-%06lld.png", static_cast<long long>(n));
    return (fs::path(dir) / name).string();
}

// The sound of the capture: every stream the show started, each decoded whole at MixRate in
// stereo and placed at its start clock, cut to the plan's samples.
bool mixSoundTrack(const FramePlan& plan, std::vector<float>& mix) {
    std::map<std::string, std::vector<float>> decoded;
    std::vector<PlacedSound> placed;
    for (const StartedStream& s : soundLayerStartedStreams()) {
        if (s.channel < 0) {
            continue; // no free channel: the show did not hear it either
        }
        auto it = decoded.find(s.fileName);
        if (it == decoded.end()) {
            DecodedSound sound = decodeSoundFile(s.fileName, int(MixRate));
            if (sound.error != 0) {
                report("cannot decode " + s.fileName + ": " +
                       soundErrorText(uint32_t(sound.error)));
                return false;
            }
            it = decoded.emplace(s.fileName, std::move(sound.samples)).first;
        }
        placed.push_back(PlacedSound{&it->second, clockSample(s.clockMs)});
    }
    mix = mixSounds(placed, plan.firstSample, plan.endSample);
    return true;
}

int captureStill(const CaptureOptions& o) {
    const int64_t before = firstFrameAtOrAfter(o.atMs, o.fps);
    ProgressBar progress(before + 1);
    std::vector<uint8_t> bottomUp, rgb;
    for (int64_t n = 0; n < before; ++n) {
        drawFrame(o, frameClockMs(n, o.fps), false);
        progress.update(n + 1);
    }
    drawFrame(o, o.atMs, true);
    readFrame(o.width, o.height, bottomUp, rgb);
    progress.update(before + 1);
    progress.finish();
    std::string error;
    if (!writePng(o.outPath, o.width, o.height, rgb, error)) {
        report(error);
        return 1;
    }
    return 0;
}

int captureFrames(const CaptureOptions& o) {
    const FramePlan plan = planFrames(o.fromMs, o.toMs, o.fps);
    ProgressBar progress(plan.end);
    std::vector<uint8_t> bottomUp, rgb;
    for (int64_t n = 0; n < plan.end; ++n) {
        drawFrame(o, frameClockMs(n, o.fps), n >= plan.first);
        if (n >= plan.first) {
            readFrame(o.width, o.height, bottomUp, rgb);
            std::string error;
            if (!writePng(framePath(o.framesDir, n), o.width, o.height, rgb, error)) {
                report(error);
                return 1;
            }
        }
        progress.update(n + 1);
    }
    progress.finish();
    return 0;
}

int captureVideo(const CaptureOptions& o) {
    const FramePlan plan = planFrames(o.fromMs, o.toMs, o.fps);
    TempVideoRemover removeAtReturn;
    if (!makeTempVideoBeside(o.outPath, ".mp4")) {
        report("cannot make a temporary file beside " + o.outPath);
        return 1;
    }
    const std::string videoOnly = tempVideo;

    const std::string size = std::to_string(o.width) + "x" + std::to_string(o.height);
    PipedProcess encoder;
    std::string error;
    if (!encoder.start(
            {"ffmpeg",   "-hide_banner", "-loglevel", "error",    "-f",      "rawvideo",
             "-pix_fmt", "rgb24",        "-s",        size,       "-r",      std::to_string(o.fps),
             "-i",       "pipe:0",       "-an",       "-c:v",     "libx264", "-preset",
             o.preset,   "-crf",         "18",        "-pix_fmt", "yuv420p", "-y",
             videoOnly},
            error)) {
        report(error);
        return 1;
    }

    ProgressBar progress(plan.end);
    std::vector<uint8_t> bottomUp, rgb;
    for (int64_t n = 0; n < plan.end; ++n) {
        drawFrame(o, frameClockMs(n, o.fps), n >= plan.first);
        if (n >= plan.first) {
            readFrame(o.width, o.height, bottomUp, rgb);
            if (!encoder.write(rgb.data(), rgb.size())) {
                int status = encoder.finish();
                report("ffmpeg stopped taking frames (exit status " + std::to_string(status) + ")");
                return 1;
            }
        }
        progress.update(n + 1);
    }
    progress.finish();
    if (int status = encoder.finish(); status != 0) {
        report("ffmpeg failed to encode the frames (exit status " + std::to_string(status) + ")");
        return 1;
    }

    std::fprintf(stderr, "show-capture: mixing the sound track and writing %s\n",
                 o.outPath.c_str());
    std::vector<float> mix;
    if (!mixSoundTrack(plan, mix)) {
        return 1;
    }
    PipedProcess muxer;
    if (!muxer.start({"ffmpeg",    "-hide_banner",
                      "-loglevel", "error",
                      "-i",        videoOnly,
                      "-f",        "f32le",
                      "-ar",       std::to_string(MixRate),
                      "-ac",       "2",
                      "-i",        "pipe:0",
                      "-map",      "0:v:0",
                      "-map",      "1:a:0",
                      "-c:v",      "copy",
                      "-c:a",      "aac",
                      "-b:a",      "192k",
                      "-movflags", "+faststart",
                      "-y",        o.outPath},
                     error)) {
        report(error);
        return 1;
    }
    const bool written = muxer.write(mix.data(), mix.size() * sizeof(float));
    if (int status = muxer.finish(); !written || status != 0) {
        // No half-made video stays behind under the name of a finished one.
        std::error_code ignored;
        fs::remove(o.outPath, ignored);
        report("ffmpeg failed to add the sound track to " + o.outPath + " (exit status " +
               std::to_string(status) + ")");
        return 1;
    }
    return 0;
}

} // namespace

bool fishTableauAvailable() {
    return SHOW_CAPTURE_HAS_FISH != 0;
}

std::vector<std::string> captureDataFiles(const CaptureOptions& o) {
    std::vector<std::string> files = {"data/fast.mp3"};
    for (const std::string& picture : TextureCatalogue) {
        files.push_back(picture);
    }
    for (const char* picture : CompositePictures) {
        files.push_back(picture);
    }
    if (o.fish >= 0) {
        for (const char* picture : FishPictures) {
            files.push_back(picture);
        }
        return files;
    }
    // A cue is read on the first frame of its scene, the first frame past the scene before it.
    uint32_t lastClock = o.atMs;
    if (o.output != CaptureOutput::Still) {
        lastClock = frameClockMs(planFrames(o.fromMs, o.toMs, o.fps).end - 1, o.fps);
    }
    for (const Cue& cue : Cues) {
        if (lastClock > SceneEndTimes[cue.scene - 1]) {
            files.push_back(cue.file);
        }
    }
    return files;
}

int runCapture(const CaptureOptions& o) {
    if (!checkInputs(o) || !startUp(o)) {
        return 1;
    }
    switch (o.output) {
    case CaptureOutput::Still:
        return captureStill(o);
    case CaptureOutput::Frames:
        return captureFrames(o);
    case CaptureOutput::Video:
        return captureVideo(o);
    }
    return 1;
}
