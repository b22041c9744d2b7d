#include "core/sim/Trails.h"

#include <cmath>
#include <cstring>

namespace {

const double kTwoPi = 6.283185307179586;

}  // namespace

double OrbitalPeriod(const UniverseModel& u, int slot) {
    if (slot < FirstPlanetSlot || slot >= UniverseSlots) return 0;
    const Body& sun = u.bodies[SunSlot];
    const Body& b = u.bodies[slot];
    if (!BodyInUse(sun) || !BodyInUse(b)) return 0;
    const double r = VectorLength(b.x - sun.x, b.y - sun.y, b.z - sun.z);
    const double mu = u.kapa * (sun.hmotnost + b.hmotnost);
    const double t = kTwoPi * std::sqrt(r * r * r / mu);
    return std::isfinite(t) && t > 0 ? t : 0;
}

Trails::Trails() : frame(0) { Reset(); }

void Trails::Reset() {
    for (Track& t : tracks) {
        t.newest = -1;
        t.count = 0;
        t.sinceLast = 0;
        t.interval = -1;  // chosen at the first point
    }
}

void Trails::Follow(int frameBody) {
    if (frameBody == frame) return;
    Reset();
    frame = frameBody;
}

void Trails::Record(const UniverseModel& u, int frameBody) {
    Follow(frameBody);
    const bool framed = frame >= FirstSimulatedSlot && frame < UniverseSlots;
    const double fx = framed ? u.bodies[frame].x : 0;
    const double fy = framed ? u.bodies[frame].y : 0;
    const double fz = framed ? u.bodies[frame].z : 0;
    const double step = std::fabs(u.deltat);

    double longest = 0;
    for (int k = FirstPlanetSlot; k < UniverseSlots; ++k) longest = std::fmax(longest, OrbitalPeriod(u, k));

    for (int k = FirstSimulatedSlot; k < UniverseSlots; ++k) {
        const Body& b = u.bodies[k];
        Track& t = tracks[k];
        if (!BodyInUse(b) || k == frame) {
            t.count = 0;
            t.newest = -1;
            continue;
        }
        if (t.interval < 0) {
            // The Sun's own path in the absolute frame follows the slowest
            // planet that pulls it; seen from a planet, every path repeats
            // with that planet's year too.
            double period = k == SunSlot ? longest : OrbitalPeriod(u, k);
            if (framed) period = std::fmax(period, OrbitalPeriod(u, frame));
            t.interval = period / PointsPerBody;
        }
        t.sinceLast += step;
        if (t.count > 0 && !(t.sinceLast >= t.interval)) continue;
        const float p[3] = {static_cast<float>(b.x - fx), static_cast<float>(b.y - fy),
                            static_cast<float>(b.z - fz)};
        if (!(std::isfinite(p[0]) && std::isfinite(p[1]) && std::isfinite(p[2]))) continue;
        t.newest = (t.newest + 1) % PointsPerBody;
        std::memcpy(t.points[t.newest], p, sizeof p);
        if (t.count < PointsPerBody) ++t.count;
        t.sinceLast = 0;
    }
}
