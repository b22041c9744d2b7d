// BMP file to GL texture: the file read once (silently absent or decoded), the
// three filter modes and the upload; the scene's maps with their mean colour,
// and the rings' colour-and-opacity strip. Upload errors of GL itself are not
// detected.
#include "gfx/Texture.h"

#include <cmath>
#include <cstdlib>
#include <cstring>

#include "gfx/Gl.h"
#include "gfx/GlRenderer.h"

RgbImage* LoadBmp(const char* path) {
    // A missing texture is the universe's to report, in its own words; a file
    // that is there but no image gets the decoder's message.
    if (!path) return nullptr;
    return MapAndDecodeBmp(path, BmpOpenFailureSilent);
}

namespace {

void SetFilters(int filter) {
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
}

bool PowerOfTwo(int32_t n) { return n > 0 && (n & (n - 1)) == 0; }

// Every level below the first, each made from the 2 x 2 blocks of the one
// above (a side of 1 stays 1), as GL 1.1 wants them for a power-of-two map:
// their mean, as GLU makes them but without its general rescaling, which
// costs several times as much on the large maps; or their brightest texel.
// 0 when there is no memory for the levels (the map then keeps its first
// level only, filtered without mipmaps).
int UploadOwnMipmaps(const unsigned char* pixels, int width, int height, bool brightest) {
    const size_t firstHalf = (size_t)(width > 1 ? width / 2 : 1) * (size_t)(height > 1 ? height / 2 : 1) * 3;
    unsigned char* buffer = static_cast<unsigned char*>(std::malloc(firstHalf * 2));
    if (!buffer) return 0;
    const unsigned char* above = pixels;
    unsigned char* levels[2] = {buffer, buffer + firstHalf};
    int w = width, h = height;
    for (int level = 1; w > 1 || h > 1; ++level) {
        const int nw = w > 1 ? w / 2 : 1, nh = h > 1 ? h / 2 : 1;
        unsigned char* out = levels[level & 1];
        for (int y = 0; y < nh; ++y) {
            const unsigned char* row0 = above + (size_t)(h > 1 ? 2 * y : y) * (size_t)w * 3;
            const unsigned char* row1 = above + (size_t)(h > 1 ? 2 * y + 1 : y) * (size_t)w * 3;
            unsigned char* o = out + (size_t)y * (size_t)nw * 3;
            for (int x = 0; x < nw; ++x) {
                const size_t a = (size_t)(w > 1 ? 2 * x : x) * 3, b = (size_t)(w > 1 ? 2 * x + 1 : x) * 3;
                if (brightest) {
                    const unsigned char* four[4] = {row0 + a, row0 + b, row1 + a, row1 + b};
                    const unsigned char* best = four[0];
                    for (const unsigned char* t : four)
                        if (t[0] + t[1] + t[2] > best[0] + best[1] + best[2]) best = t;
                    o[3 * x] = best[0], o[3 * x + 1] = best[1], o[3 * x + 2] = best[2];
                    continue;
                }
                for (int c = 0; c < 3; ++c)
                    o[3 * x + c] = (unsigned char)((row0[a + c] + row0[b + c] + row1[a + c] + row1[b + c] + 2) / 4);
            }
        }
        glTexImage2D(GL_TEXTURE_2D, level, 3, nw, nh, 0, GL_RGB, GL_UNSIGNED_BYTE, out);
        above = out;
        w = nw;
        h = nh;
    }
    std::free(buffer);
    return 1;
}

// Uploads a decoded image into the bound texture with the filters of `filter`.
void Upload(const RgbImage* image, int filter, int levels) {
    SetFilters(filter);
    // Rows are packed at 3 * width bytes; GL's default alignment of 4 would
    // read past each row (and past the buffer) for widths not a multiple of 4.
    if (!image->pixels || image->width <= 0 || image->height <= 0) return;
    GLint previousAlignment = 4;
    glGetIntegerv(GL_UNPACK_ALIGNMENT, &previousAlignment);
    const bool packed = ((long long)image->width * 3) % 4 != 0;
    if (packed) glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    if (filter == FilterNearest || filter == FilterLinear) {
        glTexImage2D(GL_TEXTURE_2D, 0, 3, image->width, image->height, 0, GL_RGB, GL_UNSIGNED_BYTE, image->pixels);
    } else if (levels != LevelsByGlu && PowerOfTwo(image->width) && PowerOfTwo(image->height)) {
        glTexImage2D(GL_TEXTURE_2D, 0, 3, image->width, image->height, 0, GL_RGB, GL_UNSIGNED_BYTE, image->pixels);
        if (!UploadOwnMipmaps(image->pixels, image->width, image->height, levels == LevelsOfLights))
            glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    } else {
        gluBuild2DMipmaps(GL_TEXTURE_2D, 3, image->width, image->height, GL_RGB, GL_UNSIGNED_BYTE, image->pixels);
    }
    if (packed) glPixelStorei(GL_UNPACK_ALIGNMENT, previousAlignment);
}

// The mean colour of the bound texture, 0..1 per channel: its last mipmap
// level is the mean of every texel, made with the levels (so a map of any
// size costs nothing more); without levels, the mean of the image's pixels.
int MeanColour(const RgbImage* image, int filter, float rgb[3]) {
    if (!image->pixels || image->width <= 0 || image->height <= 0) return 0;
    if (filter != FilterNearest && filter != FilterLinear) {
        int last = 0;
        GLint w = 0;
        while (glGetTexLevelParameteriv(GL_TEXTURE_2D, last + 1, GL_TEXTURE_WIDTH, &w), w > 0) ++last;
        GLint lw = 0, lh = 0;
        glGetTexLevelParameteriv(GL_TEXTURE_2D, last, GL_TEXTURE_WIDTH, &lw);
        glGetTexLevelParameteriv(GL_TEXTURE_2D, last, GL_TEXTURE_HEIGHT, &lh);
        if (last > 0 && lw == 1 && lh == 1) {
            unsigned char texel[4] = {0, 0, 0, 0};
            glPushClientAttrib(GL_CLIENT_PIXEL_STORE_BIT);
            glPixelStorei(GL_PACK_ALIGNMENT, 1);
            glGetTexImage(GL_TEXTURE_2D, last, GL_RGB, GL_UNSIGNED_BYTE, texel);
            glPopClientAttrib();
            for (int c = 0; c < 3; ++c) rgb[c] = texel[c] / 255.0f;
            return 1;
        }
    }
    const size_t count = (size_t)image->width * (size_t)image->height;
    uint64_t sum[3] = {0, 0, 0};
    for (size_t i = 0; i < count; ++i)
        for (int c = 0; c < 3; ++c) sum[c] += image->pixels[3 * i + c];
    for (int c = 0; c < 3; ++c) rgb[c] = (float)((double)sum[c] / (double)count / 255.0);
    return 1;
}

}  // namespace

