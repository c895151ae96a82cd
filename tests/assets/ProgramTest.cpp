// show-assets as the user runs it: generate, check and sheet, in temporary folders.
#include "TestPack.h"
#include "TestSupport.h"
#include "platform/SoundFile.h"
#include "textures/TGALoader.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <set>
#include <sstream>
#include <sys/wait.h>

namespace {

namespace fs = std::filesystem;
using testsupport::TempDir;

struct Outcome {
    int status = -1;
    std::string out; // standard output
    std::vector<std::string> lines() const {
        std::vector<std::string> v;
        std::istringstream in(out);
        for (std::string line; std::getline(in, line);) {
            v.push_back(line);
        }
        return v;
    }
    // The lines but the notes, which do not fail a check (the small pack's short music has one).
    std::vector<std::string> problems() const {
        std::vector<std::string> v;
        for (const std::string& line : lines()) {
            if (line.find(": note: ") == std::string::npos) {
                v.push_back(line);
            }
        }
        return v;
    }
};

Outcome showAssets(const std::string& args) {
    Outcome r;
    std::string command = std::string(SHOW_ASSETS_BINARY) + " " + args;
    std::FILE* p = popen(command.c_str(), "r");
    if (!p) {
        return r;
    }
    char buf[4096];
    size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, p)) > 0) {
        r.out.append(buf, n);
    }
    int raw = pclose(p);
    r.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    return r;
}

const std::vector<std::string> soundFiles = {"data/fast.mp3", "data/intro.wav", "data/soap.wav",
                                             "data/kest.wav"};

// Every file under `dir`, relative to it.
std::set<std::string> filesUnder(const std::string& dir) {
    std::set<std::string> files;
    for (const auto& e : fs::recursive_directory_iterator(dir)) {
        if (e.is_regular_file()) {
            files.insert(fs::relative(e.path(), dir).string());
        }
    }
    return files;
}

bool isCatalogueOrComposite(const std::string& name) {
    return name.rfind("data/", 0) == 0;
}
bool isComposite(const std::string& name) {
    return name == "data/bang.tga" || name == "data/dark.tga" || name == "data/light.tga" ||
           name == "data/womanfront.tga";
}

// A picture as it shows upright: rows top first, whatever the file's order.
struct Upright {
    tga::Image image;
    bool topFirst = false;
    int w() const { return int(image.width); }
    int h() const { return int(image.height); }
    // Channel k (0 red ... 3 alpha, 255 for 24-bit) at column x, row y from the top.
    int at(int x, int y, int k) const {
        int bytes = int(image.bitsPerPixel / 8);
        if (k == 3 && bytes == 3) {
            return 255;
        }
        int row = topFirst ? y : h() - 1 - y;
        return image.pixels[(size_t(row) * image.width + x) * bytes + k];
    }
    // Mean of channel k over rows [y0, y1) given as fractions of the height.
    double mean(double y0, double y1, int k) const {
        double sum = 0;
        long n = 0;
        for (int y = int(y0 * h()); y < int(y1 * h()); ++y) {
            for (int x = 0; x < w(); ++x) {
                sum += at(x, y, k);
                ++n;
            }
        }
        return sum / double(n);
    }
};

Upright readUpright(const std::string& path) {
    Upright u;
    const char* failure = tga::readFile(path, u.image);
    if (failure) {
        throw std::runtime_error(path + ": " + failure);
    }
    auto bytes = testsupport::readBytes(path);
    u.topFirst = (bytes.at(17) & 0x20) != 0;
    return u;
}

// ---------------------------------------------------------------------------------------------
// The generated pack. Made once for the suite: generating takes a few seconds.

class GeneratedPack : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        generated = new Outcome();
        if (const char* given = std::getenv("SHOW_ASSETS_PACK")) {
            // Made by CTest's fixture: the pack, its output in PACK.log, its status in
            // PACK.status.
            packDir = given;
            auto log = testsupport::readBytes(packDir + ".log");
            auto status = testsupport::readBytes(packDir + ".status");
            generated->out.assign(log.begin(), log.end());
            generated->status = std::stoi(std::string(status.begin(), status.end()));
        } else {
            own = new TempDir();
            packDir = own->path();
            *generated = showAssets("generate " + packDir);
        }
    }
    static void TearDownTestSuite() {
        delete generated;
        delete own;
        own = nullptr;
    }
    static std::string file(const std::string& name) { return packDir + "/" + name; }
    static std::string packDir;
    static TempDir* own;
    static Outcome* generated;
};
std::string GeneratedPack::packDir;
TempDir* GeneratedPack::own = nullptr;
Outcome* GeneratedPack::generated = nullptr;

