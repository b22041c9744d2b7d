// Semi-implicit Euler in its two halves. Every operation keeps the order that
// the step has always had (loops, axes, sums), and the build forbids fused
// multiply-adds, so two runs from the same state give the same bits on any
// machine. A kick of all pairs followed by a drift of all bodies is the same
// arithmetic, to the bit, as the interleaved loop the step once was: the
// drift of body k only ever came after every pair term that reads it.
#include "core/sim/Integrator.h"

#include <cmath>

const double IntegratorLongestStep = 0.01;

void GravityKick(Body bodies[UniverseSlots], double kapa, double dt) {
    for (int k = 1; k < UniverseSlots; ++k) {
        Body& a = bodies[k];
        if (a.hmotnost == 0) continue;
        for (int j = k + 1; j < UniverseSlots; ++j) {
            Body& b = bodies[j];
            if (b.hmotnost == 0) continue;
            const double dx = b.x - a.x;
            const double dy = b.y - a.y;
            const double dz = b.z - a.z;
            const double r = std::sqrt(dz * dz + dy * dy + dx * dx);
            if (!(r > 0)) continue;  // coincident bodies pull neither way
            const double s = kapa / (r * (r * r));

            a.vx = a.vx + b.hmotnost * (s * dx) * dt;
            a.vy = a.vy + b.hmotnost * (s * dy) * dt;
            a.vz = a.vz + b.hmotnost * (s * dz) * dt;

            b.vx = b.vx - a.hmotnost * (s * dx) * dt;
            b.vy = b.vy - a.hmotnost * (s * dy) * dt;
            b.vz = b.vz - a.hmotnost * (s * dz) * dt;
        }
    }
}

void GravityDrift(Body bodies[UniverseSlots], double dt) {
    for (int k = 1; k < UniverseSlots; ++k) {
        Body& a = bodies[k];
        if (a.hmotnost == 0) continue;
        a.x = a.x + a.vx * dt;
        a.y = a.y + a.vy * dt;
        a.z = a.z + a.vz * dt;
    }
}

int SubStepCount(double deltat) {
    const double n = std::ceil(std::fabs(deltat) / IntegratorLongestStep);
    // NaN and infinities too: such a universe keeps the one step it always had.
    if (!(n > 1) || !std::isfinite(n)) return 1;
    if (!(n < IntegratorMostSubSteps)) return IntegratorMostSubSteps;
    return static_cast<int>(n);
}
