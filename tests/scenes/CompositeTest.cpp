// The light-and-shadow composite, drawn straight with drawComposite from marked pictures whose
// parts can be told apart on screen: where each layer lies, how it is oriented, how it moves with
// the phase time and what shows through its transparent parts.
#include "SceneFixture.h"

#include "draw/Composite.h"
#include "draw/Quads.h"

#include <GL/gl.h>

#include <climits>
#include <cmath>

namespace scenetest {
namespace {

// light: a yellow strip down its left tenth, green over its upper half (file rows 0 to 19, which
// the composite puts at the top of the screen) and cyan over its lower half.
std::vector<uint8_t> markedLight() {
    return markedTga(40, 40, 24, [](int column, int row) {
        return Texel{column < 4 ? Yellow : row < 20 ? Green : Cyan};
    });
}
// dark: magenta over its upper half (file rows 0 to 19, the top on screen), maroon below.
std::vector<uint8_t> markedDark() {
    return markedTga(40, 40, 24, [](int, int row) { return Texel{row < 20 ? Magenta : Maroon}; });
}
// bang: orange with a transparent hole in its middle fifth.
std::vector<uint8_t> markedBang() {
    return markedTga(40, 40, 32, [](int column, int row) {
        const bool hole = column >= 16 && column < 24 && row >= 16 && row < 24;
        return Texel{Orange, hole ? 0 : 255};
    });
}
// womanfront: dark green over its upper half, navy below, its left fifth transparent.
std::vector<uint8_t> markedFigure() {
    return markedTga(40, 40, 32, [](int column, int row) {
        return Texel{row < 20 ? DarkGreen : Navy, column < 8 ? 0 : 255};
    });
}

class Composite : public ShowFixture {
  protected:
    Composite()
        : ShowFixture({{"data/light.tga", markedLight()},
                       {"data/dark.tga", markedDark()},
                       {"data/bang.tga", markedBang()},
                       {"data/womanfront.tga", markedFigure()}}) {}

