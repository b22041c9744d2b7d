// Semi-implicit Euler in its two halves. Every operation keeps the order that
// the step has always had (loops, axes, sums), and the build forbids fused
// multiply-adds, so two runs from the same state give the same bits on any
// machine. A kick of all pairs followed by a drift of all bodies is the same
// arithmetic, to the bit, as the interleaved loop the step once was: the
// drift of body k only ever came after every pair term that reads it.
#include "core/sim/Integrator.h"

#include <cmath>

#include "core/sim/UniverseModel.h"

const double IntegratorLongestStep = 0.01;
const double WindowTickWork = 400000;

void GravityKick(Body* bodies, int end, double kapa, double dt) {
    for (int k = FirstSimulatedSlot; k < end; ++k) {
        Body& a = bodies[k];
        if (!BodyInUse(a)) continue;
        for (int j = k + 1; j < end; ++j) {
            Body& b = bodies[j];
            if (!BodyInUse(b)) continue;
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

void GravityKick(Body bodies[UniverseSlots], double kapa, double dt) {
    GravityKick(bodies, UsedSlotEnd(bodies), kapa, dt);
}

void GravityDrift(Body* bodies, int end, double dt) {
    for (int k = FirstSimulatedSlot; k < end; ++k) {
        Body& a = bodies[k];
        if (!BodyInUse(a)) continue;
        a.x = a.x + a.vx * dt;
        a.y = a.y + a.vy * dt;
        a.z = a.z + a.vz * dt;
    }
}

void GravityDrift(Body bodies[UniverseSlots], double dt) { GravityDrift(bodies, UsedSlotEnd(bodies), dt); }

int SubStepCount(double deltat) {
    const double n = std::ceil(std::fabs(deltat) / IntegratorLongestStep);
    // NaN and infinities too: such a universe keeps the one step it always had.
    if (!(n > 1) || !std::isfinite(n)) return 1;
    if (!(n < IntegratorMostSubSteps)) return IntegratorMostSubSteps;
    return static_cast<int>(n);
}

namespace {

class Leapfrog final : public IntegratorScheme {
public:
    double Advance(UniverseModel& u, double deltat, StepListener* listener, int maxSteps) const override {
        const int all = SubStepCount(deltat);
        const double h = deltat / all;
        const int n = maxSteps < all ? (maxSteps > 0 ? maxSteps : 0) : all;
        // Bodies appear or vanish within a tick only by the listener's hand.
        int end = UsedSlotEnd(u.bodies);
        for (int i = 0; i < n; ++i) {
            GravityKick(u.bodies, end, u.kapa, h);
            GravityDrift(u.bodies, end, h);
            if (listener && listener->AfterStep(u, h)) {
                if (&u.Scheme() != this) return i + 1 == all ? deltat : (i + 1) * h;
                end = UsedSlotEnd(u.bodies);
            }
        }
        return n == all ? deltat : n * h;
    }

    double StepLength(double deltat) const override { return deltat / SubStepCount(deltat); }
    int StepCount(double deltat) const override { return SubStepCount(deltat); }

    double StepWork(const UniverseModel& u, double /*deltat*/) const override {
        int used = 0;
        for (int k = FirstSimulatedSlot; k < UniverseSlots; ++k) used += BodyInUse(u.bodies[k]);
        return 0.5 * used * (used - 1) + used;
    }

    void ChangeStep(UniverseModel& u, double before, double after) const override {
        // Velocities stand half a step behind the positions: the pull at the
        // positions as they stand, over half the difference.
        const double shift = (before - after) / 2;
        if (after != before && std::isfinite(shift)) GravityKick(u.bodies, u.kapa, shift);
    }
};

const Leapfrog kLeapfrog;

}  // namespace

const IntegratorScheme& LeapfrogScheme = kLeapfrog;
