// "configure.txt" is read like a stream of scanf words: a word that names a key
// takes the integer after it; a word starting with "//" drops the rest of its
// line. Words longer than the 999-character token buffer are cut to it; the
// rest of such a word is consumed with it, so it can never spill into a key.
#include "app/Config.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

struct Cursor {
    const char* p;
    const char* end;
};

bool IsSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

void SkipSpace(Cursor& c) {
    while (c.p < c.end && IsSpace(*c.p)) ++c.p;
}

// Reads the next word into token (NUL-terminated, cut at ConfigTokenMax).
// Returns 0 at the end of the text.
int ReadWord(Cursor& c, char* token, size_t tokenSize) {
    SkipSpace(c);
    if (c.p >= c.end) return 0;
    size_t n = 0;
    while (c.p < c.end && !IsSpace(*c.p)) {
        if (n + 1 < tokenSize) token[n++] = *c.p;
        ++c.p;
    }
    token[n] = '\0';
    return 1;
}

// Reads an optionally signed decimal integer after optional white space.
// On failure nothing is consumed, so the text is met again as a word.
// Values beyond the 32-bit range are clamped rather than wrapped.
int ReadInteger(Cursor& c, int32_t* out) {
    Cursor probe = c;
    SkipSpace(probe);
    bool negative = false;
    if (probe.p < probe.end && (*probe.p == '+' || *probe.p == '-')) {
        negative = *probe.p == '-';
        ++probe.p;
    }
    if (probe.p >= probe.end || *probe.p < '0' || *probe.p > '9') return 0;
    long long value = 0;
    const long long limit = 2147483648LL;
    while (probe.p < probe.end && *probe.p >= '0' && *probe.p <= '9') {
        if (value < limit) value = value * 10 + (*probe.p - '0');
        ++probe.p;
    }
    if (value > limit) value = limit;
    if (negative) value = -value;
    else if (value > limit - 1) value = limit - 1;
    *out = static_cast<int32_t>(value);
    c = probe;
    return 1;
}

void SkipLine(Cursor& c) {
    while (c.p < c.end) {
        char ch = *c.p++;
        if (ch == '\n') return;
    }
}

}  // namespace

void ReadConfigText(const char* text, size_t size, StartupSettings* s) {
    Cursor c{text, text + size};
    char token[ConfigTokenMax + 1];
    while (ReadWord(c, token, sizeof token)) {
        int32_t value;
        if (std::strcmp(token, "width") == 0) {
            if (ReadInteger(c, &value)) s->windowWidth = value;
        } else if (std::strcmp(token, "height") == 0) {
            if (ReadInteger(c, &value)) s->windowHeight = value;
        } else if (std::strcmp(token, "oglw") == 0) {
            if (ReadInteger(c, &value)) s->viewportWidth = value;
        } else if (std::strcmp(token, "oglh") == 0) {
            if (ReadInteger(c, &value)) s->viewportHeight = value;
        } else if (std::strcmp(token, "fullscreen") == 0) {
            // Once full screen, always full screen: a later 0 does not undo it.
            if (ReadInteger(c, &value) && value != 0) s->videoFlags |= ConfigFullscreenFlag;
        } else if (std::strcmp(token, "bpp") == 0) {
            if (ReadInteger(c, &value)) s->colourDepth = value;
        }
        if (token[0] == '/' && token[1] == '/') SkipLine(c);
    }
}

void ReadConfigFile(const char* path, StartupSettings* settings) {
    FILE* f = std::fopen(path, "r");
    if (!f) return;
    // A configuration file is a few hundred bytes; anything past 1 MiB is not
    // one and is left unread rather than held in memory.
    const size_t cap = 1u << 20;
    char* text = static_cast<char*>(std::malloc(cap));
    if (text) {
        size_t n = std::fread(text, 1, cap, f);
        ReadConfigText(text, n, settings);
        std::free(text);
    }
    std::fclose(f);
}