    Frame draw(int32_t mode, uint32_t base, uint32_t now) {
        compositeMode = mode;
        setCompositeBaseTime(base);
        drawComposite(now);
        return Frame::grab();
    }
};

// The figure's colours have no red, the dark layer's have plenty, also where the repeating
// texture blends its top and bottom rows.
Match figure() {
    return [](Rgb c) { return c.r < 64; };
}
Match notOrange() {
    return [](Rgb c) { return !is(Orange)(c); };
}

// Phase starts and frame times that give the still modes every chance to move.
const std::pair<uint32_t, uint32_t> PhaseTimes[] = {
    {0, 0}, {1000, 1000}, {1000, 1020}, {100000, 101500}, {0, 123456}};

TEST_F(Composite, Mode0ShowsTheLightEnlargedAndStill) {
    const Frame first = draw(0, PhaseTimes[0].first, PhaseTimes[0].second);
    // Enlarged by 1.1 about the centre, the strip's inner edge (image x = -0.8) lands at -0.88.
    EXPECT_NEAR(first.edgeAlongRow(0.5f, -1, 0, nearer(Yellow, Green)), -0.88f, PixelNdc);
    EXPECT_TRUE(shows(first, -0.95f, 0.5f, Yellow));
    EXPECT_TRUE(shows(first, 0.5f, 0.5f, Green)) << "image row 0 belongs at the top";
    EXPECT_TRUE(shows(first, 0.5f, -0.5f, Cyan));
    EXPECT_NEAR(first.edgeAlongColumn(0.5f, 1, -1, nearer(Green, Cyan)), 0.0f, PixelNdc);
    EXPECT_TRUE(shows(first, 0.99f, -0.99f, Cyan)) << "the layer overhangs every edge";
    for (const auto& [base, now] : PhaseTimes) {
        EXPECT_TRUE(draw(0, base, now) == first) << "base " << base << ", now " << now;
    }
}

TEST_F(Composite, Mode2ShowsTheDarkFullScreenAndStill) {
    const Frame first = draw(2, PhaseTimes[0].first, PhaseTimes[0].second);
    // Away from the edges, where the repeating texture blends the top and bottom rows.
    const std::pair<float, float> top[] = {{-0.95f, 0.95f}, {0.95f, 0.95f}, {0, 0.1f}};
    const std::pair<float, float> bottom[] = {{-0.95f, -0.95f}, {0.95f, -0.95f}, {0, -0.1f}};
    for (const auto& [x, y] : top) {
        EXPECT_TRUE(shows(first, x, y, Magenta));
    }
    for (const auto& [x, y] : bottom) {
        EXPECT_TRUE(shows(first, x, y, Maroon));
    }
    EXPECT_NEAR(first.edgeAlongColumn(0, 1, -1, nearer(Magenta, Maroon)), 0.0f, PixelNdc);
    for (const auto& [base, now] : PhaseTimes) {
        EXPECT_TRUE(draw(2, base, now) == first) << "base " << base << ", now " << now;
    }
}

// Mode 1 at chosen phase times. The light shifts by 1.1 * 0.05 * sin(80 t) on screen; the bang
// stays centred with half-size 1.1 * (0.7 + 0.2 * sin(10 t)).
struct ShakeCase {
    uint32_t phaseMs;
    float lightEdge; // -0.88 plus the shift
    float bangHalf;
};

class CompositeShake : public Composite, public ::testing::WithParamInterface<ShakeCase> {};

TEST_P(CompositeShake, ShakesTheLightAndPulsesTheCentredBang) {
    const ShakeCase& c = GetParam();
    const uint32_t base = 100000;
    const Frame f = draw(1, base, base + c.phaseMs);
    // Row 0.95 lies above the bang at these sizes; row 0.5 crosses it above its hole.
    EXPECT_NEAR(f.edgeAlongRow(0.95f, -1, 0, nearer(Yellow, Green)), c.lightEdge, PixelNdc);
    EXPECT_NEAR(f.edgeAlongRow(0.5f, 0, -1, notOrange()), -c.bangHalf, PixelNdc);
    EXPECT_NEAR(f.edgeAlongRow(0.5f, 0, 1, notOrange()), c.bangHalf, PixelNdc);
    EXPECT_TRUE(shows(f, 0, 0.5f, Orange));
    EXPECT_TRUE(shows(f, 0, 0.05f, Green)) << "the light shows through the bang's hole";
    EXPECT_TRUE(shows(f, 0, -0.95f, Cyan));
}

INSTANTIATE_TEST_SUITE_P(Composite, CompositeShake,
                         ::testing::Values(ShakeCase{0, -0.88f, 0.77f},
                                           ShakeCase{20, -0.8250f, 0.8137f},
                                           ShakeCase{40, -0.8832f, 0.8557f},
                                           ShakeCase{3020, -0.8636f, 0.5637f}));

// Mode 3: the figure, squeezed into y = -1 .. 0.3, starts 1.5 below that and rises at one unit a
// second until t = 1.5 s.
struct RiseCase {
    uint32_t phaseMs;
    float top; // NaN: wholly below the screen
};

class CompositeRise : public Composite, public ::testing::WithParamInterface<RiseCase> {};

TEST_P(CompositeRise, BringsTheFigureUpFromBelow) {
    const RiseCase& c = GetParam();
    const uint32_t base = 50000;
    const Frame f = draw(3, base, base + c.phaseMs);
    EXPECT_TRUE(shows(f, 0, 0.95f, Magenta)) << "the dark layer stays behind";
    if (std::isnan(c.top)) {
        EXPECT_FALSE(f.any(-1, 1, -1, 1, figure()));
        EXPECT_TRUE(shows(f, 0, -0.95f, Maroon));
        return;
    }
    EXPECT_NEAR(f.edgeAlongColumn(0, 1, -1, figure()), c.top, PixelNdc);
    // Image row 0 is the figure's top: dark green above navy, halfway down the band.
    if (c.top - 0.65f > -1) {
        EXPECT_NEAR(f.edgeAlongColumn(0, c.top - 0.1f, -1, nearer(DarkGreen, Navy)), c.top - 0.65f,
                    PixelNdc);
    }
    EXPECT_TRUE(shows(f, 0.5f, c.top - 0.1f, DarkGreen));
    EXPECT_TRUE(shows(f, -0.9f, c.top - 0.5f, Maroon))
        << "the dark shows through the figure's transparent strip";
}

INSTANTIATE_TEST_SUITE_P(Composite, CompositeRise,
                         ::testing::Values(RiseCase{0, NAN}, RiseCase{750, -0.45f},
                                           RiseCase{1500, 0.3f}, RiseCase{10000, 0.3f}));

TEST_F(Composite, AtRestTheFigureReachesTheBottomEdge) {
    const Frame f = draw(3, 0, 1500);
    EXPECT_TRUE(shows(f, 0, -0.97f, Navy));
    EXPECT_TRUE(shows(f, 0.97f, -0.97f, Navy));
}

// Any mode outside 0 to 3 clears the frame to black and draws nothing, but still leaves the
// matrices, texturing, blending and depth test as the drawing modes do.
class CompositeBlack : public Composite, public ::testing::WithParamInterface<int32_t> {};

TEST_P(CompositeBlack, ClearsWhatWasDrawnAndDrawsNothing) {
    drawFullScreenQuad(0);
    glDisable(GL_BLEND);
    glDisable(GL_TEXTURE_2D);
    glEnable(GL_DEPTH_TEST);
    glMatrixMode(GL_PROJECTION);
    glTranslatef(0.5f, 0, 0);
    glMatrixMode(GL_MODELVIEW);
    glScalef(2, 2, 2);

    const Frame f = draw(GetParam(), 0, 2000);
    EXPECT_FALSE(f.any(-1, 1, -1, 1, [](Rgb c) { return !is(Black)(c); }));

    EXPECT_TRUE(glIsEnabled(GL_TEXTURE_2D));
    EXPECT_TRUE(glIsEnabled(GL_BLEND));
    EXPECT_FALSE(glIsEnabled(GL_DEPTH_TEST));
    GLint matrixMode = 0;
    glGetIntegerv(GL_MATRIX_MODE, &matrixMode);
    EXPECT_EQ(matrixMode, GL_MODELVIEW);
    const GLenum matrices[] = {GL_PROJECTION_MATRIX, GL_MODELVIEW_MATRIX};
    for (GLenum which : matrices) {
        float m[16];
        glGetFloatv(which, m);
        for (int i = 0; i < 16; ++i) {
            EXPECT_EQ(m[i], i % 5 == 0 ? 1.0f : 0.0f) << "matrix " << which << " entry " << i;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Composite, CompositeBlack, ::testing::Values(4, -1, 1000, INT32_MIN));

} // namespace
} // namespace scenetest
