// The gravity step and the time keys: what must hold, not the arithmetic again.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <sys/stat.h>

#include "core/app/InfoLine.h"
#include "core/sim/Integrator.h"
#include "core/sim/Keys.h"
#include "core/sim/UniverseModel.h"
#include "core/sim/UniverseFile.h"
#include "support/Orbits.h"
#include "support/TestSupport.h"

namespace {

void ClearSlots(UniverseModel& u) {
    for (Body& b : u.bodies) std::memset(&b, 0, sizeof b);
}

void Place(Body& b, double m, double x, double y, double z, double vx = 0, double vy = 0, double vz = 0) {
    b.hmotnost = m;
    b.x = x, b.y = y, b.z = z;
    b.vx = vx, b.vy = vy, b.vz = vz;
}

bool SameBits(const Body& a, const Body& b) { return std::memcmp(&a, &b, sizeof a) == 0; }

// One tick of the scene without its F2/F3 and GL: the time keys, then a step.
void Tick(UniverseModel& u, unsigned char* keys) {
    u.ApplyTimeKeys(keys);
    u.Step();
}

struct Keys {
    unsigned char state[512] = {};
    unsigned char& operator[](int key) { return state[key]; }
};

}  // namespace

// ---------------------------------------------------------------- the step

TEST(GravityStep, MasslessBodyNeitherMovesNorPulls) {
    UniverseModel a, b;
    a.bodies[5].hmotnost = 0;
    b.bodies[5] = a.bodies[5];
    b.bodies[5].x = a.bodies[4].x + 0.5;  // elsewhere, right next to the Earth
    b.bodies[5].z = a.bodies[4].z;
    const Body stillA = a.bodies[5], stillB = b.bodies[5];
    for (int i = 0; i < 200; ++i) a.Step(), b.Step();
    EXPECT_TRUE(SameBits(stillA, a.bodies[5]));
    EXPECT_TRUE(SameBits(stillB, b.bodies[5]));
    for (int k = 1; k < UniverseSlots; ++k)
        if (k != 5) {
            EXPECT_TRUE(SameBits(a.bodies[k], b.bodies[k])) << "slot " << k << " felt a massless body";
        }
}

TEST(GravityStep, CoincidentBodiesIgnoreEachOtherButFeelOthers) {
    UniverseModel pair;
    ClearSlots(pair);
    Place(pair.bodies[2], 3, 1, 2, 3);
    Place(pair.bodies[3], 5, 1, 2, 3);
    pair.Step();
    EXPECT_EQ(0.0, pair.bodies[2].vx);
    EXPECT_EQ(0.0, pair.bodies[3].vz);
    EXPECT_FALSE(std::isnan(pair.bodies[2].x));

    UniverseModel trio = pair, alone = pair;
    Place(trio.bodies[4], 7, 40, 2, 3);
    Place(trio.bodies[2], 3, 1, 2, 3);
    Place(trio.bodies[3], 5, 1, 2, 3);
    alone = trio;
    alone.bodies[3].hmotnost = 0;
    trio.Step();
    alone.Step();
    EXPECT_GT(trio.bodies[2].vx, 0.0);
    EXPECT_EQ(alone.bodies[2].vx, trio.bodies[2].vx) << "slot 2 should feel only slot 4";
    EXPECT_EQ(trio.bodies[2].vx, trio.bodies[3].vx) << "both are pulled alike by slot 4";
    EXPECT_LT(trio.bodies[4].vx, alone.bodies[4].vx) << "slot 4 feels both of them";
}

