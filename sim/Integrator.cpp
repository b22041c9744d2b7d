// The universe's per-tick arithmetic: the time keys and one
// semi-implicit Euler step of pairwise Newtonian gravity over slots 1..10.
// Every operation keeps the written order (loops, axes, sums), and the build
// forbids fused multiply-adds, so that two runs from the same state give the
// same bits on any machine. The sky sphere in slot 0 never takes part.
#include <cmath>

#include "sim/Keys.h"
#include "sim/UniverseModel.h"

namespace {

const double kSpeedUp = 1.1;
const double kSlowDown = 0.9090909090909091;  // nearest double to 1 / 1.1
const double kSpeedUpLimit = 10;              // keypad + stops once |deltat| truncates to 10
const double kSimTimeWrap = 20000;

}  // namespace

void UniverseModel::ApplyTimeKeys(unsigned char* keys) {
    if (!keys) return;
    if (keys[KeyKeypadPlus]) {
        // The limit is tested on deltat truncated toward zero. Comparing the
        // truncated double avoids converting NaN or huge values to an
        // integer; NaN and infinities fail the test, as they must.
        if (std::fabs(std::trunc(deltat)) < kSpeedUpLimit) deltat = deltat * kSpeedUp;
    }
    if (keys[KeyKeypadMinus]) deltat = deltat * kSlowDown;
    if (keys[KeyKeypadMultiply]) {
        keys[KeyKeypadMultiply] = 0;
        deltat = deltat * -1.0;
    }
}

void UniverseModel::Step() {
    for (int k = 1; k < UniverseSlots; ++k) {
        Body& a = bodies[k];
        if (a.hmotnost == 0) continue;

        // Pair terms: both velocity changes of a pair come from the same s * d,
        // taken from positions that no body of this step has changed yet.
        for (int j = k + 1; j < UniverseSlots; ++j) {
            Body& b = bodies[j];
            if (b.hmotnost == 0) continue;
            const double dx = b.x - a.x;
            const double dy = b.y - a.y;
            const double dz = b.z - a.z;
            const double r = std::sqrt(dz * dz + dy * dy + dx * dx);
            if (!(r > 0)) continue;  // coincident bodies pull neither way
            const double s = kapa / (r * (r * r));

            a.vx = a.vx + b.hmotnost * (s * dx) * deltat;
            a.vy = a.vy + b.hmotnost * (s * dy) * deltat;
            a.vz = a.vz + b.hmotnost * (s * dz) * deltat;

            b.vx = b.vx - a.hmotnost * (s * dx) * deltat;
            b.vy = b.vy - a.hmotnost * (s * dy) * deltat;
            b.vz = b.vz - a.hmotnost * (s * dz) * deltat;
        }

        // Drift: body k now holds every pair term of this step.
        a.x = a.x + a.vx * deltat;
        a.y = a.y + a.vy * deltat;
        a.z = a.z + a.vz * deltat;

        // The spin clock advances once per massive body, not once per step.
        simTime = simTime + deltat;
        if (simTime > kSimTimeWrap) simTime = 0;
    }
    // Calendar bookkeeping only; nothing above reads it.
    elapsed += deltat;
    if (hasDate) datum += deltat * DayLength();
}
