// Start-up, shutdown, the work of one tick and the drawing of one frame.
// Start-up failures of SDL go to standard error; the others to a message box.
#include "app/Application.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <initializer_list>
#include <new>

#include "app/MessageBoxWindow.h"
#include "app/SdlWindow.h"
#include "core/app/Batch.h"
#include "core/app/Config.h"
#include "core/app/InfoLine.h"
#include "core/app/MainLoop.h"
#include "core/sim/Ephemeris.h"
#include "core/sim/Keys.h"
#include "gfx/Screenshot.h"
#include "platform/Platform.h"
#include "sim/TrailsDraw.h"
#include "sim/Universe.h"

static_assert((int)KeyKeypadMultiply == (int)SDLK_KP_MULTIPLY && (int)KeyKeypadMinus == (int)SDLK_KP_MINUS &&
                  (int)KeyKeypadPlus == (int)SDLK_KP_PLUS && (int)KeyF2 == (int)SDLK_F2 &&
                  (int)KeyF3 == (int)SDLK_F3 && (int)KeyF4 == (int)SDLK_F4,
              "the simulation's key numbers must be SDL 1.2's");
static_assert(SDL_OPENGL == 2u && (uint32_t)SDL_FULLSCREEN == ConfigFullscreenFlag,
              "configuration flags must be SDL 1.2's");

namespace {

// Degrees to radians with the single-precision factor the camera has always used.
const double kDegToRad = static_cast<float>(3.14159265358979323846 / 180.0);
const double kTurnStep = 0.8f;
// The frame without a body: the camera's position is absolute.
const int32_t kAbsoluteFrame = SkySlot;

// SDL 2 underneath falls back to its off-screen driver when there is no
// display, which would run the program in a window nobody can see or close.
// Unless the user asked for such a driver by name, that counts as no display.
int HasRealDisplay() {
    char name[32] = "";
    if (!SDL_VideoDriverName(name, sizeof name)) return 1;
    if (std::strcmp(name, "offscreen") != 0 && std::strcmp(name, "dummy") != 0) return 1;
    const char* asked = std::getenv("SDL_VIDEODRIVER");
    if (asked && std::strstr(asked, name)) return 1;
    SDL_Quit();
    SDL_SetError("no display to open a window on (is DISPLAY set?)");
    return 0;
}

void ShowError(const char* text) { ShowMessageBox("ERROR", text, MessageIconExclamation); }

// What the classic library's relative mode loses, the program makes itself
// (WarpedPointer): SDL is told to keep to plain positions unless the user
// chose otherwise. Called before SDL starts, which reads it later.
int TakePointerPositions() {
    if (!ClassicSdl()) return 0;
    const char* asked = SDL_getenv("SDL_MOUSE_RELATIVE");
    if (!asked) {
        SDL_putenv(const_cast<char*>("SDL_MOUSE_RELATIVE=0"));
        return 1;
    }
    return std::strcmp(asked, "0") == 0;
}

#ifndef ORRERY_CATALOGS_FROM_PROGRAM
#define ORRERY_CATALOGS_FROM_PROGRAM "../../share/locale"
#endif

// The catalogs beside the program in a build tree (build/locale), else where
// the installation keeps them from the program's folder, so that a moved
// installation still finds its own.
int FindCatalogs(char* out, size_t size) {
    char program[4096];
    if (!ProgramFolder(program, sizeof program)) return 0;
    for (const char* place : {"locale", ORRERY_CATALOGS_FROM_PROGRAM}) {
        const int n = place[0] == '/' ? std::snprintf(out, size, "%s", place)
                                      : std::snprintf(out, size, "%s/%s", program, place);
        if (n > 0 && static_cast<size_t>(n) < size && PathTaken(out)) return 1;
    }
    if (size) out[0] = '\0';
    return 0;
}

void StartCatalogs(const char* folder) {
    char found[4096];
    if (!folder) {
        if (!FindCatalogs(found, sizeof found)) {
            std::fprintf(stderr, "orrery: no translations beside the program; the texts stay as written\n");
            return;
        }
        folder = found;
    }
    if (!StartTranslations(folder)) std::fprintf(stderr, "orrery: cannot use the translations in %s\n", folder);
}

// Frames run from the absolute one to the last used slot, and at least to
// the built-in system's last planet, so that a smaller universe keeps the
// frames and the status line it always had.
int32_t HighestFrame(const UniverseModel* u) {
    const int32_t last = u ? UsedSlotEnd(u->bodies) - 1 : 0;
    return last > LastPlanetSlot ? last : static_cast<int32_t>(LastPlanetSlot);
}

double ClampPitch(double pitch) {
    if (pitch > 90) return 90;
    if (pitch < -90) return -90;
    return pitch;
}

// True once per press: the byte is cleared so that the key counts as released
// until SDL reports the next key-down.
bool Pressed(Uint8* keys, int key) {
    if (!keys[key]) return false;
    keys[key] = 0;
    return true;
}

}  // namespace

