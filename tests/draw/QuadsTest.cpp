// The screen-space quad primitives drawn into a hidden 64 x 64 window and read back, and the float
// maths beside them.
#include "draw/Quads.h"
#include "textures/TextureLibrary.h"

#include "TestSupport.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <functional>

namespace {

using testsupport::Rgb;

// An 8 x 8 picture in four 4 x 4 quarters: in file row order, so `bottomLeft` holds texel (0, 0).
const Rgb bottomLeft{200, 40, 40}, bottomRight{40, 200, 40}, topLeft{40, 40, 200},
    topRight{200, 200, 40};
const Rgb black{0, 0, 0};

constexpr int OpaqueSlot = 0;
constexpr int TransparentTopRightSlot = 1; // 32 bits, alpha 0 in the top-right quarter

std::vector<uint8_t> quarters(int bitsPerPixel) {
    std::vector<uint8_t> out;
    for (int row = 0; row < 8; ++row) {
        for (int column = 0; column < 8; ++column) {
            const Rgb c = row < 4 ? (column < 4 ? bottomLeft : bottomRight)
                                  : (column < 4 ? topLeft : topRight);
            out.insert(out.end(), {uint8_t(c.r), uint8_t(c.g), uint8_t(c.b)});
            if (bitsPerPixel == 32) {
                out.push_back(row >= 4 && column >= 4 ? 0 : 255);
            }
        }
    }
    return out;
}

using Matrix = std::array<float, 16>;

Matrix matrix(GLenum which) {
    Matrix m;
    glGetFloatv(which, m.data());
    return m;
}

int integer(GLenum which) {
    GLint value = 0;
    glGetIntegerv(which, &value);
    return value;
}

class Quads : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        testsupport::ensureGlContext();
        testsupport::TempDir dir;
        testsupport::writeBytes(dir.file("opaque.tga"),
                                testsupport::makeTga(8, 8, 24, 2, quarters(24)));
        testsupport::writeBytes(dir.file("alpha.tga"),
                                testsupport::makeTga(8, 8, 32, 2, quarters(32)));
        textureSlots[OpaqueSlot] = loadTexture(dir.file("opaque.tga"));
        textureSlots[TransparentTopRightSlot] = loadTexture(dir.file("alpha.tga"));
    }
    void SetUp() override {
        glViewport(0, 0, 64, 64);
        glClearColor(0, 0, 0, 1);
        glClear(GL_COLOR_BUFFER_BIT);
        glDisable(GL_BLEND);
        glDisable(GL_TEXTURE_2D);
        glBindTexture(GL_TEXTURE_2D, 0);
        glColor4f(0.2f, 0.3f, 0.4f, 0.5f);
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
    }
    static void expectPixel(int x, int y, Rgb want) {
        const Rgb got = testsupport::readPixel(x, y);
        EXPECT_TRUE(testsupport::near(got, want, 4))
            << "pixel (" << x << ", " << y << ") is " << testsupport::describe(got) << ", want "
            << testsupport::describe(want);
    }
    static void expectWhiteColour() {
        float colour[4];
        glGetFloatv(GL_CURRENT_COLOR, colour);
        EXPECT_EQ(colour[0], 1.0f);
        EXPECT_EQ(colour[1], 1.0f);
        EXPECT_EQ(colour[2], 1.0f);
        EXPECT_EQ(colour[3], 1.0f);
    }
};

