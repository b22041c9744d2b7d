// Selection, the panel, the orbit lines, the ring and the flight, on top of
// the portable pieces (core/app/Camera.h, Panel.h, core/sim/Orbits.h). Every
// place is where the view draws a body (Universe::ViewPlace), so what is
// picked, ringed and flown to is what the user sees.
#include "app/Inspect.h"

#include <cmath>
#include <cstring>
#include <new>

#include "core/app/Panel.h"
#include "core/sim/Integrator.h"
#include "core/sim/Orbits.h"
#include "gfx/GlRenderer.h"
#include "sim/Universe.h"

namespace {

// Half a pixel off for an orbit across a full-HD view.
const int kOrbitPoints = Inspector::OrbitPoints;
// A far orbit, small on the screen, takes a segment about this many pixels
// long, and never fewer points than this.
const double kOrbitSegmentPixels = 20;
const int kOrbitLeastPoints = 9;
const int kRingSegments = Inspector::RingSegments;

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

// Which edges of the view (left, right, bottom, top, near) a point in the
// frame's coordinates lies beyond, one bit each.
unsigned OutsideView(const CameraView& view, const double p[3]) {
    double eye[4], clip[4];
    for (int row = 0; row < 4; ++row)
        eye[row] = view.view[row] * p[0] + view.view[4 + row] * p[1] + view.view[8 + row] * p[2] + view.view[12 + row];
    for (int row = 0; row < 4; ++row)
        clip[row] = view.projection[row] * eye[0] + view.projection[4 + row] * eye[1] +
                    view.projection[8 + row] * eye[2] + view.projection[12 + row] * eye[3];
    return (clip[0] < -clip[3] ? 1u : 0u) | (clip[0] > clip[3] ? 2u : 0u) | (clip[1] < -clip[3] ? 4u : 0u) |
           (clip[1] > clip[3] ? 8u : 0u) | (clip[2] < -clip[3] ? 16u : 0u);
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
    CameraView view;
    MakeCameraView(pose, width, height, &view);
    GlRenderer::LineSet sets[3] = {{faint, 0, {}}, {chosen, 0, {}}, {ring, 0, {}}};
    std::memcpy(sets[0].rgba, kOrbitFaint, sizeof kOrbitFaint);
    std::memcpy(sets[1].rgba, kOrbitSelected, sizeof kOrbitSelected);
    std::memcpy(sets[2].rgba, kRingColour, sizeof kRingColour);
    if (showOrbits) MakeOrbits(u, view, origin, &sets[0].count, &sets[1].count);
    sets[2].count = MakeRing(u, view, origin);
    renderer->DrawLineSets(sets, 3, origin);
}

void Inspector::MakeOrbits(const Universe& u, const CameraView& view, const double origin[3], int* faintCount,
                           int* chosenCount) {
    // The integrator keeps velocities half a step off the positions; the
    // orbit is the one a user would measure now.
    *faintCount = *chosenCount = 0;
    if (!timed) timed = new (std::nothrow) UniverseModel;
    if (!timed) return;
    *timed = static_cast<const UniverseModel&>(u);
    timed->Scheme().ChangeStep(*timed, timed->StepLength(), 0);
    const int selected = Selected(u);
    const int end = UsedSlotEnd(u.bodies);
    // Every faint orbit as segments in one set (a call each costs the
    // software renderer more than the lines), the selected one apart.
    float points[kOrbitPoints * 3];
    for (int slot = FirstSimulatedSlot; slot < end; ++slot) {
        if (!BodyInUse(u.bodies[slot])) continue;
        const int parent = u.ParentSlot(slot);
        if (parent < 0) continue;
        const Body &b = timed->bodies[slot], &p = timed->bodies[parent];
        OrbitElements orbit;
        if (!OrbitAbout(b, p, timed->kapa, &orbit)) continue;
        double parentAt[3], at[3];
        u.ViewPlace(parent, parentAt);
        u.ViewPlace(slot, at);
        // The enlarged view draws a moon as many times farther out as its
        // planet is enlarged: its orbit is drawn to the same scale.
        const double trueDistance = VectorLength(b.x - p.x, b.y - p.y, b.z - p.z);
        const double viewDistance = VectorLength(at[0] - parentAt[0], at[1] - parentAt[1], at[2] - parentAt[2]);
        double scale = trueDistance > 0 ? viewDistance / trueDistance : 1;
        if (!std::isfinite(scale) || !(scale > 0)) scale = 1;
        // As many points as the orbit's size on the screen needs: the moons
        // of a far planet are a few pixels across, and every segment costs
        // the software renderer as much as many pixels do.
        const double reach = scale * (orbit.bound ? orbit.apoapsis : 2 * orbit.distance);
        const double fromEye = VectorLength(parentAt[0] - origin[0] - view.position[0],
                                            parentAt[1] - origin[1] - view.position[1],
                                            parentAt[2] - origin[2] - view.position[2]);
        int count = kOrbitPoints;
        if (fromEye > 2 * reach) {
            const double pixels = reach / fromEye * view.projection[5] * view.height / 2;
            const double wanted = std::ceil(6.283185307179586 * pixels / kOrbitSegmentPixels) + 1;
            count = wanted < kOrbitLeastPoints ? kOrbitLeastPoints : wanted < kOrbitPoints ? (int)wanted : kOrbitPoints;
        }
        const int n = SampleOrbit(orbit, 0, count, points);
        if (n < 2) continue;
        // Relative to the frame's origin, where floats keep the most; each
        // point's side of the view's edges found once.
        double at3[kOrbitPoints][3];
        unsigned outside[kOrbitPoints];
        bool finite = true;
        for (int k = 0; k < n; ++k) {
            for (int i = 0; i < 3; ++i) {
                at3[k][i] = parentAt[i] - origin[i] + scale * points[3 * k + i];
                finite = finite && std::isfinite(at3[k][i]);
            }
            outside[k] = OutsideView(view, at3[k]);
        }
        if (!finite) continue;
        // A segment with both ends beyond the same edge of the view cannot be
        // seen: most of an orbit about the camera is behind it or aside, and
        // the software renderer sets up every segment it is given.
        float* out = slot == selected ? chosen : faint + *faintCount * 3;
        int written = 0;
        for (int k = 0; k + 1 < n; ++k) {
            if (outside[k] & outside[k + 1]) continue;
            for (int e = 0; e < 2; ++e)
                for (int i = 0; i < 3; ++i) out[3 * (written + e) + i] = static_cast<float>(at3[k + e][i]);
            written += 2;
        }
        if (slot == selected)
            *chosenCount = written;
        else
            *faintCount += written;
    }
}

int Inspector::MakeRing(const Universe& u, const CameraView& view, const double origin[3]) {
    const int selected = Selected(u);
    if (selected < 0 || view.height <= 0) return 0;
    double at[3], place[3], depth = 0;
    u.ViewPlace(selected, at);
    for (int i = 0; i < 3; ++i) place[i] = at[i] - origin[i];
    if (!ProjectPoint(view, place, nullptr, nullptr, &depth)) return 0;
    const double distance =
        VectorLength(place[0] - view.position[0], place[1] - view.position[1], place[2] - view.position[2]);
    const double disc = DiscRadiusPixels(view, distance, u.ViewRadius(selected));
    if (disc >= view.height) return 0;
    const double pixels = std::fmax(kRingOutside * disc, kRingLeastPixels);
    // Model units per pixel at the body's depth, across the line of sight.
    const double unit = 2 * depth / (view.projection[5] * view.height);
    const double radius = pixels * unit;
    // The view's right and up axes in the frame's coordinates: the rows of its turn.
    const double right[3] = {view.view[0], view.view[4], view.view[8]};
    const double up[3] = {view.view[1], view.view[5], view.view[9]};
    int count = 0;
    for (int k = 0; k < kRingSegments; ++k)
        for (int e = 0; e < 2; ++e) {
            const double t = 6.283185307179586 * (k + e) / kRingSegments;
            const double c = std::cos(t) * radius, s = std::sin(t) * radius;
            for (int i = 0; i < 3; ++i) ring[3 * count + i] = static_cast<float>(place[i] + c * right[i] + s * up[i]);
            ++count;
        }
    return count;
}

void Inspector::DrawPanel(const Universe& u, GlRenderer* renderer, float x, int rightPixels, float y, float pitch,
                          const double camera[3]) {
    const int selected = Selected(u);
    if (!renderer || selected < 0) return;
    PanelText text;
    if (!FormatPanel(u, selected, camera, &text)) return;
    float ys[PanelMaxLines];
    int shifts[PanelMaxLines];
    const char* lines[PanelMaxLines];
    for (int i = 0; i < text.lines; ++i) {
        lines[i] = text.line[i];
        ys[i] = y - pitch * i;
        shifts[i] = rightPixels - renderer->TextWidth(text.line[i]);
    }
    // Full bright whatever the light where the camera is: read over a body
    // close by, lit text can be as dark as the body's night side.
    const int bright = renderer->TextFullBright();
    renderer->SetTextFullBright(1);
    renderer->PrintScreenLines(x, ys, shifts, lines, text.lines, 1, 1, 1);
    renderer->SetTextFullBright(bright);
}