Application::Application()
    : screen(nullptr),
      quit(0),
      showHelp(0),
      keys(nullptr),
      universe(nullptr),
      frameBody(0),
      lighting(1),
      blending(0),
      camX(BatchCameraX),
      camY(BatchCameraY),
      camZ(BatchCameraZ),
      pitch(0),
      yaw(0),
      roll(0),
      hyperspeed(1.0),
      startDate(0),
      showInfo(0),
      showTrails(0),
      pictureDue(0),
      trailsGeneration(0),
      startUniverse(nullptr),
      sleepWhenIdle(0),
      catalogFolder(nullptr),
      windowWidth(0),
      windowHeight(0),
      colourDepth(0),
      videoFlags(SDL_OPENGL),
      fullScreen(0),
      desktopWidth(0),
      desktopHeight(0),
      pixelWidth(0),
      pixelHeight(0),
      viewWidth(0),
      viewHeight(0),
      startViewWidth(0),
      startViewHeight(0),
      resizable(0),
      framesPerSecond(TicksPerSecond),
      tapCount(0),
      queuedTotal(0),
      hasFocus(1),
      altHeld(0),
      altUndoTicks(0),
      hyperspeedBeforeAlt(1.0),
      hyperspeedAfterAlt(1.0),
      classicSdl(0),
      pointerWarped(0),
      trailsRecorder(&trails, 0, true) {
    scenes[0] = nullptr;
    std::memset(downThisPoll, 0, sizeof downThisPoll);
    std::memset(queuedPresses, 0, sizeof queuedPresses);
}

Application::~Application() {
    if (universe) delete static_cast<SceneObject*>(universe);
    universe = nullptr;
    scenes[0] = nullptr;
    SDL_ShowCursor(SDL_ENABLE);
    SDL_WM_GrabInput(SDL_GRAB_OFF);
    // The font lists go while the GL context still exists; after SDL_Quit
    // there is no context to delete them from.
    if (screen) renderer.ReleaseFont();
    TakeWindowFromMessageBoxes();
    SDL_Quit();
}

int Application::Init() {
    // Read before SDL starts, which takes some of its settings from the
    // environment only then; nothing of it needs SDL.
    StartupSettings settings;
    ReadConfigFile("configure.txt", &settings);

    // sdl12-compat draws an OpenGL program into a picture of the size of the
    // video mode and scales that to the window: a window the window manager
    // makes larger would go on showing the old picture, stretched, cut by the
    // larger viewport. A resizable window is drawn into directly. (Full
    // screen takes the screen's size, so the scaling is 1:1 there.) Where a
    // picture is scaled, relative motion is not: the camera turns by the
    // pixels the pointer moves, whatever the screen. Values the user set are
    // left alone.
    if (settings.resizable && !SDL_getenv("SDL12COMPAT_OPENGL_SCALING"))
        SDL_putenv(const_cast<char*>("SDL12COMPAT_OPENGL_SCALING=0"));
    if (!SDL_getenv("SDL_MOUSE_RELATIVE_SCALING")) SDL_putenv(const_cast<char*>("SDL_MOUSE_RELATIVE_SCALING=0"));
    classicSdl = ClassicSdl();
    pointerWarped = TakePointerPositions();
    // Without X the classic library falls back to drivers that have no
    // OpenGL (the frame buffer, text-mode ones that take over the terminal
    // before the video mode fails): X11 is the one it draws GL on here.
    if (classicSdl && !SDL_getenv("SDL_VIDEODRIVER")) SDL_putenv(const_cast<char*>("SDL_VIDEODRIVER=x11"));
    if (SDL_Init(SDL_INIT_TIMER | SDL_INIT_VIDEO) < 0 || !HasRealDisplay()) {
        std::fprintf(stderr, "Could not initialise SDL: %s\n", SDL_GetError());
        return 0;
    }
    std::atexit(SDL_Quit);

    SDL_WM_GrabInput(SDL_GRAB_ON);
    SDL_ShowCursor(SDL_DISABLE);
    SDL_WarpMouse(0, 0);

    sleepWhenIdle = settings.sleepWhenIdle;
    // Before anything that may show a box.
    if (settings.translate) StartCatalogs(catalogFolder);

    SDL_GL_SetAttribute(SDL_GL_RED_SIZE, 5);
    SDL_GL_SetAttribute(SDL_GL_GREEN_SIZE, 5);
    SDL_GL_SetAttribute(SDL_GL_BLUE_SIZE, 5);
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 16);
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);

    windowWidth = settings.windowWidth;
    windowHeight = settings.windowHeight;
    colourDepth = settings.colourDepth;
    fullScreen = (settings.videoFlags & SDL_FULLSCREEN) != 0;
    videoFlags = settings.videoFlags & ~static_cast<uint32_t>(SDL_FULLSCREEN);
    resizable = settings.resizable;
    if (resizable) videoFlags |= SDL_RESIZABLE;
    framesPerSecond = settings.framesPerSecond;
    // Before the first video mode this is the desktop's own. Full screen
    // takes it: a smaller mode shows, without a window manager, as a window
    // in the middle of the screen on the classic library and as a quarter of
    // the picture on sdl12-compat.
    if (const SDL_VideoInfo* info = SDL_GetVideoInfo()) {
        desktopWidth = info->current_w;
        desktopHeight = info->current_h;
    }
    if (!SetVideoMode(fullScreen, windowWidth, windowHeight)) {
        std::fprintf(stderr, "Couldn't set GL video mode: %s\n", SDL_GetError());
        SDL_Quit();
        return 0;
    }
