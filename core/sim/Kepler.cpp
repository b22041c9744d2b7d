// Universal variables: one equation for every kind of orbit, solved for the
// universal anomaly s by Halley's method inside a bracket (the time is an
// increasing function of s, so a bracket always exists and bisection is the
// fallback), then the Lagrange f and g functions. The Stumpff functions come
// from their series where the argument is small, which is the usual case
// here (a step is a small part of an orbit) and needs no trigonometry.
#include "core/sim/Kepler.h"

#include <cmath>

namespace {

// G0..G3 of Danby: G_k(beta, s) = s^k c_k(beta s^2).
struct GFunctions {
    double g0, g1, g2, g3;
};

GFunctions Stumpff(double beta, double s) {
    const double z = beta * s * s;
    double c2, c3;
    if (std::fabs(z) < 0.5) {
        // c_k(z) = sum over j of (-z)^j / (k + 2j)!: nine terms reach the
        // last bit for |z| < 0.5 (the next is below 1e-19).
        c2 = 1.0 / 2 - z * (1.0 / 24 - z * (1.0 / 720 - z * (1.0 / 40320 - z * (1.0 / 3628800 - z * (1.0 / 479001600 -
             z * (1.0 / 87178291200 - z * (1.0 / 20922789888000 - z * (1.0 / 6402373705728000))))))));
        c3 = 1.0 / 6 - z * (1.0 / 120 - z * (1.0 / 5040 - z * (1.0 / 362880 - z * (1.0 / 39916800 - z * (1.0 / 6227020800 -
             z * (1.0 / 1307674368000 - z * (1.0 / 355687428096000 - z * (1.0 / 121645100408832000))))))));
    } else if (z > 0) {
        const double w = std::sqrt(z);
        c2 = (1 - std::cos(w)) / z;
        c3 = (w - std::sin(w)) / (z * w);
    } else {
        const double w = std::sqrt(-z);
        c2 = (1 - std::cosh(w)) / z;
        c3 = (w - std::sinh(w)) / (z * w);
    }
    GFunctions g;
    g.g2 = s * s * c2;
    g.g3 = s * s * s * c3;
    g.g0 = 1 - beta * g.g2;
    g.g1 = s - beta * g.g3;
    return g;
}

}  // namespace

int KeplerDrift(double mu, double r[3], double v[3], double dt) {
    const double r0 = std::sqrt(r[0] * r[0] + r[1] * r[1] + r[2] * r[2]);
    const double vv = v[0] * v[0] + v[1] * v[1] + v[2] * v[2];
    const double eta = r[0] * v[0] + r[1] * v[1] + r[2] * v[2];
    if (!(mu > 0) || !(r0 > 0) || !std::isfinite(mu) || !std::isfinite(r0) || !std::isfinite(vv) ||
        !std::isfinite(dt))
        return 0;
    if (dt == 0) return 1;
    const double beta = 2 * mu / r0 - vv;  // mu / a: positive on an ellipse

    // The time since the start as a function of s, and its first two
    // derivatives: the distance and the distance's rate.
    auto time = [&](const GFunctions& g) { return r0 * g.g1 + eta * g.g2 + mu * g.g3; };

    // A first guess from the start of the orbit: s is dt / r0 to first order.
    double s = dt / r0 - eta * dt * dt / (2 * r0 * r0 * r0);
    double lo = -INFINITY, hi = INFINITY;
    GFunctions g = Stumpff(beta, s);
    for (int i = 0; i < 100; ++i) {
        const double f = time(g) - dt;
        if (f == 0) break;
        if (f < 0)
            lo = s;
        else
            hi = s;
        const double rs = r0 * g.g0 + eta * g.g1 + mu * g.g2;          // dt/ds
        const double drs = eta * g.g0 + (mu - beta * r0) * g.g1;       // d2t/ds2
        double next = s - f / rs;
        const double halley = rs * rs - 0.5 * f * drs;
        if (halley != 0) next = s - f * rs / halley;
        if (!(next > lo && next < hi)) {
            // Outside the bracket: halve it, or widen towards the side still open.
            if (std::isfinite(lo) && std::isfinite(hi))
                next = 0.5 * (lo + hi);
            else if (std::isfinite(lo))
                next = lo + 2 * std::fmax(std::fabs(lo), std::fabs(dt / r0));
            else
                next = hi - 2 * std::fmax(std::fabs(hi), std::fabs(dt / r0));
        }
        const double change = next - s;
        s = next;
        g = Stumpff(beta, s);
        if (std::fabs(change) <= 1e-15 * std::fabs(s) || (next == lo || next == hi)) break;
    }

    const double rn = r0 * g.g0 + eta * g.g1 + mu * g.g2;
    if (!(rn > 0) || !std::isfinite(rn)) return 0;
    const double f = 1 - mu * g.g2 / r0;
    const double gg = r0 * g.g1 + eta * g.g2;
    const double fdot = -mu * g.g1 / (r0 * rn);
    const double gdot = 1 - mu * g.g2 / rn;
    double nr[3], nv[3];
    for (int k = 0; k < 3; ++k) {
        nr[k] = f * r[k] + gg * v[k];
        nv[k] = fdot * r[k] + gdot * v[k];
    }
    for (int k = 0; k < 3; ++k) {
        if (!std::isfinite(nr[k]) || !std::isfinite(nv[k])) return 0;
    }
    for (int k = 0; k < 3; ++k) r[k] = nr[k], v[k] = nv[k];
    return 1;
}
