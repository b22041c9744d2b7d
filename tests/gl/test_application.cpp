// The application started for real on a private X server: start-up state,
// the configured viewport, the pointer grab and mouse look, key switches,
// resize events, and where each frame puts the sky sphere.
#include <gtest/gtest.h>

#include <SDL.h>
#include <X11/Xlib.h>

#include <cstdlib>
#include <cstring>
#include <string>

#include "app/Application.h"
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
    EXPECT_NE(0u, app.universe->listBase);
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
    SDL_Event e;
    std::memset(&e, 0, sizeof e);
    e.type = SDL_VIDEORESIZE;
    e.resize.w = 500;
    e.resize.h = 400;
    app.HandleEvent(e);
    GLint viewport[4];
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(500, viewport[2]);
    EXPECT_EQ(400, viewport[3]);
    EXPECT_EQ(320, app.screen->w);
    EXPECT_EQ(240, app.screen->h);
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