#ifdef ORRERY_KEEP_LIBRARIES_LOADED
    KeepLoadedLibraries();
#endif
    ExitOnDisplayLoss();
    TakeGrab();

    SetView(settings.viewportWidth ? settings.viewportWidth : pixelWidth,
            settings.viewportHeight ? settings.viewportHeight : pixelHeight);
    startViewWidth = viewWidth;
    startViewHeight = viewHeight;

    renderer.fontSize = settings.fontSize;
    // The boxes' 12 pixels go with the 20 of the screen text.
    SetMessageBoxTextSize((settings.fontSize * 12 + 10) / 20);
    if (!renderer.InitGl()) {
        ShowError("Initialization of OGL Failed.");
        return 0;
    }
    renderer.SetLighting(lighting);
    renderer.SetBlending(blending);
    // hd 0 keeps the text lit like a material, as it always was.
    renderer.SetTextFullBright(settings.hd);

    scenes[0] = nullptr;
    universe = new (std::nothrow) Universe();
    scenes[0] = universe;
    if (!universe) {
        ShowError("Nepodarilo se vytvorit objekt");
        return 0;
    }
    // Checked for range when the option was read.
    if (startDate != 0) universe->MakeRealSystem(startDate);
    // As F3 would load it, but before the first textures are made.
    if (startUniverse) static_cast<UniverseModel&>(*universe) = *startUniverse;
    universe->hd = settings.hd;
    if (!scenes[0]->Init(&renderer, 2)) {
        ShowError("Chyba inicializace objektu");
        return 0;
    }
    return 1;
}

namespace {

class SdlLoopHost : public LoopHost {
public:
    explicit SdlLoopHost(Application& a) : app(a) {}
    uint32_t Ticks() override { return SDL_GetTicks(); }
    int QuitRequested() override { return app.quit; }
    void Tick() override { app.Update(); }
    void Frame() override { app.Render(); }
    void SetCaption(const char* caption) override { SDL_WM_SetCaption(caption, nullptr); }
    void Wait(uint32_t milliseconds) override { SDL_Delay(milliseconds); }

private:
    Application& app;
};

}  // namespace

// sdl12-compat keeps a grab asked for before the window existed as a mere
// wish: it reports the grab as on, yet the pointer is neither confined nor in
// relative mode, so it wanders off the window and the view stops turning at
// the window's (or the screen's) edge. Relative mode starts only when the grab
// or the cursor changes while the window exists, and in full screen the grab
// cannot be switched off at all, so both are switched off and on again. The
// same brings the grab back when the window gets the focus again.
void Application::TakeGrab() {
    SDL_ShowCursor(SDL_ENABLE);
    SDL_WM_GrabInput(SDL_GRAB_OFF);
    SDL_WM_GrabInput(SDL_GRAB_ON);
    SDL_ShowCursor(SDL_DISABLE);
    // The grab pulls a pointer that lay outside into the window, and the
    // classic library reports that jump as motion from wherever it last
    // thought the pointer was: it is no turn of the user's. That library
    // also grabs the keyboard, which would keep Alt+Tab from the window
    // manager.
    pointer.Forget();
    KeepKeyboardFree();
}

void Application::RecentrePointer() {
    int x, y;
    if (pointerWarped && hasFocus && screen && pointer.WarpDue(&x, &y))
        SDL_WarpMouse(static_cast<Uint16>(x), static_cast<Uint16>(y));
}

