// Writing BMP files: ordinary 24-bit pictures for the tools and benches, and
// files with any header values at all (wrong sizes, absurd counts, hostile
// offsets) for the decoder's tests and the soak run. Nothing here checks that
// the fields agree with each other: a lying file is a legitimate thing to write.
#ifndef ORRERY_CORE_GFX_BMPWRITER_H
#define ORRERY_CORE_GFX_BMPWRITER_H

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// Every field of the two headers, in file order, plus what follows them.
// Fields left unset are computed from what is actually written.
struct BmpFields {
    // The 14-byte file header, "BM" first.
    bool fileHeader = true;
    std::optional<uint32_t> fileSize;      // unset: the length of the whole file
    uint32_t reserved = 0;
    std::optional<uint32_t> pixelOffset;   // unset: where the payload begins

    // The image header. A size of 12 selects the core form (16-bit width and
    // height, planes, bits); any other size the 40 bytes of the info form.
    uint32_t headerSize = 40;
    // Bytes of image header written: the fields cut short or followed by zeros.
    // Unset: 12 for the core form; the size itself from 40 to 124 (the longer
    // header forms, zero beyond the info fields); 40 for any other size.
    std::optional<uint32_t> headerBytes;
    int32_t width = 1;
    int32_t height = 1;                    // negative: rows stored top first
    uint16_t planes = 1;
    uint16_t bits = 24;
    uint32_t compression = 0;
    std::optional<uint32_t> imageSize;     // unset: the payload's length
    int32_t xPixelsPerMetre = 2835;        // 72 dpi, as most tools write
    int32_t yPixelsPerMetre = 2835;
    uint32_t coloursUsed = 0;
    uint32_t coloursImportant = 0;

    // After the image header: bit-field masks, the palette (0xRRGGBB; 3 bytes
    // blue, green, red in the core form, a fourth zero byte otherwise), then
    // `gap` as it stands, then the payload.
    std::vector<uint32_t> masks;
    std::vector<uint32_t> palette;
    std::string gap;
};

// Little-endian 16- and 32-bit values appended to a byte string, as every
// field of the file is stored; also for building 16- and 32-bit pixels.
void AppendLe16(std::string& s, uint32_t v);
void AppendLe32(std::string& s, uint32_t v);

// The whole file: headers, masks, palette, gap and the payload's bytes.
std::string EncodeBmp(const BmpFields& fields, const std::string& payload);

// Rows as a 24-bit file stores them (blue, green, red, each row padded with
// zeros to a multiple of 4 bytes) from packed RGB rows, bottom row first,
// which is how RgbImage holds them. Empty when width or height is not positive.
std::string BmpRows24(int32_t width, int32_t height, const unsigned char* rgb);

// An ordinary file: file header, 40-byte info header, 24 bits, no compression.
std::string EncodeBmp24(int32_t width, int32_t height, const unsigned char* rgb);

// Writes `bytes` to a new file at `path`. 1 on success, 0 when the file
// cannot be created or not every byte reaches it.
int WriteBmpFile(const char* path, const std::string& bytes);

#endif
