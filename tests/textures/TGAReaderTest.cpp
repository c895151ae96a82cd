// The strict reader's core: what it makes of well-formed files and the message each bad file gets.
#include "textures/TGALoader.h"

#include "LargestAllocation.h"
#include "TestSupport.h"
#include "TgaFailureCases.h"
#include "TgaFixtures.h"

#include <gtest/gtest.h>

#include <cstdio>

namespace {

using namespace tgafixture;
using testsupport::makeTga;

class TgaFile : public ::testing::Test {
  protected:
    std::string write(const Bytes& bytes) {
        const std::string path = dir.file("picture" + std::to_string(++count) + ".tga");
        testsupport::writeBytes(path, bytes);
        return path;
    }
    testsupport::TempDir dir;
    int count = 0;
};

struct DecodeCase {
    const char* name;
    Bytes file;
    uint32_t width, height, bitsPerPixel;
    Bytes pixels; // red, green, blue (alpha), rows in file order
};

Bytes repeat(const Bytes& value, size_t times) {
    Bytes out;
    for (size_t i = 0; i < times; ++i) {
        out.insert(out.end(), value.begin(), value.end());
    }
    return out;
}

// n distinct stored values (blue, green, red[, alpha]) and the same pixels as the reader gives
// them.
Bytes storedRamp(size_t n, size_t bpp) {
    Bytes out;
    for (size_t i = 0; i < n; ++i) {
        for (size_t c = 0; c < bpp; ++c) {
            out.push_back(uint8_t(i * 7 + c * 60));
        }
    }
    return out;
}
Bytes swappedRamp(size_t n, size_t bpp) {
    Bytes out = storedRamp(n, bpp);
    for (size_t i = 0; i < n; ++i) {
        std::swap(out[i * bpp], out[i * bpp + 2]);
    }
    return out;
}

std::vector<DecodeCase> decodeCases() {
    const Bytes a = {1, 2, 3}, b = {4, 5, 6}, c = {7, 8, 9}, d = {10, 11, 12}, e = {13, 14, 15};
    const Bytes ra = {3, 2, 1}, rb = {6, 5, 4}, rc = {9, 8, 7}, rd = {12, 11, 10},
                re = {15, 14, 13};
    const Bytes a32 = {1, 2, 3, 4}, b32 = {5, 6, 7, 8};
    const Bytes ra32 = {3, 2, 1, 4}, rb32 = {7, 6, 5, 8};
    const Bytes footer = {'T', 'R', 'U', 'E', 'V', 'I', 'S', 'I', 'O', 'N', '-', 'X', 0, 255};
    return {
        {"Uncompressed24BitPixelOrder",
         join({header(2, 1, 1, 24), {0x10, 0x20, 0x30}}),
         1,
         1,
         24,
         {0x30, 0x20, 0x10}},
        {"Uncompressed32BitPixelOrder",
         join({header(2, 1, 1, 32), {0x10, 0x20, 0x30, 0x40}}),
         1,
         1,
         32,
         {0x30, 0x20, 0x10, 0x40}},
        {"Compressed24BitPixelOrder",
         join({header(10, 1, 1, 24), {0, 0x10, 0x20, 0x30}}),
         1,
         1,
         24,
         {0x30, 0x20, 0x10}},
        {"Compressed32BitPixelOrder",
         join({header(10, 1, 1, 32), {128, 0x10, 0x20, 0x30, 0x40}}),
         1,
         1,
         32,
         {0x30, 0x20, 0x10, 0x40}},
        {"RowsKeepFileOrder", join({header(2, 2, 2, 24), a, b, c, d}), 2, 2, 24,
         join({ra, rb, rc, rd})},
        {"OddWidthHasNoRowPadding", join({header(2, 3, 2, 24), storedRamp(6, 3)}), 3, 2, 24,
         swappedRamp(6, 3)},
        {"RunHeader131FillsTwoByTwo", join({header(10, 2, 2, 24), {131}, a}), 2, 2, 24,
         repeat(ra, 4)},
        {"RawHeader3CarriesFourInOrder", join({header(10, 2, 2, 24), {3}, a, b, c, d}), 2, 2, 24,
         join({ra, rb, rc, rd})},
        {"RawHeader127Carries128", join({header(10, 16, 8, 32), {127}, storedRamp(128, 4)}), 16, 8,
         32, swappedRamp(128, 4)},
        {"RunHeader255StandsFor128", join({header(10, 128, 1, 24), {255}, a}), 128, 1, 24,
         repeat(ra, 128)},
        {"RunHeader128StandsForOne", join({header(10, 2, 1, 32), {128}, a32, {128}, b32}), 2, 1, 32,
         join({ra32, rb32})},
        {"PacketsCrossRowEnds", join({header(10, 3, 2, 24), {129}, a, {2}, b, c, d, {128}, e}), 3,
         2, 24, join({ra, ra, rb, rc, rd, re})},
        {"RunCrossesRowEnd", join({header(10, 2, 2, 32), {130}, a32, {0}, b32}), 2, 2, 32,
         join({ra32, ra32, ra32, rb32})},
        {"UncompressedTrailingBytesIgnored", join({header(2, 1, 1, 24), a, footer}), 1, 1, 24, ra},
        // After the last pixel a packet header announcing more pixels is never read.
        {"CompressedTrailingBytesIgnored", join({header(10, 1, 1, 24), {128}, a, {255}, b, footer}),
         1, 1, 24, ra},
    };
}

TEST_F(TgaFile, DecodesEachCase) {
    for (const DecodeCase& c : decodeCases()) {
        SCOPED_TRACE(c.name);
        tga::Image image;
        ASSERT_EQ(tga::readFile(write(c.file), image), nullptr);
        EXPECT_EQ(image.width, c.width);
        EXPECT_EQ(image.height, c.height);
        EXPECT_EQ(image.bitsPerPixel, c.bitsPerPixel);
        EXPECT_EQ(image.format, c.bitsPerPixel == 24 ? 0x1907u : 0x1908u);
        ASSERT_TRUE(image.pixels);
        ASSERT_EQ(image.byteCount(), c.pixels.size());
        EXPECT_EQ(Bytes(image.pixels.get(), image.pixels.get() + image.byteCount()), c.pixels);
    }
}

TEST_F(TgaFile, DescriptorByteHasNoEffect) {
    for (int type : {2, 10}) {
        for (int bits : {24, 32}) {
            const Bytes picture = mixedPicture(5, 3, bits);
            tga::Image plain;
            ASSERT_EQ(tga::readFile(write(makeTga(5, 3, bits, type, picture, 0)), plain), nullptr);
            for (uint8_t descriptor : {0x08, 0x20, 0x28, 0x30, 0xff}) {
                SCOPED_TRACE("type " + std::to_string(type) + ", " + std::to_string(bits) +
                             " bits, descriptor " + std::to_string(descriptor));
                tga::Image image;
                ASSERT_EQ(
                    tga::readFile(write(makeTga(5, 3, bits, type, picture, descriptor)), image),
                    nullptr);
                EXPECT_EQ(Bytes(image.pixels.get(), image.pixels.get() + image.byteCount()),
                          Bytes(plain.pixels.get(), plain.pixels.get() + plain.byteCount()));
            }
        }
    }
}

// The sizes include pictures larger than the reader's buffer, so packets and pixel values
// straddle its refills and the uncompressed data is read past it.
TEST_F(TgaFile, RunLengthAndUncompressedFilesOfOnePictureAreEqual) {
    struct Size {
        int width, height;
    };
    for (Size size : {Size{1, 1}, Size{5, 3}, Size{129, 2}, Size{300, 200}, Size{1000, 77}}) {
        for (int bits : {24, 32}) {
            SCOPED_TRACE(std::to_string(size.width) + "x" + std::to_string(size.height) + ", " +
                         std::to_string(bits) + " bits");
            const Bytes picture = mixedPicture(size.width, size.height, bits);
            tga::Image raw, rle;
            ASSERT_EQ(tga::readFile(write(makeTga(size.width, size.height, bits, 2, picture)), raw),
                      nullptr);
            ASSERT_EQ(
                tga::readFile(write(makeTga(size.width, size.height, bits, 10, picture)), rle),
                nullptr);
            EXPECT_EQ(rle.width, raw.width);
            EXPECT_EQ(rle.height, raw.height);
            EXPECT_EQ(rle.bitsPerPixel, raw.bitsPerPixel);
            EXPECT_EQ(rle.format, raw.format);
            const Bytes rawPixels(raw.pixels.get(), raw.pixels.get() + raw.byteCount());
            EXPECT_EQ(Bytes(rle.pixels.get(), rle.pixels.get() + rle.byteCount()), rawPixels);
            // Both equal the picture itself: the fixture writer stores it blue first.
            EXPECT_EQ(rawPixels, picture);
        }
    }
}

TEST_F(TgaFile, EachBadFileGetsItsMessageAndNoImage) {
    for (const FailureCase& c : failureCases()) {
        SCOPED_TRACE(c.name);
        const std::string path = c.missing ? dir.file("absent.tga") : write(c.file);
        tga::Image image;
        image.width = 7; // left over from an earlier use: a failure must not keep it
        const char* message = tga::readFile(path, image);
        ASSERT_NE(message, nullptr);
        EXPECT_STREQ(message, c.message);
        EXPECT_EQ(image.width, 0u);
        EXPECT_FALSE(image.pixels);
    }
}

// The same table through an open stream, as the fuzzer drives the core; the stream stays open.
TEST_F(TgaFile, StreamReaderGivesTheSameMessages) {
    for (const FailureCase& c : failureCases()) {
        if (c.missing) {
            continue;
        }
        SCOPED_TRACE(c.name);
        std::FILE* file = std::fopen(write(c.file).c_str(), "rb");
        ASSERT_NE(file, nullptr);
        tga::Image image;
        const char* message = tga::readStream(file, image);
        EXPECT_STREQ(message ? message : "(none)", c.message);
        EXPECT_EQ(std::fseek(file, 0, SEEK_SET), 0) << "stream was closed";
        std::fclose(file);
    }
    std::FILE* file = std::fopen(write(join({header(10, 2, 1, 24), {129, 1, 2, 3}})).c_str(), "rb");
    ASSERT_NE(file, nullptr);
    tga::Image image;
    EXPECT_EQ(tga::readStream(file, image), nullptr);
    EXPECT_EQ(Bytes(image.pixels.get(), image.pixels.get() + 6), (Bytes{3, 2, 1, 3, 2, 1}));
    std::fclose(file);
}

// A header's size is refused before any allocation is attempted, not by a failed huge allocation.
TEST_F(TgaFile, OversizedHeaderIsRefusedWithoutAHugeAllocation) {
    struct Case {
        int type, width, height, bits;
    };
    for (Case c : {Case{2, 65535, 65535, 24}, Case{10, 65535, 65535, 32}, Case{2, 32768, 32768, 32},
                   Case{10, 16385, 16384, 32}}) {
        SCOPED_TRACE(std::to_string(c.width) + "x" + std::to_string(c.height) + "x" +
                     std::to_string(c.bits));
        const std::string path = write(join({header(c.type, c.width, c.height, c.bits), {0}}));
        allocation::resetLargest();
        tga::Image image;
        EXPECT_STREQ(tga::readFile(path, image), "Could not allocate memory for image");
        EXPECT_LT(allocation::largest(), size_t(1) << 20);
    }
}

} // namespace
