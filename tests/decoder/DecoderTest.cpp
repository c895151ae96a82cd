// The general TGA decoder over small files made here: what each header and data layout decodes
// to, which code each bad or unsafe file gets, and how loads on one decoder follow each other.
// Every case runs twice, through load on a file and through loadFromMemory, which must agree.
#include "textures/TGADecoder.h"

#include "TestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <ostream>
#include <string>
#include <vector>

namespace {

using testsupport::TempDir;
using testsupport::writeBytes;
using Bytes = std::vector<uint8_t>;

// A TGA file field by field; 16-bit fields are written little-endian.
struct Tga {
    uint8_t colourMapType = 0;
    uint8_t imageType = 2;
    int colMapStart = 0;
    int colMapLen = 0;
    uint8_t colMapBits = 0;
    int x1 = 0, y1 = 0, x2 = 0, y2 = 0;
    uint8_t depth = 24;
    uint8_t descriptor = 0;
    Bytes id;
    Bytes colourMap; // as stored: blue, green, red
    Bytes data;      // pixel data or packets, as stored

    Bytes bytes() const {
        auto put16 = [](Bytes& b, int v) {
            b.push_back(uint8_t(v & 0xff));
            b.push_back(uint8_t((v >> 8) & 0xff));
        };
        Bytes b = {uint8_t(id.size()), colourMapType, imageType};
        put16(b, colMapStart);
        put16(b, colMapLen);
        b.push_back(colMapBits);
        put16(b, x1);
        put16(b, y1);
        put16(b, x2);
        put16(b, y2);
        b.push_back(depth);
        b.push_back(descriptor);
        b.insert(b.end(), id.begin(), id.end());
        b.insert(b.end(), colourMap.begin(), colourMap.end());
        b.insert(b.end(), data.begin(), data.end());
        return b;
    }
};

// Stored entry i is blue i, green i ^ 0x55, red 255 - i, so a missed swap or a shifted entry shows.
Bytes storedColourMap(size_t entries = 256) {
    Bytes m;
    for (size_t i = 0; i < entries; ++i) {
        m.push_back(uint8_t(i));
        m.push_back(uint8_t(i ^ 0x55));
        m.push_back(uint8_t(255 - i));
    }
    return m;
}

Tga trueColour(int width, int height, uint8_t depth, uint8_t type, Bytes data,
               uint8_t descriptor = 0) {
    Tga t;
    t.imageType = type;
    t.x2 = width;
    t.y2 = height;
    t.depth = depth;
    t.descriptor = descriptor;
    t.data = std::move(data);
    return t;
}

Tga colourMapped(int width, int height, uint8_t type, Bytes data, uint8_t descriptor = 0) {
    Tga t = trueColour(width, height, 8, type, std::move(data), descriptor);
    t.colourMapType = 1;
    t.colMapLen = 256;
    t.colMapBits = 24;
    t.colourMap = storedColourMap();
    return t;
}

template <typename F> Tga with(Tga t, F change) {
    change(t);
    return t;
}

Bytes repeat(const Bytes& unit, size_t times) {
    Bytes out;
    for (size_t i = 0; i < times; ++i) {
        out.insert(out.end(), unit.begin(), unit.end());
    }
    return out;
}

Bytes cat(std::initializer_list<Bytes> parts) {
    Bytes out;
    for (const Bytes& p : parts) {
        out.insert(out.end(), p.begin(), p.end());
    }
    return out;
}

Bytes firstBytes(Bytes b, size_t n) {
    b.resize(n);
    return b;
}

// Two file paths through one decoder each; both must give the same code.
struct Outcome {
    int fromFile;
    int fromMemory;
};

Outcome decodeBoth(const Bytes& file, TGADecoder& viaFile, TGADecoder& viaMemory) {
    TempDir dir;
    const std::string path = dir.file("image.tga");
    writeBytes(path, file);
    return {viaFile.load(path.c_str()), viaMemory.loadFromMemory(file.data(), file.size())};
}

Bytes pixelsOf(const TGADecoder& d) {
    return Bytes(d.getPixels(), d.getPixels() + d.getImageSize());
}

// ---- Files that decode -------------------------------------------------------------------------

struct DecodeCase {
    const char* name;
    Bytes file;
    int width, height, depth;
    Bytes pixels; // top row first
};

void PrintTo(const DecodeCase& c, std::ostream* os) {
    *os << c.name;
}

class Decodes : public ::testing::TestWithParam<DecodeCase> {};

TEST_P(Decodes, ToTopRowFirstRgb) {
    const DecodeCase& c = GetParam();
    TGADecoder viaFile, viaMemory;
    const Outcome got = decodeBoth(c.file, viaFile, viaMemory);
    ASSERT_EQ(got.fromFile, TGADecoder::LoadOk);
    ASSERT_EQ(got.fromMemory, TGADecoder::LoadOk);
    for (const TGADecoder* d : {&viaFile, &viaMemory}) {
        EXPECT_EQ(d->getWidth(), c.width);
        EXPECT_EQ(d->getHeight(), c.height);
        EXPECT_EQ(d->getBitsPerPixel(), c.depth);
        ASSERT_EQ(d->getImageSize(), c.pixels.size());
        ASSERT_NE(d->getPixels(), nullptr);
        EXPECT_EQ(pixelsOf(*d), c.pixels);
    }
}

// 2 x 2, stored bottom row first as blue, green, red: bottom (1 2 3)(4 5 6), top (7 8 9)(10 11 12).
const Bytes Stored2x2 = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12};
const Bytes Flipped2x2 = {9, 8, 7, 12, 11, 10, 3, 2, 1, 6, 5, 4};
const Bytes Unflipped2x2 = {3, 2, 1, 6, 5, 4, 9, 8, 7, 12, 11, 10};
const Bytes A = {10, 20, 30}, B = {40, 50, 60}, C = {70, 80, 90}; // stored blue, green, red
const Bytes Ar = {30, 20, 10}, Br = {60, 50, 40}, Cr = {90, 80, 70};

