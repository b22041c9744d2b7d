// A GL window for the tests: SDL 1.2 video with an OpenGL context of a given
// size, closed again with the object. Plus small helpers to read it back.
#ifndef ORRERY_TESTS_GL_GLTESTCONTEXT_H
#define ORRERY_TESTS_GL_GLTESTCONTEXT_H

#include <string>
#include <vector>

class GlTestContext {
public:
    GlTestContext(int width, int height);
    ~GlTestContext();
    GlTestContext(const GlTestContext&) = delete;
    GlTestContext& operator=(const GlTestContext&) = delete;

    // False when SDL or the video mode could not be set up; the message says why.
    bool Ok() const { return ok; }
    const std::string& Error() const { return error; }
    int Width() const { return width; }
    int Height() const { return height; }

private:
    bool ok;
    int width, height;
    std::string error;
};

// Keeps every shared library loaded now in memory until exit. SDL_Quit
// unloads the GL driver, and a leak the driver keeps for the life of the
// process would then come from an unknown module that no leak suppression
// can name. The context calls it once the window is open.
void PinLoadedLibraries();

// The back buffer (what is being drawn) as RGB bytes, bottom row first.
struct Frame {
    int width = 0, height = 0;
    std::vector<unsigned char> rgb;

    bool Lit(int x, int y) const;  // any channel above zero
    // Lit pixels in [x0, x1) x [y0, y1), in GL window coordinates (y up).
    int CountLit(int x0, int y0, int x1, int y1) const;
    int CountLit() const { return CountLit(0, 0, width, height); }
    // Columns that hold at least one lit pixel.
    int LitColumns() const;
    // Bounding box of the lit pixels; false when nothing is lit.
    bool LitBounds(int* x0, int* y0, int* x1, int* y1) const;
    // Writes a binary PPM, top row first, for looking at a failure.
    bool WritePpm(const std::string& path) const;
};

Frame ReadFrame();

#endif
