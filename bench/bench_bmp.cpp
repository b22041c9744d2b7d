// Decoding speed of our BMP decoder against stb_image, SDL_LoadBMP (plus the
// conversion to packed 24-bit RGB that we would need after it) and the floor:
// mapping the file and copying its pixel bytes into a fresh buffer.
// 4096 x 2048 images at 24, 8, 4 and 1 bits and RLE8, written to a temp folder.
// Each round runs every contender once in turn; the median round counts.
// All rates are megabytes of RGB output per second, the floor's too, so that
// "ours/flr" is a ratio of times. The floor of a paletted file copies fewer bytes.
#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include <SDL.h>
#include <unistd.h>

#define STB_IMAGE_IMPLEMENTATION
#define STBI_ONLY_BMP
#include <stb/stb_image.h>

#include "core/gfx/Bmp.h"
#include "core/gfx/BmpWriter.h"
#include "platform/Platform.h"

namespace {

const int kWidth = 4096;
const int kHeight = 2048;
const int kRounds = 9;

uint32_t Noise(uint32_t x) {
    x ^= x >> 16;
    x *= 0x7feb352d;
    x ^= x >> 15;
    x *= 0x846ca68b;
    return x ^ (x >> 16);
}

// A file with the 14-byte file header and the info header.
std::string MakeFile(int bits, int compression) {
    int colours = bits <= 8 ? 1 << bits : 0;
    std::string pixels;
    if (compression == 1) {
        // Runs of varied length and literals, the mix an image editor writes.
        for (int y = 0; y < kHeight; ++y) {
            int x = 0;
            while (x < kWidth) {
                uint32_t r = Noise(uint32_t(y * kWidth + x));
                int n = std::min(kWidth - x, int(3 + r % 60));
                if (r & 0x100000) {
                    pixels += char(n);
                    pixels += char(r >> 8);
                } else {
                    pixels += char(0);
                    pixels += char(n);
                    for (int i = 0; i < n; ++i) pixels += char(Noise(r + i));
                    if (n & 1) pixels += char(0);
                }
                x += n;
            }
            pixels += char(0);
            pixels += char(0);
        }
        pixels += char(0);
        pixels += char(1);
    } else {
        size_t stride = (size_t(kWidth) * bits + 31) / 32 * 4;
        pixels.resize(stride * kHeight);
        for (size_t i = 0; i < pixels.size(); ++i) pixels[i] = char(Noise(uint32_t(i)));
    }
    BmpFields fields;
    fields.width = kWidth;
    fields.height = kHeight;
    fields.bits = uint16_t(bits);
    fields.compression = uint32_t(compression);
    for (int i = 0; i < colours; ++i) fields.palette.push_back(Noise(uint32_t(i) + 77) & 0xFFFFFF);
    return EncodeBmp(fields, pixels);
}

double Now() {
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

volatile unsigned g_sink;

double TimeOurs(const char* path) {
    double t = Now();
    RgbImage* image = DecodeBmpFile(path);
    t = Now() - t;
    if (!image) { std::fprintf(stderr, "our decoder refused %s\n", path); std::exit(1); }
    g_sink += image->pixels[size_t(image->width) * image->height * 3 - 1];
    FreeRgbImage(image);
    return t;
}

double TimeStb(const char* path) {
    double t = Now();
    int w, h, n;
    unsigned char* data = stbi_load(path, &w, &h, &n, 3);
    t = Now() - t;
    if (!data) { std::fprintf(stderr, "stb_image refused %s\n", path); std::exit(1); }
    g_sink += data[size_t(w) * h * 3 - 1];
    stbi_image_free(data);
    return t;
}

double TimeSdl(const char* path) {
    double t = Now();
    SDL_Surface* loaded = SDL_LoadBMP(path);
    SDL_Surface* rgb = nullptr;
    if (loaded) {
        SDL_PixelFormat format;
        std::memset(&format, 0, sizeof format);
        format.BitsPerPixel = 24;
        format.BytesPerPixel = 3;
        format.Rmask = 0x0000FF;   // bytes R, G, B in memory on a little-endian host
        format.Gmask = 0x00FF00;
        format.Bmask = 0xFF0000;
        format.Gshift = 8;
        format.Bshift = 16;
        rgb = SDL_ConvertSurface(loaded, &format, SDL_SWSURFACE);
    }
    t = Now() - t;
    if (!rgb) { std::fprintf(stderr, "SDL refused %s: %s\n", path, SDL_GetError()); std::exit(1); }
    g_sink += static_cast<unsigned char*>(rgb->pixels)[0];
    SDL_FreeSurface(rgb);
    SDL_FreeSurface(loaded);
    return t;
}

// What any decoder must at least do: map the file, copy the pixel bytes out.
double TimeFloor(const char* path) {
    double t = Now();
    MappedFile file;
    if (!MapFileReadOnly(path, &file)) { std::fprintf(stderr, "cannot map %s\n", path); std::exit(1); }
    uint32_t offset;
    std::memcpy(&offset, file.data + 10, 4);
    size_t bytes = file.size - offset;
    unsigned char* copy = static_cast<unsigned char*>(std::malloc(bytes));
    std::memcpy(copy, file.data + offset, bytes);
    UnmapFile(&file);
    t = Now() - t;
    g_sink += copy[bytes - 1];
    std::free(copy);
    return t;
}

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

}  // namespace

int main() {
    char dirTemplate[] = "/tmp/orrery-bench-bmp.XXXXXX";
    if (!mkdtemp(dirTemplate)) { std::perror("mkdtemp"); return 1; }
    std::string dir = dirTemplate;
    struct Case { const char* name; int bits; int compression; };
    const Case cases[] = {{"24-bit", 24, 0}, {"8-bit", 8, 0}, {"4-bit", 4, 0}, {"1-bit", 1, 0}, {"RLE8", 8, 1}};
    double outMb = double(kWidth) * kHeight * 3 / 1e6;
    std::printf("%dx%d, median of %d rounds after one warm-up; MB/s of RGB output\n", kWidth, kHeight, kRounds);
    std::printf("%-7s %10s %10s %10s %10s   %-9s %-9s %-9s\n", "image", "floor", "ours", "stb", "SDL",
                "ours/flr", "stb/ours", "SDL/ours");
    for (const Case& c : cases) {
        std::string path = dir + "/" + c.name + ".bmp";
        std::string bytes = MakeFile(c.bits, c.compression);
        if (!WriteBmpFile(path.c_str(), bytes)) { std::perror(path.c_str()); return 1; }
        // Who goes first rotates from round to round, so that no contender
        // always inherits the allocator's or the page cache's state from the same one.
        std::vector<double> times[4];
        int rle = c.compression != 0;   // stb_image has no RLE
        for (int round = 0; round <= kRounds; ++round) {
            for (int k = 0; k < 4; ++k) {
                int who = (round + k) % 4;
                double t = 0;
                switch (who) {
                case 0: t = TimeFloor(path.c_str()); break;
                case 1: t = TimeOurs(path.c_str()); break;
                case 2: t = rle ? 0 : TimeStb(path.c_str()); break;
                default: t = TimeSdl(path.c_str()); break;
                }
                if (round > 0) times[who].push_back(t);   // round 0 warms up
            }
        }
        std::vector<double>&floor = times[0], &ours = times[1], &stb = times[2], &sdl = times[3];
        double mf = Median(floor), mo = Median(ours), ms = Median(stb), md = Median(sdl);
        if (rle)
            std::printf("%-7s %10.0f %10.0f %10s %10.0f   %-9.2f %-9s %-9.2f\n", c.name, outMb / mf, outMb / mo, "-",
                        outMb / md, mo / mf, "-", md / mo);
        else
            std::printf("%-7s %10.0f %10.0f %10.0f %10.0f   %-9.2f %-9.2f %-9.2f\n", c.name, outMb / mf, outMb / mo,
                        outMb / ms, outMb / md, mo / mf, ms / mo, md / mo);
        std::remove(path.c_str());
    }
    rmdir(dir.c_str());
    return 0;
}
