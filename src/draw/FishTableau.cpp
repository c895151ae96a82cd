#include "draw/FishTableau.h"

#include "draw/Composite.h"
#include "draw/Quads.h"
#include "textures/TextureLibrary.h"

#include <GL/gl.h>

uint32_t omgponiesTexture = 0;
uint32_t ossTexture = 0;
uint32_t rulleTexture = 0;
uint32_t snillfiskTexture = 0;
uint32_t flippfiskTexture = 0;
uint32_t brakkoTexture = 0;
uint32_t shotgunTexture = 0;

uint32_t fishStartTime = 0;
bool fishMode0Started = false;
bool fishMode1Started = false;

bool loadFishTextures() {
    // Each name is stored before the next load, so a failing file leaves the earlier ones set.
    omgponiesTexture = loadTexture("omgponies.tga");
    ossTexture = loadTexture("oss.tga");
    rulleTexture = loadTexture("rulle.tga");
    snillfiskTexture = loadTexture("snillfisk.tga");
    flippfiskTexture = loadTexture("flippfisk.tga");
    brakkoTexture = loadTexture("brakko.tga");
    shotgunTexture = loadTexture("shotgun.tga");
    return true;
}

namespace {

// The fish's bob: up to 0.05 in its own frame, a period of 2 pi seconds of tableau time.
float bob(uint32_t e) {
    return sinFloat(float(double(e) / 1000.0));
}

// Mode 0: the background pans left by 0.9 on screen over the first 7000 ms, with the second
// picture and the fish placed in its frame.
void drawMode0(uint32_t e) {
    glBindTexture(GL_TEXTURE_2D, rulleTexture);
    glScalef(1.8f, 1.0f, 1.0f);
    if (e < 7000) {
        glTranslatef(float(double(0.4f) - double(e) / double(14000.0f)), 0.0f, 0.0f);
    } else {
        glTranslatef(-0.1f, 0.0f, 0.0f);
    }
    drawFlippedQuad();

    glBindTexture(GL_TEXTURE_2D, ossTexture);
    glTranslatef(-0.5f, 0.0f, 0.0f);
    glScalef(0.3f, 0.6f, 1.0f);
    drawFlippedQuad();

    glBindTexture(GL_TEXTURE_2D, snillfiskTexture);
    glTranslatef(3.5f, float(double(0.05f) * double(bob(e)) - double(0.8f)), 0.0f);
    drawFlippedQuad();
}

// Mode 1: every layer is placed in the frame the layers before it built up, so a transform is
// applied on every frame past its threshold even where its own picture is no longer drawn.
void drawMode1(uint32_t e, float t) {
    glBindTexture(GL_TEXTURE_2D, rulleTexture);
    glScalef(1.8f, 1.0f, 1.0f);
    glTranslatef(-0.1f, 0.0f, 0.0f);
    drawFlippedQuad();

    glBindTexture(GL_TEXTURE_2D, ossTexture);
    glTranslatef(-0.5f, 0.0f, 0.0f);
    glScalef(0.3f, 0.6f, 1.0f);
    drawFlippedQuad();

    glBindTexture(GL_TEXTURE_2D, snillfiskTexture);
    glTranslatef(3.5f, -0.8f, 0.0f);
    // The bob moves the fish alone.
    glPushMatrix();
    glTranslatef(0.0f, float(double(0.05f) * double(bob(e))), 0.0f);
    if (e > 5000) {
        glBindTexture(GL_TEXTURE_2D, flippfiskTexture);
    }
    drawFlippedQuad();
    glPopMatrix();

    // The figure drops from above the screen during the first second, then rests.
    glBindTexture(GL_TEXTURE_2D, brakkoTexture);
    glScalef(0.7f, 1.0f, 1.0f);
    if (e < 1000) {
        glTranslatef(-2.4f, float(double(3.0f) - double(e) / double(500.0f)), 0.0f);
    } else {
        glTranslatef(-2.4f, 1.0f, 0.0f);
    }
    drawFlippedQuad();

    if (e > 3000) {
        glTranslatef(1.2f, 0.8f, 0.0f);
        glBindTexture(GL_TEXTURE_2D, omgponiesTexture);
        glScalef(0.6f, 0.4f, 1.0f);
        if (e < 6000) {
            drawFlippedQuad();
        }
    }

    if (e > 6000) {
        glBindTexture(GL_TEXTURE_2D, shotgunTexture);
        glTranslatef(-1.0f, -1.5f, 0.0f);
        glScalef(1.0f, 0.7f, 1.0f);
        drawFlippedQuad();
    }

    // The bang covers the centre over everything, shaking and pulsing on the composite's phase
    // time rather than on the tableau's.
    if (e > 8000) {
        glLoadIdentity();
        const float shake = sinFloat(float(30.0 * double(t)));
        glTranslatef(float(double(-0.05f) * double(shake)), 0.0f, 0.0f);
        const float pulse = sinFloat(float(10.0 * double(t)));
        const float s = float(double(0.8f) + double(0.2f) * double(pulse));
        glScalef(s, s, s);
        glBindTexture(GL_TEXTURE_2D, bangTexture);
        drawFlippedQuad();
    }
}

} // namespace

void drawFishTableau(uint32_t now) {
    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);

    // Seconds of the composite's phase, formed as the composite forms it.
    const float t = float(double(now - compositeBaseTime) / double(1000.0f));

    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();

    glEnable(GL_TEXTURE_2D);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glEnable(GL_BLEND);
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_CULL_FACE);

    if (compositeMode == 0) {
        if (!fishMode0Started) {
            fishMode0Started = true;
            fishStartTime = now;
        }
        drawMode0(now - fishStartTime);
    } else if (compositeMode == 1) {
        if (!fishMode1Started) {
            fishMode1Started = true;
            fishStartTime = now;
        }
        drawMode1(now - fishStartTime, t);
    }
}
