// The moons' table, TT - UT, the frame rotations the theories share, and the
// four moons that come from JPL's mean elements on their Laplace planes
// (Phobos, Deimos, Triton, Charon). The long series live in MoonLunar.cpp,
// MoonJupiter.cpp, MoonSaturn.cpp and MoonUranus.cpp.
#include "core/sim/MoonTheories.h"

#include <cmath>

#include "core/sim/MoonSeries.h"

const MoonInfo MoonTable[MoonCount] = {
    {"Mesic", 4},     {"Phobos", 5},   {"Deimos", 5},   {"Io", 6},        {"Europa", 6},   {"Ganymed", 6},
    {"Kallisto", 6},  {"Mimas", 7},    {"Enceladus", 7}, {"Tethys", 7},   {"Dione", 7},    {"Rhea", 7},
    {"Titan", 7},     {"Hyperion", 7}, {"Iapetus", 7},  {"Miranda", 8},   {"Ariel", 8},    {"Umbriel", 8},
    {"Titania", 8},   {"Oberon", 8},   {"Triton", 9},   {"Charon", 10},
};

namespace moonseries {

Vec EclipticToJ2000(Vec p, Dual jdFrom) {
    const double arcsec = kDeg / 3600;
    const Dual T = (jdFrom - kJ2000) / 36525;
    const Dual t = -T;
    const Dual eta = ((47.0029 - 0.06603 * T + 0.000598 * T * T) * t + (-0.03302 + 0.000598 * T) * t * t +
                      0.000060 * t * t * t) *
                     arcsec;
    const Dual bigPi = 174.876384 * kDeg +
                       ((3289.4789 * T + 0.60622 * T * T) - (869.8089 + 0.50491 * T) * t + 0.03536 * t * t) * arcsec;
    const Dual pA = ((5029.0966 + 2.22226 * T - 0.000042 * T * T) * t + (1.11113 - 0.000042 * T) * t * t -
                     0.000006 * t * t * t) *
                    arcsec;
    // Measure longitudes from the node of the J2000 ecliptic on the starting
    // one, tilt by the angle between the two ecliptics, then count from the
    // J2000 equinox.
    return RotZ(RotX(RotZ(p, -bigPi), -eta), bigPi + pA);
}

Vec EquatorJ2000ToEcliptic(Vec p) { return RotX(p, Const(-84381.448 / 3600 * kDeg)); }

}  // namespace moonseries

namespace {

using namespace moonseries;

// JPL Solar System Dynamics, "Planetary Satellite Mean Elements": a (km), e,
// argument of periapsis w, mean anomaly M, inclination i to the Laplace plane
// and node from that plane's node on the ICRF equator (degrees), the rate n
// of the mean longitude (degrees per day), the apsis and node periods
// (Julian years; a node that regresses has a negative one), and the Laplace
// pole in ICRF right ascension and declination.
struct LaplaceElements {
    double epochJd, a, e, w, M, i, node, n, apsisYears, nodeYears, poleRa, poleDec;
};

// Mars's moons: solution MAR080, epoch 1950 Jan 1.0 TT.
const LaplaceElements kPhobos = {2433282.5, 9376,  0.0151, 150.057, 91.059, 1.075,
                                 207.784,   1128.8447569, 1.1316, -2.2617, 317.671, 52.893};
const LaplaceElements kDeimos = {2433282.5, 23458, 0.0002, 260.729, 325.329, 1.788,
                                 24.525,    285.1618790, 27.3703, -54.5367, 316.657, 53.529};
// NEP081, epoch 1989 Aug 25.0. Triton circles Neptune backwards, so its node
// advances (about 688 years a turn); e is 0, so only w + M counts.
const LaplaceElements kTriton = {2447763.5, 354800, 0.0, 344.046, 264.775, 156.834,
                                 172.431,   61.2572637, 0, 688, 299.452, 43.395};
// JPL's elements for Charon, epoch J2000, on the mean plane of its orbit. The a
// (17536 km) is Charon's distance from the barycentre; Pluto's centre is
// 19596 km away. n is the synchronous rate of the pair (IAU 2015 rotation of
// Pluto), which the period of 6.387 days rounds.
const LaplaceElements kCharon = {2451545.0, 19596, 0.0022, 71.255, 147.848, 0.001,
                                 85.187,    56.3625225, 0, 0, 133.05142, -6.17674};

double RatePerDay(double years) { return years == 0 ? 0 : 360.0 / (years * 365.25); }

// E from M = E - e sin E by Newton's method; its rate follows from
// differentiating Kepler's equation, so the loop needs no derivative.
Dual EccentricAnomaly(Dual M, double e) {
    double E = M.v;
    for (int k = 0; k < 30; ++k) {
        const double step = (E - e * std::sin(E) - M.v) / (1 - e * std::cos(E));
        E -= step;
        if (std::fabs(step) < 1e-15) break;
    }
    return Dual{E, M.d / (1 - e * std::cos(E))};
}

Vec LaplaceMoon(const LaplaceElements& el, Dual jd) {
    const Dual dt = jd - el.epochJd;
    // n is the rate of the mean longitude node + w + M (360 degrees over the
    // sidereal period), so the anomaly gains n less the turning of the apsis.
    const double apsisRate = RatePerDay(el.apsisYears), nodeRate = RatePerDay(el.nodeYears);
    const Dual M = Wrap((el.M + (el.n - apsisRate - nodeRate) * dt) * kDeg);
    const Dual w = (el.w + apsisRate * dt) * kDeg;
    const Dual node = (el.node + nodeRate * dt) * kDeg;
    const Dual E = EccentricAnomaly(M, el.e);
    Vec p{el.a * (cos(E) - el.e), el.a * std::sqrt(1 - el.e * el.e) * sin(E), Const(0)};
    p = RotZ(RotX(RotZ(p, w), Const(el.i * kDeg)), node);
    // The Laplace plane crosses the ICRF equator at right ascension pole + 90
    // degrees, tilted by 90 degrees less the pole's declination.
    p = RotZ(RotX(p, Const((90 - el.poleDec) * kDeg)), Const((el.poleRa + 90) * kDeg));
    return EquatorJ2000ToEcliptic(p);
}

Vec MoonVector(int moon, Dual jd) {
    switch (moon) {
        case MoonMesic: return LunarGeocentric(jd);
        case MoonPhobos: return LaplaceMoon(kPhobos, jd);
        case MoonDeimos: return LaplaceMoon(kDeimos, jd);
        case MoonTriton: return LaplaceMoon(kTriton, jd);
        case MoonCharon: return LaplaceMoon(kCharon, jd);
        default: break;
    }
    if (moon >= MoonIo && moon <= MoonKallisto) return GalileanJovicentric(moon - MoonIo, jd);
    if (moon >= MoonMimas && moon <= MoonIapetus) return SaturnianMoon(moon - MoonMimas, jd);
    return UranianMoon(moon - MoonMiranda, jd);
}

}  // namespace

