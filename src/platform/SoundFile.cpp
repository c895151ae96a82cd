#include "platform/SoundFile.h"

#include "platform/SoundLayer.h"

#include <SDL.h>
#include <mpg123.h>
#include <sndfile.h>

#include <algorithm>
#include <cstdint>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <mutex>
#include <new>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Source frames decoded per refill of the converter; small enough that a refill stays well under
// a millisecond, large enough that the per-call overhead does not matter.
constexpr long SourceChunkFrames = 1024;
// SDL's audio stream converts between these channel counts.
constexpr int MaxSourceChannels = 8;
constexpr int MaxSourceRate = 768000;
// Silence fed after the end to empty the resampler: far more than its filter holds back.
constexpr int MaxSilenceChunks = 16;

// Interleaved float frames at the file's own rate and channel count.
class Source {
  public:
    virtual ~Source() = default;
    // Frames read, 0 at the end, -1 on a read error.
    virtual long read(float* out, long frames) = 0;
    int rate = 0;
    int channels = 0;
};

class SndfileSource : public Source {
  public:
    SndfileSource(SNDFILE* file, const SF_INFO& info, int fd) : file_(file), fd_(fd) {
        rate = info.samplerate;
        channels = info.channels;
    }
    ~SndfileSource() override {
        sf_close(file_);
        close(fd_);
    }
    long read(float* out, long frames) override {
        sf_count_t n = sf_readf_float(file_, out, frames);
        if (n > 0) {
            return long(n);
        }
        return sf_error(file_) == SF_ERR_NO_ERROR ? 0 : -1;
    }

  private:
    SNDFILE* file_;
    int fd_;
};

// MP3 goes straight to libmpg123 (the decoder libsndfile itself uses for it): libsndfile stops
// reading at the length it takes from the stream's header, which for a stream without an exact
// header is an estimate from the first frame's bitrate and can cut the music short. Here the file
// is read until the decoder reports the end of the data.
class Mpg123Source : public Source {
  public:
    // Reads through `fd`, which it closes.
    explicit Mpg123Source(int fd) : fd_(fd) {}
    ~Mpg123Source() override {
        if (handle_) {
            mpg123_close(handle_);
            mpg123_delete(handle_);
        }
        close(fd_);
    }

    // 0, or the layer's error code.
    int open() {
        static std::once_flag libraryReady;
        std::call_once(libraryReady, [] { mpg123_init(); });
        int status = MPG123_OK;
        handle_ = mpg123_new(nullptr, &status);
        if (!handle_) {
            return status == MPG123_OUT_OF_MEM ? SoundErrMemory : SoundErrFileRead;
        }
        // Quiet: a damaged file is reported through the open state, not on the show's stderr.
        // Gapless: the encoder's delay and padding are trimmed, as libsndfile does.
        mpg123_param(handle_, MPG123_ADD_FLAGS, MPG123_QUIET | MPG123_GAPLESS | MPG123_FORCE_FLOAT,
                     0.0);
        mpg123_param(handle_, MPG123_REMOVE_FLAGS, MPG123_AUTO_RESAMPLE, 0.0);
        if (mpg123_open_fd(handle_, fd_) != MPG123_OK) {
            return SoundErrFileRead;
        }
        long fileRate = 0;
        int encoding = 0;
        if (mpg123_getformat(handle_, &fileRate, &channels, &encoding) != MPG123_OK) {
            return SoundErrFileRead;
        }
        rate = int(fileRate);
        mpg123_format_none(handle_);
        if (mpg123_format(handle_, fileRate, channels, MPG123_ENC_FLOAT_32) != MPG123_OK) {
            return SoundErrFileFormat;
        }
        return 0;
    }

