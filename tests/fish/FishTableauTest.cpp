// The fish tableau rendered headless from the test pack's plain-coloured pictures: every frame is
// compared, pixel by pixel, with the layers painted in order at the places where they must land,
// at the thresholds of the sequence; then how the start time follows the modes, and the OpenGL
// state a frame leaves behind.
#include "draw/FishTableau.h"

#include "draw/Composite.h"
#include "textures/TextureLibrary.h"

#include "TestPack.h"
#include "TestSupport.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <ostream>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace {

using testsupport::Rgb;

constexpr int Size = 120;
constexpr double Pixel = 2.0 / Size;

// Where one layer lands, in normalised device coordinates; drawn in list order.
struct Layer {
    const char* picture;
    double x0, x1, y0, y1;
};

Layer shifted(Layer l, double dx, double dy) {
    return {l.picture, l.x0 + dx, l.x1 + dx, l.y0 + dy, l.y1 + dy};
}

// The resting frame of mode 1, and of mode 0 from 7000 ms on. `bob` is the fish's rise,
// 0.03 * sin(e / 1000 ms), worked out by hand in each case below.
const Layer Background{"rulle.tga", -1.98, 1.62, -1, 1};
const Layer Oss{"oss.tga", -1.62, -0.54, -0.6, 0.6};
Layer fish(double bob, const char* picture = "snillfisk.tga") {
    return {picture, 0.27, 1.35, -1.08 + bob, 0.12 + bob};
}
const Layer BrakkoAtRest{"brakko.tga", -0.4752, 0.2808, -0.48, 0.72};
const Layer Omgponies{"omgponies.tga", 0.1296, 0.5832, 0.36, 0.84};
const Layer Shotgun{"shotgun.tga", -0.0972, 0.3564, 0.072, 0.408};
const Layer BangStill{"data/bang.tga", -0.8, 0.8, -0.8, 0.8};

const std::vector<Layer> Black = {};

// Compares every pixel with the colour of the topmost layer over its centre (black where none
// is), leaving out pixels within 1.5 pixels of a layer edge, where filtering and rasterisation
// may go either way.
::testing::AssertionResult looksLike(const std::vector<Layer>& layers) {
    const std::vector<uint8_t> rgb = testsupport::readFramebuffer(Size, Size);
    auto top = [&](double x, double y) {
        int found = -1;
        for (size_t i = 0; i < layers.size(); ++i) {
            const Layer& l = layers[i];
            if (x >= l.x0 && x <= l.x1 && y >= l.y0 && y <= l.y1) {
                found = int(i);
            }
        }
        return found;
    };
    const double margin = 1.5 * Pixel;
    int wrong = 0;
    std::ostringstream report;
    for (int py = 0; py < Size; ++py) {
        for (int px = 0; px < Size; ++px) {
            const double x = (px + 0.5) * Pixel - 1, y = (py + 0.5) * Pixel - 1;
            const int want = top(x, y);
            if (top(x - margin, y) != want || top(x + margin, y) != want ||
                top(x, y - margin) != want || top(x, y + margin) != want) {
                continue;
            }
            const Rgb wantColour =
                want < 0 ? Rgb{0, 0, 0} : testsupport::testPackColour(layers[size_t(want)].picture);
            const size_t i = (size_t(py) * Size + size_t(px)) * 3;
            const Rgb got{rgb[i], rgb[i + 1], rgb[i + 2]};
            if (!testsupport::near(got, wantColour, 8)) {
                if (++wrong <= 5) {
                    report << "\n  at (" << x << ", " << y << ") got " << testsupport::describe(got)
                           << ", want " << (want < 0 ? "black" : layers[size_t(want)].picture);
                }
            }
        }
    }
    if (wrong == 0) {
        return ::testing::AssertionSuccess();
    }
    return ::testing::AssertionFailure() << wrong << " pixels differ:" << report.str();
}

class FishTableau : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        testsupport::ensureGlContext(Size, Size);
        testsupport::TempDir dir;
        testsupport::writeTestPack(dir.path());
        testsupport::ScopedChdir inPack(dir.path());
        loadFishTextures();
        bangTexture = loadTexture("data/bang.tga");
    }

    // The tableau's state as at process start.
    void SetUp() override {
        fishStartTime = 0;
        fishMode0Started = false;
        fishMode1Started = false;
        compositeMode = 0;
        compositeBaseTime = 0;
    }

    static void draw(int32_t mode, uint32_t now) {
        compositeMode = mode;
        drawFishTableau(now);
    }
};

