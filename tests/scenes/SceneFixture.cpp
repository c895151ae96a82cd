#include "SceneFixture.h"

#include "draw/Composite.h"
#include "platform/Audio.h"
#include "platform/ShowClock.h"
#include "platform/SoundLayer.h"
#include "show/Scenes.h"
#include "show/Show.h"
#include "textures/TextureLibrary.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace scenetest {

namespace {

// What the show clock reads while a test runs: the value of the frame being rendered.
uint32_t clockNow = 0;

uint32_t fixtureClock() {
    return clockNow;
}

int toPixel(float ndc) {
    return std::clamp(int(std::floor((ndc + 1.0f) * 0.5f * Size)), 0, Size - 1);
}

float pixelEdge(int px) {
    return float(px) * 2.0f / Size - 1.0f;
}

} // namespace

Rgb pack(const std::string& picture) {
    return testsupport::testPackColour(picture);
}

Match is(Rgb colour) {
    return [colour](Rgb got) { return testsupport::near(got, colour, 8); };
}

Match nearer(Rgb a, Rgb b) {
    auto distance = [](Rgb p, Rgb q) {
        return (p.r - q.r) * (p.r - q.r) + (p.g - q.g) * (p.g - q.g) + (p.b - q.b) * (p.b - q.b);
    };
    return [a, b, distance](Rgb got) { return distance(got, b) < distance(got, a); };
}

::testing::AssertionResult shows(const Frame& frame, float x, float y, Rgb colour) {
    const Rgb got = frame.at(x, y);
    if (is(colour)(got)) {
        return ::testing::AssertionSuccess();
    }
    return ::testing::AssertionFailure()
           << "at (" << x << ", " << y << ") got " << testsupport::describe(got) << ", want "
           << testsupport::describe(colour);
}

std::vector<uint8_t> markedTga(int width, int height, int bitsPerPixel,
                               const std::function<Texel(int, int)>& texel) {
    const int bpp = bitsPerPixel / 8;
    std::vector<uint8_t> rgba;
    rgba.reserve(size_t(width) * height * bpp);
    for (int row = 0; row < height; ++row) {
        for (int column = 0; column < width; ++column) {
            Texel t = texel(column, row);
            rgba.push_back(uint8_t(t.colour.r));
            rgba.push_back(uint8_t(t.colour.g));
            rgba.push_back(uint8_t(t.colour.b));
            if (bpp == 4) {
                rgba.push_back(uint8_t(t.alpha));
            }
        }
    }
    return testsupport::makeTga(width, height, bitsPerPixel, 2, rgba);
}

Frame Frame::grab() {
    Frame f;
    f.rgb_ = testsupport::readFramebuffer(Size, Size);
    return f;
}

Rgb Frame::pixel(int px, int py) const {
    const size_t i = (size_t(py) * Size + size_t(px)) * 3;
    return Rgb{rgb_[i], rgb_[i + 1], rgb_[i + 2]};
}

Rgb Frame::at(float x, float y) const {
    return pixel(toPixel(x), toPixel(y));
}

float Frame::edgeAlongRow(float y, float from, float to, const Match& match) const {
    const int py = toPixel(y);
    const int step = to >= from ? 1 : -1;
    for (int px = toPixel(from);; px += step) {
        if (match(pixel(px, py))) {
            return step > 0 ? pixelEdge(px) : pixelEdge(px + 1);
        }
        if (px == toPixel(to)) {
            return std::numeric_limits<float>::quiet_NaN();
        }
    }
}

float Frame::edgeAlongColumn(float x, float from, float to, const Match& match) const {
    const int px = toPixel(x);
    const int step = to >= from ? 1 : -1;
    for (int py = toPixel(from);; py += step) {
        if (match(pixel(px, py))) {
            return step > 0 ? pixelEdge(py) : pixelEdge(py + 1);
        }
        if (py == toPixel(to)) {
            return std::numeric_limits<float>::quiet_NaN();
        }
    }
}

bool Frame::any(float x0, float x1, float y0, float y1, const Match& match) const {
    for (int py = toPixel(y0); py <= toPixel(y1); ++py) {
        for (int px = toPixel(x0); px <= toPixel(x1); ++px) {
            if (match(pixel(px, py))) {
                return true;
            }
        }
    }
    return false;
}

float Frame::rightmost(float x0, float x1, float y0, float y1, const Match& match) const {
    for (int px = toPixel(x1); px >= toPixel(x0); --px) {
        for (int py = toPixel(y0); py <= toPixel(y1); ++py) {
            if (match(pixel(px, py))) {
                return pixelEdge(px + 1);
            }
        }
    }
    return std::numeric_limits<float>::quiet_NaN();
}

float Frame::topmost(float x0, float x1, float y0, float y1, const Match& match) const {
    for (int py = toPixel(y1); py >= toPixel(y0); --py) {
        for (int px = toPixel(x0); px <= toPixel(x1); ++px) {
            if (match(pixel(px, py))) {
                return pixelEdge(py + 1);
            }
        }
    }
    return std::numeric_limits<float>::quiet_NaN();
}

void ShowFixture::SetUp() {
    testsupport::ensureGlContext(Size, Size);
    testsupport::writeTestPack(dir.path());
    for (const auto& [name, bytes] : marked_) {
        testsupport::writeBytes(dir.file(name), bytes);
    }
    chdir_ = std::make_unique<testsupport::ScopedChdir>(dir.path());
    // A fresh sound layer: no channels held by the cues of an earlier test.
    soundLayerShutdown();
    initSound();
    loadCatalogueTextures();
    loadCompositeTextures();
    setShowClockSource(fixtureClock);
    resetShowState();
}

void ShowFixture::TearDown() {
    setShowClockSource(nullptr);
    chdir_.reset();
}

void ShowFixture::resetShowState() {
    resetTimeline();
    resetSceneState();
    soundLayerClearStartedStreams();
    clockNow = 0;
}

Frame ShowFixture::frame(uint32_t now) {
    clockNow = now;
    showTimeMs = now;
    renderFrame(now);
    return Frame::grab();
}

} // namespace scenetest
