// Reading UTF-8 text one character at a time, for everything that draws
// text: the renderer and the X11 message box.
#ifndef ORRERY_PLATFORM_UTF8_H
#define ORRERY_PLATFORM_UTF8_H

#include <cstdint>

// The code point at *p, moving *p past it; 0 for a byte that starts no valid
// sequence (a stray continuation, an overlong form, a surrogate, a value past
// U+10FFFF, a sequence cut short), which is then passed over alone. *p must
// not point at the terminating zero.
inline uint32_t NextCodePoint(const unsigned char** p) {
    const unsigned char* s = *p;
    const unsigned char c = s[0];
    *p = s + 1;
    if (c < 0x80) return c;
    int more;
    uint32_t cp, least;
    if (c >= 0xC2 && c <= 0xDF) {
        more = 1, cp = c & 0x1F, least = 0x80;
    } else if (c >= 0xE0 && c <= 0xEF) {
        more = 2, cp = c & 0x0F, least = 0x800;
    } else if (c >= 0xF0 && c <= 0xF4) {
        more = 3, cp = c & 0x07, least = 0x10000;
    } else {
        return 0;
    }
    // A zero byte is no continuation, so this never reads past the end.
    for (int i = 1; i <= more; ++i) {
        if ((s[i] & 0xC0) != 0x80) return 0;
        cp = (cp << 6) | (s[i] & 0x3F);
    }
    if (cp < least || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return 0;
    *p = s + 1 + more;
    return cp;
}

#endif
