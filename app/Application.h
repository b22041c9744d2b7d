// The program's one top-level object: SDL window, renderer, scene, camera and
// the user's switches. Start-up and shutdown, the fixed-step loop, the work of
// one tick and the drawing of one frame all act on these fields.
#ifndef ORRERY_APP_APPLICATION_H
#define ORRERY_APP_APPLICATION_H

#include <SDL.h>
#include <cstdint>

#include "app/Inspect.h"
#include "app/Sandbox.h"
#include "core/app/WarpedPointer.h"
#include "core/sim/Trails.h"
#include "gfx/GlRenderer.h"

class SceneObject;
class Universe;
class UniverseModel;

class Application {
public:
    SDL_Surface* screen;
    GlRenderer renderer;
    int32_t quit;
    int32_t showHelp;
    Uint8* keys;
    SceneObject* scenes[1];
    Universe* universe;
    int32_t frameBody;
    int32_t lighting;
    int32_t blending;
    double camX, camY, camZ;
    double pitch, yaw, roll;
    double hyperspeed;

    // Beyond the keys above: the real solar system for this Julian day (UT)
    // at start instead of the built-in one (0: the built-in one); the info
    // line (i); orbit trails (t); a picture of the window due (F12).
    double startDate;
    int32_t showInfo;
    int32_t showTrails;
    int32_t pictureDue;
    Trails trails;
    uint32_t trailsGeneration;
    // What the user looks at: the selection (Tab, a click), its panel, the
    // orbits (o) and the flight to it (g).
    Inspector inspect;
    // A universe to start from instead of the built-in one (--load); it is
    // copied at start-up and must live until Init returns.
    const UniverseModel* startUniverse;
    // From configure.txt's "sleep": wait for the next tick instead of polling.
    int32_t sleepWhenIdle;
    // The translations' catalogs for configure.txt's "translate 1"; null:
    // found from where the program lies (build/locale beside build/orrery,
    // or share/locale of the installation). Must live until Init returns.
    const char* catalogFolder;

    // The video mode: the window's size from configure.txt, the colour depth
    // and flags without SDL_FULLSCREEN, and whether the program is in full
    // screen, which takes the size of the screen (desktopWidth x
    // desktopHeight, 0 when SDL does not know it: then the window's).
    int32_t windowWidth, windowHeight;
    int32_t colourDepth;
    uint32_t videoFlags;
    int32_t fullScreen;
    int32_t desktopWidth, desktopHeight;
    // The window's pixels now, and the viewport given to the renderer.
    int32_t pixelWidth, pixelHeight;
    int32_t viewWidth, viewHeight;
    // The viewport the window opened with. In it the text stands where it
    // always has, whatever its shape; only a view the window manager or F11
    // made keeps the text to its corners.
    int32_t startViewWidth, startViewHeight;
    // From configure.txt: "resizable" (the window manager may resize the
    // window) and "fps" (at most this many frames a second, 1..100).
    int32_t resizable;
    int32_t framesPerSecond;
    // The keys that weigh, remove, add, throw and undo (app/Sandbox.h).
    Sandbox sandbox;

    // Touches neither SDL nor GL.
    Application();
    ~Application();

    int Init();
    int Run();
    void Update();
    void Render();

    // The parts of one tick, apart so that tests can feed them directly.
    void HandleEvent(const SDL_Event& event);
    // The application's own keys, then the scene's.
    void HandleKeys(Uint8* keyState);
    // The application's own keys only.
    void ApplyKeys(Uint8* keyState);

    // Sets the viewport and projection for width x height pixels.
    void SetView(int width, int height);
    // F11: full screen, at the screen's size, or back to the window. 1 when
    // the switch was made; 0 leaves the mode as it was.
    int ToggleFullScreen();
    // The window manager made the window width x height pixels.
    void WindowResized(int width, int height);
    // After a new video mode: the GL context's textures, display lists and
    // font made again if the mode change took them (no SDL 1.2 on X11 that
    // this program was tried on does, but the interface allows it). 1 when
    // they had to be made again.
    int RestoreGlIfLost();
    // Where screen text at x (-1 .. 1, as in a 4:3 view) goes in this view:
    // as many pixels from the nearer side edge as in a 4:3 view of the same
    // height, so that it keeps to its corner of a wider or narrower one. In
    // the window as configured (not full screen, not resized) x as it is.
    float TextX(float x) const;
    // The body the sandbox's keys act on: the one Tab or a click selected,
    // else the one the camera rides with (the Sun included), else -1.
    int SelectedBody() const;

private:
    // Keys pressed and released again within one poll of the event queue.
    enum { MaxTaps = 32 };
    Uint8 downThisPoll[SDLK_LAST];
    int taps[MaxTaps];
    int tapCount;
    // Presses beyond the first of a key within one poll (a slow frame and
    // quick taps), each shown to one of the following ticks.
    Uint8 queuedPresses[SDLK_LAST];
    int queuedTotal;

    // Mouse motion and keys act only while the window has the input focus.
    int32_t hasFocus;
    // Left Alt is also the first half of the window manager's Alt+Tab: a
    // press still held, or released only moments before, when the focus goes
    // is taken back.
    enum { AltUndoTicks = 50 };
    int32_t altHeld;
    int32_t altUndoTicks;
    double hyperspeedBeforeAlt;
    double hyperspeedAfterAlt;

    void ChangeFrame(int step);
    // Where the body the camera rides with is drawn (zeros for the absolute frame).
    void FrameOrigin(double origin[3]) const;
    void JumpToBody(int n);
    void AddFramePosition(double sign);
    void FollowTrails();
    // The flight's tick: the camera where the flight takes it.
    void FlyOn();
    CameraPose Pose() const { return CameraPose{camX, camY, camZ, pitch, yaw, roll}; }
    void PrintInfoLine();
    void SavePicture();
    void TakeGrab();
    void LoseFocus();
    void RecentrePointer();
    // Sets the video mode for a window or full screen; 1 on success.
    int SetVideoMode(int full, int width, int height);

    // On the classic SDL 1.2 library the camera turns by the pointer's
    // positions, and the pointer is brought back to the centre after every
    // tick (WarpedPointer); sdl12-compat's relative motion needs none of it.
    int32_t classicSdl;
    int32_t pointerWarped;
    WarpedPointer pointer;
    // Tells the trails after every step of a tick.
    TrailsRecorder trailsRecorder;
};

// The lines of the help screen as the program writes them (each its own
// message id), from the top: the text of line `index` with its height on the
// screen, or null past the last line.
const char* HelpScreenLine(int index, float* y);

// Decade of a positive value, nudged a tenth away from zero so that powers of
// ten reached by repeated multiplication show their exact exponent.
int32_t RoundedLog10(double value);

#endif
