// Osculating orbits: elements against states built here from known elements
// by rotation matrices, the real planets of a date against their published
// elements, the drawn orbit against where the integrator takes the body,
// and the degenerate states that must still give numbers.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <vector>

#include "core/sim/Ephemeris.h"
#include "core/sim/Integrator.h"
#include "core/sim/Orbits.h"
#include "core/sim/UniverseModel.h"

namespace {

const double kPi = 3.14159265358979323846, kDeg = kPi / 180;

// The difference of two angles, -pi..pi.
double AngleGap(double a, double b) { return std::remainder(a - b, 2 * kPi); }

// 3 x 3 products, row after row.
void Mul(const double a[9], const double b[9], double out[9]) {
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 3; ++c) {
            out[3 * r + c] = 0;
            for (int k = 0; k < 3; ++k) out[3 * r + c] += a[3 * r + k] * b[3 * k + c];
        }
}
void RotZ(double t, double m[9]) {
    const double r[9] = {std::cos(t), -std::sin(t), 0, std::sin(t), std::cos(t), 0, 0, 0, 1};
    for (int k = 0; k < 9; ++k) m[k] = r[k];
}
void RotX(double t, double m[9]) {
    const double r[9] = {1, 0, 0, 0, std::cos(t), -std::sin(t), 0, std::sin(t), std::cos(t)};
    for (int k = 0; k < 9; ++k) m[k] = r[k];
}

// Position and velocity in model axes of a body with these elements: the
// orbit's own plane turned by Rz(node) Rx(i) Rz(w) into the ecliptic, which
// the model holds as x = X, y = -Z, z = Y.
void StateOf(double mu, double a, double e, double i, double node, double w, double nu, double r[3], double v[3]) {
    const double p = a * (1 - e * e), dist = p / (1 + e * std::cos(nu)), s = std::sqrt(mu / p);
    const double inPlane[2][3] = {{dist * std::cos(nu), dist * std::sin(nu), 0},
                                  {-s * std::sin(nu), s * (e + std::cos(nu)), 0}};
    double a1[9], a2[9], a3[9], t[9], m[9];
    RotZ(node, a1), RotX(i, a2), RotZ(w, a3);
    Mul(a1, a2, t), Mul(t, a3, m);
    double* out[2] = {r, v};
    for (int k = 0; k < 2; ++k) {
        double ecl[3];
        for (int row = 0; row < 3; ++row)
            ecl[row] = m[3 * row] * inPlane[k][0] + m[3 * row + 1] * inPlane[k][1] + m[3 * row + 2] * inPlane[k][2];
        out[k][0] = ecl[0], out[k][1] = -ecl[2], out[k][2] = ecl[1];
    }
}

bool AllFinite(const OrbitElements& o) {
    const double v[] = {
        o.mu,           o.distance,    o.speed,  o.a,    o.e,    o.p,    o.periapsis, o.apoapsis, o.inclination, o.node,
        o.argPeriapsis, o.trueAnomaly, o.period, o.P[0], o.P[1], o.P[2], o.Q[0],      o.Q[1],     o.Q[2]};
    for (double x : v)
        if (!std::isfinite(x)) return false;
    return true;
}

// The nearest any segment of a line strip comes to a point.
double GapToStrip(const std::vector<float>& xyz, int count, const double q[3]) {
    double best = HUGE_VAL;
    for (int k = 0; k + 1 < count; ++k) {
        double a[3], d[3], t = 0, dd = 0;
        for (int i = 0; i < 3; ++i) a[i] = xyz[3 * k + i], d[i] = xyz[3 * k + 3 + i] - a[i];
        for (int i = 0; i < 3; ++i) t += (q[i] - a[i]) * d[i], dd += d[i] * d[i];
        t = dd > 0 ? std::fmax(0.0, std::fmin(1.0, t / dd)) : 0;
        double g = 0;
        for (int i = 0; i < 3; ++i) g += (a[i] + t * d[i] - q[i]) * (a[i] + t * d[i] - q[i]);
        best = std::fmin(best, std::sqrt(g));
    }
    return best;
}

// Velocities brought to the positions' time, as the step keeps them half a step behind.
UniverseModel Synchronised(const UniverseModel& u) {
    UniverseModel now = u;
    GravityKick(now.bodies, now.kapa, now.StepLength() / 2);
    return now;
}

}  // namespace

