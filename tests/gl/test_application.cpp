// The application started for real on a private X server: start-up state,
// the configured viewport, the pointer grab and mouse look, key switches,
// resize events, and where each frame puts the sky sphere.
#include <gtest/gtest.h>

#include <SDL.h>
#include <X11/Xlib.h>
#include <sys/stat.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "app/Application.h"
#include "core/app/Batch.h"
#include "core/app/CommandLine.h"
#include "core/sim/Keys.h"
#include "core/sim/UniverseFile.h"
#include "gfx/Gl.h"
#include "sim/Universe.h"
#include "support/TestSupport.h"

namespace {

// A working folder with the given configure.txt and the shipped textures.
class AppFolder {
public:
    explicit AppFolder(const std::string& config) {
        WriteWholeFile(dir.File("configure.txt"), config);
        std::string cmd = "mkdir -p '" + dir.File("Data") + "' && ln -s '" ORRERY_SOURCE_DIR
                          "/Data/planety_256x128x24' '" + dir.File("Data/planety_256x128x24") + "'";
        EXPECT_EQ(0, std::system(cmd.c_str()));
    }
    ScratchDir dir;
};

GLboolean Enabled(GLenum cap) { return glIsEnabled(cap); }

// Whether some other client (SDL, here) holds the pointer: we cannot take it.
bool PointerHeldElsewhere(Display* d) {
    int result = XGrabPointer(d, DefaultRootWindow(d), False, ButtonPressMask, GrabModeAsync, GrabModeAsync, None,
                              None, CurrentTime);
    if (result == GrabSuccess) XUngrabPointer(d, CurrentTime);
    XSync(d, False);
    return result != GrabSuccess;
}

// Runs ticks for up to five seconds until the pointer is (or is not) held.
bool TicksUntilPointerHeld(Application& app, Display* d, bool held) {
    for (int i = 0; i < 500; ++i) {
        if (PointerHeldElsewhere(d) == held) return true;
        app.Update();
        SDL_Delay(10);
    }
    return false;
}

// A full grab both confines the pointer and turns the camera by every pixel
// the mouse moves, three to a degree, in a window and in full screen alike.
// What SDL hands the program when the window manager resizes the window.
void WindowManagerResizes(Application& app, int width, int height) {
    SDL_Event e;
    std::memset(&e, 0, sizeof e);
    e.type = SDL_VIDEORESIZE;
    e.resize.w = width;
    e.resize.h = height;
    app.HandleEvent(e);
}

void ExpectMouseLookHolds(const char* config) {
    AppFolder folder(config);
    WorkingDir cd(folder.dir.Path());
    Application app;
    ASSERT_EQ(1, app.Init());
    Display* d = XOpenDisplay(nullptr);
    ASSERT_NE(nullptr, d);
    EXPECT_TRUE(TicksUntilPointerHeld(app, d, true)) << "the grab is reported but not in force";
    XCloseDisplay(d);

    ASSERT_EQ(0, std::system("xdotool mousemove_relative -- 90 0"));
    for (int i = 0; i < 500 && app.yaw == 0; ++i) {
        app.Update();
        SDL_Delay(10);
    }
    for (int i = 0; i < 10; ++i) app.Update();
    EXPECT_NEAR(-30, app.yaw, 1e-9);
}

}  // namespace

TEST(ApplicationStartup, OpensTheConfiguredWindowWithLightingOnAndBlendingOff) {
    AppFolder folder("width 320 height 240 oglw 200 oglh 100\n");
    WorkingDir cd(folder.dir.Path());
    MessageRecorder messages;
    Application app;
    ASSERT_EQ(1, app.Init());
    ASSERT_NE(nullptr, app.screen);
    EXPECT_EQ(320, app.screen->w);
    EXPECT_EQ(240, app.screen->h);
    GLint viewport[4];
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(0, viewport[0]);
    EXPECT_EQ(0, viewport[1]);
    EXPECT_EQ(200, viewport[2]);
    EXPECT_EQ(100, viewport[3]);
    EXPECT_TRUE(Enabled(GL_LIGHTING));
    EXPECT_FALSE(Enabled(GL_BLEND));
    EXPECT_TRUE(Enabled(GL_DEPTH_TEST));
    ASSERT_NE(nullptr, app.universe);
    EXPECT_EQ(static_cast<SceneObject*>(app.universe), app.scenes[0]);
    EXPECT_TRUE(glIsList(app.renderer.ShapeList(app.universe->shapes[SunSlot]))) << "the Sun's sphere is made";
    EXPECT_TRUE(messages.Messages().empty()) << "first message: " << messages.Messages()[0].text;
}

