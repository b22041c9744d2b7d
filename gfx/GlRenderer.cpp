// GL state, projection, the lighting and blending switches, and bitmap text.
// Text goes through 96 display lists (characters 32..127) built here from the
// platform font's glyph bitmaps; it is drawn at the raster position, takes its
// colour from the current colour there (lit like a material while lighting is
// on, unless asked to be at full brightness), and is cut by GL at the window
// edge. Texts are UTF-8: a text of ASCII alone is drawn through the 96 lists
// as it always was, and any other character gets a list of its own from the
// font the first time one is drawn. Texture upload lives in Texture.cpp, the
// scene's objects in GlObjects.cpp and their drawing in SceneDraw.cpp.
#include "gfx/GlRenderer.h"

#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <new>

#include "gfx/Gl.h"
#include "platform/Platform.h"
#include "platform/Utf8.h"

namespace {

const GLsizei kFontLists = 96;
const unsigned char kFirstGlyph = 32;
const unsigned char kLastGlyph = 127;
const size_t kTextBuffer = 256;  // 255 characters and the terminator

// The literal constants are single precision on purpose: the projection and
// the on-screen positions are tuned to these exact values.
const float kNearPlane = 0.01f;
const double kFarPlane = 10000.0;
const float kScreenScaleX = 0.55f;
const float kScreenScaleY = 0.41f;
const float kScreenDepth = -1.001f;

// Formats into a fixed buffer; a longer result is cut at 255 characters, and
// an encoding error leaves an empty text rather than whatever was in the buffer.
void FormatText(char (&out)[kTextBuffer], const char* format, va_list args) {
    out[0] = '\0';
    int n = std::vsnprintf(out, sizeof out, format, args);
    if (n < 0) out[0] = '\0';
}

// glBitmap copies its data into the list with the unpack state in force when
// the list is compiled; this makes that state tight, until glPopClientAttrib.
void PushTightUnpack() {
    glPushClientAttrib(GL_CLIENT_PIXEL_STORE_BIT);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
    glPixelStorei(GL_UNPACK_SKIP_ROWS, 0);
    glPixelStorei(GL_UNPACK_SKIP_PIXELS, 0);
    glPixelStorei(GL_UNPACK_LSB_FIRST, GL_FALSE);
    glPixelStorei(GL_UNPACK_SWAP_BYTES, GL_FALSE);
}

// GL wants a bitmap's rows bottom to top, (width + 7) / 8 bytes each; the
// font gives them from the top. A glyph that does not fit, or whose rows
// would overlap, is drawn as what it would be without ink: a pen movement.
void CompileGlyph(const FontGlyph& g) {
    static unsigned char packed[FontGlyphMaxSide * FontGlyphMaxSide / 8];
    const GLfloat advance = (GLfloat)g.advance;
    const size_t rowBytes = g.width > 0 ? ((size_t)g.width + 7) / 8 : 0;
    if (g.bits && g.width > 0 && g.rows > 0 && g.width <= FontGlyphMaxSide && g.rows <= FontGlyphMaxSide &&
        g.pitch >= 0 && (size_t)g.pitch >= rowBytes) {
        for (int row = 0; row < g.rows; ++row)
            std::memcpy(packed + (size_t)(g.rows - 1 - row) * rowBytes, g.bits + (size_t)row * (size_t)g.pitch,
                        rowBytes);
        glBitmap((GLsizei)g.width, (GLsizei)g.rows, (GLfloat)-g.left, (GLfloat)(g.rows - g.top), advance, 0.0f,
                 packed);
    } else {
        glBitmap(0, 0, 0.0f, 0.0f, advance, 0.0f, nullptr);
    }
}

}  // namespace

GlRenderer::GlRenderer()
    : fontBase(0), fontSize(20), missingGlyphs(0), quadric(nullptr), quadricTried(0), textFullBright(0),
      extraCount(0), extraFullReported(0), viewWidth(0), viewHeight(0), atlasTexture(0), atlasWidth(0), atlasHeight(0) {
    std::memset(atlasGlyphs, 0, sizeof atlasGlyphs);
    std::memset(asciiAdvance, 0, sizeof asciiAdvance);
    std::memset(textureObjects, 0, sizeof textureObjects);
    std::memset(shapeLists, 0, sizeof shapeLists);
}

