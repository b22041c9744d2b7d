// Knowing what one looks at: the selected body (Tab, a click at the centre of
// the view), its panel of numbers at the top right, every body's osculating
// orbit (o), the ring about the selected disc and the flight to it (g). Holds
// no camera of its own: the application hands in its pose and takes the
// flight's; no GL of its own either: the renderer draws.
#ifndef ORRERY_APP_INSPECT_H
#define ORRERY_APP_INSPECT_H

#include <cstdint>

#include "core/app/Camera.h"
#include "core/sim/Body.h"

class GlRenderer;
class Universe;
class UniverseModel;

class Inspector {
public:
    // Key o: every body's orbit about its parent drawn.
    int32_t showOrbits;
    // Points along a near orbit's line (a polygon of 96 sides strays from a
    // circle by 0.05 % of its radius), segments of the ring.
    enum { OrbitPoints = 97, RingSegments = 48 };

    Inspector();
    ~Inspector();

    // The selected slot, -1 for none (a slot since freed counts as none).
    static int Selected(const Universe& u);
    // Tab: the next used body after the selected one in slot order, the Sun
    // from none, none after the last.
    static void SelectNext(Universe& u);
    // A click: the body whose disc or label comes nearest the centre of the
    // view (PickAtCentre's rule, the labels where the last frame drew them),
    // or none. The camera rides with frameBody at `pose`. The slot, or -1.
    static int SelectAtCentre(Universe& u, int frameBody, const CameraPose& pose, int width, int height);

    // Key g: the flight to the selected body starts from the camera as it
    // is. 0 when nothing is selected.
    int StartFlight(const Universe& u, int frameBody, const CameraPose& pose);
    // One tick of the flight: 1 with the camera's new frame (the target's)
    // and pose; 0, both untouched, when no flight is under way. A camera
    // moved by anything but the flight since its last tick (keys, mouse, a
    // digit key), a target gone or a new universe ends the flight where it is.
    int Fly(const Universe& u, int* frameBody, CameraPose* pose);
    int Flying() const { return flight.Flying(); }

    // Drawn in the scene's own coordinates (the frame's shift applied): the
    // orbits when on, then the ring about the selected body's disc.
    void DrawScene(Universe& u, GlRenderer* renderer, const CameraPose& pose, const double origin[3], int width,
                   int height);
    // The selected body's panel, each line ending `rightPixels` to the right
    // of screen position x, from screen height y downwards a line at a time
    // (`pitch`). camera: the camera's absolute position.
    static void DrawPanel(const Universe& u, GlRenderer* renderer, float x, int rightPixels, float y, float pitch,
                          const double camera[3]);

private:
    CameraFlight flight;
    int32_t flightFrom, flightTarget;
    uint32_t flightGeneration;
    // The frame and pose the flight's last tick left the camera in.
    int32_t lastFrame;
    CameraPose lastPose;
    // The velocities at the positions' time, for the orbits; made on first use.
    UniverseModel* timed;

    // Line segments for the renderer, relative to the frame's origin: the
    // faint orbits, the selected body's, the ring.
    float faint[UniverseSlots * 2 * (OrbitPoints - 1) * 3];
    float chosen[2 * (OrbitPoints - 1) * 3];
    float ring[2 * RingSegments * 3];
    // Fill them; the counts of points written.
    void MakeOrbits(const Universe& u, const CameraView& view, const double origin[3], int* faintCount,
                    int* chosenCount);
    int MakeRing(const Universe& u, const CameraView& view, const double origin[3]);
};

#endif
