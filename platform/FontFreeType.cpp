// The screen font's glyphs: fontconfig picks "Courier New" bold or its closest
// fixed-pitch stand-in (Liberation Mono Bold on Debian), and FreeType renders
// each asked character, any Unicode code point the face has, as a 1-bit
// bitmap at the asked pixel em (20 by default). A code point the face lacks
// has no glyph rather than the face's box for missing characters. No GL here:
// the renderer turns the bitmaps into whatever it draws with.
#include <cstdio>

#include "platform/FreeTypeFace.h"
#include "platform/Platform.h"

namespace {

FreeTypeFace* g_face = nullptr;

}  // namespace

int OpenFont(int pixelHeight) {
    CloseFont();
    if (pixelHeight < 1) pixelHeight = 20;
    char path[4096];
    // Spacing is weaker than the family: it only matters if no Courier
    // stand-in exists.
    g_face = OpenFreeTypeFace("Courier New:bold:spacing=mono", pixelHeight, nullptr, 0, path, sizeof path);
    if (!g_face) {
        if (path[0])
            std::fprintf(stderr, "orrery: cannot load font %s; text will not be drawn\n", path);
        else
            std::fprintf(stderr, "orrery: no font found for \"Courier New\"; text will not be drawn\n");
        return 0;
    }
    return 1;
}

int RenderGlyph(uint32_t codePoint, FontGlyph* out) { return RenderFaceGlyph(g_face, codePoint, 0, out); }

void CloseFont() {
    CloseFreeTypeFace(g_face);
    g_face = nullptr;
}
