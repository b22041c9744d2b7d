// Shared by the moon theories only: a number that carries its rate per day
// alongside its value, so that each theory written once gives position and
// velocity together, and the rotations between the theories' frames.
// Not part of the public API; callers use core/sim/MoonTheories.h.
#ifndef ORRERY_CORE_SIM_MOONSERIES_H
#define ORRERY_CORE_SIM_MOONSERIES_H

#include <cmath>

namespace moonseries {

const double kPi = 3.14159265358979323846;
const double kDeg = kPi / 180;
const double kJ2000 = 2451545.0;
const double kB1950 = 2433282.4235;

// A value and its derivative with respect to time in days. Every operation
// applies the chain rule, so the derivative is the theory's own, with no step
// to choose and no difference to lose digits in.
struct Dual {
    double v, d;
};

inline Dual Const(double v) { return Dual{v, 0}; }
inline Dual operator+(Dual a, Dual b) { return Dual{a.v + b.v, a.d + b.d}; }
inline Dual operator-(Dual a, Dual b) { return Dual{a.v - b.v, a.d - b.d}; }
inline Dual operator-(Dual a) { return Dual{-a.v, -a.d}; }
inline Dual operator*(Dual a, Dual b) { return Dual{a.v * b.v, a.d * b.v + a.v * b.d}; }
inline Dual operator/(Dual a, Dual b) { return Dual{a.v / b.v, (a.d * b.v - a.v * b.d) / (b.v * b.v)}; }
inline Dual operator+(Dual a, double b) { return Dual{a.v + b, a.d}; }
inline Dual operator+(double a, Dual b) { return Dual{a + b.v, b.d}; }
inline Dual operator-(Dual a, double b) { return Dual{a.v - b, a.d}; }
inline Dual operator-(double a, Dual b) { return Dual{a - b.v, -b.d}; }
inline Dual operator*(Dual a, double b) { return Dual{a.v * b, a.d * b}; }
inline Dual operator*(double a, Dual b) { return Dual{a * b.v, a * b.d}; }
inline Dual operator/(Dual a, double b) { return Dual{a.v / b, a.d / b}; }
inline Dual operator/(double a, Dual b) { return Dual{a / b.v, -a * b.d / (b.v * b.v)}; }
inline Dual& operator+=(Dual& a, Dual b) { return a = a + b; }

inline Dual sin(Dual a) { return Dual{std::sin(a.v), std::cos(a.v) * a.d}; }
inline Dual cos(Dual a) { return Dual{std::cos(a.v), -std::sin(a.v) * a.d}; }
inline Dual sqrt(Dual a) {
    const double s = std::sqrt(a.v);
    return Dual{s, a.d / (2 * s)};
}
inline Dual atan(Dual a) { return Dual{std::atan(a.v), a.d / (1 + a.v * a.v)}; }
inline Dual asin(Dual a) { return Dual{std::asin(a.v), a.d / std::sqrt(1 - a.v * a.v)}; }
inline Dual atan2(Dual y, Dual x) {
    const double r2 = x.v * x.v + y.v * y.v;
    return Dual{std::atan2(y.v, x.v), (x.v * y.d - y.v * x.d) / r2};
}
inline Dual hypot(Dual a, Dual b) { return sqrt(a * a + b * b); }
// Whole turns off the value only: the rate is the same whatever the turn.
inline Dual Wrap(Dual a) { return Dual{a.v - 2 * kPi * std::floor(a.v / (2 * kPi)), a.d}; }

// a0 + a1 t + a2 t^2 + ... for the polynomials of the published theories.
inline Dual Poly(Dual t, const double* a, int n) {
    Dual r = Const(a[n - 1]);
    for (int i = n - 2; i >= 0; --i) r = r * t + a[i];
    return r;
}

struct Vec {
    Dual x, y, z;
};

// The frames turn about one axis at a time, by an angle that may itself move.
inline Vec RotX(Vec p, Dual a) {
    const Dual c = cos(a), s = sin(a);
    return Vec{p.x, c * p.y - s * p.z, s * p.y + c * p.z};
}
inline Vec RotZ(Vec p, Dual a) {
    const Dual c = cos(a), s = sin(a);
    return Vec{c * p.x - s * p.y, s * p.x + c * p.y, p.z};
}

// From the mean ecliptic and equinox of the date jdFrom (a time-varying
// Julian day for theories of date, a constant one for B1950) to those of
// J2000: Meeus, "Astronomical Algorithms", 2nd ed., eq. 21.5 (Lieske 1977).
Vec EclipticToJ2000(Vec p, Dual jdFrom);

// From the mean equator and equinox of J2000 (the ICRF to the accuracy here)
// to the mean ecliptic of J2000.
Vec EquatorJ2000ToEcliptic(Vec p);

// Each theory: the moon relative to its planet's centre in km, in the frame
// its comment names. t is the Julian day (TT) carrying a derivative of 1.
Vec LunarGeocentric(Dual jd);             // ecliptic J2000 (precessed inside)
Vec GalileanJovicentric(int k, Dual jd);  // k 0..3 Io..Callisto; ecliptic J2000
Vec SaturnianMoon(int k, Dual jd);        // k 0..7 Mimas..Iapetus; ecliptic J2000
Vec UranianMoon(int k, Dual jd);          // k 0..4 Miranda..Oberon; ecliptic J2000

}  // namespace moonseries

#endif
