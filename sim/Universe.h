// The one scene: the universe model with the GL resources that draw it (a
// texture and a display list per slot, and the quadric that builds them).
#ifndef ORRERY_SIM_UNIVERSE_H
#define ORRERY_SIM_UNIVERSE_H

#include <cstdint>

#include "core/sim/SceneObject.h"
#include "core/sim/UniverseModel.h"

struct GLUquadric;

class Universe : public SceneObject, public UniverseModel {
public:
    GLUquadric* quadric;
    // While set, ticks apply the keys but do not step.
    int32_t paused;
    // Counts the times the bodies were replaced (F3, F4), so that whoever
    // keeps state about them (trails) sees the jump.
    uint32_t generation;

    Universe();
    ~Universe() override;
    int Init(GlRenderer* renderer, int option) override;
    // Time keys, then F2 (save), F3 (load) and F4 (today's sky), then one
    // step unless paused.
    void Update(unsigned char* keys) override;
    void Draw() override;

    // Writes UniverseFileName (F2); silent, and the old file survives any failure.
    void Save();
    // Reads UniverseFileName and rebuilds the GL resources for the new bodies;
    // a file that cannot be read changes nothing.
    void Load();
    // The real solar system at Julian day jd, with GL resources rebuilt as
    // for Load. Outside 1800-2050 a message box says so and nothing changes.
    int LoadRealSystem(double jd);
    void BuildLists();
    void ReleaseGlResources();
};

#endif