TEST(GravityStep, LoneBodyDriftsInAStraightLineAndClockTicksOncePerStep) {
    UniverseModel u;
    ClearSlots(u);
    u.deltat = 0.01;
    Place(u.bodies[7], 5, 1, 2, 3, 0.5, -1, 2);
    u.Step();
    EXPECT_EQ(0.01, u.simTime);
    for (int i = 1; i < 1000; ++i) u.Step();
    EXPECT_EQ(0.5, u.bodies[7].vx);
    EXPECT_EQ(-1.0, u.bodies[7].vy);
    EXPECT_EQ(2.0, u.bodies[7].vz);
    EXPECT_NEAR(6.0, u.bodies[7].x, 1e-9);
    EXPECT_NEAR(-8.0, u.bodies[7].y, 1e-9);
    EXPECT_NEAR(23.0, u.bodies[7].z, 1e-9);
    EXPECT_NEAR(10.0, u.simTime, 1e-9);
}

TEST(GravityStep, ClockAdvancesOncePerMassiveBody) {
    UniverseModel u;
    u.Step();
    double expected = 0;
    for (int k = 0; k < 10; ++k) expected += 0.005;
    EXPECT_EQ(expected, u.simTime);
}

TEST(GravityStep, SkySphereIsNeverMovedNorPulls) {
    UniverseModel light, heavy;
    heavy.bodies[0].hmotnost = 1e15;
    heavy.bodies[0].x = 50;
    heavy.bodies[0].vz = 3;
    light.bodies[0] = heavy.bodies[0];
    light.bodies[0].hmotnost = 1;
    const Body sky = heavy.bodies[0];
    for (int i = 0; i < 100; ++i) light.Step(), heavy.Step();
    EXPECT_TRUE(SameBits(sky, heavy.bodies[0]));
    for (int k = 1; k < UniverseSlots; ++k) EXPECT_TRUE(SameBits(light.bodies[k], heavy.bodies[k])) << "slot " << k;
}

TEST(GravityStep, ClockWrapsOnlyPast20000AndOnlyUpwards) {
    UniverseModel u;
    ClearSlots(u);
    Place(u.bodies[1], 1, 0, 0, 0);
    u.deltat = 0.5;
    u.simTime = 19999.5;
    u.Step();
    EXPECT_EQ(20000.0, u.simTime);
    u.Step();
    EXPECT_EQ(0.0, u.simTime);

    u.deltat = -0.5;
    u.simTime = -30000;
    u.Step();
    EXPECT_EQ(-30000.5, u.simTime);
}

// A reference run: positions after 1000 steps of the built-in system, printed
// with %.17g from this implementation once its energy and momentum had been
// checked (bench_integrator). Any change of operation order changes these bits.
namespace {

// FNV-1a over every byte of the state: any bit that differs changes it.
uint64_t StateHash(const UniverseModel& u) {
    uint64_t h = 1469598103934665603ull;
    auto mix = [&h](const void* data, size_t size) {
        const unsigned char* p = static_cast<const unsigned char*>(data);
        for (size_t i = 0; i < size; ++i) h = (h ^ p[i]) * 1099511628211ull;
    };
    mix(&u.deltat, sizeof u.deltat);
    mix(&u.simTime, sizeof u.simTime);
    mix(&u.kapa, sizeof u.kapa);
    mix(u.bodies, BuiltInSlots * sizeof u.bodies[0]);
    return h;
}

// Kinetic plus potential energy of slots 1..10, in the model's units.
double Energy(const UniverseModel& u) {
    double e = 0;
    for (int k = 1; k < UniverseSlots; ++k) {
        const Body& a = u.bodies[k];
        e += 0.5 * a.hmotnost * (a.vx * a.vx + a.vy * a.vy + a.vz * a.vz);
        for (int j = k + 1; j < UniverseSlots; ++j) {
            const Body& b = u.bodies[j];
            const double r = VectorLength(b.x - a.x, b.y - a.y, b.z - a.z);
            if (a.hmotnost != 0 && b.hmotnost != 0) e -= u.kapa * a.hmotnost * b.hmotnost / r;
        }
    }
    return e;
}

// Total momentum against the sum of its parts' sizes: how far from zero it is
// beyond rounding.
double RelativeMomentum(const UniverseModel& u) {
    double p[3] = {0, 0, 0}, scale = 0;
    for (int k = 1; k < UniverseSlots; ++k) {
        const Body& b = u.bodies[k];
        p[0] += b.hmotnost * b.vx;
        p[1] += b.hmotnost * b.vy;
        p[2] += b.hmotnost * b.vz;
        scale += b.hmotnost * VectorLength(b.vx, b.vy, b.vz);
    }
    return VectorLength(p[0], p[1], p[2]) / scale;
}

}  // namespace

