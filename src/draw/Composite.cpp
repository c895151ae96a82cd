#include "draw/Composite.h"

#include "draw/Quads.h"
#include "textures/TextureLibrary.h"

#include <GL/gl.h>

int32_t compositeMode = 0;
uint32_t compositeBaseTime = 0;

uint32_t bangTexture = 0;
uint32_t darkTexture = 0;
uint32_t lightTexture = 0;
uint32_t womanfrontTexture = 0;

namespace {

// The composite quad squeezed into the band y = -1 .. 0.3, image t = 0 at its top edge.
void drawFigureQuad() {
    glBegin(GL_QUADS);
    glTexCoord2d(0, 1);
    glVertex3f(-1.0f, -1.0f, 0.0f);
    glTexCoord2d(1, 1);
    glVertex3f(1.0f, -1.0f, 0.0f);
    glTexCoord2d(1, 0);
    glVertex3f(1.0f, 0.3f, 0.0f);
    glTexCoord2d(0, 0);
    glVertex3f(-1.0f, 0.3f, 0.0f);
    glEnd();
}

// Seconds since the phase began. The difference is on the unsigned clock (the base is never later
// than now), the division in double, the result rounded to float.
float phaseSeconds(uint32_t now) {
    return float(double(now - compositeBaseTime) / double(1000.0f));
}

} // namespace

bool loadCompositeTextures() {
    // Each name is stored before the next load, so a failing file leaves the earlier ones set.
    bangTexture = loadTexture("data/bang.tga");
    darkTexture = loadTexture("data/dark.tga");
    lightTexture = loadTexture("data/light.tga");
    womanfrontTexture = loadTexture("data/womanfront.tga");
    return true;
}

void setCompositeBaseTime(uint32_t now) {
    compositeBaseTime = now;
}

void drawComposite(uint32_t now) {
    // The composite owns the whole frame: whatever was drawn before it is discarded.
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);

    const float t = phaseSeconds(now);

    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();

    glEnable(GL_TEXTURE_2D);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glEnable(GL_BLEND);
    glDisable(GL_DEPTH_TEST);

    // Unsigned, so that negative modes count as too large: the frame stays black.
    const uint32_t mode = uint32_t(compositeMode);
    if (mode > 3) {
        return;
    }

    if (mode == 0 || mode == 1) {
        // The light layer, enlarged so that its edges lie off screen.
        glScalef(1.1f, 1.1f, 1.1f);
        if (mode == 1) {
            const float shake = 80.0f * t;
            glTranslatef(0.05f * sinFloat(shake), 0.0f, 0.0f);
        }
        glBindTexture(GL_TEXTURE_2D, lightTexture);
        drawFlippedQuad();
        glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
        glEnable(GL_BLEND);
        if (mode == 0) {
            return;
        }
        // Take the shake back so that the bang layer stays centred, then pulse it.
        const float shake = 80.0f * t;
        glTranslatef(-0.05f * sinFloat(shake), 0.0f, 0.0f);
        const float pulse = 10.0f * t;
        const float s = 0.7f + 0.2f * sinFloat(pulse);
        glScalef(s, s, s);
        glBindTexture(GL_TEXTURE_2D, bangTexture);
        drawFlippedQuad();
        return;
    }

    glBindTexture(GL_TEXTURE_2D, darkTexture);
    drawFlippedQuad();
    if (mode == 2) {
        return;
    }
    // The figure rises from 1.5 below its rest place at one unit a second, then stays.
    if (double(t) - double(1.5f) < 0.0) {
        glTranslatef(0.0f, t - 1.5f, 0.0f);
    }
    glBindTexture(GL_TEXTURE_2D, womanfrontTexture);
    drawFigureQuad();
}