TEST(ApplicationStartup, ZeroViewportTakesTheWindowSize) {
    AppFolder folder("width 400 height 300\n");
    WorkingDir cd(folder.dir.Path());
    Application app;
    ASSERT_EQ(1, app.Init());
    GLint viewport[4];
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(400, viewport[2]);
    EXPECT_EQ(300, viewport[3]);
}

TEST(ApplicationMouse, InAWindowThePointerIsHeldAndTurnsTheCamera) { ExpectMouseLookHolds("width 320 height 240\n"); }

TEST(ApplicationMouse, InFullScreenThePointerIsHeldAndTurnsTheCameraAsInAWindow) {
    ExpectMouseLookHolds("width 640 height 480 fullscreen 1\n");
}

TEST(ApplicationMouse, FocusComingBackTakesTheGrabAgain) {
    AppFolder folder("width 320 height 240\n");
    WorkingDir cd(folder.dir.Path());
    Application app;
    ASSERT_EQ(1, app.Init());
    Display* d = XOpenDisplay(nullptr);
    ASSERT_NE(nullptr, d);
    ASSERT_TRUE(TicksUntilPointerHeld(app, d, true));
    // Away to another window: SDL lets the pointer go.
    SDL_Event e;
    std::memset(&e, 0, sizeof e);
    e.type = SDL_ACTIVEEVENT;
    e.active.state = SDL_APPINPUTFOCUS;
    e.active.gain = 0;
    app.HandleEvent(e);
    SDL_ShowCursor(SDL_ENABLE);
    SDL_WM_GrabInput(SDL_GRAB_OFF);
    ASSERT_TRUE(TicksUntilPointerHeld(app, d, false));
    e.active.gain = 1;
    app.HandleEvent(e);
    EXPECT_TRUE(TicksUntilPointerHeld(app, d, true)) << "the grab did not come back with the focus";
    XCloseDisplay(d);
}

TEST(ApplicationKeys, BAndLSwitchBlendingAndLightingInGl) {
    AppFolder folder("width 320 height 240\n");
    WorkingDir cd(folder.dir.Path());
    Application app;
    ASSERT_EQ(1, app.Init());
    Uint8 keys[SDLK_LAST];
    std::memset(keys, 0, sizeof keys);
    keys[SDLK_b] = 1;
    keys[SDLK_l] = 1;
    app.ApplyKeys(keys);
    EXPECT_EQ(1, app.blending);
    EXPECT_EQ(0, app.lighting);
    EXPECT_TRUE(Enabled(GL_BLEND));
    EXPECT_FALSE(Enabled(GL_DEPTH_TEST));
    EXPECT_FALSE(Enabled(GL_LIGHTING));
    keys[SDLK_b] = 1;
    keys[SDLK_l] = 1;
    app.ApplyKeys(keys);
    EXPECT_FALSE(Enabled(GL_BLEND));
    EXPECT_TRUE(Enabled(GL_DEPTH_TEST));
    EXPECT_TRUE(Enabled(GL_LIGHTING));
}

TEST(ApplicationEvents, ResizeEventSetsViewportButNotTheVideoMode) {
    AppFolder folder("width 320 height 240\n");
    WorkingDir cd(folder.dir.Path());
    Application app;
    ASSERT_EQ(1, app.Init());
    WindowManagerResizes(app, 500, 400);
    GLint viewport[4];
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(500, viewport[2]);
    EXPECT_EQ(400, viewport[3]);
    EXPECT_EQ(320, app.screen->w);
    EXPECT_EQ(240, app.screen->h);
    EXPECT_EQ(500, app.pixelWidth) << "pictures (F12) take the window's new size";
    EXPECT_EQ(400, app.pixelHeight);
}

