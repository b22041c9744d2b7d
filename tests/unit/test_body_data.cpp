// The real bodies' data as a user would catch it wrong: the Earth turning the
// wrong way or half a day late, a planet's axis tipped the wrong way, masses
// that do not make the published ratios. Not the table's digits one by one.
#include <gtest/gtest.h>

#include <cmath>

#include "core/sim/BodyData.h"
#include "core/sim/Ephemeris.h"

namespace {

const double kPi = 3.14159265358979323846, kRad = kPi / 180, kJ2000 = 2451545.0;

double Dot(const double a[3], const double b[3]) { return a[0] * b[0] + a[1] * b[1] + a[2] * b[2]; }

double AngleDeg(const double a[3], const double b[3]) {
    return std::acos(std::fmax(-1.0, std::fmin(1.0, Dot(a, b) / std::sqrt(Dot(a, a) * Dot(b, b))))) / kRad;
}

// The normal of a planet's orbit in the ecliptic of J2000 from the published
// elements the program places the planets with.
void OrbitNormal(int body, double jd, double n[3]) {
    const PlanetElements& p = PlanetElementTable[body - RealMerkur];
    const double T = (jd - kJ2000) / 36525;
    const double I = (p.I + p.IRate * T) * kRad, node = (p.Omega + p.OmegaRate * T) * kRad;
    n[0] = std::sin(I) * std::sin(node), n[1] = -std::sin(I) * std::cos(node), n[2] = std::cos(I);
}

// Apparent minus mean solar time in minutes (a textbook fit, good to about
// half a minute), for the Sun's place against the mean Sun at 12:00.
double EquationOfTimeMinutes(double jd) {
    const double B = 2 * kPi * (std::fmod(jd - 2451544.5, 365.2422) - 80) / 365.2422;
    return 9.87 * std::sin(2 * B) - 7.53 * std::cos(B) - 1.5 * std::sin(B);
}

}  // namespace

// At 12:00 mean solar time on the Greenwich meridian the Sun stands over it,
// short of the equation of time; six hours later the meridian has turned 90
// degrees east. The Sun's direction is the dated universe's own, in the
// model's axes, so the frame mapping and the sense of the spin are both held.
TEST(BodyOrientation, EarthsPrimeMeridianFacesTheSunAtNoon) {
    const int dates[][3] = {{2000, 1, 1}, {2011, 2, 11}, {2016, 5, 14}, {2024, 7, 26}, {2025, 11, 3}, {2040, 9, 1}};
    const int hours[] = {12, 18, 0, 6};
    for (const auto& date : dates) {
        for (int hour : hours) {
            const double jdUt = JulianDayFromCalendar(date[0], date[1], date[2], hour, 0);
            Body bodies[UniverseSlots] = {};
            bodies[1].hmotnost = 332800;
            for (int slot = 2; slot < BuiltInSlots; ++slot) bodies[slot].hmotnost = 1;
            ASSERT_EQ(1, PlaceRealPlanets(bodies, 0.01, jdUt));
            const Body& sun = bodies[1];
            const Body& earth = bodies[EphemerisFirstSlot + RealZeme - RealMerkur];
            double toSun[3] = {sun.x - earth.x, sun.y - earth.y, sun.z - earth.z};

            double r[9];
            ASSERT_EQ(1, BodyOrientationModel(RealZeme, jdUt + 69.0 / 86400, r));
            const double meridian[3] = {r[0], r[3], r[6]}, pole[3] = {r[2], r[5], r[8]};
            const double along = Dot(toSun, pole);
            for (int i = 0; i < 3; ++i) toSun[i] -= along * pole[i];
            const double cross[3] = {toSun[1] * meridian[2] - toSun[2] * meridian[1],
                                     toSun[2] * meridian[0] - toSun[0] * meridian[2],
                                     toSun[0] * meridian[1] - toSun[1] * meridian[0]};
            const double east = std::atan2(Dot(cross, pole), Dot(toSun, meridian)) / kRad;
            const double expected = (hour - 12) * 15 + EquationOfTimeMinutes(jdUt) / 4;
            EXPECT_NEAR(0, std::remainder(east - expected, 360.0), 0.5)
                << date[0] << "-" << date[1] << "-" << date[2] << " " << hour << ":00 UT: expected the meridian "
                << expected << " degrees east of the Sun, got " << east;
        }
    }
}

