// The application started for real on a private X server: start-up state,
// the configured viewport, key switches, resize events, and where each frame
// puts the sky sphere.
#include <gtest/gtest.h>

#include <SDL.h>
#include <sys/stat.h>
#include <cstring>
#include <string>

#include "app/Application.h"
#include "gfx/Gl.h"
#include "sim/Keys.h"
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
    EXPECT_EQ(nullptr, u.quadric) << "nothing GL before Init, so an early release deletes nothing";
    EXPECT_EQ(0u, u.listBase);
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
