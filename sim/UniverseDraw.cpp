// Placeholder.
#include "sim/Universe.h"
Universe::~Universe() { ReleaseGlResources(); }
int Universe::Init(GlRenderer* r, int) { return SceneObject::Init(r, 2); }
void Universe::Draw() {}
void Universe::BuildLists() {}
void Universe::ReleaseGlResources() {}
