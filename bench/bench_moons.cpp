// The real solar system with its moons: how true the moons stay, how long
// they stay on their orbits at every rate, and what a tick costs. Not a test:
// run it by hand from a release build, e.g.
//   cmake -S . -B build-rel -DCMAKE_BUILD_TYPE=Release && cmake --build build-rel --target bench_moons
//   build-rel/bench/bench_moons accuracy [deltat]   moons against PyEphem at the start, 30 days and a year on
//   build-rel/bench/bench_moons century              a century at 0.05 .. the top rate, each moon's orbit
//   build-rel/bench/bench_moons cost                 a tick at the default and the top rate, and against bodies
//   add "flat" after any of them to run the moons as the built-in scheme runs
//   every body (pair sums in steps of at most 0.01, no oblateness): the
//   scheme the nested one was measured against
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "core/sim/Edits.h"
#include "core/sim/Ephemeris.h"
#include "core/sim/Integrator.h"
#include "core/sim/Keys.h"
#include "core/sim/MoonTheories.h"
#include "core/sim/Orbits.h"
#include "core/sim/RealSystem.h"
#include "core/sim/UniverseModel.h"
#include "support/MoonReference.h"

namespace {

const double kPi = 3.14159265358979323846;
bool flat = false;

// The real system, or with "flat" the same bodies without parents: then the
// built-in scheme runs it.
int MakeReal(UniverseModel& u, double jd) {
    if (!u.MakeRealSystem(jd)) return 0;
    if (flat) {
        const UniverseModel nested = u;
        for (BodyTraits& t : u.traits) t.parent = 0;
        // The velocities where the other scheme's steps want them.
        nested.Scheme().ChangeStep(u, nested.StepLength(), 0);
        u.Scheme().ChangeStep(u, 0, u.StepLength());
    }
    return 1;
}
const double kTopRate = 10.242;

double Angle(const double a[3], const double b[3]) {
    const double na = std::sqrt(a[0] * a[0] + a[1] * a[1] + a[2] * a[2]);
    const double nb = std::sqrt(b[0] * b[0] + b[1] * b[1] + b[2] * b[2]);
    double c = (a[0] * b[0] + a[1] * b[1] + a[2] * b[2]) / (na * nb);
    c = c > 1 ? 1 : (c < -1 ? -1 : c);
    return std::acos(c) * 180 / kPi;
}

// The moon's direction from its planet in the ecliptic (X, Y, Z).
void Direction(const UniverseModel& u, int moon, double out[3]) {
    const Body& m = u.bodies[FirstMoonSlot + moon];
    const Body& p = u.bodies[MoonTable[moon].planetSlot];
    const double x = m.x - p.x, y = m.y - p.y, z = m.z - p.z;
    out[0] = x, out[1] = z, out[2] = -y;
}

// Runs u on for `days` at its deltat.
void RunDays(UniverseModel& u, double days) {
    const double perTick = std::fabs(u.deltat) * u.DayLength();
    const long ticks = std::lround(days / perTick);
    for (long i = 0; i < ticks; ++i) u.Step();
}

// The dates the reference answers for each moon: PyEphem has the moons of
// Mars and Uranus for 2000-2030, Saturn's to 2039, Jupiter's and the Moon
// for the whole span.
bool Covered(int moon, double jd) {
    const double y2000 = 2451544.5, y2030 = 2462502.5, y2039 = 2465789.5;
    const int planet = MoonTable[moon].planetSlot;
    if (planet == 5 || planet == 8) return jd >= y2000 && jd <= y2030;
    if (planet == 7) return jd >= y2000 && jd <= y2039;
    if (planet == 9 || planet == 10) return false;
    return true;
}

int Accuracy(double deltat, int dates) {
    const double horizons[] = {0, 30, 365.25};
    const int kHorizons = 3;
    std::vector<MoonQuery> queries;
    std::vector<double> ours;  // 3 per query
    std::vector<int> moonOf;
    std::vector<int> horizonOf;
    for (int d = 0; d < dates; ++d) {
        // Spread over the span, and every other date within the years the
        // reference has every moon for.
        const double first = d % 2 ? 2451544.5 : 2378496.5, last = d % 2 ? 2462137.5 : 2469807.5;
        const double jd = first + (last - first) * (d / 2 + 0.31) / ((dates + 1) / 2) + 0.21 * d;
        UniverseModel u;
        u.deltat = deltat;
        if (!MakeReal(u, jd)) return 1;
        double done = 0;
        for (int h = 0; h < kHorizons; ++h) {
            RunDays(u, horizons[h] - done);
            done = horizons[h];
            for (int m = 0; m < MoonCount; ++m) {
                if (!Covered(m, u.datum)) continue;
                double dir[3];
                Direction(u, m, dir);
                queries.push_back({MoonTable[m].name, u.datum});
                ours.insert(ours.end(), dir, dir + 3);
                moonOf.push_back(m);
                horizonOf.push_back(h);
            }
        }
        std::fprintf(stderr, "date %d of %d\n", d + 1, dates);
    }
    std::vector<double> reference(3 * queries.size());
    std::vector<int> have(queries.size());
    char why[256];
    if (MoonReferenceDirections(queries.data(), static_cast<int>(queries.size()),
                                reinterpret_cast<double(*)[3]>(reference.data()), have.data(), why, sizeof why) != 1) {
        std::fprintf(stderr, "no reference: %s\n", why);
        return 1;
    }
    double worst[MoonCount][kHorizons] = {}, sum[MoonCount][kHorizons] = {};
    int count[MoonCount][kHorizons] = {};
    for (size_t i = 0; i < queries.size(); ++i) {
        if (!have[i]) continue;
        const double off = Angle(&ours[3 * i], &reference[3 * i]);
        worst[moonOf[i]][horizonOf[i]] = std::max(worst[moonOf[i]][horizonOf[i]], off);
        sum[moonOf[i]][horizonOf[i]] += off;
        ++count[moonOf[i]][horizonOf[i]];
    }
    std::printf("deltat %g, %d dates: degrees off the reference, worst / mean (dates)\n", deltat, dates);
    std::printf("%-10s %22s %22s %22s\n", "moon", "start", "30 days", "a year");
    for (int m = 0; m < MoonCount; ++m) {
        std::printf("%-10s", MoonTable[m].name);
        for (int h = 0; h < kHorizons; ++h) {
            if (count[m][h])
                std::printf(" %8.3f / %6.3f (%3d)", worst[m][h], sum[m][h] / count[m][h], count[m][h]);
            else
                std::printf(" %22s", "-");
        }
        std::printf("\n");
    }
    return 0;
}

struct Elements {
    double a, e;
};

// The moon's osculating orbit about its planet, velocities at the positions' time.
Elements OrbitOf(const UniverseModel& synced, int slot) {
    OrbitElements o;
    OrbitAbout(synced.bodies[slot], synced.bodies[synced.ParentSlot(slot)], synced.kapa, &o);
    return {o.bound ? o.a : -1, o.e};
}

UniverseModel Synced(const UniverseModel& u) {
    UniverseModel s = u;
    s.Scheme().ChangeStep(s, s.StepLength(), 0);
    return s;
}

int Century(double years) {
    const double jd = 2451545.0;
    for (double deltat : {0.05, 0.5, 2.0, 5.0, kTopRate}) {
        UniverseModel u;
        u.deltat = deltat;
        MakeReal(u, jd);
        const UniverseModel start = Synced(u);
        double worstA[MoonCount] = {}, minE[MoonCount], maxE[MoonCount];
        bool unbound[MoonCount] = {};
        for (int m = 0; m < MoonCount; ++m) minE[m] = INFINITY, maxE[m] = 0;
        const auto t0 = std::chrono::steady_clock::now();
        const double perTick = deltat * u.DayLength();
        const long ticks = std::lround(years * 365.25 / perTick);
        const long every = std::max(1L, ticks / 2000);
        for (long i = 0; i < ticks; ++i) {
            u.Step();
            if (i % every != 0 && i + 1 != ticks) continue;
            const UniverseModel now = Synced(u);
            for (int m = 0; m < MoonCount; ++m) {
                const Elements o = OrbitOf(now, FirstMoonSlot + m), o0 = OrbitOf(start, FirstMoonSlot + m);
                if (!(o.a > 0) || !(o.e < 1)) unbound[m] = true;
                worstA[m] = std::max(worstA[m], std::fabs(o.a / o0.a - 1));
                minE[m] = std::min(minE[m], o.e);
                maxE[m] = std::max(maxE[m], o.e);
            }
        }
        const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
        std::printf("deltat %g: %.0f years in %.1f s; per moon: largest |a/a0 - 1|, e from .. to (start e)\n", deltat,
                    years, seconds);
        for (int m = 0; m < MoonCount; ++m) {
            std::printf("  %-10s %s %.2e  e %.4f .. %.4f (%.4f)\n", MoonTable[m].name, unbound[m] ? "UNBOUND" : "bound",
                        worstA[m], minE[m], maxE[m], OrbitOf(start, FirstMoonSlot + m).e);
        }
        std::fflush(stdout);
    }
    return 0;
}

double MedianMicros(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

int Cost() {
    for (double deltat : {0.005, kTopRate}) {
        UniverseModel u;
        u.deltat = deltat;
        MakeReal(u, 2451545.0);
        std::vector<double> runs;
        for (int run = 0; run < 9; ++run) {
            const int ticks = deltat > 1 ? 200 : 5000;
            const auto t0 = std::chrono::steady_clock::now();
            for (int i = 0; i < ticks; ++i) u.Step();
            runs.push_back(std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - t0).count() /
                           ticks);
        }
        std::printf("the dated system (33 bodies), deltat %g: a tick %.1f us (median of 9)\n", deltat,
                    MedianMicros(runs));
    }
    {
        // A century in batch, as --date D --simulate 100y runs it (contact
        // search included).
        UniverseModel u;
        MakeReal(u, 2451545.0);
        const long ticks = std::lround(100 * 365.25 / (u.deltat * u.DayLength()));
        MergeOnContact collisions;
        const auto t0 = std::chrono::steady_clock::now();
        for (long i = 0; i < ticks; ++i) u.Step(&collisions);
        std::printf("the dated system, a century at the default rate in batch (%ld ticks): %.1f s\n", ticks,
                    std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count());
    }
    // The tick against the number of bodies: the built-in system and small
    // bodies on circular orbits out to 64 slots, with the window's work
    // limit (the share of deltat a tick then does).
    std::printf("bodies  deltat 0.005 (us)  deltat 10.242 (us, share of the tick done)\n");
    for (int used : {11, 20, 33, 48, 64}) {
        UniverseModel u;
        for (int k = BuiltInSlots; k < used; ++k) {
            Body& b = u.bodies[k];
            b = u.bodies[5];
            const double r = 200 + 5 * k, angle = 0.37 * k, speed = std::sqrt(u.kapa * 332800 / r);
            b.hmotnost = 1e-3;
            b.x = r * std::cos(angle), b.y = 0, b.z = r * std::sin(angle);
            b.vx = -speed * std::sin(angle), b.vy = 0, b.vz = speed * std::cos(angle);
        }
        double micros[2];
        double share = 1;
        int i = 0;
        for (double deltat : {0.005, kTopRate}) {
            UniverseModel run = u;
            run.deltat = deltat;
            std::vector<double> runs;
            MergeOnContact collisions;
            for (int rep = 0; rep < 7; ++rep) {
                const int ticks = deltat > 1 ? 20 : 2000;
                const auto t0 = std::chrono::steady_clock::now();
                for (int t = 0; t < ticks; ++t) run.Step(&collisions, WindowTickWork);
                runs.push_back(
                    std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - t0).count() / ticks);
            }
            micros[i++] = MedianMicros(runs);
            share = run.lastTickShare;
        }
        std::printf("%6d  %17.1f  %10.1f (%.2f)\n", used, micros[0], micros[1], share);
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    const char* what = argc > 1 ? argv[1] : "cost";
    if (argc > 1 && std::strcmp(argv[argc - 1], "flat") == 0) {
        flat = true;
        --argc;
    }
    if (std::strcmp(what, "accuracy") == 0)
        return Accuracy(argc > 2 ? std::atof(argv[2]) : 0.005, argc > 3 ? std::atoi(argv[3]) : 24);
    if (std::strcmp(what, "century") == 0) return Century(argc > 2 ? std::atof(argv[2]) : 100);
    if (std::strcmp(what, "cost") == 0) return Cost();
    std::fprintf(stderr, "usage: bench_moons accuracy [deltat [dates]] | century [years] | cost\n");
    return 2;
}
