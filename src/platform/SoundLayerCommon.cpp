#include "platform/SoundLayerCommon.h"

#include <atomic>
#include <mutex>

namespace {
float reportedVersion = SoundLayerVersion;
SoundLayerSettings settings;
std::atomic<int> lastError{SoundErrNone};

std::mutex recordMutex;
std::vector<StartedStream> startedStreams;

// The set-up calls only make sense before the device is opened.
bool acceptSetting() {
    if (settings.initialised) {
        setLastSoundError(SoundErrAlreadyInitialised);
        return false;
    }
    return true;
}
} // namespace

float FSOUND_GetVersion() {
    return reportedVersion;
}

void soundLayerSetReportedVersion(float version) {
    reportedVersion = version;
}

signed char FSOUND_SetOutput(int outputType) {
    if (!acceptSetting()) {
        return 0;
    }
    settings.outputType = outputType;
    return 1;
}

signed char FSOUND_SetBufferSize(int lengthMs) {
    if (!acceptSetting()) {
        return 0;
    }
    if (lengthMs <= 0) {
        setLastSoundError(SoundErrInvalidParam);
        return 0;
    }
    settings.bufferLengthMs = lengthMs;
    return 1;
}

signed char FSOUND_SetDriver(int driver) {
    if (!acceptSetting()) {
        return 0;
    }
    settings.driver = driver;
    return 1;
}

int FSOUND_GetError() {
    return lastError.load();
}

void setLastSoundError(int code) {
    lastError.store(code);
}

SoundLayerSettings soundLayerSettings() {
    return settings;
}

void markSoundLayerInitialised(int mixRate, int maxChannels) {
    settings.initialised = true;
    settings.mixRate = mixRate;
    settings.maxChannels = maxChannels;
}

void recordStartedStream(const char* fileName, uint32_t clockMs, int channel) {
    std::lock_guard<std::mutex> lock(recordMutex);
    startedStreams.push_back(StartedStream{fileName, clockMs, channel});
}

std::vector<StartedStream> soundLayerStartedStreams() {
    std::lock_guard<std::mutex> lock(recordMutex);
    return startedStreams;
}

void soundLayerClearStartedStreams() {
    std::lock_guard<std::mutex> lock(recordMutex);
    startedStreams.clear();
}

void resetSoundLayerCommon() {
    reportedVersion = SoundLayerVersion;
    settings = SoundLayerSettings{};
    lastError.store(SoundErrNone);
    soundLayerClearStartedStreams();
}
