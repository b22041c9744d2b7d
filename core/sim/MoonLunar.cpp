// The Moon from the truncated ELP-2000/82 of Meeus, "Astronomical Algorithms",
// 2nd ed., ch. 47 (about 10" in longitude, 4" in latitude, 20 km in distance),
// precessed from the ecliptic of date to J2000. No nutation, no light time:
// the geometric Moon about the Earth's centre.
#include <cmath>

#include "core/sim/MoonSeries.h"

namespace moonseries {

namespace {

// Table 47.A: multiples of D, M, M', F; sine coefficient of longitude
// (1e-6 degree) and cosine coefficient of distance (1e-3 km).
struct LonDistTerm {
    signed char d, m, mp, f;
    int sl, cr;
};
const LonDistTerm kLonDist[] = {
    {0, 0, 1, 0, 6288774, -20905355}, {2, 0, -1, 0, 1274027, -3699111}, {2, 0, 0, 0, 658314, -2955968},
    {0, 0, 2, 0, 213618, -569925},    {0, 1, 0, 0, -185116, 48888},     {0, 0, 0, 2, -114332, -3149},
    {2, 0, -2, 0, 58793, 246158},     {2, -1, -1, 0, 57066, -152138},   {2, 0, 1, 0, 53322, -170733},
    {2, -1, 0, 0, 45758, -204586},    {0, 1, -1, 0, -40923, -129620},   {1, 0, 0, 0, -34720, 108743},
    {0, 1, 1, 0, -30383, 104755},     {2, 0, 0, -2, 15327, 10321},      {0, 0, 1, 2, -12528, 0},
    {0, 0, 1, -2, 10980, 79661},      {4, 0, -1, 0, 10675, -34782},     {0, 0, 3, 0, 10034, -23210},
    {4, 0, -2, 0, 8548, -21636},      {2, 1, -1, 0, -7888, 24208},      {2, 1, 0, 0, -6766, 30824},
    {1, 0, -1, 0, -5163, -8379},      {1, 1, 0, 0, 4987, -16675},       {2, -1, 1, 0, 4036, -12831},
    {2, 0, 2, 0, 3994, -10445},       {4, 0, 0, 0, 3861, -11650},       {2, 0, -3, 0, 3665, 14403},
    {0, 1, -2, 0, -2689, -7003},      {2, 0, -1, 2, -2602, 0},          {2, -1, -2, 0, 2390, 10056},
    {1, 0, 1, 0, -2348, 6322},        {2, -2, 0, 0, 2236, -9884},       {0, 1, 2, 0, -2120, 5751},
    {0, 2, 0, 0, -2069, 0},           {2, -2, -1, 0, 2048, -4950},      {2, 0, 1, -2, -1773, 4130},
    {2, 0, 0, 2, -1595, 0},           {4, -1, -1, 0, 1215, -3958},      {0, 0, 2, 2, -1110, 0},
    {3, 0, -1, 0, -892, 3258},        {2, 1, 1, 0, -810, 2616},         {4, -1, -2, 0, 759, -1897},
    {0, 2, -1, 0, -713, -2117},       {2, 2, -1, 0, -700, 2354},        {2, 1, -2, 0, 691, 0},
    {2, -1, 0, -2, 596, 0},           {4, 0, 1, 0, 549, -1423},         {0, 0, 4, 0, 537, -1117},
    {4, -1, 0, 0, 520, -1571},        {1, 0, -2, 0, -487, -1739},       {2, 1, 0, -2, -399, 0},
    {0, 0, 2, -2, -381, -4421},       {1, 1, 1, 0, 351, 0},             {3, 0, -2, 0, -340, 0},
    {4, 0, -3, 0, 330, 0},            {2, -1, 2, 0, 327, 0},            {0, 2, 1, 0, -323, 1165},
    {1, 1, -1, 0, 299, 0},            {2, 0, 3, 0, 294, 0},             {2, 0, -1, -2, 0, 8752},
};

// Table 47.B: multiples of D, M, M', F and the sine coefficient of latitude.
struct LatTerm {
    signed char d, m, mp, f;
    int sb;
};
const LatTerm kLat[] = {
    {0, 0, 0, 1, 5128122}, {0, 0, 1, 1, 280602}, {0, 0, 1, -1, 277693}, {2, 0, 0, -1, 173237},
    {2, 0, -1, 1, 55413},  {2, 0, -1, -1, 46271}, {2, 0, 0, 1, 32573},  {0, 0, 2, 1, 17198},
    {2, 0, 1, -1, 9266},   {0, 0, 2, -1, 8822},  {2, -1, 0, -1, 8216},  {2, 0, -2, -1, 4324},
    {2, 0, 1, 1, 4200},    {2, 1, 0, -1, -3359}, {2, -1, -1, 1, 2463},  {2, -1, 0, 1, 2211},
    {2, -1, -1, -1, 2065}, {0, 1, -1, -1, -1870}, {4, 0, -1, -1, 1828}, {0, 1, 0, 1, -1794},
    {0, 0, 0, 3, -1749},   {0, 1, -1, 1, -1565}, {1, 0, 0, 1, -1491},   {0, 1, 1, 1, -1475},
    {0, 1, 1, -1, -1410},  {0, 1, 0, -1, -1344}, {1, 0, 0, -1, -1335},  {0, 0, 3, 1, 1107},
    {4, 0, 0, -1, 1021},   {4, 0, -1, 1, 833},   {0, 0, 1, -3, 777},    {4, 0, -2, 1, 671},
    {2, 0, 0, -3, 607},    {2, 0, 2, -1, 596},   {2, -1, 1, -1, 491},   {2, 0, -2, 1, -451},
    {0, 0, 3, -1, 439},    {2, 0, 2, 1, 422},    {2, 0, -3, -1, 421},   {2, 1, -1, 1, -366},
    {2, 1, 0, 1, -351},    {4, 0, 0, 1, 331},    {2, -1, 1, 1, 315},    {2, -2, 0, -1, 302},
    {0, 0, 1, 3, -283},    {2, 1, 1, -1, -229},  {1, 1, 0, -1, 223},    {1, 1, 0, 1, 223},
    {0, 1, -2, -1, -220},  {2, 1, -1, -1, -220}, {1, 0, 1, 1, -185},    {2, -1, -2, -1, 181},
    {0, 1, 2, 1, -177},    {4, 0, -2, -1, 176},  {4, -1, -1, -1, 166},  {1, 0, 1, -1, -164},
    {4, 0, 1, -1, 132},    {1, 0, -1, -1, -119}, {4, -1, 0, -1, 115},   {2, -2, 0, 1, 107},
};

// Terms in M carry the decrease of the Earth's orbital eccentricity.
Dual EccentricityFactor(int m, Dual E) {
    if (m == 1 || m == -1) return E;
    if (m == 2 || m == -2) return E * E;
    return Const(1);
}

}  // namespace

Vec LunarGeocentric(Dual jd) {
    const Dual T = (jd - kJ2000) / 36525;
    const double lp[] = {218.3164477, 481267.88123421, -0.0015786, 1.0 / 538841, -1.0 / 65194000};
    const double dd[] = {297.8501921, 445267.1114034, -0.0018819, 1.0 / 545868, -1.0 / 113065000};
    const double mm[] = {357.5291092, 35999.0502909, -0.0001536, 1.0 / 24490000};
    const double mp[] = {134.9633964, 477198.8675055, 0.0087414, 1.0 / 69699, -1.0 / 14712000};
    const double ff[] = {93.2720950, 483202.0175233, -0.0036539, -1.0 / 3526000, 1.0 / 863310000};
    // Whole turns come off before the sines so that the series keeps its
    // digits: the arguments reach 10^5 degrees a century.
    const Dual Lp = Wrap(Poly(T, lp, 5) * kDeg);
    const Dual D = Wrap(Poly(T, dd, 5) * kDeg);
    const Dual M = Wrap(Poly(T, mm, 4) * kDeg);
    const Dual Mp = Wrap(Poly(T, mp, 5) * kDeg);
    const Dual F = Wrap(Poly(T, ff, 5) * kDeg);
    const Dual A1 = (119.75 + 131.849 * T) * kDeg;
    const Dual A2 = (53.09 + 479264.290 * T) * kDeg;
    const Dual A3 = (313.45 + 481266.484 * T) * kDeg;
    const Dual E = 1 - 0.002516 * T - 0.0000074 * T * T;

    Dual sl = 3958 * sin(A1) + 1962 * sin(Lp - F) + 318 * sin(A2);
    Dual sr = Const(0);
    for (const LonDistTerm& k : kLonDist) {
        const Dual arg = k.d * D + k.m * M + k.mp * Mp + k.f * F;
        const Dual e = EccentricityFactor(k.m, E);
        sl += k.sl * e * sin(arg);
        sr += k.cr * e * cos(arg);
    }
    Dual sb = -2235 * sin(Lp) + 382 * sin(A3) + 175 * sin(A1 - F) + 175 * sin(A1 + F) + 127 * sin(Lp - Mp) -
              115 * sin(Lp + Mp);
    for (const LatTerm& k : kLat) {
        const Dual arg = k.d * D + k.m * M + k.mp * Mp + k.f * F;
        sb += k.sb * EccentricityFactor(k.m, E) * sin(arg);
    }
    const Dual lon = Lp + sl * (1e-6 * kDeg);
    const Dual lat = sb * (1e-6 * kDeg);
    const Dual dist = 385000.56 + sr * 1e-3;
    const Vec ofDate{dist * cos(lat) * cos(lon), dist * cos(lat) * sin(lon), dist * sin(lat)};
    return EclipticToJ2000(ofDate, jd);
}

}  // namespace moonseries
