// BMP decoder: device-independent bitmaps with the 12-byte core or the 40-byte
// info header, with or without the 14-byte "BM" file header. Accepts
// uncompressed 1, 4, 8, 16, 24 and 32 bits per pixel, bit-field masks
// (compression 3) at 16 and 32 bits, RLE8 and RLE4. Refuses 2 and 64 bits, other
// compressions, and images wider or taller than 32768 pixels or of more than
// 16384 x 16384 pixels. The output is packed RGB, bottom row first, whatever the
// row order of the file.
//
// The input is hostile: every read is checked against the buffer's end once per
// header, palette, row or RLE record, so the row loops themselves run unchecked.
// What a file may cost is bounded by its length too: a few bytes of run-length
// data can declare a picture of hundreds of megabytes, so a file of n bytes
// never makes the decoder allocate more than 64 MiB + 1024 n bytes. Runs of 255
// pixels in two bytes give about 380 bytes of output per byte of file, so no
// honestly encoded image comes near the bound.
//
// Decoding on bytes in memory shows nothing; only the file entries show the
// failure to the user.
#include "core/gfx/Bmp.h"

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/Platform.h"

// Palette words and the 24-bit shuffle are stored with memcpy in host order.
#if defined(__BYTE_ORDER__) && __BYTE_ORDER__ != __ORDER_LITTLE_ENDIAN__
#error "the BMP row converters assume a little-endian host"
#endif

namespace {

const char kOutOfMemory[] = TRANSLATABLE("Out of memory.");
const char kUnknownFormat[] = TRANSLATABLE("Unknown DIB file format.");
const char kConversionError[] = TRANSLATABLE("Image file conversion error.");

const size_t kFileHeaderSize = 14;
const uint32_t kCoreHeaderSize = 12;
const uint32_t kInfoHeaderSize = 40;
const int32_t kMaxSide = 32768;
const uint64_t kMaxPixels = uint64_t(16384) * 16384;
// A file of n bytes may cost kAllocationBase + kAllocationPerFileByte * n bytes.
const uint64_t kAllocationBase = uint64_t(64) << 20;
const uint64_t kAllocationPerFileByte = 1024;

const uint32_t kCompressNone = 0;
const uint32_t kCompressRle8 = 1;
const uint32_t kCompressRle4 = 2;
const uint32_t kCompressBitFields = 3;

void Show(const char* text) { ShowMessageBox("Error", text, MessageIconNone); }

// Every refusal of the memory decoder goes through here: null, and the reason
// for the caller to show or not.
RgbImage* Refuse(const char** reason, const char* text) {
    if (reason) *reason = text;
    return nullptr;
}

uint16_t U16(const unsigned char* p) { return uint16_t(p[0] | (p[1] << 8)); }
uint32_t U32(const unsigned char* p) {
    return uint32_t(p[0]) | (uint32_t(p[1]) << 8) | (uint32_t(p[2]) << 16) | (uint32_t(p[3]) << 24);
}

// True when [offset, offset + length) lies inside a buffer of `size` bytes.
bool Within(size_t size, uint64_t offset, uint64_t length) {
    return offset <= size && length <= size - offset;
}

// True when a file of `fileSize` bytes may make the decoder allocate `bytes`.
bool Affordable(size_t fileSize, uint64_t bytes) {
    if (bytes <= kAllocationBase) return true;
    // Bytes of file needed, by division: no multiplication to overflow.
    uint64_t beyond = bytes - kAllocationBase;
    uint64_t needed = beyond / kAllocationPerFileByte + (beyond % kAllocationPerFileByte != 0);
    return needed <= fileSize;
}

// The header in info form, as the conversion needs it.
struct DibHeader {
    uint32_t headerSize;
    int32_t width;
    int32_t height;
    uint16_t bitCount;
    uint32_t compression;
    uint32_t colorsUsed;
};

// The palette count of a header, unclipped; the public wrapper makes it an int.
uint32_t PaletteCount(const unsigned char* header) {
    uint32_t size = U32(header);
    uint16_t bitCount = U16(header + (size == kCoreHeaderSize ? 10 : 14));
    if (size != kCoreHeaderSize) {
        uint32_t used = U32(header + 32);
        if (used != 0) return used;
    }
    switch (bitCount) {
    case 1: return 2;
    case 4: return 16;
    case 8: return 256;
    default: return 0;
    }
}

// One colour channel of a 16- or 32-bit pixel, scaled to 0..255 by rounding
// v * 255 / max, which keeps full intensity at 255 for every channel width.
// Channels wider than 8 bits are refused: no rule of reducing them is agreed
// on, and an exact answer or none is better than a guess.
struct Channel {
    uint32_t mask;
    int shift;
    unsigned char table[256];   // scaled value of every channel value; 0 when absent

