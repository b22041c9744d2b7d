// Placeholder until the decoder lands.
#include "gfx/Bmp.h"
#include <cstdlib>
RgbImage* DecodeBmpFile(const char*) { return nullptr; }
RgbImage* DecodeBmpMemory(const unsigned char*, size_t, const char*) { return nullptr; }
int BmpPaletteCount(const void*) { return 0; }
void FreeRgbImage(RgbImage* image) { if (image) { std::free(image->pixels); std::free(image); } }
