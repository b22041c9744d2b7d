// libpng reports errors by longjmp. Only plain C data lives in the frames it
// jumps across, and nothing the handler uses changes after setjmp, so no
// destructor is skipped and no local needs to be volatile.
#include "core/gfx/PngWriter.h"

#include "platform/Platform.h"

#include <png.h>

#include <cstdint>
#include <cstdio>

namespace {

// libpng's own handlers print; what the user sees is the caller's to say.
[[noreturn]] void JumpOnError(png_structp png, png_const_charp) { png_longjmp(png, 1); }
void IgnoreWarning(png_structp, png_const_charp) {}

void WritePicture(png_structp png, png_infop info, int width, int height, const unsigned char* rgb) {
    png_set_IHDR(png, info, png_uint_32(width), png_uint_32(height), 8, PNG_COLOR_TYPE_RGB,
                 PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    const size_t rowBytes = size_t(width) * 3;
    for (size_t y = 0; y < size_t(height); ++y) png_write_row(png, rgb + y * rowBytes);
    png_write_end(png, nullptr);
}

int EncodeTo(FILE* f, int width, int height, const unsigned char* rgb) {
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, JumpOnError, IgnoreWarning);
    if (!png) return 0;
    png_infop info = png_create_info_struct(png);
    if (!info) {
        png_destroy_write_struct(&png, nullptr);
        return 0;
    }
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return 0;
    }
    png_init_io(png, f);
    WritePicture(png, info, width, height, rgb);
    png_destroy_write_struct(&png, &info);
    return 1;
}

struct Picture {
    int width;
    int height;
    const unsigned char* rgb;
};

int EncodePicture(FILE* f, const void* context) {
    const Picture* p = static_cast<const Picture*>(context);
    return EncodeTo(f, p->width, p->height, p->rgb);
}

}  // namespace

int WritePngRgb(const char* path, int width, int height, const unsigned char* rgbTopRowFirst) {
    if (!path || !rgbTopRowFirst) return 0;
    if (width <= 0 || height <= 0 || width > PngMaxSide || height > PngMaxSide) return 0;
    // The caller's buffer must be this long; a size_t that cannot say so is refused.
    if (size_t(width) > SIZE_MAX / 3 / size_t(height)) return 0;

    const Picture picture{width, height, rgbTopRowFirst};
    return ReplaceFile(path, EncodePicture, &picture);
}
