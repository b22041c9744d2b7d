// The built-in solar system: what the constructor must leave behind.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <string>

#include "core/sim/Trails.h"
#include "core/sim/UniverseModel.h"

namespace {

// Twelve significant digits, as the published table of initial velocities has them.
std::string Digits12(double v) {
    char text[64];
    std::snprintf(text, sizeof text, "%.11e", v);
    return text;
}

}  // namespace

TEST(BuiltInSystem, InitialVelocitiesMatchTheTableTo12Digits) {
    UniverseModel u;
    struct Row {
        int slot;
        double vx, vz;
    };
    const Row rows[] = {
        {1, -0.00234107864373, 0.000497376909746}, {2, 10.5324886265, 0},  {3, 0, -6.89512363924},
        {4, -5.76887337357, 0},                    {5, 0, 4.71027168360},  {6, 2.52861433462, 0},
        {7, 0, -1.87140540239},                    {8, -1.31653150811, 0}, {9, 0, 1.05147104811},
        {10, 0.917895223055, 0},
    };
    for (const Row& row : rows) {
        const Body& b = u.bodies[row.slot];
        EXPECT_EQ(Digits12(row.vx), Digits12(b.vx)) << "vx of slot " << row.slot;
        EXPECT_EQ(0.0, b.vy) << "vy of slot " << row.slot;
        EXPECT_EQ(Digits12(row.vz), Digits12(b.vz)) << "vz of slot " << row.slot;
    }
    // The sky sphere is in use but at rest at the origin.
    const Body& sky = u.bodies[0];
    EXPECT_EQ(1.0, sky.hmotnost);
    EXPECT_EQ(5000.0, sky.polomer);
    EXPECT_EQ(0.0, sky.vx + sky.vy + sky.vz + sky.x + sky.y + sky.z + sky.rotace + sky.osa_rotace);
}

TEST(BuiltInSystem, CarriesNoMomentum) {
    UniverseModel u;
    double p[3] = {0, 0, 0};
    for (int k = 1; k < UniverseSlots; ++k) {
        p[0] += u.bodies[k].hmotnost * u.bodies[k].vx;
        p[1] += u.bodies[k].hmotnost * u.bodies[k].vy;
        p[2] += u.bodies[k].hmotnost * u.bodies[k].vz;
    }
    for (int axis = 0; axis < 3; ++axis) EXPECT_LT(std::fabs(p[axis]), 1e-9) << "axis " << axis;
}

TEST(BuiltInSystem, PlanetSpeedFollowsTheCircularOrbitFormula) {
    UniverseModel u;
    const double M = 332800;
    const double earth = M * std::sqrt(0.01 / (100 * (M + 1)));
    EXPECT_EQ(-earth, u.bodies[4].vx);
    EXPECT_EQ(0.0, u.bodies[4].vz);
}

TEST(BuiltInSystem, NamesPathsAndParameters) {
    UniverseModel u;
    EXPECT_EQ(0.005, u.deltat);
    EXPECT_EQ(0.01, u.kapa);
    EXPECT_EQ(0.0, u.simTime);
    const char* names[] = {"Vesmir", "Slunce", "Merkur", "Venuse", "Zeme", "Mars",
                           "Jupiter", "Saturn", "Uran", "Neptun", "Pluto"};
    for (int i = 0; i < BuiltInSlots; ++i) {
        EXPECT_STREQ(names[i], u.bodies[i].meno);
        EXPECT_NE(0.0, u.bodies[i].hmotnost) << "slot " << i;
    }
    EXPECT_STREQ("Data/planety_256x128x24/Spacea.bmp", u.bodies[0].soubor);
    EXPECT_STREQ("Data/planety_256x128x24/3Earth.bmp", u.bodies[4].soubor);
    EXPECT_STREQ("Data/planety_256x128x24/9Pluto.bmp", u.bodies[10].soubor);
    EXPECT_EQ(-23.5, u.bodies[4].osa_rotace);
    EXPECT_EQ(-3950.0, u.bodies[10].z);
    EXPECT_EQ(150.0, u.bodies[5].x);
}


// ---------------------------------------------------------------- trails

TEST(Trails, EveryRingHoldsAWholeOrbitAndNeverMorePointsThanItsSize) {
    UniverseModel u;
    Trails trails;
    for (int i = 0; i < 3 * Trails::PointsPerBody; ++i) {
        trails.Record(u, 0);
        // Steps as large as a whole sampling interval of Merkur fill its ring.
        u.deltat = trails.TrackOf(2).interval;
        u.Step();
    }
    for (int k = 2; k < BuiltInSlots; ++k) {
        const Trails::Track& t = trails.TrackOf(k);
        EXPECT_GE(t.interval * Trails::PointsPerBody, OrbitalPeriod(UniverseModel(), k) * 0.999) << "slot " << k;
        EXPECT_LE(t.count, Trails::PointsPerBody);
    }
    EXPECT_EQ(Trails::PointsPerBody, trails.TrackOf(2).count);
    EXPECT_EQ(0, trails.TrackOf(0).count) << "the sky leaves no trail";
}

TEST(Trails, PointsAreRelativeToTheFrameAndAChangeOfFrameStartsAfresh) {
    UniverseModel u;
    Trails trails;
    trails.Record(u, 4);
    const Trails::Track& sun = trails.TrackOf(1);
    ASSERT_EQ(1, sun.count);
    EXPECT_FLOAT_EQ(static_cast<float>(u.bodies[1].z - u.bodies[4].z), sun.points[sun.newest][2]);
    EXPECT_EQ(0, trails.TrackOf(4).count) << "the body ridden with stays at the centre";
    // Seen from Zeme every path repeats yearly: Merkur samples at Zeme's pace.
    EXPECT_NEAR(OrbitalPeriod(u, 4) / Trails::PointsPerBody, trails.TrackOf(2).interval, 1e-9);

    u.Step();
    trails.Record(u, 5);
    EXPECT_EQ(5, trails.Frame());
    EXPECT_EQ(1, trails.TrackOf(1).count) << "no line joins the two frames";
    trails.Reset();
    EXPECT_EQ(0, trails.TrackOf(1).count);
}

TEST(Trails, NonFiniteBodiesLeaveNoPoints) {
    UniverseModel u;
    u.bodies[6].x = std::nan("");
    u.kapa = 0;  // no periods to sample by: a point every step
    Trails trails;
    trails.Record(u, 0);
    trails.Record(u, 0);
    EXPECT_EQ(0, trails.TrackOf(6).count);
    EXPECT_EQ(2, trails.TrackOf(4).count);
}
