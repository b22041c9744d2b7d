// The scheme for a universe with moons: a planet and its moons move as one
// system about the Sun, and inside each system the moons circle their planet
// on steps of their own. Both levels split the motion the same way (the
// democratic heliocentric form of Wisdom and Holman's method): every body
// drifts on the exact Kepler orbit about its centre (the Sun for the planet
// systems and the bodies without a planet, its planet for a moon), and what
// the orbit leaves out comes as kicks between the drifts: the planet systems'
// pull on each other (as points at their barycentres), and inside a system
// the moons' pull on each other, the planet's oblateness (J2, J4 about its
// pole) and the Sun's tide (its pull on each member less its pull on the
// system as a whole, with the system's barycentre on its Kepler path through
// the step). The drifts are exact and the kicks symmetric about them, so the
// scheme is symplectic and reversible, and a step may span many of a moon's
// orbits' worth of the planets' motion: only the moons' own steps need be
// short. Nothing about the view, the files or the keys.
//
// State between ticks is the universe's own bodies: absolute positions, and
// velocities half an outer kick behind, as the built-in scheme keeps them, so
// the time keys and files work alike. Each tick converts to the coordinates
// above, steps, and converts back.
#include <cmath>
#include <cstring>

#include "core/sim/Integrator.h"
#include "core/sim/Kepler.h"
#include "core/sim/UniverseModel.h"

const double NestedLongestStep = 0.25;
const double MoonStepsPerOrbit = 8;

namespace {
// The most steps a system's moons take in one step of the planets: the real
// ones take at most 21 (Phobos's at the longest planet step).
const int MostMoonSteps = 4096;
}  // namespace

