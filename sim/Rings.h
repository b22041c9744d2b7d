// The planets' rings: which planet wears which (known by its map's file
// name), from the published ring radii, and one frame's mesh of them in the
// planet's equatorial plane, scaled as the planet is drawn, the face the Sun
// lights brighter than the other, and the planet's shadow across them. The
// arithmetic is here; gfx/ draws the mesh. Nothing is lit by GL.
#ifndef ORRERY_SIM_RINGS_H
#define ORRERY_SIM_RINGS_H

#include <cstdint>

#include "gfx/GlRenderer.h"

// One ring, or a band between two radii (equal radii: a ring drawn as a
// line), with its colour and opacity.
struct RingBand {
    double innerKm, outerKm;
    float r, g, b, a;
};

struct RingSystem {
    const char* planetMap;   // the planet's map file name, without folders
    int planet;              // its index in BodyDataTable (for its mean radius)
    // Beside the planet's map: the rings' colour strip and opacity strip,
    // from the first band's inner radius (left) to its outer one (right);
    // null for rings drawn from their colours alone.
    const char* ringMap;
    const char* ringAlphaMap;
    const RingBand* bands;
    int bandCount;
};

// The ring system of the planet whose map lies at this path (the file name
// counts, not its folder); null for a planet without rings.
const RingSystem* RingSystemForMap(const char* path);

// Where and how one frame sees a ring system, in model coordinates.
struct RingView {
    double centre[3];       // the planet's place as drawn
    double pole[3];         // its north pole (any length but 0)
    double planetRadius;    // as drawn; the rings scale with it
    double sun[3];          // the light's place
    double eye[3];          // the camera's place
};

// The brightness of the face the camera sees: 1 for the face the Sun
// lights, less for the one it shines through to.
double RingFaceBrightness(const RingView& view);

// Whether a point of the ring plane (relative to the planet) lies in the
// planet's shadow: beyond the planet from the Sun and within its radius of
// the line through the planet's centre towards the Sun.
bool InPlanetShadow(const RingView& view, const double point[3]);

// The mesh of one band: quad strips of perStrip vertices (a line when the
// band has one radius: then one strip of loop vertices, *strips 0), relative
// to the planet's centre. Returns the vertices written, at most max; 0 when
// they would not fit or the view makes no plane.
int RingBandMesh(const RingSystem& system, const RingBand& band, const RingView& view, int textured,
                 MeshVertex* out, int max, int* perStrip, int* strips);

// Every band of the system, at the planet's place. texture: the colour and
// opacity strip (0 draws the bands' own colours).
void DrawRingSystem(GlRenderer* renderer, const RingSystem& system, uint32_t texture, const RingView& view);

#endif
