// "configure.txt" is read like a stream of scanf words: a word that names a key
// takes the integer after it; a word starting with "//" drops the rest of its
// line. Words longer than the 999-character token buffer are cut to it; the
// rest of such a word is consumed with it, so it can never spill into a key.
#include "core/app/Config.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "core/sim/WordCursor.h"

namespace {

int32_t Clamped(int32_t value, int32_t low, int32_t high) { return value < low ? low : value > high ? high : value; }

}  // namespace

void ReadConfigText(const char* text, size_t size, StartupSettings* s) {
    WordCursor c(text, size);
    char token[ConfigTokenMax + 1];
    while (c.WordInto(token, sizeof token)) {
        int32_t value;
        if (std::strcmp(token, "width") == 0) {
            if (c.Integer(&value)) s->windowWidth = value;
        } else if (std::strcmp(token, "height") == 0) {
            if (c.Integer(&value)) s->windowHeight = value;
        } else if (std::strcmp(token, "oglw") == 0) {
            if (c.Integer(&value)) s->viewportWidth = value;
        } else if (std::strcmp(token, "oglh") == 0) {
            if (c.Integer(&value)) s->viewportHeight = value;
        } else if (std::strcmp(token, "fullscreen") == 0) {
            // Once full screen, always full screen: a later 0 does not undo it.
            if (c.Integer(&value) && value != 0) s->videoFlags |= ConfigFullscreenFlag;
        } else if (std::strcmp(token, "bpp") == 0) {
            if (c.Integer(&value)) s->colourDepth = value;
        } else if (std::strcmp(token, "sleep") == 0) {
            if (c.Integer(&value)) s->sleepWhenIdle = value != 0;
        } else if (std::strcmp(token, "resizable") == 0) {
            if (c.Integer(&value)) s->resizable = value != 0;
        } else if (std::strcmp(token, "fps") == 0) {
            if (c.Integer(&value)) s->framesPerSecond = Clamped(value, ConfigFpsMin, ConfigFpsMax);
        } else if (std::strcmp(token, "translate") == 0) {
            if (c.Integer(&value)) s->translate = value != 0;
        } else if (std::strcmp(token, "hd") == 0) {
            if (c.Integer(&value)) s->hd = value != 0;
        } else if (std::strcmp(token, "fontsize") == 0) {
            // Text from unreadably small to a third of a small screen.
            if (c.Integer(&value)) s->fontSize = Clamped(value, ConfigFontSizeMin, ConfigFontSizeMax);
        }
        if (token[0] == '/' && token[1] == '/') c.SkipLine();
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