    long read(float* out, long frames) override {
        size_t frameBytes = size_t(channels) * sizeof(float);
        for (;;) {
            size_t done = 0;
            int status = mpg123_read(handle_, reinterpret_cast<unsigned char*>(out),
                                     size_t(frames) * frameBytes, &done);
            if (done > 0) {
                return long(done / frameBytes);
            }
            switch (status) {
            case MPG123_OK:
                continue;
            case MPG123_DONE:
                return 0;
            case MPG123_NEW_FORMAT: {
                // Streams glued together at another rate or channel count: the converter is set
                // up for the first, so the sound ends where the format changes.
                long newRate = 0;
                int newChannels = 0;
                int encoding = 0;
                mpg123_getformat(handle_, &newRate, &newChannels, &encoding);
                if (newRate == rate && newChannels == channels) {
                    continue;
                }
                return 0;
            }
            default:
                return -1;
            }
        }
    }

  private:
    int fd_;
    mpg123_handle* handle_ = nullptr;
};

int errorFromOpenErrno(int err) {
    switch (err) {
    case ENOENT:
    case ENOTDIR:
    case ENAMETOOLONG:
    case ELOOP:
        return SoundErrFileNotFound;
    case ENOMEM:
        return SoundErrMemory;
    default:
        return SoundErrFileRead;
    }
}

int errorFromSndfile(int sfError) {
    switch (sfError) {
    case SF_ERR_UNRECOGNISED_FORMAT:
    case SF_ERR_UNSUPPORTED_ENCODING:
        return SoundErrFileFormat;
    default:
        // Malformed headers, files that end inside the first frame, system errors.
        return SoundErrFileRead;
    }
}

// Opens the decoder for an open descriptor; takes ownership of `fd` in every case.
std::unique_ptr<Source> openSource(int fd, int& error) {
    SF_INFO info{};
    SNDFILE* file = sf_open_fd(fd, SFM_READ, &info, SF_FALSE);
    if (!file) {
        error = errorFromSndfile(sf_error(nullptr));
        close(fd);
        return nullptr;
    }
    if ((info.format & SF_FORMAT_TYPEMASK) != SF_FORMAT_MPEG) {
        return std::make_unique<SndfileSource>(file, info, fd);
    }
    sf_close(file);
    auto source = std::make_unique<Mpg123Source>(fd);
    if (lseek(fd, 0, SEEK_SET) != 0) {
        error = SoundErrFileRead;
        return nullptr;
    }
    error = source->open();
    if (error != 0) {
        return nullptr;
    }
    return source;
}

} // namespace

struct SoundFile::Impl {
    std::unique_ptr<Source> source;
    SDL_AudioStream* converter = nullptr;
    std::vector<float> sourceChunk;
    int outputRate = SoundMixRate;
    bool sourceEnded = false;
    int64_t inputFrames = 0;  // at the file's rate
    int64_t outputFrames = 0; // delivered so far
    int64_t outputTotal = 0;  // known once the file has ended
    int silenceChunks = 0;
    int error = 0;

    ~Impl() {
        if (converter) {
            SDL_FreeAudioStream(converter);
        }
    }
};

SoundFile::SoundFile(std::unique_ptr<Impl> impl) : impl_(std::move(impl)) {}
SoundFile::~SoundFile() = default;

std::unique_ptr<SoundFile> SoundFile::open(const std::string& path, int& error, int outputRate) {
    error = 0;
    try {
        auto impl = std::make_unique<Impl>();
        int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
        if (fd < 0) {
            error = errorFromOpenErrno(errno);
            return nullptr;
        }
        struct stat status {};
        if (fstat(fd, &status) != 0 || S_ISDIR(status.st_mode)) {
            close(fd);
            error = SoundErrFileRead;
            return nullptr;
        }
        impl->source = openSource(fd, error);
        if (!impl->source) {
            return nullptr;
        }
        const Source& source = *impl->source;
        if (source.channels < 1 || source.channels > MaxSourceChannels || source.rate < 1 ||
            source.rate > MaxSourceRate || outputRate < 1) {
            error = SoundErrFileFormat;
            return nullptr;
        }
        impl->converter = SDL_NewAudioStream(AUDIO_F32SYS, Uint8(source.channels), source.rate,
                                             AUDIO_F32SYS, SoundMixChannels, outputRate);
        if (!impl->converter) {
            error = std::strstr(SDL_GetError(), "memory") ? SoundErrMemory : SoundErrFileFormat;
            return nullptr;
        }
        impl->outputRate = outputRate;
        impl->sourceChunk.resize(size_t(SourceChunkFrames) * size_t(source.channels));
        return std::unique_ptr<SoundFile>(new SoundFile(std::move(impl)));
    } catch (const std::bad_alloc&) {
        error = SoundErrMemory;
        return nullptr;
    }
}

