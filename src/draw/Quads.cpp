#include "draw/Quads.h"

#include "textures/TextureLibrary.h"

#include <GL/gl.h>

#include <cmath>

namespace {

// Binds the slot, draws its picture with texel (0, 0) at (x0, y0) and the opposite corner at
// (x1, y1) in opaque white, with both matrices at identity for the quad and restored after it.
void drawSlotQuad(int slot, float x0, float y0, float x1, float y1) {
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, textureSlots[slot]);
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    glBegin(GL_QUADS);
    glTexCoord2f(0.0f, 0.0f);
    glVertex3f(x0, y0, 0.0f);
    glTexCoord2f(1.0f, 0.0f);
    glVertex3f(x1, y0, 0.0f);
    glTexCoord2f(1.0f, 1.0f);
    glVertex3f(x1, y1, 0.0f);
    glTexCoord2f(0.0f, 1.0f);
    glVertex3f(x0, y1, 0.0f);
    glEnd();
    glPopMatrix();
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
}

} // namespace

void drawFullScreenQuad(int slot) {
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    drawSlotQuad(slot, -1.0f, -1.0f, 1.0f, 1.0f);
}

void drawQuadAt(int slot, float x, float y, float w, float h) {
    const float right = x + w;
    const float top = y + h;
    drawSlotQuad(slot, x, y, right, top);
}

void drawFlippedQuad() {
    glBegin(GL_QUADS);
    glTexCoord2d(0.0, 1.0);
    glVertex3f(-1.0f, -1.0f, 0.0f);
    glTexCoord2d(1.0, 1.0);
    glVertex3f(1.0f, -1.0f, 0.0f);
    glTexCoord2d(1.0, 0.0);
    glVertex3f(1.0f, 1.0f, 0.0f);
    glTexCoord2d(0.0, 0.0);
    glVertex3f(-1.0f, 1.0f, 0.0f);
    glEnd();
}

float sinDegrees(int degrees) {
    // Pi is 3.14159 here, so sinDegrees(180) is about 2.5e-6 rather than 0.
    const float radians = float(double(degrees) * double(3.14159f) / double(180.0f));
    return float(std::sin(double(radians)));
}

float sinRadians(float radians) {
    return float(std::sin(double(radians)));
}

float sinFloat(float radians) {
    return float(std::sin(double(radians)));
}

float sqrtFloat(float value) {
    return std::sqrt(value);
}