namespace {

struct Vec {
    double x, y, z;
};

inline Vec operator+(Vec a, Vec b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }
inline Vec operator-(Vec a, Vec b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
inline Vec operator*(double s, Vec a) { return {s * a.x, s * a.y, s * a.z}; }
inline double Dot(Vec a, Vec b) { return a.x * b.x + a.y * b.y + a.z * b.z; }

Vec PositionOf(const Body& b) { return {b.x, b.y, b.z}; }
Vec VelocityOf(const Body& b) { return {b.vx, b.vy, b.vz}; }

// Which body is where in the hierarchy: the Sun, the bodies that circle it
// directly (tops), and each top's moons.
struct Layout {
    int sun;
    int topCount;
    int top[UniverseSlots];
    // Moons of top i: moon[firstMoon[i]] .. moon[firstMoon[i + 1] - 1].
    int firstMoon[UniverseSlots + 1];
    int moon[UniverseSlots];
};

// The slot of the top-level body a moon belongs to, or -1 when the body
// circles the Sun itself (or nothing usable).
int SystemOf(const UniverseModel& u, int slot) {
    int p = u.ParentSlot(slot);
    if (p < 0 || p == SunSlot) return -1;
    // A moon of a moon belongs to the system of its planet; a loop of
    // parents (a file may say anything) is no system at all.
    for (int hops = 0; hops < UniverseSlots; ++hops) {
        const int up = u.ParentSlot(p);
        if (up == SunSlot || up < 0) break;
        p = up;
        if (hops == UniverseSlots - 1) return -1;
    }
    if (u.ParentSlot(p) != SunSlot) return -1;
    if (!(u.bodies[p].hmotnost > 0) || !(u.bodies[slot].hmotnost > 0)) return -1;
    return p;
}

bool MakeLayout(const UniverseModel& u, Layout& l) {
    l.sun = SunSlot;
    if (!(u.bodies[SunSlot].hmotnost > 0)) return false;
    const int end = UsedSlotEnd(u.bodies);
    int systemOf[UniverseSlots];
    l.topCount = 0;
    for (int k = FirstPlanetSlot; k < end; ++k) {
        systemOf[k] = -2;
        if (!BodyInUse(u.bodies[k])) continue;
        systemOf[k] = SystemOf(u, k);
        if (systemOf[k] < 0) l.top[l.topCount++] = k;
    }
    int count = 0;
    for (int i = 0; i < l.topCount; ++i) {
        l.firstMoon[i] = count;
        for (int k = FirstPlanetSlot; k < end; ++k) {
            if (systemOf[k] == l.top[i]) l.moon[count++] = k;
        }
    }
    l.firstMoon[l.topCount] = count;
    return count > 0;
}

// One planet system in its own coordinates: moons relative to the planet,
// velocities relative to the system's barycentre.
struct System {
    int top;           // index into the outer arrays
    int first, count;  // its moons in the moon arrays
    double planetMass, mass;
    double muPlanet;
    double j2, j4, jRadius;
    Vec pole;
    double longestStep;
};

// Everything one tick works on.
struct Work {
    const Layout* layout;
    double kapa;
    double sunMass, totalMass, muSun;
    Vec centre, centreVelocity;  // of the whole universe; they never change
    int topCount;
    double mass[UniverseSlots];  // a top's mass: its system's
    Vec q[UniverseSlots];        // tops: position relative to the Sun
    Vec u[UniverseSlots];        // tops: velocity relative to the centre of mass
    int moonCount;
    double moonMass[UniverseSlots];
    Vec rho[UniverseSlots];  // moons: position relative to the planet
    Vec w[UniverseSlots];    // moons: velocity relative to the system's barycentre
    int systemCount;
    System system[UniverseSlots];
};

double LongestMoonStep(const UniverseModel& u, const Layout& l, int top, double muPlanet) {
    const double given = u.traits[l.top[top]].moonStep;
    if (given > 0 && std::isfinite(given)) return given;
    // A file that names moons without a step: the innermost orbit's period,
    // rounded down to a power of two so that the step does not waver with
    // the orbit's small changes from tick to tick.
    double shortest = INFINITY;
    const Body& planet = u.bodies[l.top[top]];
    for (int j = l.firstMoon[top]; j < l.firstMoon[top + 1]; ++j) {
        const Body& m = u.bodies[l.moon[j]];
        const Vec r = PositionOf(m) - PositionOf(planet);
        const double d = std::sqrt(Dot(r, r));
        const double period = 2 * 3.14159265358979323846 * std::sqrt(d * d * d / muPlanet);
        if (period > 0 && period < shortest) shortest = period;
    }
    if (!std::isfinite(shortest)) return NestedLongestStep;
    return std::exp2(std::floor(std::log2(shortest / MoonStepsPerOrbit)));
}

void Load(const UniverseModel& u, const Layout& l, Work& k) {
    k.layout = &l;
    k.kapa = u.kapa;
    const Body& sun = u.bodies[l.sun];
    k.sunMass = sun.hmotnost;
    k.muSun = u.kapa * sun.hmotnost;
    k.topCount = l.topCount;
    k.moonCount = l.firstMoon[l.topCount];
    k.systemCount = 0;
    Vec position[UniverseSlots], velocity[UniverseSlots];
    Vec momentum = k.sunMass * VelocityOf(sun), moment = k.sunMass * PositionOf(sun);
    k.totalMass = k.sunMass;
    for (int i = 0; i < l.topCount; ++i) {
        const Body& planet = u.bodies[l.top[i]];
        double mass = planet.hmotnost;
        Vec p = planet.hmotnost * PositionOf(planet), v = planet.hmotnost * VelocityOf(planet);
        for (int j = l.firstMoon[i]; j < l.firstMoon[i + 1]; ++j) {
            const Body& m = u.bodies[l.moon[j]];
            mass += m.hmotnost;
            p = p + m.hmotnost * PositionOf(m);
            v = v + m.hmotnost * VelocityOf(m);
        }
        k.mass[i] = mass;
        position[i] = (1 / mass) * p;
        velocity[i] = (1 / mass) * v;
        momentum = momentum + v;
        moment = moment + p;
        k.totalMass += mass;
        if (l.firstMoon[i + 1] > l.firstMoon[i]) {
            System& s = k.system[k.systemCount++];
            const BodyTraits& t = u.traits[l.top[i]];
            s.top = i;
            s.first = l.firstMoon[i];
            s.count = l.firstMoon[i + 1] - l.firstMoon[i];
            s.planetMass = planet.hmotnost;
            s.mass = mass;
            s.muPlanet = u.kapa * planet.hmotnost;
            const double poleLength = std::sqrt(t.pole[0] * t.pole[0] + t.pole[1] * t.pole[1] + t.pole[2] * t.pole[2]);
            const bool oblate = poleLength > 0 && t.jRadius > 0;
            s.j2 = oblate ? t.j2 : 0;
            s.j4 = oblate ? t.j4 : 0;
            s.jRadius = t.jRadius;
            s.pole = oblate ? Vec{t.pole[0] / poleLength, t.pole[1] / poleLength, t.pole[2] / poleLength} : Vec{0, 0, 0};
            s.longestStep = LongestMoonStep(u, l, i, s.muPlanet);
            for (int j = s.first; j < s.first + s.count; ++j) {
                const Body& m = u.bodies[l.moon[j]];
                k.moonMass[j] = m.hmotnost;
                k.rho[j] = PositionOf(m) - PositionOf(planet);
                k.w[j] = VelocityOf(m) - velocity[i];
            }
        }
    }
    k.centre = (1 / k.totalMass) * moment;
    k.centreVelocity = (1 / k.totalMass) * momentum;
    for (int i = 0; i < l.topCount; ++i) {
        k.q[i] = position[i] - PositionOf(sun);
        k.u[i] = velocity[i] - k.centreVelocity;
    }
}

void Store(const Work& k, UniverseModel& u) {
    const Layout& l = *k.layout;
    Vec moment = {0, 0, 0}, momentum = {0, 0, 0};
    for (int i = 0; i < k.topCount; ++i) {
        moment = moment + k.mass[i] * k.q[i];
        momentum = momentum + k.mass[i] * k.u[i];
    }
    const Vec sunPosition = k.centre - (1 / k.totalMass) * moment;
    const Vec sunVelocity = k.centreVelocity - (1 / k.sunMass) * momentum;
    Body& sun = u.bodies[l.sun];
    sun.x = sunPosition.x, sun.y = sunPosition.y, sun.z = sunPosition.z;
    sun.vx = sunVelocity.x, sun.vy = sunVelocity.y, sun.vz = sunVelocity.z;
    int s = 0;
    for (int i = 0; i < k.topCount; ++i) {
        const Vec position = sunPosition + k.q[i];
        const Vec velocity = k.centreVelocity + k.u[i];
        Body& planet = u.bodies[l.top[i]];
        Vec planetPosition = position, planetVelocity = velocity;
        if (s < k.systemCount && k.system[s].top == i) {
            const System& sys = k.system[s++];
            Vec offset = {0, 0, 0}, recoil = {0, 0, 0};
            for (int j = sys.first; j < sys.first + sys.count; ++j) {
                offset = offset + k.moonMass[j] * k.rho[j];
                recoil = recoil + k.moonMass[j] * k.w[j];
            }
            planetPosition = position - (1 / sys.mass) * offset;
            planetVelocity = velocity - (1 / sys.planetMass) * recoil;
            for (int j = sys.first; j < sys.first + sys.count; ++j) {
                Body& m = u.bodies[l.moon[j]];
                const Vec p = planetPosition + k.rho[j], v = velocity + k.w[j];
                m.x = p.x, m.y = p.y, m.z = p.z;
                m.vx = v.x, m.vy = v.y, m.vz = v.z;
            }
        }
        planet.x = planetPosition.x, planet.y = planetPosition.y, planet.z = planetPosition.z;
        planet.vx = planetVelocity.x, planet.vy = planetVelocity.y, planet.vz = planetVelocity.z;
    }
}

// ---------------------------------------------------------------- the outer level

// The tops' pull on each other, as points at their barycentres.
void OuterKick(Work& k, double dt) {
    for (int i = 0; i < k.topCount; ++i) {
        for (int j = i + 1; j < k.topCount; ++j) {
            const Vec d = k.q[j] - k.q[i];
            const double r2 = Dot(d, d);
            const double r = std::sqrt(r2);
            if (!(r > 0)) continue;
            const double s = k.kapa / (r * r2) * dt;
            k.u[i] = k.u[i] + (k.mass[j] * s) * d;
            k.u[j] = k.u[j] - (k.mass[i] * s) * d;
        }
    }
}

// The Sun's own motion about the centre of mass, as a shift of every top.
void SunShift(Work& k, double dt) {
    Vec momentum = {0, 0, 0};
    for (int i = 0; i < k.topCount; ++i) momentum = momentum + k.mass[i] * k.u[i];
    const Vec shift = (dt / k.sunMass) * momentum;
    for (int i = 0; i < k.topCount; ++i) k.q[i] = k.q[i] + shift;
}

// A system's barycentre along its Kepler path through an outer drift: the
// cubic through both ends with their velocities, which runs the same
// backwards as forwards.
struct Path {
    Vec q0, u0, q1, u1;
    double h;
    Vec At(double t) const {
        if (h == 0) return q0;
        const double s = t / h, s2 = s * s, s3 = s2 * s;
        const double a = 2 * s3 - 3 * s2 + 1, b = s3 - 2 * s2 + s, c = -2 * s3 + 3 * s2, d = s3 - s2;
        return a * q0 + (b * h) * u0 + c * q1 + (d * h) * u1;
    }
};

// ---------------------------------------------------------------- inside a system

// The planet's oblateness on a body at r from its centre.
Vec Zonal(const System& s, Vec r) {
    const double r2 = Dot(r, r);
    const double rr = std::sqrt(r2);
    const double z = Dot(r, s.pole) / rr;  // sine of the latitude
    const double z2 = z * z;
    const double R2 = s.jRadius * s.jRadius / r2;
    const double k = s.muPlanet / (r2 * rr);  // mu / r^3
    // J2: 3/2 J2 (R/r)^2 mu/r^3 [(5 z^2 - 1) r - 2 z r pole]
    const double a2 = 1.5 * s.j2 * R2 * k;
    // J4: 1/8 J4 (R/r)^4 mu/r^3 [(315 z^4 - 210 z^2 + 15) r - (140 z^3 - 60 z) r pole]
    const double a4 = 0.125 * s.j4 * R2 * R2 * k;
    const double radial = a2 * (5 * z2 - 1) + a4 * ((315 * z2 - 210) * z2 + 15);
    const double polar = (-2 * a2 * z - a4 * (140 * z2 - 60) * z) * rr;
    return radial * r + polar * s.pole;
}

void InnerKick(Work& k, const System& s, const Path& path, double t, double dt) {
    const int first = s.first, end = s.first + s.count;
    Vec acc[UniverseSlots];
    for (int j = first; j < end; ++j) acc[j] = Zonal(s, k.rho[j]);
    // The moons on each other.
    for (int i = first; i < end; ++i) {
        for (int j = i + 1; j < end; ++j) {
            const Vec d = k.rho[j] - k.rho[i];
            const double r2 = Dot(d, d);
            const double r = std::sqrt(r2);
            if (!(r > 0)) continue;
            const double f = k.kapa / (r * r2);
            acc[i] = acc[i] + (k.moonMass[j] * f) * d;
            acc[j] = acc[j] - (k.moonMass[i] * f) * d;
        }
    }
    // The Sun's tide: its pull on each member less its pull on the whole.
    Vec offset = {0, 0, 0};
    for (int j = first; j < end; ++j) offset = offset + k.moonMass[j] * k.rho[j];
    const Vec planetFromBary = (-1 / s.mass) * offset;
    const Vec bary = path.At(t);  // from the Sun
    auto sunPull = [&](Vec r) {
        const Vec d = bary + r;
        const double d2 = Dot(d, d);
        return (-k.muSun / (d2 * std::sqrt(d2))) * d;
    };
    const Vec planetPull = sunPull(planetFromBary);
    Vec pull[UniverseSlots];
    Vec mean = s.planetMass * planetPull;
    for (int j = first; j < end; ++j) {
        pull[j] = sunPull(planetFromBary + k.rho[j]);
        mean = mean + k.moonMass[j] * pull[j];
    }
    mean = (1 / s.mass) * mean;
    for (int j = first; j < end; ++j) k.w[j] = k.w[j] + dt * (acc[j] + pull[j] - mean);
}

void PlanetShift(Work& k, const System& s, double dt) {
    Vec momentum = {0, 0, 0};
    for (int j = s.first; j < s.first + s.count; ++j) momentum = momentum + k.moonMass[j] * k.w[j];
    const Vec shift = (dt / s.planetMass) * momentum;
    for (int j = s.first; j < s.first + s.count; ++j) k.rho[j] = k.rho[j] + shift;
}

void MoonDrift(Work& k, const System& s, double dt) {
    for (int j = s.first; j < s.first + s.count; ++j) {
        double r[3] = {k.rho[j].x, k.rho[j].y, k.rho[j].z}, v[3] = {k.w[j].x, k.w[j].y, k.w[j].z};
        if (!KeplerDrift(s.muPlanet, r, v, dt)) {
            // No orbit to follow (on the planet's centre): a straight line.
            k.rho[j] = k.rho[j] + dt * k.w[j];
            continue;
        }
        k.rho[j] = {r[0], r[1], r[2]};
        k.w[j] = {v[0], v[1], v[2]};
    }
}

// The system's own motion through an outer drift of h, in n symmetric steps.
void InnerDrift(Work& k, const System& s, const Path& path, double h) {
    // A file may name a step too short to take: longer ones, then, rather
    // than a tick that never ends.
    const double steps = std::ceil(std::fabs(h) / s.longestStep);
    const int n = steps >= 1 ? (steps < MostMoonSteps ? static_cast<int>(steps) : MostMoonSteps) : 1;
    const double tau = h / n;
    InnerKick(k, s, path, 0, tau / 2);
    for (int i = 0; i < n; ++i) {
        PlanetShift(k, s, tau / 2);
        MoonDrift(k, s, tau);
        PlanetShift(k, s, tau / 2);
        const double t = i + 1 == n ? h : (i + 1) * tau;
        InnerKick(k, s, path, t, i + 1 == n ? tau / 2 : tau);
    }
}

void OuterDrift(Work& k, double h) {
    SunShift(k, h / 2);
    Path paths[UniverseSlots];
    for (int s = 0; s < k.systemCount; ++s) {
        const int i = k.system[s].top;
        paths[s].q0 = k.q[i];
        paths[s].u0 = k.u[i];
        paths[s].h = h;
    }
    for (int i = 0; i < k.topCount; ++i) {
        double r[3] = {k.q[i].x, k.q[i].y, k.q[i].z}, v[3] = {k.u[i].x, k.u[i].y, k.u[i].z};
        if (!KeplerDrift(k.muSun, r, v, h)) {
            k.q[i] = k.q[i] + h * k.u[i];
            continue;
        }
        k.q[i] = {r[0], r[1], r[2]};
        k.u[i] = {v[0], v[1], v[2]};
    }
    for (int s = 0; s < k.systemCount; ++s) {
        const int i = k.system[s].top;
        paths[s].q1 = k.q[i];
        paths[s].u1 = k.u[i];
        InnerDrift(k, k.system[s], paths[s], h);
    }
    SunShift(k, h / 2);
}

int OuterStepCount(double deltat) {
    const double n = std::ceil(std::fabs(deltat) / NestedLongestStep);
    if (!(n > 1) || !std::isfinite(n)) return 1;
    if (!(n < IntegratorMostSubSteps)) return IntegratorMostSubSteps;
    return static_cast<int>(n);
}

class Nested final : public IntegratorScheme {
public:
    double Advance(UniverseModel& u, double deltat, StepListener* listener, int maxSteps) const override {
        Layout l;
        if (!MakeLayout(u, l) || !std::isfinite(deltat))
            return LeapfrogScheme.Advance(u, deltat, listener, maxSteps);
        // Time standing still (a file may say deltat 0): nothing moves.
        if (deltat == 0) return deltat;
        Work k;
        Load(u, l, k);
        const int all = OuterStepCount(deltat);
        const double h = deltat / all;
        const int n = maxSteps < all ? (maxSteps > 0 ? maxSteps : 0) : all;
        for (int i = 0; i < n; ++i) {
            OuterKick(k, h);
            OuterDrift(k, h);
            if (!listener) continue;
            Store(k, u);
            if (!listener->AfterStep(u, h)) continue;
            if (&u.Scheme() != this || !MakeLayout(u, l)) return i + 1 == all ? deltat : (i + 1) * h;
            Load(u, l, k);
        }
        if (!listener) Store(k, u);
        return n == all ? deltat : n * h;
    }

    double StepLength(double deltat) const override { return deltat / OuterStepCount(deltat); }
    int StepCount(double deltat) const override { return OuterStepCount(deltat); }

    // A Kepler drift costs about as much as fifteen pairs, a planet's tide on
    // a moon three.
    double StepWork(const UniverseModel& u, double deltat) const override {
        Layout l;
        if (!MakeLayout(u, l)) return LeapfrogScheme.StepWork(u, deltat);
        const double h = std::fabs(deltat / OuterStepCount(deltat));
        double work = 0.5 * l.topCount * (l.topCount + 1) + 15.0 * l.topCount;
        for (int i = 0; i < l.topCount; ++i) {
            const int moons = l.firstMoon[i + 1] - l.firstMoon[i];
            if (moons == 0) continue;
            const double step = LongestMoonStep(u, l, i, u.kapa * u.bodies[l.top[i]].hmotnost);
            const double steps = std::ceil(h / step);
            work += (steps >= 1 ? std::fmin(steps, MostMoonSteps) : 1) * (0.5 * moons * (moons - 1) + 18.0 * moons + 3);
        }
        return work;
    }

    void ChangeStep(UniverseModel& u, double before, double after) const override {
        const double shift = (before - after) / 2;
        if (after == before || !std::isfinite(shift)) return;
        Layout l;
        if (!MakeLayout(u, l)) {
            LeapfrogScheme.ChangeStep(u, before, after);
            return;
        }
        Work k;
        Load(u, l, k);
        OuterKick(k, shift);
        Store(k, u);
    }
};

const Nested kNested;

}  // namespace

const IntegratorScheme& NestedScheme = kNested;
