// Fuzz entry for the BMP decoder: any bytes must give an image or a refusal,
// never a read or write outside the buffers, a leak, or undefined behaviour.
#include <cstddef>
#include <cstdint>

#include "gfx/Bmp.h"
#include "platform/Platform.h"

static void Silent(const char*, const char*, int) {}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    SetMessageBoxHook(Silent);
    FreeRgbImage(DecodeBmpMemory(data, size, "fuzz.bmp"));
    return 0;
}
