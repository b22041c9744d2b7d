// libpng reports errors by longjmp. Only plain C data lives in the frames it
// jumps across, and nothing the handler uses changes after setjmp, so no
// destructor is skipped and no local needs to be volatile.
#include "gfx/PngWriter.h"

#include <png.h>
#include <unistd.h>

#include <cerrno>
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

}  // namespace

int WritePngRgb(const char* path, int width, int height, const unsigned char* rgbTopRowFirst) {
    if (!path || !rgbTopRowFirst) return 0;
    if (width <= 0 || height <= 0 || width > kPngMaxSide || height > kPngMaxSide) return 0;
    // The caller's buffer must be this long; a size_t that cannot say so is refused.
    if (size_t(width) > SIZE_MAX / 3 / size_t(height)) return 0;

    // Beside the target, so that the rename stays on one file system and either
    // replaces the old file whole or not at all.
    char temp[4096];
    const int n = std::snprintf(temp, sizeof temp, "%s.tmp", path);
    if (n < 0 || static_cast<size_t>(n) >= sizeof temp) return 0;

    FILE* f = std::fopen(temp, "wb");
    if (!f) return 0;
    int ok = EncodeTo(f, width, height, rgbTopRowFirst);
    if (std::fflush(f) != 0) ok = 0;
    // Without this a crash soon after the rename can leave an empty file under
    // the final name. Devices that cannot sync answer EINVAL.
    if (ok && fsync(fileno(f)) != 0 && errno != EINVAL) ok = 0;
    if (std::fclose(f) != 0) ok = 0;
    if (!ok || std::rename(temp, path) != 0) {
        std::remove(temp);
        return 0;
    }
    return 1;
}
