// The selected body's panel: its numbers against arithmetic done here apart
// from the program's (a circle, an ellipse, a hyperbola, a moon about its
// planet), and the lines Jupiter's panel shows on a date.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>

#include "core/app/Panel.h"
#include "core/sim/Integrator.h"
#include "core/sim/UniverseModel.h"

namespace {

const double kAuKm = 149597870.7;
const double kPi = 3.14159265358979323846;

// The Sun alone at the origin and one body at (r, 0, 0) moving along +z at
// `speed` (true velocities, then put where the steps keep them).
UniverseModel Pair(double r, double speed, double mass = 1) {
    UniverseModel u;
    for (int k = FirstPlanetSlot; k < UniverseSlots; ++k) u.bodies[k].hmotnost = 0;
    Body& sun = u.bodies[SunSlot];
    sun.x = sun.y = sun.z = sun.vx = sun.vy = sun.vz = 0;
    Body& b = u.bodies[2];
    b.hmotnost = mass;
    b.x = r, b.y = 0, b.z = 0;
    b.vx = 0, b.vy = 0, b.vz = speed;  // prograde: the built-in planets' sense
    u.Scheme().ChangeStep(u, 0, u.StepLength());
    return u;
}

}  // namespace

TEST(Panel, OrbitsAgainstIndependentArithmetic) {
    const double mu = 0.01 * (332800 + 1);
    const double circular = std::sqrt(mu / 100);
    struct Row {
        const char* what;
        double r, speed;
        double a, e;  // expected semi-major axis (model units) and eccentricity
    };
    const Row rows[] = {
        {"a circle at 1 AU", 100, circular, 100, 0},
        {"an ellipse from its perihelion, e = 0.5", 50, std::sqrt(mu * 1.5 / 50), 100, 0.5},
        {"a hyperbola at 1.5 times the escape speed", 100, 1.5 * std::sqrt(2 * mu / 100),
         -1 / (1.5 * 1.5 * 2 / 100 - 2 / 100.0), 1.5 * 1.5 * 2 - 1},
    };
    const double camera[3] = {0, 0, 300};
    for (const Row& row : rows) {
        const UniverseModel u = Pair(row.r, row.speed);
        const double day = u.DayLength();
        PanelNumbers n;
        ASSERT_EQ(1, PanelNumbersOf(u, 2, camera, &n)) << row.what;
        EXPECT_EQ(SunSlot, n.parent);
        EXPECT_NEAR(5.9722e24, n.massKg, 1e15);
        EXPECT_NEAR(row.r / 100, n.sunAu, 1e-12) << row.what;
        EXPECT_NEAR(std::hypot(row.r, 300) / 100, n.cameraAu, 1e-12) << row.what;
        EXPECT_NEAR(row.speed / 100 * kAuKm / (day * 86400), n.speedKmS, 1e-9 * n.speedKmS) << row.what;
        EXPECT_NEAR(row.a / 100, n.semiMajorAu, 1e-9) << row.what;
        EXPECT_NEAR(row.e, n.eccentricity, 1e-9) << row.what;
        EXPECT_NEAR(0, n.inclinationDeg, 1e-9) << row.what << ": prograde in the ecliptic";
        if (row.a > 0)
            EXPECT_NEAR(2 * kPi * std::sqrt(row.a * row.a * row.a / mu) * day, n.periodDays, 1e-6) << row.what;
        else
            EXPECT_EQ(0, n.bound) << row.what;
    }
    // A circle at 1 AU about the built-in Sun lasts a year of the model's own
    // Gaussian days: 365.2568983 days times sqrt(M / (M + m)).
    PanelNumbers earth;
    ASSERT_EQ(1, PanelNumbersOf(Pair(100, circular), 2, camera, &earth));
    EXPECT_NEAR(365.2568983 * std::sqrt(332800.0 / 332801), earth.periodDays, 1e-6);
}

// A moon about its planet: its orbit in km, its speed about the planet, and
// both distances; on a date the real Jupiter's panel reads as published.
TEST(Panel, AMoonAboutItsPlanetAndJupiterOnADate) {
    UniverseModel u;
    ASSERT_EQ(1, u.MakeRealSystem(2460000.5));
    const double camera[3] = {0, 0, 0};
    PanelNumbers io, jupiter;
    ASSERT_EQ(1, PanelNumbersOf(u, 14, camera, &io));
    EXPECT_EQ(6, io.parent);
    EXPECT_NEAR(421800, io.semiMajorKm, 2000) << "Io's orbit";
    EXPECT_NEAR(17.3, io.speedKmS, 0.3) << "Io about Jupiter";
    EXPECT_NEAR(1.769, io.periodDays, 0.01);
    EXPECT_NEAR(1821.6, io.radiusKm, 1);

    ASSERT_EQ(1, PanelNumbersOf(u, 6, camera, &jupiter));
    EXPECT_NEAR(5.2026, jupiter.semiMajorAu, 0.05);
    EXPECT_NEAR(11.862 * 365.25, jupiter.periodDays, 0.01 * 11.862 * 365.25);
    EXPECT_NEAR(317.828, jupiter.massEarths, 0.001) << "Jupiter without its moons";

    PanelText text;
    ASSERT_EQ(1, FormatPanel(u, 6, camera, &text));
    ASSERT_GE(text.lines, 10);
    EXPECT_STREQ("Jupiter (Slunce)", text.line[0]);
    EXPECT_EQ(0, std::strncmp(text.line[1], "hmotnost: 1.898e+27 kg (317.8 Zeme)", 34)) << text.line[1];
    EXPECT_EQ(0, std::strncmp(text.line[6], "velka poloosa: 5.", 17)) << text.line[6];
    EXPECT_EQ(0, std::strncmp(text.line[9], "obezna doba: 11.", 16)) << text.line[9];
    EXPECT_STREQ("datum: 2023-02-25 00:00 UT", text.line[text.lines - 1]);

    ASSERT_EQ(1, FormatPanel(u, 14, camera, &text));
    EXPECT_STREQ("Io (Jupiter)", text.line[0]);
    EXPECT_EQ(0, std::strncmp(text.line[6], "velka poloosa: 4", 16)) << "a moon's in km: " << text.line[6];
    EXPECT_NE(nullptr, std::strstr(text.line[6], " km")) << text.line[6];

    // The built-in system: no date line, and no panel for the sky or an empty slot.
    UniverseModel builtIn;
    ASSERT_EQ(1, FormatPanel(builtIn, 4, camera, &text));
    EXPECT_EQ(std::string::npos, std::string(text.line[text.lines - 1]).find("datum")) << text.line[text.lines - 1];
    EXPECT_EQ(0, FormatPanel(builtIn, 0, camera, &text));
    builtIn.bodies[5].hmotnost = 0;
    EXPECT_EQ(0, FormatPanel(builtIn, 5, camera, &text));
}
