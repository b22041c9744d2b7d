// The fixed-step loop, apart from SDL so that a test can drive it with a clock
// of its own: 10 ms ticks, catch-up without bound, at most one frame per pass.
#ifndef ORRERY_APP_MAINLOOP_H
#define ORRERY_APP_MAINLOOP_H

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
};

void RunMainLoop(LoopHost& host);

// True when clock `now` is past `mark`, also across the wrap of the 32-bit counter.
inline bool ClockIsPast(uint32_t now, uint32_t mark) {
    return static_cast<int32_t>(now - mark) > 0;
}

#endif
