// Placeholder.
#include "sim/Universe.h"
void Universe::Save() {}
void Universe::Load() {}
