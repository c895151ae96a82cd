// show-assets inspect as its users run it: what it prints for each kind of file, with either
// reader, the exit status, and the raw bytes it writes; and those bytes against ffmpeg's own TGA
// decoder, an implementation that shares nothing with ours.
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <ostream>
#include <string>
#include <sys/wait.h>
#include <vector>

namespace {

using testsupport::readBytes;
using testsupport::TempDir;
using testsupport::writeBytes;
using Bytes = std::vector<uint8_t>;

struct Ran {
    int status;
    std::string out;
};

std::string quoted(const std::string& s) {
    return "'" + s + "'";
}

Ran run(const std::string& command) {
    Ran r{-1, {}};
    std::FILE* p = popen((command + " 2>&1").c_str(), "r");
    if (p == nullptr) {
        return r;
    }
    char buffer[4096];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, p)) > 0) {
        r.out.append(buffer, n);
    }
    const int raw = pclose(p);
    r.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    return r;
}

Ran inspect(const std::string& args) {
    return run(std::string(SHOW_ASSETS) + " inspect " + args);
}

// A TGA header; width and height go to offsets 12 and 14 with a zero origin.
Bytes header(int type, int width, int height, int depth, uint8_t descriptor = 0,
             bool colourMap = false) {
    return {0,
            uint8_t(colourMap ? 1 : 0),
            uint8_t(type),
            0,
            0,
            0,
            uint8_t(colourMap ? 1 : 0), // 256 entries
            uint8_t(colourMap ? 24 : 0),
            0,
            0,
            0,
            0,
            uint8_t(width),
            uint8_t(width >> 8),
            uint8_t(height),
            uint8_t(height >> 8),
            uint8_t(depth),
            descriptor};
}

Bytes cat(std::initializer_list<Bytes> parts) {
    Bytes out;
    for (const Bytes& p : parts) {
        out.insert(out.end(), p.begin(), p.end());
    }
    return out;
}

// Stored blue, green, red: entry i is (i, 255 - i, i / 2).
Bytes colourMap() {
    Bytes m;
    for (int i = 0; i < 256; ++i) {
        m.insert(m.end(), {uint8_t(i), uint8_t(255 - i), uint8_t(i / 2)});
    }
    return m;
}

// ---- What it prints and writes -----------------------------------------------------------------

struct InspectCase {
    const char* name;
    Bytes file;
    const char* options;
    int status;
    std::vector<std::string> lines; // each must appear as a whole line
    Bytes raw;                      // expected --raw contents; empty when nothing is written
    Bytes palette;                  // expected OUT.palette; empty when none is written
};

void PrintTo(const InspectCase& c, std::ostream* os) {
    *os << c.name;
}

class Inspect : public ::testing::TestWithParam<InspectCase> {};

TEST_P(Inspect, PrintsHeaderAndResultAndWritesTheBytes) {
    const InspectCase& c = GetParam();
    TempDir dir;
    const std::string file = dir.file("in.tga"), raw = dir.file("out.raw");
    writeBytes(file, c.file);
    const Ran r = inspect(quoted(file) + " " + c.options + " --raw " + quoted(raw));
    EXPECT_EQ(r.status, c.status) << r.out;
    for (const std::string& line : c.lines) {
        EXPECT_NE(("\n" + r.out).find("\n" + line + "\n"), std::string::npos)
            << "missing line \"" << line << "\" in:\n"
            << r.out;
    }
    EXPECT_EQ(readBytes(raw), c.raw);
    EXPECT_EQ(readBytes(raw + ".palette"), c.palette);
}

// 2 x 2, stored bottom row first: bottom (1 2 3)(4 5 6), top (7 8 9)(10 11 12), blue first.
const Bytes Pixels2x2 = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12};

Bytes paletteRgb() {
    Bytes p;
    for (int i = 0; i < 256; ++i) {
        p.insert(p.end(), {uint8_t(i / 2), uint8_t(255 - i), uint8_t(i)});
    }
    return p;
}

