// The camera helpers against the matrices that OpenGL ends up holding, in a headless context.
#include "draw/Camera.h"

#include "TestSupport.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <ostream>

namespace {

using Matrix = std::array<float, 16>; // OpenGL order: element 4 * column + row

Matrix glMatrix(GLenum which) {
    Matrix m{};
    glGetFloatv(which, m.data());
    return m;
}

float at(const Matrix& m, int row, int column) {
    return m[size_t(4 * column + row)];
}

class Camera : public ::testing::Test {
  protected:
    void SetUp() override {
        testsupport::ensureGlContext();
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
    }
};

// ---- setPerspective ----------------------------------------------------------------------------

struct PerspectiveCase {
    const char* name;
    int fov;
    float aspect, zNear, zFar;
    double cotangent; // of the half-angle in whole degrees, with the true pi
    double expect0;   // f / aspect, aspect 0 taken as 1
};

void PrintTo(const PerspectiveCase& c, std::ostream* os) {
    *os << c.name;
}

class Perspective : public Camera, public ::testing::WithParamInterface<PerspectiveCase> {};

TEST_P(Perspective, FillsFiveElementsAndLoadsThem) {
    const PerspectiveCase& c = GetParam();
    glMatrixMode(GL_PROJECTION);
    // A call with other values first: nothing of it may survive but the zeros.
    setPerspective(150, 3.0f, 0.25f, 7.0f);
    glMatrixMode(GL_MODELVIEW);
    glTranslatef(3.0f, 4.0f, 5.0f); // setPerspective selects no matrix mode
    glMatrixMode(GL_PROJECTION);
    setPerspective(c.fov, c.aspect, c.zNear, c.zFar);

    Matrix m{};
    std::copy(std::begin(perspectiveMatrix), std::end(perspectiveMatrix), m.begin());
    // pi is 3.14159 in the sines, so the cotangent is off by a few parts in a million.
    EXPECT_NEAR(m[5], c.cotangent, 1e-5 * c.cotangent);
    EXPECT_NEAR(m[0], c.expect0, 1e-5 * std::abs(c.expect0));
    EXPECT_FLOAT_EQ(m[10], (c.zFar + c.zNear) / (c.zNear - c.zFar));
    EXPECT_FLOAT_EQ(m[14], 2.0f * c.zFar * c.zNear / (c.zNear - c.zFar));
    EXPECT_EQ(m[11], -1.0f);
    for (int i : {1, 2, 3, 4, 6, 7, 8, 9, 12, 13, 15}) {
        EXPECT_EQ(m[size_t(i)], 0.0f) << "element " << i;
    }
    EXPECT_EQ(glMatrix(GL_PROJECTION_MATRIX), m);
    EXPECT_EQ(at(glMatrix(GL_MODELVIEW_MATRIX), 0, 3), 3.0f);
}

const double Cot45 = 1.0, Cot22 = 2.4750868534162964, Cot30 = 1.7320508075688772;

INSTANTIATE_TEST_SUITE_P(
    Camera, Perspective,
    ::testing::Values(PerspectiveCase{"Fov90AspectZeroIsOne", 90, 0.0f, 1.0f, 100.0f, Cot45, 1.0},
                      // Not cot(22.5) = 2.4142: the half-angle is a whole number of degrees.
                      PerspectiveCase{"Fov45UsesTwentyTwoDegrees", 45, 2.0f, 1.0f, 10.0f, Cot22,
                                      Cot22 / 2.0},
                      PerspectiveCase{"Fov60Widescreen", 60, 16.0f / 9.0f, 0.1f, 1000.0f, Cot30,
                                      Cot30 * 9.0 / 16.0},
                      PerspectiveCase{"Fov61LikeFov60", 61, 1.0f, 2.0f, 3.0f, Cot30, Cot30}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(Camera, Fov90IsExact) {
    glMatrixMode(GL_PROJECTION);
    setPerspective(90, 0.0f, 1.0f, 100.0f);
    // At 45 degrees both sines are the same float, so f is 1 exactly.
    EXPECT_EQ(perspectiveMatrix[0], 1.0f);
    EXPECT_EQ(perspectiveMatrix[5], 1.0f);
    EXPECT_EQ(perspectiveMatrix[10], float(-101.0 / 99.0));
    EXPECT_EQ(perspectiveMatrix[14], float(-200.0 / 99.0));
}

// ---- lookAt ------------------------------------------------------------------------------------

// (x, y, z, 1) through m.
std::array<double, 3> apply(const Matrix& m, double x, double y, double z) {
    std::array<double, 3> out{};
    for (int r = 0; r < 3; ++r) {
        out[size_t(r)] = at(m, r, 0) * x + at(m, r, 1) * y + at(m, r, 2) * z + at(m, r, 3);
    }
    return out;
}

TEST_F(Camera, LookAtAlongMinusZIsATranslation) {
    lookAt(0, 0, 5, 0, 0, 0, 0, 1, 0);
    Matrix want{1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, -5, 1};
    EXPECT_EQ(glMatrix(GL_MODELVIEW_MATRIX), want);
    EXPECT_EQ(glMatrix(GL_PROJECTION_MATRIX),
              (Matrix{1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1}));
}

TEST_F(Camera, LookAtMultipliesOntoTheCurrentMatrix) {
    glScalef(2.0f, 2.0f, 2.0f);
    lookAt(0, 0, 5, 0, 0, 0, 0, 1, 0);
    Matrix want{2, 0, 0, 0, 0, 2, 0, 0, 0, 0, 2, 0, 0, 0, -10, 1};
    EXPECT_EQ(glMatrix(GL_MODELVIEW_MATRIX), want);
}

struct ViewCase {
    const char* name;
    float eye[3], centre[3], up[3];
};

void PrintTo(const ViewCase& c, std::ostream* os) {
    *os << c.name;
}

class LookAt : public Camera, public ::testing::WithParamInterface<ViewCase> {};

// The eye goes to the origin, the centre onto -z at its distance, up to +y in the plane of sight,
// whatever the length of up or its angle with the line of sight.
TEST_P(LookAt, PutsTheCentreAheadAndUpAbove) {
    const ViewCase& c = GetParam();
    lookAt(c.eye[0], c.eye[1], c.eye[2], c.centre[0], c.centre[1], c.centre[2], c.up[0], c.up[1],
           c.up[2]);
    const Matrix m = glMatrix(GL_MODELVIEW_MATRIX);

    const double dx = c.centre[0] - c.eye[0], dy = c.centre[1] - c.eye[1],
                 dz = c.centre[2] - c.eye[2];
    const double distance = std::sqrt(dx * dx + dy * dy + dz * dz);
    const auto eye = apply(m, c.eye[0], c.eye[1], c.eye[2]);
    const auto centre = apply(m, c.centre[0], c.centre[1], c.centre[2]);
    for (int i = 0; i < 3; ++i) {
        EXPECT_NEAR(eye[size_t(i)], 0.0, 1e-5 * distance);
    }
    EXPECT_NEAR(centre[0], 0.0, 1e-5 * distance);
    EXPECT_NEAR(centre[1], 0.0, 1e-5 * distance);
    EXPECT_NEAR(centre[2], -distance, 1e-5 * distance);

    // Up, made square to the line of sight and of length 1 by hand, maps to (0, 1, 0).
    const double along = (c.up[0] * dx + c.up[1] * dy + c.up[2] * dz) / (distance * distance);
    double ux = c.up[0] - along * dx, uy = c.up[1] - along * dy, uz = c.up[2] - along * dz;
    const double ul = std::sqrt(ux * ux + uy * uy + uz * uz);
    ux /= ul;
    uy /= ul;
    uz /= ul;
    const auto up = apply(m, c.eye[0] + ux, c.eye[1] + uy, c.eye[2] + uz);
    EXPECT_NEAR(up[0], 0.0, 1e-5 * distance);
    EXPECT_NEAR(up[1], 1.0, 1e-5 * distance);
    EXPECT_NEAR(up[2], 0.0, 1e-5 * distance);

    // The rotation is orthonormal: its rows are of length 1 and square to each other.
    for (int a = 0; a < 3; ++a) {
        for (int b = 0; b < 3; ++b) {
            double dot = 0;
            for (int k = 0; k < 3; ++k) {
                dot += double(at(m, a, k)) * at(m, b, k);
            }
            EXPECT_NEAR(dot, a == b ? 1.0 : 0.0, 1e-6) << "rows " << a << ", " << b;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    Camera, LookAt,
    ::testing::Values(ViewCase{"UnitUpSquareToSight", {0, 0, 5}, {0, 0, 0}, {0, 1, 0}},
                      ViewCase{"LongUp", {0, 0, 5}, {0, 0, 0}, {0, 7, 0}},
                      ViewCase{"SlantedLongUp", {1, 2, 3}, {4, -1, 0.5f}, {0.3f, 5, 0.2f}},
                      ViewCase{"LookingDownAtAnAngle", {0, 10, 10}, {0, 0, 0}, {0, 1, 0}},
                      ViewCase{"EyeBehindCentre", {-3, 0.5f, -8}, {2, 1, 6}, {0, -2, 0.1f}}),
    [](const auto& info) { return std::string(info.param.name); });

bool allFinite(const Matrix& m) {
    for (float v : m) {
        if (!std::isfinite(v)) {
            return false;
        }
    }
    return true;
}

TEST_F(Camera, EyeOnTheCentreGivesZeroRowsNotNaN) {
    lookAt(1, 2, 3, 1, 2, 3, 0, 1, 0);
    const Matrix m = glMatrix(GL_MODELVIEW_MATRIX);
    ASSERT_TRUE(allFinite(m));
    // Every rotation row is zero, so the translation is swallowed too: only (3, 3) stays 1.
    EXPECT_EQ(m, (Matrix{0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1}));
}

TEST_F(Camera, UpAlongTheLineOfSightGivesZeroSideAndUpRows) {
    lookAt(0, 0, 5, 0, 0, 0, 0, 0, 2);
    const Matrix m = glMatrix(GL_MODELVIEW_MATRIX);
    ASSERT_TRUE(allFinite(m));
    for (int column = 0; column < 4; ++column) {
        EXPECT_EQ(at(m, 0, column), 0.0f) << "side row, column " << column;
        EXPECT_EQ(at(m, 1, column), 0.0f) << "up row, column " << column;
    }
    // The backward row is still (0, 0, 1), followed by the translation by -5.
    EXPECT_EQ(at(m, 2, 2), 1.0f);
    EXPECT_EQ(at(m, 2, 3), -5.0f);
    EXPECT_EQ(at(m, 3, 3), 1.0f);
}

} // namespace
