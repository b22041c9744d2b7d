// Knowing what one looks at, in a started program driven by its keys and
// clicks: Tab through the bodies, g's flight ending where the digit keys
// leave the camera, a click at the centre, labels that never overlap in the
// Jupiter view, and trails that stay curves at the top rate.
#include <gtest/gtest.h>

#include <SDL.h>
#include <sys/stat.h>

#include <cmath>
#include <cstring>
#include <memory>
#include <string>

#include "app/Application.h"
#include "core/sim/Ephemeris.h"
#include "core/sim/Keys.h"
#include "core/sim/Orbits.h"
#include "gfx/Gl.h"
#include "sim/Universe.h"
#include "gl/StartedApp.h"
#include "support/TestSupport.h"

namespace {

class Inspect : public StartedApp {
protected:
    void Click() {
        SDL_Event e;
        std::memset(&e, 0, sizeof e);
        e.type = SDL_MOUSEBUTTONDOWN;
        e.button.button = SDL_BUTTON_LEFT;
        e.button.x = 160, e.button.y = 120;
        app.HandleEvent(e);
    }
};

bool Overlap(const ScreenRect& a, const ScreenRect& b) {
    return a.x0 < b.x1 && b.x0 < a.x1 && a.y0 < b.y1 && b.y0 < a.y1;
}

// The share of an orbit of area `area` that a body takes to pass from a to b
// (points about the focus), in degrees: by Kepler's second law the area
// swept, so that a segment near perihelion counts for the time it spans.
double DegreesOfOrbit(const float* a, const float* b, double area) {
    const double cx = double(a[1]) * b[2] - double(a[2]) * b[1];
    const double cy = double(a[2]) * b[0] - double(a[0]) * b[2];
    const double cz = double(a[0]) * b[1] - double(a[1]) * b[0];
    return 0.5 * std::sqrt(cx * cx + cy * cy + cz * cz) / area * 360;
}

}  // namespace

TEST_F(Inspect, TabRunsThroughTheBodiesInSlotOrderPastAFreedSlotAndBackToNone) {
    Start("2012-08-05T12:00");
    app.universe->paused = 1;
    // A slot the sandbox freed is passed over.
    app.universe->bodies[12].hmotnost = 0;
    app.universe->bodies[12].polomer = 0;
    ASSERT_FALSE(BodyInUse(app.universe->bodies[12]));
    EXPECT_EQ(-1, Inspector::Selected(*app.universe)) << "nothing is selected at start";
    int expected = SunSlot;
    for (int press = 0; press < 40; ++press) {
        Press(SDLK_TAB);
        const int got = Inspector::Selected(*app.universe);
        EXPECT_EQ(expected, got) << "after " << press + 1 << " presses of Tab";
        if (expected < 0) {
            expected = SunSlot;
            continue;
        }
        expected = expected == 32 ? -1 : expected == 11 ? 13 : expected + 1;
    }
}

TEST_F(Inspect, SixQuickTabsWithinOneSlowFrameStillReachJupiter) {
    Start("2012-08-05T12:00");
    app.universe->paused = 1;
    // Tapped faster than a frame is drawn: every press in one poll of events.
    for (int press = 0; press < 6; ++press) {
        SDL_Event e;
        std::memset(&e, 0, sizeof e);
        e.key.keysym.sym = SDLK_TAB;
        e.type = SDL_KEYDOWN;
        app.HandleEvent(e);
        e.type = SDL_KEYUP;
        app.HandleEvent(e);
    }
    app.HandleKeys(keys);
    EXPECT_EQ(SunSlot, Inspector::Selected(*app.universe)) << "one press a tick";
    for (int tick = 0; tick < 8; ++tick) app.Update();
    EXPECT_EQ(6, Inspector::Selected(*app.universe)) << "the other five in the ticks after, and no more";
}

