#include "show/Show.h"

#include "draw/Composite.h"
#include "platform/Audio.h"
#include "platform/Display.h"
#include "platform/ShowClock.h"
#include "show/Scenes.h"
#include "textures/TextureLibrary.h"

#include <GL/gl.h>
#include <cstdio>

const uint32_t SceneEndTimes[SceneCount] = {
    7180,   12981,  17485,  57362,  58000,  65223,  68849,  80415,  87816,  95397,
    100304, 106423, 107000, 123000, 132000, 141000, 145000, 149000, 156000, 165000,
};

uint32_t showTimeMs = 0;
int32_t currentScene = 0;
bool quitRequested = false;
int32_t keyMessageCount = 0;
int lastMessage = 0;

void requestQuit() {
    quitRequested = true;
}

void skipScene() {
    currentScene += 1;
}

void advanceScene(uint32_t now) {
    for (int i = 1; i <= SceneCount; ++i) {
        if (currentScene == i - 1 && SceneEndTimes[currentScene] < now) {
            currentScene += 1;
        }
        if (currentScene == SceneCount) {
            requestQuit();
        }
    }
}

void renderFrame(uint32_t now) {
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    advanceScene(now);
    drawScene(currentScene, now);
}

namespace {
// Enter and Space share one counter and act on every second message either of them counts, so a
// press acts on its key-up.
bool countKeyMessage() {
    int32_t counted = keyMessageCount;
    keyMessageCount += 1;
    return counted % 2 != 0;
}
} // namespace

void handleKey(int keyCode) {
    if (keyCode == 27) {
        requestQuit();
    }
    if (keyCode == 13 && countKeyMessage()) {
        skipScene();
    }
    if (keyCode == 32 && countKeyMessage()) {
        std::printf("%i\n", static_cast<int>(readShowClock()));
        std::fflush(stdout);
    }
}

void pollInput() {
    lastMessage = pollDisplayKey();
    handleKey(lastMessage);
}

int showMain() {
    initSound();
    playStream("data/fast.mp3");
    createDisplay();
    loadCatalogueTextures();
    loadCompositeTextures();

    while (!quitRequested) {
        showTimeMs = readShowClock();
        renderFrame(showTimeMs);
        pollInput();
        swapDisplayBuffers(getDisplayDC());
    }
    return 0;
}

void resetTimeline() {
    showTimeMs = 0;
    currentScene = 0;
    quitRequested = false;
    keyMessageCount = 0;
    lastMessage = 0;
}