    int Set(uint32_t m) {
        mask = m;
        shift = 0;
        std::memset(table, 0, sizeof table);
        if (m == 0) return 1;   // an absent channel reads as 0
        while (!((m >> shift) & 1)) ++shift;
        uint32_t max = m >> shift;
        if ((max & (max + 1)) != 0 || max > 255) return 0;   // not contiguous, or too wide
        for (uint32_t v = 0; v <= max; ++v) table[v] = (unsigned char)((v * 255 + max / 2) / max);
        return 1;
    }
    unsigned char Of(uint32_t pixel) const { return table[(pixel & mask) >> shift]; }
};

// Palette entries as RGB triples in the low three bytes of a word, so that a
// pixel is written with one four-byte store whose spare byte the next pixel
// overwrites. Indexes beyond the file's palette read as black.
struct Palette {
    uint32_t rgb[256];
};

inline void Put4(unsigned char* dst, uint32_t rgb) { std::memcpy(dst, &rgb, 4); }
inline void Put3(unsigned char* dst, uint32_t rgb) {
    dst[0] = (unsigned char)rgb;
    dst[1] = (unsigned char)(rgb >> 8);
    dst[2] = (unsigned char)(rgb >> 16);
}

// Row converters. `dst` holds exactly 3 * width bytes and the last pixel is
// stored with three bytes, so no converter writes outside its own row (rows
// of a top-down file are written from the top of the buffer downwards).
void Row24(const unsigned char* src, unsigned char* dst, int32_t width) {
    int32_t x = 0;
    // Four pixels at a time through three words: the byte shuffle stays in registers.
    for (; x + 4 <= width; x += 4, src += 12, dst += 12) {
        uint32_t a, b, c;
        std::memcpy(&a, src, 4);       // B0 G0 R0 B1
        std::memcpy(&b, src + 4, 4);   // G1 R1 B2 G2
        std::memcpy(&c, src + 8, 4);   // R2 B3 G3 R3
        uint32_t oa = ((a >> 16) & 0xff) | (a & 0xff00) | ((a & 0xff) << 16) | (((b >> 8) & 0xff) << 24);
        uint32_t ob = (b & 0xff) | ((a >> 24) << 8) | ((c & 0xff) << 16) | (b & 0xff000000u);
        uint32_t oc = ((b >> 16) & 0xff) | ((c >> 24) << 8) | (c & 0xff0000) | (((c >> 8) & 0xff) << 24);
        Put4(dst, oa);       // R0 G0 B0 R1
        Put4(dst + 4, ob);   // G1 B1 R2 G2
        Put4(dst + 8, oc);   // B2 R3 G3 B3
    }
    for (; x < width; ++x, src += 3, dst += 3) {
        dst[0] = src[2];
        dst[1] = src[1];
        dst[2] = src[0];
    }
}

void Row8(const unsigned char* src, unsigned char* dst, int32_t width, const Palette& pal) {
    int32_t last = width - 1;
    for (int32_t x = 0; x < last; ++x, dst += 3) Put4(dst, pal.rgb[src[x]]);
    Put3(dst, pal.rgb[src[last]]);
}

void Row4(const unsigned char* src, unsigned char* dst, int32_t width, const Palette& pal) {
    int32_t pairs = (width - 1) / 2;   // whole bytes before the byte of the last pixel
    for (int32_t i = 0; i < pairs; ++i, dst += 6) {
        unsigned b = src[i];
        Put4(dst, pal.rgb[b >> 4]);
        Put4(dst + 3, pal.rgb[b & 15]);
    }
    unsigned b = src[pairs];
    if ((width & 1) == 0) {
        Put4(dst, pal.rgb[b >> 4]);
        dst += 3;
        Put3(dst, pal.rgb[b & 15]);
    } else {
        Put3(dst, pal.rgb[b >> 4]);
    }
}

void Row1(const unsigned char* src, unsigned char* dst, int32_t width, const Palette& pal) {
    int32_t last = width - 1;
    int32_t x = 0;
    for (; x + 8 <= last; x += 8, dst += 24) {   // whole bytes that do not hold the last pixel
        unsigned b = src[x >> 3];
        for (int bit = 0; bit < 8; ++bit) Put4(dst + 3 * bit, pal.rgb[(b >> (7 - bit)) & 1]);
    }
    for (; x < last; ++x, dst += 3) Put4(dst, pal.rgb[(src[x >> 3] >> (7 - (x & 7))) & 1]);
    Put3(dst, pal.rgb[(src[last >> 3] >> (7 - (last & 7))) & 1]);
}

void RowMasked(const unsigned char* src, unsigned char* dst, int32_t width, int bytes, const Channel* ch) {
    for (int32_t x = 0; x < width; ++x, src += bytes, dst += 3) {
        uint32_t v = bytes == 2 ? U16(src) : U32(src);
        dst[0] = ch[0].Of(v);
        dst[1] = ch[1].Of(v);
        dst[2] = ch[2].Of(v);
    }
}

void Row32Default(const unsigned char* src, unsigned char* dst, int32_t width) {
    for (int32_t x = 0; x < width; ++x, src += 4, dst += 3) {
        dst[0] = src[2];
        dst[1] = src[1];
        dst[2] = src[0];
    }
}

// Run-length data into a zero-filled image: pixels the runs skip stay black.
// A run, literal or delta that would leave the image, or data that end before
// the end-of-bitmap mark, makes the file corrupt.
int DecodeRle(const unsigned char* p, size_t size, int bits, int32_t width, int32_t height,
              const Palette& pal, unsigned char* out) {
    size_t pos = 0;
    int32_t x = 0, y = 0;
    size_t rowBytes = size_t(width) * 3;
    for (;;) {
        if (!Within(size, pos, 2)) return 0;
        unsigned count = p[pos], value = p[pos + 1];
        pos += 2;
        if (count > 0) {
            if (y >= height || int32_t(count) > width - x) return 0;
            unsigned char* dst = out + size_t(y) * rowBytes + size_t(x) * 3;
            if (bits == 8) {
                uint32_t c = pal.rgb[value];
                for (unsigned i = 0; i < count; ++i, dst += 3) Put3(dst, c);
            } else {
                uint32_t c[2] = {pal.rgb[value >> 4], pal.rgb[value & 15]};
                for (unsigned i = 0; i < count; ++i, dst += 3) Put3(dst, c[i & 1]);
            }
            x += int32_t(count);
        } else if (value == 0) {   // end of line
            x = 0;
            if (++y > height) return 0;
        } else if (value == 1) {   // end of bitmap
            return 1;
        } else if (value == 2) {   // delta: right and up
            if (!Within(size, pos, 2)) return 0;
            x += p[pos];
            y += p[pos + 1];
            pos += 2;
            if (x > width || y > height) return 0;
        } else {                   // literal pixels, padded to a 16-bit boundary
            unsigned n = value;
            size_t bytes = bits == 8 ? n : (n + 1) / 2;
            size_t padded = (bytes + 1) & ~size_t(1);
            if (!Within(size, pos, padded)) return 0;
            if (y >= height || int32_t(n) > width - x) return 0;
            unsigned char* dst = out + size_t(y) * rowBytes + size_t(x) * 3;
            const unsigned char* src = p + pos;
            if (bits == 8) {
                for (unsigned i = 0; i < n; ++i, dst += 3) Put3(dst, pal.rgb[src[i]]);
            } else {
                for (unsigned i = 0; i < n; ++i, dst += 3)
                    Put3(dst, pal.rgb[(i & 1) ? (src[i >> 1] & 15) : (src[i >> 1] >> 4)]);
            }
            x += int32_t(n);
            pos += padded;
        }
    }
}

int AcceptedFormat(const DibHeader& h) {
    switch (h.compression) {
    case kCompressNone:
        return h.bitCount == 1 || h.bitCount == 4 || h.bitCount == 8 || h.bitCount == 16 ||
               h.bitCount == 24 || h.bitCount == 32;
    case kCompressRle8: return h.bitCount == 8 && h.height > 0;   // RLE is bottom-up only
    case kCompressRle4: return h.bitCount == 4 && h.height > 0;
    case kCompressBitFields:
        return h.headerSize == kInfoHeaderSize && (h.bitCount == 16 || h.bitCount == 32);
    default: return 0;
    }
}

}  // namespace

