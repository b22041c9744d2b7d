// Writing a picture as an 8-bit RGB PNG file. No GL here: the pixels come in
// memory, so tools and tests can write pictures without a window.
#ifndef ORRERY_CORE_GFX_PNGWRITER_H
#define ORRERY_CORE_GFX_PNGWRITER_H

// Sides longer than this are refused: most PNG readers (libpng among them)
// refuse such files by default, and no window is that large.
const int PngMaxSide = 1000000;

// Writes width x height pixels, 3 bytes each (red, green, blue), rows packed
// without padding and the top row first, to `path`. The file is written
// beside it as path + ".tmp" and renamed over `path` only when complete, so
// `path` holds either its old contents or the whole new picture. 1 on
// success; 0 on bad arguments or any failure, with the temporary file gone.
// Nothing is printed.
int WritePngRgb(const char* path, int width, int height, const unsigned char* rgbTopRowFirst);

#endif