void Application::LoseFocus() {
    hasFocus = 0;
    // Alt+Tab: the Alt reached us and acted before the window manager took
    // the Tab. Its release comes with the loss of focus or, as SDL holds a
    // loss of focus back for a fifth of a second, a little before it.
    if (altUndoTicks > 0 && hyperspeed == hyperspeedAfterAlt) hyperspeed = hyperspeedBeforeAlt;
    altUndoTicks = 0;
    altHeld = 0;
    pointer.Forget();
    // sdl12-compat lets the pointer go by itself when another window takes
    // the focus; the classic library would keep it in this window.
    if (classicSdl && screen) SDL_WM_GrabInput(SDL_GRAB_OFF);
}

int Application::Run() {
    SdlLoopHost host(*this);
    // Fewer frames are for a quieter machine: polling the clock for them
    // would keep a core busy all the same.
    RunMainLoop(host, sleepWhenIdle || framesPerSecond < TicksPerSecond, framesPerSecond);
    return 0;
}

int Application::SetVideoMode(int full, int width, int height) {
    const int screenSize = full && desktopWidth > 0 && desktopHeight > 0;
    SDL_Surface* surface = SDL_SetVideoMode(screenSize ? desktopWidth : width, screenSize ? desktopHeight : height,
                                            colourDepth, videoFlags | (full ? SDL_FULLSCREEN : 0));
    if (!surface) return 0;
    screen = surface;
    pixelWidth = screen->w;
    pixelHeight = screen->h;
    pointer.SetWindow(pixelWidth, pixelHeight);
    LendWindowToMessageBoxes();
    return 1;
}

int Application::ToggleFullScreen() {
    if (!screen) return 0;
    const int want = !fullScreen;
    if (!SetVideoMode(want, windowWidth, windowHeight)) {
        std::fprintf(stderr, "orrery: could not switch to %s: %s\n", want ? "full screen" : "a window", SDL_GetError());
        // SDL 1.2 may have closed the old mode on the way: open it again.
        if (!SetVideoMode(fullScreen, windowWidth, windowHeight)) {
            std::fprintf(stderr, "orrery: could not set the video mode again: %s\n", SDL_GetError());
            screen = nullptr;
            quit = 1;
            return 0;
        }
    } else {
        fullScreen = want;
    }
    RestoreGlIfLost();
    SetView(pixelWidth, pixelHeight);
    // The classic library covers the screen with a window of its own.
    NativeWindow window;
    if (fullScreen && !classicSdl && SdlNativeWindow(&window)) PlaceFullScreenWindow(window);
    TakeGrab();
    return fullScreen == want;
}

void Application::WindowResized(int width, int height) {
    if (width <= 0 || height <= 0) return;
    if (!fullScreen) {
        windowWidth = width;
        windowHeight = height;
    }
    // sdl12-compat's GL surface follows the window by itself. The classic
    // library leaves it at the size of the last video mode, in a corner of
    // the larger window, until the mode is set again at the new size; only
    // for a window that is meant to be resized.
    if (classicSdl && resizable && screen && (screen->w != width || screen->h != height)) {
        if (SetVideoMode(fullScreen, width, height)) RestoreGlIfLost();
    }
    pixelWidth = width;
    pixelHeight = height;
    pointer.SetWindow(width, height);
    SetView(width, height);
}

int Application::RestoreGlIfLost() {
    if (!renderer.fontBase || renderer.HasFont()) return 0;
    // The names still held belong to the old context; the new one has none.
    renderer.fontBase = 0;
    renderer.ForgetObjects();
    if (!renderer.InitGl()) return 1;
    renderer.SetLighting(lighting);
    renderer.SetBlending(blending);
    if (universe) {
        universe->ReleaseGlResources();
        universe->Init(&renderer, 2);
    }
    return 1;
}

void Application::SetView(int width, int height) {
    viewWidth = width;
    viewHeight = height;
    renderer.Resize(width, height);
}

float Application::TextX(float x) const {
    // A 4:3 view, one not yet set, and the window as it opened keep the very
    // positions the text always had.
    if (viewWidth <= 0 || viewHeight <= 0 || int64_t(viewWidth) * 3 == int64_t(viewHeight) * 4 || x == 0) return x;
    if (!fullScreen && viewWidth == startViewWidth && viewHeight == startViewHeight) return x;
    // Half the view's width at the depth of screen text, in the units of x:
    // the renderer scales x by 0.55 and draws 1.001 in front, 45 degrees high.
    const double halfHeight = static_cast<double>(1.001f) * std::tan(22.5 * 3.14159265358979323846 / 180.0);
    const double scale = static_cast<double>(0.55f);
    const double aspect = static_cast<double>(viewWidth) / viewHeight;
    const double reference = 4.0 / 3.0;
    const double fraction = std::fabs(x) * scale / (halfHeight * reference);  // of the half width, 4:3
    const double moved = 1 - (1 - fraction) * reference / aspect;
    const double result = moved * halfHeight * aspect / scale;
    return static_cast<float>(x < 0 ? -result : result);
}

