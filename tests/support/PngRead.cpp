#include "support/PngRead.h"

#include <png.h>

unsigned PngPicture::Pixel(int x, int y) const {
    const unsigned char* p = &rgb[(size_t(y) * size_t(width) + size_t(x)) * 3];
    return unsigned(p[0]) << 16 | unsigned(p[1]) << 8 | p[2];
}

bool ReadPng(const std::string& path, PngPicture* out) {
    png_image image = {};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&image, path.c_str())) return false;
    out->width = int(image.width);
    out->height = int(image.height);
    out->plainRgb8 = image.format == PNG_FORMAT_RGB;
    image.format = PNG_FORMAT_RGB;
    out->rgb.assign(PNG_IMAGE_SIZE(image), 0);
    return png_image_finish_read(&image, nullptr, out->rgb.data(), 0, nullptr) != 0;
}
