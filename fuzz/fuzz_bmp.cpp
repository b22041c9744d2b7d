// Fuzz entry for the BMP decoder: any bytes must give an image or a refusal
// with its reason, never a read or write outside the buffers, a leak, undefined
// behaviour, or an allocation beyond what the file's length allows.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "core/gfx/Bmp.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const char* reason = nullptr;
    RgbImage* image = DecodeBmpMemory(data, size, &reason);
    if (!image && !reason) std::abort();   // every refusal must say why
    if (image && uint64_t(image->width) * uint64_t(image->height) * 3 > (uint64_t(64) << 20) + 1024 * uint64_t(size))
        std::abort();   // a short file cost more than its length allows
    FreeRgbImage(image);
    return 0;
}