// Text keeps to the corners of a view the window manager made, but in the
// window as configured, of any shape, stands where it always has (x = -1 of
// a 1280x1024 window lies outside the view and is not drawn, as ever).
TEST(ApplicationEvents, TextMovesOnlyInAViewTheWindowManagerMade) {
    AppFolder folder("width 400 height 200\n");
    WorkingDir cd(folder.dir.Path());
    Application app;
    ASSERT_EQ(1, app.Init());
    EXPECT_EQ(-1.0f, app.TextX(-1));
    EXPECT_EQ(0.65f, app.TextX(0.65f));
    WindowManagerResizes(app, 1000, 500);
    EXPECT_LT(app.TextX(-1), -1.0f) << "a wider view takes the text out to its left edge";
    EXPECT_GT(app.TextX(0.65f), 0.65f);
    WindowManagerResizes(app, 400, 200);
    EXPECT_EQ(-1.0f, app.TextX(-1)) << "back at the size it opened with";
}

// F11 there and back, as a user presses it: full screen takes the screen's
// size, the window comes back at its own, the viewport follows both ways,
// nothing drawn is lost and the pointer is held again after each switch.
TEST(ApplicationWindow, F11GoesToFullScreenAtTheScreensSizeAndBack) {
    AppFolder folder("width 320 height 240 resizable 1\n");
    WorkingDir cd(folder.dir.Path());
    Application app;
    ASSERT_EQ(1, app.Init());
    Display* d = XOpenDisplay(nullptr);
    ASSERT_NE(nullptr, d);
    const int screenWidth = DisplayWidth(d, DefaultScreen(d)), screenHeight = DisplayHeight(d, DefaultScreen(d));
    const GLuint font = app.renderer.fontBase;
    const GLuint sunTexture = app.renderer.TextureName(app.universe->textures[1]);
    Uint8 keys[SDLK_LAST];
    const struct {
        int fullScreen, width, height;
    } steps[] = {{1, screenWidth, screenHeight}, {0, 320, 240}, {1, screenWidth, screenHeight}, {0, 320, 240}};
    for (const auto& step : steps) {
        SCOPED_TRACE(step.fullScreen ? "to full screen" : "back to the window");
        std::memset(keys, 0, sizeof keys);
        SDL_Event press;
        std::memset(&press, 0, sizeof press);
        press.type = SDL_KEYDOWN;
        press.key.keysym.sym = SDLK_F11;
        app.HandleEvent(press);
        keys[SDLK_F11] = 1;
        app.ApplyKeys(keys);
        EXPECT_EQ(0, keys[SDLK_F11]) << "F11 acts once per press";
        // The classic library, looking at the keyboard again after the new
        // mode, finds the key still held, without an event.
        app.Update();
        keys[SDLK_F11] = 1;
        app.ApplyKeys(keys);
        ASSERT_NE(nullptr, app.screen);
        EXPECT_EQ(step.fullScreen, app.fullScreen);
        EXPECT_EQ(step.width, app.screen->w);
        EXPECT_EQ(step.height, app.screen->h);
        GLint viewport[4];
        glGetIntegerv(GL_VIEWPORT, viewport);
        EXPECT_EQ(step.width, viewport[2]);
        EXPECT_EQ(step.height, viewport[3]);
        EXPECT_EQ(font, app.renderer.fontBase);
        EXPECT_TRUE(glIsList(font)) << "the font's lists went with the video mode";
        EXPECT_TRUE(glIsTexture(sunTexture)) << "the textures went with the video mode";
        EXPECT_TRUE(TicksUntilPointerHeld(app, d, true)) << "the pointer is not held after the switch";
        app.Render();
        EXPECT_EQ(GL_NO_ERROR, glGetError());
    }
    XCloseDisplay(d);
}

