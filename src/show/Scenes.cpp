#include "show/Scenes.h"

#include "draw/Composite.h"
#include "draw/Quads.h"
#include "platform/Audio.h"

#include <GL/gl.h>

int32_t scene2CueDone = 0;
float scene3StartTime = 0.0f;
int32_t scene4FlickerCount = 0;
int32_t scene5CueDone = 0;
int32_t scene11FlickerCount = 0;
int32_t scene13BaseSet = 0;
int32_t scene15BaseSet = 0;
int32_t scene16BaseSet = 0;
int32_t scene18BaseSet = 0;

namespace {

// Catalogue slots the scenes draw.
constexpr int SlotZvq = 0;
constexpr int SlotLogo = 1;
constexpr int SlotNewsLogo = 2;
constexpr int SlotUnicorn = 3;
constexpr int SlotUnicycles = 4;
constexpr int SlotKestlog1 = 5;
constexpr int SlotSnow = 6; // snow, snow2 and snow3 in slots 6 to 8
constexpr int SlotKestlog2 = 9;
constexpr int SlotKestlog3 = 10;
constexpr int SlotKestlog4 = 11;
constexpr int SlotKestlog5 = 12;
constexpr int SlotKestlog6 = 13;
constexpr int SlotSunset = 14;

constexpr int FormationSize = 320;
// Absolute show-clock times (ms) after which the two formations march, whatever scene time is.
constexpr uint32_t FirstFormationStart = 35000;
constexpr uint32_t SecondFormationStart = 40400;

// Tests a once-flag and sets it in the same step: true only the first time.
bool firstTime(int32_t& flag) {
    if (flag != 0) {
        return false;
    }
    flag = 1;
    return true;
}

// Adds one frame to a flicker counter, then shows snow2, snow3, snow, snow2, ... in turn.
void drawSnowFlicker(int32_t& counter) {
    counter += 1;
    drawFullScreenQuad(SlotSnow + counter % 3);
}

// Screen-space sprite offset (NDC units) of a formation that started at `start` ms: 0.21 a second.
float formationOffset(uint32_t now, uint32_t start) {
    return float(double(now - start) * double(0.00021f));
}

void drawParade(uint32_t now) {
    // The start time doubles as the cue's once-flag: 0.0 means scene 3 has not drawn yet.
    if (scene3StartTime == 0.0f) {
        scene3StartTime = float(now);
        playStream("data/soap.wav");
    }
    drawFullScreenQuad(SlotUnicycles);

    // Parade time grows by 0.07 a second from scene 3's first frame.
    const float t = float((double(now) - double(scene3StartTime)) * double(0.00007f));
    static const float lag[8] = {0.6f, 0.8f, 1.0f, 1.2f, 1.4f, 1.6f, 1.8f, 2.0f};
    for (float c : lag) {
        drawQuadAt(SlotUnicorn, t - c, -0.65f, 0.25f, 0.5f);
    }

    // Two bands of sprites scattered by the sine of whole radians, their lower edges on a wave
    // between -0.85 and -0.45: the first enters from the left, the second, 0.2 lower and
    // mirrored, from the right.
    if (now > FirstFormationStart) {
        const float shift = formationOffset(now, FirstFormationStart) - 2.0f;
        for (int i = 0; i < FormationSize; ++i) {
            const float wave = 0.3f * float(i);
            const float y = float(double(0.2f) * double(sinRadians(wave)) - double(0.65f));
            const float x = float(double(sinRadians(float(i))) + double(shift));
            drawQuadAt(SlotUnicorn, x, y, 0.25f, 0.5f);
        }
    }
    if (now > SecondFormationStart) {
        const float shift = 2.0f - formationOffset(now, SecondFormationStart);
        for (int j = 0; j < FormationSize; ++j) {
            const float wave = 0.3f * float(j);
            const float y = float(double(0.2f) * double(sinRadians(wave)) - double(0.65f) - 0.2);
            const float x = float(double(sinRadians(float(j))) + double(shift));
            drawQuadAt(SlotUnicorn, x, y, -0.25f, 0.5f);
        }
    }
}

// Scene 12's background: an opaque white, blended, full-screen quad. The catalogue has no picture
// for it, so texturing is off while it is drawn; afterwards the state is as a full-screen picture
// leaves it (blending and texturing on, colour white, both matrices as before).
void drawWhiteScreen() {
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glDisable(GL_TEXTURE_2D);
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    glColor4f(1, 1, 1, 1);
    glBegin(GL_QUADS);
    glVertex3f(-1, -1, 0);
    glVertex3f(1, -1, 0);
    glVertex3f(1, 1, 0);
    glVertex3f(-1, 1, 0);
    glEnd();
    glPopMatrix();
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
    glEnable(GL_TEXTURE_2D);
}

// The composite scenes: set the mode, restart the phase on the first frame where `baseSet` is
// given, then hand the whole frame over.
void drawCompositeScene(int32_t mode, int32_t* baseSet, uint32_t now) {
    compositeMode = mode;
    if (baseSet != nullptr && firstTime(*baseSet)) {
        setCompositeBaseTime(now);
    }
    drawComposite(now);
}

} // namespace