TEST_F(GeneratedPack, MakesEveryFileTheShowAndTheFishTableauLoad) {
    ASSERT_EQ(generated->status, 0) << generated->out;
    std::set<std::string> want(soundFiles.begin(), soundFiles.end());
    for (const std::string& p : testsupport::testPackPictures()) {
        want.insert(p);
    }
    EXPECT_EQ(filesUnder(packDir), want);
}

TEST_F(GeneratedPack, PrintsTheMusicSectionsOnTheSceneBoundaries) {
    std::vector<std::string> lines = generated->lines();
    auto it =
        std::find(lines.begin(), lines.end(), "Music sections (ms from the start of the track):");
    ASSERT_NE(it, lines.end()) << generated->out;
    std::vector<unsigned> starts;
    for (++it; it != lines.end() && it->rfind("  ", 0) == 0; ++it) {
        starts.push_back(unsigned(std::stoul(*it)));
    }
    // The scene end times, as the show's timeline has them, with the track's start before.
    const std::vector<unsigned> boundaries = {
        0,      7180,   12981,  17485,  57362,  58000,  65223,  68849,  80415,  87816, 95397,
        100304, 106423, 107000, 123000, 132000, 141000, 145000, 149000, 156000, 165000};
    EXPECT_EQ(starts, boundaries);
}

TEST_F(GeneratedPack, EveryPictureIsInTheReadersProfileAndOrientedForItsQuad) {
    std::map<std::pair<int, int>, int> forms; // (type, depth) -> count
    for (const std::string& name : testsupport::testPackPictures()) {
        SCOPED_TRACE(name);
        Upright u = readUpright(file(name));
        auto bytes = testsupport::readBytes(file(name));
        forms[{bytes[2], int(u.image.bitsPerPixel)}]++;
        for (int side : {u.w(), u.h()}) {
            EXPECT_TRUE(side == 512 || side == 1024) << side;
        }
        // The catalogue's quads put the first row at the bottom, the composite's and the fish
        // tableau's at the top.
        bool wantTopFirst = !isCatalogueOrComposite(name) || isComposite(name);
        EXPECT_EQ(u.topFirst, wantTopFirst);
    }
    // Both types at both depths, so the show's reader runs every path.
    EXPECT_GT((forms[{2, 24}]), 0);
    EXPECT_GT((forms[{2, 32}]), 0);
    EXPECT_GT((forms[{10, 24}]), 0);
    EXPECT_GT((forms[{10, 32}]), 0);
}

TEST_F(GeneratedPack, SpritesAndOverlaysHaveSoftAlphaAndBackgroundsNone) {
    const std::set<std::string> overlays = {"data/unibrowed_unicorn_on_unicycle.tga",
                                            "data/bang.tga",
                                            "data/womanfront.tga",
                                            "omgponies.tga",
                                            "oss.tga",
                                            "snillfisk.tga",
                                            "flippfisk.tga",
                                            "brakko.tga",
                                            "shotgun.tga"};
    for (const std::string& name : testsupport::testPackPictures()) {
        SCOPED_TRACE(name);
        Upright u = readUpright(file(name));
        if (!overlays.count(name)) {
            EXPECT_EQ(u.image.bitsPerPixel, 24u);
            continue;
        }
        ASSERT_EQ(u.image.bitsPerPixel, 32u);
        long clear = 0, solid = 0, edge = 0;
        for (int y = 0; y < u.h(); ++y) {
            for (int x = 0; x < u.w(); ++x) {
                int a = u.at(x, y, 3);
                (a == 0 ? clear : a == 255 ? solid : edge)++;
            }
        }
        long all = long(u.w()) * u.h();
        EXPECT_GT(clear, all / 10) << "transparent around";
        EXPECT_GT(solid, all / 20) << "an opaque figure";
        EXPECT_GT(edge, 100) << "soft edges";
        EXPECT_EQ(u.at(0, 0, 3), 0) << "the top-left corner is clear";
    }
}