// ---- Where the layers land ---------------------------------------------------------------------

struct TableauCase {
    const char* name;
    int32_t mode;
    uint32_t e;       // tableau time of the checked frame
    uint32_t phaseMs; // composite phase time of the checked frame
    std::vector<Layer> layers;
};

void PrintTo(const TableauCase& c, std::ostream* os) {
    *os << c.name;
}

class Tableau : public FishTableau, public ::testing::WithParamInterface<TableauCase> {};

TEST_P(Tableau, DrawsTheLayersInPlace) {
    const TableauCase& c = GetParam();
    const uint32_t start = 100000;
    compositeBaseTime = start + c.e - c.phaseMs;
    draw(c.mode, start); // the mode's first frame takes the start time
    if (c.e != 0) {
        draw(c.mode, start + c.e);
    }
    EXPECT_EQ(fishStartTime, start);
    EXPECT_TRUE(looksLike(c.layers));
}

// Mode 0 at e = 0 lies 0.72 to the right of its resting place (1.8 * 0.4 against 1.8 * -0.1).
const Layer PanStart[] = {shifted(Background, 0.9, 0), shifted(Oss, 0.9, 0),
                          shifted(fish(0), 0.9, 0)};

INSTANTIATE_TEST_SUITE_P(
    Mode0, Tableau,
    ::testing::Values(TableauCase{"PanStart", 0, 0, 0, {PanStart[0], PanStart[1], PanStart[2]}},
                      // Half-way through the pan: 0.45 left of the start.
                      TableauCase{"PanHalfWay",
                                  0,
                                  3500,
                                  0,
                                  {shifted(PanStart[0], -0.45, 0), shifted(PanStart[1], -0.45, 0),
                                   shifted(fish(-0.0105), 0.45, 0)}},
                      TableauCase{"JustBeforeRest", 0, 6999, 0, {Background, Oss, fish(0.0197)}},
                      TableauCase{"AtRest", 0, 7000, 0, {Background, Oss, fish(0.0197)}},
                      TableauCase{"JustAfterRest", 0, 7001, 0, {Background, Oss, fish(0.0197)}},
                      TableauCase{"LongAfter", 0, 20000, 0, {Background, Oss, fish(0.0274)}}),
    [](const auto& info) { return std::string(info.param.name); });

INSTANTIATE_TEST_SUITE_P(
    Mode1, Tableau,
    ::testing::Values(
        TableauCase{"FigureAboveTheScreen",
                    1,
                    0,
                    0,
                    {Background, Oss, fish(0), {"brakko.tga", -0.4752, 0.2808, 0.72, 1.92}}},
        TableauCase{"FigureHalfWayDown",
                    1,
                    500,
                    0,
                    {Background, Oss, fish(0.0144), {"brakko.tga", -0.4752, 0.2808, 0.12, 1.32}}},
        TableauCase{"FigureJustBeforeRest",
                    1,
                    999,
                    0,
                    {Background, Oss, fish(0.0252), shifted(BrakkoAtRest, 0, 0.0012)}},
        TableauCase{"FigureAtRest", 1, 1000, 0, {Background, Oss, fish(0.0252), BrakkoAtRest}},
        TableauCase{"FigureStaysAtRest", 1, 1001, 0, {Background, Oss, fish(0.0253), BrakkoAtRest}},
        TableauCase{"NoPoniesAt3000", 1, 3000, 0, {Background, Oss, fish(0.0042), BrakkoAtRest}},
        TableauCase{
            "PoniesFrom3001", 1, 3001, 0, {Background, Oss, fish(0.0042), BrakkoAtRest, Omgponies}},
        TableauCase{"StillTheFishAt5000",
                    1,
                    5000,
                    0,
                    {Background, Oss, fish(-0.0288), BrakkoAtRest, Omgponies}},
        TableauCase{"FlippedFishFrom5001",
                    1,
                    5001,
                    0,
                    {Background, Oss, fish(-0.0288, "flippfisk.tga"), BrakkoAtRest, Omgponies}},
        TableauCase{"NeitherPoniesNorShotgunAt6000",
                    1,
                    6000,
                    0,
                    {Background, Oss, fish(-0.0084, "flippfisk.tga"), BrakkoAtRest}},
        TableauCase{"ShotgunFrom6001",
                    1,
                    6001,
                    0,
                    {Background, Oss, fish(-0.0084, "flippfisk.tga"), BrakkoAtRest, Shotgun}},
        TableauCase{"NoBangAt8000",
                    1,
                    8000,
                    0,
                    {Background, Oss, fish(0.0297, "flippfisk.tga"), BrakkoAtRest, Shotgun}},
        TableauCase{
            "BangFrom8001",
            1,
            8001,
            0,
            {Background, Oss, fish(0.0297, "flippfisk.tga"), BrakkoAtRest, Shotgun, BangStill}},
        // t = 0.052 s: shifted by -0.05 * sin(1.56) = -0.05, half-size 0.8 + 0.2 * sin(0.52) =
        // 0.8994.
        TableauCase{"BangShakesOnThePhaseTime",
                    1,
                    8001,
                    52,
                    {Background,
                     Oss,
                     fish(0.0297, "flippfisk.tga"),
                     BrakkoAtRest,
                     Shotgun,
                     {"data/bang.tga", -0.9494, 0.8494, -0.8994, 0.8994}}}),
    [](const auto& info) { return std::string(info.param.name); });

