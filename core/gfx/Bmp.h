// BMP decoder: files with or without the 14-byte file header, with the 12-byte
// core or the 40-byte info header. Output is always packed RGB, bottom row first.
// The decoder itself shows nothing; the file entries show every failure they
// report in a message box titled "Error".
#ifndef ORRERY_CORE_GFX_BMP_H
#define ORRERY_CORE_GFX_BMP_H

#include <cstddef>
#include <cstdint>

struct RgbImage {
    int32_t width;
    int32_t height;          // always positive in what the decoder returns
    unsigned char* pixels;   // width * height * 3 bytes, malloc'd, bottom row first
};

// Decodes bytes already in memory and shows nothing. Null on failure, and then
// *reason (when `reason` is not null) is the text the user should be told: a
// static string, one of "Out of memory.", "Unknown DIB file format." and
// "Image file conversion error.". A file of n bytes never makes it allocate
// more than 64 MiB + 1024 n bytes; a larger picture is a conversion error.
RgbImage* DecodeBmpMemory(const unsigned char* data, size_t size, const char** reason);

// Maps the file read-only and decodes it. Null on failure, after a message box;
// a file that cannot be opened or mapped is "Failed to open DIB file <path>.\n".
RgbImage* DecodeBmpFile(const char* path);

// DecodeBmpFile with a choice about the one failure that is not the file's
// fault: a texture that is simply absent is reported by its caller or not at all.
enum BmpOpenFailure {
    BmpOpenFailureShown = 0,    // message box, as DecodeBmpFile
    BmpOpenFailureSilent = 1    // null without a message; decoding failures still show theirs
};
RgbImage* MapAndDecodeBmp(const char* path, BmpOpenFailure openFailure);

// Palette entries that an image header implies. `header` points at the image
// header (not the file header); the caller guarantees its whole size is readable.
int BmpPaletteCount(const void* header);

// Frees pixels and then the record; null is fine.
void FreeRgbImage(RgbImage* image);

#endif