// Where things are in a picture as it stands upright: catches a picture stored upside down or
// mirrored as surely as a picture that lost its content.
TEST_F(GeneratedPack, PicturesStandUpright) {
    struct Case {
        const char* name;
        std::function<void(const Upright&)> expect;
    };
    const Case cases[] = {
        {"data/unicycles_background.tga",
         [](const Upright& u) {
             EXPECT_GT(u.mean(0, 0.1, 2), u.mean(0, 0.1, 0) + 60) << "sky at the top";
             EXPECT_LT(u.mean(0.75, 0.9, 2), u.mean(0, 0.1, 2) - 60) << "road at the bottom";
         }},
        {"data/solnedgang.tga",
         [](const Upright& u) {
             EXPECT_GT(u.mean(0.5, 0.6, 0), u.mean(0.0, 0.1, 0) + 60) << "bright horizon";
             EXPECT_GT(u.mean(0.5, 0.6, 0), u.mean(0.9, 1.0, 0) + 60) << "dark water below";
         }},
        {"rulle.tga",
         [](const Upright& u) {
             EXPECT_GT(u.mean(0, 0.1, 2), u.mean(0, 0.1, 0) + 60) << "sky at the top";
             EXPECT_GT(u.mean(0.92, 1.0, 0), u.mean(0.92, 1.0, 2) + 40) << "sand at the bottom";
         }},
        {"data/light.tga",
         [](const Upright& u) {
             EXPECT_GT(u.mean(0, 0.08, 0), u.mean(0, 0.08, 1) + 80) << "red valance at the top";
             EXPECT_GT(u.mean(0.8, 1.0, 0), u.mean(0.8, 1.0, 2) + 40) << "wooden floor below";
         }},
        {"data/dark.tga",
         [](const Upright& u) {
             Upright lit = readUpright(file("data/light.tga"));
             for (int k = 0; k < 3; ++k) {
                 EXPECT_LT(u.mean(0, 1, k), lit.mean(0, 1, k) * 0.6) << "darker, channel " << k;
             }
         }},
        {"data/unibrowed_unicorn_on_unicycle.tga",
         [](const Upright& u) {
             // Facing right: the head and horn at the top right; the wheel at the bottom.
             double sum = 0, n = 0;
             for (int y = 0; y < u.h() * 3 / 10; ++y) {
                 for (int x = 0; x < u.w(); ++x) {
                     double a = u.at(x, y, 3) / 255.0;
                     sum += a * x;
                     n += a;
                 }
             }
             EXPECT_GT(sum / n, u.w() * 0.55);
             EXPECT_GT(u.mean(0.92, 1.0, 3), 20.0);
         }},
        {"data/womanfront.tga",
         [](const Upright& u) {
             // Standing in the middle: her head at the top, her feet on the bottom edge.
             EXPECT_EQ(u.at(u.w() / 2, u.h() / 20, 3), 255);
             EXPECT_GT(u.mean(0.97, 1.0, 3), 5.0);
             EXPECT_EQ(u.at(u.w() / 10, u.h() / 2, 3), 0);
             EXPECT_EQ(u.at(u.w() * 9 / 10, u.h() / 2, 3), 0);
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        c.expect(readUpright(file(c.name)));
    }
}

TEST_F(GeneratedPack, CuesComeInThreeFormatsAndEverySoundDecodes) {
    // The WAV format chunk: format tag, channels, rate, bits.
    struct Wav {
        int tag, channels, rate, bits;
    };
    auto wav = [&](const std::string& name) {
        auto b = testsupport::readBytes(file(name));
        auto u16 = [&](size_t at) { return int(b.at(at) | (b.at(at + 1) << 8)); };
        auto u32 = [&](size_t at) { return u16(at) | (u16(at + 2) << 16); };
        size_t pos = 12;
        while (pos + 8 <= b.size() &&
               std::string(b.begin() + long(pos), b.begin() + long(pos) + 4) != "fmt ") {
            pos += 8 + size_t(u32(pos + 4));
        }
        return Wav{u16(pos + 8), u16(pos + 10), u32(pos + 12), u16(pos + 22)};
    };
    Wav intro = wav("data/intro.wav"), soap = wav("data/soap.wav"), kest = wav("data/kest.wav");
    EXPECT_EQ(intro.channels, 1);
    EXPECT_EQ(intro.rate, 22050);
    EXPECT_EQ(soap.channels, 2);
    EXPECT_EQ(soap.rate, 44100);
    EXPECT_EQ(kest.tag, 3) << "IEEE float";
    EXPECT_EQ(kest.bits, 32);

    struct Length {
        const char* name;
        double min, max;
    };
    for (Length l : {Length{"data/fast.mp3", 167.5, 168.5}, Length{"data/intro.wav", 2.5, 3.5},
                     Length{"data/soap.wav", 1.5, 5.0}, Length{"data/kest.wav", 1.0, 4.0}}) {
        DecodedSound s = decodeSoundFile(file(l.name));
        ASSERT_EQ(s.error, 0) << l.name;
        double seconds = double(s.frames()) / SoundMixRate;
        EXPECT_GE(seconds, l.min) << l.name;
        EXPECT_LE(seconds, l.max) << l.name;
    }
}

TEST_F(GeneratedPack, CheckPassesWithOneSummaryLine) {
    Outcome r = showAssets("check " + packDir);
    EXPECT_EQ(r.status, 0) << r.out;
    ASSERT_EQ(r.lines().size(), 1u) << r.out;
    EXPECT_EQ(r.lines()[0].rfind("All 38 files in " + packDir + " are good", 0), 0u) << r.out;
}

TEST_F(GeneratedPack, TwoRunsMakeTheSameBytes) {
    TempDir again;
    Outcome r = showAssets("generate " + again.path());
    ASSERT_EQ(r.status, 0) << r.out;
    std::set<std::string> files = filesUnder(packDir);
    ASSERT_EQ(filesUnder(again.path()), files);
    for (const std::string& f : files) {
        EXPECT_TRUE(testsupport::readBytes(file(f)) == testsupport::readBytes(again.file(f)))
            << f << " differs between two runs";
    }
}

TEST_F(GeneratedPack, SheetIsAPngOfEveryPicture) {
    TempDir out;
    Outcome r = showAssets("sheet " + packDir + " " + out.file("sheet.png"));
    ASSERT_EQ(r.status, 0) << r.out;
    auto png = testsupport::readBytes(out.file("sheet.png"));
    ASSERT_GT(png.size(), 100000u);
    EXPECT_EQ(std::string(png.begin() + 1, png.begin() + 4), "PNG");
}

// ---------------------------------------------------------------------------------------------
// check on a small pack with faults: each bad file named with its reason.

class CheckFaults : public ::testing::Test {
  protected:
    void SetUp() override { testsupport::writeTestPack(dir.path()); }
    TempDir dir;
};

TEST_F(CheckFaults, ACompleteSmallPackPasses) {
    Outcome r = showAssets("check " + dir.path());
    EXPECT_EQ(r.status, 0) << r.out;
    EXPECT_EQ(r.problems().size(), 1u) << r.out;
}

std::vector<uint8_t> pixels8x8(int bits) {
    return testsupport::solidPixels(8, 8, bits, {10, 200, 30});
}

struct Fault {
    const char* file;
    std::function<void(const std::string& path)> spoil;
    const char* line; // the exact report line
};

const Fault faults[] = {
    {"data/logo2.tga", [](const std::string& p) { fs::remove(p); },
     "data/logo2.tga: missing (could not open texture file)"},
    {"data/snow.tga",
     [](const std::string& p) {
         testsupport::writeBytes(p, testsupport::makeTga(8, 8, 24, 2, pixels8x8(24)));
         auto b = testsupport::readBytes(p);
         b[16] = 16; // a 16-bit true-colour file
         testsupport::writeBytes(p, b);
     },
     "data/snow.tga: Invalid texture information (8 x 8, 16 bits a pixel; the show reads sides "
     "above 0 at 24 or 32 bits)"},
    {"data/zvq.tga",
     [](const std::string& p) {
         auto b = testsupport::makeTga(8, 8, 24, 2, pixels8x8(24));
         b.resize(18 + 100);
         testsupport::writeBytes(p, b);
     },
     "data/zvq.tga: Could not read image data (8 x 8, 24 bits a pixel: 100 bytes of pixels "
     "where 192 are needed)"},
    {"data/bang.tga",
     [](const std::string& p) {
         // One colour a row: eight run packets of five bytes; the file stops after three.
         std::vector<uint8_t> rows;
         for (int y = 0; y < 8; ++y) {
             for (int x = 0; x < 8; ++x) {
                 rows.insert(rows.end(), {uint8_t(30 * y), 20, 40, 255});
             }
         }
         auto b = testsupport::makeTga(8, 8, 32, 10, rows);
         b.resize(18 + 3 * 5);
         testsupport::writeBytes(p, b);
     },
     "data/bang.tga: Could not read RLE header (8 x 8, 32 bits a pixel: the run-length data "
     "ends before the last pixel)"},
    {"data/Image3.tga",
     [](const std::string& p) {
         auto b = testsupport::makeTga(8, 8, 24, 2, pixels8x8(24));
         b[2] = 1; // colour-mapped
         testsupport::writeBytes(p, b);
     },
     "data/Image3.tga: TGA file be type 2 or type 10: Invalid Image (image type 1 "
     "(colour-mapped); the show reads true-colour type 2 or 10)"},
    {"shotgun.tga",
     [](const std::string& p) {
         testsupport::writeBytes(p, {0, 0, 2});
     },
     "shotgun.tga: Could not read file header (only 3 bytes; a TGA file starts with an 18-byte "
     "header)"},
    {"data/kest.wav", [](const std::string& p) { fs::remove(p); },
     "data/kest.wav: missing (sound error 9)"},
    {"data/soap.wav",
     [](const std::string& p) {
         std::ofstream(p) << "not a sound at all, just words in a file named like one";
     },
     "data/soap.wav: not a sound file the sound layer can decode (sound error 10)"},
};

TEST_F(CheckFaults, EachBadFileIsNamedWithItsReason) {
    for (const Fault& f : faults) {
        SCOPED_TRACE(f.file);
        TempDir one;
        testsupport::writeTestPack(one.path());
        f.spoil(one.file(f.file));
        Outcome r = showAssets("check " + one.path());
        EXPECT_EQ(r.status, 1);
        std::vector<std::string> lines = r.problems();
        ASSERT_EQ(lines.size(), 2u) << r.out;
        EXPECT_EQ(lines[0], f.line);
        EXPECT_EQ(lines[1], "1 of 38 files in " + one.path() + " are bad");
    }
}

TEST_F(CheckFaults, SeveralBadFilesAreAllNamed) {
    for (int k : {0, 1, 2}) {
        faults[k].spoil(dir.file(faults[k].file));
    }
    Outcome r = showAssets("check " + dir.path());
    EXPECT_EQ(r.status, 1);
    std::vector<std::string> lines = r.problems();
    ASSERT_EQ(lines.size(), 4u) << r.out;
    std::set<std::string> named(lines.begin(), lines.begin() + 3);
    EXPECT_EQ(named, (std::set<std::string>{faults[0].line, faults[1].line, faults[2].line}));
    EXPECT_EQ(lines[3], "3 of 38 files in " + dir.path() + " are bad");
}

TEST_F(CheckFaults, OddSizesAndShortMusicAreNotedButPass) {
    testsupport::writeBytes(
        dir.file("data/Image9.tga"),
        testsupport::makeTga(6, 4, 24, 2, testsupport::solidPixels(6, 4, 24, {1, 2, 3})));
    Outcome r = showAssets("check " + dir.path());
    EXPECT_EQ(r.status, 0) << r.out;
    std::vector<std::string> lines = r.lines();
    ASSERT_EQ(lines.size(), 3u) << r.out;
    EXPECT_EQ(lines[0], "data/Image9.tga: note: 6 x 4 is not a power of two on each side; "
                        "OpenGL 1.1 drivers show it blank");
    // The small pack's music lasts 2 s.
    EXPECT_EQ(lines[1], "data/fast.mp3: note: 2.0 s of music; the timeline runs 165 s");
}

TEST_F(CheckFaults, AFolderThatIsNotThereIsOneLine) {
    Outcome r = showAssets("check " + dir.file("nowhere"));
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, dir.file("nowhere") + ": no such folder\n");
}

} // namespace
