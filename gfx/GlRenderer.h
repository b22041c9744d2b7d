// GL services for the rest of the program: viewport and projection, the
// initial GL state, the lighting and blending switches, bitmap-font text in
// world and screen space, and texture upload. Every enable, disable and bind
// that these switches need lives here. Acts on whatever GL context is current.
#ifndef ORRERY_GFX_GLRENDERER_H
#define ORRERY_GFX_GLRENDERER_H

#include <cstdint>

#if defined(__GNUC__)
#define ORRERY_PRINTF(fmtIndex, firstArg) __attribute__((format(printf, fmtIndex, firstArg)))
#else
#define ORRERY_PRINTF(fmtIndex, firstArg)
#endif

class GlRenderer {
public:
    // First of the 96 font display lists (characters 32..127); 0 while there is no font.
    uint32_t fontBase;
    // Character height of the font in pixels, used by BuildFont.
    int fontSize;
    // Characters beyond ASCII that a text asked for and the font could not
    // draw, each counted (and reported on standard error) once.
    int missingGlyphs;

    GlRenderer();
    ~GlRenderer();

    void Resize(int width, int height);
    int InitGl();
    void SetLighting(int on);
    void SetBlending(int on);
    void BuildFont();
    // Deletes the font lists while a context is still current; the destructor
    // then has nothing left to do. Called by the application before SDL_Quit.
    void ReleaseFont();
    // Whether the current context still holds the font lists made by InitGl;
    // one that came with a new video mode may not.
    int HasFont() const;

    // The start of a frame: colour and depth cleared, the modelview matrix the identity.
    void BeginFrame();
    // The view from a camera at (x, y, z) with its pitch (about x), yaw (about
    // y) and roll (about z) in degrees, applied to the current modelview matrix.
    void LookFrom(double x, double y, double z, double pitch, double yaw, double roll);
    // The modelview matrix: saved and restored, moved, turned about an axis (degrees).
    void PushMatrix();
    void PopMatrix();
    void Translate(double x, double y, double z);
    void Rotate(double degrees, double x, double y, double z);
    // Runs one display list (a body's sphere); 0 runs nothing.
    void CallList(uint32_t list);

    // Text at a point in the current modelview coordinates (body labels).
    void Print(float x, float y, float z, float r, float g, float b, const char* format, ...)
        ORRERY_PRINTF(8, 9);
    // Text at a screen-relative position; -1..1 lie just inside the edges of a 4:3 view.
    void PrintScreen(float x, float y, float r, float g, float b, const char* format, ...)
        ORRERY_PRINTF(7, 8);
    // The same, moved right by a number of window pixels (left when negative).
    void PrintScreenShifted(float x, float y, int pixels, float r, float g, float b, const char* format, ...)
        ORRERY_PRINTF(8, 9);
    // How far a text moves the pen, in pixels: what it would cover when drawn.
    int TextWidth(const char* text);

    // A line through `count` points (x, y, z each, offset by origin) that
    // fades from invisible at the first point to the given colour at the
    // last. Unlit, untextured, blended, depth-tested without writing depth;
    // the GL state is as before afterwards.
    void DrawFadingStrip(const float* points, int count, const double origin[3], float r, float g, float b);

    // Decodes the BMP at path and uploads it into the given texture name.
    // 1 when an image was decoded and handed to GL, 0 when there was none.
    int LoadTexture(uint32_t texture, const char* path, int filter);

private:
    // Texts are UTF-8. Characters 32..127 are the lists from fontBase; any
    // other character gets a list of its own the first time a text needs it,
    // kept in order of code point (list 0: the font has none).
    enum { MaxExtraGlyphs = 512 };
    int asciiAdvance[96];
    uint32_t extraCode[MaxExtraGlyphs];
    uint32_t extraList[MaxExtraGlyphs];
    int extraAdvance[MaxExtraGlyphs];
    int extraCount;
    int extraFullReported;

    void DrawText(float x, float y, float z, int shift, float r, float g, float b, const char* text);
    // The list that draws a code point and the pen's advance; list 0 draws nothing.
    uint32_t GlyphList(uint32_t codePoint, int* advance);
    void ReleaseExtraGlyphs();
};

#endif
