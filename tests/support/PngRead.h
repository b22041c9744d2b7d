// PNG files read back through libpng's simplified API, which shares no code
// path with the writer's.
#ifndef ORRERY_TESTS_PNGREAD_H
#define ORRERY_TESTS_PNGREAD_H

#include <string>
#include <vector>

struct PngPicture {
    int width = 0, height = 0;
    bool plainRgb8 = false;          // stored as 8-bit RGB: no alpha, palette or 16-bit samples
    std::vector<unsigned char> rgb;  // top row first
    unsigned Pixel(int x, int yFromTop) const;  // 0xRRGGBB
};

bool ReadPng(const std::string& path, PngPicture* out);

#endif
