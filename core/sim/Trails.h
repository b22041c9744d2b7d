// Orbit trails: the recent positions of every body but the sky, relative to
// the body the camera rides with, so that riding with Zeme shows the Sun's
// apparent path. Each body keeps a fixed ring of points sampled every so much
// simulated time, one orbit (its own or the frame's, whichever is longer)
// spread over the ring, so a whole orbit of the outer planets fits as well as
// Merkur's. Arithmetic only: sim/TrailsDraw draws them.
#ifndef ORRERY_CORE_SIM_TRAILS_H
#define ORRERY_CORE_SIM_TRAILS_H

#include "core/sim/Integrator.h"
#include "core/sim/UniverseModel.h"

class Trails {
public:
    enum { PointsPerBody = 1024 };

    struct Track {
        float points[PointsPerBody][3];  // relative to the frame body
        int newest;                      // index of the newest point
        int count;                       // points held, up to PointsPerBody
        double sinceLast;                // simulated time since the newest point
        double interval;                 // simulated time between points
    };

    Trails();
    // Forgets every point: after a jump (a file loaded, a new frame, a digit
    // key) a line would join places the bodies never passed between.
    void Reset();
    // Called after the model moved by `elapsed` of simulated time (a tick's
    // deltat by default, or one of its steps), with the frame the camera
    // rides with, at the places the view draws the bodies (enlarged or
    // true: UniverseModel::ViewPosition). A change of frame restarts the
    // trails by itself.
    void Record(const UniverseModel& u, int frameBody, double elapsed = -1, bool enlarged = false);
    // The frame alone, for ticks that do not step: a new frame still restarts.
    void Follow(int frameBody);
    int Frame() const { return frame; }
    const Track& TrackOf(int slot) const { return tracks[slot]; }

private:
    Track tracks[UniverseSlots];
    int frame;
};

// One revolution about the Sun (slot 1) of the body in `slot` from its present
// distance, in model time; 0 when that means nothing (the Sun itself, the sky,
// an empty slot, no Sun).
double OrbitalPeriod(const UniverseModel& u, int slot);

// Trails taken between a tick's steps rather than once a tick, so that at
// any rate a path is drawn through the places a body passed, not as chords
// across its orbit.
class TrailsRecorder : public StepListener {
public:
    TrailsRecorder(Trails* trails, int frameBody, bool enlarged)
        : trails(trails), frameBody(frameBody), enlarged(enlarged) {}
    int AfterStep(UniverseModel& u, double step) override {
        trails->Record(u, frameBody, step < 0 ? -step : step, enlarged);
        return 0;
    }

private:
    Trails* trails;
    int frameBody;
    bool enlarged;
};

// Several listeners told in turn: the first may change the bodies (a merge),
// and those after it see the change.
class StepListeners : public StepListener {
public:
    StepListeners(StepListener* first, StepListener* second) : first(first), second(second) {}
    int AfterStep(UniverseModel& u, double step) override {
        const int changed = first ? first->AfterStep(u, step) : 0;
        return (second ? second->AfterStep(u, step) : 0) | changed;
    }

private:
    StepListener* first;
    StepListener* second;
};

#endif