GlRenderer::~GlRenderer() {
    if (fontBase != 0 && atlasTexture != 0) glDeleteTextures(1, &atlasTexture);
    if (fontBase != 0) glDeleteLists(fontBase, kFontLists);
    ReleaseExtraGlyphs();
    if (fontBase != 0) CloseFont();
    // The scene releases its own objects while the context lasts; the
    // quadric is GLU's own memory, not the context's.
    if (quadric) gluDeleteQuadric(quadric);
}

void GlRenderer::ReleaseExtraGlyphs() {
    for (int i = 0; i < extraCount; ++i)
        if (extraList[i]) glDeleteLists(extraList[i], 1);
    extraCount = 0;
    extraFullReported = 0;
}

int GlRenderer::HasFont() const { return fontBase != 0 && glIsList(fontBase); }

void GlRenderer::ReleaseFont() {
    // A font that went with a lost context (fontBase cleared) leaves names
    // that may be the new context's: forgotten, not deleted.
    if (fontBase != 0 && atlasTexture != 0) glDeleteTextures(1, &atlasTexture);
    atlasTexture = 0;
    if (fontBase != 0) {
        glDeleteLists(fontBase, kFontLists);
        CloseFont();
    }
    fontBase = 0;
    ReleaseExtraGlyphs();
    std::memset(asciiAdvance, 0, sizeof asciiAdvance);
}

void GlRenderer::Resize(int width, int height) {
    if (height == 0) height = 1;
    viewWidth = width;
    viewHeight = height;
    glViewport(0, 0, width, height);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(45.0, (double)width / (double)height, (double)kNearPlane, kFarPlane);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
}

int GlRenderer::InitGl() {
    glShadeModel(GL_SMOOTH);
    glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
    glClearDepth(1.0);
    glDepthFunc(GL_LEQUAL);
    glEnable(GL_DEPTH_TEST);
    glEnable(GL_COLOR_MATERIAL);
    glEnable(GL_TEXTURE_2D);
    glHint(GL_PERSPECTIVE_CORRECTION_HINT, GL_NICEST);
    glHint(GL_POINT_SMOOTH_HINT, GL_NICEST);

    // Light 1 is set while the modelview matrix is still the identity left by
    // Resize, so it sits just in front of the eye.
    const GLfloat ambient[4] = {0.0f, 0.0f, 0.0f, 1.0f};
    const GLfloat diffuse[4] = {1.0f, 1.0f, 1.0f, 1.0f};
    const GLfloat position[4] = {0.0f, 0.0f, 1.0f, 1.0f};
    glLightfv(GL_LIGHT1, GL_AMBIENT, ambient);
    glLightfv(GL_LIGHT1, GL_DIFFUSE, diffuse);
    glLightfv(GL_LIGHT1, GL_POSITION, position);
    glEnable(GL_LIGHT1);

    glColor4f(1.0f, 1.0f, 1.0f, 0.5f);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE);
    BuildFont();
    // A missing font only costs the text; BuildFont has said so on stderr.
    return 1;
}

void GlRenderer::SetLighting(int on) {
    if (on)
        glEnable(GL_LIGHTING);
    else
        glDisable(GL_LIGHTING);
}

void GlRenderer::SetBlending(int on) {
    // Additive blending of the bodies only looks right without depth testing.
    if (on) {
        glEnable(GL_BLEND);
        glDisable(GL_DEPTH_TEST);
    } else {
        glDisable(GL_BLEND);
        glEnable(GL_DEPTH_TEST);
    }
}

void GlRenderer::BeginFrame() {
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glLoadIdentity();
}

void GlRenderer::LookFrom(double x, double y, double z, double pitch, double yaw, double roll) {
    glRotated(-pitch, 1, 0, 0);
    glRotated(-yaw, 0, 1, 0);
    glRotated(-roll, 0, 0, 1);
    glTranslated(-x, -y, -z);
}

