// The live sound layer over SDL2 audio. Each stream has a worker thread that opens the file,
// decodes it a chunk at a time and keeps a ring of decoded frames topped up; the device callback
// only mixes from those rings, with atomics as its only contact with the workers: it never reads
// a file, never decodes and never waits.
#include "platform/ShowClock.h"
#include "platform/SoundFile.h"
#include "platform/SoundLayer.h"
#include "platform/SoundLayerCommon.h"
#include "platform/SoundMixerProbe.h"

#include <SDL.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <condition_variable>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <mutex>
#include <string>
#include <system_error>
#include <thread>
#include <vector>

namespace {

// Frames per device period: 23 ms at 44.1 kHz. A power of two, which SDL's dummy driver needs,
// and small, so that a cue is heard within about two periods of the frame that starts it.
constexpr int DevicePeriodFrames = 1024;
// Frames a worker decodes at a time.
constexpr long DecodeChunkFrames = 1024;
// When a stream is at the default buffer length of the show's set-up.
constexpr int DefaultBufferMs = 200;
constexpr int MaxSoftwareChannels = 1024;
// How long a worker with a full ring sleeps before it looks again: far shorter than the ring.
constexpr auto WorkerNap = std::chrono::milliseconds(5);

int64_t steadyNowNs() {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

// Decoded stereo frames from one producer (the stream's worker) to one consumer (the device
// callback). The positions only grow; each side writes only its own.
class FrameRing {
  public:
    explicit FrameRing(size_t frames) : capacity_(frames), samples_(new float[frames * 2]) {}

    // Producer side.
    size_t writable() const {
        return capacity_ - size_t(written_.load(std::memory_order_relaxed) -
                                  read_.load(std::memory_order_acquire));
    }
    // `frames` must not exceed writable().
    void write(const float* source, size_t frames) {
        uint64_t position = written_.load(std::memory_order_relaxed);
        size_t at = size_t(position % capacity_);
        size_t first = std::min(frames, capacity_ - at);
        std::memcpy(&samples_[at * 2], source, first * 2 * sizeof(float));
        std::memcpy(&samples_[0], source + first * 2, (frames - first) * 2 * sizeof(float));
        written_.store(position + frames, std::memory_order_release);
    }

    // Consumer side.
    size_t readable() const {
        return size_t(written_.load(std::memory_order_acquire) -
                      read_.load(std::memory_order_relaxed));
    }
    // Adds up to `frames` frames onto `mix`; returns how many there were.
    size_t mixInto(float* mix, size_t frames) {
        uint64_t position = read_.load(std::memory_order_relaxed);
        size_t count =
            std::min(frames, size_t(written_.load(std::memory_order_acquire) - position));
        size_t at = size_t(position % capacity_);
        size_t first = std::min(count, capacity_ - at);
        addSamples(mix, &samples_[at * 2], first * 2);
        addSamples(mix + first * 2, &samples_[0], (count - first) * 2);
        read_.store(position + count, std::memory_order_release);
        return count;
    }

  private:
    static void addSamples(float* mix, const float* from, size_t count) {
        for (size_t i = 0; i < count; ++i) {
            mix[i] += from[i];
        }
    }

    const size_t capacity_;
    std::unique_ptr<float[]> samples_;
    std::atomic<uint64_t> written_{0};
    std::atomic<uint64_t> read_{0};
};

} // namespace

struct FSOUND_STREAM {
    FSOUND_STREAM(const char* name, size_t queueFrames) : fileName(name), ring(queueFrames) {}

    const std::string fileName;
    // -2 opening, 0 ready, -1 failed with `error`, which is written before the state.
    std::atomic<int> openState{-2};
    int error = 0;
    FrameRing ring;
    // Set by the worker after its last write to the ring.
    std::atomic<bool> decodeDone{false};
    // Set by the callback when it has mixed the last frame and freed the channel.
    std::atomic<bool> ended{false};
    std::atomic<int64_t> firstFrame{-1};
    std::atomic<int64_t> firstMixNs{-1};
    bool played = false; // on the thread that drives the layer
    std::thread worker;
};

namespace {

struct LiveLayer {
    SDL_AudioDeviceID device = 0;
    bool audioStarted = false;
    bool exitHandlerSet = false;
    int mixRate = SoundMixRate;
    int channelCount = 0;
    size_t queueFrames = 0;
    bool predecode = false;

    // Owned by the callback while the device runs, except that Stream_Play puts a stream into a
    // free (null) slot; the callback empties a slot when its stream has ended.
    std::unique_ptr<std::atomic<FSOUND_STREAM*>[]> channels;
    std::vector<float> mix;
    std::vector<std::unique_ptr<FSOUND_STREAM>> streams;

