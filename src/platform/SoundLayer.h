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
    SoundErrAlreadyInitialised = 1,
    SoundErrNotInitialised = 2,
    SoundErrInit = 3,
    SoundErrPlay = 5,
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
// With FSOUND_NONBLOCKING returns a handle at once and the file is opened on a worker thread;
// without it, returns when the stream is ready, or nullptr when opening failed. Offset and
// length are not used. Streams live until soundLayerShutdown or process exit.
FSOUND_STREAM* FSOUND_Stream_Open(const char* name, unsigned int mode, int offset, int length);
// -2 while opening (until the file is open and its first buffer decoded), 0 when ready to play,
// -1 when opening failed; FSOUND_GetError then gives the reason (9, 10, 11 or 12).
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

// What the set-up calls stored, for tests; -1 where a call has not been made.
struct SoundLayerSettings {
    int outputType = -1;
    int bufferLengthMs = -1;
    int driver = -1;
    bool initialised = false;
    int mixRate = 0;
    int maxChannels = 0;
};
SoundLayerSettings soundLayerSettings();

// Stops every stream, closes the device and forgets everything, so that a test can start again
// from a fresh layer (version, settings, last error and the started-streams record included).
// The show never calls it; process exit does the same.
void soundLayerShutdown();