void GlRenderer::PushMatrix() { glPushMatrix(); }

void GlRenderer::PopMatrix() { glPopMatrix(); }

void GlRenderer::Translate(double x, double y, double z) { glTranslated(x, y, z); }

void GlRenderer::Rotate(double degrees, double x, double y, double z) { glRotated(degrees, x, y, z); }

void GlRenderer::CallList(uint32_t list) {
    if (list) glCallList(list);
}

void GlRenderer::BuildFont() {
    ReleaseFont();
    fontBase = glGenLists(kFontLists);
    if (fontBase == 0) {
        std::fprintf(stderr, "orrery: no display lists for the font; text will not be drawn\n");
        return;
    }
    // Without a font (the platform has said why) the lists stay empty.
    if (!OpenFont(fontSize)) return;
    PushTightUnpack();
    for (GLsizei i = 0; i < kFontLists; ++i) {
        glNewList(fontBase + (GLuint)i, GL_COMPILE);
        FontGlyph glyph;
        if (RenderGlyph(kFirstGlyph + (uint32_t)i, &glyph)) {
            CompileGlyph(glyph);
            asciiAdvance[i] = glyph.advance;
        }
        glEndList();
    }
    glPopClientAttrib();
    BuildAtlas();
    // The font stays open for the characters beyond ASCII that texts will ask for.
}

void GlRenderer::BuildAtlas() {
    // Cells as large as the largest glyph, 16 to a row, in a texture of
    // powers of two as OpenGL 1.1 wants.
    int cellWidth = 1, cellRows = 1;
    for (uint32_t c = kFirstGlyph; c <= kLastGlyph; ++c) {
        FontGlyph g;
        if (!RenderGlyph(c, &g) || !g.bits || g.width > FontGlyphMaxSide || g.rows > FontGlyphMaxSide) continue;
        cellWidth = g.width > cellWidth ? g.width : cellWidth;
        cellRows = g.rows > cellRows ? g.rows : cellRows;
    }
    const int perRow = 16, rowsOfCells = (kFontLists + perRow - 1) / perRow;
    int width = 1, height = 1;
    while (width < perRow * cellWidth) width *= 2;
    while (height < rowsOfCells * cellRows) height *= 2;
    GLint largest = 0;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &largest);
    if (width > largest || height > largest) return;
    unsigned char* alpha = new (std::nothrow) unsigned char[(size_t)width * (size_t)height];
    if (!alpha) return;
    std::memset(alpha, 0, (size_t)width * (size_t)height);
    std::memset(atlasGlyphs, 0, sizeof atlasGlyphs);
    for (int i = 0; i < kFontLists; ++i) {
        FontGlyph g;
        AtlasGlyph& a = atlasGlyphs[i];
        a.x = (i % perRow) * cellWidth;
        a.y = (i / perRow) * cellRows;
        if (!RenderGlyph(kFirstGlyph + (uint32_t)i, &g) || !g.bits || g.width <= 0 || g.rows <= 0 ||
            g.width > cellWidth || g.rows > cellRows || g.pitch < (g.width + 7) / 8)
            continue;
        a.width = g.width, a.rows = g.rows, a.left = g.left, a.top = g.top;
        // Texture rows run from the bottom, the font's from the top.
        for (int row = 0; row < g.rows; ++row)
            for (int col = 0; col < g.width; ++col) {
                const bool ink = (g.bits[(size_t)row * (size_t)g.pitch + (size_t)(col / 8)] >> (7 - col % 8)) & 1;
                alpha[(size_t)(a.y + g.rows - 1 - row) * (size_t)width + (size_t)(a.x + col)] = ink ? 255 : 0;
            }
    }
    GLuint name = 0;
    glGenTextures(1, &name);
    if (name) {
        glPushAttrib(GL_TEXTURE_BIT);
        PushTightUnpack();
        glBindTexture(GL_TEXTURE_2D, name);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP);
        glTexImage2D(GL_TEXTURE_2D, 0, GL_ALPHA, width, height, 0, GL_ALPHA, GL_UNSIGNED_BYTE, alpha);
        glPopClientAttrib();
        glPopAttrib();
        atlasTexture = name;
        atlasWidth = width;
        atlasHeight = height;
    }
    delete[] alpha;
}