INSTANTIATE_TEST_SUITE_P(
    Assets, Inspect,
    ::testing::Values(
        InspectCase{"DecoderFlipsToTopRowFirst",
                    cat({header(2, 2, 2, 24), Pixels2x2}),
                    "",
                    0,
                    {"type: 2 (true-colour, uncompressed)", "size: 2 x 2", "depth: 24",
                     "descriptor: 0x00 (bottom row first, 0 attribute bits)",
                     "decoder: LoadOk (1)"},
                    {9, 8, 7, 12, 11, 10, 3, 2, 1, 6, 5, 4},
                    {}},
        InspectCase{"ReaderKeepsFileRowOrder",
                    cat({header(2, 2, 2, 24), Pixels2x2}),
                    "--reader",
                    0,
                    {"reader: ok"},
                    {3, 2, 1, 6, 5, 4, 9, 8, 7, 12, 11, 10},
                    {}},
        InspectCase{"ColourMappedWritesIndicesAndPalette",
                    cat({header(1, 2, 1, 8, 0x20, true), colourMap(), {0, 200}}),
                    "--decoder",
                    0,
                    {"type: 1 (colour-mapped, uncompressed)",
                     "colour map: type 1, entries 256 from 0, 24 bits", "decoder: LoadOk (1)"},
                    {0, 200},
                    paletteRgb()},
        InspectCase{"ReaderRefusesColourMappedWithItsMessage",
                    cat({header(1, 2, 1, 8, 0x20, true), colourMap(), {0, 200}}),
                    "--reader",
                    1,
                    {"reader: TGA file be type 2 or type 10: Invalid Image"},
                    {},
                    {}},
        InspectCase{
            "DecoderRefusalGivesItsCode",
            cat({header(10, 1, 1, 32, 0x28), {0x80, 1, 2, 3, 4}}),
            "",
            1,
            {"descriptor: 0x28 (top row first, 8 attribute bits)", "decoder: LoadUnsupported (64)"},
            {},
            {}},
        InspectCase{"SameFileThroughTheReader",
                    cat({header(10, 1, 1, 32, 0x28), {0x80, 1, 2, 3, 4}}),
                    "--reader",
                    0,
                    {"reader: ok"},
                    {3, 2, 1, 4},
                    {}},
        InspectCase{"ShortFile",
                    {0, 0, 2, 0, 0},
                    "",
                    1,
                    {"header: only 5 of 18 bytes", "decoder: LoadBadImage (8)"},
                    {},
                    {}},
        InspectCase{"ShortFileThroughTheReader",
                    {0, 0, 2, 0, 0},
                    "--reader",
                    1,
                    {"reader: Could not read file header"},
                    {},
                    {}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(InspectUsage, MissingFileAndBadArguments) {
    TempDir dir;
    const Ran missing = inspect(quoted(dir.file("absent.tga")));
    EXPECT_EQ(missing.status, 1);
    EXPECT_NE(missing.out.find("decoder: LoadCannotOpen (2)"), std::string::npos) << missing.out;
    const Ran missingReader = inspect(quoted(dir.file("absent.tga")) + " --reader");
    EXPECT_NE(missingReader.out.find("reader: could not open texture file"), std::string::npos)
        << missingReader.out;

    for (const char* args :
         {"", "a.tga b.tga", "a.tga --reader --decoder", "a.tga --raw", "a.tga --sideways"}) {
        const Ran r = inspect(args);
        EXPECT_EQ(r.status, 2) << args;
        EXPECT_NE(r.out.find("usage: show-assets inspect"), std::string::npos) << args;
    }
}

TEST(InspectUsage, UnwritableRawOutputFails) {
    TempDir dir;
    const std::string file = dir.file("in.tga");
    writeBytes(file, cat({header(2, 2, 2, 24), Pixels2x2}));
    const Ran r = inspect(quoted(file) + " --raw " + quoted(dir.file("no/such/folder/out.raw")));
    EXPECT_EQ(r.status, 1) << r.out;
    EXPECT_NE(r.out.find("cannot write"), std::string::npos) << r.out;
}

// ---- Against another decoder -------------------------------------------------------------------

struct Picture {
    const char* name;
    int type, width, height, depth;
    uint8_t descriptor;
};

void PrintTo(const Picture& p, std::ostream* os) {
    *os << p.name;
}

// A picture with runs and changing stretches, in the file's layout for its type.
Bytes makeFile(const Picture& p) {
    const int bpp = p.depth / 8;
    const bool mapped = p.type == 1 || p.type == 9;
    std::vector<Bytes> pixels;
    uint32_t state = 99;
    while (int(pixels.size()) < p.width * p.height) {
        state = state * 1664525u + 1013904223u;
        const bool run = (state >> 20) % 2 == 0;
        const int length = 1 + int((state >> 8) % 40);
        Bytes value(size_t(bpp), 0);
        for (int i = 0; i < length && int(pixels.size()) < p.width * p.height; ++i) {
            if (!run || i == 0) {
                state = state * 1664525u + 1013904223u;
                for (int k = 0; k < bpp; ++k) {
                    value[size_t(k)] = uint8_t(state >> (8 * k + 3));
                }
            }
            pixels.push_back(value);
        }
    }
    Bytes file = cat({header(p.type, p.width, p.height, p.depth, p.descriptor, mapped),
                      mapped ? colourMap() : Bytes{}});
    if (p.type == 1 || p.type == 2) {
        for (const Bytes& v : pixels) {
            file.insert(file.end(), v.begin(), v.end());
        }
        return file;
    }
    size_t i = 0;
    while (i < pixels.size()) {
        size_t same = 1;
        while (i + same < pixels.size() && same < 128 && pixels[i + same] == pixels[i]) {
            ++same;
        }
        if (same > 1) {
            file.push_back(uint8_t(127 + same));
            file.insert(file.end(), pixels[i].begin(), pixels[i].end());
            i += same;
            continue;
        }
        size_t raw = 1;
        while (i + raw < pixels.size() && raw < 128 &&
               !(i + raw + 1 < pixels.size() && pixels[i + raw] == pixels[i + raw + 1])) {
            ++raw;
        }
        file.push_back(uint8_t(raw - 1));
        for (size_t k = 0; k < raw; ++k) {
            file.insert(file.end(), pixels[i + k].begin(), pixels[i + k].end());
        }
        i += raw;
    }
    return file;
}

class AgainstFfmpeg : public ::testing::TestWithParam<Picture> {
  protected:
    void SetUp() override {
        if (run("command -v ffmpeg").status != 0) {
            GTEST_SKIP() << "ffmpeg is not installed";
        }
    }
};

TEST_P(AgainstFfmpeg, SamePixelsTopRowFirst) {
    const Picture& p = GetParam();
    TempDir dir;
    const std::string file = dir.file("in.tga"), ours = dir.file("ours.raw"),
                      theirs = dir.file("theirs.raw");
    writeBytes(file, makeFile(p));
    const Ran r = inspect(quoted(file) + " --raw " + quoted(ours));
    ASSERT_EQ(r.status, 0) << r.out;

    Bytes decoded = readBytes(ours);
    if (p.type == 1 || p.type == 9) {
        // ffmpeg gives colours: look the indices up in our palette.
        const Bytes palette = readBytes(ours + ".palette");
        ASSERT_EQ(palette.size(), 768u);
        Bytes rgb;
        for (uint8_t index : decoded) {
            rgb.insert(rgb.end(), palette.begin() + 3 * index, palette.begin() + 3 * index + 3);
        }
        decoded = rgb;
    }
    const char* format = p.depth == 32 ? "rgba" : "rgb24";
    const Ran f = run("ffmpeg -v error -y -i " + quoted(file) + " -f rawvideo -pix_fmt " + format +
                      " " + quoted(theirs));
    ASSERT_EQ(f.status, 0) << f.out;
    EXPECT_TRUE(decoded == readBytes(theirs));
}

INSTANTIATE_TEST_SUITE_P(Decoder, AgainstFfmpeg,
                         ::testing::Values(Picture{"Type1BottomFirst", 1, 13, 7, 8, 0x00},
                                           Picture{"Type1TopFirst", 1, 13, 7, 8, 0x20},
                                           Picture{"Type2At24Bits", 2, 17, 9, 24, 0x00},
                                           Picture{"Type2At32BitsTopFirst", 2, 17, 9, 32, 0x20},
                                           Picture{"Type2At32BitsWithAlphaBits", 2, 5, 31, 32,
                                                   0x08},
                                           Picture{"Type9", 9, 40, 30, 8, 0x00},
                                           Picture{"Type10At24Bits", 10, 40, 30, 24, 0x00},
                                           Picture{"Type10At32BitsTopFirst", 10, 64, 33, 32, 0x20}),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
