#include "sim/TrailsDraw.h"

#include "core/sim/Trails.h"
#include "gfx/GlRenderer.h"

void DrawTrails(const Trails& trails, const UniverseModel& u, GlRenderer* renderer) {
    if (!renderer) return;
    enum { PointsPerBody = Trails::PointsPerBody };
    const int frame = trails.Frame();
    const bool framed = frame >= FirstSimulatedSlot && frame < UniverseSlots;
    const double origin[3] = {framed ? u.bodies[frame].x : 0, framed ? u.bodies[frame].y : 0,
                              framed ? u.bodies[frame].z : 0};
    static float strip[PointsPerBody + 1][3];
    for (int k = FirstSimulatedSlot; k < UniverseSlots; ++k) {
        const Trails::Track& t = trails.TrackOf(k);
        const Body& b = u.bodies[k];
        if (t.count == 0 || !BodyInUse(b)) continue;
        const int oldest = (t.newest - t.count + 1 + PointsPerBody) % PointsPerBody;
        for (int i = 0; i < t.count; ++i) {
            const float* p = t.points[(oldest + i) % PointsPerBody];
            strip[i][0] = p[0];
            strip[i][1] = p[1];
            strip[i][2] = p[2];
        }
        strip[t.count][0] = static_cast<float>(b.x - origin[0]);
        strip[t.count][1] = static_cast<float>(b.y - origin[1]);
        strip[t.count][2] = static_cast<float>(b.z - origin[2]);
        // The Sun's path warm, the planets' cool, so the two read apart.
        if (k == SunSlot)
            renderer->DrawFadingStrip(&strip[0][0], t.count + 1, origin, 1.0f, 0.8f, 0.4f);
        else
            renderer->DrawFadingStrip(&strip[0][0], t.count + 1, origin, 0.55f, 0.75f, 1.0f);
    }
}
