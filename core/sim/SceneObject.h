// The interface through which the application drives its scene: initialise
// once with the renderer, update every tick, draw every frame, delete at the end.
// A plain SceneObject is a valid, empty scene.
#ifndef ORRERY_CORE_SIM_SCENEOBJECT_H
#define ORRERY_CORE_SIM_SCENEOBJECT_H

#include <cstdint>

#include "core/sim/Body.h"

class GlRenderer;

// Texture names a scene may hold: one per body slot, and never fewer than 20.
enum { SceneTextureSlots = UniverseSlots > 20 ? UniverseSlots : 20 };

class SceneObject {
public:
    GlRenderer* renderer;
    uint32_t textures[SceneTextureSlots];
    uint32_t listBase;

    // Sets no field: they mean nothing before Init.
    SceneObject() {}
    virtual ~SceneObject();
    virtual int Init(GlRenderer* renderer, int option);
    // keys: SDL's key-state array, one byte per SDL 1.2 key symbol. A handler
    // that acts once per press clears the key's byte after acting.
    virtual void Update(unsigned char* keys);
    virtual void Draw();
};

#endif
