#include "gl/GlTestContext.h"

#include <SDL.h>

#include <cstdio>

#include "gfx/Gl.h"
#include "platform/Platform.h"

void PinLoadedLibraries() { KeepLoadedLibraries(); }

GlTestContext::GlTestContext(int w, int h) : ok(false), width(w), height(h) {
    if (SDL_Init(SDL_INIT_VIDEO) != 0) {
        error = std::string("SDL_Init: ") + SDL_GetError();
        return;
    }
    if (!SDL_SetVideoMode(w, h, 0, SDL_OPENGL)) {
        error = std::string("SDL_SetVideoMode: ") + SDL_GetError();
        SDL_Quit();
        return;
    }
    PinLoadedLibraries();
    ok = true;
}

GlTestContext::~GlTestContext() {
    if (ok) SDL_Quit();
}

Frame ReadFrame() {
    Frame frame;
    GLint viewport[4] = {0, 0, 0, 0};
    glGetIntegerv(GL_VIEWPORT, viewport);
    // The whole window, not just the viewport: text must not spill outside.
    SDL_Surface* surface = SDL_GetVideoSurface();
    frame.width = surface ? surface->w : viewport[2];
    frame.height = surface ? surface->h : viewport[3];
    frame.rgb.assign((size_t)frame.width * frame.height * 3, 0);
    glPushClientAttrib(GL_CLIENT_PIXEL_STORE_BIT);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadBuffer(GL_BACK);
    glReadPixels(0, 0, frame.width, frame.height, GL_RGB, GL_UNSIGNED_BYTE, frame.rgb.data());
    glPopClientAttrib();
    return frame;
}

bool Frame::Lit(int x, int y) const {
    const unsigned char* p = &rgb[((size_t)y * width + x) * 3];
    return p[0] || p[1] || p[2];
}

int Frame::CountLit(int x0, int y0, int x1, int y1) const {
    if (x0 < 0) x0 = 0;
    if (y0 < 0) y0 = 0;
    if (x1 > width) x1 = width;
    if (y1 > height) y1 = height;
    int n = 0;
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x) n += Lit(x, y);
    return n;
}

int Frame::LitColumns() const {
    int n = 0;
    for (int x = 0; x < width; ++x) {
        for (int y = 0; y < height; ++y) {
            if (Lit(x, y)) {
                ++n;
                break;
            }
        }
    }
    return n;
}

bool Frame::LitBounds(int* x0, int* y0, int* x1, int* y1) const {
    bool any = false;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            if (!Lit(x, y)) continue;
            if (!any) {
                *x0 = *x1 = x;
                *y0 = *y1 = y;
                any = true;
            }
            if (x < *x0) *x0 = x;
            if (x > *x1) *x1 = x;
            if (y < *y0) *y0 = y;
            if (y > *y1) *y1 = y;
        }
    }
    return any;
}

bool Frame::WritePpm(const std::string& path) const {
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return false;
    std::fprintf(f, "P6\n%d %d\n255\n", width, height);
    for (int y = height - 1; y >= 0; --y) std::fwrite(&rgb[(size_t)y * width * 3], 1, (size_t)width * 3, f);
    return std::fclose(f) == 0;
}