TEST_F(Inspect, GFliesSmoothlyToTheSelectedBodyAndRidesWithItFourRadiiAway) {
    Start("2012-08-05T12:00");
    for (int i = 0; i < 6; ++i) Press(SDLK_TAB);
    ASSERT_EQ(6, Inspector::Selected(*app.universe));
    double target[3], camera[3];
    app.universe->ViewPlace(6, target);
    AbsoluteCamera(camera);
    const double startDistance = Distance(camera, target);
    Press(SDLK_g);
    int ticks = 1;
    double worstStep = 0, firstStep = -1;
    while (app.inspect.Flying() && ticks < 400) {
        double before[3], after[3];
        AbsoluteCamera(before);
        app.universe->ViewPlace(6, target);
        const double away = Distance(before, target);
        app.HandleKeys(keys);
        ++ticks;
        AbsoluteCamera(after);
        // The body moves too; the camera's own step is what the user sees.
        const double step = Distance(before, after) / away;
        if (firstStep < 0) firstStep = Distance(before, after) / startDistance;
        worstStep = std::fmax(worstStep, step);
    }
    EXPECT_LE(ticks, 201) << "about two seconds of ticks";
    EXPECT_GE(ticks, 150) << "about two seconds of ticks";
    EXPECT_LT(firstStep, 0.01) << "the flight eases in: expected a first step under 1 % of the way, got "
                               << 100 * firstStep << " %";
    EXPECT_LT(worstStep, 0.25) << "no jump: expected no tick to move the camera more than a quarter of its distance "
                                  "to the body, got "
                               << worstStep;
    const CameraPose riding = RidingPose(app.universe->ViewRadius(6));
    EXPECT_EQ(6, app.frameBody);
    EXPECT_EQ(riding.x, app.camX);
    EXPECT_EQ(riding.y, app.camY);
    EXPECT_EQ(riding.z, app.camZ);
    EXPECT_EQ(0, app.pitch);
    EXPECT_EQ(0, std::fmod(app.yaw, 360.0));
    EXPECT_EQ(0, std::fmod(app.roll, 360.0));

    // From there to Saturn: an arrow key halfway takes the camera back, and it stays.
    Press(SDLK_TAB);
    Press(SDLK_g);
    for (int i = 0; i < 100; ++i) app.HandleKeys(keys);
    Press(SDLK_LEFT);
    const CameraPose held = {app.camX, app.camY, app.camZ, app.pitch, app.yaw, app.roll};
    const int frame = app.frameBody;
    for (int i = 0; i < 50; ++i) app.HandleKeys(keys);
    EXPECT_FALSE(app.inspect.Flying());
    EXPECT_EQ(frame, app.frameBody);
    EXPECT_EQ(held.z, app.camZ) << "the flight ended where the user took over";
    EXPECT_EQ(held.yaw, app.yaw);
}

TEST_F(Inspect, AClickAtTheCentrePicksTheBodyThereAndOnEmptySkyClears) {
    Start("2012-08-05T12:00");
    app.universe->paused = 1;
    Press(SDLK_6);
    Press(SDLK_TAB);
    app.Render();
    ASSERT_EQ(SunSlot, Inspector::Selected(*app.universe));
    Click();
    EXPECT_EQ(6, Inspector::Selected(*app.universe)) << "Jupiter fills the centre";
    // Straight up from Jupiter, out of the ecliptic: nothing within 40 pixels.
    app.pitch = 90;
    app.Render();
    Click();
    EXPECT_EQ(-1, Inspector::Selected(*app.universe));
    EXPECT_EQ(GL_NO_ERROR, glGetError());
}

