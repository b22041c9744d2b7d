// 8-bit run-length BMP files: a picture of a few hundred levels that is
// mostly one dark colour (the sky) shrinks to a small part of its 24-bit size,
// and the decoder reads it back directly.
#ifndef ORRERY_TOOLS_SKY_RLE8_H
#define ORRERY_TOOLS_SKY_RLE8_H

#include <cstdint>
#include <string>

// The run-length records of one picture of palette indices, bottom row first
// (as RgbImage holds its rows): runs of one index, literal stretches where
// no run pays, an end-of-line after each row and end-of-bitmap at the end.
std::string EncodeRle8Rows(int width, int height, const unsigned char* indices);

// The whole file: file header, 40-byte info header (8 bits, compression 1),
// the palette (0xRRGGBB entries, 1..256) and the records. Empty when the
// sizes are not positive or the palette count is out of range.
std::string EncodeRle8Bmp(int width, int height, const unsigned char* indices, const uint32_t* palette,
                          int paletteCount);

#endif