    std::mutex stopMutex;
    std::condition_variable stopSignal;
    std::atomic<bool> stopping{false};

    std::atomic<int64_t> framesMixed{0};
    std::atomic<int64_t> underruns{0};
    std::atomic<int64_t> callbackCalls{0};
    std::atomic<int64_t> callbackWorstNs{0};
    std::atomic<int64_t> callbackTotalNs{0};
};

LiveLayer layer;

// Sleeps a little unless the layer is stopping; false when it is.
bool nap() {
    std::unique_lock<std::mutex> lock(layer.stopMutex);
    layer.stopSignal.wait_for(lock, WorkerNap, [] { return layer.stopping.load(); });
    return !layer.stopping.load();
}

// Where a worker takes its frames from: the file as it goes, or, for the pre-decoding
// comparison, the whole file decoded before the stream is ready.
class FrameSource {
  public:
    // 0, or the error code.
    int open(const std::string& path, int rate, bool predecode) {
        if (predecode) {
            whole_ = decodeSoundFile(path, rate);
            predecoded_ = true;
            // Like the streaming path: a file that fails before its first frame fails to open.
            return whole_.frames() == 0 ? whole_.error : 0;
        }
        int error = 0;
        file_ = SoundFile::open(path, error, rate);
        return error;
    }
    // Frames written, 0 at the end, -1 on a read error (error() says which).
    long read(float* out, long frames) {
        if (!predecoded_) {
            return file_->read(out, frames);
        }
        long count = std::min(frames, whole_.frames() - position_);
        std::copy_n(&whole_.samples[size_t(position_) * 2], size_t(count) * 2, out);
        position_ += count;
        return count;
    }
    int error() const { return predecoded_ ? whole_.error : file_->error(); }

