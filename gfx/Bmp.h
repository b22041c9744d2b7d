// BMP decoder: files with or without the 14-byte file header, with the 12-byte
// core or the 40-byte info header. Output is always packed RGB, bottom row first.
// Every failure is shown in a message box titled "Error" and gives null.
#ifndef ORRERY_GFX_BMP_H
#define ORRERY_GFX_BMP_H

#include <cstddef>
#include <cstdint>

struct RgbImage {
    int32_t width;
    int32_t height;          // always positive in what the decoder returns
    unsigned char* pixels;   // width * height * 3 bytes, malloc'd, bottom row first
};

// Maps the file read-only and decodes it. Null on failure, after a message box.
RgbImage* DecodeBmpFile(const char* path);

// The same decoder on bytes already in memory; `name` is only used in messages.
RgbImage* DecodeBmpMemory(const unsigned char* data, size_t size, const char* name);

// Palette entries that an image header implies. `header` points at the image
// header (not the file header); the caller guarantees its whole size is readable.
int BmpPaletteCount(const void* header);

// Frees pixels and then the record; null is fine.
void FreeRgbImage(RgbImage* image);

#endif
