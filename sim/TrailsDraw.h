// The GL half of the trails: each track handed to the renderer as one fading
// strip, oldest point first, ending at the body's present place.
#ifndef ORRERY_SIM_TRAILSDRAW_H
#define ORRERY_SIM_TRAILSDRAW_H

class GlRenderer;
class Trails;
class UniverseModel;

// Lines from the oldest point to each body's present place, fading with age,
// in the absolute coordinates the scene is drawn in.
void DrawTrails(const Trails& trails, const UniverseModel& u, GlRenderer* renderer);

#endif