// A video mode whose context came without the old one's objects: the font,
// textures and lists are made again, and only then.
TEST(ApplicationWindow, LostGlObjectsAreMadeAgain) {
    AppFolder folder("width 320 height 240\n");
    WorkingDir cd(folder.dir.Path());
    MessageRecorder messages;
    Application app;
    ASSERT_EQ(1, app.Init());
    EXPECT_EQ(0, app.RestoreGlIfLost()) << "nothing was lost";
    glDeleteLists(app.renderer.fontBase, 96);
    // A context without any of the old objects: every texture name and list
    // the program could have had is gone.
    for (GLuint name = 1; name < 1000; ++name) glDeleteTextures(1, &name);
    glDeleteLists(1, 1000);
    EXPECT_EQ(1, app.RestoreGlIfLost());
    EXPECT_TRUE(glIsList(app.renderer.fontBase));
    EXPECT_TRUE(glIsTexture(app.renderer.TextureName(app.universe->textures[1])));
    EXPECT_TRUE(glIsList(app.renderer.ShapeList(app.universe->shapes[1])));
    EXPECT_TRUE(Enabled(GL_LIGHTING)) << "the switches are as they were";
    EXPECT_TRUE(messages.Messages().empty());
    app.Render();
    EXPECT_EQ(GL_NO_ERROR, glGetError());
}

TEST(ApplicationFrame, SkySphereFollowsTheCameraInEveryFrame) {
    AppFolder folder("width 320 height 240\n");
    WorkingDir cd(folder.dir.Path());
    Application app;
    ASSERT_EQ(1, app.Init());
    app.camX = 12;
    app.camY = -7;
    app.camZ = 250;
    app.Render();
    const Body& sky = app.universe->bodies[0];
    EXPECT_EQ(12, sky.x);
    EXPECT_EQ(-7, sky.y);
    EXPECT_EQ(250, sky.z);

    app.frameBody = 3;
    Body& venus = app.universe->bodies[3];
    venus.x = -70.5;
    venus.y = 2;
    venus.z = 0.25;
    app.Render();
    EXPECT_EQ(12 - 70.5, sky.x);
    EXPECT_EQ(-7 + 2, sky.y);
    EXPECT_EQ(250 + 0.25, sky.z);

    // The modelview matrix is back to the camera transform alone, with
    // nothing left pushed.
    GLint depth = 0;
    glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &depth);
    EXPECT_EQ(1, depth);
    EXPECT_EQ(GL_NO_ERROR, glGetError());
}

TEST(ApplicationFrame, UpdateRunsOneStepPerTick) {
    AppFolder folder("width 320 height 240\n");
    WorkingDir cd(folder.dir.Path());
    Application app;
    ASSERT_EQ(1, app.Init());
    double earthX = app.universe->bodies[4].x;
    app.Update();
    EXPECT_NE(earthX, app.universe->bodies[4].x);
    EXPECT_NEAR(0.05, app.universe->simTime, 1e-12);
}

// ---------------------------------------------------------------- the scene's keys

namespace {

class RecordingUniverse : public Universe {
public:
    int inits = 0;
    int lastOption = 0;
    int Init(GlRenderer*, int option) override {
        ++inits;
        lastOption = option;
        return 1;
    }
};

}  // namespace

TEST(UniverseScene, LoadRebuildsResourcesOnlyAfterReadingAFile) {
    ScratchDir dir;
    ASSERT_EQ(0, mkdir(dir.File("Data").c_str(), 0755));
    WorkingDir cwd(dir.Path());
    RecordingUniverse u;
    EXPECT_EQ(0u, u.shapes[SunSlot]) << "nothing GL before Init, so an early release releases nothing";
    EXPECT_EQ(0u, u.textures[SunSlot]);
    u.Draw();  // no renderer yet: nothing to draw with, and no crash
    u.deltat = 0.5;
    u.Load();
    EXPECT_EQ(0, u.inits) << "no file, no rebuild";
    EXPECT_EQ(0.5, u.deltat);

    ASSERT_EQ(0, mkdir("Data/vesmir.ves", 0755));
    u.Load();
    EXPECT_EQ(0, u.inits) << "a folder cannot be read";
    rmdir("Data/vesmir.ves");

    ASSERT_TRUE(WriteWholeFile("Data/vesmir.ves", "deltat 0.25\nins Only Only.bmp 1 3 1 2 3 4 5 6 7 8\n"));
    u.Load();
    EXPECT_EQ(1, u.inits);
    EXPECT_EQ(2, u.lastOption);
    EXPECT_EQ(0.25, u.deltat);
    EXPECT_STREQ("Only", u.bodies[0].meno);
    EXPECT_EQ(0.0, u.bodies[1].hmotnost);
}

