// The asset tool's parts, in-process: the TGA writer against the show's own reader, the shapes'
// coverage, text fitting, and the music's timing against the show's timeline.
#include "Canvas.h"
#include "Sounds.h"
#include "Text.h"
#include "TgaWriter.h"

#include "TestSupport.h"
#include "show/Show.h"
#include "textures/TGADecoder.h"
#include "textures/TGALoader.h"

#include <gtest/gtest.h>

#include <cmath>
#include <stdexcept>

namespace {

using namespace art;

// ---------------------------------------------------------------------------------------------
// The writer, read back by the reader core the show uses.

// 300 x 5: rows that make the run-length coder split runs and raw stretches at 128, and two rows
// of one colour in a row, where a careless coder would let a run cross the row end.
Rgba8Image writerFixture() {
    const int w = 300, h = 5;
    Rgba8Image img{w, h, std::vector<uint8_t>(size_t(w) * h * 4)};
    auto set = [&](int x, int y, uint8_t r, uint8_t g, uint8_t b, uint8_t a) {
        uint8_t* p = &img.rgba[(size_t(y) * w + x) * 4];
        p[0] = r, p[1] = g, p[2] = b, p[3] = a;
    };
    for (int x = 0; x < w; ++x) {
        set(x, 0, 200, 10, 20, 255);                                        // one long run
        set(x, 1, uint8_t(x), uint8_t(x * 7), uint8_t(x * 13), uint8_t(x)); // all different
        set(x, 2, uint8_t((x / 2) * 3), 40, 50, uint8_t(x % 3 ? 128 : 0));  // pairs
        if (x == 0) {
            set(x, 3, 1, 2, 3, 4);
        } else {
            set(x, 3, 9, 8, 7, 6); // a run of 299 after one odd pixel
        }
        set(x, 4, 200, 10, 20, 255); // the same colour as the row above's neighbour row 0
    }
    return img;
}

struct WriterCase {
    int imageType, bitsPerPixel;
    bool topRowFirst;
};

class TgaWriterRoundTrip : public ::testing::TestWithParam<WriterCase> {};

TEST_P(TgaWriterRoundTrip, ReaderGetsThePixelsBackInFileRowOrder) {
    const WriterCase wc = GetParam();
    Rgba8Image img = writerFixture();
    std::vector<uint8_t> bytes =
        encodeTga(img, TgaFormat{wc.imageType, wc.bitsPerPixel, wc.topRowFirst});
    ASSERT_GE(bytes.size(), 18u);
    int bytesPerPixel = wc.bitsPerPixel / 8;
    // Only the row-order bit: the general decoder refuses any other descriptor bits.
    EXPECT_EQ(bytes[17], wc.topRowFirst ? 0x20 : 0x00);

    testsupport::TempDir dir;
    testsupport::writeBytes(dir.file("p.tga"), bytes);
    tga::Image out;
    const char* failure = tga::readFile(dir.file("p.tga"), out);
    ASSERT_EQ(failure, nullptr) << failure;
    TGADecoder general;
    EXPECT_EQ(general.load(dir.file("p.tga").c_str()), TGADecoder::LoadOk);
    ASSERT_EQ(out.width, 300u);
    ASSERT_EQ(out.height, 5u);
    ASSERT_EQ(out.bitsPerPixel, uint32_t(wc.bitsPerPixel));
    for (int fileRow = 0; fileRow < 5; ++fileRow) {
        // The reader keeps the file's row order; bottom-row-first files start with the last row.
        int y = wc.topRowFirst ? fileRow : 4 - fileRow;
        for (int x = 0; x < 300; ++x) {
            const uint8_t* want = &img.rgba[(size_t(y) * 300 + x) * 4];
            const uint8_t* got = &out.pixels[(size_t(fileRow) * 300 + x) * bytesPerPixel];
            for (int k = 0; k < bytesPerPixel; ++k) {
                ASSERT_EQ(got[k], want[k]) << "file row " << fileRow << " x " << x << " byte " << k;
            }
        }
    }
}

INSTANTIATE_TEST_SUITE_P(EveryForm, TgaWriterRoundTrip,
                         ::testing::Values(WriterCase{2, 24, false}, WriterCase{2, 24, true},
                                           WriterCase{2, 32, false}, WriterCase{2, 32, true},
                                           WriterCase{10, 24, false}, WriterCase{10, 24, true},
                                           WriterCase{10, 32, false}, WriterCase{10, 32, true}));

TEST(TgaWriter, RunLengthPacketsStayWithinARow) {
    for (int bits : {24, 32}) {
        std::vector<uint8_t> bytes = encodeTga(writerFixture(), TgaFormat{10, bits, false});
        size_t pos = 18, bytesPerPixel = size_t(bits / 8);
        long pixel = 0, total = 300 * 5;
        while (pixel < total) {
            ASSERT_LT(pos, bytes.size()) << bits << "-bit";
            uint8_t head = bytes[pos++];
            long count = (head & 0x7f) + 1;
            EXPECT_EQ(pixel / 300, (pixel + count - 1) / 300)
                << bits << "-bit: a packet of " << count << " at pixel " << pixel
                << " crosses a row end";
            pos += (head & 0x80) ? bytesPerPixel : bytesPerPixel * size_t(count);
            pixel += count;
        }
        EXPECT_EQ(pixel, total);
        // What follows the pixels is the 26-byte footer and nothing else.
        EXPECT_EQ(bytes.size(), pos + 26) << bits << "-bit";
    }
}

TEST(TgaWriter, RefusesWhatTheShowCannotRead) {
    Rgba8Image ok{4, 4, std::vector<uint8_t>(64, 0)};
    Rgba8Image empty{0, 4, {}};
    Rgba8Image shortPixels{4, 4, std::vector<uint8_t>(60, 0)};
    EXPECT_THROW(encodeTga(empty, TgaFormat{2, 24, false}), std::invalid_argument);
    EXPECT_THROW(encodeTga(shortPixels, TgaFormat{2, 24, false}), std::invalid_argument);
    EXPECT_THROW(encodeTga(ok, TgaFormat{2, 16, false}), std::invalid_argument);
    EXPECT_THROW(encodeTga(ok, TgaFormat{1, 24, false}), std::invalid_argument);
    EXPECT_NO_THROW(encodeTga(ok, TgaFormat{10, 32, true}));
}

// ---------------------------------------------------------------------------------------------
// Shapes: the ink a shape lays down matches its area, inside is inside, outside stays clear.

struct ShapeCase {
    const char* name;
    void (*draw)(Canvas&);
    double area;
    Vec2 inside, outside;
};

const ShapeCase shapeCases[] = {
    {"circle",
     [](Canvas& c) {
         fillCircle(c, {100, 100}, 50, hex(0xffffff));
     },
     M_PI * 2500,
     {100, 100},
     {160, 100}},
    {"turned ellipse",
     [](Canvas& c) {
         fillEllipse(c, {100, 100}, 60, 30, 0.7f, hex(0xffffff));
     },
     M_PI * 1800,
     {100, 100},
     {100, 160}},
    {"rectangle",
     [](Canvas& c) { fillRect(c, 40, 50, 80, 110, 0, hex(0xffffff)); },
     2400,
     {60, 80},
     {90, 80}},
    {"rounded rectangle",
     [](Canvas& c) { fillRect(c, 40, 50, 80, 110, 10, hex(0xffffff)); },
     2400 - (4 - M_PI) * 100,
     {60, 80},
     {41, 51}},
    {"triangle, clockwise",
     [](Canvas& c) {
         fillPolygon(c, {{20, 20}, {180, 20}, {20, 180}}, hex(0xffffff));
     },
     12800,
     {50, 50},
     {150, 150}},
    {"triangle, anticlockwise",
     [](Canvas& c) {
         fillPolygon(c, {{20, 20}, {20, 180}, {180, 20}}, hex(0xffffff));
     },
     12800,
     {50, 50},
     {150, 150}},
    {"concave arrow",
     [](Canvas& c) {
         fillPolygon(c, {{20, 20}, {180, 100}, {20, 180}, {80, 100}}, hex(0xffffff));
     },
     12800 - 4800,
     {60, 60},
     {50, 100}},
    {"capsule",
     [](Canvas& c) {
         strokeLine(c, {50, 100}, {150, 100}, 20, hex(0xffffff));
     },
     100 * 20 + M_PI * 100,
     {100, 100},
     {100, 120}},
};

TEST(Shapes, InkMatchesTheAreaAndStaysInside) {
    for (const ShapeCase& sc : shapeCases) {
        Canvas c(200, 200);
        sc.draw(c);
        double ink = 0;
        for (int y = 0; y < 200; ++y) {
            for (int x = 0; x < 200; ++x) {
                ink += c.at(x, y)[3];
            }
        }
        EXPECT_NEAR(ink, sc.area, sc.area * 0.01) << sc.name;
        EXPECT_FLOAT_EQ(c.at(int(sc.inside.x), int(sc.inside.y))[3], 1.0f) << sc.name;
        EXPECT_FLOAT_EQ(c.at(int(sc.outside.x), int(sc.outside.y))[3], 0.0f) << sc.name;
    }
}

TEST(Shapes, SoftEdgesAreSoftAndHalfCoveredOnTheEdge) {
    Canvas crisp(100, 100), soft(100, 100);
    fillCircle(crisp, {50.5f, 50.5f}, 30, hex(0xffffff));
    fillCircle(soft, {50.5f, 50.5f}, 30, hex(0xffffff), 10.0f);
    // Pixel (80, 50) is centred on the edge: half covered either way. Three pixels in, only the
    // soft edge still fades.
    EXPECT_NEAR(crisp.at(80, 50)[3], 0.5f, 0.01f);
    EXPECT_NEAR(soft.at(80, 50)[3], 0.5f, 0.01f);
    EXPECT_FLOAT_EQ(crisp.at(77, 50)[3], 1.0f);
    EXPECT_NEAR(soft.at(77, 50)[3], 0.8f, 0.01f);
    EXPECT_FLOAT_EQ(crisp.at(84, 50)[3], 0.0f);
    EXPECT_GT(soft.at(84, 50)[3], 0.05f);
}

TEST(Text, FittedTextKeepsWithinTheWidthAndShortTextKeepsItsSize) {
    TextStyle style;
    style.pixelSize = 80;
    TextStyle wide = fitted("A LINE FAR TOO WIDE FOR ITS BOX", style, 300);
    EXPECT_LT(wide.pixelSize, 80.0f);
    EXPECT_LE(setText("A LINE FAR TOO WIDE FOR ITS BOX", wide).width, 302);
    EXPECT_FLOAT_EQ(fitted("OK", style, 300).pixelSize, 80.0f);
    TextMask two = setText("ZVQ", style);
    EXPECT_GT(two.width, 0);
    EXPECT_GT(two.height, 0);
}

// ---------------------------------------------------------------------------------------------
// The music against the show's timeline.

TEST(MusicPlan, SectionsStartOnTheShowsSceneBoundaries) {
    const auto& sections = musicSections();
    ASSERT_EQ(sections.size(), size_t(SceneCount) + 1);
    EXPECT_EQ(sections[0].startMs, 0u);
    for (int k = 0; k < SceneCount; ++k) {
        EXPECT_EQ(sections[size_t(k) + 1].startMs, SceneEndTimes[k]) << "scene " << k;
        EXPECT_EQ(sections[size_t(k)].endMs, SceneEndTimes[k]) << "scene " << k;
    }
    EXPECT_EQ(sections.back().endMs, MusicEndMs);
    for (size_t i = 0; i + 1 < sections.size(); ++i) {
        const MusicSection& s = sections[i];
        double span = double(s.endMs - s.startMs);
        if (span < 1500) {
            EXPECT_EQ(s.beats, 0) << s.name;
            continue;
        }
        // A whole, even number of beats fits the section exactly, at a danceable tempo.
        EXPECT_EQ(s.beats % 2, 0) << s.name;
        EXPECT_GE(s.bpm, 126.0) << s.name;
        EXPECT_LE(s.bpm, 154.0) << s.name;
        EXPECT_NEAR(s.beats * 60000.0 / s.bpm, span, 1e-6) << s.name;
    }
}

class Music : public ::testing::Test {
  protected:
    static void SetUpTestSuite() { track = new synth::Buffer(renderMusic()); }
    static void TearDownTestSuite() {
        delete track;
        track = nullptr;
    }
    // Mean square of the first difference of both channels: high where something strikes.
    static double flux(size_t from, size_t to) {
        double e = 0;
        for (size_t i = std::max<size_t>(from, 1); i < to; ++i) {
            double d = (track->left()[i] - track->left()[i - 1]) +
                       (track->right()[i] - track->right()[i - 1]);
            e += d * d;
        }
        return e / double(to - from);
    }
    static double rms(double fromS, double toS) {
        size_t a = size_t(fromS * MusicRate), b = size_t(toS * MusicRate);
        double e = 0;
        for (size_t i = a; i < b; ++i) {
            e +=
                0.5 * (track->left()[i] * track->left()[i] + track->right()[i] * track->right()[i]);
        }
        return std::sqrt(e / double(b - a));
    }
    static synth::Buffer* track;
};
synth::Buffer* Music::track = nullptr;

TEST_F(Music, EveryCutOfTheShowLandsOnAStrike) {
    // 30 ms after each scene boundary against the 30 ms before it. The last boundary, the end
    // of the timeline, is where the fade begins instead.
    const size_t window = MusicRate * 30 / 1000;
    for (int k = 0; k + 1 < SceneCount; ++k) {
        size_t at = frameAtMs(SceneEndTimes[k]);
        double ratio = flux(at, at + window) / flux(at - window, at);
        EXPECT_GT(ratio, 3.0) << "cut into scene " << k + 1 << " at " << SceneEndTimes[k] << " ms";
    }
}

TEST_F(Music, LastsAbout168SecondsAndFadesOutAfterTheTimeline) {
    ASSERT_EQ(track->frames(), frameAtMs(MusicEndMs));
    EXPECT_EQ(track->rate(), 44100);
    double playing = rms(150, 160);
    EXPECT_GT(playing, 0.05);
    EXPECT_GT(rms(163, 164), rms(166, 167));
    EXPECT_LT(rms(167.9, 168.0), playing * 0.01);
    float peak = 0;
    for (size_t i = 0; i < track->frames(); ++i) {
        peak = std::max({peak, std::fabs(track->left()[i]), std::fabs(track->right()[i])});
    }
    EXPECT_LE(peak, 0.9f) << "room below full scale for the encoder";
    EXPECT_GT(peak, 0.5f);
}

} // namespace