// The tilt of each spin against its own orbit, and the Sun's and the Moon's
// against the ecliptic, over two centuries: a pole taken from the wrong
// frame, or a periodic term with the wrong sign, shows here. The IAU north
// pole is the one on the ecliptic's north side; a body that turns backwards
// about it (Uran) spins about the south one, whence its 97.77 degrees.
TEST(BodyOrientation, AxesKeepTheirKnownTilts) {
    const double ecliptic[3] = {0, 0, 1};
    const struct { int body; double tilt, within; } rows[] = {
        {RealZeme, 23.44, 0.5}, {RealMars, 25.19, 0.5}, {RealJupiter, 3.13, 0.5}, {RealSaturn, 26.73, 0.5},
        {RealUran, 97.77, 0.5}, {RealNeptun, 28.32, 0.5}, {RealSun, 7.25, 0.05}, {RealMesic, 1.54, 0.06}};
    for (const auto& row : rows) {
        for (double jd = 2415020.5; jd < 2488070; jd += 1234.5) {  // 1900..2100, not in step with any term
            double pole[3], normal[3];
            ASSERT_EQ(1, BodyPole(row.body, jd, pole));
            if (BodyDataTable[row.body].wRate < 0) {
                for (double& v : pole) v = -v;
            }
            if (row.body >= RealMerkur && row.body <= RealPluto) {
                OrbitNormal(row.body, jd, normal);
            } else {
                for (int i = 0; i < 3; ++i) normal[i] = ecliptic[i];
            }
            EXPECT_NEAR(row.tilt, AngleDeg(pole, normal), row.within)
                << BodyDataTable[row.body].name << " at JD " << jd << ": expected a tilt of " << row.tilt;
        }
    }
}

// Every frame a proper rotation, in both axis sets, the pole its third
// column; and the one body without a model, or no body at all, refused.
TEST(BodyOrientation, EveryFrameIsAProperRotation) {
    const double days[] = {2378496.5, 2451545.0, 2460676.25, 2469807.5};  // 1800, J2000, 2025, 2050
    for (int body = 0; body < RealBodies; ++body) {
        for (double jd : days) {
            double r[9], m[9], pole[3];
            if (body == RealHyperion) {
                EXPECT_EQ(0, BodyOrientation(body, jd, r));
                continue;
            }
            ASSERT_EQ(1, BodyOrientation(body, jd, r)) << BodyDataTable[body].name;
            ASSERT_EQ(1, BodyOrientationModel(body, jd, m));
            ASSERT_EQ(1, BodyPole(body, jd, pole));
            for (const double* q : {r, m}) {
                double worst = 0;
                for (int a = 0; a < 3; ++a) {
                    for (int b = 0; b < 3; ++b) {
                        const double dot = q[a] * q[b] + q[3 + a] * q[3 + b] + q[6 + a] * q[6 + b];
                        worst = std::fmax(worst, std::fabs(dot - (a == b)));
                    }
                }
                const double det = q[0] * (q[4] * q[8] - q[5] * q[7]) - q[1] * (q[3] * q[8] - q[5] * q[6]) +
                                   q[2] * (q[3] * q[7] - q[4] * q[6]);
                EXPECT_LT(worst, 1e-12) << BodyDataTable[body].name << " at JD " << jd;
                EXPECT_NEAR(1, det, 1e-12) << BodyDataTable[body].name << " at JD " << jd;
            }
            EXPECT_TRUE(pole[0] == r[2] && pole[1] == r[5] && pole[2] == r[8]) << BodyDataTable[body].name;
            // The model's up (y) is ecliptic north.
            EXPECT_EQ(-r[8], m[5]) << BodyDataTable[body].name;
        }
    }
    double r[9];
    EXPECT_EQ(0, BodyOrientation(-1, kJ2000, r));
    EXPECT_EQ(0, BodyOrientation(RealBodies, kJ2000, r));
    EXPECT_EQ(0, BodyOrientation(RealZeme, std::nan(""), r));
}

// The published mass ratios from the table as the universe will hold it: a
// planet's system is the planet plus the moons listed under it.
TEST(BodyData, MassesMakeThePublishedRatios) {
    double system[RealBodies] = {};
    for (int body = 0; body < RealBodies; ++body) {
        system[body] += BodyMassInEarths(body);
        if (body > RealPluto) system[BodyDataTable[body].parent] += BodyMassInEarths(body);
    }
    const struct { const char* what; double got, expected, within; } rows[] = {
        {"Sun / Jupiter system", system[RealSun] / system[RealJupiter], 1047.3486, 1e-4},
        {"Earth / Moon", BodyMassInEarths(RealZeme) / BodyMassInEarths(RealMesic), 81.3006, 1e-4},
        {"Sun in Earths", BodyMassInEarths(RealSun), 332946.05, 0.01},
        {"Saturn system, rebuilt / DE440", system[RealSaturn] / BodySystemMassInEarths(RealSaturn), 1, 1e-14},
        {"Pluto system, rebuilt / DE440", system[RealPluto] / BodySystemMassInEarths(RealPluto), 1, 1e-14},
        {"Sun's radius in AU", BodyRadiusInAu(RealSun), 0.0046505, 1e-7}};
    for (const auto& row : rows) {
        EXPECT_NEAR(row.expected, row.got, row.within) << row.what << ": expected " << row.expected << ", got "
                                                       << row.got;
    }
}
