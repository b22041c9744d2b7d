// Feeds arbitrary bytes to the configure.txt reader; it must neither crash nor
// read outside the text, and leave the flags with only the bits it may set.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "core/app/Config.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    StartupSettings s;
    ReadConfigText(reinterpret_cast<const char*>(data), size, &s);
    if ((s.videoFlags & ~(2u | ConfigFullscreenFlag)) != 0) std::abort();
    return 0;
}
