#include "textures/TGALoader.h"

#include "textures/FatalReport.h"

#include <GL/gl.h>

#include <algorithm>
#include <cstring>
#include <new>
#include <utility>

namespace tga {
namespace {

// The two accepted file headers (bytes 0 to 11): no image ID, no colour map, zero origin, and
// image type 2 (uncompressed true colour) or 10 (run-length true colour).
const uint8_t uncompressedTGAHeader[12] = {0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0};
const uint8_t compressedTGAHeader[12] = {0, 0, 10, 0, 0, 0, 0, 0, 0, 0, 0, 0};

enum class Failure {
    None,
    Open,
    FileHeader,
    ImageType,
    InfoHeader,
    Info,
    Allocation,
    ImageData,
    RleHeader,
    TooManyPixels,
};

const char* messageOf(Failure failure) {
    switch (failure) {
    case Failure::None:
        return nullptr;
    case Failure::Open:
        return "could not open texture file";
    case Failure::FileHeader:
        return "Could not read file header";
    case Failure::ImageType:
        return "TGA file be type 2 or type 10: Invalid Image";
    case Failure::InfoHeader:
        return "Could not read info header";
    case Failure::Info:
        return "Invalid texture information";
    case Failure::Allocation:
        return "Could not allocate memory for image";
    case Failure::ImageData:
        return "Could not read image data";
    case Failure::RleHeader:
        return "Could not read RLE header";
    case Failure::TooManyPixels:
        return "Too many Pixels read";
    }
    return "unknown failure";
}

enum class Kind { Uncompressed, Compressed, Other };

// Reads a stream through one large buffer, so that a run-length file costs one library call per
// buffer rather than one per packet and pixel. Large reads go straight into the caller's memory.
class Reader {
  public:
    static constexpr size_t Capacity = 64 * 1024;

    Reader(std::FILE* file, bool closeWhenDone)
        : file_(file), closeWhenDone_(closeWhenDone), buffer_(new uint8_t[Capacity]) {}
    ~Reader() { close(); }
    Reader(const Reader&) = delete;
    Reader& operator=(const Reader&) = delete;

    // Closes the file if this reader owns it; later reads find the end of the stream.
    void close() {
        if (file_ != nullptr && closeWhenDone_) {
            std::fclose(file_);
        }
        file_ = nullptr;
    }

    // Up to `n` bytes into `dst`; returns how many came (fewer only at the end of the stream).
    size_t read(uint8_t* dst, size_t n) {
        size_t done = std::min(n, end_ - begin_);
        std::memcpy(dst, buffer_.get() + begin_, done);
        begin_ += done;
        if (done == n || file_ == nullptr) {
            return done;
        }
        if (n - done >= Capacity) {
            return done + std::fread(dst + done, 1, n - done, file_);
        }
        fill(n - done);
        const size_t more = std::min(n - done, end_ - begin_);
        std::memcpy(dst + done, buffer_.get() + begin_, more);
        begin_ += more;
        return done + more;
    }

    // The next byte, or -1 at the end of the stream.
    int byte() {
        if (begin_ == end_ && !fill(1)) {
            return -1;
        }
        return buffer_[begin_++];
    }

    // The next `n` bytes (n <= Capacity) in one piece, consumed; nullptr when the stream ends
    // before `n` bytes. Valid until the next call.
    const uint8_t* take(size_t n) {
        if (end_ - begin_ < n && !fill(n)) {
            return nullptr;
        }
        const uint8_t* at = buffer_.get() + begin_;
        begin_ += n;
        return at;
    }

  private:
    // Makes at least `want` bytes available, keeping the unread ones; false if the stream ends
    // first (what did come stays available).
    bool fill(size_t want) {
        const size_t kept = end_ - begin_;
        std::memmove(buffer_.get(), buffer_.get() + begin_, kept);
        begin_ = 0;
        end_ = kept;
        while (file_ != nullptr && end_ < want) {
            const size_t got = std::fread(buffer_.get() + end_, 1, Capacity - end_, file_);
            if (got == 0) {
                break;
            }
            end_ += got;
        }
        return end_ >= want;
    }

