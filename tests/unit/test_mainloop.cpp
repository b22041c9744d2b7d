// The fixed-step loop driven by a clock the test controls: how many ticks run
// before each frame, when the caption changes, and what a counter wrap does.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "app/MainLoop.h"

namespace {

// Time passes only when the loop does something: each tick and each frame
// cost what the test says, and every clock read may add a little.
class FakeHost : public LoopHost {
public:
    uint32_t now = 0;
    uint32_t tickCost = 0;
    uint32_t frameCost = 0;
    uint32_t readCost = 1;
    int ticks = 0;
    int frames = 0;
    int quit = 0;
    int maxFrames = 1000;
    std::vector<int> ticksBeforeFrame;   // ticks run since the previous frame
    std::vector<std::string> captions;
    std::vector<uint32_t> captionTimes;
    std::function<void(FakeHost&)> onTick;
    int ticksSinceFrame = 0;

    uint32_t Ticks() override {
        now += readCost;
        return now;
    }
    int QuitRequested() override { return quit || frames >= maxFrames; }
    void Tick() override {
        ++ticks;
        ++ticksSinceFrame;
        now += tickCost;
        if (onTick) onTick(*this);
    }
    void Frame() override {
        ++frames;
        ticksBeforeFrame.push_back(ticksSinceFrame);
        ticksSinceFrame = 0;
        now += frameCost;
    }
    void SetCaption(const char* caption) override {
        captions.push_back(caption);
        captionTimes.push_back(now);
    }
};

}  // namespace

TEST(MainLoopFrames, FirstFrameIsDrawnBeforeAnyTick) {
    FakeHost host;
    host.readCost = 0;
    host.maxFrames = 1;
    RunMainLoop(host);
    ASSERT_EQ(1, host.frames);
    EXPECT_EQ(0, host.ticksBeforeFrame[0]);
}

TEST(MainLoopFrames, SlowFramesGetThreeOrFourTicksEachAndStillHundredPerSecond) {
    FakeHost host;
    host.frameCost = 35;
    host.readCost = 0;
    host.maxFrames = 300;
    RunMainLoop(host);
    for (size_t i = 2; i < host.ticksBeforeFrame.size(); ++i) {
        int n = host.ticksBeforeFrame[i];
        EXPECT_TRUE(n == 3 || n == 4) << "frame " << i << ": expected 3 or 4 ticks, got " << n;
    }
    // 100 ticks per second of clock time; the last frame's 35 ms are not yet ticked.
    double expected = host.now / 10.0;
    EXPECT_NEAR(expected, host.ticks, 4.0);
    // The caption reports about 1000 / 35 frames a second.
    ASSERT_GE(host.captions.size(), 3u);
    EXPECT_TRUE(host.captions[2] == "fps: 28 (100)" || host.captions[2] == "fps: 29 (100)")
        << "got " << host.captions[2];
}

TEST(MainLoopFrames, AStalledTickIsCaughtUpBackToBackBeforeTheNextFrame) {
    FakeHost host;
    host.readCost = 0;
    host.frameCost = 10;
    host.maxFrames = 20;
    bool stalled = false;
    host.onTick = [&stalled](FakeHost& h) {
        if (!stalled && h.ticks == 5) {
            stalled = true;
            h.now += 2000;
        }
    };
    RunMainLoop(host);
    int most = 0;
    for (int n : host.ticksBeforeFrame) most = std::max(most, n);
    EXPECT_GE(most, 199);
    EXPECT_LE(most, 202);
}

TEST(MainLoopFrames, AtMostOneFramePerPassAndOnlyAfterTicks) {
    FakeHost host;
    host.readCost = 1;
    host.maxFrames = 50;
    RunMainLoop(host);
    for (size_t i = 1; i < host.ticksBeforeFrame.size(); ++i)
        EXPECT_GE(host.ticksBeforeFrame[i], 1) << "frame " << i << " came without a tick";
}

TEST(MainLoopQuit, QuitSetInATickLetsThePassFinishWithOneMoreFrame) {
    FakeHost host;
    host.readCost = 0;
    host.frameCost = 25;
    host.onTick = [](FakeHost& h) {
        if (h.ticks == 10) h.quit = 1;
    };
    RunMainLoop(host);
    // The tick that saw Esc was followed by the rest of the due ticks and a frame.
    EXPECT_GE(host.ticks, 10);
    int framesAfterQuitTick = 0;
    int seen = 0;
    for (int n : host.ticksBeforeFrame) {
        seen += n;
        if (seen >= 10) ++framesAfterQuitTick;
    }
    EXPECT_EQ(1, framesAfterQuitTick);
}

TEST(MainLoopCaption, FirstSetWhenTickTimeReachesOneSecond) {
    FakeHost host;
    host.readCost = 0;
    host.frameCost = 10;
    host.maxFrames = 150;
    RunMainLoop(host);
    ASSERT_FALSE(host.captions.empty());
    EXPECT_GE(host.captionTimes[0], 1000u);
    EXPECT_LT(host.captionTimes[0], 1030u);
    // About one caption per second of clock time afterwards.
    EXPECT_NEAR(host.now / 1000.0, (double)host.captions.size(), 1.0);
}

TEST(MainLoopCaption, ClockAlreadyPastOneSecondSetsCaptionInFirstPassWithZeroFrames) {
    FakeHost host;
    host.now = 5000;
    host.maxFrames = 1;
    RunMainLoop(host);
    ASSERT_FALSE(host.captions.empty());
    EXPECT_EQ("fps: 0 (100)", host.captions[0]);
}

TEST(MainLoopWrap, TicksGoOnAcrossTheWrapOfTheMillisecondCounter) {
    FakeHost host;
    host.now = 0xFFFFFFFFu - 500;  // half a second before the wrap
    host.readCost = 0;
    host.frameCost = 10;
    host.maxFrames = 200;           // about two seconds of frames
    RunMainLoop(host);
    // Without wrap-safe comparisons the loop would either stop ticking after
    // the wrap or run billions of ticks in one pass.
    EXPECT_NEAR(200, host.ticks, 3);
    for (size_t i = 1; i < host.ticksBeforeFrame.size(); ++i)
        EXPECT_LE(host.ticksBeforeFrame[i], 2) << "frame " << i;
}

TEST(MainLoopWrap, SignedDifferenceComparesAcrossTheWrap) {
    EXPECT_TRUE(ClockIsPast(5u, 0xFFFFFFF0u));
    EXPECT_FALSE(ClockIsPast(0xFFFFFFF0u, 5u));
    EXPECT_FALSE(ClockIsPast(100u, 100u));
    EXPECT_TRUE(ClockIsPast(101u, 100u));
}