INSTANTIATE_TEST_SUITE_P(
    Decoder, Decodes,
    ::testing::Values(
        DecodeCase{"Type2BottomFirstIsFlipped", trueColour(2, 2, 24, 2, Stored2x2).bytes(), 2, 2,
                   24, Flipped2x2},
        DecodeCase{"Type2TopFirstKeepsRowOrder", trueColour(2, 2, 24, 2, Stored2x2, 0x20).bytes(),
                   2, 2, 24, Unflipped2x2},
        DecodeCase{"ThirtyTwoBitsKeepFourthByteAndFlipWithAttributeBits",
                   trueColour(1, 2, 32, 2, {1, 2, 3, 4, 5, 6, 7, 8}, 0x08).bytes(),
                   1,
                   2,
                   32,
                   {7, 6, 5, 8, 3, 2, 1, 4}},
        DecodeCase{"OddHeightKeepsMiddleRow", trueColour(1, 3, 24, 2, cat({A, B, C})).bytes(), 1, 3,
                   24, cat({Cr, Br, Ar})},
        DecodeCase{"WidthIsX2MinusX1",
                   with(trueColour(0, 1, 24, 2, repeat(A, 90), 0x20),
                        [](Tga& t) {
                            t.x1 = 10;
                            t.x2 = 100;
                        })
                       .bytes(),
                   90, 1, 24, repeat(Ar, 90)},
        DecodeCase{"NegativeOriginsSubtract",
                   with(trueColour(0, 0, 24, 2, repeat(A, 6), 0x20),
                        [](Tga& t) {
                            t.x1 = -1; // 0xFFFF
                            t.x2 = 2;
                            t.y1 = 0x7FFF;
                            t.y2 = 0x8001; // wraps to 2 in 16 bits
                        })
                       .bytes(),
                   3, 2, 24, repeat(Ar, 6)},
        DecodeCase{"ImageIdIsSkipped",
                   with(trueColour(1, 1, 24, 2, A),
                        [](Tga& t) {
                            t.id = {0xEE, 0xEE, 0xEE};
                        })
                       .bytes(),
                   1, 1, 24, Ar},
        DecodeCase{"TrailingBytesIgnored", cat({trueColour(1, 1, 24, 2, A).bytes(), {1, 2, 3}}), 1,
                   1, 24, Ar},
        DecodeCase{"RunPacket0x83WritesFourPixels",
                   trueColour(2, 2, 24, 10, cat({{0x83}, A})).bytes(), 2, 2, 24, repeat(Ar, 4)},
        DecodeCase{"RawPacket0x02CarriesThreePixels",
                   trueColour(2, 2, 24, 10, cat({{0x02}, A, B, C, {0x80}, B}), 0x20).bytes(), 2, 2,
                   24, cat({Ar, Br, Cr, Br})},
        DecodeCase{"PacketsRunAcrossRowEnds",
                   trueColour(3, 2, 24, 10, cat({{0x83}, A, {0x01}, B, C}), 0x20).bytes(), 3, 2, 24,
                   cat({Ar, Ar, Ar, Ar, Br, Cr})},
        DecodeCase{"RunPacketsAreFlippedToo",
                   trueColour(1, 2, 24, 10, cat({{0x80}, A, {0x80}, B})).bytes(), 1, 2, 24,
                   cat({Br, Ar})},
        DecodeCase{"LongestRunIs128", trueColour(128, 1, 24, 10, cat({{0xFF}, A})).bytes(), 128, 1,
                   24, repeat(Ar, 128)},
        DecodeCase{"LongestRawPacketIs128",
                   trueColour(128, 1, 24, 10, cat({{0x7F}, repeat(B, 128)})).bytes(), 128, 1, 24,
                   repeat(Br, 128)},
        DecodeCase{"RunLengthThirtyTwoBits",
                   trueColour(2, 1, 32, 10, {0x81, 1, 2, 3, 4}).bytes(),
                   2,
                   1,
                   32,
                   {3, 2, 1, 4, 3, 2, 1, 4}},
        DecodeCase{"ColourMappedIndicesFlipped",
                   colourMapped(2, 2, 1, {0, 1, 2, 255}).bytes(),
                   2,
                   2,
                   8,
                   {2, 255, 0, 1}},
        DecodeCase{"ColourMappedRunLength",
                   colourMapped(2, 2, 9, {0x81, 7, 0x01, 8, 9}).bytes(),
                   2,
                   2,
                   8,
                   {8, 9, 7, 7}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(DecoderPalette, ComesOutRedGreenBlueForBothColourMappedTypes) {
    for (const Tga& t : {colourMapped(1, 1, 1, {0}), colourMapped(1, 1, 9, {0x80, 0})}) {
        TGADecoder viaFile, viaMemory;
        const Outcome got = decodeBoth(t.bytes(), viaFile, viaMemory);
        ASSERT_EQ(got.fromFile, TGADecoder::LoadOk);
        ASSERT_EQ(got.fromMemory, TGADecoder::LoadOk);
        for (const TGADecoder* d : {&viaFile, &viaMemory}) {
            ASSERT_NE(d->getPalette(), nullptr);
            for (int i = 0; i < 256; ++i) {
                const uint8_t* e = d->getPalette() + 3 * i;
                ASSERT_EQ(e[0], 255 - i) << "entry " << i;
                ASSERT_EQ(e[1], i ^ 0x55) << "entry " << i;
                ASSERT_EQ(e[2], i) << "entry " << i;
            }
        }
    }
}

TEST(DecoderPalette, TrueColourHasNone) {
    TGADecoder viaFile, viaMemory;
    decodeBoth(trueColour(1, 1, 24, 2, A).bytes(), viaFile, viaMemory);
    EXPECT_EQ(viaFile.getPalette(), nullptr);
    EXPECT_EQ(viaMemory.getPalette(), nullptr);
}

// ---- Files that are refused --------------------------------------------------------------------

struct RefuseCase {
    const char* name;
    Bytes file;
    int code;
};

void PrintTo(const RefuseCase& c, std::ostream* os) {
    *os << c.name;
}

class Refuses : public ::testing::TestWithParam<RefuseCase> {};

TEST_P(Refuses, WithTheFirstFailingTestsCode) {
    const RefuseCase& c = GetParam();
    TGADecoder viaFile, viaMemory;
    const Outcome got = decodeBoth(c.file, viaFile, viaMemory);
    EXPECT_EQ(got.fromFile, c.code);
    EXPECT_EQ(got.fromMemory, c.code);
}

Tga sizedType(uint8_t type, uint8_t depth, int width = 1, int height = 1) {
    return trueColour(width, height, depth, type, Bytes(size_t(width) * height * 4, 0));
}

const Tga Good2 = trueColour(2, 2, 24, 2, Stored2x2);

constexpr int Bad = TGADecoder::LoadBadImage;
constexpr int Unsupported = TGADecoder::LoadUnsupported;

INSTANTIATE_TEST_SUITE_P(
    Header, Refuses,
    ::testing::Values(
        RefuseCase{"EmptyFile", {}, Bad},
        RefuseCase{"ShorterThanHeader", firstBytes(Good2.bytes(), 17), Bad},
        RefuseCase{"WidthZero", with(Good2, [](Tga& t) { t.x2 = 0; }).bytes(), Bad},
        RefuseCase{"HeightZero", with(Good2, [](Tga& t) { t.y2 = 0; }).bytes(), Bad},
        RefuseCase{"X2NegativeGivesNegativeWidth",
                   with(Good2, [](Tga& t) { t.x2 = 0x8000; }).bytes(), Bad},
        RefuseCase{"WidthWrapsNegativeIn16Bits",
                   with(Good2,
                        [](Tga& t) {
                            t.x1 = -1;
                            t.x2 = 0x7FFF;
                        })
                       .bytes(),
                   Bad},
        RefuseCase{"ColourMapType2", with(Good2, [](Tga& t) { t.colourMapType = 2; }).bytes(),
                   Unsupported},
        RefuseCase{"ColourMapType2BeforeWidth",
                   with(Good2,
                        [](Tga& t) {
                            t.colourMapType = 2;
                            t.x2 = 0;
                        })
                       .bytes(),
                   Unsupported},
        RefuseCase{"Type12", with(Good2, [](Tga& t) { t.imageType = 12; }).bytes(), Unsupported},
        RefuseCase{"Type12EvenWithWidthZero",
                   with(Good2,
                        [](Tga& t) {
                            t.imageType = 12;
                            t.x2 = 0;
                        })
                       .bytes(),
                   Unsupported},
        RefuseCase{"Type3WithWidthZeroIsBadFirst",
                   with(Good2,
                        [](Tga& t) {
                            t.imageType = 3;
                            t.x2 = 0;
                        })
                       .bytes(),
                   Bad},
        RefuseCase{"Type3", with(Good2, [](Tga& t) { t.imageType = 3; }).bytes(), Unsupported},
        RefuseCase{"Type0", with(Good2, [](Tga& t) { t.imageType = 0; }).bytes(), Unsupported},
        RefuseCase{"TypeAbove127", with(Good2, [](Tga& t) { t.imageType = 0x8A; }).bytes(),
                   Unsupported},
        RefuseCase{"DescriptorWithAttributeBitsAndTopFirst",
                   trueColour(1, 1, 32, 2, {1, 2, 3, 4}, 0x28).bytes(), Unsupported},
        RefuseCase{"DescriptorAbove32", trueColour(1, 1, 24, 2, A, 0x21).bytes(), Unsupported},
        RefuseCase{"WidthTestedBeforeDescriptor",
                   with(trueColour(1, 1, 24, 2, A, 0x28), [](Tga& t) { t.x2 = 0; }).bytes(), Bad},
        RefuseCase{"ColourMap255Entries",
                   with(colourMapped(1, 1, 1, {0}), [](Tga& t) { t.colMapLen = 255; }).bytes(),
                   Unsupported},
        RefuseCase{"ColourMap16BitEntries",
                   with(colourMapped(1, 1, 1, {0}), [](Tga& t) { t.colMapBits = 16; }).bytes(),
                   Unsupported},
        RefuseCase{"ColourMapNotFromZero",
                   with(colourMapped(1, 1, 1, {0}), [](Tga& t) { t.colMapStart = 1; }).bytes(),
                   Unsupported},
        RefuseCase{"TrueColourWithValidColourMap",
                   with(colourMapped(1, 1, 2, A), [](Tga& t) { t.depth = 24; }).bytes(), Bad},
        RefuseCase{"TrueColourWithOddColourMapFailsInHeader",
                   with(colourMapped(1, 1, 2, A),
                        [](Tga& t) {
                            t.depth = 24;
                            t.colMapLen = 255;
                        })
                       .bytes(),
                   Unsupported},
        RefuseCase{"ColourMappedWithoutColourMap",
                   with(colourMapped(1, 1, 1, {0}), [](Tga& t) { t.colourMapType = 0; }).bytes(),
                   Bad},
        RefuseCase{
            "RunLengthColourMappedWithoutColourMap",
            with(colourMapped(1, 1, 9, {0x80, 0}), [](Tga& t) { t.colourMapType = 0; }).bytes(),
            Bad},
        RefuseCase{
            "RunLengthTrueColourWithColourMap",
            with(colourMapped(1, 1, 10, cat({{0x80}, A})), [](Tga& t) { t.depth = 24; }).bytes(),
            Bad}),
    [](const auto& info) { return std::string(info.param.name); });

INSTANTIATE_TEST_SUITE_P(
    Depth, Refuses,
    ::testing::Values(
        RefuseCase{"Type2At16Bits", sizedType(2, 16).bytes(), Unsupported},
        RefuseCase{"Type2At8Bits", sizedType(2, 8).bytes(), Unsupported},
        RefuseCase{"Type2At0Bits", sizedType(2, 0).bytes(), Unsupported},
        RefuseCase{"Type2At255Bits", sizedType(2, 255, 200, 200).bytes(), Unsupported},
        RefuseCase{"Type10At8Bits", sizedType(10, 8).bytes(), Unsupported},
        RefuseCase{"Type1At24Bits",
                   with(colourMapped(1, 1, 1, A), [](Tga& t) { t.depth = 24; }).bytes(),
                   Unsupported},
        RefuseCase{
            "Type9At32Bits",
            with(colourMapped(1, 1, 9, {0x80, 1, 2, 3, 4}), [](Tga& t) { t.depth = 32; }).bytes(),
            Unsupported},
        RefuseCase{"Type1At16Bits",
                   with(colourMapped(1, 1, 1, {0, 0}), [](Tga& t) { t.depth = 16; }).bytes(),
                   Unsupported},
        // Tested after the width, like every other header value.
        RefuseCase{"DepthAfterWidth", with(sizedType(2, 16), [](Tga& t) { t.x2 = 0; }).bytes(),
                   Bad}),
    [](const auto& info) { return std::string(info.param.name); });

Bytes withoutLast(Bytes b, size_t n = 1) {
    b.resize(b.size() - n);
    return b;
}

INSTANTIATE_TEST_SUITE_P(
    ShortData, Refuses,
    ::testing::Values(
        RefuseCase{"HeaderOnly", trueColour(1, 1, 24, 2, {}).bytes(), Bad},
        RefuseCase{"Type2OneByteShort", withoutLast(Good2.bytes()), Bad},
        RefuseCase{"Type2ImageIdCounts",
                   withoutLast(with(Good2,
                                    [](Tga& t) {
                                        t.id = {1, 2, 3};
                                    })
                                   .bytes()),
                   Bad},
        RefuseCase{"Type1MustHoldItsColourMap",
                   with(colourMapped(2, 2, 1, {}), [](Tga& t) { t.colourMap.pop_back(); }).bytes(),
                   Bad},
        RefuseCase{"Type1OneByteShort", withoutLast(colourMapped(2, 2, 1, {0, 1, 2, 3}).bytes()),
                   Bad},
        RefuseCase{"Type9ShorterThanItsColourMap",
                   firstBytes(colourMapped(1, 1, 9, {0x80, 0}).bytes(), 18 + 700), Bad},
        RefuseCase{"Type9ColourMapButNoPackets", colourMapped(1, 1, 9, {}).bytes(), Bad},
        RefuseCase{"Type10NoPackets", trueColour(1, 1, 24, 10, {}).bytes(), Bad},
        RefuseCase{"Type10StopsAtPacketBoundary",
                   trueColour(2, 1, 24, 10, cat({{0x80}, A})).bytes(), Bad},
        RefuseCase{"Type10StopsInsideRunPixel", trueColour(1, 1, 24, 10, {0x80, 1, 2}).bytes(),
                   Bad},
        RefuseCase{"Type10RawPacketShortOfPixels",
                   trueColour(2, 1, 24, 10, cat({{0x01}, A, {1}})).bytes(), Bad},
        // 4 GiB of pixels declared in a file of a few bytes: refused without making the buffer.
        RefuseCase{"Type10HugeImageTinyFile",
                   trueColour(0x7FFF, 0x7FFF, 32, 10, {0xFF, 1, 2, 3, 4}).bytes(), Bad}),
    [](const auto& info) { return std::string(info.param.name); });

// Packets that would write past imageSize are refused, never cut short.
INSTANTIATE_TEST_SUITE_P(
    Overrun, Refuses,
    ::testing::Values(
        RefuseCase{"RunPastEnd", trueColour(2, 1, 24, 10, cat({{0x82}, A})).bytes(), Bad},
        RefuseCase{"RawPastEnd", trueColour(1, 1, 24, 10, cat({{0x01}, A, B})).bytes(), Bad},
        RefuseCase{"SecondPacketPastEnd",
                   trueColour(2, 1, 24, 10, cat({{0x80}, A, {0x81}, B})).bytes(), Bad},
        RefuseCase{"LongestRunOnTinyImage", trueColour(1, 1, 32, 10, {0xFF, 1, 2, 3, 4}).bytes(),
                   Bad},
        RefuseCase{"ColourMappedRunPastEnd", colourMapped(2, 2, 9, {0x81, 7, 0x82, 8}).bytes(),
                   Bad}),
    [](const auto& info) { return std::string(info.param.name); });

// ---- Paths and the life of one decoder ---------------------------------------------------------

TEST(DecoderPaths, MissingFileCannotOpenAndLeavesNoPixels) {
    TempDir dir;
    TGADecoder d;
    EXPECT_EQ(d.load(dir.file("absent.tga").c_str()), TGADecoder::LoadCannotOpen);
    EXPECT_EQ(d.getPixels(), nullptr);
    EXPECT_EQ(d.getPalette(), nullptr);
    EXPECT_EQ(d.load(nullptr), TGADecoder::LoadCannotOpen);
}

TEST(DecoderPaths, DirectoryCannotOpen) {
    TempDir dir;
    TGADecoder d;
    EXPECT_EQ(d.load(dir.path().c_str()), TGADecoder::LoadCannotOpen);
}

TEST(DecoderPaths, FileLongerThan32BitLengthIsUnsupported) {
    TempDir dir;
    const std::string path = dir.file("huge.tga");
    writeBytes(path, Good2.bytes());
    std::error_code ec;
    // Sparse: takes no space, but its length does not fit the decoder's 32 bits.
    std::filesystem::resize_file(path, (uint64_t(1) << 32) + 1, ec);
    if (ec) {
        GTEST_SKIP() << "cannot make a sparse file here: " << ec.message();
    }
    TGADecoder d;
    EXPECT_EQ(d.load(path.c_str()), TGADecoder::LoadUnsupported);
    EXPECT_EQ(d.getPixels(), nullptr);
}

class DecoderReuse : public ::testing::Test {
  protected:
    int loadFile(const Bytes& bytes) {
        const std::string path = dir.file("reuse" + std::to_string(count++) + ".tga");
        writeBytes(path, bytes);
        return d.load(path.c_str());
    }
    TempDir dir;
    TGADecoder d;
    int count = 0;
};

TEST_F(DecoderReuse, SecondLoadReplacesTheFirst) {
    ASSERT_EQ(loadFile(colourMapped(2, 2, 1, {0, 1, 2, 3}).bytes()), TGADecoder::LoadOk);
    ASSERT_NE(d.getPalette(), nullptr);
    ASSERT_EQ(loadFile(trueColour(1, 2, 32, 2, {1, 2, 3, 4, 5, 6, 7, 8}).bytes()),
              TGADecoder::LoadOk);
    EXPECT_EQ(d.getWidth(), 1);
    EXPECT_EQ(d.getHeight(), 2);
    EXPECT_EQ(d.getBitsPerPixel(), 32);
    EXPECT_EQ(pixelsOf(d), (Bytes{7, 6, 5, 8, 3, 2, 1, 4}));
    EXPECT_EQ(d.getPalette(), nullptr);
}

TEST_F(DecoderReuse, FailedSecondLoadLeavesNoImage) {
    const Bytes good = colourMapped(2, 2, 1, {0, 1, 2, 3}).bytes();
    for (const Bytes& bad : {Bytes{}, with(Good2, [](Tga& t) { t.colourMapType = 2; }).bytes(),
                             with(Good2, [](Tga& t) { t.x2 = 0; }).bytes()}) {
        ASSERT_EQ(loadFile(good), TGADecoder::LoadOk);
        EXPECT_NE(loadFile(bad), TGADecoder::LoadOk);
        EXPECT_EQ(d.getPixels(), nullptr);
        EXPECT_EQ(d.getPalette(), nullptr);
    }
    ASSERT_EQ(loadFile(good), TGADecoder::LoadOk);
    EXPECT_EQ(d.load(dir.file("absent.tga").c_str()), TGADecoder::LoadCannotOpen);
    EXPECT_EQ(d.getPixels(), nullptr);
    EXPECT_EQ(d.getPalette(), nullptr);
}

TEST_F(DecoderReuse, LoadAfterFailureDecodesAgain) {
    ASSERT_EQ(loadFile(trueColour(2, 1, 24, 10, cat({{0x82}, A})).bytes()),
              TGADecoder::LoadBadImage);
    ASSERT_EQ(loadFile(Good2.bytes()), TGADecoder::LoadOk);
    EXPECT_EQ(pixelsOf(d), Flipped2x2);
}

TEST_F(DecoderReuse, ReleaseFreesBuffersAndKeepsHeaderValues) {
    ASSERT_EQ(loadFile(colourMapped(3, 2, 1, {0, 1, 2, 3, 4, 5}).bytes()), TGADecoder::LoadOk);
    d.release();
    EXPECT_EQ(d.getPixels(), nullptr);
    EXPECT_EQ(d.getPalette(), nullptr);
    EXPECT_EQ(d.getWidth(), 3);
    EXPECT_EQ(d.getHeight(), 2);
    EXPECT_EQ(d.getBitsPerPixel(), 8);
    d.release(); // nothing left to free
    ASSERT_EQ(loadFile(Good2.bytes()), TGADecoder::LoadOk);
    EXPECT_EQ(pixelsOf(d), Flipped2x2);
}

} // namespace
