// Ticks run against the clock with no upper bound on catch-up, so the
// simulation keeps 100 steps per wall-clock second whatever drawing costs;
// a frame follows every run of ticks. Unless asked to rest, the loop polls and
// never sleeps; resting changes only what happens between passes.
#include "core/app/MainLoop.h"

#include <cstdio>

void RunMainLoop(LoopHost& host, int sleepWhenIdle) {
    int redraw = 1;
    int32_t frameCount = 0;
    uint32_t lastSecond = 0;
    uint32_t tickTime = host.Ticks();

    while (!host.QuitRequested()) {
        // Compared by signed difference so the 49.7-day wrap of SDL's
        // millisecond counter is just another tick.
        if (ClockIsPast(host.Ticks(), tickTime)) {
            redraw = 1;
            do {
                host.Tick();
                tickTime += TickMilliseconds;
            } while (ClockIsPast(host.Ticks(), tickTime));
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
