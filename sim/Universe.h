// The one scene: the universe model with the GL resources that draw it (a
// texture and a display list per slot, and the quadric that builds them).
#ifndef ORRERY_SIM_UNIVERSE_H
#define ORRERY_SIM_UNIVERSE_H

#include "sim/SceneObject.h"
#include "sim/UniverseModel.h"

struct GLUquadric;

class Universe : public SceneObject, public UniverseModel {
public:
    GLUquadric* quadric;

    Universe();
    ~Universe() override;
    int Init(GlRenderer* renderer, int option) override;
    // Time keys, then F2 (save) and F3 (load), then one step.
    void Update(unsigned char* keys) override;
    void Draw() override;

    // Reads UniverseFileName and rebuilds the GL resources for the new bodies;
    // a file that cannot be read changes nothing.
    void Load();
    void BuildLists();
    void ReleaseGlResources();
};

#endif
