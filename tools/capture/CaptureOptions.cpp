#include "CaptureOptions.h"

#include "FramePlan.h"

#include <algorithm>
#include <cctype>
#include <optional>
#include <vector>

namespace {

// A whole decimal number in [low, high]; no sign, no spaces, nothing after the digits.
std::optional<uint32_t> parseNumber(const std::string& text, uint32_t low, uint32_t high) {
    if (text.empty() || text.size() > 10) {
        return std::nullopt;
    }
    uint64_t value = 0;
    for (char c : text) {
        if (!std::isdigit(static_cast<unsigned char>(c))) {
            return std::nullopt;
        }
        value = value * 10 + uint64_t(c - '0');
    }
    if (value < low || value > high) {
        return std::nullopt;
    }
    return static_cast<uint32_t>(value);
}

bool endsWithPng(const std::string& path) {
    if (path.size() < 4) {
        return false;
    }
    std::string tail = path.substr(path.size() - 4);
    std::transform(tail.begin(), tail.end(), tail.begin(),
                   [](unsigned char c) { return char(std::tolower(c)); });
    return tail == ".png";
}

const std::vector<std::string>& x264Presets() {
    static const std::vector<std::string> presets = {"ultrafast", "superfast", "veryfast", "faster",
                                                     "fast",      "medium",    "slow",     "slower",
                                                     "veryslow",  "placebo"};
    return presets;
}

constexpr uint32_t MaxSide = 8192;
// The fish tableau has no end of its own; an hour is far more than anyone wants of it.
constexpr uint32_t MaxFishMs = 3600000;

ParsedOptions fail(std::string message) {
    ParsedOptions parsed;
    parsed.error = std::move(message);
    return parsed;
}

} // namespace

std::string usageText() {
    return "usage: show-capture --out FILE [--fps N] [--size WxH] [--from MS] [--to MS]\n"
           "       show-capture --frames DIR [--fps N] [--size WxH] [--from MS] [--to MS]\n"
           "       show-capture --at MS --out FILE.png [--fps N] [--size WxH]\n"
           "Renders the show offline, run in the folder that holds data/.\n"
           "  --out FILE     H.264 video with the sound track (ffmpeg), or with --at one PNG\n"
           "  --frames DIR   one PNG per frame, DIR/frame-NNNNNN.png, NNNNNN the frame number\n"
           "  --at MS        the frame the show draws at clock MS, after the frames before it\n"
           "  --fps N        frames per second, 1 to 1000 (60); frame n is drawn at n*1000/N ms\n"
           "  --size WxH     picture size in pixels (1920x1080)\n"
           "  --from MS      first clock value of the range (0)\n"
           "  --to MS        end of the range, not included (165000, the end of the show)\n"
           "  --fish 0|1     the fish tableau in mode 0 or 1 instead of the timeline\n"
           "  --preset NAME  x264 preset, ultrafast to placebo (veryfast)\n";
}