    std::FILE* file_;
    bool closeWhenDone_;
    std::unique_ptr<uint8_t[]> buffer_;
    size_t begin_ = 0;
    size_t end_ = 0;
};

Failure readFileHeader(Reader& in, Kind& kind) {
    uint8_t header[12];
    if (in.read(header, sizeof header) != sizeof header) {
        return Failure::FileHeader;
    }
    if (std::memcmp(header, uncompressedTGAHeader, sizeof header) == 0) {
        kind = Kind::Uncompressed;
    } else if (std::memcmp(header, compressedTGAHeader, sizeof header) == 0) {
        kind = Kind::Compressed;
    } else {
        kind = Kind::Other;
    }
    return Failure::None;
}

// Bytes 12 to 17: width, height (little-endian), depth, and the descriptor, which changes
// nothing. Allocates the pixel buffer; its size is computed in 64 bits and capped, so a header
// cannot make the buffer smaller than the image or ask for an absurd allocation.
Failure readInfoHeader(Reader& in, Image& image) {
    uint8_t info[6];
    if (in.read(info, sizeof info) != sizeof info) {
        return Failure::InfoHeader;
    }
    image.width = info[0] + 256u * info[1];
    image.height = info[2] + 256u * info[3];
    image.bitsPerPixel = info[4];
    if (image.width == 0 || image.height == 0 ||
        (image.bitsPerPixel != 24 && image.bitsPerPixel != 32)) {
        return Failure::Info;
    }
    image.format = image.bitsPerPixel == 24 ? 0x1907u : 0x1908u; // GL_RGB, GL_RGBA
    const uint64_t bytes = uint64_t(image.bitsPerPixel / 8) * image.width * image.height;
    if (bytes > MaxImageBytes) {
        return Failure::Allocation;
    }
    image.pixels.reset(new (std::nothrow) uint8_t[size_t(bytes)]);
    if (!image.pixels) {
        return Failure::Allocation;
    }
    return Failure::None;
}

// Pixel values as stored (blue, green, red, alpha) to red, green, blue, alpha; `src` and `dst`
// may be the same memory.
void storePixels(const uint8_t* src, uint8_t* dst, size_t count, size_t bytesPerPixel) {
    if (bytesPerPixel == 4) {
        for (size_t i = 0; i < count; ++i) {
            uint32_t v;
            std::memcpy(&v, src + 4 * i, 4);
            v = (v & 0xff00ff00u) | ((v >> 16) & 0xffu) | ((v & 0xffu) << 16);
            std::memcpy(dst + 4 * i, &v, 4);
        }
        return;
    }
    for (size_t i = 0; i < count; ++i) {
        const uint8_t b = src[3 * i];
        const uint8_t g = src[3 * i + 1];
        const uint8_t r = src[3 * i + 2];
        dst[3 * i] = r;
        dst[3 * i + 1] = g;
        dst[3 * i + 2] = b;
    }
}

// Type 2: the whole pixel data in one read, then blue and red exchanged in place.
Failure readUncompressedPixels(Reader& in, Image& image) {
    const size_t bytes = image.byteCount();
    if (in.read(image.pixels.get(), bytes) != bytes) {
        return Failure::ImageData;
    }
    storePixels(image.pixels.get(), image.pixels.get(), size_t(image.width) * image.height,
                image.bitsPerPixel / 8);
    return Failure::None;
}

// Type 10: packets until width x height pixels are stored. A raw packet (header below 128) carries
// header + 1 pixel values, a run packet (128 or more) one value for header - 127 pixels; packets
// run on across row ends. A pixel value is read before the pixel count is tested, and the count
// before every store, so a packet reaching past the image fails at its first pixel too many and
// nothing is written beyond the buffer. What follows the last pixel is never read.
Failure readCompressedPixels(Reader& in, Image& image) {
    const size_t bytesPerPixel = image.bitsPerPixel / 8;
    const uint64_t pixelCount = uint64_t(image.width) * image.height;
    uint64_t stored = 0;
    uint8_t* out = image.pixels.get();
    while (stored < pixelCount) {
        const int header = in.byte();
        if (header < 0) {
            return Failure::RleHeader;
        }
        const uint64_t left = pixelCount - stored;
        if (header < 128) {
            const size_t packet = size_t(header) + 1;
            const size_t storable = size_t(std::min<uint64_t>(packet, left));
            const uint8_t* values = in.take(storable * bytesPerPixel);
            if (values == nullptr) {
                return Failure::ImageData;
            }
            storePixels(values, out, storable, bytesPerPixel);
            out += storable * bytesPerPixel;
            stored += storable;
            if (packet > storable) {
                // The next value is still read first: a file that stops inside it says so.
                return in.take(bytesPerPixel) == nullptr ? Failure::ImageData
                                                         : Failure::TooManyPixels;
            }
        } else {
            const size_t run = size_t(header) - 127;
            const uint8_t* value = in.take(bytesPerPixel);
            if (value == nullptr) {
                return Failure::ImageData;
            }
            if (run > left) {
                return Failure::TooManyPixels;
            }
            uint8_t pixel[4];
            storePixels(value, pixel, 1, bytesPerPixel);
            if (bytesPerPixel == 4) {
                uint32_t v;
                std::memcpy(&v, pixel, 4);
                for (size_t i = 0; i < run; ++i) {
                    std::memcpy(out + 4 * i, &v, 4);
                }
            } else {
                for (size_t i = 0; i < run; ++i) {
                    out[3 * i] = pixel[0];
                    out[3 * i + 1] = pixel[1];
                    out[3 * i + 2] = pixel[2];
                }
            }
            out += run * bytesPerPixel;
            stored += run;
        }
    }
    return Failure::None;
}

Failure readBody(Reader& in, Kind kind, Image& image) {
    Failure failure = readInfoHeader(in, image);
    if (failure != Failure::None) {
        return failure;
    }
    return kind == Kind::Uncompressed ? readUncompressedPixels(in, image)
                                      : readCompressedPixels(in, image);
}

Failure readAll(Reader& in, Image& image) {
    Kind kind = Kind::Other;
    Failure failure = readFileHeader(in, kind);
    if (failure != Failure::None) {
        return failure;
    }
    if (kind == Kind::Other) {
        return Failure::ImageType;
    }
    return readBody(in, kind, image);
}

} // namespace

const char* readStream(std::FILE* file, Image& out) {
    out = Image{};
    Reader in(file, false);
    const Failure failure = readAll(in, out);
    if (failure != Failure::None) {
        out = Image{};
    }
    return messageOf(failure);
}

const char* readFile(const std::string& fileName, Image& out) {
    out = Image{};
    std::FILE* file = std::fopen(fileName.c_str(), "rb");
    if (file == nullptr) {
        return messageOf(Failure::Open);
    }
    Reader in(file, true);
    const Failure failure = readAll(in, out);
    if (failure != Failure::None) {
        out = Image{};
    }
    return messageOf(failure);
}

} // namespace tga