TEST(UniverseScene, F2ThenF3InOneTickWritesThenReadsBackThenSteps) {
    ScratchDir dir;
    ASSERT_EQ(0, mkdir(dir.File("Data").c_str(), 0755));
    WorkingDir cwd(dir.Path());

    RecordingUniverse u;
    u.deltat = 0.25;
    unsigned char keys[512] = {};
    keys[KeyF2] = keys[KeyF3] = 1;
    u.Update(keys);
    EXPECT_EQ(0, keys[KeyF2]);
    EXPECT_EQ(0, keys[KeyF3]);
    EXPECT_EQ(1, u.inits) << "the file written in this tick was read back";
    EXPECT_EQ(2, u.lastOption);
    EXPECT_EQ(0.25 * 10, u.simTime) << "the tick still stepped all ten bodies";
    EXPECT_NE(std::string::npos, ReadWholeFile(dir.File("Data/vesmir.ves")).find("deltat\t0.250000\n"));
}

// ---------------------------------------------------------------- keys beyond the classic ones

TEST(ApplicationMoreKeys, PauseStopsTheStepsButNotTheTimeKeysOrTheCamera) {
    AppFolder folder("width 320 height 240\n");
    WorkingDir cd(folder.dir.Path());
    Application app;
    ASSERT_EQ(1, app.Init());
    Uint8 keys[SDLK_LAST] = {};
    keys[SDLK_p] = 1;
    app.HandleKeys(keys);
    ASSERT_EQ(1, app.universe->paused);
    const Body earth = app.universe->bodies[4];
    keys[KeyKeypadMultiply] = 1;  // reverse while paused
    keys[SDLK_w] = 1;
    for (int i = 0; i < 10; ++i) app.HandleKeys(keys);
    const Body& now = app.universe->bodies[4];
    EXPECT_TRUE(earth.x == now.x && earth.y == now.y && earth.z == now.z) << "paused bodies stay put";
    EXPECT_NE(earth.vx, now.vx) << "the reversal moves the velocities to the reversed step";
    EXPECT_EQ(-0.005, app.universe->deltat) << "the time keys set the rate that resumes";
    EXPECT_NEAR(90.0, app.camZ, 1e-9) << "the camera still flies";
    keys[SDLK_w] = 0;
    keys[SDLK_p] = 1;
    app.HandleKeys(keys);
    EXPECT_EQ(0, app.universe->paused);
    EXPECT_NE(earth.x, app.universe->bodies[4].x);
}

TEST(ApplicationMoreKeys, TrailsGrowWithStepsAndRestartAfterJumps) {
    AppFolder folder("width 320 height 240\n");
    WorkingDir cd(folder.dir.Path());
    Application app;
    ASSERT_EQ(1, app.Init());
    Uint8 keys[SDLK_LAST] = {};
    for (int i = 0; i < 5; ++i) app.HandleKeys(keys);
    EXPECT_EQ(0, app.trails.TrackOf(4).count) << "nothing is recorded while trails are off";
    keys[SDLK_t] = 1;
    app.HandleKeys(keys);
    ASSERT_EQ(1, app.showTrails);
    for (int i = 0; i < 5; ++i) app.HandleKeys(keys);
    EXPECT_GT(app.trails.TrackOf(2).count, 0);

    keys[SDLK_4] = 1;  // a digit jump moves the camera into Zeme's frame
    app.HandleKeys(keys);
    keys[SDLK_4] = 0;
    EXPECT_EQ(4, app.trails.Frame());
    EXPECT_LE(app.trails.TrackOf(1).count, 1);
    for (int i = 0; i < 3; ++i) app.HandleKeys(keys);
    const int before = app.trails.TrackOf(1).count;
    EXPECT_GT(before, 0);

    // F4 replaces the bodies: the old paths end there.
    keys[KeyF4] = 1;
    app.HandleKeys(keys);
    EXPECT_EQ(1, app.universe->hasDate);
    EXPECT_LE(app.trails.TrackOf(1).count, 1);
    EXPECT_EQ(4, app.frameBody) << "F4 keeps the frame";
    app.Render();
    EXPECT_EQ(GL_NO_ERROR, glGetError());
}