int MoonState(int moon, double jdTT, double posKm[3], double velKmPerDay[3]) {
    if (moon < 0 || moon >= MoonCount || !std::isfinite(jdTT) || !posKm || !velKmPerDay) return 0;
    const Vec p = MoonVector(moon, Dual{jdTT, 1});
    posKm[0] = p.x.v;
    posKm[1] = p.y.v;
    posKm[2] = p.z.v;
    velKmPerDay[0] = p.x.d;
    velKmPerDay[1] = p.y.d;
    velKmPerDay[2] = p.z.d;
    return 1;
}

double DeltaTSeconds(double jdUT) {
    if (!std::isfinite(jdUT)) return NAN;
    const double y = 2000 + (jdUT - 2451544.5) / 365.2425;
    const double u = (y - 1820) / 100;
    if (y < 1700 || y >= 2150) return -20 + 32 * u * u;
    if (y < 1800) {
        const double t = y - 1700;
        return 8.83 + t * (0.1603 + t * (-0.0059285 + t * (0.00013336 - t / 1174000)));
    }
    if (y >= 2050) return -20 + 32 * u * u - 0.5628 * (2150 - y);
    if (y < 1860) {
        const double t = y - 1800;
        return 13.72 + t * (-0.332447 + t * (0.0068612 + t * (0.0041116 + t * (-0.00037436 +
               t * (0.0000121272 + t * (-0.0000001699 + t * 0.000000000875))))));
    }
    if (y < 1900) {
        const double t = y - 1860;
        return 7.62 + t * (0.5737 + t * (-0.251754 + t * (0.01680668 + t * (-0.0004473624 + t / 233174))));
    }
    if (y < 1920) {
        const double t = y - 1900;
        return -2.79 + t * (1.494119 + t * (-0.0598939 + t * (0.0061966 - t * 0.000197)));
    }
    if (y < 1941) {
        const double t = y - 1920;
        return 21.20 + t * (0.84493 + t * (-0.076100 + t * 0.0020936));
    }
    if (y < 1961) {
        const double t = y - 1950;
        return 29.07 + t * (0.407 + t * (-1.0 / 233 + t / 2547));
    }
    if (y < 1986) {
        const double t = y - 1975;
        return 45.45 + t * (1.067 + t * (-1.0 / 260 - t / 718));
    }
    if (y < 2005) {
        const double t = y - 2000;
        return 63.86 + t * (0.3345 + t * (-0.060374 + t * (0.0017275 + t * (0.000651814 + t * 0.00002373599))));
    }
    const double t = y - 2000;
    return 62.92 + t * (0.32217 + t * 0.005589);
}
