// The sandbox's keys on the application in a GL context, for what F2's files
// cannot show: the maps and spheres that follow the bodies through an add, a
// merge and an undo, the frame after its body merged away, the throw's line,
// the full universe's box, a new history after F3, and the window's ticks
// that leave the built-in run as it was.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>

#include "app/Application.h"
#include "core/sim/Integrator.h"
#include "core/sim/Keys.h"
#include "gfx/Gl.h"
#include "sim/Universe.h"
#include "support/TestSupport.h"

namespace {

// A working folder with a small window's configure.txt and the shipped maps.
const std::string& Prepared(const ScratchDir& dir) {
    WriteWholeFile(dir.File("configure.txt"), "width 320 height 240\n");
    const std::string cmd = "mkdir -p '" + dir.File("Data") + "' && ln -s '" ORRERY_SOURCE_DIR
                            "/Data/planety_256x128x24' '" + dir.File("Data/planety_256x128x24") + "'";
    EXPECT_EQ(0, std::system(cmd.c_str()));
    return dir.Path();
}

// The application in its folder, the boxes it shows recorded.
class SandboxApp {
public:
    SandboxApp() : cd(Prepared(dir)) { std::memset(keys, 0, sizeof keys); }
    // A tick with `key` down and one with it let go.
    void Press(int key) {
        keys[key] = 1;
        app.HandleKeys(keys);
        keys[key] = 0;
        app.HandleKeys(keys);
    }

    ScratchDir dir;
    WorkingDir cd;
    MessageRecorder messages;
    Uint8 keys[SDLK_LAST];
    Application app;
};

}  // namespace

TEST(SandboxKeys, MapsSpheresAndTheFrameFollowAnAddAMergeAndTheirUndo) {
    SandboxApp s;
    ASSERT_EQ(1, s.app.Init());
    Universe& u = *s.app.universe;
    const uint32_t sky = u.textures[SkySlot];
    s.Press(SDLK_p);
    s.Press(SDLK_INSERT);
    ASSERT_TRUE(BodyInUse(u.bodies[11])) << "a tap adds a body in the first slot after the built-in ones";
    EXPECT_NE(0u, u.textures[11]) << "the new body has its map";
    EXPECT_TRUE(glIsList(s.app.renderer.ShapeList(u.shapes[11]))) << "and its sphere";
    EXPECT_EQ(sky, u.textures[SkySlot]) << "the other slots keep theirs";

    // Ride with it, put it onto the Earth and let time run: it merges into
    // the Earth (the lower slot of two equal masses), and the camera stays
    // where it was, in the absolute frame.
    s.app.frameBody = 11;
    s.app.camX = 1, s.app.camY = 2, s.app.camZ = 3;
    Body& added = u.bodies[11];
    added.x = u.bodies[4].x, added.y = u.bodies[4].y + 0.05, added.z = u.bodies[4].z;
    const double at[3] = {added.x + 1, added.y + 2, added.z + 3};
    s.Press(SDLK_p);
    ASSERT_FALSE(BodyInUse(u.bodies[11])) << "the body merged";
    EXPECT_EQ(2.0, u.bodies[4].hmotnost);
    EXPECT_EQ(0u, u.textures[11]) << "its map goes with it";
    EXPECT_EQ(0u, u.shapes[11]);
    EXPECT_EQ(0, s.app.frameBody) << "the frame falls back to the absolute one";
    EXPECT_EQ(at[0], s.app.camX);
    EXPECT_EQ(at[1], s.app.camY);
    EXPECT_EQ(at[2], s.app.camZ);
    EXPECT_EQ(-1, s.app.SelectedBody()) << "nothing is selected in the absolute frame";

    s.Press(SDLK_p);
    s.Press(SDLK_BACKSPACE);
    ASSERT_TRUE(BodyInUse(u.bodies[11])) << "Backspace undoes the merge";
    EXPECT_EQ(1.0, u.bodies[4].hmotnost);
    EXPECT_NE(0u, u.textures[11]) << "and the body has its map again";
    s.app.Render();
    EXPECT_EQ(GL_NO_ERROR, glGetError());
    EXPECT_TRUE(s.messages.Messages().empty()) << "first message: " << s.messages.Messages()[0].text;
}

TEST(SandboxKeys, HeldInsertShowsItsSpeedAndAFullUniverseRefusesWithABox) {
    SandboxApp s;
    ASSERT_EQ(1, s.app.Init());
    Universe& u = *s.app.universe;
    char line[128];
    EXPECT_EQ(0, s.app.sandbox.ThrowLine(s.app, line, sizeof line)) << "no line while Insert is up";
    // Half a second held at the start: 80 ahead of the camera at (0, 30,
    // 100), 85.4 from the Sun, whose escape speed there is 8.83; a sixth of
    // the way from a tap to the full hold.
    s.keys[SDLK_INSERT] = 1;
    for (int i = 0; i < 50; ++i) s.app.HandleKeys(s.keys);
    ASSERT_LT(0, s.app.sandbox.ThrowLine(s.app, line, sizeof line));
    EXPECT_STREQ("hod: rychlost 1.47, unikova 8.83", line);

    const double nowhere[3] = {0, 0, 0};
    while (FreeSlotForAdd(u)) Add(u, nowhere, nowhere, 1, 1, nullptr);
    s.keys[SDLK_INSERT] = 0;
    s.app.HandleKeys(s.keys);
    ASSERT_EQ(1u, s.messages.Messages().size());
    EXPECT_EQ("Nelze pridat teleso", s.messages.Messages()[0].title);
    EXPECT_EQ("Vesmir je plny: pojme nejvic 63 teles.", s.messages.Messages()[0].text);
    EXPECT_EQ(0, s.app.sandbox.insertTicks);
}

TEST(SandboxKeys, F3StartsANewHistory) {
    SandboxApp s;
    ASSERT_EQ(1, s.app.Init());
    Universe& u = *s.app.universe;
    s.Press(SDLK_p);
    s.Press(SDLK_6);
    s.Press(SDLK_RIGHTBRACKET);
    EXPECT_EQ(636.0, u.bodies[6].hmotnost);
    s.Press(KeyF2);
    s.Press(SDLK_LEFTBRACKET);
    EXPECT_EQ(318.0, u.bodies[6].hmotnost);
    EXPECT_EQ(2, u.history.Count());
    s.Press(KeyF3);
    EXPECT_EQ(0, u.history.Count());
    s.Press(SDLK_BACKSPACE);
    EXPECT_EQ(636.0, u.bodies[6].hmotnost) << "Backspace cannot go back past F3";
}

TEST(SandboxKeys, TheWindowsTicksLeaveTheBuiltInRunAsItWasToTheBit) {
    // Whoever else wants the steps is told of every one, after the merges.
    struct Counter : StepListener {
        int steps = 0;
        int AfterStep(UniverseModel&, double) override { return ++steps, 0; }
    };
    for (double deltat : {0.005, 10.242}) {
        Universe window;
        UniverseModel plain;
        Counter counter;
        window.afterStep = &counter;
        window.deltat = plain.deltat = deltat;
        for (int i = 0; i < 100; ++i) {
            window.Update(nullptr);
            plain.Step();
        }
        EXPECT_EQ(0, std::memcmp(plain.bodies, window.bodies, sizeof plain.bodies)) << "at deltat " << deltat;
        EXPECT_EQ(0, window.history.Count()) << "at deltat " << deltat;
        EXPECT_EQ(100 * SubStepCount(deltat), counter.steps) << "at deltat " << deltat;
    }
}
