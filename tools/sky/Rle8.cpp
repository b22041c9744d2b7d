#include "tools/sky/Rle8.h"

#include "core/gfx/BmpWriter.h"

namespace {

// Length of the run of equal indices at x, at most 255.
int RunAt(const unsigned char* row, int x, int width) {
    int n = 1;
    while (x + n < width && n < 255 && row[x + n] == row[x]) ++n;
    return n;
}

}  // namespace

std::string EncodeRle8Rows(int width, int height, const unsigned char* indices) {
    std::string out;
    if (width <= 0 || height <= 0 || !indices) return out;
    for (int y = 0; y < height; ++y) {
        const unsigned char* row = indices + static_cast<size_t>(y) * width;
        int x = 0;
        while (x < width) {
            int run = RunAt(row, x, width);
            if (run >= 3) {
                out += char(run);
                out += char(row[x]);
                x += run;
                continue;
            }
            // A literal stretch (3 to 255 indices) up to where a run of three
            // or more begins; shorter ones go out as runs of one or two.
            int n = 0;
            while (x + n < width && n < 255 && RunAt(row, x + n, width) < 3) ++n;
            if (n < 3) {
                out += char(run);
                out += char(row[x]);
                x += run;
                continue;
            }
            out += char(0);
            out += char(n);
            out.append(reinterpret_cast<const char*>(row + x), static_cast<size_t>(n));
            if (n & 1) out += char(0);  // literals end on a 16-bit boundary
            x += n;
        }
        out += char(0);
        out += char(0);
    }
    out += char(0);
    out += char(1);
    return out;
}

std::string EncodeRle8Bmp(int width, int height, const unsigned char* indices, const uint32_t* palette,
                          int paletteCount) {
    if (width <= 0 || height <= 0 || !indices || !palette || paletteCount < 1 || paletteCount > 256) return "";
    BmpFields f;
    f.width = width;
    f.height = height;
    f.bits = 8;
    f.compression = 1;
    f.coloursUsed = static_cast<uint32_t>(paletteCount);
    f.palette.assign(palette, palette + paletteCount);
    return EncodeBmp(f, EncodeRle8Rows(width, height, indices));
}
