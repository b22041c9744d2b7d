// The two views of the moons as a user meets them: by default every body at
// its drawn radius and every moon outside its enlarged planet, in the same
// proportion as truly; v for true sizes and places and back. Riding with a
// body works alike in both: the digit jumps, PageUp, the sky's centre and
// the trails follow where the view draws the bodies.
#include <gtest/gtest.h>

#include <SDL.h>
#include <sys/stat.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>

#include "app/Application.h"
#include "core/sim/Ephemeris.h"
#include "core/sim/MoonTheories.h"
#include "gfx/Gl.h"
#include "core/sim/RealSystem.h"
#include "sim/Universe.h"
#include "gl/StartedApp.h"
#include "support/TestSupport.h"

namespace {

int MoonSlot(int moon) { return FirstMoonSlot + moon; }

// The real system with its moons on a date, paused, in a started program.
class Views : public StartedApp {
protected:
    void SetUp() override {
        Start("2026-03-20T12:00");
        ASSERT_NE(nullptr, app.universe);
        app.universe->paused = 1;
    }
};

}  // namespace

// Every moon stands clear of its planet in both views; the enlarged view
// puts it as many planet radii out as it truly stands.
TEST_F(Views, EveryMoonCirclesOutsideItsPlanetInBothViews) {
    Universe& u = *app.universe;
    for (int view = 0; view <= 1; ++view) {
        u.trueSizes = view;
        for (int moon = 0; moon < MoonCount; ++moon) {
            const int slot = MoonSlot(moon), planet = u.ParentSlot(slot);
            SCOPED_TRACE(testing::Message() << u.bodies[slot].meno << (view ? ", true view" : ", enlarged view"));
            ASSERT_EQ(MoonTable[moon].planetSlot, planet);
            double m[3], p[3], trueM[3] = {u.bodies[slot].x, u.bodies[slot].y, u.bodies[slot].z},
                               trueP[3] = {u.bodies[planet].x, u.bodies[planet].y, u.bodies[planet].z};
            u.ViewPlace(slot, m);
            u.ViewPlace(planet, p);
            const double apart = Distance(m, p), clear = u.ViewRadius(planet) + u.ViewRadius(slot);
            EXPECT_GT(apart, clear) << "expected the moon outside its planet: " << apart << " apart, radii " << clear;
            const double inRadii = apart / u.ViewRadius(planet), trulyInRadii = Distance(trueM, trueP) / u.TrueRadius(planet);
            EXPECT_NEAR(trulyInRadii, inRadii, 1e-9 * trulyInRadii) << "planet radii out, against truly";
            EXPECT_DOUBLE_EQ(view ? u.TrueRadius(slot) : u.bodies[slot].polomer, u.ViewRadius(slot));
        }
    }
}

// v and v again: the view changes and comes back, the trails start afresh
// each time and follow the moons where the view draws them, and a digit
// jump stands four radii of what is drawn away.
TEST_F(Views, VSwitchesTheViewAndBackAndTheJumpsAndTrailsFollow) {
    const int io = MoonSlot(MoonIo);
    Press(SDLK_t);
    app.universe->paused = 0;
    // Days a tick, so that the trails take points often.
    app.universe->deltat = 1;
    const double enlargement = app.universe->bodies[6].polomer / app.universe->TrueRadius(6);
    const double trulyApart = std::hypot(app.universe->bodies[io].x - app.universe->bodies[6].x,
                                         app.universe->bodies[io].z - app.universe->bodies[6].z);
    const struct {
        int trueSizes;
        double jupiterRadius, ioFromJupiter;
    } steps[] = {{0, app.universe->bodies[6].polomer, enlargement * trulyApart},
                 {1, app.universe->TrueRadius(6), trulyApart},
                 {0, app.universe->bodies[6].polomer, enlargement * trulyApart}};
    for (const auto& step : steps) {
        SCOPED_TRACE(step.trueSizes ? "true view" : "enlarged view");
        if (step.trueSizes != app.universe->trueSizes) {
            ASSERT_GT(app.trails.TrackOf(io).count, 1);
            Press(SDLK_v);
            EXPECT_LE(app.trails.TrackOf(io).count, 1) << "a trail would join the old places to the new";
        }
        EXPECT_EQ(step.trueSizes, app.universe->trueSizes);
        for (int i = 0; i < 40; ++i) app.HandleKeys(keys);
        const Trails::Track &a = app.trails.TrackOf(io), &b = app.trails.TrackOf(6);
        const float* p = a.points[a.newest];
        const float* q = b.points[b.newest];
        EXPECT_NEAR(step.ioFromJupiter, std::hypot(p[0] - q[0], p[2] - q[2]), 0.25 * step.ioFromJupiter + 1)
            << "Io's trail as far from Jupiter's as the view draws them";
    }
    for (int view = 1; view >= 0; --view) {
        if (view != app.universe->trueSizes) Press(SDLK_v);
        keys[SDLK_6] = 1;
        app.HandleKeys(keys);
        keys[SDLK_6] = 0;
        EXPECT_EQ(6, app.frameBody);
        EXPECT_DOUBLE_EQ(4 * app.universe->ViewRadius(6), app.camZ) << "four radii of Jupiter as drawn";
        EXPECT_DOUBLE_EQ(view ? app.universe->TrueRadius(6) : app.universe->bodies[6].polomer,
                         app.universe->ViewRadius(6));
    }
}

// Riding with a moon: PageUp keeps the camera where it stands in the view,
// and each frame centres the sky on the camera beside the moon as drawn,
// in either view.
TEST_F(Views, RidingWithAMoonFollowsWhereTheViewDrawsIt) {
    const int io = MoonSlot(MoonIo);
    double before[3], after[3];
    AbsoluteCamera(before);
    while (app.frameBody != io) Press(SDLK_PAGEUP);
    AbsoluteCamera(after);
    for (int k = 0; k < 3; ++k) EXPECT_NEAR(before[k], after[k], 1e-9 * (1 + std::fabs(before[k])));
    for (int view = 0; view <= 1; ++view) {
        if (view) Press(SDLK_v);
        app.Render();
        double io3[3];
        app.universe->ViewPlace(io, io3);
        const Body& sky = app.universe->bodies[SkySlot];
        EXPECT_DOUBLE_EQ(app.camX + io3[0], sky.x) << (view ? "true view" : "enlarged view");
        EXPECT_DOUBLE_EQ(app.camZ + io3[2], sky.z) << (view ? "true view" : "enlarged view");
    }
    const double trueIo[3] = {app.universe->bodies[io].x, app.universe->bodies[io].y, app.universe->bodies[io].z};
    double drawn[3];
    app.universe->ViewPlace(io, drawn);
    EXPECT_EQ(0, Distance(trueIo, drawn)) << "the true view draws Io where it is";
    EXPECT_EQ(GL_NO_ERROR, glGetError());
}