// Each row: the elements a state is built from, and what must come back
// (where an angle means nothing, the documented stand-in).
TEST(OrbitElements, MatchTheElementsTheStateWasBuiltFrom) {
    const double sun = 0.01 * (332800 + 1), jupiter = 0.01 * (318 + 0.015);
    const struct {
        const char* what;
        double mu, a, e, i, node, w, nu;  // built from (degrees)
        double wantNode, wantW, wantNu;   // expected angles (degrees)
    } rows[] = {
        {"circular, inclined: periapsis at the node", sun, 100, 0, 7, 40, 70, 30, 40, 0, 100},
        {"eccentric like Mars", sun, 152.37, 0.0934, 1.85, 49.56, 286.5, 123, 49.56, 286.5, 123},
        {"hyperbolic flyby", sun, -50, 1.8, 20, 300, 40, -60, 300, 40, 300},
        {"moon about Jupiter", jupiter, 0.28, 0.0041, 2.2, 10, 200, 350, 10, 200, 350},
        {"retrograde comet", sun, 1780, 0.967, 162.3, 58.4, 111.3, 200, 58.4, 111.3, 200},
        {"in the ecliptic: longitude of periapsis", sun, 200, 0.2, 0, 30, 50, 10, 0, 80, 10},
        {"in the ecliptic, retrograde: measured the other way", sun, 200, 0.2, 180, 30, 50, 10, 0, 20, 10},
        {"circular in the ecliptic: true longitude", sun, 100, 0, 0, 30, 50, 10, 0, 0, 90},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        double r[3], v[3];
        StateOf(row.mu, row.a, row.e, row.i * kDeg, row.node * kDeg, row.w * kDeg, row.nu * kDeg, r, v);
        OrbitElements o;
        ASSERT_EQ(1, OrbitFromState(r, v, row.mu, &o));
        EXPECT_EQ(row.a > 0 ? 1 : 0, o.bound);
        EXPECT_EQ(0, o.radial);
        EXPECT_NEAR(row.a, o.a, std::fabs(row.a) * 1e-11);
        EXPECT_NEAR(row.e, o.e, 1e-11);
        EXPECT_NEAR(row.i, o.inclination / kDeg, 1e-9);
        EXPECT_NEAR(0, AngleGap(row.wantNode * kDeg, o.node) / kDeg, 1e-8) << "node: got " << o.node / kDeg;
        EXPECT_NEAR(0, AngleGap(row.wantW * kDeg, o.argPeriapsis) / kDeg, 1e-7) << "w: got " << o.argPeriapsis / kDeg;
        EXPECT_NEAR(0, AngleGap(row.wantNu * kDeg, o.trueAnomaly) / kDeg, 1e-7) << "nu: got " << o.trueAnomaly / kDeg;
        const double dist = row.a * (1 - row.e * row.e) / (1 + row.e * std::cos(row.nu * kDeg));
        EXPECT_NEAR(dist, o.distance, dist * 1e-12);
        EXPECT_NEAR(row.a * (1 - row.e), o.periapsis, std::fabs(row.a) * 1e-11);
        const double period = row.a > 0 ? 2 * kPi * std::sqrt(row.a * row.a * row.a / row.mu) : 0;
        EXPECT_NEAR(period, o.period, period * 1e-11);
        EXPECT_NEAR(row.a > 0 ? row.a * (1 + row.e) : 0, o.apoapsis, std::fabs(row.a) * 1e-11);
    }
}

