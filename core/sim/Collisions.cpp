// Contact and merging of bodies. The search runs after every integration
// step, so it is one pass over the pairs with no square root, division or
// branch per pair unless a pair's swept spheres already overlap; a universe
// where nothing touches is left alone to the bit.
#include "core/sim/Collisions.h"

#include <cmath>
#include <cstring>

#include "core/sim/Integrator.h"
#include "core/sim/UniverseModel.h"

namespace {

bool UsedSimulatedSlot(const UniverseModel& u, int slot) {
    return slot >= FirstSimulatedSlot && slot < UniverseSlots && BodyInUse(u.bodies[slot]);
}

// A pair whose masses cancel (or overflow) has no centre of mass to merge at;
// it is never reported, so that it cannot hold up the pairs after it.
bool Mergeable(const Body& a, const Body& b) {
    const double m = a.hmotnost + b.hmotnost;
    return m != 0 && std::isfinite(m);
}

double Dot(const double a[3], const double b[3]) { return a[0] * b[0] + a[1] * b[1] + a[2] * b[2]; }

// How many of the swept spheres after the i-th overlap it. Counted two
// pairs at a time, not searched for with a branch per pair, so that the
// compiler can put each two pairs in one vector (at -O2 too): nearly every
// call of a step counts none.
double CountNear(const double* mx, const double* my, const double* mz, const double* reach, int i, int count) {
    const double x = mx[i], y = my[i], z = mz[i], ri = reach[i];
    double near[2] = {0, 0};
    int j = i + 1;
    for (; j + 1 < count; j += 2) {
        for (int k = 0; k < 2; ++k) {
            const double dx = mx[j + k] - x, dy = my[j + k] - y, dz = mz[j + k] - z;
            const double r = ri + reach[j + k];
            near[k] += dx * dx + dy * dy + dz * dz <= r * r ? 1.0 : 0.0;
        }
    }
    for (; j < count; ++j) {
        const double dx = mx[j] - x, dy = my[j] - y, dz = mz[j] - z;
        const double r = ri + reach[j];
        near[0] += dx * dx + dy * dy + dz * dz <= r * r ? 1.0 : 0.0;
    }
    return near[0] + near[1];
}

// How fast the bodies in slots a and b pull apart from a straight course:
// the length of the difference of the accelerations all the others give
// them (the oblateness left out). Only for pairs a sweep found close.
double RelativeAcceleration(const UniverseModel& u, int a, int b) {
    double diff[3] = {0, 0, 0};
    const int end = UsedSlotEnd(u.bodies);
    for (int k = FirstSimulatedSlot; k < end; ++k) {
        const Body& o = u.bodies[k];
        if (!BodyInUse(o)) continue;
        for (int side = 0; side < 2; ++side) {
            const int slot = side ? b : a;
            if (k == slot) continue;
            const Body& p = u.bodies[slot];
            const double d[3] = {o.x - p.x, o.y - p.y, o.z - p.z};
            const double r2 = Dot(d, d);
            if (!(r2 > 0)) continue;
            const double f = (side ? -u.kapa : u.kapa) * o.hmotnost / (r2 * std::sqrt(r2));
            for (int c = 0; c < 3; ++c) diff[c] += f * d[c];
        }
    }
    return std::sqrt(Dot(diff, diff));
}

}  // namespace

double ContactRadius(const UniverseModel& u, int slot) {
    const double r = u.TrueRadius(slot);
    return r > 0 ? r : 0;
}

