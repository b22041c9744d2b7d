// How well and how fast the gravity step runs the built-in solar system:
// the relative drift of the total energy after one simulated Earth year at the
// default deltat, and the cost of one Step. Not a test: run it by hand from a
// release build, e.g.
//   cmake -S . -B build-rel -DCMAKE_BUILD_TYPE=Release && cmake --build build-rel --target bench_integrator
//   build-rel/bench/bench_integrator
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <vector>

#include "sim/UniverseModel.h"

namespace {

// One Earth year: 2 pi r / v with r = 100 and v = 5.76887 is 108.9 units of
// simulated time, 21780 steps of 0.005.
const int kYearSteps = 21780;
const int kRuns = 9;

// Kinetic plus pairwise potential energy over slots 1..10, kapa as G.
double Energy(const UniverseModel& u) {
    double e = 0;
    for (int k = 1; k < UniverseSlots; ++k) {
        const Body& a = u.bodies[k];
        if (a.hmotnost == 0) continue;
        e += 0.5 * a.hmotnost * (a.vx * a.vx + a.vy * a.vy + a.vz * a.vz);
        for (int j = k + 1; j < UniverseSlots; ++j) {
            const Body& b = u.bodies[j];
            if (b.hmotnost == 0) continue;
            e -= u.kapa * a.hmotnost * b.hmotnost / VectorLength(b.x - a.x, b.y - a.y, b.z - a.z);
        }
    }
    return e;
}

}  // namespace

int main() {
    std::vector<double> nsPerStep;
    double drift = 0;
    double earthX = 0, earthZ = 0;
    for (int run = 0; run < kRuns; ++run) {
        UniverseModel* u = new UniverseModel;
        const double before = Energy(*u);
        const auto start = std::chrono::steady_clock::now();
        for (int i = 0; i < kYearSteps; ++i) u->Step();
        const auto stop = std::chrono::steady_clock::now();
        const double ns = std::chrono::duration<double, std::nano>(stop - start).count();
        nsPerStep.push_back(ns / kYearSteps);
        drift = (Energy(*u) - before) / std::fabs(before);
        earthX = u->bodies[4].x;
        earthZ = u->bodies[4].z;
        delete u;
    }
    std::sort(nsPerStep.begin(), nsPerStep.end());
    std::printf("steps per year:              %d (deltat 0.005)\n", kYearSteps);
    std::printf("relative energy error:       %.3e\n", drift);
    std::printf("Earth after one year:        x %.4f  z %.4f (started at 0, 100)\n", earthX, earthZ);
    std::printf("one Step, median of %d runs: %.1f ns (min %.1f, max %.1f)\n", kRuns, nsPerStep[kRuns / 2],
                nsPerStep.front(), nsPerStep.back());
    return 0;
}