  private:
    bool predecoded_ = false;
    std::unique_ptr<SoundFile> file_;
    DecodedSound whole_;
    long position_ = 0;
};

void failStream(FSOUND_STREAM& stream, int error) {
    stream.error = error;
    setLastSoundError(error);
    stream.openState.store(-1, std::memory_order_release);
}

void runWorker(FSOUND_STREAM* stream, int rate, bool predecode) {
    FrameSource source;
    int error = source.open(stream->fileName, rate, predecode);
    if (error != 0) {
        failStream(*stream, error);
        return;
    }
    std::vector<float> chunk(size_t(DecodeChunkFrames) * SoundMixChannels);
    long count = source.read(chunk.data(), DecodeChunkFrames);
    if (count < 0) {
        failStream(*stream, source.error());
        return;
    }
    stream->ring.write(chunk.data(), size_t(count));
    // Ready once the first buffer is decoded, so that playing can start at once.
    stream->openState.store(0, std::memory_order_release);
    // A read error after the first buffer ends the sound there.
    while (count > 0 && !layer.stopping.load()) {
        if (stream->ring.writable() < size_t(DecodeChunkFrames)) {
            nap();
            continue;
        }
        count = source.read(chunk.data(), DecodeChunkFrames);
        if (count > 0) {
            stream->ring.write(chunk.data(), size_t(count));
        }
    }
    stream->decodeDone.store(true, std::memory_order_release);
}

void noteCallbackTime(int64_t elapsedNs) {
    layer.callbackCalls.fetch_add(1, std::memory_order_relaxed);
    layer.callbackTotalNs.fetch_add(elapsedNs, std::memory_order_relaxed);
    int64_t worst = layer.callbackWorstNs.load(std::memory_order_relaxed);
    while (elapsedNs > worst && !layer.callbackWorstNs.compare_exchange_weak(
                                    worst, elapsedNs, std::memory_order_relaxed)) {
    }
}

int16_t toSample(float value) {
    float scaled = value * 32768.0f;
    if (std::isnan(scaled)) {
        return 0;
    }
    // Saturate: a sum beyond full scale holds at the limit instead of wrapping round.
    scaled = std::min(std::max(scaled, -32768.0f), 32767.0f);
    return int16_t(std::lrint(scaled));
}

void SDLCALL mixCallback(void*, Uint8* out, int length) {
    int64_t startNs = steadyNowNs();
    int16_t* output = reinterpret_cast<int16_t*>(out);
    long remaining = length / long(SoundMixChannels * sizeof(int16_t));
    int64_t position = layer.framesMixed.load(std::memory_order_relaxed);
    float* mix = layer.mix.data();
    while (remaining > 0) {
        size_t block = size_t(std::min<long>(remaining, DevicePeriodFrames));
        std::fill_n(mix, block * SoundMixChannels, 0.0f);
        for (int c = 0; c < layer.channelCount; ++c) {
            std::atomic<FSOUND_STREAM*>& slot = layer.channels[c];
            FSOUND_STREAM* stream = slot.load(std::memory_order_acquire);
            if (!stream) {
                continue;
            }
            size_t mixed = stream->ring.mixInto(mix, block);
            if (mixed > 0 && stream->firstFrame.load(std::memory_order_relaxed) < 0) {
                stream->firstMixNs.store(startNs, std::memory_order_relaxed);
                stream->firstFrame.store(position, std::memory_order_release);
            }
            if (mixed == block) {
                continue;
            }
            // Done is set after the worker's last write, so once it reads true an empty ring
            // means the whole sound has been mixed.
            if (stream->decodeDone.load(std::memory_order_acquire) &&
                stream->ring.readable() == 0) {
                FSOUND_STREAM* expected = stream;
                slot.compare_exchange_strong(expected, nullptr, std::memory_order_acq_rel);
                stream->ended.store(true, std::memory_order_release);
            } else {
                layer.underruns.fetch_add(1, std::memory_order_relaxed);
            }
        }
        for (size_t i = 0; i < block * SoundMixChannels; ++i) {
            output[i] = toSample(mix[i]);
        }
        output += block * SoundMixChannels;
        remaining -= long(block);
        position += int64_t(block);
    }
    layer.framesMixed.store(position, std::memory_order_release);
    noteCallbackTime(steadyNowNs() - startNs);
}

void shutdownAtExit() {
    soundLayerShutdown();
}

} // namespace

signed char FSOUND_Init(int mixRate, int maxSoftwareChannels, unsigned int flags) {
    if (soundLayerSettings().initialised) {
        setLastSoundError(SoundErrAlreadyInitialised);
        return 0;
    }
    if (mixRate <= 0 || maxSoftwareChannels <= 0 || maxSoftwareChannels > MaxSoftwareChannels) {
        setLastSoundError(SoundErrInvalidParam);
        return 0;
    }
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
        setLastSoundError(SoundErrInit);
        return 0;
    }
    layer.audioStarted = true;
    layer.mixRate = mixRate;
    layer.channelCount = maxSoftwareChannels;
    layer.channels = std::make_unique<std::atomic<FSOUND_STREAM*>[]>(size_t(maxSoftwareChannels));
    for (int c = 0; c < maxSoftwareChannels; ++c) {
        layer.channels[c].store(nullptr);
    }
    layer.mix.assign(size_t(DevicePeriodFrames) * SoundMixChannels, 0.0f);
    // The buffer length bounds the sound queued ahead of the listener: the device's period
    // plus what each stream has decoded ahead of it.
    int bufferMs = soundLayerSettings().bufferLengthMs;
    long bufferFrames = long(bufferMs > 0 ? bufferMs : DefaultBufferMs) * mixRate / 1000;
    layer.queueFrames = size_t(std::max(bufferFrames - DevicePeriodFrames, 2 * DecodeChunkFrames));

    SDL_AudioSpec wanted{};
    wanted.freq = mixRate;
    wanted.format = AUDIO_S16SYS;
    wanted.channels = SoundMixChannels;
    wanted.samples = DevicePeriodFrames;
    wanted.callback = mixCallback;
    SDL_AudioSpec obtained{};
    // No changes allowed: SDL converts to whatever the hardware wants, and the callback always
    // fills whole periods of this format.
    layer.device = SDL_OpenAudioDevice(nullptr, 0, &wanted, &obtained, 0);
    if (layer.device == 0) {
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        layer.audioStarted = false;
        layer.channels.reset();
        setLastSoundError(SoundErrInit);
        return 0;
    }
    markSoundLayerInitialised(mixRate, maxSoftwareChannels);
    if (!layer.exitHandlerSet) {
        // Workers and the device callback must stop before the statics they use go away.
        std::atexit(shutdownAtExit);
        layer.exitHandlerSet = true;
    }
    SDL_PauseAudioDevice(layer.device, 0);
    return 1;
}

