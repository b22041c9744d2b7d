// How well and how fast the gravity step runs the built-in solar system:
// the relative drift of the total energy after one simulated Earth year at the
// default deltat, and the cost of one Step; then the orbits after a century
// at other rates, the top rate and back as keypad + and - give it, and the
// cost of a tick at the top rate, each beside the old way of ticking (one
// step of the whole deltat, velocities left where they were at a change of
// rate) re-enacted from the same pieces. Not a test: run it by hand from a
// release build, e.g.
//   cmake -S . -B build-rel -DCMAKE_BUILD_TYPE=Release && cmake --build build-rel --target bench_integrator
//   build-rel/bench/bench_integrator
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <vector>

#include "core/sim/Integrator.h"
#include "core/sim/Keys.h"
#include "core/sim/UniverseModel.h"
#include "support/Orbits.h"

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

// How a tick was before sub-steps: one step of deltat, whatever its size.
void OldTick(UniverseModel& u) {
    GravityKick(u.bodies, u.kapa, u.deltat);
    GravityDrift(u.bodies, u.deltat);
}

// keypad + (1) or - (-1) held for one tick, the new way or the old way: the
// rate changed on a copy whose velocities are then thrown away.
void RateTick(UniverseModel& u, int key, bool old) {
    unsigned char keys[512] = {};
    keys[key > 0 ? KeyKeypadPlus : KeyKeypadMinus] = 1;
    if (old) {
        UniverseModel rate = u;
        rate.ApplyTimeKeys(keys);
        u.deltat = rate.deltat;
        OldTick(u);
    } else {
        u.ApplyTimeKeys(keys);
        u.Step();
    }
}

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

// A century of the built-in system at deltat, ticked the new or the old way;
// the wall time of the run in *seconds.
UniverseModel Century(double deltat, bool old, double* seconds) {
    UniverseModel u;
    const long ticks = std::lround(100 * 365.25 / u.DayLength() / deltat);
    u.deltat = deltat;
    const auto start = std::chrono::steady_clock::now();
    for (long i = 0; i < ticks; ++i) {
        if (old) {
            OldTick(u);
        } else {
            u.Step();
        }
    }
    *seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    return u;
}

void Rates() {
    std::printf("\nlongest step %.3g, at most %d sub-steps a tick\n", IntegratorLongestStep, IntegratorMostSubSteps);
    std::printf("a century of the built-in system against the default rate (worst planet; Merkur's e):\n");
    double seconds;
    const UniverseModel reference = Century(0.005, false, &seconds);
    for (double deltat : {0.05, 0.5, 2.0, 3.0, 5.0, 10.242}) {
        for (bool old : {true, false}) {
            const UniverseModel u = Century(deltat, old, &seconds);
            double da = 0, de = 0;
            int unbound = 0;
            for (int k = 2; k < UniverseSlots; ++k) {
                const Orbit o = OrbitOf(u, k, old ? deltat : u.StepLength());
                const Orbit want = OrbitOf(reference, k, reference.StepLength());
                if (!(o.a > 0 && o.e < 1)) ++unbound;
                da = std::fmax(da, std::fabs(o.a / want.a - 1));
                de = std::fmax(de, std::fabs(o.e - want.e));
            }
            const Orbit m = OrbitOf(u, 2, old ? deltat : u.StepLength());
            std::printf("  deltat %6.3f %s: a off %8.2e, e off %7.4f, Merkur e %7.4f, %d unbound, %.3f s\n", deltat,
                        old ? "before" : "now   ", da, de, m.e, unbound, seconds);
        }
    }

    // Keypad + held for 0.9 s (to the top rate), 2 s there, keypad - for 0.9 s.
    for (bool old : {true, false}) {
        UniverseModel u;
        for (int i = 0; i < 290; ++i) RateTick(u, 1, old);
        for (int i = 0; i < 90; ++i) RateTick(u, -1, old);
        const Orbit m = OrbitOf(u, 2, old ? u.deltat : u.StepLength());
        std::printf("top rate and back %s: Merkur a %.4f e %.4f (at the start a 30.0134 e 0.0009)\n",
                    old ? "before" : "now   ", m.a, m.e);
    }

    // What a tick costs at the top rate: the physics alone.
    std::vector<double> tickUs;
    for (int run = 0; run < kRuns; ++run) {
        UniverseModel u;
        u.deltat = 10.242;
        const auto start = std::chrono::steady_clock::now();
        for (int i = 0; i < 200; ++i) u.Step();
        tickUs.push_back(std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - start).count() /
                         200);
    }
    std::printf("one tick at the top rate (%d sub-steps), median of %d runs: %.1f us\n", SubStepCount(10.242), kRuns,
                Median(tickUs));
    std::vector<double> centuries;
    for (int run = 0; run < 3; ++run) {
        Century(10.242, false, &seconds);
        centuries.push_back(seconds);
    }
    std::printf("a century at the top rate, median of 3 runs: %.2f s\n", Median(centuries));
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
    Rates();
    return 0;
}
