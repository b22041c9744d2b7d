// Texture upload modes and the file check in front of the BMP decoder.
#ifndef ORRERY_GFX_TEXTURE_H
#define ORRERY_GFX_TEXTURE_H

#include "core/gfx/Bmp.h"

enum TextureFilter {
    FilterNearest = 0,
    FilterLinear = 1,
    FilterMipmap = 2  // also what any other value means
};

// Null for an absent path or a file that cannot be opened and mapped (no
// message); otherwise what DecodeBmpFile gives, message box included. The file
// is opened once. The caller frees pixels, then the record.
RgbImage* LoadBmp(const char* path);

#endif
