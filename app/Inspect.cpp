// Selection, the panel, the orbit lines, the ring and the flight, on top of
// the portable pieces (core/app/Camera.h, Panel.h, core/sim/Orbits.h). Every
// place is where the view draws a body (Universe::ViewPlace), so what is
// picked, ringed and flown to is what the user sees.
#include "app/Inspect.h"

#include <cmath>
#include <new>

#include "core/app/Panel.h"
#include "core/sim/Integrator.h"
#include "core/sim/Orbits.h"
#include "gfx/GlRenderer.h"
#include "sim/Universe.h"

namespace {

// Points along one orbit line: a polygon of 128 sides strays from a circle by
// 0.03 % of its radius, under a pixel for an orbit across a full-HD view.
const int kOrbitPoints = 129;
const int kRingPoints = 49;
// The ring stands a little outside the disc, and never smaller than this, so
// that it shows about a body seen as a point.
const double kRingOutside = 1.25;
const double kRingLeastPixels = 9;
const float kOrbitFaint[4] = {0.55f, 0.65f, 0.85f, 0.35f};
const float kOrbitSelected[4] = {1.0f, 0.95f, 0.6f, 0.9f};
const float kRingColour[4] = {1.0f, 1.0f, 0.6f, 0.9f};

bool SlotUsed(const Universe& u, int slot) {
    return slot >= FirstSimulatedSlot && slot < UniverseSlots && BodyInUse(u.bodies[slot]);
}

// Where the body a camera rides with is drawn; the origin for the absolute frame.
void FramePlace(const Universe& u, int frame, double out[3]) {
    out[0] = out[1] = out[2] = 0;
    if (SlotUsed(u, frame)) u.ViewPlace(frame, out);
}

bool SamePose(const CameraPose& a, const CameraPose& b) {
    return a.x == b.x && a.y == b.y && a.z == b.z && a.pitch == b.pitch && a.yaw == b.yaw && a.roll == b.roll;
}

}  // namespace

Inspector::Inspector()
    : showOrbits(0),
      flightFrom(SkySlot),
      flightTarget(-1),
      flightGeneration(0),
      lastFrame(SkySlot),
      lastPose(CameraPose{0, 0, 0, 0, 0, 0}),
      timed(nullptr) {
    flight.Stop();
}

Inspector::~Inspector() { delete timed; }

int Inspector::Selected(const Universe& u) { return SlotUsed(u, u.selected) ? u.selected : -1; }

void Inspector::SelectNext(Universe& u) {
    const int end = UsedSlotEnd(u.bodies);
    const int now = Selected(u);
    for (int slot = now < 0 ? FirstSimulatedSlot : now + 1; slot < end; ++slot) {
        if (BodyInUse(u.bodies[slot])) {
            u.selected = slot;
            return;
        }
    }
    u.selected = -1;
}

int Inspector::SelectAtCentre(Universe& u, int frameBody, const CameraPose& pose, int width, int height) {
    CameraView view;
    MakeCameraView(pose, width, height, &view);
    double origin[3];
    FramePlace(u, frameBody, origin);
    PickCandidate candidates[UniverseSlots];
    int slotOf[UniverseSlots];
    int count = 0;
    const int end = UsedSlotEnd(u.bodies);
    for (int slot = FirstSimulatedSlot; slot < end; ++slot) {
        if (!BodyInUse(u.bodies[slot])) continue;
        double place[3];
        u.ViewPlace(slot, place);
        for (int i = 0; i < 3; ++i) place[i] -= origin[i];
        PickCandidate& c = candidates[count];
        c.inFront = ProjectPoint(view, place, &c.x, &c.y, nullptr);
        c.distance = VectorLength(place[0] - view.position[0], place[1] - view.position[1], place[2] - view.position[2]);
        c.discRadius = DiscRadiusPixels(view, c.distance, u.ViewRadius(slot));
        c.label = u.labelRect[slot];
        slotOf[count++] = slot;
    }
    const int k = PickAtCentre(candidates, count, width, height);
    u.selected = k < 0 ? -1 : slotOf[k];
    return u.selected;
}

int Inspector::StartFlight(const Universe& u, int frameBody, const CameraPose& pose) {
    const int target = Selected(u);
    if (target < 0) return 0;
    double from[3], to[3];
    FramePlace(u, frameBody, from);
    u.ViewPlace(target, to);
    flight.Start(pose, from, to, u.ViewRadius(target));
    flightFrom = frameBody;
    flightTarget = target;
    flightGeneration = u.generation;
    lastFrame = frameBody;
    lastPose = pose;
    return 1;
}

int Inspector::Fly(const Universe& u, int* frameBody, CameraPose* pose) {
    if (!flight.Flying()) return 0;
    // A new universe may hold other bodies in the same slots; a frame body
    // removed leaves nothing to start from.
    const bool fromGone = flightFrom != SkySlot && !SlotUsed(u, flightFrom);
    if (*frameBody != lastFrame || !SamePose(*pose, lastPose) || u.generation != flightGeneration ||
        !SlotUsed(u, flightTarget) || fromGone) {
        flight.Stop();
        return 0;
    }
    double from[3], to[3];
    FramePlace(u, flightFrom, from);
    u.ViewPlace(flightTarget, to);
    if (!flight.Advance(from, to, pose)) return 0;
    *frameBody = flightTarget;
    lastFrame = flightTarget;
    lastPose = *pose;
    return 1;
}

