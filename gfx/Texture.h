// Texture upload modes and the file check in front of the BMP decoder.
#ifndef ORRERY_GFX_TEXTURE_H
#define ORRERY_GFX_TEXTURE_H

#include "core/gfx/Bmp.h"

enum TextureFilter {
    FilterNearest = 0,
    FilterLinear = 1,
    FilterMipmap = 2  // also what any other value means
};

// Who makes a mipmapped map's smaller levels: GLU (as every map always had
// them), or the renderer from each 2 x 2 block of the level above, its mean
// (the same picture in a fraction of the time). A map of lights (a night
// side's towns) takes the brightest texel of each block instead, so that
// small points stay seen from afar, and is made three times as bright, so
// that faint ones read on a screen at all.
enum MipmapLevels { LevelsByGlu = 0, LevelsByMean = 1, LevelsOfLights = 2 };

// Null for an absent path or a file that cannot be opened and mapped (no
// message); otherwise what DecodeBmpFile gives, message box included. The file
// is opened once. The caller frees pixels, then the record.
RgbImage* LoadBmp(const char* path);

#endif
