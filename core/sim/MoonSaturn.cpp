// Saturn's eight large moons from Meeus, "Astronomical Algorithms", 2nd ed.,
// ch. 46 (Harper & Taylor's theory, after Dourneau and others): it carries
// the Mimas-Tethys and Titan-Hyperion resonances that mean elements miss.
// Geometric positions about Saturn's centre; the chapter's light time and
// projection on the sky are left out.
#include <cmath>

#include "core/sim/MoonSeries.h"

namespace moonseries {

namespace {

// The unit of the theory's distances (km). With Saturn's nominal 60330 km
// the orbits come out 0.2% small: their mean distances below JPL's (Titan
// 1219645 against 1221870 km) and, with their own velocities, a Saturn GM
// 0.3-0.6% below the published 37931207 km^3/s^2, which an integrator would
// turn into degrees of drift a week. 60440 km, measured from Titan's JPL mean
// distance, leaves Titan and Iapetus within 0.05% of that GM; the inner five
// then run 0.2-0.4% above it, about what Saturn's oblateness adds.
const double kSaturnRadiusKm = 60440;
const double d = kDeg;

// The moon's true longitude, radius (Saturn radii), inclination and node, all
// on the B1950 ecliptic.
struct Orbit {
    Dual lambda, r, gamma, omega;
};

struct Times {
    Dual t1, t2, t3, t4, t5, t6, t7, t8, t9, t10, t11;
    Dual W0, W1, W2, W3, W4, W5, W6, W7, W8;
    double s1, c1;
    Dual e1;
};

Times MakeTimes(Dual jd) {
    Times q;
    q.t1 = jd - 2411093.0;
    q.t2 = q.t1 / 365.25;
    q.t3 = (jd - 2433282.423) / 365.25 + 1950.0;
    q.t4 = jd - 2411368.0;
    q.t5 = q.t4 / 365.25;
    q.t6 = jd - 2415020.0;
    q.t7 = q.t6 / 36525;
    q.t8 = q.t6 / 365.25;
    q.t9 = (jd - 2442000.5) / 365.25;
    q.t10 = jd - 2409786.0;
    q.t11 = q.t10 / 36525;
    q.W0 = 5.095 * (q.t3 - 1866.39) * d;
    q.W1 = (74.4 + 32.39 * q.t2) * d;
    q.W2 = (134.3 + 92.62 * q.t2) * d;
    q.W3 = (42.0 - 0.5118 * q.t5) * d;
    q.W4 = (276.59 + 0.5118 * q.t5) * d;
    q.W5 = (267.2635 + 1222.1136 * q.t7) * d;
    q.W6 = (175.4762 + 1221.5515 * q.t7) * d;
    q.W7 = (2.4891 + 0.002435 * q.t7) * d;
    q.W8 = (113.35 - 0.2597 * q.t7) * d;
    q.s1 = std::sin(28.0817 * d);
    q.c1 = std::cos(28.0817 * d);
    q.e1 = 0.05589 - 0.000346 * q.t7;
    return q;
}

// The outer four: from mean longitude, perisaturnium, eccentricity, semi-axis,
// node and inclination on the ecliptic to the orbit on Saturn's equator.
Orbit Elliptic(const Times& q, Dual lam, Dual peri, Dual e, Dual a, Dual node, Dual inc) {
    const Dual M = lam - peri;
    const Dual e2 = e * e, e3 = e2 * e, e4 = e2 * e2, e5 = e3 * e2;
    const Dual C = (2 * e - 0.25 * e3 + 0.0520833333 * e5) * sin(M) + (1.25 * e2 - 0.458333333 * e4) * sin(2 * M) +
                   (1.083333333 * e3 - 0.671875 * e5) * sin(3 * M) + 1.072917 * e4 * sin(4 * M) +
                   1.142708 * e5 * sin(5 * M);
    Orbit o;
    o.r = a * (1 - e2) / (1 + e * cos(M + C));
    const Dual g = node - 168.8112 * d;
    const Dual a1 = sin(inc) * sin(g);
    const Dual a2 = q.c1 * sin(inc) * cos(g) - q.s1 * cos(inc);
    o.gamma = asin(hypot(a1, a2));
    const Dual u = atan2(a1, a2);
    o.omega = 168.8112 * d + u;
    const Dual h = q.c1 * sin(inc) - q.s1 * cos(inc) * cos(g);
    const Dual psi = atan2(q.s1 * sin(g), h);
    o.lambda = lam + C + u - g - psi;
    return o;
}

Orbit Mimas(const Times& q) {
    const Dual L = (127.64 + 381.994497 * q.t1) * d - 43.57 * d * sin(q.W0) - 0.720 * d * sin(3 * q.W0) -
                   0.02144 * d * sin(5 * q.W0);
    const Dual p = (106.1 + 365.549 * q.t2) * d;
    const Dual M = L - p;
    const Dual C = 2.18287 * d * sin(M) + 0.025988 * d * sin(2 * M) + 0.00043 * d * sin(3 * M);
    return Orbit{L + C, 3.06879 / (1 + 0.01905 * cos(M + C)), Const(1.563 * d), (54.5 - 365.072 * q.t2) * d};
}

Orbit Enceladus(const Times& q) {
    const Dual L = (200.317 + 262.7319002 * q.t1) * d + 0.25667 * d * sin(q.W1) + 0.20883 * d * sin(q.W2);
    const Dual p = (309.107 + 123.44121 * q.t2) * d;
    const Dual M = L - p;
    const Dual C = 0.55577 * d * sin(M) + 0.00168 * d * sin(2 * M);
    return Orbit{L + C, 3.94118 / (1 + 0.00485 * cos(M + C)), Const(0.0262 * d), (348.0 - 151.95 * q.t2) * d};
}

Orbit Tethys(const Times& q) {
    const Dual lam = (285.306 + 190.69791226 * q.t1) * d + 2.063 * d * sin(q.W0) + 0.03409 * d * sin(3 * q.W0) +
                     0.001015 * d * sin(5 * q.W0);
    return Orbit{lam, Const(4.880998), Const(1.0976 * d), (111.33 - 72.2441 * q.t2) * d};
}

Orbit Dione(const Times& q) {
    const Dual L = (254.712 + 131.53493193 * q.t1) * d - 0.0215 * d * sin(q.W1) - 0.01733 * d * sin(q.W2);
    const Dual p = (174.8 + 30.820 * q.t2) * d;
    const Dual M = L - p;
    const Dual C = 0.24717 * d * sin(M) + 0.00033 * d * sin(2 * M);
    return Orbit{L + C, 6.24871 / (1 + 0.002157 * cos(M + C)), Const(0.0139 * d), (232.0 - 30.27 * q.t2) * d};
}

Orbit Rhea(const Times& q) {
    const Dual pp = (342.7 + 10.057 * q.t2) * d;
    const Dual a1 = 0.000265 * sin(pp) + 0.001 * sin(q.W4);
    const Dual a2 = 0.000265 * cos(pp) + 0.001 * cos(q.W4);
    const Dual e = hypot(a1, a2);
    const Dual p = atan2(a1, a2);
    const Dual N = (345.0 - 10.057 * q.t2) * d;
    const Dual lam = (359.244 + 79.69004720 * q.t1) * d + 0.086754 * d * sin(N);
    const Dual i = (28.0362 * d) + 0.346898 * d * cos(N) + 0.01930 * d * cos(q.W3);
    const Dual node = (168.8034 * d) + 0.736936 * d * sin(N) + 0.041 * d * sin(q.W3);
    return Elliptic(q, lam, p, e, Const(8.725924), node, i);
}

Orbit Titan(const Times& q) {
    const Dual L = (261.1582 + 22.57697855 * q.t4) * d + 0.074025 * d * sin(q.W3);
    const Dual ip = (27.45141 * d) + 0.295999 * d * cos(q.W3);
    const Dual np = (168.66925 * d) + 0.628808 * d * sin(q.W3);
    const Dual a1 = sin(q.W7) * sin(np - q.W8);
    const Dual a2 = cos(q.W7) * sin(ip) - sin(q.W7) * cos(ip) * cos(np - q.W8);
    const double g0 = 102.8623 * d;
    const Dual psi = atan2(a1, a2);
    const Dual s = hypot(a1, a2);
    Dual g = q.W4 - np - psi;
    Dual varpi = Const(0);
    for (int k = 0; k < 3; ++k) {
        varpi = q.W4 + 0.37515 * d * (sin(2 * g) - std::sin(2 * g0));
        g = varpi - np - psi;
    }
    const Dual ep = 0.029092 + 0.00019048 * (cos(2 * g) - std::cos(2 * g0));
    const Dual qq = 2 * (q.W5 - varpi);
    const Dual b1 = sin(ip) * sin(np - q.W8);
    const Dual b2 = cos(q.W7) * sin(ip) * cos(np - q.W8) - sin(q.W7) * cos(ip);
    const Dual theta = atan2(b1, b2) + q.W8;
    const Dual e = ep + 0.002778797 * ep * cos(qq);
    const Dual p = varpi + 0.159215 * d * sin(qq);
    const Dual u = 2 * q.W5 - 2 * theta + psi;
    const Dual h = 0.9375 * ep * ep * sin(qq) + 0.1875 * s * s * sin(2 * (q.W5 - theta));
    const Dual lam = L - 0.254744 * d * (q.e1 * sin(q.W6) + 0.75 * q.e1 * q.e1 * sin(2 * q.W6) + h);
    const Dual i = ip + 0.031843 * d * s * cos(u);
    const Dual node = np + 0.031843 * d * s * sin(u) / sin(ip);
    return Elliptic(q, lam, p, e, Const(20.216193), node, i);
}

Orbit Hyperion(const Times& q) {
    const Dual eta = (92.39 + 0.5621071 * q.t6) * d;
    const Dual zeta = (148.19 - 19.18 * q.t8) * d;
    const Dual theta = (184.8 - 35.41 * q.t9) * d;
    const Dual thetap = theta - 7.5 * d;
    const Dual as = (176.0 + 12.22 * q.t8) * d;
    const Dual bs = (8.0 + 24.44 * q.t8) * d;
    const Dual cs = bs + 5.0 * d;
    const Dual varpi = (69.898 - 18.67088 * q.t8) * d;
    const Dual phi = 2 * (varpi - q.W5);
    const Dual chi = (94.9 - 2.292 * q.t8) * d;
    const Dual a = 24.50601 - 0.08686 * cos(eta) - 0.00166 * cos(zeta + eta) + 0.00175 * cos(zeta - eta);
    const Dual e = 0.103458 - 0.004099 * cos(eta) - 0.000167 * cos(zeta + eta) + 0.000235 * cos(zeta - eta) +
                   0.02303 * cos(zeta) - 0.00212 * cos(2 * zeta) + 0.000151 * cos(3 * zeta) + 0.00013 * cos(phi);
    const Dual p = varpi + d * (0.15648 * sin(chi) - 0.4457 * sin(eta) - 0.2657 * sin(zeta + eta) -
                                0.3573 * sin(zeta - eta) - 12.872 * sin(zeta) + 1.668 * sin(2 * zeta) -
                                0.2419 * sin(3 * zeta) - 0.07 * sin(phi));
    const Dual lam = (177.047 + 16.91993829 * q.t6) * d +
                     d * (0.15648 * sin(chi) + 9.142 * sin(eta) + 0.007 * sin(2 * eta) - 0.014 * sin(3 * eta) +
                          0.2275 * sin(zeta + eta) + 0.2112 * sin(zeta - eta) - 0.26 * sin(zeta) -
                          0.0098 * sin(2 * zeta) - 0.013 * sin(as) + 0.017 * sin(bs) - 0.0303 * sin(phi));
    const Dual i = 27.3347 * d + d * (0.6434886 * cos(chi) + 0.315 * cos(q.W3) + 0.018 * cos(theta) - 0.018 * cos(cs));
    const Dual node = 168.6812 * d + d * (1.40136 * cos(chi) + 0.68599 * sin(q.W3) - 0.0392 * sin(cs) +
                                          0.0366 * sin(thetap));
    return Elliptic(q, lam, p, e, a, node, i);
}

Orbit Iapetus(const Times& q) {
    const Dual L = (261.1582 + 22.57697855 * q.t4) * d;
    const Dual varpip = (91.796 + 0.562 * q.t7) * d;
    const Dual psi = (4.367 - 0.195 * q.t7) * d;
    const Dual theta = (146.819 - 3.198 * q.t7) * d;
    const Dual phi = (60.470 + 1.521 * q.t7) * d;
    const Dual Phi = (205.055 - 2.091 * q.t7) * d;
    const Dual ep = 0.028298 + 0.001156 * q.t11;
    const Dual varpi0 = (352.91 + 11.71 * q.t11) * d;
    const Dual mu = (76.3852 + 4.53795125 * q.t10) * d;
    const double ic[] = {18.4602, -0.9518, -0.072, 0.0054};
    const double nc[] = {143.198, -3.919, 0.116, 0.008};
    const Dual ip = Poly(q.t11, ic, 4) * d;
    const Dual np = Poly(q.t11, nc, 4) * d;
    const Dual l = mu - varpi0;
    const Dual g = varpi0 - np - psi;
    const Dual g1 = varpi0 - np - phi;
    const Dual ls = q.W5 - varpip;
    const Dual gs = varpip - theta;
    const Dual lT = L - q.W4;
    const Dual gT = q.W4 - Phi;
    const Dual u1 = 2 * (l + g - ls - gs);
    const Dual u2 = l + g1 - lT - gT;
    const Dual u3 = l + 2 * (g - ls - gs);
    const Dual u4 = lT + gT - g1;
    const Dual u5 = 2 * (ls + gs);
    const Dual a = 58.935028 + 0.004638 * cos(u1) + 0.058222 * cos(u2);
    const Dual e = ep - 0.0014097 * cos(g1 - gT) + 0.0003733 * cos(u5 - 2 * g) + 0.0001180 * cos(u3) +
                   0.0002408 * cos(l) + 0.0002849 * cos(l + u2) + 0.0006190 * cos(u4);
    const Dual w = d * (0.08077 * sin(g1 - gT) + 0.02139 * sin(u5 - 2 * g) - 0.00676 * sin(u3) + 0.01380 * sin(l) +
                        0.01632 * sin(l + u2) + 0.03547 * sin(u4));
    const Dual p = varpi0 + w / ep;
    const Dual lam = mu + d * (-0.04299 * sin(u2) - 0.00789 * sin(u1) - 0.06312 * sin(ls) - 0.00295 * sin(2 * ls) -
                               0.02231 * sin(u5) + 0.00650 * sin(u5 + psi));
    const Dual i = ip + d * (0.04204 * cos(u5 + psi) + 0.00235 * cos(l + g1 + lT + gT + phi) + 0.00360 * cos(u2 + phi));
    const Dual wp = d * (0.04204 * sin(u5 + psi) + 0.00235 * sin(l + g1 + lT + gT + phi) + 0.00358 * sin(u2 + phi));
    const Dual node = np + wp / sin(ip);
    return Elliptic(q, lam, p, e, a, node, i);
}

}  // namespace

Vec SaturnianMoon(int k, Dual jd) {
    const Times q = MakeTimes(jd);
    Orbit o;
    switch (k) {
        case 0: o = Mimas(q); break;
        case 1: o = Enceladus(q); break;
        case 2: o = Tethys(q); break;
        case 3: o = Dione(q); break;
        case 4: o = Rhea(q); break;
        case 5: o = Titan(q); break;
        case 6: o = Hyperion(q); break;
        default: o = Iapetus(q); break;
    }
    // On Saturn's equator, counted from its node (168.8112 degrees) on the
    // B1950 ecliptic, then tilted by the equator's 28.0817 degrees onto it.
    const Dual u = o.lambda - o.omega;
    const Dual w = o.omega - 168.8112 * d;
    Vec v{o.r * kSaturnRadiusKm, Const(0), Const(0)};
    v = RotZ(RotX(RotZ(v, u), o.gamma), w);
    v = RotZ(RotX(v, Const(28.0817 * d)), Const(168.8112 * d));
    return EclipticToJ2000(v, Const(kB1950));
}

}  // namespace moonseries