// The planets of a real date sit on the published orbits: the elements read
// back from the states the ephemeris made, angles to 1e-8 degrees.
TEST(OrbitElements, RealPlanetsOfADateHaveTheirPublishedElements) {
    double jd = 0;
    ASSERT_EQ(1, ParseDateArgument("2024-03-20T03:06", &jd));
    UniverseModel u;
    ASSERT_EQ(1, PlaceRealPlanets(u.bodies, u.kapa, jd));
    const double T = (jd - 2451545.0) / 36525;
    for (int k = 0; k < EphemerisPlanets; ++k) {
        const PlanetElements& p = PlanetElementTable[k];
        SCOPED_TRACE(p.name);
        OrbitElements o;
        ASSERT_EQ(1, OrbitAbout(u.bodies[EphemerisFirstSlot + k], u.bodies[1], u.kapa, &o));
        EXPECT_NEAR(100 * (p.a + p.aRate * T), o.a, 1e-9 * o.a);
        EXPECT_NEAR(p.e + p.eRate * T, o.e, 1e-11);
        // The table gives Zeme's tiny inclination as negative: the same
        // plane as a positive one with the node half a turn on.
        double I = p.I + p.IRate * T, node = p.Omega + p.OmegaRate * T;
        if (I < 0) I = -I, node += 180;
        EXPECT_NEAR(I, o.inclination / kDeg, 1e-8);
        EXPECT_NEAR(0, AngleGap(node * kDeg, o.node) / kDeg, 1e-6 / std::fmax(I, 1e-3));
        EXPECT_NEAR(0, AngleGap((p.varpi + p.varpiRate * T) * kDeg, o.node + o.argPeriapsis) / kDeg, 1e-7);
        // Kepler's third law in days: 2 pi / k for 1 AU about the Sun alone.
        const double years =
            std::pow(o.a / 100, 1.5) *
            std::sqrt(u.bodies[1].hmotnost / (u.bodies[1].hmotnost + u.bodies[EphemerisFirstSlot + k].hmotnost));
        EXPECT_NEAR(365.2568983 * years, o.period * u.DayLength(), 1e-6 * o.period * u.DayLength());
        EXPECT_EQ(1, o.bound);
    }
    // The built-in system: every planet prograde in the ecliptic; nearly a
    // circle, for the Sun's own wobble under all nine planets.
    const UniverseModel builtIn = Synchronised(UniverseModel());
    for (int slot = 2; slot < BuiltInSlots; ++slot) {
        OrbitElements o;
        ASSERT_EQ(1, OrbitAbout(builtIn.bodies[slot], builtIn.bodies[1], builtIn.kapa, &o));
        EXPECT_LT(o.e, 0.01) << builtIn.bodies[slot].meno;
        EXPECT_EQ(0, o.inclination) << builtIn.bodies[slot].meno << ": prograde in the ecliptic";
    }
}

// The drawn ellipse is the body's path: a closed strip through the body now,
// and a third of Mars's year later the integrator has it on the strip still.
TEST(SampledOrbit, ClosesThroughTheBodyAndTheBodyFollowsIt) {
    double jd = 0;
    ASSERT_EQ(1, ParseDateArgument("2031-07-01", &jd));
    UniverseModel u;
    ASSERT_EQ(1, u.MakeRealSystem(jd));
    const UniverseModel now = Synchronised(u);
    const Body &sun = now.bodies[1], &mars = now.bodies[5];
    OrbitElements o;
    ASSERT_EQ(1, OrbitAbout(mars, sun, now.kapa, &o));

    const int n = 720;
    std::vector<float> xyz(3 * n);
    ASSERT_EQ(n, SampleOrbit(o, 0, n, xyz.data()));
    for (int i = 0; i < 3; ++i) EXPECT_EQ(xyz[i], xyz[3 * (n - 1) + i]) << "the strip closes";
    const double at[3] = {mars.x - sun.x, mars.y - sun.y, mars.z - sun.z};
    for (int i = 0; i < 3; ++i) EXPECT_NEAR(at[i], xyz[i], 1e-5 * o.a) << "the first point is the body, axis " << i;
    for (int k = 0; k < n; ++k) {
        const double r = std::sqrt(double(xyz[3 * k]) * xyz[3 * k] + double(xyz[3 * k + 1]) * xyz[3 * k + 1] +
                                   double(xyz[3 * k + 2]) * xyz[3 * k + 2]);
        ASSERT_GE(r, o.periapsis * (1 - 1e-6)) << "point " << k;
        ASSERT_LE(r, o.apoapsis * (1 + 1e-6)) << "point " << k;
    }

    const int ticks = static_cast<int>(o.period / 3 / u.deltat);
    for (int t = 0; t < ticks; ++t) u.Step();
    const Body &sunLater = u.bodies[1], &marsLater = u.bodies[5];
    const double later[3] = {marsLater.x - sunLater.x, marsLater.y - sunLater.y, marsLater.z - sunLater.z};
    const double moved = std::hypot(later[0] - at[0], later[1] - at[1], later[2] - at[2]);
    ASSERT_GT(moved, o.a / 2) << "Mars went a long way round";
    // The chords cut inside by a (pi/n)^2 / 2, the other planets pull a
    // little: within a fifth of Mars's own radius (0.05).
    EXPECT_LT(GapToStrip(xyz, n, later), 0.01) << "Mars after " << ticks << " ticks, off its drawn orbit";
}

