#pragma once
// The command line of show-capture, checked before anything is opened.
#include <cstdint>
#include <string>

enum class CaptureOutput {
    Video,  // --out FILE: H.264 video with the sound track
    Frames, // --frames DIR: one PNG per frame
    Still,  // --at MS --out FILE.png: one PNG
};

struct CaptureOptions {
    CaptureOutput output = CaptureOutput::Video;
    std::string outPath;   // the video or the single PNG
    std::string framesDir; // the folder of numbered PNGs
    int fps = 60;          // frames per second, 1 to 1000 (so no two frames share a clock value)
    int width = 1920;      // pixels
    int height = 1080;
    // The range, half-open, in show-clock milliseconds: frames whose clock is in [fromMs, toMs).
    uint32_t fromMs = 0;
    uint32_t toMs = 0;
    uint32_t atMs = 0; // the clock of the single frame (Still)
    int fish = -1;     // -1 for the timeline, 0 or 1 for the fish tableau in that mode
    std::string preset = "veryfast"; // x264 preset
};

// The default end of the range: the show's last scene ends at 165000 ms.
constexpr uint32_t ShowLengthMs = 165000;
// The fish tableau's sequences are over after 8000 ms; two more seconds show the last picture.
constexpr uint32_t FishLengthMs = 10000;

struct ParsedOptions {
    bool ok = false;
    bool help = false; // --help: print usageText() and stop
    std::string error; // when !ok: one line naming the faulty option
    CaptureOptions options;
};

// Reads argv[1..argc-1]. Options take their value as the next argument or after '='.
ParsedOptions parseCaptureOptions(int argc, const char* const* argv);
std::string usageText();
