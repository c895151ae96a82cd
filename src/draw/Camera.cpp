#include "draw/Camera.h"

#include "draw/Quads.h"

#include <GL/gl.h>

float perspectiveMatrix[16] = {};

void setPerspective(int fovDegrees, float aspect, float zNear, float zFar) {
    const int half = fovDegrees / 2;
    const double tangent = double(sinDegrees(half)) / double(sinDegrees(90 - half));
    const float f = float(1.0 / tangent);
    const float a = aspect == 0.0f ? 1.0f : aspect;
    perspectiveMatrix[0] = f / a;
    perspectiveMatrix[5] = f;
    perspectiveMatrix[10] = (zFar + zNear) / (zNear - zFar);
    perspectiveMatrix[11] = -1.0f;
    perspectiveMatrix[14] = (2.0f * zFar * zNear) / (zNear - zFar);
    glLoadMatrixf(perspectiveMatrix);
}

namespace {

void normalise(float& x, float& y, float& z) {
    const float length = sqrtFloat(x * x + y * y + z * z);
    if (length != 0.0f) {
        x /= length;
        y /= length;
        z /= length;
    }
}

} // namespace

void lookAt(float eyeX, float eyeY, float eyeZ, float centreX, float centreY, float centreZ,
            float upX, float upY, float upZ) {
    float fx = eyeX - centreX;
    float fy = eyeY - centreY;
    float fz = eyeZ - centreZ;
    normalise(fx, fy, fz);

    // Side = up x backward; the up axis is then rebuilt square to both from the side axis before
    // it is normalised.
    float sx = upY * fz - upZ * fy;
    float sy = upZ * fx - upX * fz;
    float sz = upX * fy - upY * fx;
    float ux = fy * sz - fz * sy;
    float uy = fz * sx - fx * sz;
    float uz = fx * sy - fy * sx;
    normalise(sx, sy, sz);
    normalise(ux, uy, uz);

    const float m[16] = {sx, ux, fx, 0.0f, sy,   uy,   fy,   0.0f,
                         sz, uz, fz, 0.0f, 0.0f, 0.0f, 0.0f, 1.0f};
    glMultMatrixf(m);
    glTranslatef(-eyeX, -eyeY, -eyeZ);
}