ParsedOptions parseCaptureOptions(int argc, const char* const* argv) {
    std::optional<std::string> out, frames, at, fps, size, from, to, fish, preset;
    const std::vector<std::pair<std::string, std::optional<std::string>*>> known = {
        {"--out", &out}, {"--frames", &frames}, {"--at", &at},
        {"--fps", &fps}, {"--size", &size},     {"--from", &from},
        {"--to", &to},   {"--fish", &fish},     {"--preset", &preset}};

    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        if (arg == "--help" || arg == "-h") {
            ParsedOptions parsed;
            parsed.ok = true;
            parsed.help = true;
            return parsed;
        }
        std::string name = arg;
        std::optional<std::string> value;
        if (auto eq = arg.find('='); eq != std::string::npos && arg.rfind("--", 0) == 0) {
            name = arg.substr(0, eq);
            value = arg.substr(eq + 1);
        }
        auto slot = std::find_if(known.begin(), known.end(),
                                 [&](const auto& k) { return k.first == name; });
        if (slot == known.end()) {
            return fail("unknown option " + arg);
        }
        if (!value) {
            if (i + 1 >= argc) {
                return fail(name + " needs a value");
            }
            value = argv[++i];
        }
        *slot->second = *value;
    }

    CaptureOptions o;
    if (fps) {
        auto n = parseNumber(*fps, 1, 1000);
        if (!n) {
            return fail("--fps " + *fps + ": give a whole number of frames per second, 1 to 1000");
        }
        o.fps = int(*n);
    }
    if (size) {
        auto x = size->find_first_of("xX");
        std::optional<uint32_t> w, h;
        if (x != std::string::npos) {
            w = parseNumber(size->substr(0, x), 1, MaxSide);
            h = parseNumber(size->substr(x + 1), 1, MaxSide);
        }
        if (!w || !h) {
            return fail("--size " + *size + ": give WIDTHxHEIGHT in pixels, each 1 to " +
                        std::to_string(MaxSide));
        }
        o.width = int(*w);
        o.height = int(*h);
    }
    if (fish) {
        auto m = parseNumber(*fish, 0, 1);
        if (!m) {
            return fail("--fish " + *fish + ": the fish tableau has modes 0 and 1");
        }
        o.fish = int(*m);
    }
    if (preset) {
        const auto& presets = x264Presets();
        if (std::find(presets.begin(), presets.end(), *preset) == presets.end()) {
            return fail("--preset " + *preset + ": not an x264 preset (ultrafast ... placebo)");
        }
        o.preset = *preset;
    }

    const uint32_t length = o.fish >= 0 ? MaxFishMs : ShowLengthMs;
    const std::string lengthName = o.fish >= 0 ? "an hour" : "the end of the show";
    auto readClock = [&](const std::string& name, const std::string& text, uint32_t& into,
                         std::string& error) {
        auto ms = parseNumber(text, 0, length);
        if (!ms) {
            error = name + " " + text + ": give a clock value in milliseconds, 0 to " +
                    std::to_string(length) + " (" + lengthName + ")";
            return false;
        }
        into = *ms;
        return true;
    };

    std::string error;
    if (frames && out) {
        return fail("--frames and --out are two different outputs: give one of them");
    }
    if (at) {
        if (frames) {
            return fail("--at writes one picture to --out FILE.png, not to --frames");
        }
        if (from || to) {
            return fail("--at draws one frame: it takes no --from or --to");
        }
        if (!out || !endsWithPng(*out)) {
            return fail("--at needs --out FILE.png for its picture");
        }
        if (!readClock("--at", *at, o.atMs, error)) {
            return fail(error);
        }
        o.output = CaptureOutput::Still;
        o.outPath = *out;
    } else if (frames) {
        if (frames->empty()) {
            return fail("--frames needs a folder name");
        }
        o.output = CaptureOutput::Frames;
        o.framesDir = *frames;
    } else if (out) {
        if (out->empty()) {
            return fail("--out needs a file name");
        }
        if (endsWithPng(*out)) {
            return fail("--out " + *out +
                        " would be a video: for one picture add --at MS, for every frame "
                        "use --frames DIR");
        }
        if (o.width % 2 != 0 || o.height % 2 != 0) {
            return fail("--size " + std::to_string(o.width) + "x" + std::to_string(o.height) +
                        ": H.264 in yuv420p needs an even width and height");
        }
        o.output = CaptureOutput::Video;
        o.outPath = *out;
    } else {
        return fail("say where the capture goes: --out FILE, --frames DIR, or --at MS --out "
                    "FILE.png");
    }

    if (o.output != CaptureOutput::Still) {
        o.toMs = o.fish >= 0 ? FishLengthMs : ShowLengthMs;
        if (from && !readClock("--from", *from, o.fromMs, error)) {
            return fail(error);
        }
        if (to && !readClock("--to", *to, o.toMs, error)) {
            return fail(error);
        }
        if (o.fromMs >= o.toMs) {
            return fail("--from " + std::to_string(o.fromMs) + " --to " + std::to_string(o.toMs) +
                        ": the range is empty (--to is not included)");
        }
        if (planFrames(o.fromMs, o.toMs, o.fps).frameCount() == 0) {
            return fail("the range " + std::to_string(o.fromMs) + " to " + std::to_string(o.toMs) +
                        " ms holds no frame at " + std::to_string(o.fps) + " fps");
        }
    }

    ParsedOptions parsed;
    parsed.ok = true;
    parsed.options = o;
    return parsed;
}