TEST(ApplicationMoreKeys, StartDateAndF4OutsideTheTableYears) {
    AppFolder folder("width 320 height 240\n");
    WorkingDir cd(folder.dir.Path());
    MessageRecorder messages;
    Application app;
    app.startDate = 2451545.0;  // 2000-01-01 12:00 UT
    ASSERT_EQ(1, app.Init());
    EXPECT_EQ(1, app.universe->hasDate);
    EXPECT_NEAR(-17.7, app.universe->bodies[4].x, 0.1) << "Zeme where the elements put it";
    EXPECT_STREQ("Zeme", app.universe->bodies[4].meno);
    const Body before = app.universe->bodies[5];
    EXPECT_EQ(0, app.universe->LoadRealSystem(2451545.0 + 60 * 365.25));
    ASSERT_EQ(1u, messages.Messages().size());
    EXPECT_EQ("Nepodarilo se nastavit datum", messages.Messages()[0].title);
    EXPECT_EQ("Datum 2060-01-01 12:00 UT je mimo roky 1800 az 2050.", messages.Messages()[0].text);
    EXPECT_EQ(0, std::memcmp(&before, &app.universe->bodies[5], sizeof before)) << "nothing changed";
}

// ---------------------------------------------------------------- the run without a window

// F2 saves before its tick's step, so F2 in the 307th tick holds 306 steps:
// what `--simulate 306t` writes, to the bit, from each kind of start.
TEST(ApplicationBatch, SimulateWritesWhatF2WritesAfterAsManyTicks) {
    AppFolder folder("width 320 height 240\n");
    WorkingDir cd(folder.dir.Path());
    UniverseModel made;
    ASSERT_EQ(1, made.MakeRealSystem(2451545.0));
    made.deltat = -0.0125;  // a loaded file brings its own step
    for (int i = 0; i < 50; ++i) made.Step();
    ASSERT_EQ(1, WriteUniverseFile(made, "start.ves"));

    const struct {
        const char* name;
        std::vector<const char*> start;
    } cases[] = {
        {"built-in", {}},
        {"--date", {"--date", "2000-01-01T12:00"}},
        {"--load", {"--load", "start.ves"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<const char*> args = {"orrery", "--simulate", "306t", "--save", "batch.ves"};
        args.insert(args.end(), c.start.begin(), c.start.end());
        CommandLine options;
        char message[512];
        ASSERT_EQ(1, ParseCommandLine(static_cast<int>(args.size()), args.data(), &options, message, sizeof message))
            << message;
        ASSERT_EQ(BatchDone, RunBatch(options, message, sizeof message)) << message;

        UniverseModel loaded;
        ASSERT_EQ(1, MakeStartUniverse(options, &loaded, message, sizeof message)) << message;
        remove(UniverseFileName);
        {
            Application app;
            if (options.hasDate) app.startDate = options.date;
            if (options.loadPath) app.startUniverse = &loaded;
            ASSERT_EQ(1, app.Init());
            Uint8 keys[SDLK_LAST] = {};
            // Frames as the loop draws them, the first before any tick: each
            // puts the sky sphere at the camera, and the file shows where.
            app.Render();
            for (int tick = 0; tick < 306; ++tick) {
                app.HandleKeys(keys);
                app.Render();
            }
            keys[SDLK_F2] = 1;
            app.HandleKeys(keys);
        }
        const std::string window = ReadWholeFile(UniverseFileName);
        ASSERT_FALSE(window.empty());
        EXPECT_EQ(window, ReadWholeFile("batch.ves"));
    }
}
