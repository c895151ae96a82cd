#pragma once
// The sound layer: the nine calls that the show makes of a sound library, written over SDL2 audio
// output and libsndfile decoding. Two backends give them: the live one (SoundSdl.cpp) and an
// offline one that plays nothing (SoundOffline.cpp). Both keep a record of started streams.
#include <cstdint>
#include <string>
#include <vector>

struct FSOUND_STREAM;

constexpr int FSOUND_OUTPUT_DSOUND = 2;
constexpr unsigned int FSOUND_NONBLOCKING = 0x1000000;
constexpr int FSOUND_FREE = -1;

// Error codes reported by FSOUND_GetError.
enum SoundError : int {
    SoundErrNone = 0,
    SoundErrInit = 3,
    SoundErrFileNotFound = 9,
    SoundErrFileFormat = 10,
    SoundErrFileRead = 11,
    SoundErrMemory = 12,
    SoundErrInvalidParam = 14,
    SoundErrChannelAlloc = 16,
};

float FSOUND_GetVersion();
signed char FSOUND_SetOutput(int outputType);
signed char FSOUND_SetBufferSize(int lengthMs);
signed char FSOUND_SetDriver(int driver);
// Opens the output device at mixRate, stereo, mixing at most maxSoftwareChannels streams.
// Returns non-zero when ready; on failure the error is SoundErrInit.
signed char FSOUND_Init(int mixRate, int maxSoftwareChannels, unsigned int flags);
int FSOUND_GetError();
// Returns at once; with FSOUND_NONBLOCKING the file is opened on a worker thread.
FSOUND_STREAM* FSOUND_Stream_Open(const char* name, unsigned int mode, int offset, int length);
// -2 while opening, 0 when ready to play, another value when opening failed.
int FSOUND_Stream_GetOpenState(FSOUND_STREAM* stream);
// Starts the stream at once on `channel`, or on a free one for FSOUND_FREE. Returns the
// channel, or -1 (error SoundErrChannelAlloc) when none is free.
int FSOUND_Stream_Play(int channel, FSOUND_STREAM* stream);

// What the show started, in order: the file name and the show clock when it started.
struct StartedStream {
    std::string fileName;
    uint32_t clockMs;
    int channel;
};
std::vector<StartedStream> soundLayerStartedStreams();
void soundLayerClearStartedStreams();

// Test hook: the version that FSOUND_GetVersion reports from now on.
void soundLayerSetReportedVersion(float version);
