// Io, Europa, Ganymede and Callisto from Lieske's theory E5 as Meeus gives it,
// "Astronomical Algorithms", 2nd ed., ch. 44, "higher accuracy" (a few
// hundred km). Geometric positions about Jupiter's centre: the light time and
// the view from the Earth that the chapter goes on to apply are left out.
#include <cmath>

#include "core/sim/MoonSeries.h"

namespace moonseries {

namespace {

// Jupiter's equatorial radius, the unit of E5's radii (km).
const double kJupiterRadiusKm = 71398;

}  // namespace

Vec GalileanJovicentric(int k, Dual jd) {
    const double p = kDeg;
    const Dual t = jd - 2443000.5;
    const Dual l1 = Wrap((106.07719 + 203.48895579 * t) * p);
    const Dual l2 = Wrap((175.73161 + 101.374724735 * t) * p);
    const Dual l3 = Wrap((120.55883 + 50.317609207 * t) * p);
    const Dual l4 = Wrap((84.44459 + 21.571071177 * t) * p);
    const Dual pi1 = (97.0881 + 0.16138586 * t) * p;
    const Dual pi2 = (154.8663 + 0.04726307 * t) * p;
    const Dual pi3 = (188.1840 + 0.00712734 * t) * p;
    const Dual pi4 = (335.2868 + 0.00184000 * t) * p;
    const Dual w1 = (312.3346 - 0.13279386 * t) * p;
    const Dual w2 = (100.4411 - 0.03263064 * t) * p;
    const Dual w3 = (119.1942 - 0.00717703 * t) * p;
    const Dual w4 = (322.6186 - 0.00175934 * t) * p;
    const Dual Gam = 0.33033 * p * sin((163.679 + 0.0010512 * t) * p) + 0.03439 * p * sin((34.486 - 0.0161731 * t) * p);
    const Dual Phi = (199.6766 + 0.17379190 * t) * p;
    Dual psi = (316.5182 - 0.00000208 * t) * p;
    const Dual G = (30.23756 + 0.0830925701 * t) * p + Gam;
    const Dual Gp = (31.97853 + 0.0334597339 * t) * p;
    const Dual Pi = Const(13.469942 * p);

    Dual L, B, R;
    if (k == 0) {
        const Dual S = 0.47259 * sin(2 * (l1 - l2)) - 0.03478 * sin(pi3 - pi4) + 0.01081 * sin(l2 - 2 * l3 + pi3) +
                       0.00738 * sin(Phi) + 0.00713 * sin(l2 - 2 * l3 + pi2) - 0.00674 * sin(pi1 + pi3 - 2 * Pi - 2 * G) +
                       0.00666 * sin(l2 - 2 * l3 + pi4) + 0.00445 * sin(l1 - pi3) - 0.00354 * sin(l1 - l2) -
                       0.00317 * sin(2 * psi - 2 * Pi) + 0.00265 * sin(l1 - pi4) - 0.00186 * sin(G) +
                       0.00162 * sin(pi2 - pi3) + 0.00158 * sin(4 * (l1 - l2)) - 0.00155 * sin(l1 - l3) -
                       0.00138 * sin(psi + w3 - 2 * Pi - 2 * G) - 0.00115 * sin(2 * (l1 - 2 * l2 + w2)) +
                       0.00089 * sin(pi2 - pi4) + 0.00085 * sin(l1 + pi3 - 2 * Pi - 2 * G) + 0.00083 * sin(w2 - w3) +
                       0.00053 * sin(psi - w2);
        const Dual sig = S * p;
        L = l1 + sig;
        B = atan(0.0006393 * sin(L - w1) + 0.0001825 * sin(L - w2) + 0.0000329 * sin(L - w3) -
                 0.0000311 * sin(L - psi) + 0.0000093 * sin(L - w4) +
                 0.0000075 * sin(3 * L - 4 * l2 - 1.9927 * sig + w2) + 0.0000046 * sin(L + psi - 2 * Pi - 2 * G));
        R = 5.90569 * (1 - 0.0041339 * cos(2 * (l1 - l2)) - 0.0000387 * cos(l1 - pi3) - 0.0000214 * cos(l1 - pi4) +
                       0.0000170 * cos(l1 - l2) - 0.0000131 * cos(4 * (l1 - l2)) + 0.0000106 * cos(l1 - l3) -
                       0.0000066 * cos(l1 + pi3 - 2 * Pi - 2 * G));
    } else if (k == 1) {
        const Dual S = 1.06476 * sin(2 * (l2 - l3)) + 0.04256 * sin(l1 - 2 * l2 + pi3) + 0.03581 * sin(l2 - pi3) +
                       0.02395 * sin(l1 - 2 * l2 + pi4) + 0.01984 * sin(l2 - pi4) - 0.01778 * sin(Phi) +
                       0.01654 * sin(l2 - pi2) + 0.01334 * sin(l2 - 2 * l3 + pi2) + 0.01294 * sin(pi3 - pi4) -
                       0.01142 * sin(l2 - l3) - 0.01057 * sin(G) - 0.00775 * sin(2 * (psi - Pi)) +
                       0.00524 * sin(2 * (l1 - l2)) - 0.00460 * sin(l1 - l3) +
                       0.00316 * sin(psi - 2 * G + w3 - 2 * Pi) - 0.00203 * sin(pi1 + pi3 - 2 * Pi - 2 * G) +
                       0.00146 * sin(psi - w3) - 0.00145 * sin(2 * G) + 0.00125 * sin(psi - w4) -
                       0.00115 * sin(l1 - 2 * l3 + pi3) - 0.00094 * sin(2 * (l2 - w2)) +
                       0.00086 * sin(2 * (l1 - 2 * l2 + w2)) - 0.00086 * sin(5 * Gp - 2 * G + 52.225 * p) -
                       0.00078 * sin(l2 - l4) - 0.00064 * sin(3 * l3 - 7 * l4 + 4 * pi4) + 0.00064 * sin(pi1 - pi4) -
                       0.00063 * sin(l1 - 2 * l3 + pi4) + 0.00058 * sin(w3 - w4) + 0.00056 * sin(2 * (psi - Pi - G)) +
                       0.00056 * sin(2 * (l2 - l4)) + 0.00055 * sin(2 * (l1 - l3)) +
                       0.00052 * sin(3 * l3 - 7 * l4 + pi3 + 3 * pi4) - 0.00043 * sin(l1 - pi3) +
                       0.00041 * sin(5 * (l2 - l3)) + 0.00041 * sin(pi4 - Pi) + 0.00032 * sin(w2 - w3) +
                       0.00032 * sin(2 * (l3 - G - Pi));
        const Dual sig = S * p;
        L = l2 + sig;
        B = atan(0.0081004 * sin(L - w2) + 0.0004512 * sin(L - w3) - 0.0003284 * sin(L - psi) +
                 0.0001160 * sin(L - w4) + 0.0000272 * sin(l1 - 2 * l3 + 1.0146 * sig + w2) -
                 0.0000144 * sin(L - w1) + 0.0000143 * sin(L + psi - 2 * Pi - 2 * G) +
                 0.0000035 * sin(L - psi + G) - 0.0000028 * sin(l1 - 2 * l3 + 1.0146 * sig + w3));
        R = 9.39657 * (1 + 0.0093848 * cos(l1 - l2) - 0.0003116 * cos(l2 - pi3) - 0.0001744 * cos(l2 - pi4) -
                       0.0001442 * cos(l2 - pi2) + 0.0000553 * cos(l2 - l3) + 0.0000523 * cos(l1 - l3) -
                       0.0000290 * cos(2 * (l1 - l2)) + 0.0000164 * cos(2 * (l2 - w2)) +
                       0.0000107 * cos(l1 - 2 * l3 + pi3) - 0.0000102 * cos(l2 - pi1) - 0.0000091 * cos(2 * (l1 - l3)));
    } else if (k == 2) {
        const Dual S = 0.16490 * sin(l3 - pi3) + 0.09081 * sin(l3 - pi4) - 0.06907 * sin(l2 - l3) +
                       0.03784 * sin(pi3 - pi4) + 0.01846 * sin(2 * (l3 - l4)) - 0.01340 * sin(G) -
                       0.01014 * sin(2 * (psi - Pi)) + 0.00704 * sin(l2 - 2 * l3 + pi3) -
                       0.00620 * sin(l2 - 2 * l3 + pi2) - 0.00541 * sin(l3 - l4) + 0.00381 * sin(l2 - 2 * l3 + pi4) +
                       0.00235 * sin(psi - w3) + 0.00198 * sin(psi - w4) + 0.00176 * sin(Phi) +
                       0.00130 * sin(3 * (l3 - l4)) + 0.00125 * sin(l1 - l3) - 0.00119 * sin(5 * Gp - 2 * G + 52.225 * p) +
                       0.00109 * sin(l1 - l2) - 0.00100 * sin(3 * l3 - 7 * l4 + 4 * pi4) + 0.00091 * sin(w3 - w4) +
                       0.00080 * sin(3 * l3 - 7 * l4 + pi3 + 3 * pi4) - 0.00075 * sin(2 * l2 - 3 * l3 + pi3) +
                       0.00072 * sin(pi1 + pi3 - 2 * Pi - 2 * G) + 0.00069 * sin(pi4 - Pi) -
                       0.00058 * sin(2 * l3 - 3 * l4 + pi4) - 0.00057 * sin(l3 - 2 * l4 + pi4) +
                       0.00056 * sin(l3 + pi3 - 2 * Pi - 2 * G) - 0.00052 * sin(l2 - 2 * l3 + pi1) -
                       0.00050 * sin(pi2 - pi3) + 0.00048 * sin(l3 - 2 * l4 + pi3) -
                       0.00045 * sin(2 * l2 - 3 * l3 + pi4) - 0.00041 * sin(pi2 - pi4) - 0.00038 * sin(2 * G) -
                       0.00037 * sin(pi3 - pi4 + w3 - w4) - 0.00032 * sin(3 * l3 - 7 * l4 + 2 * pi3 + 2 * pi4) +
                       0.00030 * sin(4 * (l3 - l4)) + 0.00029 * sin(l3 + pi4 - 2 * Pi - 2 * G) -
                       0.00028 * sin(w3 + psi - 2 * Pi - 2 * G) + 0.00026 * sin(l3 - Pi - G) +
                       0.00024 * sin(l2 - 3 * l3 + 2 * l4) + 0.00021 * sin(2 * (l3 - Pi - G)) -
                       0.00021 * sin(l3 - pi2) + 0.00017 * sin(2 * (l3 - pi3));
        const Dual sig = S * p;
        L = l3 + sig;
        B = atan(0.0032402 * sin(L - w3) - 0.0016911 * sin(L - psi) + 0.0006847 * sin(L - w4) -
                 0.0002797 * sin(L - w2) + 0.0000321 * sin(L + psi - 2 * Pi - 2 * G) + 0.0000051 * sin(L - psi + G) -
                 0.0000045 * sin(L - psi - G) - 0.0000045 * sin(L + psi - 2 * Pi) +
                 0.0000037 * sin(L + psi - 2 * Pi - 3 * G) + 0.0000030 * sin(2 * l2 - 3 * L + 4.03 * sig + w2) -
                 0.0000021 * sin(2 * l2 - 3 * L + 4.03 * sig + w3));
        R = 14.98832 * (1 - 0.0014388 * cos(l3 - pi3) - 0.0007917 * cos(l3 - pi4) + 0.0006342 * cos(l2 - l3) -
                        0.0001761 * cos(2 * (l3 - l4)) + 0.0000294 * cos(l3 - l4) - 0.0000156 * cos(3 * (l3 - l4)) +
                        0.0000156 * cos(l1 - l3) - 0.0000153 * cos(l1 - l2) + 0.0000070 * cos(2 * l2 - 3 * l3 + pi3) -
                        0.0000051 * cos(l3 + pi3 - 2 * Pi - 2 * G));
    } else {
        const Dual S = 0.84287 * sin(l4 - pi4) + 0.03431 * sin(pi4 - pi3) - 0.03305 * sin(2 * (psi - Pi)) -
                       0.03211 * sin(G) - 0.01862 * sin(l4 - pi3) + 0.01186 * sin(psi - w4) +
                       0.00623 * sin(l4 + pi4 - 2 * G - 2 * Pi) + 0.00387 * sin(2 * (l4 - pi4)) -
                       0.00284 * sin(5 * Gp - 2 * G + 52.225 * p) - 0.00234 * sin(2 * (psi - pi4)) -
                       0.00223 * sin(l3 - l4) - 0.00208 * sin(l4 - Pi) + 0.00178 * sin(psi + w4 - 2 * pi4) +
                       0.00134 * sin(pi4 - Pi) + 0.00125 * sin(2 * (l4 - G - Pi)) - 0.00117 * sin(2 * G) -
                       0.00112 * sin(2 * (l3 - l4)) + 0.00107 * sin(3 * l3 - 7 * l4 + 4 * pi4) +
                       0.00102 * sin(l4 - G - Pi) + 0.00096 * sin(2 * l4 - psi - w4) + 0.00087 * sin(2 * (psi - w4)) -
                       0.00085 * sin(3 * l3 - 7 * l4 + pi3 + 3 * pi4) + 0.00085 * sin(l3 - 2 * l4 + pi4) -
                       0.00081 * sin(2 * (l4 - psi)) + 0.00071 * sin(l4 + pi4 - 2 * Pi - 3 * G) +
                       0.00061 * sin(l1 - l4) - 0.00056 * sin(psi - w3) - 0.00054 * sin(l3 - 2 * l4 + pi3) +
                       0.00051 * sin(l2 - l4) + 0.00042 * sin(2 * (psi - G - Pi)) + 0.00039 * sin(2 * (pi4 - w4)) +
                       0.00036 * sin(psi + Pi - pi4 - w4) + 0.00035 * sin(2 * Gp - G + 188.37 * p) -
                       0.00035 * sin(l4 - pi4 + 2 * Pi - 2 * psi) - 0.00032 * sin(l4 + pi4 - 2 * Pi - G) +
                       0.00030 * sin(2 * Gp - 2 * G + 149.15 * p) + 0.00029 * sin(3 * l3 - 7 * l4 + 2 * pi3 + 2 * pi4) +
                       0.00028 * sin(l4 - pi4 + 2 * psi - 2 * Pi) - 0.00028 * sin(2 * (l4 - w4)) -
                       0.00027 * sin(pi3 - pi4 + w3 - w4) - 0.00026 * sin(5 * Gp - 3 * G + 188.37 * p) +
                       0.00025 * sin(w4 - w3) - 0.00025 * sin(l2 - 3 * l3 + 2 * l4) - 0.00023 * sin(3 * (l3 - l4)) +
                       0.00021 * sin(2 * l4 - 2 * Pi - 3 * G) - 0.00021 * sin(2 * l3 - 3 * l4 + pi4) +
                       0.00019 * sin(l4 - pi4 - G) - 0.00019 * sin(2 * l4 - pi3 - pi4) - 0.00018 * sin(l4 - pi4 + G) -
                       0.00016 * sin(l4 + pi3 - 2 * Pi - 2 * G);
        const Dual sig = S * p;
        L = l4 + sig;
        B = atan(-0.0076579 * sin(L - psi) + 0.0044134 * sin(L - w4) - 0.0005112 * sin(L - w3) +
                 0.0000773 * sin(L + psi - 2 * Pi - 2 * G) + 0.0000104 * sin(L - psi + G) -
                 0.0000102 * sin(L - psi - G) + 0.0000088 * sin(L + psi - 2 * Pi - 3 * G) -
                 0.0000038 * sin(L + psi - 2 * Pi - G));
        R = 26.36273 * (1 - 0.0073546 * cos(l4 - pi4) + 0.0001621 * cos(l4 - pi3) + 0.0000974 * cos(l3 - l4) -
                        0.0000543 * cos(l4 + pi4 - 2 * Pi - 2 * G) - 0.0000271 * cos(2 * (l4 - pi4)) +
                        0.0000182 * cos(l4 - Pi) + 0.0000177 * cos(2 * (l3 - l4)) - 0.0000167 * cos(2 * l4 - psi - w4) +
                        0.0000167 * cos(psi - w4) - 0.0000155 * cos(2 * (l4 - Pi - G)) + 0.0000142 * cos(2 * (l4 - psi)) +
                        0.0000105 * cos(l1 - l4) + 0.0000092 * cos(l2 - l4) - 0.0000089 * cos(l4 - Pi - G) -
                        0.0000062 * cos(l4 + pi4 - 2 * Pi - 3 * G) + 0.0000048 * cos(2 * (l4 - w4)));
    }

    // E5's longitudes count from the B1950 equinox; the precession since then
    // brings them, and the node psi of Jupiter's equator, to the date.
    const Dual T0 = (jd - 2433282.423) / 36525;
    const Dual P = (1.3966626 + 0.0003088 * T0) * T0 * p;
    L = L + P;
    psi = psi + P;
    const Dual T = (jd - kJ2000) / 36525;
    const Dual I = (3.120262 + 0.0006 * (jd - 2415020.0) / 36525) * p;  // Jupiter's equator on its orbit
    // Jupiter's orbit on the ecliptic of date, Meeus Table 31.A.
    const double nodeCoef[] = {100.464441, 1.0209550, 0.00040117, 0.000000569};
    const double incCoef[] = {1.303270, -0.0054966, 0.00000465, -0.000000004};
    const Dual node = Poly(T, nodeCoef, 4) * p;
    const Dual inc = Poly(T, incCoef, 4) * p;

    const Dual r = R * kJupiterRadiusKm;
    Vec v{r * cos(L - psi) * cos(B), r * sin(L - psi) * cos(B), r * sin(B)};
    // Jupiter's equator -> its orbit -> the ecliptic of date.
    v = RotZ(RotX(RotZ(RotX(v, I), psi - node), inc), node);
    return EclipticToJ2000(v, jd);
}

}  // namespace moonseries
