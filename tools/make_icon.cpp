// Makes the desktop icon: our own Earth texture wrapped on a lit sphere, seen
// from the front, written as an RGBA PNG with a transparent background.
// Usage: make_icon <earth.bmp> <size> <out.png>
// The PNG is stored uncompressed (deflate "stored" blocks) so the tool needs no
// zlib; an icon of 128 x 128 is 64 KiB that way, which is fine for a file made
// once and committed. Not installed; packaging/ holds its output.
#include "core/gfx/Bmp.h"
#include "platform/Platform.h"

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

const double kPi = 3.14159265358979323846;

uint32_t Crc32(const unsigned char* data, size_t size, uint32_t crc) {
    static uint32_t table[256];
    static int ready = 0;
    if (!ready) {
        for (uint32_t n = 0; n < 256; ++n) {
            uint32_t c = n;
            for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            table[n] = c;
        }
        ready = 1;
    }
    crc = ~crc;
    for (size_t i = 0; i < size; ++i) crc = table[(crc ^ data[i]) & 0xFF] ^ (crc >> 8);
    return ~crc;
}

void PutBe32(std::vector<unsigned char>& out, uint32_t v) {
    out.push_back(static_cast<unsigned char>(v >> 24));
    out.push_back(static_cast<unsigned char>(v >> 16));
    out.push_back(static_cast<unsigned char>(v >> 8));
    out.push_back(static_cast<unsigned char>(v));
}

void PutChunk(std::vector<unsigned char>& out, const char type[4], const std::vector<unsigned char>& body) {
    PutBe32(out, static_cast<uint32_t>(body.size()));
    size_t start = out.size();
    out.insert(out.end(), type, type + 4);
    out.insert(out.end(), body.begin(), body.end());
    PutBe32(out, Crc32(&out[start], out.size() - start, 0));
}

// `rgba` holds rows top first, as PNG wants them.
int WritePng(const char* path, int size, const std::vector<unsigned char>& rgba) {
    std::vector<unsigned char> raw;  // filter byte 0 ("none") before each row
    for (int y = 0; y < size; ++y) {
        raw.push_back(0);
        raw.insert(raw.end(), rgba.begin() + static_cast<size_t>(y) * size * 4,
                   rgba.begin() + static_cast<size_t>(y + 1) * size * 4);
    }
    std::vector<unsigned char> z = {0x78, 0x01};
    uint32_t a = 1, b = 0;
    for (unsigned char c : raw) {
        a = (a + c) % 65521u;
        b = (b + a) % 65521u;
    }
    for (size_t pos = 0; pos < raw.size() || pos == 0;) {
        size_t n = raw.size() - pos;
        if (n > 65535) n = 65535;
        int last = pos + n == raw.size();
        z.push_back(static_cast<unsigned char>(last));
        z.push_back(static_cast<unsigned char>(n & 0xFF));
        z.push_back(static_cast<unsigned char>(n >> 8));
        z.push_back(static_cast<unsigned char>(~n & 0xFF));
        z.push_back(static_cast<unsigned char>((~n >> 8) & 0xFF));
        z.insert(z.end(), raw.begin() + pos, raw.begin() + pos + n);
        pos += n;
        if (last) break;
    }
    PutBe32(z, (b << 16) | a);

    std::vector<unsigned char> header;
    PutBe32(header, static_cast<uint32_t>(size));
    PutBe32(header, static_cast<uint32_t>(size));
    const unsigned char rest[5] = {8, 6, 0, 0, 0};  // 8 bits, RGBA, deflate, adaptive, no interlace
    header.insert(header.end(), rest, rest + 5);

    static const unsigned char kSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    std::vector<unsigned char> png(kSignature, kSignature + 8);
    PutChunk(png, "IHDR", header);
    PutChunk(png, "IDAT", z);
    PutChunk(png, "IEND", {});

    FILE* f = std::fopen(path, "wb");
    if (!f) return 0;
    int ok = std::fwrite(png.data(), 1, png.size(), f) == png.size();
    if (std::fclose(f) != 0) ok = 0;
    return ok;
}

// Bilinear lookup in the equirectangular texture; u wraps (longitude), v is
// clamped (latitude, 0 at the south pole, matching the bottom-first rows).
void Sample(const RgbImage& img, double u, double v, double out[3]) {
    double x = u * img.width - 0.5, y = v * img.height - 0.5;
    double fx = std::floor(x), fy = std::floor(y);
    double tx = x - fx, ty = y - fy;
    int x0 = static_cast<int>(fx), y0 = static_cast<int>(fy);
    for (int c = 0; c < 3; ++c) out[c] = 0.0;
    for (int j = 0; j < 2; ++j) {
        int yy = y0 + j;
        if (yy < 0) yy = 0;
        if (yy >= img.height) yy = img.height - 1;
        for (int i = 0; i < 2; ++i) {
            int xx = ((x0 + i) % img.width + img.width) % img.width;
            double w = (i ? tx : 1.0 - tx) * (j ? ty : 1.0 - ty);
            const unsigned char* p = img.pixels + (static_cast<size_t>(yy) * img.width + xx) * 3;
            for (int c = 0; c < 3; ++c) out[c] += w * p[c];
        }
    }
}

