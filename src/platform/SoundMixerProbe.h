#pragma once
// What the live sound layer (SoundSdl.cpp) shows of its mixer, for tests and benchmarks. Positions
// count stereo frames at the mixing rate from the first frame the device took.
#include <cstdint>

struct FSOUND_STREAM;

// Output frame that carries the stream's first sample, or -1 while none has been mixed.
int64_t soundMixerStreamFirstFrame(FSOUND_STREAM* stream);
// steady_clock time (nanoseconds since its epoch) at which the device buffer that carries the
// stream's first sample was mixed, or -1.
int64_t soundMixerStreamFirstMixNs(FSOUND_STREAM* stream);
// True once the stream has played to its end and given its channel back.
bool soundMixerStreamEnded(FSOUND_STREAM* stream);

// Frames the device has taken so far.
int64_t soundMixerFramesMixed();
// Device periods in which a playing stream had less decoded than the period needed.
int64_t soundMixerUnderruns();

struct SoundMixerCallbackTimes {
    int64_t calls = 0;
    int64_t worstNs = 0;
    int64_t totalNs = 0;
};
SoundMixerCallbackTimes soundMixerCallbackTimes();

// Frames per device period, and the most frames each stream decodes ahead of the device.
int soundMixerPeriodFrames();
int soundMixerQueueFrames();

// For comparison in the benchmarks: from the next Stream_Open on, decode each file completely
// before reporting it ready, as a pre-decoding sound library would.
void soundMixerSetPredecode(bool predecode);