void Application::HandleEvent(const SDL_Event& event) {
    switch (event.type) {
    case SDL_MOUSEMOTION:
        // Relative motion comes from the device itself and keeps coming
        // while another window has the focus.
        if (!hasFocus) break;
        {
            int dx = event.motion.xrel, dy = event.motion.yrel;
            if (pointerWarped && !pointer.Motion(event.motion.x, event.motion.y, &dx, &dy)) break;
            yaw -= dx * (1.0 / 3.0);
            pitch = ClampPitch(pitch - dy * (1.0 / 3.0));
        }
        break;
    case SDL_MOUSEBUTTONDOWN:
        // The pointer is grabbed: a click means where the user aims, the centre.
        if (hasFocus && event.button.button == SDL_BUTTON_LEFT && universe)
            Inspector::SelectAtCentre(*universe, frameBody, Pose(), viewWidth, viewHeight);
        break;
    case SDL_KEYDOWN:
        if (event.key.keysym.sym > 0 && event.key.keysym.sym < SDLK_LAST) {
            int sym = event.key.keysym.sym;
            // A tick sees one press of a key: a further one waits for the next.
            if (downThisPoll[sym] && queuedPresses[sym] < 255) ++queuedPresses[sym], ++queuedTotal;
            downThisPoll[sym] = 1;
            if (sym == SDLK_LALT) altHeld = 1;
            for (int i = 0; i < tapCount; ++i) {
                if (taps[i] == sym) taps[i] = taps[--tapCount];
            }
        }
        break;
    case SDL_KEYUP:
        if (event.key.keysym.sym > 0 && event.key.keysym.sym < SDLK_LAST) {
            int sym = event.key.keysym.sym;
            if (downThisPoll[sym] && tapCount < MaxTaps) taps[tapCount++] = sym;
            if (sym == SDLK_LALT) altHeld = 0;
        }
        break;
    case SDL_QUIT:
        quit = 1;
        break;
    case SDL_VIDEORESIZE:
        WindowResized(event.resize.w, event.resize.h);
        break;
    case SDL_ACTIVEEVENT:
        // Only the keyboard focus counts: the pointer is confined to the
        // window while it has it, and an iconified window has lost it too.
        if (event.active.gain) {
            if ((event.active.state & SDL_APPINPUTFOCUS) && !hasFocus) {
                hasFocus = 1;
                if (screen) TakeGrab();
            }
        } else if (event.active.state & (SDL_APPINPUTFOCUS | SDL_APPACTIVE)) {
            LoseFocus();
        }
        break;
    default:
        break;
    }
}

void Application::Update() {
    std::memset(downThisPoll, 0, sizeof downThisPoll);
    SDL_Event event;
    while (SDL_PollEvent(&event)) HandleEvent(event);
    RecentrePointer();
    HandleKeys(SDL_GetKeyState(nullptr));
}

void Application::HandleKeys(Uint8* keyState) {
    if (!hasFocus) {
        // Keys go to another window now. What was down when the focus went
        // is up for us, whether or not SDL ever reports its release.
        std::memset(keyState, 0, SDLK_LAST);
        tapCount = 0;
        std::memset(queuedPresses, 0, sizeof queuedPresses);
        queuedTotal = 0;
    }
    // A press queued by an earlier poll shows as a tap, once the key reads up.
    if (queuedTotal > 0) {
        for (int sym = 0; sym < SDLK_LAST && tapCount < MaxTaps; ++sym) {
            if (!queuedPresses[sym] || keyState[sym] || downThisPoll[sym]) continue;
            --queuedPresses[sym], --queuedTotal;
            taps[tapCount++] = sym;
        }
    }
    // SDL's key state only shows keys still down when events are pumped: a
    // key pressed and released between two ticks (easily, while a slow frame
    // is drawn) would never be seen. Such a tap counts as down for this one tick.
    for (int i = 0; i < tapCount; ++i) keyState[taps[i]] = 1;
    ApplyKeys(keyState);
    if (!altHeld && altUndoTicks > 0) --altUndoTicks;
    // The scene sees the keys last, after per-press keys of the application
    // have been cleared.
    // Trails are taken between the steps of a tick, so that they stay curves at any rate.
    if (universe) {
        trailsRecorder = TrailsRecorder(&trails, frameBody, !universe->trueSizes);
        universe->afterStep = showTrails ? &trailsRecorder : nullptr;
    }
    sandbox.BeforeTick(*this);
    if (scenes[0]) scenes[0]->Update(keys);
    sandbox.AfterTick(*this);
    FlyOn();
    if (showTrails) FollowTrails();
    for (int i = 0; i < tapCount; ++i) keyState[taps[i]] = 0;
    tapCount = 0;
}

