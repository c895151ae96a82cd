#pragma once
// Private to the sound backends: the state both keep in the same way. Called from the thread that
// drives the layer, except setLastSoundError, which stream workers call too.
#include "platform/SoundLayer.h"

// The version the layer reports unless a test sets another: the lowest that the start-up gate
// accepts.
constexpr float SoundLayerVersion = 3.71f;

void setLastSoundError(int code);
// Marks the layer initialised with its mixing rate and channel count.
void markSoundLayerInitialised(int mixRate, int maxChannels);
// Appends to the started-streams record; `clockMs` is the show clock at the start.
void recordStartedStream(const char* fileName, uint32_t clockMs, int channel);
// Back to the state at process start.
void resetSoundLayerCommon();