int GlRenderer::LoadTexture(uint32_t texture, const char* path, int filter) {
    RgbImage* image = LoadBmp(path);
    if (!image) return 0;
    glBindTexture(GL_TEXTURE_2D, texture);
    Upload(image, filter, LevelsByGlu);
    FreeRgbImage(image);
    return 1;
}

uint32_t GlRenderer::MakeTexture(const char* path, int filter, int levels) {
    RgbImage* image = LoadBmp(path);
    if (!image) return 0;
    if (levels == LevelsOfLights && image->pixels) {
        const size_t bytes = (size_t)image->width * (size_t)image->height * 3;
        for (size_t i = 0; i < bytes; ++i) image->pixels[i] = (unsigned char)(image->pixels[i] < 85 ? 3 * image->pixels[i] : 255);
    }
    GLuint name = 0;
    glGenTextures(1, &name);
    const uint32_t handle = name ? NewTextureHandle(name) : 0;
    if (handle) {
        glBindTexture(GL_TEXTURE_2D, name);
        Upload(image, filter, levels);
        TextureObject& t = textureObjects[handle - 1];
        // A map of lights keeps its brightest texels in the levels, not the mean.
        t.hasMean = levels != LevelsOfLights && MeanColour(image, filter, t.mean);
    } else if (name) {
        glDeleteTextures(1, &name);
    }
    FreeRgbImage(image);
    return handle;
}

uint32_t GlRenderer::MakeRgbaTexture(const unsigned char* rgba, int width, int height) {
    GLuint name = 0;
    glGenTextures(1, &name);
    const uint32_t handle = name ? NewTextureHandle(name) : 0;
    if (!handle) {
        if (name) glDeleteTextures(1, &name);
        return 0;
    }
    glBindTexture(GL_TEXTURE_2D, name);
    SetFilters(FilterLinear);
    // Strips are read inside their end texels, so GL 1.1's clamp never
    // shows its border.
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP);
    glPushClientAttrib(GL_CLIENT_PIXEL_STORE_BIT);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, width, height, 0, GL_RGBA, GL_UNSIGNED_BYTE, rgba);
    glPopClientAttrib();
    return handle;
}

uint32_t GlRenderer::MakeAlphaTexture(const char* colourPath, const char* alphaPath) {
    RgbImage* colour = LoadBmp(colourPath);
    RgbImage* alpha = colour ? LoadBmp(alphaPath) : nullptr;
    uint32_t handle = 0;
    if (colour && alpha && colour->pixels && alpha->pixels && colour->width == alpha->width &&
        colour->height == alpha->height && colour->width > 0 && colour->height > 0) {
        const size_t count = (size_t)colour->width * (size_t)colour->height;
        unsigned char* rgba = static_cast<unsigned char*>(std::malloc(count * 4));
        if (rgba) {
            for (size_t i = 0; i < count; ++i) {
                std::memcpy(rgba + 4 * i, colour->pixels + 3 * i, 3);
                const unsigned char* g = alpha->pixels + 3 * i;
                rgba[4 * i + 3] = (unsigned char)((g[0] + g[1] + g[2] + 1) / 3);
            }
            handle = MakeRgbaTexture(rgba, colour->width, colour->height);
            std::free(rgba);
        }
    }
    if (colour) FreeRgbImage(colour);
    if (alpha) FreeRgbImage(alpha);
    return handle;
}
