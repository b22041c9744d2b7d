// GL services for the rest of the program: viewport and projection, the
// initial GL state, the lighting and blending switches, bitmap-font text in
// world and screen space, texture upload, and the scene's GL objects (maps,
// spheres) with the ways they are drawn, handed out as handles that mean
// nothing to GL itself. Every enable, disable, bind and draw call lives here
// (gfx/); the scene above decides what to draw. Acts on whatever GL context
// is current.
#ifndef ORRERY_GFX_GLRENDERER_H
#define ORRERY_GFX_GLRENDERER_H

#include <cstdint>

#if defined(__GNUC__)
#define ORRERY_PRINTF(fmtIndex, firstArg) __attribute__((format(printf, fmtIndex, firstArg)))
#else
#define ORRERY_PRINTF(fmtIndex, firstArg)
#endif

struct GLUquadric;

// One corner of a mesh the scene computes itself (the rings): place,
// texture coordinates and colour with opacity.
struct MeshVertex {
    float x, y, z;
    float s, t;
    float r, g, b, a;
};

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
    // The same moved right by a number of window pixels (a label struck
    // twice); its colour does not become the material of what follows.
    void PrintShifted(float x, float y, float z, int pixels, float r, float g, float b, const char* format, ...)
        ORRERY_PRINTF(9, 10);
    // Text at a screen-relative position; -1..1 lie just inside the edges of a 4:3 view.
    void PrintScreen(float x, float y, float r, float g, float b, const char* format, ...)
        ORRERY_PRINTF(7, 8);
    // The same, moved right by a number of window pixels (left when negative).
    void PrintScreenShifted(float x, float y, int pixels, float r, float g, float b, const char* format, ...)
        ORRERY_PRINTF(8, 9);
    // Lines of screen text, line k at (x, y[k]) moved right by shift[k]
    // pixels, as PrintScreenShifted draws each, in one textured draw from an
    // atlas of the font's ASCII glyphs: the software renderer spends more on
    // a draw than on the text in it, and bitmaps cost it one a line. Texts
    // beyond ASCII (or no atlas) are drawn line by line as bitmaps. Always
    // on top: no body hides them.
    void PrintScreenLines(float x, const float* y, const int* shift, const char* const* lines, int count, float r,
                          float g, float b);
    // PrintScreen's y from one line of text to the next in a view this many
    // pixels high: the font's height and a fifth more.
    float ScreenLinePitch(int viewHeight) const;
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

    // ---- The scene's objects, as handles: 0 is none, and a handle the
    // renderer did not hand out (or has released) is none.
    //
    // A map from a BMP file, as LoadTexture uploads it, its mipmap levels
    // made as `levels` says (gfx/Texture.h). The map's mean colour is kept.
    // 0 when there was no image (a file that is no BMP has shown the
    // decoder's box).
    uint32_t MakeTexture(const char* path, int filter, int levels);
    // Colour from one file and opacity from another's grey (the rings'
    // strips, any size alike), filtered linearly. 0 unless both decode at
    // the same size.
    uint32_t MakeAlphaTexture(const char* colourPath, const char* alphaPath);
    // The mean colour of a map made by MakeTexture (0..1); 0 when there is none.
    int TextureMean(uint32_t texture, float rgb[3]) const;
    void ReleaseTexture(uint32_t texture);
    // Whether spheres can be made (GLU's quadric, made on first call).
    int HasSpheres();
    // A textured sphere of this radius as the bodies have always been drawn:
    // GLU's 16 x 16, turned so that its poles lie on y, the texture's top
    // row at +y; inside: facing inwards (the sky, a Sun lit from its centre).
    // 0 without a quadric or a display list.
    uint32_t MakeSphere(double radius, int inside);
    void ReleaseShape(uint32_t shape);
    // Drops every handle without deleting anything: the objects went with a
    // context that is no more, and their names may be the new one's.
    void ForgetObjects();
    // The GL names behind handles (0 for none), for tests and benchmarks that
    // reach GL themselves.
    uint32_t TextureName(uint32_t texture) const;
    uint32_t ShapeList(uint32_t shape) const;

    // ---- Drawing the scene's objects at the current modelview matrix.
    //
    // The matrix times a 3 x 3 one (row-major; a turn, or a turn with a
    // mirror that an inside-out sphere needs).
    void MultiplyMatrix3(const double m[9]);
    // Light 1, white, at the current origin: the Sun's light.
    void PlaceSunLight();
    // Light 2, a white light from far along `towards` (current axes): what
    // shows the night side's lights.
    void PlaceNightLight(const double towards[3]);
    // A shape with a map (either may be 0), scaled by `scale` (normals kept
    // unit), lit as the lighting switch says.
    void DrawShape(uint32_t shape, uint32_t texture, double scale);
    // The same at the map's full brightness whatever the lighting: the Sun.
    void DrawShapeUnlit(uint32_t shape, uint32_t texture, double scale);
    // The map added where light 2 falls and light 1 does not reach, over
    // the same shape just drawn: a night side's lights. Nothing while the
    // lighting is off (no side is dark then).
    void DrawShapeNightLights(uint32_t shape, uint32_t texture, double scale);
    // A glow about the current origin, facing the camera: a ring from
    // `inner` to `outer` of the colour added to what is behind it, `strength`
    // of it at the inner edge fading to nothing at the outer one. Untextured:
    // it may cover much of the screen.
    void DrawGlow(double inner, double outer, const float rgb[3], float strength);
    // A square point of `pixels` in a flat colour at the current origin,
    // depth-tested: a body too small to see as a disc.
    void DrawMarker(const float rgb[3], float pixels);
    // Quad strips of `perStrip` vertices each (pairs across the strip),
    // blended over what is drawn, depth-tested without writing depth, unlit;
    // texture 0 draws the colours alone.
    void DrawMeshStrips(const MeshVertex* vertices, int perStrip, int strips, uint32_t texture);
    // A closed line through the vertices, blended the same way.
    void DrawMeshLoop(const MeshVertex* vertices, int count);
    // Sets of thin line segments, a pair of points each (x, y, z, offset by
    // origin), each set in one colour with its opacity: blended, unlit,
    // untextured, depth-tested without writing depth, so that taking them
    // away leaves the frame as it was; the state set once for all of them
    // (the software renderer spends more on a change of state than on the
    // lines). The GL state is as before afterwards.
    struct LineSet {
        const float* points;
        int count;
        float rgba[4];
    };
    void DrawLineSets(const LineSet* sets, int setCount, const double origin[3]);

    // Text in full white whatever the lighting (1), or lit like a material
    // as it always was (0, the default).
    void SetTextFullBright(int on) { textFullBright = on; }
    int TextFullBright() const { return textFullBright; }