TEST(GravityStep, BuiltInSystemIsBitForBitReproducible) {
    UniverseModel u;
    for (int i = 0; i < 1000; ++i) u.Step();
    const uint64_t hash = StateHash(u);
    // Printed first, so that a machine that differs shows what it computed.
    std::printf("state hash after 1000 steps: 0x%016llx\n", static_cast<unsigned long long>(hash));
    EXPECT_EQ(0xd21b1f6187cf19d2ull, hash);
}

TEST(GravityStep, OneEarthYearKeepsEnergyAndMomentum) {
    UniverseModel u;
    const double e0 = Energy(u);
    double worstSwing = 0, worstMomentum = RelativeMomentum(u);
    // 2 pi sqrt(r^3 / (kapa M)) / deltat for Zeme: one orbit in steps.
    for (int i = 0; i < 21780; ++i) {
        u.Step();
        if (i % 100 == 99) {
            worstSwing = std::fmax(worstSwing, std::fabs((Energy(u) - e0) / e0));
            worstMomentum = std::fmax(worstMomentum, RelativeMomentum(u));
        }
    }
    // The step is symplectic: energy swings within an orbit and comes back,
    // so the drift is what is left after the year.
    const double drift = std::fabs((Energy(u) - e0) / e0);
    std::printf("relative energy drift %.3g (swing within the year %.3g), worst relative momentum %.3g\n", drift,
                worstSwing, worstMomentum);
    EXPECT_LT(drift, 1e-8);
    EXPECT_LT(worstSwing, 1e-7);
    EXPECT_LT(worstMomentum, 1e-12);
    const Body& zeme = u.bodies[4];
    EXPECT_NEAR(0.0, std::atan2(zeme.x, zeme.z), 0.02) << "Zeme is back where it started after a year";
}

TEST(GravityStep, DateAndElapsedTimeFollowDeltatBothWays) {
    UniverseModel u;
    u.hasDate = 1;
    u.datum = 2451545.0;
    const double day = u.DayLength();
    EXPECT_NEAR(3.35359, day, 1e-5);
    for (int i = 0; i < 100; ++i) u.Step();
    EXPECT_NEAR(0.5, u.elapsed, 1e-12);
    EXPECT_NEAR(2451545.0 + 0.5 * day, u.datum, 1e-6);
    u.deltat = -u.deltat;
    for (int i = 0; i < 100; ++i) u.Step();
    EXPECT_NEAR(0.0, u.elapsed, 1e-12);
    EXPECT_NEAR(2451545.0, u.datum, 1e-6) << "reversed time runs the calendar back";

    UniverseModel undated;
    undated.Step();
    EXPECT_EQ(0, undated.hasDate);
    EXPECT_EQ(0.0, undated.datum);
}

// ---------------------------------------------------------------- time keys

TEST(TimeKeys, KeypadPlusGrowsDeltatUntilItTruncatesToTen) {
    UniverseModel u;
    ClearSlots(u);
    Keys keys;
    keys[KeyKeypadPlus] = 1;
    for (int tick = 1; tick <= 80; ++tick) {
        const double before = u.deltat;
        Tick(u, keys.state);
        EXPECT_EQ(before * 1.1, u.deltat) << "tick " << tick;
    }
    EXPECT_NEAR(10.242, u.deltat, 0.001);
    const double top = u.deltat;
    Tick(u, keys.state);
    EXPECT_EQ(top, u.deltat);
    EXPECT_EQ(1, keys[KeyKeypadPlus]) << "a held key stays held";

    u.deltat = -9.5;
    Tick(u, keys.state);
    EXPECT_NEAR(-10.45, u.deltat, 1e-12);
    Tick(u, keys.state);
    EXPECT_NEAR(-10.45, u.deltat, 1e-12);
}