void Application::ApplyKeys(Uint8* keyState) {
    keys = keyState;
    if (Pressed(keys, SDLK_SPACE)) hyperspeed *= 10;
    if (Pressed(keys, SDLK_LALT)) {
        hyperspeedBeforeAlt = hyperspeed;
        hyperspeed *= 0.1;
        hyperspeedAfterAlt = hyperspeed;
        altUndoTicks = AltUndoTicks;
    }
    if (keys[SDLK_w]) {
        camX -= std::sin(yaw * kDegToRad) * hyperspeed;
        camZ -= std::cos(yaw * kDegToRad) * hyperspeed;
    }
    if (keys[SDLK_s]) {
        camX += std::sin(yaw * kDegToRad) * hyperspeed;
        camZ += std::cos(yaw * kDegToRad) * hyperspeed;
    }
    if (keys[SDLK_a]) {
        camX -= std::sin((yaw + 90) * kDegToRad) * hyperspeed;
        camZ -= std::cos((yaw + 90) * kDegToRad) * hyperspeed;
    }
    if (keys[SDLK_d]) {
        camX += std::sin((yaw + 90) * kDegToRad) * hyperspeed;
        camZ += std::cos((yaw + 90) * kDegToRad) * hyperspeed;
    }
    if (keys[SDLK_LEFT]) yaw += kTurnStep;
    if (keys[SDLK_RIGHT]) yaw -= kTurnStep;
    if (keys[SDLK_UP]) pitch = ClampPitch(pitch + kTurnStep);
    if (keys[SDLK_DOWN]) pitch = ClampPitch(pitch - kTurnStep);
    if (keys[SDLK_LSHIFT]) camY += hyperspeed;
    if (keys[SDLK_LCTRL]) camY -= hyperspeed;
    if (keys[SDLK_ESCAPE]) quit = 1;
    if (Pressed(keys, SDLK_F1)) showHelp = !showHelp;
    if (Pressed(keys, SDLK_b)) {
        blending = !blending;
        renderer.SetBlending(blending);
    }
    if (Pressed(keys, SDLK_l)) {
        lighting = !lighting;
        renderer.SetLighting(lighting);
    }
    if (Pressed(keys, SDLK_PAGEUP)) ChangeFrame(+1);
    if (Pressed(keys, SDLK_PAGEDOWN)) ChangeFrame(-1);
    for (int n = 1; n <= 9; ++n) {
        if (keys[SDLK_1 + (n - 1)]) JumpToBody(n);
    }
    if (keys[SDLK_0]) JumpToBody(10);
    if (Pressed(keys, SDLK_i)) showInfo = !showInfo;
    if (Pressed(keys, SDLK_p) && universe) universe->paused = !universe->paused;
    if (Pressed(keys, SDLK_t)) {
        showTrails = !showTrails;
        trails.Reset();
    }
    if (Pressed(keys, SDLK_v) && universe) {
        // The frame body keeps the camera where it was relative to it; the
        // bodies' places change, and a trail would join the old to the new.
        universe->trueSizes = !universe->trueSizes;
        trails.Reset();
    }
    if (Pressed(keys, SDLK_TAB) && universe) Inspector::SelectNext(*universe);
    if (Pressed(keys, SDLK_o)) inspect.showOrbits = !inspect.showOrbits;
    if (Pressed(keys, SDLK_g) && universe) inspect.StartFlight(*universe, frameBody, Pose());
    sandbox.ApplyKeys(*this, keys);
    if (Pressed(keys, SDLK_F12)) pictureDue = 1;
    // A new video mode makes the classic library read the keyboard again, and
    // a key still held whose byte was cleared is down once more, without an
    // event: F11 would switch back and forth for as long as it is held. It
    // acts on the press SDL reports, not on the byte.
    if (Pressed(keys, SDLK_F11) && downThisPoll[SDLK_F11]) ToggleFullScreen();
}

// After the scene's tick: a new universe (F3, F4) or frame restarts the trails,
// and only a step that moved the bodies adds to them.
void Application::FollowTrails() {
    if (!universe) return;
    if (universe->generation != trailsGeneration) {
        trailsGeneration = universe->generation;
        trails.Reset();
    }
    // The steps themselves were recorded as they were taken.
    trails.Follow(frameBody);
}

void Application::FlyOn() {
    if (!universe) return;
    CameraPose pose = Pose();
    int frame = frameBody;
    if (!inspect.Fly(*universe, &frame, &pose)) return;
    frameBody = frame;
    camX = pose.x, camY = pose.y, camZ = pose.z;
    pitch = pose.pitch, yaw = pose.yaw, roll = pose.roll;
}

