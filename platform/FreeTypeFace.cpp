// Faces found through fontconfig and rendered with FreeType, glyph by glyph.
// No kerning: every use here is a line of plain text.
#include "platform/FreeTypeFace.h"

#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>

namespace {

// Anything larger than this is not a glyph we want to draw, at any size the
// program allows.
const unsigned kMaxGlyphSide = FontGlyphMaxSide;

}  // namespace

struct FreeTypeFace {
    FT_Library library;
    FT_Face face;
    unsigned char bits[kMaxGlyphSide * kMaxGlyphSide];
};

namespace {

// Writes the font file fontconfig chooses into path; 0 when there is none.
int FindFontFile(const char* name, const uint32_t* needs, int count, char* path, size_t pathSize, int* faceIndex) {
    FcPattern* pattern = FcNameParse((const FcChar8*)name);
    if (!pattern) return 0;
    if (needs && count > 0) {
        FcCharSet* set = FcCharSetCreate();
        if (set) {
            for (int i = 0; i < count; ++i) FcCharSetAddChar(set, needs[i]);
            FcPatternAddCharSet(pattern, FC_CHARSET, set);
            FcCharSetDestroy(set);
        }
    }
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

// Packs the rendered glyph into rows top to bottom: (width + 7) / 8 bytes
// MSB first for 1 bit (grey bitmaps thresholded at half), or width bytes of
// coverage (1-bit bitmaps spread to 0 and 255).
int PackGlyph(const FT_Bitmap& bitmap, int grey, unsigned char* out, size_t outSize, size_t* rowBytesOut) {
    const unsigned width = bitmap.width;
    const unsigned rows = bitmap.rows;
    const size_t rowBytes = grey ? width : (width + 7) / 8;
    if (rowBytes * rows > outSize) return 0;
    std::memset(out, 0, rowBytes * rows);
    const int pitch = bitmap.pitch;
    const unsigned char* top = bitmap.buffer;
    if (pitch < 0) top += (size_t)(rows - 1) * (size_t)(-pitch);
    for (unsigned row = 0; row < rows; ++row) {
        const unsigned char* src = top + (ptrdiff_t)row * pitch;
        unsigned char* dst = out + (size_t)row * rowBytes;
        if (bitmap.pixel_mode == FT_PIXEL_MODE_MONO) {
            if (grey) {
                for (unsigned x = 0; x < width; ++x) dst[x] = (src[x / 8] & (0x80 >> (x % 8))) ? 255 : 0;
            } else {
                std::memcpy(dst, src, rowBytes);
                // Bits past the width are not guaranteed clear.
                if (width % 8) dst[rowBytes - 1] &= (unsigned char)(0xFF << (8 - width % 8));
            }
        } else if (bitmap.pixel_mode == FT_PIXEL_MODE_GRAY) {
            for (unsigned x = 0; x < width; ++x) {
                if (grey)
                    dst[x] = src[x];
                else if (src[x] >= 128)
                    dst[x / 8] |= (unsigned char)(0x80 >> (x % 8));
            }
        } else {
            return 0;
        }
    }
    *rowBytesOut = rowBytes;
    return 1;
}

}  // namespace

FreeTypeFace* OpenFreeTypeFace(const char* pattern, int pixelHeight, const uint32_t* needs, int count,
                               char* fileOut, size_t fileOutSize) {
    if (fileOut && fileOutSize) fileOut[0] = '\0';
    if (!pattern || pixelHeight < 1) return nullptr;
    char path[4096];
    int faceIndex = 0;
    if (!FindFontFile(pattern, needs, count, path, sizeof path, &faceIndex)) return nullptr;
    if (fileOut && fileOutSize) std::snprintf(fileOut, fileOutSize, "%s", path);
    FreeTypeFace* f = new (std::nothrow) FreeTypeFace;
    if (!f) return nullptr;
    f->library = nullptr;
    f->face = nullptr;
    if (FT_Init_FreeType(&f->library) != 0) {
        delete f;
        return nullptr;
    }
    if (FT_New_Face(f->library, path, faceIndex, &f->face) != 0 ||
        FT_Set_Pixel_Sizes(f->face, 0, (FT_UInt)pixelHeight) != 0) {
        if (f->face) FT_Done_Face(f->face);
        f->face = nullptr;
        CloseFreeTypeFace(f);
        return nullptr;
    }
    return f;
}

void CloseFreeTypeFace(FreeTypeFace* f) {
    if (!f) return;
    if (f->face) FT_Done_Face(f->face);
    if (f->library) FT_Done_FreeType(f->library);
    delete f;
}

int FaceHasGlyph(FreeTypeFace* f, uint32_t codePoint) {
    return f && f->face && FT_Get_Char_Index(f->face, (FT_ULong)codePoint) != 0;
}

int RenderFaceGlyph(FreeTypeFace* f, uint32_t codePoint, int grey, FontGlyph* out) {
    if (!f || !f->face || !out) return 0;
    const FT_UInt index = FT_Get_Char_Index(f->face, (FT_ULong)codePoint);
    if (index == 0) return 0;
    // Mono hinting snaps the stems to whole pixels: crisper than a
    // thresholded grey rendering at the screen font's size.
    const FT_Int32 flags = grey ? FT_LOAD_RENDER : (FT_LOAD_RENDER | FT_LOAD_TARGET_MONO);
    if (FT_Load_Glyph(f->face, index, flags) != 0) return 0;
    const FT_GlyphSlot slot = f->face->glyph;
    const FT_Bitmap& bitmap = slot->bitmap;
    std::memset(out, 0, sizeof *out);
    out->advance = (int)(slot->advance.x >> 6);
    size_t rowBytes = 0;
    if (bitmap.width > 0 && bitmap.rows > 0 && bitmap.width <= kMaxGlyphSide && bitmap.rows <= kMaxGlyphSide &&
        PackGlyph(bitmap, grey, f->bits, sizeof f->bits, &rowBytes)) {
        out->width = (int)bitmap.width;
        out->rows = (int)bitmap.rows;
        out->pitch = (int)rowBytes;
        out->left = slot->bitmap_left;
        out->top = slot->bitmap_top;
        out->bits = f->bits;
    }
    // Otherwise, a space or anything without ink that we can draw: the pen
    // still moves.
    return 1;
}

void FaceLineMetrics(FreeTypeFace* f, int* ascent, int* descent, int* lineHeight) {
    int a = 0, d = 0, h = 0;
    if (f && f->face && f->face->size) {
        const FT_Size_Metrics& m = f->face->size->metrics;
        a = (int)((m.ascender + 63) >> 6);
        d = (int)((-m.descender + 63) >> 6);
        h = (int)((m.height + 63) >> 6);
        if (h < a + d) h = a + d;
    }
    if (ascent) *ascent = a;
    if (descent) *descent = d;
    if (lineHeight) *lineHeight = h;
}
