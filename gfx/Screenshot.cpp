#include "gfx/Screenshot.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <ctime>

#include "core/gfx/PngWriter.h"
#include "gfx/Gl.h"
#include "platform/Platform.h"

#ifndef GL_FRAMEBUFFER_BINDING
#define GL_FRAMEBUFFER_BINDING 0x8CA6
#endif

namespace {

// More pictures than this in one second means something is wrong, not a busy user.
const int kMostNamesPerSecond = 1000;

int ChooseName(const char* folder, char* out, size_t size) {
    std::tm local;
    char stamp[32];
    if (!LocalTimeNow(&local) || std::strftime(stamp, sizeof stamp, "%Y%m%d-%H%M%S", &local) == 0) return 0;
    for (int k = 1; k <= kMostNamesPerSecond; ++k) {
        const int n = k == 1 ? std::snprintf(out, size, "%s/orrery-%s.png", folder, stamp)
                             : std::snprintf(out, size, "%s/orrery-%s-%d.png", folder, stamp, k);
        if (n < 0 || static_cast<size_t>(n) >= size) return 0;
        if (!PathTaken(out)) return 1;
    }
    return 0;
}

int ReadBackBuffer(int width, int height, unsigned char* rgb) {
    // An old error left pending would read as a failure of this read.
    for (int i = 0; i < 16 && glGetError() != GL_NO_ERROR; ++i) {
    }
    // SDL's compatibility layer may draw the window into a framebuffer object,
    // whose one colour buffer is then the frame: naming GL_BACK there is an
    // error. A GL without framebuffer objects rejects the query and leaves 0.
    GLint framebuffer = 0;
    glGetIntegerv(GL_FRAMEBUFFER_BINDING, &framebuffer);
    glGetError();
    GLint readBuffer = GL_BACK;
    glGetIntegerv(GL_READ_BUFFER, &readBuffer);
    const bool switchBuffer = framebuffer == 0 && readBuffer != GL_BACK;

    glPushClientAttrib(GL_CLIENT_PIXEL_STORE_BIT);
    // Rows of width * 3 bytes with nothing between them, whatever was set before.
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glPixelStorei(GL_PACK_ROW_LENGTH, 0);
    glPixelStorei(GL_PACK_SKIP_PIXELS, 0);
    glPixelStorei(GL_PACK_SKIP_ROWS, 0);
    glPixelStorei(GL_PACK_SWAP_BYTES, GL_FALSE);
    if (switchBuffer) glReadBuffer(GL_BACK);
    glReadPixels(0, 0, width, height, GL_RGB, GL_UNSIGNED_BYTE, rgb);
    const int ok = glGetError() == GL_NO_ERROR;
    if (switchBuffer) glReadBuffer(GLenum(readBuffer));
    glPopClientAttrib();
    return ok;
}

// GL gives the bottom row first; pictures start at the top.
void FlipRows(unsigned char* rgb, size_t rowBytes, size_t rows) {
    for (size_t top = 0, bottom = rows - 1; top < bottom; ++top, --bottom)
        std::swap_ranges(rgb + top * rowBytes, rgb + (top + 1) * rowBytes, rgb + bottom * rowBytes);
}

}  // namespace

int SaveWindowPicture(int width, int height, char* savedPath, size_t savedPathSize) {
    if (!savedPath || savedPathSize == 0) return 0;
    savedPath[0] = '\0';
    if (width <= 0 || height <= 0 || width > PngMaxSide || height > PngMaxSide) return 0;
    if (size_t(width) > SIZE_MAX / 3 / size_t(height)) return 0;

    char folder[4096];
    if (!PicturesFolder(folder, sizeof folder)) std::snprintf(folder, sizeof folder, ".");
    if (!ChooseName(folder, savedPath, savedPathSize)) return 0;

    const size_t rowBytes = size_t(width) * 3;
    unsigned char* rgb = static_cast<unsigned char*>(std::malloc(rowBytes * size_t(height)));
    if (!rgb) return 0;
    int ok = ReadBackBuffer(width, height, rgb);
    if (ok) {
        FlipRows(rgb, rowBytes, size_t(height));
        ok = WritePngRgb(savedPath, width, height, rgb);
    }
    std::free(rgb);
    return ok;
}