long SoundFile::read(float* out, long maxFrames) {
    Impl& d = *impl_;
    if (d.error != 0) {
        return -1;
    }
    const int frameBytes = SoundMixChannels * int(sizeof(float));
    long got = 0;
    while (got < maxFrames) {
        long wantedFrames = std::min<long>(maxFrames - got, 1L << 20);
        if (d.sourceEnded) {
            wantedFrames = long(std::min<int64_t>(wantedFrames, d.outputTotal - d.outputFrames));
            if (wantedFrames <= 0) {
                break;
            }
        }
        int available = SDL_AudioStreamAvailable(d.converter);
        if (available > 0) {
            int n = SDL_AudioStreamGet(d.converter, out + got * SoundMixChannels,
                                       std::min(int(wantedFrames) * frameBytes, available));
            if (n < 0) {
                d.error = SoundErrMemory;
                break;
            }
            got += n / frameBytes;
            d.outputFrames += n / frameBytes;
            continue;
        }
        long n = 0;
        if (d.sourceEnded) {
            // Silence pushes the end of the sound through the resampler, which holds back frames
            // for its filter (SDL_AudioStreamFlush leaves them behind when its staging buffer
            // happens to be empty); the total above cuts the silence off again.
            if (++d.silenceChunks > MaxSilenceChunks) {
                break;
            }
            std::fill(d.sourceChunk.begin(), d.sourceChunk.end(), 0.0f);
            n = SourceChunkFrames;
        } else {
            n = d.source->read(d.sourceChunk.data(), SourceChunkFrames);
            if (n < 0) {
                d.error = SoundErrFileRead;
                break;
            }
            if (n == 0) {
                d.sourceEnded = true;
                // What the file's length comes to at the output rate, rounded up.
                d.outputTotal =
                    (d.inputFrames * d.outputRate + d.source->rate - 1) / d.source->rate;
                continue;
            }
            d.inputFrames += n;
        }
        if (SDL_AudioStreamPut(d.converter, d.sourceChunk.data(),
                               int(n) * d.source->channels * int(sizeof(float))) != 0) {
            d.error = SoundErrMemory;
            break;
        }
    }
    // What was decoded before an error is still delivered; the error shows on the next call.
    if (got == 0 && d.error != 0) {
        return -1;
    }
    return got;
}

int SoundFile::error() const {
    return impl_->error;
}

int SoundFile::sourceRate() const {
    return impl_->source->rate;
}

int SoundFile::sourceChannels() const {
    return impl_->source->channels;
}

DecodedSound decodeSoundFile(const std::string& path, int outputRate) {
    DecodedSound decoded;
    std::unique_ptr<SoundFile> file = SoundFile::open(path, decoded.error, outputRate);
    if (!file) {
        return decoded;
    }
    constexpr long ChunkFrames = 4096;
    try {
        for (;;) {
            size_t used = decoded.samples.size();
            decoded.samples.resize(used + size_t(ChunkFrames) * SoundMixChannels);
            long n = file->read(decoded.samples.data() + used, ChunkFrames);
            decoded.samples.resize(used + size_t(std::max(n, 0L)) * SoundMixChannels);
            if (n <= 0) {
                decoded.error = n < 0 ? file->error() : 0;
                break;
            }
        }
    } catch (const std::bad_alloc&) {
        decoded.error = SoundErrMemory;
    }
    return decoded;
}
