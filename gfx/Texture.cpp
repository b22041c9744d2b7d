// Placeholder.
#include "gfx/Texture.h"
RgbImage* LoadBmp(const char*) { return nullptr; }
