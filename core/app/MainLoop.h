// The fixed-step loop, apart from SDL so that a test can drive it with a clock
// of its own: 10 ms ticks, catch-up without bound, at most one frame per pass
// and, if asked, fewer frames a second than ticks; on request a rest between
// passes instead of polling.
#ifndef ORRERY_CORE_APP_MAINLOOP_H
#define ORRERY_CORE_APP_MAINLOOP_H

#include <cstdint>

enum { TickMilliseconds = 10, TicksPerSecond = 100 };

class LoopHost {
public:
    virtual ~LoopHost() {}
    virtual uint32_t Ticks() = 0;              // milliseconds, wrapping at 2^32
    virtual int QuitRequested() = 0;
    virtual void Tick() = 0;                   // one Application::Update
    virtual void Frame() = 0;                  // one Application::Render
    virtual void SetCaption(const char* caption) = 0;
    // Gives the processor away for about this long (1..10 ms); only called
    // when RunMainLoop is asked to rest.
    virtual void Wait(uint32_t milliseconds) { (void)milliseconds; }
};

// sleepWhenIdle 0 polls the clock without pause, as the loop always has; 1
// waits out the time left before the next tick once a pass has nothing to do.
// framesPerSecond below TicksPerSecond draws that many frames per 100 ticks
// at most, spread evenly; the ticks are the same either way.
void RunMainLoop(LoopHost& host, int sleepWhenIdle = 0, int framesPerSecond = TicksPerSecond);

// True when clock `now` is past `mark`, also across the wrap of the 32-bit counter.
inline bool ClockIsPast(uint32_t now, uint32_t mark) {
    return static_cast<int32_t>(now - mark) > 0;
}

#endif