TEST(TimeKeys, KeypadPlusLeavesNonFiniteAndHugeDeltatAlone) {
    UniverseModel u;
    ClearSlots(u);
    Keys keys;
    keys[KeyKeypadPlus] = 1;
    const double odd[] = {1e300, -1e300, HUGE_VAL, -HUGE_VAL, 9.3e18, -9.3e18};
    for (double d : odd) {
        u.deltat = d;
        Tick(u, keys.state);
        EXPECT_EQ(d, u.deltat);
    }
    u.deltat = std::nan("");
    Tick(u, keys.state);
    EXPECT_TRUE(std::isnan(u.deltat));
}

TEST(TimeKeys, KeypadMinusShrinksTowardZeroWithoutChangingSign) {
    UniverseModel u;
    ClearSlots(u);
    Keys keys;
    keys[KeyKeypadMinus] = 1;
    for (double start : {0.005, -0.005}) {
        u.deltat = start;
        Tick(u, keys.state);
        EXPECT_EQ(start * 0.9090909090909091, u.deltat);
        for (int i = 0; i < 9000; ++i) Tick(u, keys.state);
        // Rounding stalls it a few subnormal steps above zero.
        EXPECT_LT(std::fabs(u.deltat), 1e-320);
        EXPECT_EQ(std::signbit(start), std::signbit(u.deltat)) << "from " << start;
    }
}

TEST(TimeKeys, PlusThenMinusInOneTick) {
    UniverseModel u;
    ClearSlots(u);
    Keys keys;
    keys[KeyKeypadPlus] = keys[KeyKeypadMinus] = 1;
    Tick(u, keys.state);
    EXPECT_EQ(0.005 * 1.1 * 0.9090909090909091, u.deltat);
}

TEST(TimeKeys, KeypadMultiplyReversesOncePerPress) {
    UniverseModel u;
    ClearSlots(u);
    Keys keys;
    keys[KeyKeypadMultiply] = 1;
    for (int i = 0; i < 10; ++i) Tick(u, keys.state);
    EXPECT_EQ(-0.005, u.deltat);
    EXPECT_EQ(0, keys[KeyKeypadMultiply]);
    keys[KeyKeypadMultiply] = 1;
    Tick(u, keys.state);
    EXPECT_EQ(0.005, u.deltat);
}

// ---------------------------------------------------------------- any rate

namespace {

// The built-in system run for `years` simulated years at deltat, as a
// universe file with only deltat changed would run in batch.
UniverseModel Years(double years, double deltat) {
    UniverseModel u;
    const double span = years * 365.25 / u.DayLength();
    u.deltat = deltat;
    const long ticks = std::lround(span / deltat);
    for (long i = 0; i < ticks; ++i) u.Step();
    return u;
}

// The planets' places and velocities about the Sun, each against its own size.
double LargestRelativeDifference(const UniverseModel& a, const UniverseModel& b) {
    double worst = 0;
    const Body &sa = a.bodies[1], &sb = b.bodies[1];
    for (int k = 2; k < BuiltInSlots; ++k) {
        const Body &p = a.bodies[k], &q = b.bodies[k];
        const double r[3] = {q.x - sb.x, q.y - sb.y, q.z - sb.z}, v[3] = {q.vx - sb.vx, q.vy - sb.vy, q.vz - sb.vz};
        const double dr = VectorLength(p.x - sa.x - r[0], p.y - sa.y - r[1], p.z - sa.z - r[2]);
        const double dv = VectorLength(p.vx - sa.vx - v[0], p.vy - sa.vy - v[1], p.vz - sa.vz - v[2]);
        worst = std::fmax(worst, std::fmax(dr / VectorLength(r[0], r[1], r[2]), dv / VectorLength(v[0], v[1], v[2])));
    }
    return worst;
}

}  // namespace