// An open orbit is drawn out to the reach asked for (never short of the
// body), through the body.
TEST(SampledOrbit, HyperbolaReachesOutAndPassesThroughTheBody) {
    const double mu = 0.01 * 332800;
    const struct {
        double e, nu, reach;
    } rows[] = {{1.8, -60, 400}, {1.8, 20, 0}, {1.8, 80, 10}, {1.0000001, 150, 5000}, {25, 0, 90}};
    for (const auto& row : rows) {
        SCOPED_TRACE(testing::Message() << "e " << row.e << ", nu " << row.nu << ", reach " << row.reach);
        double r[3], v[3];
        const double q = 30;
        StateOf(mu, q / (1 - row.e), row.e, 0.3, 1.1, 2.3, row.nu * kDeg, r, v);
        OrbitElements o;
        ASSERT_EQ(1, OrbitFromState(r, v, mu, &o));
        EXPECT_EQ(0, o.bound);
        EXPECT_EQ(0, o.period);
        const int n = 101;
        std::vector<float> xyz(3 * n);
        ASSERT_EQ(n, SampleOrbit(o, row.reach, n, xyz.data()));
        const double reach = row.reach > 0 ? std::fmax(row.reach, o.distance) : 2 * o.distance;
        double nearest = HUGE_VAL, farthest = 0, bodyGap = HUGE_VAL;
        for (int k = 0; k < n; ++k) {
            const double x = xyz[3 * k], y = xyz[3 * k + 1], z = xyz[3 * k + 2], d = std::sqrt(x * x + y * y + z * z);
            nearest = std::fmin(nearest, d);
            farthest = std::fmax(farthest, d);
            bodyGap = std::fmin(bodyGap, std::hypot(x - r[0], y - r[1], z - r[2]));
        }
        EXPECT_NEAR(reach, farthest, reach * 1e-5);
        EXPECT_GE(nearest, q * (1 - 1e-5));
        EXPECT_LT(bodyGap, o.distance * 1e-6) << "one point is the body";
    }
}

