// The screen font's glyphs: fontconfig picks "Courier New" bold or its closest
// fixed-pitch stand-in (Liberation Mono Bold on Debian), and FreeType renders
// each asked character, any Unicode code point the face has, as a 1-bit
// bitmap at the asked pixel em (20 by default). No kerning; no GL here: the
// renderer turns the bitmaps into whatever it draws with.
#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/Platform.h"

namespace {

// Anything larger than this is not a glyph we want to draw, at any size
// configure.txt allows.
const unsigned kMaxGlyphSide = FontGlyphMaxSide;

FT_Library g_library = nullptr;
FT_Face g_face = nullptr;
unsigned char g_bits[kMaxGlyphSide * kMaxGlyphSide / 8];

// Writes the font file fontconfig chooses into path; 0 when there is none.
int FindFontFile(char* path, size_t pathSize, int* faceIndex) {
    FcPattern* pattern = FcNameParse((const FcChar8*)"Courier New");
    if (!pattern) return 0;
    FcPatternAddInteger(pattern, FC_WEIGHT, FC_WEIGHT_BOLD);
    // Weaker than the family: only matters if no Courier stand-in exists.
    FcPatternAddInteger(pattern, FC_SPACING, FC_MONO);
    FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    FcResult result = FcResultNoMatch;
    FcPattern* match = FcFontMatch(nullptr, pattern, &result);
    FcPatternDestroy(pattern);
    if (!match) return 0;

    int found = 0;
    FcChar8* file = nullptr;
    if (FcPatternGetString(match, FC_FILE, 0, &file) == FcResultMatch && file) {
        int n = std::snprintf(path, pathSize, "%s", (const char*)file);
        found = n > 0 && (size_t)n < pathSize;
        int index = 0;
        if (FcPatternGetInteger(match, FC_INDEX, 0, &index) != FcResultMatch) index = 0;
        *faceIndex = index;
    }
    FcPatternDestroy(match);
    return found;
}

// Packs the rendered glyph into rows of (width + 7) / 8 bytes, top to bottom,
// MSB first. Grey bitmaps (from fonts without a mono rendering) are
// thresholded at half.
int PackGlyph(const FT_Bitmap& bitmap, unsigned char* out, size_t outSize) {
    const unsigned width = bitmap.width;
    const unsigned rows = bitmap.rows;
    const size_t rowBytes = (width + 7) / 8;
    if (rowBytes * rows > outSize) return 0;
    std::memset(out, 0, rowBytes * rows);
    const int pitch = bitmap.pitch;
    const unsigned char* top = bitmap.buffer;
    if (pitch < 0) top += (size_t)(rows - 1) * (size_t)(-pitch);
    for (unsigned row = 0; row < rows; ++row) {
        const unsigned char* src = top + (ptrdiff_t)row * pitch;
        unsigned char* dst = out + (size_t)row * rowBytes;
        if (bitmap.pixel_mode == FT_PIXEL_MODE_MONO) {
            std::memcpy(dst, src, rowBytes);
            // Bits past the width are not guaranteed clear.
            if (width % 8) dst[rowBytes - 1] &= (unsigned char)(0xFF << (8 - width % 8));
        } else if (bitmap.pixel_mode == FT_PIXEL_MODE_GRAY) {
            for (unsigned x = 0; x < width; ++x) {
                if (src[x] >= 128) dst[x / 8] |= (unsigned char)(0x80 >> (x % 8));
            }
        } else {
            return 0;
        }
    }
    return 1;
}

}  // namespace

int OpenFont(int pixelHeight) {
    CloseFont();
    if (pixelHeight < 1) pixelHeight = 20;
    char path[4096];
    int faceIndex = 0;
    if (!FindFontFile(path, sizeof path, &faceIndex)) {
        std::fprintf(stderr, "orrery: no font found for \"Courier New\"; text will not be drawn\n");
        return 0;
    }
    if (FT_Init_FreeType(&g_library) != 0) {
        g_library = nullptr;
        std::fprintf(stderr, "orrery: FreeType could not start; text will not be drawn\n");
        return 0;
    }
    if (FT_New_Face(g_library, path, faceIndex, &g_face) != 0 ||
        FT_Set_Pixel_Sizes(g_face, 0, (FT_UInt)pixelHeight) != 0) {
        std::fprintf(stderr, "orrery: cannot load font %s; text will not be drawn\n", path);
        CloseFont();
        return 0;
    }
    return 1;
}

int RenderGlyph(uint32_t codePoint, FontGlyph* out) {
    if (!g_face || !out) return 0;
    // Mono hinting snaps the stems to whole pixels: crisper than a
    // thresholded grey rendering at this size.
    if (FT_Load_Char(g_face, (FT_ULong)codePoint, FT_LOAD_RENDER | FT_LOAD_TARGET_MONO) != 0) return 0;
    const FT_GlyphSlot slot = g_face->glyph;
    const FT_Bitmap& bitmap = slot->bitmap;
    std::memset(out, 0, sizeof *out);
    out->advance = (int)(slot->advance.x >> 6);
    if (bitmap.width > 0 && bitmap.rows > 0 && bitmap.width <= kMaxGlyphSide && bitmap.rows <= kMaxGlyphSide &&
        PackGlyph(bitmap, g_bits, sizeof g_bits)) {
        out->width = (int)bitmap.width;
        out->rows = (int)bitmap.rows;
        out->pitch = (int)((bitmap.width + 7) / 8);
        out->left = slot->bitmap_left;
        out->top = slot->bitmap_top;
        out->bits = g_bits;
    }
    // Otherwise, a space or anything without ink that we can draw: the pen
    // still moves.
    return 1;
}

void CloseFont() {
    if (g_face) FT_Done_Face(g_face);
    g_face = nullptr;
    if (g_library) FT_Done_FreeType(g_library);
    g_library = nullptr;
}
