// The one BMP writer of the project. Fields go out little-endian byte by byte,
// so the result is the same on any host.
#include "core/gfx/BmpWriter.h"

#include <cstdio>

namespace {

const uint32_t kFileHeaderSize = 14;
const uint32_t kCoreHeaderSize = 12;
const uint32_t kInfoHeaderSize = 40;
const uint32_t kLongestHeaderSize = 124;

}  // namespace

void AppendLe16(std::string& s, uint32_t v) {
    s += char(v & 0xff);
    s += char((v >> 8) & 0xff);
}

void AppendLe32(std::string& s, uint32_t v) {
    AppendLe16(s, v & 0xffff);
    AppendLe16(s, v >> 16);
}

std::string EncodeBmp(const BmpFields& f, const std::string& payload) {
    const bool core = f.headerSize == kCoreHeaderSize;

    std::string body;   // everything after the file header and before the payload
    AppendLe32(body, f.headerSize);
    if (core) {
        AppendLe16(body, uint32_t(f.width));
        AppendLe16(body, uint32_t(f.height));
        AppendLe16(body, f.planes);
        AppendLe16(body, f.bits);
    } else {
        AppendLe32(body, uint32_t(f.width));
        AppendLe32(body, uint32_t(f.height));
        AppendLe16(body, f.planes);
        AppendLe16(body, f.bits);
        AppendLe32(body, f.compression);
        AppendLe32(body, f.imageSize.value_or(uint32_t(payload.size())));
        AppendLe32(body, uint32_t(f.xPixelsPerMetre));
        AppendLe32(body, uint32_t(f.yPixelsPerMetre));
        AppendLe32(body, f.coloursUsed);
        AppendLe32(body, f.coloursImportant);
    }
    uint32_t headerBytes = core ? kCoreHeaderSize
                           : f.headerSize >= kInfoHeaderSize && f.headerSize <= kLongestHeaderSize
                               ? f.headerSize
                               : kInfoHeaderSize;
    body.resize(f.headerBytes.value_or(headerBytes), '\0');

    for (uint32_t m : f.masks) AppendLe32(body, m);
    for (uint32_t c : f.palette) {
        body += char(c & 0xff);
        body += char((c >> 8) & 0xff);
        body += char((c >> 16) & 0xff);
        if (!core) body += '\0';
    }
    body += f.gap;

    std::string file;
    if (f.fileHeader) {
        // Lengths past 4 GiB cannot be told in the fields; they wrap as in any 32-bit writer.
        uint32_t offset = uint32_t(kFileHeaderSize + body.size());
        file.reserve(kFileHeaderSize + body.size() + payload.size());
        file += "BM";
        AppendLe32(file, f.fileSize.value_or(uint32_t(offset + payload.size())));
        AppendLe32(file, f.reserved);
        AppendLe32(file, f.pixelOffset.value_or(offset));
    }
    file += body;
    file += payload;
    return file;
}

std::string BmpRows24(int32_t width, int32_t height, const unsigned char* rgb) {
    std::string rows;
    if (width <= 0 || height <= 0 || !rgb) return rows;
    const size_t rowBytes = size_t(width) * 3;
    const size_t stride = (rowBytes + 3) & ~size_t(3);
    rows.assign(stride * size_t(height), '\0');
    for (size_t y = 0; y < size_t(height); ++y) {
        const unsigned char* src = rgb + y * rowBytes;
        char* dst = &rows[y * stride];
        for (size_t x = 0; x < rowBytes; x += 3) {
            dst[x] = char(src[x + 2]);
            dst[x + 1] = char(src[x + 1]);
            dst[x + 2] = char(src[x]);
        }
    }
    return rows;
}

std::string EncodeBmp24(int32_t width, int32_t height, const unsigned char* rgb) {
    BmpFields f;
    f.width = width;
    f.height = height;
    return EncodeBmp(f, BmpRows24(width, height, rgb));
}

int WriteBmpFile(const char* path, const std::string& bytes) {
    if (!path) return 0;
    FILE* out = std::fopen(path, "wb");
    if (!out) return 0;
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), out) == bytes.size();
    const bool closed = std::fclose(out) == 0;
    return written && closed ? 1 : 0;
}