// ---- The start time and the modes --------------------------------------------------------------

TEST_F(FishTableau, OtherModesDrawBlackAndLeaveTheStartTimeAlone) {
    for (int32_t mode : {2, 3, -1}) {
        fishStartTime = 1234;
        draw(mode, 50000);
        EXPECT_TRUE(looksLike(Black)) << "mode " << mode;
        EXPECT_EQ(fishStartTime, 1234u);
        EXPECT_FALSE(fishMode0Started);
        EXPECT_FALSE(fishMode1Started);
    }
}

TEST_F(FishTableau, Mode1AfterMode0StartsFromItsOwnFirstFrame) {
    draw(0, 10000);
    draw(0, 15000);
    draw(1, 20000);
    EXPECT_EQ(fishStartTime, 20000u);
    EXPECT_TRUE(looksLike({Background, Oss, fish(0), {"brakko.tga", -0.4752, 0.2808, 0.72, 1.92}}));
}

TEST_F(FishTableau, ModesDrawnAgainDoNotRestart) {
    draw(1, 10000);
    draw(2, 12000);
    compositeBaseTime = 19000;
    draw(1, 19000); // e = 9000: the final picture at once
    EXPECT_TRUE(looksLike(
        {Background, Oss, fish(0.0124, "flippfisk.tga"), BrakkoAtRest, Shotgun, BangStill}));

    // Mode 0 entered now takes the start time over; mode 1 then counts from it (e = 500).
    draw(0, 20000);
    EXPECT_TRUE(looksLike({PanStart[0], PanStart[1], PanStart[2]}));
    draw(1, 20500);
    EXPECT_EQ(fishStartTime, 20000u);
    EXPECT_TRUE(
        looksLike({Background, Oss, fish(0.0144), {"brakko.tga", -0.4752, 0.2808, 0.12, 1.32}}));
}

TEST_F(FishTableau, Mode0AfterMode1IsTimedFromMode1sStart) {
    draw(0, 0);
    draw(1, 10000);
    draw(0, 13500); // e = 3500 from mode 1's start, not 13500 from mode 0's
    EXPECT_TRUE(looksLike({shifted(PanStart[0], -0.45, 0), shifted(PanStart[1], -0.45, 0),
                           shifted(fish(-0.0105), 0.45, 0)}));
}

TEST_F(FishTableau, NewPhaseRestartsTheShakeButNotTheSequence) {
    draw(1, 10000);
    compositeBaseTime = 18000;
    draw(1, 18052);
    const Layer shaken{"data/bang.tga", -0.9494, 0.8494, -0.8994, 0.8994};
    const std::vector<Layer> under = {Background, Oss, fish(0.0297, "flippfisk.tga"), BrakkoAtRest,
                                      Shotgun};
    std::vector<Layer> want = under;
    want.push_back(shaken);
    EXPECT_TRUE(looksLike(want));

    compositeBaseTime = 18052;
    draw(1, 18052);
    want = under;
    want.push_back(BangStill);
    EXPECT_TRUE(looksLike(want));
    EXPECT_EQ(fishStartTime, 10000u);
}