void GlRenderer::PrintScreenLines(float x, const float* y, const int* shift, const char* const* lines, int count,
                                  float r, float g, float b) {
    if (!lines || !y || !shift || count <= 0) return;
    // Riding with a small body its near side stands closer than the depth of
    // screen text, and the scene is drawn after the text: at the nearest
    // depth there is, the lines stay in front of it.
    GLfloat range[2] = {0, 1};
    glGetFloatv(GL_DEPTH_RANGE, range);
    glDepthRange(0, 0);
    DrawScreenLines(x, y, shift, lines, count, r, g, b);
    glDepthRange(range[0], range[1]);
}

void GlRenderer::DrawScreenLines(float x, const float* y, const int* shift, const char* const* lines, int count,
                                 float r, float g, float b) {
    bool ascii = atlasTexture != 0;
    for (int k = 0; k < count && ascii; ++k)
        for (const unsigned char* p = (const unsigned char*)lines[k]; p && *p && ascii; ++p)
            ascii = *p >= kFirstGlyph && *p <= kLastGlyph;
    if (!ascii) {
        for (int k = 0; k < count; ++k) PrintScreenShifted(x, y[k], shift[k], r, g, b, "%s", lines[k]);
        return;
    }
    // The quads stand where the bitmaps would, at the depth of screen text,
    // lit (unless full bright) as a bitmap's raster position would be: the
    // same light on nearly the same point. Pixels to eye coordinates at that
    // depth by the projection Resize set, 45 degrees high.
    const double depth = -static_cast<double>(kScreenDepth);
    const double halfHeight = depth * std::tan(22.5 * 3.14159265358979323846 / 180.0);
    const double w = viewWidth > 0 ? viewWidth : 1, h = viewHeight > 0 ? viewHeight : 1;
    const double halfWidth = halfHeight * w / h;
    const double eyePerPixelX = 2 * halfWidth / w, eyePerPixelY = 2 * halfHeight / h;
    // The state is put back by hand: pushing and popping it makes Mesa
    // check all of it again, which costs more than the text.
    const GLboolean lit = glIsEnabled(GL_LIGHTING), textured = glIsEnabled(GL_TEXTURE_2D);
    const GLboolean alphaTested = glIsEnabled(GL_ALPHA_TEST);
    GLint bound = 0, mode = GL_MODULATE, alphaFunc = GL_ALWAYS;
    GLfloat alphaRef = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    glGetTexEnviv(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, &mode);
    glGetIntegerv(GL_ALPHA_TEST_FUNC, &alphaFunc);
    glGetFloatv(GL_ALPHA_TEST_REF, &alphaRef);
    if (textFullBright && lit) glDisable(GL_LIGHTING);
    if (!textured) glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, atlasTexture);
    if (mode != GL_MODULATE) glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    // A bitmap's pixel is drawn or not: so is a texel here.
    if (!alphaTested) glEnable(GL_ALPHA_TEST);
    glAlphaFunc(GL_GREATER, 0.5f);
    glColor3f(r, g, b);
    glBegin(GL_QUADS);
    const float sw = 1.0f / (float)atlasWidth, sh = 1.0f / (float)atlasHeight;
    const float z = kScreenDepth;
    for (int k = 0; k < count; ++k) {
        if (!lines[k]) continue;
        // The line's raster position in window pixels.
        double pen = (x * kScreenScaleX / halfWidth + 1) * w / 2 + shift[k];
        const double base = (y[k] * kScreenScaleY / halfHeight + 1) * h / 2;
        for (const unsigned char* p = (const unsigned char*)lines[k]; *p; ++p) {
            const int i = *p - kFirstGlyph;
            const AtlasGlyph& a = atlasGlyphs[i];
            if (a.width > 0 && a.rows > 0) {
                // The pixels a bitmap at this place covers, in eye coordinates:
                // GL truncates its corner a hair up (Mesa by 1e-4).
                const double px = std::floor(pen + a.left + 1e-4), py = std::floor(base - (a.rows - a.top) + 1e-4);
                const float x0 = (float)((px - w / 2) * eyePerPixelX), x1 = (float)((px + a.width - w / 2) * eyePerPixelX);
                const float y0 = (float)((py - h / 2) * eyePerPixelY), y1 = (float)((py + a.rows - h / 2) * eyePerPixelY);
                const float u0 = (float)a.x * sw, u1 = (float)(a.x + a.width) * sw;
                const float v0 = (float)a.y * sh, v1 = (float)(a.y + a.rows) * sh;
                glTexCoord2f(u0, v0);
                glVertex3f(x0, y0, z);
                glTexCoord2f(u1, v0);
                glVertex3f(x1, y0, z);
                glTexCoord2f(u1, v1);
                glVertex3f(x1, y1, z);
                glTexCoord2f(u0, v1);
                glVertex3f(x0, y1, z);
            }
            pen += asciiAdvance[i];
        }
    }
    glEnd();
    glAlphaFunc(alphaFunc, alphaRef);
    if (!alphaTested) glDisable(GL_ALPHA_TEST);
    if (mode != GL_MODULATE) glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, mode);
    glBindTexture(GL_TEXTURE_2D, (GLuint)bound);
    if (!textured) glDisable(GL_TEXTURE_2D);
    if (textFullBright && lit) glEnable(GL_LIGHTING);
}

