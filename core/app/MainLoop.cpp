// Ticks run against the clock with no upper bound on catch-up, so the
// simulation keeps 100 steps per wall-clock second whatever drawing costs;
// a frame follows every run of ticks. Unless asked to rest, the loop polls and
// never sleeps; resting changes only what happens between passes.
#include "core/app/MainLoop.h"

#include <cstdio>

void RunMainLoop(LoopHost& host, int sleepWhenIdle, int framesPerSecond) {
    if (framesPerSecond < 1) framesPerSecond = 1;
    if (framesPerSecond > TicksPerSecond) framesPerSecond = TicksPerSecond;
    int redraw = 1;
    int32_t frameCount = 0;
    uint32_t lastSecond = 0;
    uint32_t tickTime = host.Ticks();
    // Every tick earns framesPerSecond and a frame costs TicksPerSecond, so
    // that 100 ticks pay for framesPerSecond frames; at the full rate every
    // run of ticks pays for one, as it always has. The first frame is free.
    int frameCredit = TicksPerSecond;

    while (!host.QuitRequested()) {
        // Compared by signed difference so the 49.7-day wrap of SDL's
        // millisecond counter is just another tick.
        if (ClockIsPast(host.Ticks(), tickTime)) {
            do {
                host.Tick();
                tickTime += TickMilliseconds;
                if (frameCredit < 3 * TicksPerSecond) frameCredit += framesPerSecond;
            } while (ClockIsPast(host.Ticks(), tickTime));
            if (frameCredit >= TicksPerSecond) redraw = 1;
        }

        uint32_t second = tickTime / 1000;
        if (second != lastSecond) {
            char caption[64];
            std::snprintf(caption, sizeof caption, "fps: %d (%d)", frameCount, (int)TicksPerSecond);
            host.SetCaption(caption);
            lastSecond = second;
            frameCount = 0;
        }

        if (redraw) {
            redraw = 0;
            // A pass that ran late (a loaded machine wakes the loop a tick or
            // two late now and then) may leave one more frame owed, which the
            // next ticks pay; more than that is not owed, so a stall brings
            // no burst of frames.
            frameCredit -= TicksPerSecond;
            if (frameCredit >= 2 * TicksPerSecond) frameCredit = 2 * TicksPerSecond - 1;
            ++frameCount;
            host.Frame();
        }

        if (sleepWhenIdle) {
            // Ticks fall due once the clock is past tickTime, so one more
            // millisecond than the difference; an oversleep costs no tick,
            // since the next pass catches up on tickTime, not on the wake-up.
            const uint32_t now = host.Ticks();
            if (!ClockIsPast(now, tickTime)) {
                uint32_t left = tickTime - now + 1;
                if (left > TickMilliseconds) left = TickMilliseconds;
                host.Wait(left);
            }
        }
    }
}
