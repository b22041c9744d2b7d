// Reader of "configure.txt": words separated by any white space, keys
// width/height/oglw/oglh/fullscreen/bpp/fontsize/sleep/translate/resizable/fps/hd
// each followed by a decimal integer, "//" words starting comments to the end
// of the line.
#ifndef ORRERY_CORE_APP_CONFIG_H
#define ORRERY_CORE_APP_CONFIG_H

#include <cstddef>
#include <cstdint>

struct StartupSettings {
    int32_t windowWidth = 640;
    int32_t windowHeight = 480;
    int32_t colourDepth = 0;
    uint32_t videoFlags = 2;       // SDL_OPENGL; "fullscreen" may add 0x80000000
    int32_t viewportWidth = 0;     // 0 stands for the window width
    int32_t viewportHeight = 0;    // 0 stands for the window height
    int32_t fontSize = 20;         // text height in pixels, ConfigFontSizeMin..Max
    int32_t sleepWhenIdle = 0;     // "sleep": 1 rests between ticks, 0 polls
    int32_t translate = 0;         // 1: texts in the user's language; 0: as written
    int32_t resizable = 0;         // 1: the window manager may resize the window
    int32_t framesPerSecond = 100; // "fps": at most this many frames a second, ConfigFpsMin..Max
    int32_t hd = 0;                // 1: the maps of Data/planety_hd and what the drawing adds with them
};

enum { ConfigTokenMax = 999, ConfigFullscreenFlag = 0x80000000u };
// Apart from the flag above, whose enum is unsigned.
enum { ConfigFontSizeMin = 6, ConfigFontSizeMax = 128 };
// A frame follows a tick, so there are never more frames than the 100 ticks.
enum { ConfigFpsMin = 1, ConfigFpsMax = 100 };

// Applies the text of a configuration file to the settings.
void ReadConfigText(const char* text, size_t size, StartupSettings* settings);

// Reads the named file; a missing or unreadable file leaves the settings alone.
void ReadConfigFile(const char* path, StartupSettings* settings);

#endif
