#include "core/sim/SceneObject.h"

SceneObject::~SceneObject() {}

int SceneObject::Init(GlRenderer* r, int /*option: carries no meaning*/) {
    renderer = r;
    textures[0] = 0;
    listBase = 0;
    return 1;
}

void SceneObject::Update(unsigned char* /*keys*/) {}

void SceneObject::Draw() {}
