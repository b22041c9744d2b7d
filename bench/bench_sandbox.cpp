// What the sandbox costs and what it does to the orbits: a century of the
// built-in system with one added body of Jupiter's mass at several rates,
// ticked as the program will tick it (contacts looked for after every
// integration step); then the cost of a tick with all 64 slots full, and of
// an edit and its undo; and the same through the window's own tick
// (UniverseModel::Step with MergeOnContact and the window's budget, as
// Universe::Update runs it), and the README's "What if" runs. Not a test: run it by hand from a release build, e.g.
//   cmake -S . -B build-rel -DCMAKE_BUILD_TYPE=Release && cmake --build build-rel --target bench_sandbox
//   build-rel/bench/bench_sandbox
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <vector>

#include "core/sim/Collisions.h"
#include "core/sim/Edits.h"
#include "core/sim/Integrator.h"
#include "core/sim/UniverseModel.h"

namespace {

const int kRuns = 9;

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

double Seconds(std::chrono::steady_clock::time_point since) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

// Kinetic plus pairwise potential energy with the velocities at the
// positions' time.
double Energy(const UniverseModel& kept) {
    UniverseModel u = kept;
    u.Scheme().ChangeStep(u, u.StepLength(), 0);
    double e = 0;
    for (int k = 1; k < UniverseSlots; ++k) {
        const Body& a = u.bodies[k];
        if (!BodyInUse(a)) continue;
        e += 0.5 * a.hmotnost * (a.vx * a.vx + a.vy * a.vy + a.vz * a.vz);
        for (int j = k + 1; j < UniverseSlots; ++j) {
            const Body& b = u.bodies[j];
            if (BodyInUse(b)) e -= u.kapa * a.hmotnost * b.hmotnost / VectorLength(b.x - a.x, b.y - a.y, b.z - a.z);
        }
    }
    return e;
}

bool AllFinite(const UniverseModel& u) {
    for (const Body& b : u.bodies) {
        if (!BodyInUse(b)) continue;
        const double v[] = {b.x, b.y, b.z, b.vx, b.vy, b.vz, b.hmotnost, b.polomer};
        for (double x : v) {
            if (!std::isfinite(x)) return false;
        }
    }
    return true;
}

// One tick as the scheme's Advance takes it, with the contact search after
// every step as the program will make it; returns the merges made.
int TickWithContacts(UniverseModel& u, EditHistory* history, bool contacts) {
    const int n = SubStepCount(u.deltat);
    const double h = u.deltat / n;
    int merges = 0;
    for (int i = 0; i < n; ++i) {
        const int end = UsedSlotEnd(u.bodies);
        GravityKick(u.bodies, end, u.kapa, h);
        GravityDrift(u.bodies, end, h);
        if (contacts) merges += Collide(u, h, history);
    }
    return merges;
}

// The built-in system and a body of Jupiter's mass on a circular orbit at
// 300, between Mars and Jupiter, turning the planets' way.
UniverseModel WithAddedJupiter(double deltat) {
    UniverseModel u;
    u.deltat = deltat;
    const double r = 300, m = u.bodies[6].hmotnost;
    const double at[3] = {0, 0, r};
    const double v[3] = {-std::sqrt(u.kapa * (u.bodies[SunSlot].hmotnost + m) / r), 0, 0};
    Add(u, at, v, u.bodies[6].polomer, m, nullptr);
    return u;
}

// A century of u ticked with or without the contact search; its seconds.
double CenturySeconds(UniverseModel u, bool contacts) {
    EditHistory history;
    const long ticks = std::lround(100 * 365.25 / u.DayLength() / u.deltat);
    const auto start = std::chrono::steady_clock::now();
    for (long i = 0; i < ticks; ++i) TickWithContacts(u, &history, contacts);
    return Seconds(start);
}

// The century again as the window ticks it: Step with the merges after
// every step and the window's budget, the history recording each merge.
void WindowCentury() {
    std::printf("\nthe same century through the window's tick (Step, MergeOnContact, WindowTickWork):\n");
    std::printf("  deltat  energy drift (end, worst)  merges  least share of a tick done  finite  seconds\n");
    for (double deltat : {0.05, 0.5, 2.0, 5.0, 10.242}) {
        UniverseModel u = WithAddedJupiter(deltat);
        EditHistory history;
        MergeOnContact collisions(&history);
        const long ticks = std::lround(100 * 365.25 / u.DayLength() / deltat);
        const double e0 = Energy(u);
        double worst = 0, share = 1;
        const auto start = std::chrono::steady_clock::now();
        for (long i = 0; i < ticks; ++i) {
            u.Step(&collisions, WindowTickWork);
            share = std::fmin(share, u.lastTickShare);
            if (i % (ticks / 100) == 0) worst = std::fmax(worst, std::fabs(Energy(u) / e0 - 1));
        }
        const double seconds = Seconds(start);
        const double end = std::fabs(Energy(u) / e0 - 1);
        worst = std::fmax(worst, end);
        std::printf("  %6.3f  %11.2e  %11.2e  %6d  %26.3f  %6s  %.3f\n", deltat, end, worst, collisions.merges, share,
                    AllFinite(u) ? "yes" : "NO", seconds);
    }
}

// The real system with its moons for a century through the window's tick:
// a moon goes far round its planet in a step of a high rate, and must not
// be taken for touching it or its neighbours.
void RealCentury() {
    std::printf("\nthe real system (2000-01-01) for a century through the window's tick:\n");
    std::printf("  deltat  ticks  merges  seconds\n");
    for (double deltat : {0.2, 1.0, 3.0, 10.242, -10.242}) {
        UniverseModel u;
        u.MakeRealSystem(2451545.0);
        u.deltat = deltat;
        EditHistory history;
        MergeOnContact collisions(&history);
        const long ticks = std::lround(100 * 365.25 / u.DayLength() / std::fabs(deltat));
        const auto start = std::chrono::steady_clock::now();
        for (long i = 0; i < ticks; ++i) u.Step(&collisions, WindowTickWork);
        std::printf("  %7.3f  %5ld  %6d  %.2f\n", deltat, ticks, collisions.merges, Seconds(start));
    }
}

// The eccentricity of the orbit of the body in `slot` about the Sun, with
// the velocities at the positions' time; above 1 it leaves for good.
double Eccentricity(const UniverseModel& kept, int slot) {
    UniverseModel u = kept;
    u.Scheme().ChangeStep(u, u.StepLength(), 0);
    const Body &s = u.bodies[SunSlot], &b = u.bodies[slot];
    const double r[3] = {b.x - s.x, b.y - s.y, b.z - s.z}, v[3] = {b.vx - s.vx, b.vy - s.vy, b.vz - s.vz};
    const double mu = u.kapa * (s.hmotnost + b.hmotnost), d = VectorLength(r[0], r[1], r[2]);
    const double vv = v[0] * v[0] + v[1] * v[1] + v[2] * v[2], rv = r[0] * v[0] + r[1] * v[1] + r[2] * v[2];
    double e[3];
    for (int c = 0; c < 3; ++c) e[c] = ((vv - mu / d) * r[c] - rv * v[c]) / mu;
    return VectorLength(e[0], e[1], e[2]);
}

// A century at deltat 0.5 through the window's tick; prints after 1, 10
// and 100 years who is left, with mass, distance from the Sun, the greatest
// eccentricity on the way and the eccentricity now.
void WhatIfCentury(const char* title, UniverseModel u) {
    std::printf("\n%s:\n", title);
    MergeOnContact collisions;
    const long year = std::lround(365.25 / u.DayLength() / u.deltat);
    double greatest[UniverseSlots] = {};
    for (long i = 1; i <= 100 * year; ++i) {
        u.Step(&collisions, WindowTickWork);
        if (i % 20 == 0) {
            for (int k = FirstPlanetSlot; k < UniverseSlots; ++k)
                if (BodyInUse(u.bodies[k])) greatest[k] = std::fmax(greatest[k], Eccentricity(u, k));
        }
        if (i != year && i != 10 * year && i != 100 * year) continue;
        std::printf("  after %ld years, %d merges:", i / year, collisions.merges);
        for (int k = SunSlot; k < UniverseSlots; ++k) {
            const Body &b = u.bodies[k], &s = u.bodies[SunSlot];
            if (!BodyInUse(b)) continue;
            std::printf(" %s %.2f at %.0f", b.meno, b.hmotnost, VectorLength(b.x - s.x, b.y - s.y, b.z - s.z));
            if (k != SunSlot) std::printf(" (e %.3f, at most %.3f)", Eccentricity(u, k), greatest[k]);
            std::printf(";");
        }
        std::printf("\n");
    }
}

// The README's first two: Jupiter doubled once and ten times, and a second
// Sun made of a body added beside Jupiter (riding with it, camera four radii
// out, the body 20 ahead, moving with it) and doubled 18 times; every key at
// the start.
void WhatIf() {
    UniverseModel plain;
    plain.deltat = 0.5;
    WhatIfCentury("the built-in system at deltat 0.5", plain);
    UniverseModel doubled = plain;
    Weigh(doubled, 6, 2, nullptr);
    WhatIfCentury("] once on Jupiter", doubled);
    for (int i = 1; i < 10; ++i) Weigh(doubled, 6, 2, nullptr);
    WhatIfCentury("] ten times on Jupiter", doubled);
    UniverseModel twoSuns = plain;
    const Body& j = twoSuns.bodies[6];
    const double camera[3] = {j.x, j.y, j.z + 4 * j.polomer}, forward[3] = {0, 0, -1};
    const int slot = Throw(twoSuns, camera, forward, 1, 0, 6, nullptr);
    for (int i = 0; i < 18; ++i) Weigh(twoSuns, slot, 2, nullptr);
    WhatIfCentury("a second Sun beside Jupiter", twoSuns);
}

void Century() {
    std::printf("a century with an added body of Jupiter's mass at 300 (contacts looked for after every step);\n"
                "seconds: median of 3 runs, with and without the search alternating:\n");
    std::printf("  deltat  sub-steps  energy drift (end, worst)  merges  finite  seconds (without the search)\n");
    for (double deltat : {0.05, 0.5, 2.0, 5.0, 10.242}) {
        UniverseModel u = WithAddedJupiter(deltat);
        std::vector<double> with, without;
        for (int run = 0; run < 3; ++run) {
            with.push_back(CenturySeconds(u, true));
            without.push_back(CenturySeconds(u, false));
        }
        EditHistory history;
        const long ticks = std::lround(100 * 365.25 / u.DayLength() / deltat);
        const double e0 = Energy(u);
        double worst = 0;
        int merges = 0;
        for (long i = 0; i < ticks; ++i) {
            merges += TickWithContacts(u, &history, true);
            if (i % (ticks / 100) == 0) worst = std::fmax(worst, std::fabs(Energy(u) / e0 - 1));
        }
        const double end = std::fabs(Energy(u) / e0 - 1);
        worst = std::fmax(worst, end);
        std::printf("  %6.3f  %9d  %11.2e  %11.2e  %6d  %6s  %.3f (%.3f)\n", deltat, SubStepCount(deltat), end, worst,
                    merges, AllFinite(u) ? "yes" : "NO", Median(with), Median(without));
    }
}

// Every slot in use: the built-in system and 53 small bodies on circular
// orbits from 200 to 460, far enough apart never to touch.
UniverseModel FullUniverse(double deltat) {
    UniverseModel u;
    u.deltat = deltat;
    for (int k = 0; FreeSlotForAdd(u); ++k) {
        const double r = 200 + 5 * k, angle = 0.7 * k;
        const double at[3] = {r * std::cos(angle), 0, r * std::sin(angle)};
        const double speed = std::sqrt(u.kapa * u.bodies[SunSlot].hmotnost / r);
        const double v[3] = {speed * std::sin(angle), 0, -speed * std::cos(angle)};
        Add(u, at, v, 0.05, 0.01, nullptr);
    }
    return u;
}

// Microseconds a tick of a full universe at deltat takes, with the search
// and without, runs of `ticks` ticks alternating: medians of kRuns each.
void TickMicroseconds(double deltat, int ticks, double* with, double* without) {
    std::vector<double> us[2];
    for (int run = 0; run < 2 * kRuns; ++run) {
        UniverseModel u = FullUniverse(deltat);
        EditHistory history;
        const auto start = std::chrono::steady_clock::now();
        for (int i = 0; i < ticks; ++i) TickWithContacts(u, &history, run % 2 == 0);
        us[run % 2].push_back(Seconds(start) * 1e6 / ticks);
    }
    *with = Median(us[0]);
    *without = Median(us[1]);
}

// Microseconds FindContact takes on u, median of kRuns runs.
double SearchMicroseconds(const UniverseModel& u) {
    std::vector<double> us;
    int found = 0;
    for (int run = 0; run < kRuns; ++run) {
        const auto start = std::chrono::steady_clock::now();
        for (int i = 0; i < 20000; ++i) found += FindContact(u, 0.005, nullptr);
        us.push_back(Seconds(start) * 1e6 / 20000);
    }
    if (found) std::printf("  (these bodies touch somewhere)\n");
    return Median(us);
}

void FullTicks() {
    int used = 0;
    const UniverseModel full = FullUniverse(0.005);
    for (int k = 1; k < UniverseSlots; ++k) used += BodyInUse(full.bodies[k]);
    std::printf("\n%d simulated bodies (all 64 slots), median of %d runs:\n", used, kRuns);
    double searched, plain;
    TickMicroseconds(0.005, 20000, &searched, &plain);
    std::printf("  a tick at the default rate (deltat 0.005, 1 step): %.2f us (%.2f us without the contact search)\n",
                searched, plain);
    std::printf("  100 ticks a second take %.2f %% of a core\n", searched * 100 / 1e6 * 100);
    TickMicroseconds(10.242, 20, &searched, &plain);
    std::printf("  a tick at the top rate (deltat 10.242, %d steps): %.0f us (%.0f us without the search)\n",
                SubStepCount(10.242), searched, plain);

    std::printf("  the contact search alone: %.2f us (%.2f us for the built-in system and one added body)\n",
                SearchMicroseconds(full), SearchMicroseconds(WithAddedJupiter(0.005)));

    std::vector<double> edits, undos;
    for (int run = 0; run < kRuns; ++run) {
        UniverseModel u = full;
        EditHistory history;
        auto start = std::chrono::steady_clock::now();
        for (int i = 0; i < 100; ++i) Weigh(u, 4, i % 2 ? 0.5 : 2, &history);
        edits.push_back(Seconds(start) * 1e6 / 100);
        start = std::chrono::steady_clock::now();
        while (history.Undo(u)) {
        }
        undos.push_back(Seconds(start) * 1e6 / 100);
    }
    std::printf("  an edit (] with its record): %.1f us; Backspace: %.1f us; the history holds %.1f MB\n",
                Median(edits), Median(undos), EditHistory::Depth * sizeof(UniverseModel) / 1e6);

    // The window's own tick: every step followed by the merges, within the budget.
    for (double deltat : {0.005, 10.242}) {
        const int ticks = deltat < 1 ? 20000 : 100;
        std::vector<double> us;
        double share = 1;
        for (int run = 0; run < kRuns; ++run) {
            UniverseModel u = FullUniverse(deltat);
            EditHistory history;
            MergeOnContact collisions(&history);
            const auto start = std::chrono::steady_clock::now();
            for (int i = 0; i < ticks; ++i) {
                u.Step(&collisions, WindowTickWork);
                share = std::fmin(share, u.lastTickShare);
            }
            us.push_back(Seconds(start) * 1e6 / ticks);
        }
        std::printf("  the window's tick at deltat %g: %.2f us, %.0f ticks a second would fit in a core; "
                    "least share of a tick done %.3f\n",
                    deltat, Median(us), 1e6 / Median(us), share);
    }
}

}  // namespace

int main() {
    Century();
    WindowCentury();
    RealCentury();
    WhatIf();
    FullTicks();
    return 0;
}