uint32_t GlRenderer::GlyphList(uint32_t codePoint, int* advance) {
    *advance = 0;
    if (fontBase == 0 || codePoint < kFirstGlyph) return 0;
    if (codePoint <= kLastGlyph) {
        *advance = asciiAdvance[codePoint - kFirstGlyph];
        return fontBase + (codePoint - kFirstGlyph);
    }
    int lo = 0, hi = extraCount;
    while (lo < hi) {
        const int mid = (lo + hi) / 2;
        if (extraCode[mid] < codePoint)
            lo = mid + 1;
        else
            hi = mid;
    }
    if (lo < extraCount && extraCode[lo] == codePoint) {
        *advance = extraAdvance[lo];
        return extraList[lo];
    }
    if (extraCount == MaxExtraGlyphs) {
        if (!extraFullReported)
            std::fprintf(stderr, "orrery: more than %d different characters beyond ASCII; U+%04X and later "
                                 "new ones are left out\n", (int)MaxExtraGlyphs, (unsigned)codePoint);
        extraFullReported = 1;
        return 0;
    }

    GLuint list = 0;
    int width = 0;
    FontGlyph glyph;
    if (!RenderGlyph(codePoint, &glyph)) {
        // Anything drawn in its place would be a guess: leave it out, once said.
        std::fprintf(stderr, "orrery: the font has no character U+%04X; it is left out of the text\n",
                     (unsigned)codePoint);
        ++missingGlyphs;
    } else if ((list = glGenLists(1)) != 0) {
        PushTightUnpack();
        glNewList(list, GL_COMPILE);
        CompileGlyph(glyph);
        glEndList();
        glPopClientAttrib();
        width = glyph.advance;
    }
    for (int i = extraCount; i > lo; --i) {
        extraCode[i] = extraCode[i - 1];
        extraList[i] = extraList[i - 1];
        extraAdvance[i] = extraAdvance[i - 1];
    }
    extraCode[lo] = codePoint;
    extraList[lo] = list;
    extraAdvance[lo] = width;
    ++extraCount;
    *advance = width;
    return list;
}

int GlRenderer::TextWidth(const char* text) {
    if (!text) return 0;
    int width = 0;
    const unsigned char* p = (const unsigned char*)text;
    while (*p) {
        int advance = 0;
        if (const uint32_t cp = NextCodePoint(&p)) GlyphList(cp, &advance);
        width += advance;
    }
    return width;
}


