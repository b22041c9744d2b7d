// The fixed-step loop driven by a clock the test controls: how many ticks run
// before each frame, when the caption changes, what a counter wrap does, and
// what resting between ticks changes (nothing but the polling).
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "core/app/MainLoop.h"

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
    int clockReads = 0;
    std::vector<uint32_t> waits;

    uint32_t Ticks() override {
        ++clockReads;
        now += readCost;
        return now;
    }
    void Wait(uint32_t ms) override {
        waits.push_back(ms);
        now += ms;
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

// Every clock read costs the fake time, and resting reads once more per pass,
// so the two loops see slightly shifted clocks: the comparison allows for one
// frame a second either way, and the frames leave room for those reads.
TEST(MainLoopSleep, RestingKeepsTheTicksFramesAndCaptionsOfPolling) {
    const struct {
        uint32_t frameCost;
        uint32_t readCost;
    } cases[] = {{0, 1}, {2, 1}, {6, 1}, {2, 2}, {35, 1}, {35, 0}};
    for (const auto& c : cases) {
        SCOPED_TRACE("frame " + std::to_string(c.frameCost) + " ms, clock read " + std::to_string(c.readCost) + " ms");
        FakeHost poll, rest;
        for (FakeHost* h : {&poll, &rest}) {
            h->frameCost = c.frameCost;
            h->readCost = c.readCost;
            h->maxFrames = 400;
        }
        RunMainLoop(poll);
        RunMainLoop(rest, 1);
        EXPECT_TRUE(poll.waits.empty()) << "without sleep the loop never waits";
        // One tick per 10 ms of clock either way; the last frame is not yet ticked.
        EXPECT_NEAR(poll.now / 10.0, poll.ticks, 1.0 + c.frameCost / 10.0);
        EXPECT_NEAR(rest.now / 10.0, rest.ticks, 1.0 + c.frameCost / 10.0);
        ASSERT_GE(rest.captions.size(), 3u);
        ASSERT_GE(poll.captions.size(), 3u);
        for (size_t i = 1; i < std::min(poll.captions.size(), rest.captions.size()) - 1; ++i) {
            int polled = 0, rested = 0;
            ASSERT_EQ(1, std::sscanf(poll.captions[i].c_str(), "fps: %d", &polled));
            ASSERT_EQ(1, std::sscanf(rest.captions[i].c_str(), "fps: %d", &rested));
            EXPECT_NEAR(polled, rested, 1) << "second " << i;
        }
        if (c.frameCost >= TickMilliseconds) {
            EXPECT_TRUE(rest.waits.empty()) << "a loop that is never early never rests";
        }
        // Resting reads the clock a few times per tick, polling as often as it can.
        EXPECT_LE(rest.clockReads, 4 * rest.ticks + 8);
    }
}

TEST(MainLoopSleep, WaitsExactlyTheTimeLeftSoEveryWakeUpRunsATick) {
    FakeHost host;
    host.readCost = 0;
    host.frameCost = 3;
    host.maxFrames = 300;
    RunMainLoop(host, 1);
    // A tick falls due 1 ms past tickTime: 10 ms per tick, of which 3 drew the frame.
    ASSERT_GE(host.waits.size(), 290u);
    for (size_t i = 1; i < host.waits.size(); ++i) EXPECT_EQ(7u, host.waits[i]) << "wait " << i;
    EXPECT_EQ(host.waits.size(), static_cast<size_t>(host.ticks));
    EXPECT_EQ("fps: 100 (100)", host.captions.at(1));
}

// A frame cap thins the frames out evenly and leaves the ticks alone; frames
// too slow for the cap come as often as without it.
TEST(MainLoopFrameCap, FewerFramesEvenlyAndTheSameTicks) {
    const struct {
        int fps;
        uint32_t frameCost;
    } cases[] = {{100, 2}, {60, 2}, {30, 2}, {1, 2}, {30, 50}, {60, 35}};
    auto run = [](int fps, uint32_t frameCost, int rest) {
        FakeHost host;
        host.frameCost = frameCost;
        host.maxFrames = 1000000;
        host.onTick = [](FakeHost& h) {
            if (h.ticks == 1000) h.quit = 1;
        };
        RunMainLoop(host, rest, fps);
        return host;
    };
    auto shown = [](const FakeHost& h, size_t i) {
        int n = -1;
        EXPECT_EQ(1, std::sscanf(h.captions.at(i).c_str(), "fps: %d (100)", &n)) << h.captions.at(i);
        return n;
    };
    for (const auto& c : cases) {
        SCOPED_TRACE("fps " + std::to_string(c.fps) + ", frames of " + std::to_string(c.frameCost) + " ms");
        for (int rest : {0, 1}) {
            const FakeHost capped = run(c.fps, c.frameCost, rest);
            const FakeHost full = run(100, c.frameCost, rest);
            EXPECT_NEAR(capped.now / 10.0, capped.ticks, 1.0 + c.frameCost / 10.0) << "rest " << rest;
            ASSERT_GE(capped.captions.size(), 9u);
            ASSERT_GE(full.captions.size(), 9u);
            for (size_t i = 1; i < 8; ++i) {
                const int expected = std::min(c.fps, shown(full, i));
                EXPECT_NEAR(expected, shown(capped, i), c.frameCost < 10 ? 0 : 1) << "second " << i << ", rest " << rest;
            }
            if (c.frameCost < 10) {
                // Evenly: never more than one tick away from the mean.
                const double mean = 100.0 / c.fps;
                for (size_t i = 2; i < capped.ticksBeforeFrame.size(); ++i)
                    EXPECT_NEAR(mean, capped.ticksBeforeFrame[i], 1.0) << "frame " << i << ", rest " << rest;
            }
        }
    }
}

TEST(MainLoopFrameCap, AStallOwesNoBurstOfFrames) {
    FakeHost host;
    host.frameCost = 1;
    host.maxFrames = 100;
    bool stalled = false;
    host.onTick = [&stalled](FakeHost& h) {
        if (!stalled && h.ticks == 50) {
            stalled = true;
            h.now += 2000;
        }
    };
    RunMainLoop(host, 0, 30);
    // After the 200 ticks of catching up, one frame, then the frame and the
    // fraction still owed paid within three frames, then three or four ticks
    // apart again.
    size_t afterStall = 0;
    for (size_t i = 0; i < host.ticksBeforeFrame.size(); ++i)
        if (host.ticksBeforeFrame[i] >= 199) afterStall = i;
    ASSERT_GT(afterStall, 0u);
    ASSERT_LT(afterStall + 10, host.ticksBeforeFrame.size());
    int early = 0;
    for (size_t i = afterStall + 1; i < host.ticksBeforeFrame.size(); ++i) {
        if (host.ticksBeforeFrame[i] < 3) {
            ++early;
            EXPECT_LT(i, afterStall + 4) << "frame " << i << " came early long after the stall";
        }
    }
    EXPECT_LE(early, 3) << "frames in a burst after the stall";
}

// A loop that wakes up late now and then (a loaded machine) keeps its frames.
TEST(MainLoopFrameCap, LateWakeUpsCostNoFrames) {
    for (int fps : {30, 60}) {
        FakeHost host;
        host.readCost = 0;
        host.frameCost = 2;
        host.maxFrames = 1000000;
        int wakes = 0;
        host.onTick = [&wakes](FakeHost& h) {
            if (++wakes % 7 == 0) h.now += 15;  // every seventh tick is 15 ms late
            if (h.ticks == 2000) h.quit = 1;
        };
        RunMainLoop(host, 1, fps);
        EXPECT_NEAR(fps * 20, host.frames, 2) << "fps " << fps << ", 20 seconds of ticks";
    }
}