void drawScene(int32_t scene, uint32_t now) {
    switch (scene) {
    case 0:
        drawFullScreenQuad(SlotZvq);
        break;
    case 1:
        drawFullScreenQuad(SlotLogo);
        break;
    case 2:
        if (firstTime(scene2CueDone)) {
            playStream("data/intro.wav");
        }
        drawFullScreenQuad(SlotNewsLogo);
        break;
    case 3:
        drawParade(now);
        break;
    case 4:
        drawSnowFlicker(scene4FlickerCount);
        break;
    case 5:
        if (firstTime(scene5CueDone)) {
            playStream("data/kest.wav");
        }
        drawFullScreenQuad(SlotKestlog1);
        break;
    case 6:
        drawFullScreenQuad(SlotKestlog2);
        break;
    case 7:
        drawFullScreenQuad(SlotKestlog3);
        break;
    case 8:
        drawFullScreenQuad(SlotKestlog4);
        break;
    case 9:
        drawFullScreenQuad(SlotKestlog5);
        break;
    case 10:
        drawFullScreenQuad(SlotKestlog6);
        break;
    case 11:
        drawSnowFlicker(scene11FlickerCount);
        break;
    case 12:
        // A white flash of about half a second between the snow and the composite. The slides
        // Image1 to Image9 (slots 15 to 22) are loaded with the catalogue but not shown: the
        // scene is far shorter than their two-second steps.
        drawWhiteScreen();
        break;
    case 13:
        drawCompositeScene(0, &scene13BaseSet, now);
        break;
    case 14:
        // Goes on with the phase scene 13 started.
        drawCompositeScene(1, nullptr, now);
        break;
    case 15:
        drawCompositeScene(0, &scene15BaseSet, now);
        break;
    case 16:
        drawCompositeScene(1, &scene16BaseSet, now);
        break;
    case 17:
        // Goes on with the phase scene 16 started.
        drawCompositeScene(2, nullptr, now);
        break;
    case 18:
        drawCompositeScene(3, &scene18BaseSet, now);
        break;
    case 19:
        drawFullScreenQuad(SlotSunset);
        break;
    default:
        // Above 19 the timeline is over: the frame stays black.
        break;
    }
}

void resetSceneState() {
    scene2CueDone = 0;
    scene3StartTime = 0.0f;
    scene4FlickerCount = 0;
    scene5CueDone = 0;
    scene11FlickerCount = 0;
    scene13BaseSet = 0;
    scene15BaseSet = 0;
    scene16BaseSet = 0;
    scene18BaseSet = 0;
    compositeMode = 0;
    compositeBaseTime = 0;
}