void GlRenderer::DrawText(float x, float y, float z, int shift, float r, float g, float b, const char* text) {
    glBindTexture(GL_TEXTURE_2D, 0);
    // The raster colour is latched from the current colour by glRasterPos,
    // lit like a material while the lighting is on unless the text is to be
    // drawn at full brightness.
    glColor3f(r, g, b);
    if (textFullBright) {
        glPushAttrib(GL_ENABLE_BIT);
        glDisable(GL_LIGHTING);
    }
    glRasterPos3f(x, y, z);
    if (textFullBright) glPopAttrib();
    if (!text) return;
    // An empty bitmap moves the raster position by whole pixels, and only a valid one.
    if (shift != 0) glBitmap(0, 0, 0.0f, 0.0f, (GLfloat)shift, 0.0f, nullptr);

    const unsigned char* p = (const unsigned char*)text;
    while (*p && *p < 0x80) ++p;
    if (!*p) {
        // ASCII alone. Only 32..127 have lists. With the list base at
        // fontBase - 32 any other byte would call a neighbouring list (a
        // body's sphere, say) or wrap around, so those bytes are dropped here
        // rather than trusted to GL.
        unsigned char glyphs[kTextBuffer];
        GLsizei count = 0;
        for (p = (const unsigned char*)text; *p && count < (GLsizei)sizeof glyphs; ++p) {
            if (*p >= kFirstGlyph && *p <= kLastGlyph) glyphs[count++] = *p;
        }
        if (fontBase != 0 && count > 0) {
            glPushAttrib(GL_LIST_BIT);
            glListBase(fontBase - kFirstGlyph);
            glCallLists(count, GL_UNSIGNED_BYTE, glyphs);
            glPopAttrib();
        }
    } else {
        // Every list by its own name; what the font lacks and bytes that are
        // no UTF-8 are left out.
        GLuint lists[kTextBuffer];
        GLsizei count = 0;
        p = (const unsigned char*)text;
        while (*p && count < (GLsizei)(sizeof lists / sizeof lists[0])) {
            int advance = 0;
            const uint32_t cp = NextCodePoint(&p);
            const uint32_t list = cp ? GlyphList(cp, &advance) : 0;
            if (list) lists[count++] = list;
        }
        if (count > 0) {
            glPushAttrib(GL_LIST_BIT);
            glListBase(0);
            glCallLists(count, GL_UNSIGNED_INT, lists);
            glPopAttrib();
        }
    }
    glColor3f(1.0f, 1.0f, 1.0f);
}

void GlRenderer::Print(float x, float y, float z, float r, float g, float b, const char* format, ...) {
    if (!format) {
        DrawText(x, y, z, 0, r, g, b, nullptr);
        return;
    }
    char text[kTextBuffer];
    va_list args;
    va_start(args, format);
    FormatText(text, format, args);
    va_end(args);
    DrawText(x, y, z, 0, r, g, b, text);
}

float GlRenderer::ScreenLinePitch(int viewHeight) const {
    // Screen text lies at kScreenDepth in a view 45 degrees high: a unit of y
    // is kScreenScaleY / (depth tan 22.5) of the half height.
    const double halfHeight = -static_cast<double>(kScreenDepth) * std::tan(22.5 * 3.14159265358979323846 / 180.0);
    const double pixelsPerUnit = kScreenScaleY / halfHeight * (viewHeight > 0 ? viewHeight : 1) / 2;
    return static_cast<float>(1.2 * fontSize / pixelsPerUnit);
}

void GlRenderer::PrintShifted(float x, float y, float z, int pixels, float r, float g, float b, const char* format,
                              ...) {
    if (!format) return;
    char text[kTextBuffer];
    va_list args;
    va_start(args, format);
    FormatText(text, format, args);
    va_end(args);
    // Its colour must not become the material of what is drawn next (put
    // back by hand: a pushed and popped state is all checked again).
    const GLboolean material = glIsEnabled(GL_COLOR_MATERIAL);
    GLfloat colour[4];
    glGetFloatv(GL_CURRENT_COLOR, colour);
    if (material) glDisable(GL_COLOR_MATERIAL);
    DrawText(x, y, z, pixels, r, g, b, text);
    glColor4fv(colour);
    if (material) glEnable(GL_COLOR_MATERIAL);
}

