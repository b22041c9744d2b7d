// The osculating orbit of a body about the Sun, for tests and benchmarks that
// judge the integrator by the orbits it keeps rather than by its arithmetic.
#ifndef ORRERY_TESTS_ORBITS_H
#define ORRERY_TESTS_ORBITS_H

#include "core/sim/Integrator.h"
#include "core/sim/UniverseModel.h"

struct Orbit {
    double a, e;  // semi-major axis (negative when unbound) and eccentricity
};

// Positions as they stand; velocities, which the step keeps half a step of
// `step` behind, brought to the positions' time first.
inline Orbit OrbitOf(const UniverseModel& u, int slot, double step) {
    UniverseModel now = u;
    GravityKick(now.bodies, now.kapa, step / 2);
    const Body &sun = now.bodies[1], &b = now.bodies[slot];
    const double r[3] = {b.x - sun.x, b.y - sun.y, b.z - sun.z}, v[3] = {b.vx - sun.vx, b.vy - sun.vy, b.vz - sun.vz};
    const double mu = now.kapa * (sun.hmotnost + b.hmotnost);
    const double rr = VectorLength(r[0], r[1], r[2]), vv = v[0] * v[0] + v[1] * v[1] + v[2] * v[2];
    const double rv = r[0] * v[0] + r[1] * v[1] + r[2] * v[2];
    double e[3];
    for (int i = 0; i < 3; ++i) e[i] = ((vv - mu / rr) * r[i] - rv * v[i]) / mu;
    return {1 / (2 / rr - vv / mu), VectorLength(e[0], e[1], e[2])};
}

inline Orbit OrbitOf(const UniverseModel& u, int slot) { return OrbitOf(u, slot, u.StepLength()); }

#endif