TEST(AnyRate, UpToTheLongestStepATickIsOneStepAndAboveItEqualShorterOnes) {
    const double h = IntegratorLongestStep;
    EXPECT_EQ(1, SubStepCount(0.005));
    EXPECT_EQ(1, SubStepCount(h));
    EXPECT_EQ(1, SubStepCount(-h));
    EXPECT_EQ(2, SubStepCount(std::nextafter(h, 1.0)));
    EXPECT_EQ(1025, SubStepCount(10.242));
    for (double odd : {0.0, -0.0, std::nan(""), HUGE_VAL, -HUGE_VAL}) EXPECT_EQ(1, SubStepCount(odd)) << odd;
    EXPECT_EQ(IntegratorMostSubSteps, SubStepCount(1e300)) << "a tick stays affordable whatever a file says";

    // A tick of 0.5 is fifty steps of 0.01, while the spin clock, the elapsed
    // time and the calendar take the tick's deltat in one piece, as ever.
    UniverseModel tick, steps;
    tick.deltat = 0.5;
    tick.hasDate = steps.hasDate = 1;
    tick.datum = steps.datum = 2451545.0;
    tick.Step();
    steps.deltat = 0.5 / 50;
    for (int i = 0; i < 50; ++i) steps.Step();
    for (int k = 1; k < UniverseSlots; ++k) EXPECT_TRUE(SameBits(tick.bodies[k], steps.bodies[k])) << "slot " << k;
    double clock = 0;
    for (int k = 0; k < 10; ++k) clock += 0.5;
    EXPECT_EQ(clock, tick.simTime);
    EXPECT_EQ(0.5, tick.elapsed);
    EXPECT_EQ(2451545.0 + 0.5 * tick.DayLength(), tick.datum);
}

// The century of the built-in system at the default rate against the same
// century watched faster: every orbit must stay what it is. Before sub-steps
// Merkur's eccentricity went from 0.001 to 0.15 at deltat 0.5 and Merkur left
// the Sun within ten years from deltat 3 on.
TEST(AnyRate, ACenturyAtAnyRateKeepsEveryOrbitOfTheDefaultRate) {
    const UniverseModel reference = Years(100, 0.005);
    for (double deltat : {0.05, 0.5, 2.0, 5.0, 10.242}) {
        const UniverseModel u = Years(100, deltat);
        for (int k = 2; k < BuiltInSlots; ++k) {
            const Orbit o = OrbitOf(u, k), want = OrbitOf(reference, k);
            ASSERT_TRUE(o.a > 0 && o.e < 1) << u.bodies[k].meno << " unbound at deltat " << deltat;
            EXPECT_NEAR(want.a, o.a, 0.002 * want.a) << u.bodies[k].meno << " at deltat " << deltat;
            EXPECT_NEAR(want.e, o.e, 0.005) << u.bodies[k].meno << " at deltat " << deltat;
        }
    }
}

