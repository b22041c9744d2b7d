// Osculating elements by the vectors (angular momentum, node, eccentricity)
// rather than by angle formulas, so that the circular, equatorial and radial
// orbits, where some angles mean nothing, fall back to fixed choices instead
// of dividing by zero. Drawing points come from the same vectors P and Q.
#include "core/sim/Orbits.h"

#include <cmath>
#include <cstring>

const double OrbitCircularBelow = 1e-11;
const double OrbitEquatorialBelow = 1e-11;

namespace {

const double kPi = 3.14159265358979323846;
const double kTwoPi = 2 * kPi;
// Angular momentum below this share of |r||v| makes the motion radial: the
// plane would come from rounding alone.
const double kRadialBelow = 1e-12;

struct Vec {
    double x, y, z;
};

Vec operator-(Vec a, Vec b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
Vec operator*(double s, Vec a) { return {s * a.x, s * a.y, s * a.z}; }
double Dot(Vec a, Vec b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
Vec Cross(Vec a, Vec b) { return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x}; }
double Length(Vec a) { return std::sqrt(Dot(a, a)); }
Vec Unit(Vec a) { return (1 / Length(a)) * a; }

// The ecliptic's X, Y, Z are the model's x, z, -y.
Vec EclipticFromModel(const double m[3]) { return {m[0], m[2], -m[1]}; }
void ModelFromEcliptic(Vec e, double m[3]) {
    m[0] = e.x;
    m[1] = -e.z;
    m[2] = e.y;
}

double Wrap(double angle) {
    if (angle < 0) angle += kTwoPi;
    return angle >= kTwoPi ? 0 : angle;
}

// The angle from `from` to `to` turning about `axis` (both in the plane
// square to it), 0..2pi.
double AngleAbout(Vec from, Vec to, Vec axis) { return Wrap(std::atan2(Dot(Cross(from, to), axis), Dot(from, to))); }

// Some unit vector square to u.
Vec Perpendicular(Vec u) {
    const Vec least = std::fabs(u.x) <= std::fabs(u.y) && std::fabs(u.x) <= std::fabs(u.z) ? Vec{1, 0, 0}
                      : std::fabs(u.y) <= std::fabs(u.z)                                   ? Vec{0, 1, 0}
                                                                                           : Vec{0, 0, 1};
    return Unit(Cross(u, least));
}

bool AllFinite(const OrbitElements& o) {
    const double values[] = {
        o.mu,           o.distance,    o.speed,  o.a,    o.e,    o.p,    o.periapsis, o.apoapsis, o.inclination, o.node,
        o.argPeriapsis, o.trueAnomaly, o.period, o.P[0], o.P[1], o.P[2], o.Q[0],      o.Q[1],     o.Q[2]};
    for (double v : values)
        if (!std::isfinite(v)) return false;
    return true;
}

int Invalid(OrbitElements* out) {
    std::memset(out, 0, sizeof *out);
    return 0;
}

// The k-th of `last + 1` values from lo to hi that takes `mid` exactly at
// index kMid, evenly spaced on either side of it.
double Through(double lo, double mid, double hi, int k, int kMid, int last) {
    if (k <= kMid) return kMid == 0 ? mid : lo + (mid - lo) * k / kMid;
    return mid + (hi - mid) * (k - kMid) / (last - kMid);
}

void Put(float* xyz, int k, const OrbitElements& o, double alongP, double alongQ) {
    for (int i = 0; i < 3; ++i) xyz[3 * k + i] = static_cast<float>(alongP * o.P[i] + alongQ * o.Q[i]);
}

}  // namespace

int OrbitFromState(const double rModel[3], const double vModel[3], double mu, OrbitElements* out) {
    std::memset(out, 0, sizeof *out);
    for (int i = 0; i < 3; ++i)
        if (!std::isfinite(rModel[i]) || !std::isfinite(vModel[i])) return 0;
    if (!(mu > 0) || !std::isfinite(mu)) return 0;
    const Vec r = EclipticFromModel(rModel), v = EclipticFromModel(vModel);
    const double rr = Length(r), vv = Length(v);
    if (!(rr > 0)) return 0;

    OrbitElements& o = *out;
    o.valid = 1;
    o.mu = mu;
    o.distance = rr;
    o.speed = vv;
    const double energy = vv * vv / 2 - mu / rr;
    o.bound = energy < 0;
    o.a = energy != 0 ? -mu / (2 * energy) : 0;
    if (!std::isfinite(o.a)) o.a = 0, o.bound = 0;  // so near a parabola that a overflows

    const Vec h = Cross(r, v);
    const double hh = Length(h);
    Vec P, Q;
    if (hh <= kRadialBelow * rr * vv) {
        o.radial = 1;
        o.e = 1;
        o.trueAnomaly = kPi;
        P = (-1 / rr) * r;
        Q = Perpendicular(P);
    } else {
        const Vec hUnit = (1 / hh) * h;
        const Vec eVec = (1 / mu) * ((vv * vv - mu / rr) * r - Dot(r, v) * v);
        o.e = Length(eVec);
        o.p = hh * hh / mu;
        // Energy and eccentricity can disagree by rounding near e = 1; the
        // energy decides, and e is kept on its side of 1.
        if (o.bound && o.e > 1) o.e = 1;
        if (!o.bound && o.e < 1) o.e = 1;
        const double sinI = std::sqrt(h.x * h.x + h.y * h.y) / hh;
        o.inclination = std::atan2(sinI, hUnit.z);
        Vec reference;  // where angles in the plane start: the ascending node, or X
        if (sinI < OrbitEquatorialBelow) {
            const Vec x = {1, 0, 0};
            reference = Unit(x - Dot(x, hUnit) * hUnit);
        } else {
            o.node = Wrap(std::atan2(h.x, -h.y));
            reference = Unit(Vec{-h.y, h.x, 0});
        }
        if (o.e < OrbitCircularBelow) {
            P = reference;
        } else {
            P = (1 / o.e) * eVec;
            o.argPeriapsis = AngleAbout(reference, P, hUnit);
        }
        Q = Cross(hUnit, P);
        o.trueAnomaly = AngleAbout(P, r, hUnit);
    }
    o.periapsis = o.radial ? 0 : o.p / (1 + o.e);
    if (o.bound) {
        o.apoapsis = o.a * (1 + o.e);
        o.period = kTwoPi * o.a * std::sqrt(o.a / mu);
        if (!std::isfinite(o.period)) o.period = 0;
    }
    ModelFromEcliptic(P, o.P);
    ModelFromEcliptic(Q, o.Q);
    if (!AllFinite(o)) return Invalid(out);
    return 1;
}

int OrbitAbout(const Body& body, const Body& parent, double kapa, OrbitElements* out) {
    const double r[3] = {body.x - parent.x, body.y - parent.y, body.z - parent.z};
    const double v[3] = {body.vx - parent.vx, body.vy - parent.vy, body.vz - parent.vz};
    return OrbitFromState(r, v, kapa * (parent.hmotnost + body.hmotnost), out);
}

int SampleOrbit(const OrbitElements& o, double reach, int count, float* xyz) {
    if (!o.valid || count < 2 || !xyz) return 0;
    const int last = count - 1;
    if (o.bound) {
        // By the eccentric anomaly, which spaces the points well for any e and
        // needs no division: x = a (cos E - e), y = b sin E.
        const double b = std::sqrt(o.a * o.p);
        double E0;
        if (o.radial) {
            const double c = 1 - o.distance / o.a;
            E0 = std::acos(c < -1 ? -1 : c > 1 ? 1 : c);
        } else {
            E0 = std::atan2(std::sqrt(1 - o.e * o.e) * std::sin(o.trueAnomaly), o.e + std::cos(o.trueAnomaly));
        }
        for (int k = 0; k < last; ++k) {
            const double E = E0 + kTwoPi * k / last;
            Put(xyz, k, o, o.a * (std::cos(E) - o.e), b * std::sin(E));
        }
        for (int i = 0; i < 3; ++i) xyz[3 * last + i] = xyz[i];
        return count;
    }

    const double far = reach > 0 ? std::fmax(reach, o.distance) : 2 * o.distance;
    if (o.radial || !(o.p > 0)) {
        // A straight line from the parent out past the body, on the body's side.
        const int kBody = static_cast<int>(std::lround(o.distance / far * last));
        for (int k = 0; k <= last; ++k) Put(xyz, k, o, -Through(0, o.distance, far, k, kBody, last), 0);
        return count;
    }
    // By the true anomaly: 1 + e cos nu stays at or above p / far, so no
    // point runs off to infinity however close to a parabola.
    double c = (o.p / far - 1) / o.e;
    c = c < -1 ? -1 : c > 1 ? 1 : c;
    const double nuFar = std::acos(c);
    double nu0 = o.trueAnomaly > kPi ? o.trueAnomaly - kTwoPi : o.trueAnomaly;
    nu0 = std::fmax(-nuFar, std::fmin(nuFar, nu0));
    const int kBody = nuFar > 0 ? static_cast<int>(std::lround((nu0 + nuFar) / (2 * nuFar) * last)) : 0;
    for (int k = 0; k <= last; ++k) {
        const double nu = Through(-nuFar, nu0, nuFar, k, kBody, last);
        const double rNu = o.p / (1 + o.e * std::cos(nu));
        Put(xyz, k, o, rNu * std::cos(nu), rNu * std::sin(nu));
    }
    return count;
}