TEST_F(Quads, FullScreenQuadCoversTheViewportWhateverTheMatricesAndRestoresThem) {
    struct Case {
        const char* name;
        std::function<void()> setUp;
    };
    const Case cases[] = {{"identity", [] {}},
                          {"orthographic projection",
                           [] {
                               glMatrixMode(GL_PROJECTION);
                               glOrtho(0, 640, 0, 480, -1, 1);
                               glMatrixMode(GL_MODELVIEW);
                           }},
                          {"moved and turned modelview",
                           [] {
                               glTranslatef(0.7f, -0.3f, 0.0f);
                               glRotatef(30.0f, 0.0f, 0.0f, 1.0f);
                               glScalef(0.2f, 0.2f, 1.0f);
                           }},
                          {"projection left current, both changed", [] {
                               glScalef(3.0f, 3.0f, 1.0f);
                               glMatrixMode(GL_PROJECTION);
                               glFrustum(-1, 1, -1, 1, 1, 10);
                           }}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SetUp();
        c.setUp();
        const int currentMode = integer(GL_MATRIX_MODE);
        glMatrixMode(GL_PROJECTION);
        const Matrix projection = matrix(GL_PROJECTION_MATRIX);
        const int projectionDepth = integer(GL_PROJECTION_STACK_DEPTH);
        glMatrixMode(GL_MODELVIEW);
        const Matrix modelview = matrix(GL_MODELVIEW_MATRIX);
        const int modelviewDepth = integer(GL_MODELVIEW_STACK_DEPTH);
        glMatrixMode(GLenum(currentMode));

        drawFullScreenQuad(OpaqueSlot);

        // Texel (0, 0) at the bottom left, each quarter of the picture on a quarter of the screen.
        expectPixel(16, 16, bottomLeft);
        expectPixel(48, 16, bottomRight);
        expectPixel(16, 48, topLeft);
        expectPixel(48, 48, topRight);
        // Out to the outermost pixels, where repeat wrapping blends in the opposite edge.
        for (int x : {0, 63}) {
            for (int y : {0, 63}) {
                const Rgb corner = testsupport::readPixel(x, y);
                EXPECT_GT(corner.r + corner.g + corner.b, 200)
                    << "pixel (" << x << ", " << y << ") is " << testsupport::describe(corner);
            }
        }

        EXPECT_EQ(matrix(GL_PROJECTION_MATRIX), projection);
        EXPECT_EQ(matrix(GL_MODELVIEW_MATRIX), modelview);
        EXPECT_EQ(integer(GL_PROJECTION_STACK_DEPTH), projectionDepth);
        EXPECT_EQ(integer(GL_MODELVIEW_STACK_DEPTH), modelviewDepth);
        EXPECT_EQ(integer(GL_MATRIX_MODE), GL_MODELVIEW);
        EXPECT_TRUE(glIsEnabled(GL_BLEND));
        EXPECT_EQ(integer(GL_BLEND_SRC), GL_SRC_ALPHA);
        EXPECT_EQ(integer(GL_BLEND_DST), GL_ONE_MINUS_SRC_ALPHA);
        EXPECT_TRUE(glIsEnabled(GL_TEXTURE_2D));
        EXPECT_EQ(GLuint(integer(GL_TEXTURE_BINDING_2D)), textureSlots[OpaqueSlot]);
        expectWhiteColour();
    }
}

TEST_F(Quads, QuadAtPlacesTexelZeroAtItsCornerAndMirrorsWithNegativeSizes) {
    struct Case {
        const char* name;
        float x, y, w, h;
        int left, right, bottom, top; // covered pixels, inclusive
        Rgb lowLeft, lowRight, highLeft, highRight;
    };
    // x = 0 is pixel column 32; each 0.125 is 4 pixels.
    const Case cases[] = {
        {"upright", -0.5f, -0.5f, 0.25f, 0.25f, 16, 23, 16, 23, bottomLeft, bottomRight, topLeft,
         topRight},
        {"negative width spans x - 0.25 to x", 0.5f, -0.5f, -0.25f, 0.25f, 40, 47, 16, 23,
         bottomRight, bottomLeft, topRight, topLeft},
        {"negative height", -0.5f, 0.5f, 0.25f, -0.25f, 16, 23, 40, 47, topLeft, topRight,
         bottomLeft, bottomRight},
        {"both negative", 0.5f, 0.5f, -0.25f, -0.25f, 40, 47, 40, 47, topRight, topLeft,
         bottomRight, bottomLeft},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SetUp();
        drawQuadAt(OpaqueSlot, c.x, c.y, c.w, c.h);
        // One pixel in from each corner of the covered square, and just outside it.
        expectPixel(c.left + 1, c.bottom + 1, c.lowLeft);
        expectPixel(c.right - 1, c.bottom + 1, c.lowRight);
        expectPixel(c.left + 1, c.top - 1, c.highLeft);
        expectPixel(c.right - 1, c.top - 1, c.highRight);
        expectPixel(c.left - 1, c.bottom + 2, black);
        expectPixel(c.right + 1, c.bottom + 2, black);
        expectPixel(c.left + 2, c.bottom - 1, black);
        expectPixel(c.left + 2, c.top + 1, black);
        EXPECT_EQ(GLuint(integer(GL_TEXTURE_BINDING_2D)), textureSlots[OpaqueSlot]);
        expectWhiteColour();
    }
}

