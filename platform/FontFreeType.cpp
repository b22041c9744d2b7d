// Font glyphs for the GL bitmap lists: fontconfig picks "Courier New" bold or
// its closest fixed-pitch stand-in (Liberation Mono Bold on Debian), FreeType
// renders each character 32..127 as a 1-bit bitmap at the asked pixel em (20
// by default), and each becomes one glBitmap.
// No kerning, no characters outside ASCII.
#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "gfx/Gl.h"
#include "platform/Platform.h"

namespace {

const int kFirstChar = 32;
const int kCharCount = 96;
// Anything larger than this is not a glyph we want to draw, at any size
// configure.txt allows.
const unsigned kMaxGlyphSide = 256;

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

// Packs the rendered glyph into GL bitmap order: rows bottom to top, MSB
// first, (width + 7) / 8 bytes a row. FreeType's rows run top to bottom.
// Grey bitmaps (from fonts without a mono rendering) are thresholded at half.
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
        unsigned char* dst = out + (size_t)(rows - 1 - row) * rowBytes;
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

int RasteriseFontLists(uint32_t listBase, int pixelHeight) {
    if (pixelHeight < 1) pixelHeight = 20;
    char path[4096];
    int faceIndex = 0;
    if (!FindFontFile(path, sizeof path, &faceIndex)) {
        std::fprintf(stderr, "orrery: no font found for \"Courier New\"; text will not be drawn\n");
        return 0;
    }
    FT_Library library = nullptr;
    if (FT_Init_FreeType(&library) != 0) {
        std::fprintf(stderr, "orrery: FreeType could not start; text will not be drawn\n");
        return 0;
    }
    FT_Face face = nullptr;
    if (FT_New_Face(library, path, faceIndex, &face) != 0 || FT_Set_Pixel_Sizes(face, 0, (FT_UInt)pixelHeight) != 0) {
        std::fprintf(stderr, "orrery: cannot load font %s; text will not be drawn\n", path);
        if (face) FT_Done_Face(face);
        FT_Done_FreeType(library);
        return 0;
    }

    static unsigned char packed[kMaxGlyphSide * kMaxGlyphSide / 8];
    // glBitmap copies its data into the list with the unpack state in force
    // when the list is compiled; make that state tight and restore it after.
    glPushClientAttrib(GL_CLIENT_PIXEL_STORE_BIT);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
    glPixelStorei(GL_UNPACK_SKIP_ROWS, 0);
    glPixelStorei(GL_UNPACK_SKIP_PIXELS, 0);
    glPixelStorei(GL_UNPACK_LSB_FIRST, GL_FALSE);
    glPixelStorei(GL_UNPACK_SWAP_BYTES, GL_FALSE);
    for (int i = 0; i < kCharCount; ++i) {
        glNewList(listBase + (GLuint)i, GL_COMPILE);
        // Mono hinting snaps the stems to whole pixels: crisper than a
        // thresholded grey rendering at this size.
        if (FT_Load_Char(face, (FT_ULong)(kFirstChar + i), FT_LOAD_RENDER | FT_LOAD_TARGET_MONO) == 0) {
            const FT_GlyphSlot slot = face->glyph;
            const FT_Bitmap& bitmap = slot->bitmap;
            const GLfloat advance = (GLfloat)(slot->advance.x >> 6);
            if (bitmap.width > 0 && bitmap.rows > 0 && bitmap.width <= kMaxGlyphSide &&
                bitmap.rows <= kMaxGlyphSide && PackGlyph(bitmap, packed, sizeof packed)) {
                glBitmap((GLsizei)bitmap.width, (GLsizei)bitmap.rows, (GLfloat)-slot->bitmap_left,
                         (GLfloat)((int)bitmap.rows - slot->bitmap_top), advance, 0.0f, packed);
            } else {
                // Space and anything without ink still move the pen.
                glBitmap(0, 0, 0.0f, 0.0f, advance, 0.0f, nullptr);
            }
        }
        glEndList();
    }
    glPopClientAttrib();

    FT_Done_Face(face);
    FT_Done_FreeType(library);
    return 1;
}