TEST_F(Inspect, LabelsInTheJupiterViewNeverOverlapInEitherViewOnEitherDate) {
    for (const char* date : {"2012-08-05T12:00", "2026-03-20T12:00"}) {
        SCOPED_TRACE(date);
        double jd;
        ASSERT_EQ(1, ParseDateArgument(date, &jd));
        if (!app.universe) {
            Start(date);
        } else {
            ASSERT_EQ(1, app.universe->LoadRealSystem(jd));
        }
        app.universe->paused = 1;
        for (int view = 0; view <= 1; ++view) {
            SCOPED_TRACE(view ? "true view" : "enlarged view");
            if (app.universe->trueSizes != view) Press(SDLK_v);
            Press(SDLK_6);
            app.Render();
            int drawn = 0;
            for (int a = 0; a < UniverseSlots; ++a) {
                if (!app.universe->labelDrawn[a]) continue;
                ++drawn;
                for (int b = a + 1; b < UniverseSlots; ++b) {
                    if (!app.universe->labelDrawn[b]) continue;
                    const ScreenRect &ra = app.universe->labelRect[a], &rb = app.universe->labelRect[b];
                    EXPECT_FALSE(Overlap(ra, rb)) << "labels of slots " << a << " and " << b << " overlap: (" << ra.x0
                                                  << ", " << ra.y0 << ")-(" << ra.x1 << ", " << ra.y1 << ") and ("
                                                  << rb.x0 << ", " << rb.y0 << ")-(" << rb.x1 << ", " << rb.y1 << ")";
                }
            }
            EXPECT_GE(drawn, 2) << "Jupiter's label and some other";
            EXPECT_TRUE(app.universe->labelDrawn[6]) << "Jupiter's own label stays";
        }
    }
}

// At the top rate a tick is about a tenth of Zeme's year and more than a
// third of Merkur's: trails taken once a tick would be chords across the orbit.
TEST_F(Inspect, TrailsAtTheTopRateBendAtMostFiveDegreesASegment) {
    const struct {
        const char* date;
        int frame, slot;
        const char* what;
    } cases[] = {
        {nullptr, SunSlot, 2, "built-in, Merkur about the Sun"},
        {nullptr, SunSlot, 4, "built-in, Zeme about the Sun"},
        {nullptr, 4, SunSlot, "built-in, the Sun seen from Zeme"},
        {"2012-08-05T12:00", SunSlot, 2, "real, Merkur about the Sun"},
        {"2012-08-05T12:00", SunSlot, 4, "real, Zeme about the Sun"},
        {"2012-08-05T12:00", 4, SunSlot, "real, the Sun seen from Zeme"},
    };
    Start(nullptr);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        if (c.date && !app.universe->hasDate) {
            double jd;
            ASSERT_EQ(1, ParseDateArgument(c.date, &jd));
            ASSERT_EQ(1, app.universe->LoadRealSystem(jd));
        }
        for (int i = 0; i < 200; ++i) {
            keys[KeyKeypadPlus] = 1;
            app.HandleKeys(keys);
        }
        keys[KeyKeypadPlus] = 0;
        ASSERT_GT(std::fabs(app.universe->deltat), 10) << "the top rate";
        if (!app.showTrails) Press(SDLK_t);
        if (c.frame == SunSlot) Press(SDLK_1);
        if (c.frame == 4) Press(SDLK_4);
        for (int i = 0; i < 12; ++i) app.HandleKeys(keys);
        const Trails::Track& t = app.trails.TrackOf(c.slot);
        ASSERT_GT(t.count, 50) << "points taken";
        // The orbit the trail follows: the body's about the Sun, or Zeme's for the Sun seen from it.
        const int moving = c.slot == SunSlot ? c.frame : c.slot;
        OrbitElements orbit;
        ASSERT_EQ(1, OrbitAbout(app.universe->bodies[moving], app.universe->bodies[SunSlot], app.universe->kapa, &orbit));
        const double area = 3.14159265358979323846 * orbit.a * std::sqrt(orbit.a * orbit.p);
        double worst = 0;
        for (int i = 1; i < t.count; ++i) {
            const int a = (t.newest - i + Trails::PointsPerBody) % Trails::PointsPerBody;
            const int b = (a + 1) % Trails::PointsPerBody;
            worst = std::fmax(worst, DegreesOfOrbit(t.points[a], t.points[b], area));
        }
        EXPECT_LE(worst, 5) << "expected no segment longer than 5 degrees of the orbit, got " << worst;
    }
}
