// bmp_write: writes a BMP file with the header fields given on the command
// line, for shell scripts that need damaged or absurd images.
//
// Usage:
//   bmp_write OUT WIDTH HEIGHT BITS COMPRESSION COLOURS_USED PIXEL_OFFSET HEADER_SIZE [PAYLOAD]
//
//   OUT           the file to write; "-" writes to standard output, so that a
//                 script can append its own pixel bytes: { bmp_write - ...; cat px; } >f
//   WIDTH HEIGHT  the header's width and height; any 32-bit value, signed or not
//   BITS          bits per pixel, 0..65535
//   COMPRESSION   0 none, 1 RLE8, 2 RLE4, 3 bit fields, or any 32-bit value
//   COLOURS_USED  the colours-used field; no palette is written whatever it says
//   PIXEL_OFFSET  the file header's pixel-data offset, or "auto" for where the
//                 payload really begins
//   HEADER_SIZE   the image header's size field. 12 writes the 12-byte core form
//                 (16-bit width and height); 40 to 124 the info fields followed
//                 by zeros up to that size; any other value the 40 info bytes.
//   PAYLOAD       a file whose bytes follow the headers; "-" reads standard input.
//                 Without it the file ends after the headers.
//
// The file header is always written; its file-size field is the length of what
// this tool writes, the image-size field the payload's length, the resolution
// 2835 pixels per metre, planes 1, colours important 0.
//
// Exit status: 0 written, 1 the output or payload could not be written or read,
// 2 bad arguments.
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "core/gfx/BmpWriter.h"

namespace {

const char kUsage[] =
    "usage: bmp_write OUT WIDTH HEIGHT BITS COMPRESSION COLOURS_USED PIXEL_OFFSET HEADER_SIZE [PAYLOAD]\n"
    "  Writes a BMP file with exactly these header fields (no palette), followed by\n"
    "  the bytes of PAYLOAD (\"-\" for standard input). OUT \"-\" is standard output.\n"
    "  WIDTH, HEIGHT, COMPRESSION, COLOURS_USED, PIXEL_OFFSET, HEADER_SIZE: any\n"
    "  32-bit value, signed or unsigned; PIXEL_OFFSET \"auto\" is where the payload\n"
    "  begins. BITS: 0..65535. HEADER_SIZE 12 writes the core form, 40..124 the info\n"
    "  fields padded with zeros to that size, anything else the 40 info bytes.\n";

// A 32-bit field as the shell gives it: -2147483648 .. 4294967295, stored as
// its low 32 bits, so both "-1" and "4294967295" mean all ones.
int ParseField(const char* text, long long low, long long high, uint32_t* out) {
    if (!text || !*text) return 0;
    errno = 0;
    char* end = nullptr;
    long long v = std::strtoll(text, &end, 0);
    if (errno != 0 || *end != '\0' || v < low || v > high) return 0;
    *out = uint32_t(v);
    return 1;
}

int ReadAll(FILE* in, std::string* out) {
    char buffer[65536];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, in)) > 0) out->append(buffer, n);
    return !std::ferror(in);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc > 1 && (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0)) {
        std::fputs(kUsage, stdout);
        return 0;
    }
    if (argc != 9 && argc != 10) {
        std::fputs(kUsage, stderr);
        return 2;
    }

    const long long kLow = -2147483648LL, kHigh = 4294967295LL;
    uint32_t width, height, bits, compression, colours, offset = 0, headerSize;
    const bool autoOffset = std::strcmp(argv[7], "auto") == 0;
    if (!ParseField(argv[2], kLow, kHigh, &width) || !ParseField(argv[3], kLow, kHigh, &height) ||
        !ParseField(argv[4], 0, 65535, &bits) || !ParseField(argv[5], kLow, kHigh, &compression) ||
        !ParseField(argv[6], kLow, kHigh, &colours) ||
        (!autoOffset && !ParseField(argv[7], kLow, kHigh, &offset)) ||
        !ParseField(argv[8], kLow, kHigh, &headerSize)) {
        std::fprintf(stderr, "bmp_write: every field must be a whole number in its range\n%s", kUsage);
        return 2;
    }

    BmpFields fields;
    fields.width = int32_t(width);
    fields.height = int32_t(height);
    fields.bits = uint16_t(bits);
    fields.compression = compression;
    fields.coloursUsed = colours;
    if (!autoOffset) fields.pixelOffset = offset;
    fields.headerSize = headerSize;

    std::string payload;
    if (argc == 10) {
        const bool fromStdin = std::strcmp(argv[9], "-") == 0;
        FILE* in = fromStdin ? stdin : std::fopen(argv[9], "rb");
        int ok = in && ReadAll(in, &payload);
        if (in && !fromStdin) std::fclose(in);
        if (!ok) {
            std::fprintf(stderr, "bmp_write: cannot read %s\n", argv[9]);
            return 1;
        }
    }

    const std::string bytes = EncodeBmp(fields, payload);
    if (std::strcmp(argv[1], "-") == 0) {
        if (std::fwrite(bytes.data(), 1, bytes.size(), stdout) != bytes.size() || std::fflush(stdout) != 0) {
            std::fprintf(stderr, "bmp_write: cannot write to standard output\n");
            return 1;
        }
    } else if (!WriteBmpFile(argv[1], bytes)) {
        std::fprintf(stderr, "bmp_write: cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