// The frame rides with the body where the view draws it.
void Application::FrameOrigin(double origin[3]) const {
    origin[0] = origin[1] = origin[2] = 0;
    if (frameBody != kAbsoluteFrame && universe) universe->ViewPlace(frameBody, origin);
}

void Application::AddFramePosition(double sign) {
    if (frameBody == kAbsoluteFrame || !universe) return;
    double origin[3];
    FrameOrigin(origin);
    camX += sign * origin[0];
    camY += sign * origin[1];
    camZ += sign * origin[2];
}

// Switching frames keeps the camera's absolute position and its angles.
void Application::ChangeFrame(int step) {
    AddFramePosition(+1);
    const int32_t highest = HighestFrame(universe);
    frameBody += step;
    if (frameBody > highest) frameBody = kAbsoluteFrame;
    if (frameBody < kAbsoluteFrame) frameBody = highest;
    AddFramePosition(-1);
}

// The body Tab or a click selected; with none, the body the camera rides
// with (a digit key is the quickest way to a planet), else none.
int Application::SelectedBody() const {
    if (!universe) return -1;
    const int selected = Inspector::Selected(*universe);
    if (selected >= 0) return selected;
    if (frameBody <= kAbsoluteFrame || frameBody >= UniverseSlots) return -1;
    return BodyInUse(universe->bodies[frameBody]) ? frameBody : -1;
}

void Application::JumpToBody(int n) {
    // The camera jumps; a trail would draw the jump.
    if (showTrails) trails.Reset();
    frameBody = n;
    camX = 0;
    camY = 0;
    // Four radii of the body as it is drawn.
    camZ = universe ? 4 * universe->ViewRadius(n) : 0;
    pitch = 0;
    yaw = 0;
    roll = 0;
}

namespace {

struct HelpLine {
    float y;
    const char* text;
};

// Key names right-aligned in 21 columns so the dashes line up in the fixed-width font.
const HelpLine kHelpLines[] = {
    // TRANSLATORS: the lines of the help screen: key names right-aligned in
    // the first 21 columns, then " - " and what they do. Keep the dashes in
    // column 22 and every line within 52 characters (a 640x480 window).
    {0.9f, TRANSLATABLE("                  Ovladani:")},
    {0.8f, ""},
    {0.7f, TRANSLATABLE("                   F1 - zobrazi tuto napovedu")},
    {0.6f, TRANSLATABLE("                  Esc - konec")},
    {0.5f, TRANSLATABLE("                sipky - zmena smeru")},
    {0.4f, TRANSLATABLE(" a,s,d,w,LShift,LCtrl - zmena polohy")},
    {0.3f, TRANSLATABLE("        LAlt,mezernik - zmena hyperrychlosti")},
    {0.2f, TRANSLATABLE("            num+,num- - zmena rychlosti plynuti casu")},
    {0.1f, TRANSLATABLE(" PageUp,PageDown,0..9 - zmena vztazne soustavy")},
    {0.0f, TRANSLATABLE("                    l - zapne/vypne stiny")},
    {-0.1f, TRANSLATABLE("                   F2 - ulozi aktualni vesmiru")},
    {-0.2f, TRANSLATABLE("                   F3 - nacte vesmir")},
};

// Keys beyond the classic ones, below them so the classic screen is unchanged.
// Eight lines between the classic ones and the status line's place, a little
// closer than the classic ones, so that the status line's place stays clear
// (the status lines are hidden while help shows).
const HelpLine kMoreHelpLines[] = {
    {-0.29f, TRANSLATABLE("                   F4 - planety k dnesnimu datu")},
    {-0.37f, TRANSLATABLE("                    i - datum a rychlost casu")},
    {-0.45f, TRANSLATABLE("                    p - pauza")},
    {-0.53f, TRANSLATABLE("                    t - drahy teles")},
    {-0.61f, TRANSLATABLE("                  F12 - ulozi obrazek okna")},
    {-0.69f, TRANSLATABLE("                  F11 - okno / cela obrazovka")},
    // TRANSLATORS: v: true sizes; Tab and a click: select a body; o: orbits; g: fly to it.
    {-0.77f, TRANSLATABLE("       v,Tab,klik,o,g - velikost,vyber,drahy,prelet")},
    // TRANSLATORS: ] and [: the selected body's mass; Delete; Insert: add or throw a body; Backspace: undo.
    {-0.85f, TRANSLATABLE("     ],[,Del,Ins,BkSp - hmotnost,smazat,pridat,zpet")},
};

const int kHelpLineCount = sizeof kHelpLines / sizeof kHelpLines[0];
const int kMoreHelpLineCount = sizeof kMoreHelpLines / sizeof kMoreHelpLines[0];

const char kHelpHint[] = TRANSLATABLE("help - F1");

}  // namespace