// ---- What a frame leaves behind ----------------------------------------------------------------

TEST_F(FishTableau, LeavesTheLastLayersTextureBound) {
    struct {
        int32_t mode;
        uint32_t e;
        const uint32_t* texture;
    } cases[] = {
        {0, 0, &snillfiskTexture},    {1, 0, &brakkoTexture},  {1, 5001, &omgponiesTexture},
        {1, 6000, &omgponiesTexture}, // bound from 3001 ms on, also where no longer drawn
        {1, 6001, &shotgunTexture},   {1, 8001, &bangTexture},
    };
    for (const auto& c : cases) {
        SetUp();
        draw(c.mode, 1000);
        draw(c.mode, 1000 + c.e);
        GLint bound = 0;
        glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
        EXPECT_EQ(GLuint(bound), *c.texture) << "mode " << c.mode << ", e " << c.e;
    }
}

TEST_F(FishTableau, SetsUpItsOwnMatricesAndSwitches) {
    for (int32_t mode : {2, 1, 0}) {
        // What an earlier renderer might leave.
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        glOrtho(-5, 5, -5, 5, -1, 1);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        glTranslatef(0.5f, 0.5f, 0);
        glMatrixMode(GL_TEXTURE);
        glEnable(GL_CULL_FACE);
        glCullFace(GL_FRONT_AND_BACK);
        glEnable(GL_DEPTH_TEST);
        glDisable(GL_BLEND);
        glDisable(GL_TEXTURE_2D);

        draw(mode, 2000);
        GLint matrixMode = 0;
        glGetIntegerv(GL_MATRIX_MODE, &matrixMode);
        EXPECT_EQ(matrixMode, GL_MODELVIEW) << "mode " << mode;
        GLfloat projection[16];
        glGetFloatv(GL_PROJECTION_MATRIX, projection);
        for (int i = 0; i < 16; ++i) {
            EXPECT_EQ(projection[i], i % 5 == 0 ? 1.0f : 0.0f) << "mode " << mode << ", " << i;
        }
        EXPECT_FALSE(glIsEnabled(GL_CULL_FACE));
        EXPECT_FALSE(glIsEnabled(GL_DEPTH_TEST));
        EXPECT_TRUE(glIsEnabled(GL_BLEND));
        EXPECT_TRUE(glIsEnabled(GL_TEXTURE_2D));
        GLint src = 0, dst = 0;
        glGetIntegerv(GL_BLEND_SRC, &src);
        glGetIntegerv(GL_BLEND_DST, &dst);
        EXPECT_EQ(src, GL_SRC_ALPHA);
        EXPECT_EQ(dst, GL_ONE_MINUS_SRC_ALPHA);
    }
    // Mode 0's frame is whole even though the earlier state would have culled or moved it.
    EXPECT_TRUE(looksLike({PanStart[0], PanStart[1], PanStart[2]}));
    glCullFace(GL_BACK);
}

// ---- Loading -----------------------------------------------------------------------------------

TEST_F(FishTableau, LoadsSevenTexturesOfTheirOwn) {
    const std::set<uint32_t> names = {omgponiesTexture, ossTexture,       rulleTexture,
                                      snillfiskTexture, flippfiskTexture, brakkoTexture,
                                      shotgunTexture};
    EXPECT_EQ(names.size(), 7u);
    EXPECT_EQ(names.count(0), 0u);
}

using FishTableauDeathTest = FishTableau;

TEST_F(FishTableauDeathTest, MissingPictureEndsTheProcessWithTheReadersReport) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    testsupport::TempDir dir;
    testsupport::writeTestPack(dir.path());
    std::filesystem::remove(dir.file("brakko.tga"));
    testsupport::ScopedChdir inPack(dir.path());
    EXPECT_DEATH(loadFishTextures(), "could not open texture file");
}

} // namespace
