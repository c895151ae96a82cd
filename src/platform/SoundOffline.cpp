// The offline sound layer: plays nothing. Opening checks the file at once with the same decoder
// as the live layer, so a missing or broken file fails in the same way and with the same code;
// playing takes a channel for as long as the sound lasts on the show clock (a virtual clock under
// the capture tool) and records which file started when. It needs no FSOUND_Init: without one it
// mixes at 44100 Hz on four channels.
#include "platform/ShowClock.h"
#include "platform/SoundFile.h"
#include "platform/SoundLayer.h"
#include "platform/SoundLayerCommon.h"

#include <memory>
#include <string>
#include <vector>

struct FSOUND_STREAM {
    std::string fileName;
    int openState = -1;
    long frames = 0; // at the mixing rate
    bool played = false;
    uint32_t startMs = 0;  // show clock at Stream_Play
    uint32_t lengthMs = 0; // rounded up, so a channel is never handed back early
};

namespace {
constexpr int DefaultChannels = 4;

int mixRate = SoundMixRate;
std::vector<std::unique_ptr<FSOUND_STREAM>> streams;
std::vector<FSOUND_STREAM*> channels(DefaultChannels, nullptr);

bool channelFree(int channel, uint32_t now) {
    const FSOUND_STREAM* owner = channels[size_t(channel)];
    // Unsigned difference: correct across a wrap of the clock.
    return owner == nullptr || now - owner->startMs >= owner->lengthMs;
}

// Decodes the whole file once to learn its length; 0 or the error code.
int measure(FSOUND_STREAM& stream) {
    int error = 0;
    std::unique_ptr<SoundFile> file = SoundFile::open(stream.fileName, error, mixRate);
    if (!file) {
        return error;
    }
    std::vector<float> chunk(4096 * SoundMixChannels);
    bool first = true;
    for (;;) {
        long n = file->read(chunk.data(), 4096);
        if (n < 0 && first) {
            return file->error();
        }
        // A read error later on ends the sound there, as it does when playing live.
        if (n <= 0) {
            break;
        }
        stream.frames += n;
        first = false;
    }
    stream.lengthMs = uint32_t((stream.frames * 1000 + mixRate - 1) / mixRate);
    return 0;
}
} // namespace

signed char FSOUND_Init(int rate, int maxSoftwareChannels, unsigned int flags) {
    if (soundLayerSettings().initialised) {
        setLastSoundError(SoundErrAlreadyInitialised);
        return 0;
    }
    if (rate <= 0 || maxSoftwareChannels <= 0) {
        setLastSoundError(SoundErrInvalidParam);
        return 0;
    }
    mixRate = rate;
    channels.assign(size_t(maxSoftwareChannels), nullptr);
    markSoundLayerInitialised(rate, maxSoftwareChannels);
    return 1;
}

FSOUND_STREAM* FSOUND_Stream_Open(const char* name, unsigned int mode, int offset, int length) {
    if (!name) {
        setLastSoundError(SoundErrInvalidParam);
        return nullptr;
    }
    auto stream = std::make_unique<FSOUND_STREAM>();
    stream->fileName = name;
    int error = measure(*stream);
    if (error != 0) {
        setLastSoundError(error);
        if (!(mode & FSOUND_NONBLOCKING)) {
            return nullptr;
        }
    }
    stream->openState = error == 0 ? 0 : -1;
    streams.push_back(std::move(stream));
    return streams.back().get();
}

int FSOUND_Stream_GetOpenState(FSOUND_STREAM* stream) {
    return stream ? stream->openState : -1;
}

int FSOUND_Stream_Play(int channel, FSOUND_STREAM* stream) {
    if (!stream) {
        setLastSoundError(SoundErrInvalidParam);
        return -1;
    }
    if (stream->openState != 0 || stream->played) {
        setLastSoundError(SoundErrPlay);
        return -1;
    }
    uint32_t now = readShowClock();
    int count = int(channels.size());
    int chosen = -1;
    if (channel == FSOUND_FREE) {
        for (int c = 0; c < count && chosen < 0; ++c) {
            if (channelFree(c, now)) {
                chosen = c;
            }
        }
    } else if (channel < 0 || channel >= count) {
        setLastSoundError(SoundErrInvalidParam);
        return -1;
    } else if (channelFree(channel, now)) {
        chosen = channel;
    }
    if (chosen < 0) {
        setLastSoundError(SoundErrChannelAlloc);
        return -1;
    }
    channels[size_t(chosen)] = stream;
    stream->played = true;
    stream->startMs = now;
    recordStartedStream(stream->fileName.c_str(), now, chosen);
    return chosen;
}

void soundLayerShutdown() {
    streams.clear();
    channels.assign(DefaultChannels, nullptr);
    mixRate = SoundMixRate;
    resetSoundLayerCommon();
}
