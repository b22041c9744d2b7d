// A FreeType face chosen by fontconfig, for the platform's own use: the
// screen font (FontFreeType.cpp) and the text of the X11 message box. Not
// part of Platform.h.
#ifndef ORRERY_PLATFORM_FREETYPEFACE_H
#define ORRERY_PLATFORM_FREETYPEFACE_H

#include <cstddef>
#include <cstdint>

#include "platform/Platform.h"

struct FreeTypeFace;

// The face fontconfig matches to `pattern` (its name syntax, "Helvetica:bold"),
// at the given pixel em. With `needs` (count code points) fontconfig prefers
// a face that has them all, over the family asked for. Null when none can be
// opened; `fileOut`, when given, names the file tried (empty if none).
FreeTypeFace* OpenFreeTypeFace(const char* pattern, int pixelHeight, const uint32_t* needs, int count,
                               char* fileOut, size_t fileOutSize);
void CloseFreeTypeFace(FreeTypeFace* face);

// 1 when the face has a glyph of its own for the code point (not the
// "missing" box every face draws for what it lacks).
int FaceHasGlyph(FreeTypeFace* face, uint32_t codePoint);

// The glyph of a code point the face has, as FontGlyph describes it: 1 bit a
// pixel (grey 0), or one byte of coverage 0..255 a pixel, `pitch` bytes a row
// (grey 1). The bits live until the next call for this face. 0 when the face
// lacks the code point or FreeType cannot render it.
int RenderFaceGlyph(FreeTypeFace* face, uint32_t codePoint, int grey, FontGlyph* out);

// Distances of the face at its size, in pixels: baseline to the top of the
// tallest glyphs, to the bottom of the deepest ones (positive), and from one
// baseline to the next.
void FaceLineMetrics(FreeTypeFace* face, int* ascent, int* descent, int* lineHeight);

#endif