// One sample of the sphere at view position (x, y) in [-1, 1], y up. Returns 0
// off the disc. The globe is tilted towards the viewer like a desk globe and
// lit from the upper left, so the terminator gives it depth at small sizes.
int ShadeSphere(const RgbImage& img, double x, double y, double rgb[3]) {
    double r2 = x * x + y * y;
    if (r2 > 1.0) return 0;
    double z = std::sqrt(1.0 - r2);
    const double tilt = 23.4 * kPi / 180.0, turn = 100.0 * kPi / 180.0;
    // Undo the tilt (about the view x axis) to get the point in globe space.
    double gy = y * std::cos(tilt) - z * std::sin(tilt);
    double gz = y * std::sin(tilt) + z * std::cos(tilt);
    double lon = std::atan2(x, gz) + turn;
    double lat = std::asin(gy < -1.0 ? -1.0 : (gy > 1.0 ? 1.0 : gy));
    double u = lon / (2.0 * kPi);
    u -= std::floor(u);
    Sample(img, u, lat / kPi + 0.5, rgb);

    const double lx = -0.55, ly = 0.5, lz = 0.67;  // about unit length
    double lambert = x * lx + y * ly + z * lz;
    if (lambert < 0.0) lambert = 0.0;
    double light = 0.18 + 1.0 * lambert;
    // A thin blue rim: the atmosphere seen edge-on.
    double rim = std::pow(1.0 - z, 3.0) * 0.8;
    const double air[3] = {110.0, 160.0, 255.0};
    for (int c = 0; c < 3; ++c) {
        double v = rgb[c] * light * (1.0 - rim) + air[c] * rim * (0.3 + 0.7 * lambert);
        rgb[c] = v > 255.0 ? 255.0 : v;
    }
    return 1;
}

}  // namespace

int main(int argc, char* argv[]) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: make_icon <earth.bmp> <size> <out.png>\n");
        return 2;
    }
    char* end = nullptr;
    long size = std::strtol(argv[2], &end, 10);
    if (*end != '\0' || size < 16 || size > 1024) {
        std::fprintf(stderr, "make_icon: size must be 16 to 1024, got '%s'\n", argv[2]);
        return 2;
    }
    // A build step reports on standard error; a message box could wait for
    // someone who is not there.
    MappedFile file;
    if (!MapFileReadOnly(argv[1], &file)) {
        std::fprintf(stderr, "make_icon: cannot read %s\n", argv[1]);
        return 1;
    }
    const char* reason = "";
    RgbImage* img = DecodeBmpMemory(file.data, file.size, &reason);
    UnmapFile(&file);
    if (!img) {
        std::fprintf(stderr, "make_icon: %s: %s\n", argv[1], reason);
        return 1;
    }
    const int n = static_cast<int>(size);
    const int ss = 4;  // 4 x 4 samples per pixel give the disc a smooth edge
    const double margin = 1.0 / 32.0;  // hicolor icons leave a little room around the art
    std::vector<unsigned char> rgba(static_cast<size_t>(n) * n * 4, 0);
    for (int py = 0; py < n; ++py) {
        for (int px = 0; px < n; ++px) {
            double sum[3] = {0, 0, 0};
            int hits = 0;
            for (int sy = 0; sy < ss; ++sy) {
                for (int sx = 0; sx < ss; ++sx) {
                    double fx = (px + (sx + 0.5) / ss) / n * 2.0 - 1.0;
                    double fy = 1.0 - (py + (sy + 0.5) / ss) / n * 2.0;
                    double rgb[3];
                    if (!ShadeSphere(*img, fx / (1.0 - margin), fy / (1.0 - margin), rgb)) continue;
                    for (int c = 0; c < 3; ++c) sum[c] += rgb[c];
                    ++hits;
                }
            }
            if (!hits) continue;
            unsigned char* out = &rgba[(static_cast<size_t>(py) * n + px) * 4];
            // Colour averaged over the covered samples only: straight (not
            // premultiplied) alpha, as PNG stores it.
            for (int c = 0; c < 3; ++c) out[c] = static_cast<unsigned char>(sum[c] / hits + 0.5);
            out[3] = static_cast<unsigned char>(255.0 * hits / (ss * ss) + 0.5);
        }
    }
    FreeRgbImage(img);
    if (!WritePng(argv[3], n, rgba)) {
        std::fprintf(stderr, "make_icon: cannot write %s\n", argv[3]);
        return 1;
    }
    return 0;
}