void Inspector::DrawScene(Universe& u, GlRenderer* renderer, const CameraPose& pose, const double origin[3],
                          int width, int height) {
    if (!renderer) return;
    if (showOrbits) DrawOrbits(u, renderer, origin);
    DrawRing(u, renderer, pose, origin, width, height);
}

void Inspector::DrawOrbits(Universe& u, GlRenderer* renderer, const double origin[3]) {
    // The integrator keeps velocities half a step off the positions; the
    // orbit is the one a user would measure now.
    if (!timed) timed = new (std::nothrow) UniverseModel;
    if (!timed) return;
    *timed = static_cast<const UniverseModel&>(u);
    timed->Scheme().ChangeStep(*timed, timed->StepLength(), 0);
    const int selected = Selected(u);
    const int end = UsedSlotEnd(u.bodies);
    // Every faint orbit as segments in one call (a call each costs the
    // software renderer more than the lines), the selected one apart.
    static float points[kOrbitPoints * 3];
    static float faint[UniverseSlots * 2 * (kOrbitPoints - 1) * 3];
    static float chosen[2 * (kOrbitPoints - 1) * 3];
    int faintCount = 0, chosenCount = 0;
    for (int slot = FirstSimulatedSlot; slot < end; ++slot) {
        if (!BodyInUse(u.bodies[slot])) continue;
        const int parent = u.ParentSlot(slot);
        if (parent < 0) continue;
        const Body &b = timed->bodies[slot], &p = timed->bodies[parent];
        OrbitElements orbit;
        if (!OrbitAbout(b, p, timed->kapa, &orbit)) continue;
        const int n = SampleOrbit(orbit, 0, kOrbitPoints, points);
        if (n < 2) continue;
        double parentAt[3], at[3];
        u.ViewPlace(parent, parentAt);
        u.ViewPlace(slot, at);
        // The enlarged view draws a moon as many times farther out as its
        // planet is enlarged: its orbit is drawn to the same scale.
        const double trueDistance = VectorLength(b.x - p.x, b.y - p.y, b.z - p.z);
        const double viewDistance = VectorLength(at[0] - parentAt[0], at[1] - parentAt[1], at[2] - parentAt[2]);
        double scale = trueDistance > 0 ? viewDistance / trueDistance : 1;
        if (!std::isfinite(scale) || !(scale > 0)) scale = 1;
        // Relative to the frame's origin, where floats keep the most.
        float* out = slot == selected ? chosen : faint + faintCount * 3;
        int written = 0;
        bool finite = true;
        for (int k = 0; k + 1 < n; ++k) {
            for (int e = 0; e < 2; ++e)
                for (int i = 0; i < 3; ++i) {
                    const double v = parentAt[i] - origin[i] + scale * points[3 * (k + e) + i];
                    out[3 * (written + e) + i] = static_cast<float>(v);
                    finite = finite && std::isfinite(v);
                }
            written += 2;
        }
        if (!finite) continue;
        if (slot == selected)
            chosenCount = written;
        else
            faintCount += written;
    }
    renderer->DrawLineSegments(faint, faintCount, origin, kOrbitFaint);
    renderer->DrawLineSegments(chosen, chosenCount, origin, kOrbitSelected);
}

void Inspector::DrawRing(const Universe& u, GlRenderer* renderer, const CameraPose& pose, const double origin[3],
                         int width, int height) {
    const int selected = Selected(u);
    if (selected < 0 || height <= 0) return;
    CameraView view;
    MakeCameraView(pose, width, height, &view);
    double at[3], place[3], depth = 0;
    u.ViewPlace(selected, at);
    for (int i = 0; i < 3; ++i) place[i] = at[i] - origin[i];
    if (!ProjectPoint(view, place, nullptr, nullptr, &depth)) return;
    const double distance =
        VectorLength(place[0] - view.position[0], place[1] - view.position[1], place[2] - view.position[2]);
    const double disc = DiscRadiusPixels(view, distance, u.ViewRadius(selected));
    if (disc >= height) return;
    const double pixels = std::fmax(kRingOutside * disc, kRingLeastPixels);
    // Model units per pixel at the body's depth, across the line of sight.
    const double unit = 2 * depth / (view.projection[5] * height);
    const double radius = pixels * unit;
    // The view's right and up axes in the frame's coordinates: the rows of its turn.
    const double right[3] = {view.view[0], view.view[4], view.view[8]};
    const double up[3] = {view.view[1], view.view[5], view.view[9]};
    float ring[kRingPoints * 3];
    for (int k = 0; k < kRingPoints; ++k) {
        const double t = 6.283185307179586 * k / (kRingPoints - 1);
        const double c = std::cos(t) * radius, s = std::sin(t) * radius;
        for (int i = 0; i < 3; ++i) ring[3 * k + i] = static_cast<float>(c * right[i] + s * up[i]);
    }
    renderer->DrawLineStrip(ring, kRingPoints, at, kRingColour);
}

void Inspector::DrawPanel(const Universe& u, GlRenderer* renderer, float x, int rightPixels, float y, float pitch,
                          const double camera[3]) {
    const int selected = Selected(u);
    if (!renderer || selected < 0) return;
    PanelText text;
    if (!FormatPanel(u, selected, camera, &text)) return;
    for (int i = 0; i < text.lines; ++i) {
        const int width = renderer->TextWidth(text.line[i]);
        renderer->PrintScreenShifted(x, y - pitch * i, rightPixels - width, 1, 1, 1, "%s", text.line[i]);
    }
}