// What a user does in the window: keypad + held until the top rate (0.9 s),
// two seconds there, keypad - held back down. Merkur used to come out with an
// eccentricity of 0.27.
TEST(AnyRate, TheTopRateAndBackLeavesMerkurOnItsOrbit) {
    UniverseModel u;
    const Orbit start = OrbitOf(u, 2);
    Keys keys;
    double worstMomentum = 0;
    keys[KeyKeypadPlus] = 1;
    for (int i = 0; i < 90 + 200; ++i) Tick(u, keys.state), worstMomentum = std::fmax(worstMomentum, RelativeMomentum(u));
    EXPECT_NEAR(10.242, u.deltat, 0.001);
    keys[KeyKeypadPlus] = 0;
    keys[KeyKeypadMinus] = 1;
    for (int i = 0; i < 90; ++i) Tick(u, keys.state), worstMomentum = std::fmax(worstMomentum, RelativeMomentum(u));
    const Orbit end = OrbitOf(u, 2);
    std::printf("Merkur a %.4f -> %.4f, e %.5f -> %.5f, deltat now %.4f\n", start.a, end.a, start.e, end.e, u.deltat);
    EXPECT_NEAR(start.a, end.a, 0.01 * start.a);
    EXPECT_NEAR(start.e, end.e, 0.02);
    EXPECT_LT(worstMomentum, 1e-12) << "moving the velocities to a new step must not move the system";
}

// Time run forward, reversed with keypad * and run back for as long comes
// back to where it started: at the default step and at the top rate, where
// every tick is many steps. A second * makes the velocities as they were.
TEST(AnyRate, ForwardThenReversedAndBackReturnsToTheStart) {
    for (double deltat : {0.005, 10.242}) {
        UniverseModel u;
        u.deltat = deltat;
        const UniverseModel start = u;
        Keys keys;
        for (int i = 0; i < 300; ++i) Tick(u, keys.state);
        keys[KeyKeypadMultiply] = 1;
        Tick(u, keys.state);
        for (int i = 1; i < 300; ++i) Tick(u, keys.state);
        keys[KeyKeypadMultiply] = 1;
        u.ApplyTimeKeys(keys.state);
        EXPECT_EQ(deltat, u.deltat);
        const double off = LargestRelativeDifference(u, start);
        std::printf("deltat %g: 300 ticks there and back, largest relative difference %.3g\n", deltat, off);
        EXPECT_LT(off, 1e-9) << "at deltat " << deltat;
    }
}

// A universe too costly for the window's ticks at the top rate takes only
// the steps that fit: the same steps, so the orbits are as true, and time
// runs slower (the info line says by how much). The built-in and the real
// system never need it.
TEST(AnyRate, AWorkLimitRunsTimeSlowerNotWorse) {
    for (double deltat : {0.005, 10.242}) {
        UniverseModel builtIn, real;
        builtIn.deltat = real.deltat = deltat;
        ASSERT_EQ(1, real.MakeRealSystem(2451545.0));
        for (const UniverseModel* u : {&builtIn, &real}) {
            const IntegratorScheme& s = u->Scheme();
            EXPECT_LT(s.StepCount(deltat) * s.StepWork(*u, deltat), WindowTickWork) << "at deltat " << deltat;
        }
    }
    // 30 bodies at deltat 0.5 (50 steps a tick), a limit that fits 20: 50
    // limited ticks are 20 whole ones, to the bit.
    UniverseModel limited;
    for (int k = BuiltInSlots; k < 30; ++k) {
        limited.bodies[k] = limited.bodies[5];
        limited.bodies[k].z = 150 + 3 * k, limited.bodies[k].x = 0;
        limited.bodies[k].vx = -std::sqrt(limited.kapa * 332800 / (150 + 3 * k)), limited.bodies[k].vz = 0;
    }
    limited.deltat = 0.5;
    UniverseModel whole = limited;
    const double work = 20 * limited.Scheme().StepWork(limited, limited.deltat);
    for (int i = 0; i < 50; ++i) limited.Step(nullptr, work);
    EXPECT_EQ(0.4, limited.lastTickShare);
    for (int i = 0; i < 20; ++i) whole.Step();
    EXPECT_EQ(0, std::memcmp(limited.bodies, whole.bodies, sizeof whole.bodies)) << "the limited steps went elsewhere";
    EXPECT_NEAR(whole.elapsed, limited.elapsed, 1e-12);
    char line[128];
    FormatInfoLine(limited, 0, line, sizeof line);
    EXPECT_NE(nullptr, std::strstr(line, "(stiha jen +")) << line;
}