void GlRenderer::PrintScreen(float x, float y, float r, float g, float b, const char* format, ...) {
    if (!format) return;
    char text[kTextBuffer];
    va_list args;
    va_start(args, format);
    FormatText(text, format, args);
    va_end(args);
    // Drawn as it stands: formatting it again would read a "%" as a conversion.
    DrawText(x * kScreenScaleX, y * kScreenScaleY, kScreenDepth, 0, r, g, b, text);
}

void GlRenderer::PrintScreenShifted(float x, float y, int pixels, float r, float g, float b, const char* format,
                                    ...) {
    if (!format) return;
    char text[kTextBuffer];
    va_list args;
    va_start(args, format);
    FormatText(text, format, args);
    va_end(args);
    DrawText(x * kScreenScaleX, y * kScreenScaleY, kScreenDepth, pixels, r, g, b, text);
}

void GlRenderer::DrawLineSets(const LineSet* sets, int setCount, const double origin[3]) {
    if (!sets || setCount <= 0) return;
    // The state is put back by hand: pushing and popping it makes Mesa
    // check all of it again, which costs the software renderer more than
    // the lines.
    const GLboolean lit = glIsEnabled(GL_LIGHTING), material = glIsEnabled(GL_COLOR_MATERIAL);
    const GLboolean textured = glIsEnabled(GL_TEXTURE_2D), blended = glIsEnabled(GL_BLEND);
    GLint source = GL_ONE, destination = GL_ZERO;
    GLboolean depthWrites = GL_TRUE;
    GLfloat colour[4];
    glGetIntegerv(GL_BLEND_SRC, &source);
    glGetIntegerv(GL_BLEND_DST, &destination);
    glGetBooleanv(GL_DEPTH_WRITEMASK, &depthWrites);
    glGetFloatv(GL_CURRENT_COLOR, colour);
    if (lit) glDisable(GL_LIGHTING);
    if (material) glDisable(GL_COLOR_MATERIAL);
    if (textured) glDisable(GL_TEXTURE_2D);
    if (!blended) glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glDepthMask(GL_FALSE);
    glPushMatrix();
    glTranslated(origin[0], origin[1], origin[2]);
    glEnableClientState(GL_VERTEX_ARRAY);
    for (int k = 0; k < setCount; ++k) {
        if (!sets[k].points || sets[k].count < 2) continue;
        glColor4fv(sets[k].rgba);
        glVertexPointer(3, GL_FLOAT, 0, sets[k].points);
        glDrawArrays(GL_LINES, 0, sets[k].count - sets[k].count % 2);
    }
    glDisableClientState(GL_VERTEX_ARRAY);
    glPopMatrix();
    glDepthMask(depthWrites);
    glBlendFunc((GLenum)source, (GLenum)destination);
    if (!blended) glDisable(GL_BLEND);
    if (textured) glEnable(GL_TEXTURE_2D);
    glColor4fv(colour);
    if (material) glEnable(GL_COLOR_MATERIAL);
    if (lit) glEnable(GL_LIGHTING);
}

void GlRenderer::DrawFadingStrip(const float* points, int count, const double origin[3], float r, float g,
                                 float b) {
    if (!points || count < 2) return;
    glPushAttrib(GL_ENABLE_BIT | GL_CURRENT_BIT | GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_LINE_BIT);
    glDisable(GL_LIGHTING);
    glDisable(GL_TEXTURE_2D);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glDepthMask(GL_FALSE);
    glPushMatrix();
    glTranslated(origin[0], origin[1], origin[2]);
    glBegin(GL_LINE_STRIP);
    const float last = static_cast<float>(count - 1);
    for (int i = 0; i < count; ++i) {
        glColor4f(r, g, b, 0.85f * static_cast<float>(i) / last);
        glVertex3fv(points + 3 * i);
    }
    glEnd();
    glPopMatrix();
    glPopAttrib();
}