FSOUND_STREAM* FSOUND_Stream_Open(const char* name, unsigned int mode, int offset, int length) {
    if (!soundLayerSettings().initialised) {
        setLastSoundError(SoundErrNotInitialised);
        return nullptr;
    }
    if (!name) {
        setLastSoundError(SoundErrInvalidParam);
        return nullptr;
    }
    FSOUND_STREAM* stream = nullptr;
    try {
        layer.streams.reserve(layer.streams.size() + 1);
        layer.streams.push_back(std::make_unique<FSOUND_STREAM>(name, layer.queueFrames));
        stream = layer.streams.back().get();
        stream->worker = std::thread(runWorker, stream, layer.mixRate, layer.predecode);
    } catch (const std::bad_alloc&) {
        if (!stream) {
            setLastSoundError(SoundErrMemory);
            return nullptr;
        }
        failStream(*stream, SoundErrMemory);
    } catch (const std::system_error&) {
        failStream(*stream, SoundErrMemory);
    }
    if (!(mode & FSOUND_NONBLOCKING)) {
        while (stream->openState.load(std::memory_order_acquire) == -2) {
            std::this_thread::yield();
        }
        if (stream->openState.load(std::memory_order_acquire) != 0) {
            setLastSoundError(stream->error);
            return nullptr;
        }
    }
    return stream;
}

int FSOUND_Stream_GetOpenState(FSOUND_STREAM* stream) {
    if (!stream) {
        return -1;
    }
    int state = stream->openState.load(std::memory_order_acquire);
    if (state == -1) {
        // The code that goes with this stream, whatever another stream failed with since.
        setLastSoundError(stream->error);
    }
    return state;
}

int FSOUND_Stream_Play(int channel, FSOUND_STREAM* stream) {
    if (!soundLayerSettings().initialised) {
        setLastSoundError(SoundErrNotInitialised);
        return -1;
    }
    if (!stream) {
        setLastSoundError(SoundErrInvalidParam);
        return -1;
    }
    if (stream->openState.load(std::memory_order_acquire) != 0 || stream->played) {
        setLastSoundError(SoundErrPlay);
        return -1;
    }
    if (channel != FSOUND_FREE && (channel < 0 || channel >= layer.channelCount)) {
        setLastSoundError(SoundErrInvalidParam);
        return -1;
    }
    int first = channel == FSOUND_FREE ? 0 : channel;
    int last = channel == FSOUND_FREE ? layer.channelCount - 1 : channel;
    for (int c = first; c <= last; ++c) {
        FSOUND_STREAM* expected = nullptr;
        if (layer.channels[c].compare_exchange_strong(expected, stream,
                                                      std::memory_order_acq_rel)) {
            stream->played = true;
            recordStartedStream(stream->fileName.c_str(), readShowClock(), c);
            return c;
        }
    }
    setLastSoundError(SoundErrChannelAlloc);
    return -1;
}

void soundLayerShutdown() {
    if (layer.device != 0) {
        // Returns once the callback has stopped for good.
        SDL_CloseAudioDevice(layer.device);
        layer.device = 0;
    }
    {
        std::lock_guard<std::mutex> lock(layer.stopMutex);
        layer.stopping.store(true);
    }
    layer.stopSignal.notify_all();
    for (auto& stream : layer.streams) {
        if (stream->worker.joinable()) {
            stream->worker.join();
        }
    }
    layer.streams.clear();
    layer.channels.reset();
    layer.channelCount = 0;
    if (layer.audioStarted) {
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        layer.audioStarted = false;
    }
    layer.stopping.store(false);
    layer.predecode = false;
    layer.framesMixed.store(0);
    layer.underruns.store(0);
    layer.callbackCalls.store(0);
    layer.callbackWorstNs.store(0);
    layer.callbackTotalNs.store(0);
    resetSoundLayerCommon();
}

int64_t soundMixerStreamFirstFrame(FSOUND_STREAM* stream) {
    return stream ? stream->firstFrame.load(std::memory_order_acquire) : -1;
}

int64_t soundMixerStreamFirstMixNs(FSOUND_STREAM* stream) {
    return stream ? stream->firstMixNs.load(std::memory_order_relaxed) : -1;
}

bool soundMixerStreamEnded(FSOUND_STREAM* stream) {
    return stream && stream->ended.load(std::memory_order_acquire);
}

int64_t soundMixerFramesMixed() {
    return layer.framesMixed.load(std::memory_order_acquire);
}

int64_t soundMixerUnderruns() {
    return layer.underruns.load(std::memory_order_relaxed);
}

SoundMixerCallbackTimes soundMixerCallbackTimes() {
    SoundMixerCallbackTimes times;
    times.calls = layer.callbackCalls.load(std::memory_order_relaxed);
    times.worstNs = layer.callbackWorstNs.load(std::memory_order_relaxed);
    times.totalNs = layer.callbackTotalNs.load(std::memory_order_relaxed);
    return times;
}

int soundMixerPeriodFrames() {
    return DevicePeriodFrames;
}

int soundMixerQueueFrames() {
    return int(layer.queueFrames);
}

void soundMixerSetPredecode(bool predecode) {
    layer.predecode = predecode;
}
