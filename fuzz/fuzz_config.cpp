// Feeds arbitrary bytes to the configure.txt reader; it must neither crash nor
// read outside the text, leave the flags with only the bits it may set, and
// keep every clamped setting in its range.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "core/app/Config.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    StartupSettings s;
    ReadConfigText(reinterpret_cast<const char*>(data), size, &s);
    if ((s.videoFlags & ~(2u | ConfigFullscreenFlag)) != 0) std::abort();
    if (s.fontSize < ConfigFontSizeMin || s.fontSize > ConfigFontSizeMax) std::abort();
    if (s.framesPerSecond < ConfigFpsMin || s.framesPerSecond > ConfigFpsMax) std::abort();
    if ((s.resizable | s.sleepWhenIdle) & ~1) std::abort();
    return 0;
}