private:
    void DrawScreenLines(float x, const float* y, const int* shift, const char* const* lines, int count, float r,
                         float g, float b);
    enum { MaxTextures = 320, MaxShapes = 160 };
    struct TextureObject {
        uint32_t name;
        int hasMean;
        float mean[3];
    };
    TextureObject textureObjects[MaxTextures];
    uint32_t shapeLists[MaxShapes];
    GLUquadric* quadric;
    int quadricTried;
    int textFullBright;

    uint32_t NewTextureHandle(uint32_t name);
    // An RGBA picture as a linearly filtered, clamped texture.
    uint32_t MakeRgbaTexture(const unsigned char* rgba, int width, int height);
    uint32_t Texture(uint32_t handle) const;
    void BindTexture(uint32_t handle);

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

    // The ASCII glyphs side by side in one alpha texture, each with where it
    // lies there and how it stands on the pen (FontGlyph's left and top).
    struct AtlasGlyph {
        int x, y, width, rows, left, top;
    };
    // The view Resize set, for placing screen text by the pixel.
    int viewWidth, viewHeight;
    uint32_t atlasTexture;
    int atlasWidth, atlasHeight;
    AtlasGlyph atlasGlyphs[96];
    void BuildAtlas();
    // The list that draws a code point and the pen's advance; list 0 draws nothing.
    uint32_t GlyphList(uint32_t codePoint, int* advance);
    void ReleaseExtraGlyphs();
};

#endif
