// Font glyphs for the GL bitmap lists on Windows: GDI's "Courier New" bold at
// a 20-pixel character height, rasterised into the lists by WGL.
#ifdef _WIN32

#include "gfx/Gl.h"
#include "platform/Platform.h"

int RasteriseFontLists(uint32_t listBase) {
    HDC dc = GetDC(NULL);
    // A negative height asks for the character height rather than the cell.
    HFONT font = CreateFontA(-20, 0, 0, 0, 700, 0, 0, 0, ANSI_CHARSET, OUT_TT_PRECIS, 0,
                             ANTIALIASED_QUALITY, 0, "Courier New");
    HGDIOBJ previous = SelectObject(dc, font);
    wglUseFontBitmapsA(dc, 32, 96, listBase);
    SelectObject(dc, previous);
    DeleteObject(font);
    ReleaseDC(NULL, dc);
    return 1;
}

#endif  // _WIN32
