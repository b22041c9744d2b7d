// The scene's half of the trails: each track handed to the renderer as one
// fading strip, oldest point first, ending at the body's present place; and
// the points taken after every step from where the view draws the bodies.
#ifndef ORRERY_SIM_TRAILSDRAW_H
#define ORRERY_SIM_TRAILSDRAW_H

#include "core/sim/Integrator.h"

class GlRenderer;
class Trails;
class Universe;
class UniverseModel;

// TrailsRecorder for the window: a moon in the enlarged view leaves its trail
// where it is drawn, not where it is.
class ViewTrailsRecorder : public StepListener {
public:
    ViewTrailsRecorder() : universe(nullptr), trails(nullptr), frameBody(0) {}
    // For the next tick: the universe that steps, the trails and the frame
    // the camera rides with. Returns itself, to hand to the universe.
    StepListener* Aim(Universe* u, Trails* t, int frame) {
        universe = u;
        trails = t;
        frameBody = frame;
        return this;
    }
    int AfterStep(UniverseModel& u, double step) override;

private:
    Universe* universe;
    Trails* trails;
    int frameBody;
};

// Lines from the oldest point to each body's present place, fading with age,
// in the absolute coordinates the scene is drawn in.
void DrawTrails(const Trails& trails, const UniverseModel& u, GlRenderer* renderer);

#endif