TextureImage::TextureImage(std::string name) : fileName(std::move(name)) {
    glGenTextures(1, &textureName);
    glBindTexture(GL_TEXTURE_2D, textureName);
    priority = 0.0f;
    glPrioritizeTextures(1, &textureName, &priority);
}

TextureImage::~TextureImage() {
    glDeleteTextures(1, &textureName);
    delete[] pixels;
}

namespace {

using tga::Failure;

void takeImage(TextureImage* record, tga::Image& image) {
    record->width = image.width;
    record->height = image.height;
    record->bitsPerPixel = image.bitsPerPixel;
    record->format = image.format;
    record->pixels = image.pixels.release();
}

// The two decoders each keep their own copy of the checks, so a report's line tells which one
// met the failure. Both close the file before anything else happens.
void loadUncompressedTGA(TextureImage* record, tga::Reader& in) {
    tga::Image image;
    Failure failure = tga::readInfoHeader(in, image);
    if (failure == Failure::None) {
        failure = tga::readUncompressedPixels(in, image);
    }
    in.close();
    if (failure == Failure::InfoHeader) {
        REPORT_CHECK(false && "Could not read info header");
    }
    if (failure == Failure::Info) {
        REPORT_CHECK(false && "Invalid texture information");
    }
    if (failure == Failure::Allocation) {
        REPORT_CHECK(false && "Could not allocate memory for image");
    }
    if (failure == Failure::ImageData) {
        REPORT_CHECK(false && "Could not read image data");
    }
    REPORT_CHECK(failure == Failure::None);
    takeImage(record, image);
}

void loadCompressedTGA(TextureImage* record, tga::Reader& in) {
    tga::Image image;
    Failure failure = tga::readInfoHeader(in, image);
    if (failure == Failure::None) {
        failure = tga::readCompressedPixels(in, image);
    }
    in.close();
    if (failure == Failure::InfoHeader) {
        REPORT_CHECK(false && "Could not read info header");
    }
    if (failure == Failure::Info) {
        REPORT_CHECK(false && "Invalid texture information");
    }
    if (failure == Failure::Allocation) {
        REPORT_CHECK(false && "Could not allocate memory for image");
    }
    if (failure == Failure::RleHeader) {
        REPORT_CHECK(false && "Could not read RLE header");
    }
    if (failure == Failure::ImageData) {
        REPORT_CHECK(false && "Could not read image data");
    }
    if (failure == Failure::TooManyPixels) {
        REPORT_CHECK(false && "Too many Pixels read");
    }
    REPORT_CHECK(failure == Failure::None);
    takeImage(record, image);
}

} // namespace

TextureImage* loadTGA(std::string fileName) {
    std::FILE* file = std::fopen(fileName.c_str(), "rb");
    if (file == nullptr) {
        REPORT_CHECK(false && "could not open texture file");
    }
    tga::Reader in(file, true);
    tga::Kind kind = tga::Kind::Other;
    if (tga::readFileHeader(in, kind) != Failure::None) {
        in.close();
        REPORT_CHECK(false && "Could not read file header");
    }
    TextureImage* record = new TextureImage(fileName);
    if (kind == tga::Kind::Uncompressed) {
        loadUncompressedTGA(record, in);
    } else if (kind == tga::Kind::Compressed) {
        loadCompressedTGA(record, in);
    } else {
        delete record;
        in.close();
        REPORT_CHECK(false && "TGA file be type 2 or type 10: Invalid Image");
    }
    return record;
}
