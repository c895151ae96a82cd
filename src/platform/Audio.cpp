#include "platform/Audio.h"

#include "platform/SoundLayer.h"

#include <cstdio>
#include <cstdlib>
#include <thread>

FSOUND_STREAM* currentStream = nullptr;
int currentChannel = 0;

namespace {
// The lowest sound layer version the show runs with.
const float RequiredVersion = 3.71f;

const char* const ErrorTexts[] = {
    "No errors",
    "Cannot call this command after FSOUND_Init.  Call FSOUND_Close first.",
    "This command failed because FSOUND_Init was not called",
    "Error initializing output device.",
    "The output device is already in use and cannot be reused.",
    "Playing the sound failed.",
    "Soundcard does not support the features needed for this soundsystem (16bit stereo output)",
    "Error setting cooperative level for hardware.",
    "Error creating hardware sound buffer.",
    "File not found",
    "Unknown file format",
    "Error loading file",
    "Not enough memory ",
    "The version number of this file format is not supported",
    "An invalid parameter was passed to this function",
    "Tried to use an EAX command on a non EAX enabled channel or output.",
    "Failed to allocate a new channel",
    "Recording not supported on this device",
    "Required Mediaplayer codec is not installed",
};

[[noreturn]] void exitWithSoundError() {
    std::printf("Error: %s\n", soundErrorText(uint32_t(FSOUND_GetError())));
    std::exit(1);
}
} // namespace

const char* soundErrorText(uint32_t code) {
    if (code < sizeof(ErrorTexts) / sizeof(ErrorTexts[0])) {
        return ErrorTexts[code];
    }
    return "Unknown error";
}

void initSound() {
    if (FSOUND_GetVersion() < RequiredVersion) {
        std::printf("Error: You have the wrong FMOD version - you should be using FMOD %.02f\n",
                    double(RequiredVersion));
        std::exit(1);
    }
    FSOUND_SetOutput(FSOUND_OUTPUT_DSOUND);
    FSOUND_SetBufferSize(200);
    FSOUND_SetDriver(0);
    if (!FSOUND_Init(44100, 4, 0)) {
        exitWithSoundError();
    }
}

void playStream(const char* fileName) {
    currentStream = FSOUND_Stream_Open(fileName, FSOUND_NONBLOCKING, 0, 0);
    // Waits without sleeping: for a cue this holds the frame that starts it. Yielding lets the
    // layer's worker have this core when the others are busy.
    while (FSOUND_Stream_GetOpenState(currentStream) == -2) {
        std::this_thread::yield();
    }
    if (FSOUND_Stream_GetOpenState(currentStream) != 0) {
        exitWithSoundError();
    }
    currentChannel = FSOUND_Stream_Play(FSOUND_FREE, currentStream);
}
