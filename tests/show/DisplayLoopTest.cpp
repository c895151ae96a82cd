// The real display and the real frame loop, headless: key codes from SDL's queue, and showMain
// driven by a scripted clock that pushes key events between frames. Each test runs in a process
// of its own (CTest runs every discovered test separately), so each opens its own display.
#include "platform/Display.h"
#include "platform/ShowClock.h"
#include "show/Show.h"

#include "TestPack.h"

#include <gtest/gtest.h>

#include <functional>
#include <vector>

namespace {

TEST(DisplayPoll, ExposesKeyCodesOfKeyDownAndUpAndZeroOtherwise) {
    createHiddenDisplay(32, 32);
    // Window events from opening come first; they all read as 0.
    for (int i = 0; i < 200; ++i) {
        ASSERT_EQ(pollDisplayKey(), 0);
    }
    const int keys[] = {27, 13, 32, 'a'};
    for (int key : keys) {
        pushDisplayKeyEvent(key, true);
        pushDisplayKeyEvent(key, false);
    }
    pushDisplayOtherEvent();
    std::vector<int> seen;
    for (int i = 0; i < 11; ++i) {
        seen.push_back(pollDisplayKey());
    }
    EXPECT_EQ(seen, (std::vector<int>{27, 27, 13, 13, 32, 32, 'a', 'a', 0, 0, 0}));
}

TEST(DisplayPoll, TakesOneEventPerCall) {
    createHiddenDisplay(32, 32);
    for (int i = 0; i < 200; ++i) {
        pollDisplayKey();
    }
    pushDisplayKeyEvent(13, true);
    pushDisplayKeyEvent(13, false);
    EXPECT_EQ(pollDisplayKey(), 13);
    EXPECT_EQ(pollDisplayKey(), 13);
    EXPECT_EQ(pollDisplayKey(), 0);
}

TEST(DisplaySurface, DrawableMatchesTheRequestedSize) {
    createHiddenDisplay(48, 40);
    EXPECT_EQ(displayWidth(), 48);
    EXPECT_EQ(displayHeight(), 40);
    EXPECT_NE(getDisplayDC(), nullptr);
}

// A clock that runs a script: frame n reads times[n] (the last one repeats) and, before
// returning, runs the action for that frame, which may push key events for the poll to take.
struct ScriptedClock {
    std::vector<uint32_t> times;
    std::function<void(size_t frame)> action;
    std::vector<int32_t> sceneAtRead;
    size_t reads = 0;
};
ScriptedClock* script = nullptr;

// The window's own events (shown, exposed, focus) arrive during the first frames; each frame
// takes at most one event, so take them out of the way before a frame's scripted keys go in.
void drainWindowEvents() {
    for (int i = 0; i < 100; ++i) {
        pollDisplayKey();
    }
}

uint32_t scriptedClock() {
    // Reads before the display opens belong to start-up (the sound layer stamps the music's
    // start), not to a frame.
    if (getDisplayDC() == nullptr) {
        return script->times.front();
    }
    size_t frame = script->reads++;
    script->sceneAtRead.push_back(currentScene);
    if (script->action) {
        script->action(frame);
    }
    return script->times[std::min(frame, script->times.size() - 1)];
}

class ShowLoop : public ::testing::Test {
  protected:
    void SetUp() override {
        testsupport::writeTestPack(dir.path());
        resetTimeline();
    }
    int run(ScriptedClock& clock) {
        script = &clock;
        setShowClockSource(scriptedClock);
        testsupport::ScopedChdir in(dir.path());
        int result = showMain();
        setShowClockSource(nullptr);
        return result;
    }
    testsupport::TempDir dir;
};

TEST_F(ShowLoop, EscEndsTheShowAfterTheFrameThatTookIt) {
    ScriptedClock clock;
    clock.times = {10, 20, 30, 40, 50, 60};
    clock.action = [](size_t frame) {
        drainWindowEvents();
        if (frame == 2) {
            pushDisplayKeyEvent(27, true);
        }
    };
    EXPECT_EQ(run(clock), 0);
    EXPECT_EQ(clock.reads, 3u);
    EXPECT_TRUE(quitRequested);
    EXPECT_EQ(currentScene, 0);
}

TEST_F(ShowLoop, EnterPressesStepThroughScenesAndTheTimelineEndsItself) {
    ScriptedClock clock;
    // Four frames inside scene 0 with two Enter presses, then time runs out.
    clock.times = {100, 200, 300, 400, 500, 165001};
    clock.action = [](size_t frame) {
        drainWindowEvents();
        if (frame <= 3) {
            pushDisplayKeyEvent(13, frame % 2 == 0);
        }
    };
    EXPECT_EQ(run(clock), 0);
    // Scene as seen at each clock read: a press acts on its key-up, so each scene lasts two
    // frames. Scene 2's cue stamps its start with one more read, hence the trailing 2s are not
    // counted.
    ASSERT_GE(clock.sceneAtRead.size(), 6u);
    EXPECT_EQ(std::vector<int32_t>(clock.sceneAtRead.begin(), clock.sceneAtRead.begin() + 5),
              (std::vector<int32_t>{0, 0, 1, 1, 2}));
    EXPECT_EQ(clock.sceneAtRead.back(), 2);
    EXPECT_EQ(currentScene, 20);
    EXPECT_TRUE(quitRequested);
}

TEST_F(ShowLoop, SpacePrintsAFreshClockValue) {
    ScriptedClock clock;
    clock.times = {100, 200, 7777, 165001};
    clock.action = [](size_t frame) {
        drainWindowEvents();
        if (frame <= 1) {
            pushDisplayKeyEvent(32, frame == 0);
        }
    };
    testing::internal::CaptureStdout();
    EXPECT_EQ(run(clock), 0);
    std::string out = testing::internal::GetCapturedStdout();
    // The key-up acts in frame 1; the printed value is a clock read of its own (7777), not the
    // frame's 200. Frame 2 then reads 165001 and the show ends.
    EXPECT_EQ(out, "7777\n");
    EXPECT_EQ(clock.reads, 4u);
}

} // namespace