// States where angles or the plane mean nothing still give numbers, those
// the header promises.
TEST(OrbitElements, DegenerateStatesGiveTheDocumentedNumbers) {
    const double mu = 3328.01, inf = HUGE_VAL, nan = std::nan("");
    const struct {
        const char* what;
        double r[3], v[3], mu;
        int valid, bound, radial;
        double a;
    } rows[] = {
        {"at rest: falls in from apoapsis", {100, 0, 0}, {0, 0, 0}, mu, 1, 1, 1, 50},
        {"falling straight in", {0, 30, 0}, {0, -5, 0}, mu, 1, 1, 1, 1 / (2 / 30.0 - 25 / mu)},
        {"escaping straight out", {0, 0, 10}, {0, 0, 100}, mu, 1, 0, 1, -1 / (100 * 100 / mu - 2 / 10.0)},
        {"circular in the ecliptic", {0, 0, 100}, {-std::sqrt(mu / 100), 0, 0}, mu, 1, 1, 0, 100},
        {"at the parent's centre", {0, 0, 0}, {1, 2, 3}, mu, 0, 0, 0, 0},
        {"no gravity", {100, 0, 0}, {0, 0, 1}, 0, 0, 0, 0, 0},
        {"negative gravity", {100, 0, 0}, {0, 0, 1}, -mu, 0, 0, 0, 0},
        {"gravity not a number", {100, 0, 0}, {0, 0, 1}, nan, 0, 0, 0, 0},
        {"infinite position", {inf, 0, 0}, {0, 0, 1}, mu, 0, 0, 0, 0},
        {"velocity not a number", {100, 0, 0}, {nan, 0, 1}, mu, 0, 0, 0, 0},
        {"beyond double range squared", {1e200, 0, 0}, {0, 0, 1e200}, mu, 0, 0, 0, 0},
        {"so small the squares vanish", {1e-200, 0, 0}, {0, 0, 1e-200}, mu, 0, 0, 0, 0},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        OrbitElements o;
        EXPECT_EQ(row.valid, OrbitFromState(row.r, row.v, row.mu, &o));
        EXPECT_EQ(row.valid, o.valid);
        EXPECT_TRUE(AllFinite(o));
        EXPECT_EQ(row.bound, o.bound);
        EXPECT_EQ(row.radial, o.radial);
        EXPECT_NEAR(row.a, o.a, std::fabs(row.a) * 1e-12);
        if (row.radial) {
            EXPECT_EQ(1, o.e);
            EXPECT_EQ(0, o.inclination + o.node + o.argPeriapsis + o.p + o.periapsis);
            EXPECT_EQ(kPi, o.trueAnomaly);
            const double r = std::sqrt(row.r[0] * row.r[0] + row.r[1] * row.r[1] + row.r[2] * row.r[2]);
            for (int i = 0; i < 3; ++i) EXPECT_NEAR(-row.r[i] / r, o.P[i], 1e-15) << "P points away from the body";
        }
        float xyz[3 * 33];
        const int n = SampleOrbit(o, 0, 33, xyz);
        EXPECT_EQ(row.valid ? 33 : 0, n);
        for (int k = 0; k < 3 * n; ++k) ASSERT_TRUE(std::isfinite(xyz[k])) << "coordinate " << k;
        if (n && row.radial) {
            double farthest = 0;
            for (int k = 0; k < n; ++k)
                farthest = std::fmax(farthest, std::hypot(xyz[3 * k], xyz[3 * k + 1], xyz[3 * k + 2]));
            // 33 points round a radial ellipse come within a(1 - cos(pi/32)) of its far end.
            EXPECT_NEAR(row.bound ? 2 * row.a : 2 * o.distance, farthest, row.bound ? 0.005 * row.a : 1e-5 * farthest)
                << "the line's far end";
        }
    }
}

// Whatever finite numbers come in, none that comes out is NaN or infinite:
// random states over 600 orders of magnitude, some of them nearly radial,
// nearly parabolic or nearly circular.
TEST(OrbitElements, NoFiniteStateGivesANonFiniteNumber) {
    uint64_t seed = 0x9e3779b97f4a7c15ull;
    auto next = [&seed]() {
        seed ^= seed << 13, seed ^= seed >> 7, seed ^= seed << 17;
        return static_cast<double>(seed >> 11) / 9007199254740992.0;
    };
    auto wide = [&]() { return (next() < 0.5 ? -1 : 1) * std::pow(10.0, 600 * next() - 300); };
    float xyz[3 * 16];
    for (int n = 0; n < 20000; ++n) {
        double r[3], v[3], mu = std::pow(10.0, 40 * next() - 20);
        const int kind = n % 4;
        for (int i = 0; i < 3; ++i) r[i] = kind == 0 ? wide() : 200 * next() - 100;
        for (int i = 0; i < 3; ++i) v[i] = kind == 0 ? wide() : 20 * next() - 10;
        const double rr = std::sqrt(r[0] * r[0] + r[1] * r[1] + r[2] * r[2]);
        if (kind == 1)  // nearly radial
            for (int i = 0; i < 3; ++i) v[i] = r[i] * (next() - 0.5) + 1e-13 * v[i];
        if (kind == 2) {  // nearly parabolic: the escape speed, give or take rounding
            const double vv = std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]), want = std::sqrt(2 * mu / rr);
            for (int i = 0; i < 3; ++i) v[i] *= want / vv * (1 + 1e-15 * (next() - 0.5));
        }
        OrbitElements o;
        OrbitFromState(r, v, mu, &o);
        ASSERT_TRUE(AllFinite(o)) << "state " << n;
        const int written = SampleOrbit(o, next() < 0.5 ? 0 : 1e3 * next(), 16, xyz);
        for (int k = 0; k < 3 * written; ++k) ASSERT_FALSE(std::isnan(xyz[k])) << "state " << n << ", coordinate " << k;
    }
}