TEST_F(Quads, QuadAtLeavesBlendingAsItIs) {
    // Blending off: the transparent quarter is drawn as its colour.
    drawQuadAt(TransparentTopRightSlot, -1.0f, -1.0f, 2.0f, 2.0f);
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
    expectPixel(48, 48, topRight);

    // After a full-screen quad has turned blending on, the same quad lets the background through.
    SetUp();
    drawFullScreenQuad(OpaqueSlot);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glClear(GL_COLOR_BUFFER_BIT);
    drawQuadAt(TransparentTopRightSlot, -1.0f, -1.0f, 2.0f, 2.0f);
    expectPixel(48, 48, black);
    expectPixel(16, 16, bottomLeft);
    EXPECT_TRUE(glIsEnabled(GL_BLEND));
}

TEST_F(Quads, QuadOutsideTheScreenDrawsNothingAndRestoresTheMatrices) {
    glTranslatef(0.1f, 0.2f, 0.0f);
    const Matrix modelview = matrix(GL_MODELVIEW_MATRIX);
    drawQuadAt(OpaqueSlot, 1.0f, -0.5f, 0.5f, 0.5f);
    drawQuadAt(OpaqueSlot, -1.0f, -1.0f, -0.25f, -0.25f);
    const auto pixels = testsupport::readFramebuffer(64, 64);
    EXPECT_EQ(std::count(pixels.begin(), pixels.end(), 0), long(pixels.size()));
    EXPECT_EQ(matrix(GL_MODELVIEW_MATRIX), modelview);
}

TEST_F(Quads, FlippedQuadUsesTheCallersTextureTransformAndColour) {
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, textureSlots[OpaqueSlot]);
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    glScalef(0.5f, 0.5f, 1.0f);
    const Matrix modelview = matrix(GL_MODELVIEW_MATRIX);

    drawFlippedQuad();

    // Upside down within the caller's transform: texel (0, 0) at the top left of -0.5 .. 0.5.
    expectPixel(20, 43, bottomLeft);
    expectPixel(43, 43, bottomRight);
    expectPixel(20, 20, topLeft);
    expectPixel(43, 20, topRight);
    expectPixel(8, 8, black);
    expectPixel(56, 56, black);
    EXPECT_EQ(matrix(GL_MODELVIEW_MATRIX), modelview);
    EXPECT_FALSE(glIsEnabled(GL_BLEND));

    // It sets no colour of its own: the caller's colour modulates the picture.
    SetUp();
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, textureSlots[OpaqueSlot]);
    glColor4f(0.5f, 0.0f, 1.0f, 1.0f);
    drawFlippedQuad();
    expectPixel(16, 48, Rgb{100, 0, 40});
    EXPECT_EQ(integer(GL_TEXTURE_BINDING_2D), int(textureSlots[OpaqueSlot]));
}

TEST(QuadMaths, SineOfDegreesTakesPiAs314159) {
    EXPECT_EQ(sinDegrees(0), 0.0f);
    EXPECT_EQ(sinDegrees(90), 1.0f);
    EXPECT_EQ(sinDegrees(-90), -1.0f);
    EXPECT_NEAR(sinDegrees(30), 0.5f, 1e-6f);
    // pi - 3.14159f is about 2.535e-6; with full pi these would be 0 and -0.
    EXPECT_NEAR(sinDegrees(180), 2.535e-6f, 0.005e-6f);
    EXPECT_NEAR(sinDegrees(360), -5.07e-6f, 0.01e-6f);
}

TEST(QuadMaths, SinesAndRootRoundTheDoubleResultToFloat) {
    for (float x : {0.0f, 0.5f, 1.0f, 3.14159f, -2.0f, 100.0f, 1e-3f}) {
        SCOPED_TRACE(x);
        EXPECT_EQ(sinRadians(x), float(std::sin(double(x))));
        EXPECT_EQ(sinFloat(x), float(std::sin(double(x))));
    }
    EXPECT_EQ(sqrtFloat(4.0f), 2.0f);
    EXPECT_EQ(sqrtFloat(2.0f), 1.41421354f);
    EXPECT_EQ(sqrtFloat(0.0f), 0.0f);
    EXPECT_TRUE(std::isnan(sqrtFloat(-1.0f)));
}

} // namespace