int BmpPaletteCount(const void* header) {
    uint32_t count = PaletteCount(static_cast<const unsigned char*>(header));
    return count > uint32_t(INT_MAX) ? INT_MAX : int(count);
}

void FreeRgbImage(RgbImage* image) {
    if (!image) return;
    std::free(image->pixels);
    std::free(image);
}

RgbImage* DecodeBmpMemory(const unsigned char* data, size_t size, const char** reason) {
    if (!data) size = 0;

    // File header, when there is one: it only tells where the pixels are.
    size_t headerAt = 0;
    int hasFileHeader = size >= 2 && data[0] == 'B' && data[1] == 'M';
    uint32_t pixelOffset = 0;
    if (hasFileHeader) {
        if (!Within(size, 0, kFileHeaderSize)) return Refuse(reason, kUnknownFormat);
        pixelOffset = U32(data + 10);
        headerAt = kFileHeaderSize;
    }
    if (!Within(size, headerAt, 4)) return Refuse(reason, kUnknownFormat);

    DibHeader h;
    h.headerSize = U32(data + headerAt);
    if (h.headerSize != kCoreHeaderSize && h.headerSize != kInfoHeaderSize) {
        return Refuse(reason, kUnknownFormat);
    }
    // From here on a file too short for what it declares is a conversion error.
    if (!Within(size, headerAt, h.headerSize)) return Refuse(reason, kConversionError);
    const unsigned char* hp = data + headerAt;
    uint32_t paletteCount = PaletteCount(hp);
    size_t entrySize;
    if (h.headerSize == kCoreHeaderSize) {
        h.width = U16(hp + 4);
        h.height = U16(hp + 6);
        h.bitCount = U16(hp + 10);
        h.compression = kCompressNone;
        h.colorsUsed = paletteCount;
        entrySize = 3;
    } else {
        h.width = int32_t(U32(hp + 4));
        h.height = int32_t(U32(hp + 8));
        h.bitCount = U16(hp + 14);
        h.compression = U32(hp + 16);
        h.colorsUsed = U32(hp + 32);
        if (h.colorsUsed == 0) h.colorsUsed = paletteCount;
        entrySize = 4;
    }
    // Planes are not checked: nothing depends on them.

    if (!AcceptedFormat(h) || h.width <= 0 || h.height == 0 || h.height == INT32_MIN) {
        return Refuse(reason, kConversionError);
    }
    int32_t rows = h.height < 0 ? -h.height : h.height;
    if (h.width > kMaxSide || rows > kMaxSide || uint64_t(h.width) * uint64_t(rows) > kMaxPixels) {
        return Refuse(reason, kConversionError);
    }
    // The caps above keep this far from overflow: at most 3 * 2^28 bytes.
    size_t rowBytes = size_t(h.width) * 3;
    size_t outBytes = rowBytes * size_t(rows);
    if (!Affordable(size, uint64_t(outBytes) + sizeof(RgbImage))) return Refuse(reason, kConversionError);

    // Bit-field masks follow the info header, the palette follows them.
    uint64_t paletteAt = uint64_t(headerAt) + h.headerSize;
    Channel channels[3];
    int masked = 0;
    if (h.compression == kCompressBitFields) {
        if (!Within(size, paletteAt, 12)) return Refuse(reason, kConversionError);
        for (int i = 0; i < 3; ++i) {
            if (!channels[i].Set(U32(data + paletteAt + 4 * i))) return Refuse(reason, kConversionError);
        }
        paletteAt += 12;
        masked = 1;
    } else if (h.bitCount == 16 || h.bitCount == 32) {
        int bits = h.bitCount == 16 ? 5 : 8;
        for (int i = 0; i < 3; ++i) channels[i].Set(((1u << bits) - 1) << (bits * (2 - i)));
        masked = h.bitCount == 16;
    }

    // The whole declared palette must lie in the file, even beyond the 256
    // entries an index can reach: without a file header the pixels follow it.
    uint64_t paletteBytes = uint64_t(paletteCount) * entrySize;
    if (!Within(size, paletteAt, paletteBytes)) return Refuse(reason, kConversionError);
    Palette pal;
    std::memset(&pal, 0, sizeof pal);
    uint32_t usable = paletteCount < 256 ? paletteCount : 256;
    for (uint32_t i = 0; i < usable; ++i) {
        const unsigned char* e = data + paletteAt + i * entrySize;
        pal.rgb[i] = uint32_t(e[2]) | (uint32_t(e[1]) << 8) | (uint32_t(e[0]) << 16);
    }
    uint64_t pixelsAt = hasFileHeader ? pixelOffset : paletteAt + paletteBytes;
    if (pixelsAt > size) return Refuse(reason, kConversionError);

    int rle = h.compression == kCompressRle8 || h.compression == kCompressRle4;
    uint64_t stride = (uint64_t(h.width) * h.bitCount + 31) / 32 * 4;
    if (!rle) {
        // Every row but the last with its padding, the last at least to its final pixel.
        uint64_t lastRow = (uint64_t(h.width) * h.bitCount + 7) / 8;
        if (!Within(size, pixelsAt, stride * uint64_t(rows - 1) + lastRow)) {
            return Refuse(reason, kConversionError);
        }
    }

    unsigned char* pixels = static_cast<unsigned char*>(rle ? std::calloc(outBytes, 1) : std::malloc(outBytes));
    if (!pixels) return Refuse(reason, kOutOfMemory);

    if (rle) {
        if (!DecodeRle(data + pixelsAt, size - size_t(pixelsAt), h.bitCount, h.width, rows, pal, pixels)) {
            std::free(pixels);
            return Refuse(reason, kConversionError);
        }
    } else {
        const unsigned char* src = data + pixelsAt;
        for (int32_t r = 0; r < rows; ++r, src += stride) {
            int32_t outRow = h.height > 0 ? r : rows - 1 - r;
            unsigned char* dst = pixels + size_t(outRow) * rowBytes;
            switch (h.bitCount) {
            case 1: Row1(src, dst, h.width, pal); break;
            case 4: Row4(src, dst, h.width, pal); break;
            case 8: Row8(src, dst, h.width, pal); break;
            case 24: Row24(src, dst, h.width); break;
            default:
                if (masked) RowMasked(src, dst, h.width, h.bitCount / 8, channels);
                else Row32Default(src, dst, h.width);
                break;
            }
        }
    }

    RgbImage* image = static_cast<RgbImage*>(std::malloc(sizeof(RgbImage)));
    if (!image) {
        std::free(pixels);
        return Refuse(reason, kOutOfMemory);
    }
    image->width = h.width;
    image->height = rows;
    image->pixels = pixels;
    return image;
}

