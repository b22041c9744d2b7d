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

namespace {

// A moon's revolution about its planet.
double MoonPeriod(const UniverseModel& u, int slot) {
    const int p = u.ParentSlot(slot);
    if (p < 0) return 0;
    const Body &b = u.bodies[slot], &planet = u.bodies[p];
    const double r = VectorLength(b.x - planet.x, b.y - planet.y, b.z - planet.z);
    const double mu = u.kapa * (planet.hmotnost + b.hmotnost);
    const double t = kTwoPi * std::sqrt(r * r * r / mu);
    return std::isfinite(t) && t > 0 ? t : 0;
}

}  // namespace

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

void Trails::Record(const UniverseModel& u, int frameBody, double elapsed, bool enlarged) {
    Follow(frameBody);
    const bool framed = frame >= FirstSimulatedSlot && frame < UniverseSlots;
    double origin[3] = {0, 0, 0};
    if (framed) u.ViewPosition(frame, enlarged, origin);
    const double step = elapsed >= 0 ? elapsed : std::fabs(u.deltat);

    // Found once, when a new track needs it: this runs after every step.
    double longest = -1;

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
            // with that planet's year too. A moon seen from its planet runs
            // round its own orbit; seen from elsewhere it follows its planet.
            double period;
            if (k == SunSlot && framed && OrbitalPeriod(u, frame) > 0) {
                // Seen from a planet the Sun goes round once a year of that planet.
                period = OrbitalPeriod(u, frame);
            } else if (k == SunSlot) {
                if (longest < 0) {
                    longest = 0;
                    for (int j = FirstPlanetSlot; j < UniverseSlots; ++j)
                        longest = std::fmax(longest, OrbitalPeriod(u, j));
                }
                period = longest;
            } else if (u.IsMoon(k) && u.ParentSlot(k) == frame) {
                period = MoonPeriod(u, k);
            } else {
                period = OrbitalPeriod(u, u.IsMoon(k) ? u.ParentSlot(k) : k);
            }
            if (framed && !(u.IsMoon(k) && u.ParentSlot(k) == frame)) period = std::fmax(period, OrbitalPeriod(u, frame));
            t.interval = period / PointsPerBody;
        }
        t.sinceLast += step;
        if (t.count > 0 && !(t.sinceLast >= t.interval)) continue;
        // Where the view draws it: a moon of the enlarged view as far out as
        // its planet is enlarged. Found only for the points taken.
        double at[3];
        u.ViewPosition(k, enlarged, at);
        const float p[3] = {static_cast<float>(at[0] - origin[0]), static_cast<float>(at[1] - origin[1]),
                            static_cast<float>(at[2] - origin[2])};
        if (!(std::isfinite(p[0]) && std::isfinite(p[1]) && std::isfinite(p[2]))) continue;
        t.newest = (t.newest + 1) % PointsPerBody;
        std::memcpy(t.points[t.newest], p, sizeof p);
        if (t.count < PointsPerBody) ++t.count;
        t.sinceLast = 0;
    }
}