int FindContact(const UniverseModel& u, double step, ContactPair* pair) {
    if (!std::isfinite(step)) step = 0;
    // Each body swept over the last drift fits in a sphere about the middle
    // of its path; only pairs whose such spheres overlap are looked at
    // closely. With step 0 that sphere is the body itself. Kept axis by axis
    // so that the loop over pairs, which every step runs, vectorises.
    double mx[UniverseSlots], my[UniverseSlots], mz[UniverseSlots];
    double reach[UniverseSlots];   // the contact radius plus at least half the path
    double radius[UniverseSlots];  // the contact radius
    int slots[UniverseSlots];
    int count = 0;
    const int end = UsedSlotEnd(u.bodies);
    const double half = step / 2;
    for (int k = FirstSimulatedSlot; k < end; ++k) {
        const Body& b = u.bodies[k];
        if (!BodyInUse(b)) continue;
        mx[count] = b.x - b.vx * half;
        my[count] = b.y - b.vy * half;
        mz[count] = b.z - b.vz * half;
        // ContactRadius, without a call per body per step.
        const double r = u.traits[k].radius > 0 ? u.traits[k].radius : b.polomer;
        radius[count] = r > 0 ? r : 0;
        // The sum of the components bounds the speed from above without a root.
        const double speed = std::fabs(b.vx) + std::fabs(b.vy) + std::fabs(b.vz);
        reach[count] = radius[count] + speed * std::fabs(half);
        slots[count++] = k;
    }
    for (int i = 0; i < count; ++i) {
        if (!(CountNear(mx, my, mz, reach, i, count) > 0)) continue;
        const Body& a = u.bodies[slots[i]];
        for (int j = i + 1; j < count; ++j) {
            const double ex = mx[j] - mx[i], ey = my[j] - my[i], ez = mz[j] - mz[i];
            const double r = reach[i] + reach[j];
            // NaN fails the test and is passed over like a distant body.
            if (!(ex * ex + ey * ey + ez * ez <= r * r)) continue;
            const Body& b = u.bodies[slots[j]];
            const double d[3] = {b.x - a.x, b.y - a.y, b.z - a.z};
            const double w[3] = {b.vx - a.vx, b.vy - a.vy, b.vz - a.vz};
            // The separation over the drift was d - w s for s from 0 to step;
            // its nearest point to zero, clamped to that span.
            double s = 0;
            const double ww = Dot(w, w);
            if (step != 0 && ww > 0) {
                s = Dot(d, w) / ww;
                const double lo = step < 0 ? step : 0, hi = step < 0 ? 0 : step;
                s = s < lo ? lo : (s > hi ? hi : s);
            }
            const double q[3] = {d[0] - w[0] * s, d[1] - w[1] * s, d[2] - w[2] * s};
            const double touch = radius[i] + radius[j];
            if (!(Dot(q, q) <= touch * touch) || !Mergeable(a, b)) continue;
            // The sweep runs the pair back along straight lines; their true
            // paths bend away from them by about half their relative
            // acceleration times the time squared. Where a long step bends
            // them by more than they are wide (the moons of a planet at a
            // high rate, a quarter of an orbit a step), the line says
            // nothing: a contact on it must hold with that much to spare.
            // Bodies that overlap where they stand touch whatever the line.
            const double spare = s != 0 ? touch - 0.5 * RelativeAcceleration(u, slots[i], slots[j]) * s * s : touch;
            if (Dot(d, d) <= touch * touch || (spare >= 0 && Dot(q, q) <= spare * spare)) {
                if (pair) {
                    pair->a = slots[i];
                    pair->b = slots[j];
                }
                return 1;
            }
        }
    }
    return 0;
}

int MergePair(UniverseModel& u, int a, int b) {
    if (a == b || !UsedSimulatedSlot(u, a) || !UsedSimulatedSlot(u, b)) return 0;
    if (!Mergeable(u.bodies[a], u.bodies[b])) return 0;
    const double ma = u.bodies[a].hmotnost, mb = u.bodies[b].hmotnost;
    const bool bHeavier = mb > ma || (mb == ma && b < a);
    const int survivor = bHeavier ? b : a;
    const int lighter = bHeavier ? a : b;
    Body& s = u.bodies[survivor];
    const Body& l = u.bodies[lighter];
    const double ms = s.hmotnost, ml = l.hmotnost;
    const double m = ms + ml;

    // Momentum first, then the one division: the summed momentum survives
    // as exactly as a quotient can hold it.
    const double px = ms * s.vx + ml * l.vx, py = ms * s.vy + ml * l.vy, pz = ms * s.vz + ml * l.vz;
    const double cx = ms * s.x + ml * l.x, cy = ms * s.y + ml * l.y, cz = ms * s.z + ml * l.z;

    const double rs = ContactRadius(u, survivor), rl = ContactRadius(u, lighter);
    const double radius = std::cbrt(rs * rs * rs + rl * rl * rl);
    BodyTraits& t = u.traits[survivor];
    if (t.radius > 0) {
        // A dated universe draws its bodies enlarged: the survivor keeps its
        // enlargement, applied to the grown true radius.
        s.polomer = s.polomer * (radius / t.radius);
        t.radius = radius;
    } else {
        s.polomer = radius;
    }
    s.hmotnost = m;
    s.x = cx / m, s.y = cy / m, s.z = cz / m;
    s.vx = px / m, s.vy = py / m, s.vz = pz / m;

    // Whatever circled the lighter now circles the survivor; the survivor
    // itself, if it circled the lighter, takes the lighter's parent.
    const int lighterParent = u.traits[lighter].parent;
    std::memset(&u.bodies[lighter], 0, sizeof u.bodies[lighter]);
    std::memset(&u.traits[lighter], 0, sizeof u.traits[lighter]);
    if (t.parent == lighter) t.parent = lighterParent != survivor ? lighterParent : 0;
    for (int k = 0; k < UniverseSlots; ++k) {
        if (k != survivor && u.traits[k].parent == lighter) u.traits[k].parent = survivor;
    }
    return survivor;
}

int MergeTouching(UniverseModel& u, double step, MergeRecord* merges, int capacity) {
    ContactPair pair;
    if (!FindContact(u, step, &pair)) return 0;
    // Velocities stand where the steps keep them, each carrying part of the
    // pull it feels; a merge sums momenta, which is only right for velocities
    // of one moment. Brought to the positions' time with the scheme that ran,
    // put back with the scheme of what is left (a moon merged into its
    // planet may leave a universe that another scheme runs).
    u.Scheme().ChangeStep(u, u.StepLength(), 0);
    int made = 0;
    do {
        const int survivor = MergePair(u, pair.a, pair.b);
        if (!survivor) break;  // FindContact reports only pairs that merge
        if (merges && made < capacity) {
            merges[made].survivor = survivor;
            merges[made].lighter = survivor == pair.a ? pair.b : pair.a;
        }
        ++made;
    } while (FindContact(u, step, &pair));
    u.Scheme().ChangeStep(u, 0, u.StepLength());
    return made;
}
