// The sandbox's keys in the window: ] and [ weigh the selected body, Delete
// removes it, Insert adds a body ahead of the camera or, held, throws it, and
// Backspace undoes. The arithmetic is core/sim/Edits'; here are the keys, the
// camera, the hold's clock and the frame, which never rides with a body gone.
#ifndef ORRERY_APP_SANDBOX_H
#define ORRERY_APP_SANDBOX_H

#include <SDL.h>
#include <cstddef>
#include <cstdint>

class Application;

class Sandbox {
public:
    Sandbox();

    // The keys of one tick, after the camera's: per-press keys are cleared,
    // Insert acts when it is let go.
    void ApplyKeys(Application& app, Uint8* keys);
    // Around the scene's tick, whose steps may merge the body the camera
    // rides with into another: the frame then goes back to the absolute one
    // with the camera where it was.
    void BeforeTick(const Application& app);
    void AfterTick(Application& app);
    // While Insert is held, the line the screen shows: how fast the body
    // would leave now and the escape speed it grows towards. 0 otherwise.
    int ThrowLine(const Application& app, char* out, size_t size) const;

    // Ticks Insert has been held; 0 while it is up.
    int32_t insertTicks;

private:
    double frameOrigin[3];
    uint32_t editsBefore;

    void Edited(Application& app, const double origin[3]);
    void Insert(Application& app);
};

#endif