RgbImage* MapAndDecodeBmp(const char* path, BmpOpenFailure openFailure) {
    MappedFile file;
    if (!path || !MapFileReadOnly(path, &file)) {
        if (openFailure == BmpOpenFailureSilent) return nullptr;
        // Cut the path rather than the ending, so the text always ends ".\n".
        char text[256];
        const int room = int(sizeof text) - 1 - int(sizeof "Failed to open DIB file " - 1) - 2;
        std::snprintf(text, sizeof text, "Failed to open DIB file %.*s.\n", room, path ? path : "");
        // A translation has room for the whole path.
        const char* shownFormat = Translate("Failed to open DIB file %s.\n");
        char shown[1024];
        if (std::strcmp(shownFormat, "Failed to open DIB file %s.\n") == 0)
            std::snprintf(shown, sizeof shown, "%s", text);
        else
            std::snprintf(shown, sizeof shown, shownFormat, path ? path : "");
        ShowMessageBoxAs("Error", text, Translate("Error"), shown, MessageIconNone);
        return nullptr;
    }
    const char* reason = kConversionError;
    RgbImage* image = DecodeBmpMemory(file.data, file.size, &reason);
    UnmapFile(&file);
    if (!image) Show(reason);
    return image;
}

RgbImage* DecodeBmpFile(const char* path) { return MapAndDecodeBmp(path, BmpOpenFailureShown); }