const char* HelpScreenLine(int index, float* y) {
    const HelpLine* line = nullptr;
    if (index >= 0 && index < kHelpLineCount)
        line = &kHelpLines[index];
    else if (index >= kHelpLineCount && index < kHelpLineCount + kMoreHelpLineCount)
        line = &kMoreHelpLines[index - kHelpLineCount];
    if (!line) return nullptr;
    if (y) *y = line->y;
    return line->text;
}

void Application::Render() {
    renderer.BeginFrame();

    const float left = TextX(-1);
    if (showHelp) {
        float y = 0;
        for (int i = 0; const char* line = HelpScreenLine(i, &y); ++i)
            renderer.PrintScreen(left, y, 1, 1, 1, "%s", Translate(line));
    } else {
        const char* name = universe ? universe->bodies[frameBody].meno : "";
        char shown[128];
        renderer.PrintScreen(left, -1, 1, 1, 1, "%d/%d %s", frameBody, HighestFrame(universe),
                             ShownBodyName(name, shown, sizeof shown));
        // A translation ends where the hint always ended, at the right edge.
        const char* hint = Translate(kHelpHint);
        if (std::strcmp(hint, kHelpHint) == 0)
            renderer.PrintScreen(TextX(0.65f), -1, 1, 1, 1, "help - F1");
        else
            renderer.PrintScreenShifted(TextX(0.65f), -1, renderer.TextWidth(kHelpHint) - renderer.TextWidth(hint), 1, 1,
                                        1, "%s", hint);
        renderer.PrintScreen(left, 0.94f, 1, 1, 1, Translate("hyperrychlost: %i"), RoundedLog10(hyperspeed) + 4);
        if (showInfo) PrintInfoLine();
        if (universe) {
            double camera[3];
            FrameOrigin(camera);
            camera[0] += camX, camera[1] += camY, camera[2] += camZ;
            // Below the info line, and below the label of a body ridden with,
            // which stands near the top of the view.
            Inspector::DrawPanel(*universe, &renderer, TextX(0.65f), renderer.TextWidth(kHelpHint), 0.8f,
                                   renderer.ScreenLinePitch(viewHeight), camera);
        }
        char throwLine[128];
        if (sandbox.ThrowLine(*this, throwLine, sizeof throwLine))
            renderer.PrintScreen(left, showInfo ? 0.82f : 0.88f, 1, 1, 1, "%s", throwLine);
    }

    renderer.LookFrom(camX, camY, camZ, pitch, yaw, roll);

    if (scenes[0] && universe) {
        renderer.PushMatrix();
        Body& sky = universe->bodies[SkySlot];
        sky.x = camX;
        sky.y = camY;
        sky.z = camZ;
        double origin[3];
        FrameOrigin(origin);
        if (frameBody != kAbsoluteFrame) {
            sky.x += origin[0];
            sky.y += origin[1];
            sky.z += origin[2];
            renderer.Translate(-origin[0], -origin[1], -origin[2]);
        }
        universe->SetCamera(CameraPose{camX, camY, camZ, pitch, yaw, roll}, viewWidth, viewHeight, origin);
        scenes[0]->Draw();
        if (showTrails) DrawTrails(trails, universe->ViewModel(), &renderer);
        inspect.DrawScene(*universe, &renderer, Pose(), origin, viewWidth, viewHeight);
        renderer.PopMatrix();
    }

    if (pictureDue) SavePicture();
    SDL_GL_SwapBuffers();
}

void Application::PrintInfoLine() {
    if (!universe) return;
    char line[128];
    FormatInfoLine(*universe, universe->paused, line, sizeof line);
    renderer.PrintScreen(TextX(-1), 0.88f, 1, 1, 1, "%s", line);
}

// The frame just drawn, before it is shown, so the picture is what the window
// is about to show.
void Application::SavePicture() {
    pictureDue = 0;
    if (!screen) return;
    char path[4096];
    if (SaveWindowPicture(pixelWidth, pixelHeight, path, sizeof path))
        std::fprintf(stderr, "orrery: picture saved to %s\n", path);
    else
        std::fprintf(stderr, "orrery: could not save the picture %s\n", path[0] ? path : "(no folder to write to)");
}

int32_t RoundedLog10(double value) {
    // Levels for values no double can reach sensibly: 0 and underflow show the
    // decade below the smallest double, infinity the one above the largest,
    // and anything that is not a positive number the level of 1.
    if (std::isnan(value) || value < 0) return 0;
    if (value == 0) return -324;
    if (std::isinf(value)) return 309;
    double level = std::log10(value);
    const double nudge = 0.1f;
    if (level > 0) return static_cast<int32_t>(level + nudge);
    return static_cast<int32_t>(level - nudge);
}
