// BMP file to GL texture: the file read once (silently absent or decoded), the
// three filter modes and the upload. Upload errors of GL itself are not detected.
#include "gfx/Texture.h"

#include "gfx/Gl.h"
#include "gfx/GlRenderer.h"

RgbImage* LoadBmp(const char* path) {
    // A missing texture is the universe's to report, in its own words; a file
    // that is there but no image gets the decoder's message.
    if (!path) return nullptr;
    return MapAndDecodeBmp(path, BmpOpenFailureSilent);
}

int GlRenderer::LoadTexture(uint32_t texture, const char* path, int filter) {
    RgbImage* image = LoadBmp(path);
    if (!image) return 0;

    glBindTexture(GL_TEXTURE_2D, texture);
    if (filter == FilterNearest) {
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    } else if (filter == FilterLinear) {
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    } else {
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR_MIPMAP_NEAREST);
    }

    // Rows are packed at 3 * width bytes; GL's default alignment of 4 would
    // read past each row (and past the buffer) for widths not a multiple of 4.
    if (image->pixels && image->width > 0 && image->height > 0) {
        GLint previousAlignment = 4;
        glGetIntegerv(GL_UNPACK_ALIGNMENT, &previousAlignment);
        const bool packed = ((long long)image->width * 3) % 4 != 0;
        if (packed) glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
        if (filter == FilterNearest || filter == FilterLinear) {
            glTexImage2D(GL_TEXTURE_2D, 0, 3, image->width, image->height, 0, GL_RGB,
                         GL_UNSIGNED_BYTE, image->pixels);
        } else {
            gluBuild2DMipmaps(GL_TEXTURE_2D, 3, image->width, image->height, GL_RGB,
                              GL_UNSIGNED_BYTE, image->pixels);
        }
        if (packed) glPixelStorei(GL_UNPACK_ALIGNMENT, previousAlignment);
    }

    FreeRgbImage(image);
    return 1;
}
