// The sandbox's keys on the running universe. Every edit goes into the
// universe's history and is followed by its maps and spheres; the numbers are
// core/sim/Edits'. Not here: the merges themselves, which the scene's tick
// makes after every step, and which body is selected (Application says).
#include "app/Sandbox.h"

#include <cstdio>
#include <cstring>

#include "app/Application.h"
#include "core/app/Camera.h"
#include "core/app/MainLoop.h"
#include "core/sim/Edits.h"
#include "platform/Platform.h"
#include "sim/Universe.h"

namespace {

// Once per press, as the application's own keys.
bool PressedOnce(Uint8* keys, int key) {
    if (!keys[key]) return false;
    keys[key] = 0;
    return true;
}

// Where the frame body is drawn, as the camera rides with it; zeros for the
// absolute frame.
void FrameOrigin(const Application& app, double origin[3]) {
    origin[0] = origin[1] = origin[2] = 0;
    if (app.frameBody != SkySlot && app.universe) app.universe->ViewPlace(app.frameBody, origin);
}

// The camera's place in the universe and its line of sight.
void CameraLine(const Application& app, double camera[3], double forward[3]) {
    FrameOrigin(app, camera);
    camera[0] += app.camX, camera[1] += app.camY, camera[2] += app.camZ;
    CameraForward(CameraPose{app.camX, app.camY, app.camZ, app.pitch, app.yaw, app.roll}, forward);
}

// A body gone from under the camera leaves it where it was, in the absolute
// frame; `origin` is where the body stood before.
void KeepFrame(Application& app, const double origin[3]) {
    if (app.frameBody == SkySlot || BodyInUse(app.universe->bodies[app.frameBody])) return;
    app.camX += origin[0];
    app.camY += origin[1];
    app.camZ += origin[2];
    app.frameBody = SkySlot;
}

int MapThere(const char* path, void* /*context*/) { return PathTaken(path); }

double HeldSeconds(int ticks) { return static_cast<double>(ticks) / TicksPerSecond; }

}  // namespace

Sandbox::Sandbox() : insertTicks(0), editsBefore(0) { std::memset(frameOrigin, 0, sizeof frameOrigin); }

void Sandbox::ApplyKeys(Application& app, Uint8* keys) {
    Universe* u = app.universe;
    if (!u) return;
    double origin[3];
    FrameOrigin(app, origin);
    const int selected = app.SelectedBody();
    int changed = 0;
    if (PressedOnce(keys, SDLK_RIGHTBRACKET)) changed |= Weigh(*u, selected, 2, &u->history);
    if (PressedOnce(keys, SDLK_LEFTBRACKET)) changed |= Weigh(*u, selected, 0.5, &u->history);
    if (PressedOnce(keys, SDLK_DELETE)) changed |= Remove(*u, selected, &u->history);
    if (PressedOnce(keys, SDLK_BACKSPACE)) changed |= u->history.Undo(*u);
    if (changed) Edited(app, origin);
    // Insert acts when it is let go, so that the hold can say how hard.
    if (keys[SDLK_INSERT]) {
        ++insertTicks;
    } else if (insertTicks > 0) {
        Insert(app);
        insertTicks = 0;
    }
}

void Sandbox::Edited(Application& app, const double origin[3]) {
    app.universe->FollowBodies();
    ++app.universe->edits;
    KeepFrame(app, origin);
}

void Sandbox::Insert(Application& app) {
    Universe& u = *app.universe;
    if (!FreeSlotForAdd(u)) {
        char text[128], shown[256];
        std::snprintf(text, sizeof text, "Vesmir je plny: pojme nejvic %d teles.", UniverseSlots - 1);
        std::snprintf(shown, sizeof shown, Translate("Vesmir je plny: pojme nejvic %d teles."), UniverseSlots - 1);
        ShowMessageBoxAs("Nelze pridat teleso", text, Translate("Nelze pridat teleso"), shown, MessageIconNone);
        return;
    }
    double camera[3], forward[3];
    CameraLine(app, camera, forward);
    if (!Throw(u, camera, forward, app.hyperspeed, HeldSeconds(insertTicks), app.frameBody, &u.history, MapThere,
               nullptr))
        return;
    u.FollowBodies();
    ++u.edits;
}

void Sandbox::BeforeTick(const Application& app) {
    FrameOrigin(app, frameOrigin);
    editsBefore = app.universe ? app.universe->edits : 0;
}

void Sandbox::AfterTick(Application& app) {
    if (app.universe && app.universe->edits != editsBefore) KeepFrame(app, frameOrigin);
}

int Sandbox::ThrowLine(const Application& app, char* out, size_t size) const {
    if (!insertTicks || !app.universe || size == 0) return 0;
    const UniverseModel& u = *app.universe;
    double camera[3], forward[3];
    CameraLine(app, camera, forward);
    // The frame Throw takes: the body ridden with, else the Sun; the speed
    // is the throw's own, on top of the frame's motion.
    const int frame = app.frameBody >= FirstSimulatedSlot && app.frameBody < UniverseSlots &&
                              BodyInUse(u.bodies[app.frameBody])
                          ? app.frameBody
                          : SunSlot;
    const Body& f = u.bodies[frame];
    const double at[3] = {f.x, f.y, f.z}, still[3] = {0, 0, 0};
    ThrowAim aim;
    AimThrow(camera, forward, app.hyperspeed, HeldSeconds(insertTicks), at, still, f.hmotnost, u.kapa, &aim);
    const int n = std::snprintf(out, size, Translate("hod: rychlost %.3g, unikova %.3g"), aim.speed, aim.escapeSpeed);
    if (n < 0) return 0;
    return static_cast<size_t>(n) < size ? n : static_cast<int>(size - 1);
}
