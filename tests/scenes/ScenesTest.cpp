// The twenty scenes through the show's own frame function: which picture each scene shows, the
// cues on the first frames, the parade and its two formations, the snow flickers, the composite
// phases, and scenes passed over by a late frame.
#include "SceneFixture.h"

#include "draw/Composite.h"
#include "platform/SoundLayer.h"
#include "show/Scenes.h"
#include "show/Show.h"

#include <cmath>

namespace scenetest {
namespace {

constexpr Rgb SpriteLeft = Red;
constexpr Rgb SpriteRight = Blue;

// The parade sprite: its left half red, its right half blue, opaque in its lower half (file rows
// 0 to 7, drawn at the bottom) and transparent above.
std::vector<uint8_t> markedSprite() {
    return markedTga(16, 16, 32, [](int column, int row) {
        return Texel{column < 8 ? SpriteLeft : SpriteRight, row < 8 ? 255 : 0};
    });
}

Match sprite() {
    return [](Rgb c) { return is(SpriteLeft)(c) || is(SpriteRight)(c); };
}

class Scenes : public ShowFixture {
  protected:
    Scenes() : ShowFixture({{"data/unibrowed_unicorn_on_unicycle.tga", markedSprite()}}) {}

    // Enters scene 3 early, as three Enter presses would, on a frame at `now`.
    Frame enterParadeEarly(uint32_t now) {
        skipScene();
        skipScene();
        skipScene();
        return frame(now);
    }
};

struct Started {
    std::string fileName;
    uint32_t clockMs;
    bool operator==(const Started& o) const {
        return fileName == o.fileName && clockMs == o.clockMs;
    }
};
std::ostream& operator<<(std::ostream& out, const Started& s) {
    return out << s.fileName << " at " << s.clockMs;
}
std::vector<Started> startedStreams() {
    std::vector<Started> out;
    for (const StartedStream& s : soundLayerStartedStreams()) {
        out.push_back({s.fileName, s.clockMs});
    }
    return out;
}

struct Probe {
    float x, y;
    Rgb colour;
};
struct TimelineStep {
    uint32_t now;
    int32_t scene;
    std::vector<Probe> probes;
    int32_t mode;
    uint32_t base;
};

// Frames on both sides of every scene boundary, in clock order.
std::vector<TimelineStep> timelineSteps() {
    const Rgb light = pack("data/light.tga");
    const Rgb bang = pack("data/bang.tga");
    const Rgb dark = pack("data/dark.tga");
    const Rgb figure = pack("data/womanfront.tga");
    const Rgb parade = pack("data/unicycles_background.tga");
    auto full = [](const char* picture) {
        return std::vector<Probe>{{0, 0, pack(picture)}, {-0.99f, -0.99f, pack(picture)}};
    };
    return {
        {0, 0, full("data/zvq.tga"), 0, 0},
        {7180, 0, full("data/zvq.tga"), 0, 0},
        {7181, 1, full("data/logo2.tga"), 0, 0},
        {12981, 1, full("data/logo2.tga"), 0, 0},
        {12982, 2, full("data/newslogo.tga"), 0, 0},
        {17485, 2, full("data/newslogo.tga"), 0, 0},
        // The parade keeps to the lower half of the screen.
        {17486, 3, {{0, 0.8f, parade}, {0.9f, 0.9f, parade}}, 0, 0},
        {57362, 3, {{0, 0.8f, parade}, {-0.9f, 0.9f, parade}}, 0, 0},
        {57363, 4, full("data/snow2.tga"), 0, 0},
        {58000, 4, full("data/snow3.tga"), 0, 0},
        {58001, 5, full("data/kestlog-1.tga"), 0, 0},
        {65223, 5, full("data/kestlog-1.tga"), 0, 0},
        {65224, 6, full("data/kestlog-2.tga"), 0, 0},
        {68849, 6, full("data/kestlog-2.tga"), 0, 0},
        {68850, 7, full("data/kestlog-3.tga"), 0, 0},
        {80415, 7, full("data/kestlog-3.tga"), 0, 0},
        {80416, 8, full("data/kestlog-4.tga"), 0, 0},
        {87816, 8, full("data/kestlog-4.tga"), 0, 0},
        {87817, 9, full("data/kestlog-5.tga"), 0, 0},
        {95397, 9, full("data/kestlog-5.tga"), 0, 0},
        {95398, 10, full("data/kestlog-6.tga"), 0, 0},
        {100304, 10, full("data/kestlog-6.tga"), 0, 0},
        {100305, 11, full("data/snow2.tga"), 0, 0},
        {106423, 11, full("data/snow3.tga"), 0, 0},
        {106424, 12, {{0, 0, White}, {-0.99f, -0.99f, White}, {0.99f, 0.99f, White}}, 0, 0},
        {107000, 12, {{0, 0, White}, {0.99f, -0.99f, White}}, 0, 0},
        {107001, 13, {{0, 0, light}, {-0.99f, 0.99f, light}}, 0, 107001},
        {123000, 13, {{0, 0, light}}, 0, 107001},
        {123001, 14, {{0, 0, bang}, {-0.99f, 0.99f, light}}, 1, 107001},
        {132000, 14, {{0, 0, bang}, {0.99f, -0.99f, light}}, 1, 107001},
        {132001, 15, {{0, 0, light}}, 0, 132001},
        {141000, 15, {{0, 0, light}}, 0, 132001},
        {141001, 16, {{0, 0, bang}, {-0.99f, -0.99f, light}}, 1, 141001},
        {145000, 16, {{0, 0, bang}}, 1, 141001},
        {145001, 17, {{0, 0, dark}, {0, -0.9f, dark}}, 2, 141001},
        {149000, 17, {{0, 0, dark}}, 2, 141001},
        // The figure rises from below on scene 18's first frame and is in place 1.5 s later.
        {149001, 18, {{0, 0.9f, dark}, {0, -0.9f, dark}}, 3, 149001},
        {150501, 18, {{0, 0.9f, dark}, {0, -0.9f, figure}}, 3, 149001},
        {156000, 18, {{0, 0.9f, dark}, {0, -0.9f, figure}}, 3, 149001},
        {156001, 19, full("data/solnedgang.tga"), 3, 149001},
        {165000, 19, full("data/solnedgang.tga"), 3, 149001},
        {165001, 20, {{0, 0, Black}, {0.99f, 0.99f, Black}}, 3, 149001},
    };
}

TEST_F(Scenes, EachSceneShowsItsPictureFromItsFirstFrameToItsEnd) {
    for (const TimelineStep& step : timelineSteps()) {
        SCOPED_TRACE("clock " + std::to_string(step.now));
        const Frame f = frame(step.now);
        ASSERT_EQ(currentScene, step.scene);
        for (const Probe& p : step.probes) {
            EXPECT_TRUE(is(p.colour)(f.at(p.x, p.y)))
                << "at (" << p.x << ", " << p.y << ") got " << testsupport::describe(f.at(p.x, p.y))
                << ", want " << testsupport::describe(p.colour);
        }
        EXPECT_EQ(compositeMode, step.mode);
        EXPECT_EQ(compositeBaseTime, step.base);
    }
    EXPECT_TRUE(quitRequested);
}

TEST_F(Scenes, EachCueStartsOnceOnItsScenesFirstFrame) {
    for (const TimelineStep& step : timelineSteps()) {
        frame(step.now);
    }
    EXPECT_EQ(startedStreams(),
              (std::vector<Started>{
                  {"data/intro.wav", 12982}, {"data/soap.wav", 17486}, {"data/kest.wav", 58001}}));
}

// A frame late enough to pass over scenes leaves their cues unplayed and their state unset.
struct PassedOverCase {
    const char* name;
    std::vector<uint32_t> frames;
    int32_t scene;
    Rgb centre;
};

class ScenesPassedOver : public Scenes, public ::testing::WithParamInterface<PassedOverCase> {};

TEST_P(ScenesPassedOver, PlayNoCueAndSetNothing) {
    const PassedOverCase& c = GetParam();
    Frame f = Frame::grab();
    for (uint32_t now : c.frames) {
        f = frame(now);
    }
    EXPECT_EQ(currentScene, c.scene);
    EXPECT_TRUE(is(c.centre)(f.at(0, 0))) << testsupport::describe(f.at(0, 0));
    EXPECT_TRUE(startedStreams().empty());
    EXPECT_EQ(scene2CueDone, 0);
    EXPECT_EQ(scene3StartTime, 0.0f);
    EXPECT_EQ(scene5CueDone, 0);
    EXPECT_EQ(scene13BaseSet, 0);
    EXPECT_EQ(compositeBaseTime, 0u);
}

INSTANTIATE_TEST_SUITE_P(
    Scenes, ScenesPassedOver,
    ::testing::Values(
        PassedOverCase{"SlowStartUpLandsInScene4", {57363}, 4, pack("data/snow2.tga")},
        PassedOverCase{"LongFrameOverScene5", {58000, 65224}, 6, pack("data/kestlog-2.tga")},
        PassedOverCase{"LongFrameOverScene13", {106424, 123001}, 14, pack("data/bang.tga")}),
    [](const ::testing::TestParamInfo<PassedOverCase>& info) { return info.param.name; });

// Scenes 14 and 17 go on with the phase of the scene before; 13, 15, 16 and 18 restart it. The
// bang's half-size, 1.1 * (0.7 + 0.2 * sin(10 t)), tells which phase a frame is timed from.
struct PhaseCase {
    const char* name;
    std::vector<uint32_t> frames;
    float bangHalf;
};

class CompositePhases : public Scenes, public ::testing::WithParamInterface<PhaseCase> {};

TEST_P(CompositePhases, TimeTheBangFromThePhaseStart) {
    const PhaseCase& c = GetParam();
    Frame f = Frame::grab();
    for (uint32_t now : c.frames) {
        f = frame(now);
    }
    const Match light = is(pack("data/light.tga"));
    EXPECT_NEAR(f.edgeAlongRow(0, 0, -1, light), -c.bangHalf, 1.5f * PixelNdc);
    EXPECT_NEAR(f.edgeAlongRow(0, 0, 1, light), c.bangHalf, 1.5f * PixelNdc);
}

INSTANTIATE_TEST_SUITE_P(
    Scenes, CompositePhases,
    ::testing::Values(
        // t = 16 s since scene 13's first frame, not 0 since scene 14's.
        PhaseCase{"Scene14GoesOnFromScene13", {107001, 123001}, 0.8183f},
        // No phase was started: t is the show clock, 123.001 s.
        PhaseCase{"Scene13PassedOverLeavesClockZero", {106424, 123001}, 0.5506f},
        // t = 0 on scene 16's first frame, 9 s after scene 15 started its phase.
        PhaseCase{"Scene16RestartsThePhase", {132001, 141001}, 0.77f}),
    [](const ::testing::TestParamInfo<PhaseCase>& info) { return info.param.name; });

// The parade's line moves right by 0.07 a second from scene 3's own first frame. The leading
// sprite, at x = t - 0.6 and 0.25 wide, has its left fifth hidden by the second sprite, so on a
// row through the sprites' opaque half its blue right edge lies at t - 0.35 and its red-blue
// boundary at t - 0.475.
struct ParadeCase {
    const char* name;
    uint32_t entry;
    bool early; // entered by Enter presses rather than by the clock
    uint32_t now;
    float t;
};

class Parade : public Scenes, public ::testing::WithParamInterface<ParadeCase> {};

TEST_P(Parade, PlacesTheLeadingSpriteByTheTimeSinceTheScenesFirstFrame) {
    const ParadeCase& c = GetParam();
    if (c.early) {
        enterParadeEarly(c.entry);
    } else {
        frame(c.entry);
    }
    ASSERT_EQ(currentScene, 3);
    const Frame f = frame(c.now);
    const float right = f.edgeAlongRow(-0.55f, 1, -1, is(SpriteRight));
    EXPECT_NEAR(right, c.t - 0.35f, 1.5f * PixelNdc);
    EXPECT_NEAR(f.edgeAlongRow(-0.55f, right - 0.02f, -1, is(SpriteLeft)), c.t - 0.475f,
                1.5f * PixelNdc);
    EXPECT_NEAR(f.edgeAlongColumn(c.t - 0.4f, -1, 0, is(SpriteRight)), -0.65f, 2 * PixelNdc)
        << "the sprites stand on y = -0.65";
    const Rgb background = pack("data/unicycles_background.tga");
    EXPECT_TRUE(is(background)(f.at(c.t - 0.4f, -0.3f))) << "the sprite's upper half is clear";
    EXPECT_EQ(startedStreams(), (std::vector<Started>{{"data/soap.wav", c.entry}}));
}

INSTANTIATE_TEST_SUITE_P(
    Scenes, Parade,
    ::testing::Values(ParadeCase{"FirstFrame", 17486, false, 17486, 0.0f},
                      ParadeCase{"TenSecondsIn", 17486, false, 27486, 0.7f},
                      ParadeCase{"FifteenSecondsIn", 17486, false, 32486, 1.05f},
                      ParadeCase{"EnteredEarlyByEnter", 3000, true, 13000, 0.7f}),
    [](const ::testing::TestParamInfo<ParadeCase>& info) { return info.param.name; });

// The formations start on the absolute show clock, whatever time scene 3 began: here it began
// at 3000 ms, so the parade has moved off to the right of the strips looked at.
TEST_F(Scenes, FormationsAppearJustAfterTheirClockTimes) {
    struct Step {
        uint32_t now;
        float x0, x1, y0, y1;
        bool sprites;
    };
    // The first enters at the left edge, its lower edges between -0.85 and -0.45; the second,
    // 0.2 lower, at the right edge, where the parade never reaches below y = -0.65.
    const Step steps[] = {
        {35000, -1, -0.8f, -0.85f, -0.45f, false},
        {35001, -1, -0.8f, -0.85f, -0.45f, true},
        {40400, 0.8f, 1, -1, -0.7f, false},
        {40401, 0.8f, 1, -1, -0.7f, true},
    };
    enterParadeEarly(3000);
    for (const Step& s : steps) {
        const Frame f = frame(s.now);
        EXPECT_EQ(f.any(s.x0, s.x1, s.y0, s.y1, sprite()), s.sprites) << "clock " << s.now;
    }
}

// Where a formation's band ends on the right, every sprite shows its right half if drawn as is,
// its left half if mirrored; the band's top is the highest wave crest plus the sprites' opaque
// quarter-height (0.25). Scene 3 entered at 3000 ms keeps the parade out of the way.
struct BandTipCase {
    const char* name;
    uint32_t now;
    float tip; // max over i of sin(i) + the band's offset (+ 0.25 for the unmirrored band)
    float top;
    Rgb tipHalf;
    Rgb otherHalf;
};

class FormationBand : public Scenes, public ::testing::WithParamInterface<BandTipCase> {};

TEST_P(FormationBand, LiesWhereItsWaveAndOffsetPutItFacingItsWay) {
    const BandTipCase& c = GetParam();
    enterParadeEarly(3000);
    const Frame f = frame(c.now);
    const float tip = f.rightmost(-1, 0, -1, -0.2f, sprite());
    EXPECT_NEAR(tip, c.tip, 1.5f * PixelNdc);
    EXPECT_NEAR(f.topmost(-1, 0, -1, 0.5f, sprite()), c.top, 1.5f * PixelNdc);
    EXPECT_TRUE(f.any(tip - 0.1f, tip - 0.02f, -1, -0.2f, is(c.tipHalf)));
    EXPECT_FALSE(f.any(tip - 0.1f, tip - 0.02f, -1, -0.2f, is(c.otherHalf)));
}

INSTANTIATE_TEST_SUITE_P(
    Scenes, FormationBand,
    ::testing::Values(
        // u = 0.21, the band's offset u - 2.
        BandTipCase{"FirstFormationAsDrawn", 36000, -0.5401f, -0.2f, SpriteRight, SpriteLeft},
        // u = 3.562, the offset 2 - u; the first formation has left the screen.
        BandTipCase{"SecondFormationMirrored", 57362, -0.5621f, -0.4f, SpriteLeft, SpriteRight}),
    [](const ::testing::TestParamInfo<BandTipCase>& info) { return info.param.name; });

TEST_F(Scenes, SnowFlickersEachWithItsOwnCounter) {
    const std::pair<uint32_t, const char*> steps[] = {
        {57363, "data/snow2.tga"}, {57364, "data/snow3.tga"},  {57365, "data/snow.tga"},
        {57366, "data/snow2.tga"}, {100305, "data/snow2.tga"}, {100306, "data/snow3.tga"},
        {100307, "data/snow.tga"}, {100308, "data/snow2.tga"}, {100309, "data/snow3.tga"},
    };
    for (const auto& [now, picture] : steps) {
        const Frame f = frame(now);
        EXPECT_TRUE(is(pack(picture))(f.at(0, 0))) << "clock " << now << ": want " << picture;
    }
    EXPECT_EQ(scene4FlickerCount, 4);
    EXPECT_EQ(scene11FlickerCount, 5);
}

TEST_F(Scenes, ScenesAbove19DrawNothing) {
    frame(1000);
    drawScene(20, 170000);
    drawScene(57, 170000);
    EXPECT_TRUE(is(pack("data/zvq.tga"))(Frame::grab().at(0, 0)));
}

// The same clock values after the same frames give the same pictures, bit for bit.
TEST_F(Scenes, FramesRepeatExactlyAfterTheSameFrames) {
    const uint32_t clocks[] = {17486,  30000,  36000,  45000,  57000,  57363,
                               57364,  100305, 106424, 107001, 120000, 123001,
                               126000, 141001, 142000, 149001, 150000, 156001};
    std::vector<Frame> first;
    for (uint32_t now : clocks) {
        first.push_back(frame(now));
    }
    resetShowState();
    for (size_t i = 0; i < std::size(clocks); ++i) {
        EXPECT_TRUE(frame(clocks[i]) == first[i]) << "clock " << clocks[i];
    }
}

} // namespace
} // namespace scenetest
