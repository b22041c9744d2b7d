// gen_sky: writes the sky sphere's texture, Spacea.bmp, into the folder given
// on the command line: 4096 x 2048 texels, an 8-bit run-length BMP, from the
// star file (by default Data/bright_stars.txt, made by tools/convert_bsc).
// The bodies' maps are not made here: tools/make_textures.sh converts them
// from published maps.
//
// Usage: gen_sky [--sky-width N] <output-folder> [<star-file>]
//
// The image is an equirectangular map as GL lays it on the sky sphere. The
// Milky Way's noise is sampled in 3-D at each direction, so the map joins
// without a seam; the noise is our own integer hashes seeded with constants,
// so the same bytes come out on every run; nothing but the star file is read.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <system_error>
#include <vector>

#include "core/gfx/BmpWriter.h"
#include "tools/sky/Rle8.h"
#include "tools/sky/SkySphere.h"
#include "tools/sky/StarCatalogue.h"

namespace {

const double kPi = 3.14159265358979323846;
const double kDeg = kPi / 180.0;

// ---------------------------------------------------------------- small maths

struct Vec3 {
    double x, y, z;
};

Vec3 Sub(Vec3 a, Vec3 b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
Vec3 Scale(Vec3 a, double s) { return {a.x * s, a.y * s, a.z * s}; }
double Dot(Vec3 a, Vec3 b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
Vec3 Cross(Vec3 a, Vec3 b) {
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}
double Length(Vec3 a) { return std::sqrt(Dot(a, a)); }
Vec3 Normalize(Vec3 a) { return Scale(a, 1.0 / Length(a)); }

double Clamp(double v, double lo, double hi) { return v < lo ? lo : (v > hi ? hi : v); }
double Lerp(double a, double b, double t) { return a + (b - a) * t; }
double SmoothStep(double e0, double e1, double v) {
    double t = Clamp((v - e0) / (e1 - e0), 0.0, 1.0);
    return t * t * (3.0 - 2.0 * t);
}


// Colours are kept in 0..255 doubles until the final rounding.
struct Rgb {
    double r, g, b;
};


// ------------------------------------------------------- hashing and noise

uint32_t MixBits(uint32_t h) {
    h ^= h >> 16;
    h *= 0x7feb352dU;
    h ^= h >> 15;
    h *= 0x846ca68bU;
    h ^= h >> 16;
    return h;
}

uint32_t Hash3(int32_t x, int32_t y, int32_t z, uint32_t seed) {
    uint32_t h = MixBits(seed ^ 0x9e3779b9U);
    h = MixBits(h ^ (static_cast<uint32_t>(x) * 0x85ebca6bU));
    h = MixBits(h ^ (static_cast<uint32_t>(y) * 0xc2b2ae35U));
    h = MixBits(h ^ (static_cast<uint32_t>(z) * 0x27d4eb2fU));
    return h;
}

double Fade(double t) { return t * t * t * (t * (t * 6.0 - 15.0) + 10.0); }

double Gradient(uint32_t h, double x, double y, double z) {
    // The twelve edge directions of a cube: no axis is favoured.
    switch ((h >> 4) % 12U) {
        case 0: return x + y;
        case 1: return -x + y;
        case 2: return x - y;
        case 3: return -x - y;
        case 4: return x + z;
        case 5: return -x + z;
        case 6: return x - z;
        case 7: return -x - z;
        case 8: return y + z;
        case 9: return -y + z;
        case 10: return y - z;
        default: return -y - z;
    }
}

// Gradient noise in about [-1, 1].
double Noise(Vec3 p, uint32_t seed) {
    double fx = std::floor(p.x), fy = std::floor(p.y), fz = std::floor(p.z);
    int32_t ix = static_cast<int32_t>(fx), iy = static_cast<int32_t>(fy), iz = static_cast<int32_t>(fz);
    double x = p.x - fx, y = p.y - fy, z = p.z - fz;
    double u = Fade(x), v = Fade(y), w = Fade(z);
    double c[2][2][2];
    for (int dz = 0; dz < 2; ++dz)
        for (int dy = 0; dy < 2; ++dy)
            for (int dx = 0; dx < 2; ++dx)
                c[dz][dy][dx] = Gradient(Hash3(ix + dx, iy + dy, iz + dz, seed), x - dx, y - dy, z - dz);
    double x00 = Lerp(c[0][0][0], c[0][0][1], u), x10 = Lerp(c[0][1][0], c[0][1][1], u);
    double x01 = Lerp(c[1][0][0], c[1][0][1], u), x11 = Lerp(c[1][1][0], c[1][1][1], u);
    return Lerp(Lerp(x00, x10, v), Lerp(x01, x11, v), w);
}

// Fractal sum of octaves, normalised by the total amplitude; typically within
// +-0.6. Each octave gets its own seed so the octaves do not line up at 0.
double Fbm(Vec3 p, int octaves, uint32_t seed, double gain = 0.5) {
    double sum = 0.0, amplitude = 1.0, total = 0.0;
    for (int i = 0; i < octaves; ++i) {
        sum += amplitude * Noise(p, seed + 1013U * static_cast<uint32_t>(i));
        total += amplitude;
        amplitude *= gain;
        p = Scale(p, 2.0);
    }
    return sum / total;
}

unsigned char ToByte(double v) { return static_cast<unsigned char>(Clamp(std::floor(v + 0.5), 0.0, 255.0)); }

// -------------------------------------------------------------------- the sky

// The sky sphere is the real night sky: every star of the catalogue at the
// texel GL shows in its direction (tools/sky/SkySphere), on a dark background
// with a faint Milky Way. 4096 x 2048 texels of 0.088 degrees: at 1920 x 1080
// and the 45-degree field of view a texel is two pixels, so a single-texel
// star stays a point however the texture is filtered, while the sky (with
// its mipmaps) still fits the memory it may take; BENCHMARKS.md has the
// figures behind the choice.
const int kSkyWidth = 4096;

// Palette index = brightness level. The dark sky and the Milky Way take the
// lowest levels and get a blue cast that fades out as they brighten; stars
// from about level 40 on are white.
const int kSkyBackground = 4;
const double kMilkyWayPeak = 22.0;
// A star of magnitude 6 lifts its texel this many levels above the dark sky,
// just visible on a dark screen.
const double kMagnitudeSixLift = 26.0;

Rgb SkyLevelColour(int level) {
    double blue = 1.0 - SmoothStep(2.0, 40.0, level);
    return {level * (1.0 - 0.35 * blue), level * (1.0 - 0.2 * blue), level * (1.0 + 0.7 * blue)};
}

double Flux(double magnitude) { return std::pow(10.0, -0.4 * magnitude); }

// Galactic axes in the model's frame: the north galactic pole (RA 192.85948,
// Dec +27.12825, J2000) and, square to it, the direction of the galactic
// centre (RA 266.40499, Dec -28.93617).
struct GalacticFrame {
    Vec3 centre, side, pole;
};

Vec3 FromSky(SkyVec v) { return {v.x, v.y, v.z}; }

GalacticFrame MakeGalacticFrame() {
    GalacticFrame g;
    g.pole = Normalize(FromSky(ModelDirection(192.85948, 27.12825)));
    Vec3 centre = FromSky(ModelDirection(266.40499, -28.93617));
    g.centre = Normalize(Sub(centre, Scale(g.pole, Dot(centre, g.pole))));
    g.side = Cross(g.pole, g.centre);  // galactic longitude 90
    return g;
}

// The Milky Way's light above the dark sky, in levels: a band along the
// galactic equator, wider and brighter towards the centre, with the bulge
// about the centre, patchy star clouds, and the dark rift that splits it from
// Cygnus to Sagittarius.
double MilkyWay(const GalacticFrame& g, Vec3 dir) {
    double b = std::asin(Clamp(Dot(dir, g.pole), -1.0, 1.0)) / kDeg;
    double l = std::atan2(Dot(dir, g.side), Dot(dir, g.centre)) / kDeg;  // -180..180
    double inward = 0.5 * (1.0 + std::cos(l * kDeg));                     // 1 at the centre
    double width = 5.0 + 5.0 * inward * inward;
    double disk = (0.3 + 0.7 * std::pow(inward, 1.5)) * std::exp(-0.5 * (b / width) * (b / width));
    double fromCentre = std::acos(Clamp(Dot(dir, g.centre), -1.0, 1.0)) / kDeg;
    double bulge = 0.55 * std::exp(-0.5 * (fromCentre / 10.0) * (fromCentre / 10.0));
    double clouds = Clamp(0.8 + 1.1 * Fbm(Scale(dir, 5.0), 3, 121U), 0.3, 1.5);
    double riftAlong = SmoothStep(-12.0, -4.0, l) * (1.0 - SmoothStep(55.0, 70.0, l));
    double riftEdge = (b - 1.5 - 1.5 * Fbm(Scale(dir, 9.0), 2, 122U)) / 2.2;
    double rift = 1.0 - 0.7 * riftAlong * std::exp(-0.5 * riftEdge * riftEdge);
    return kMilkyWayPeak * (disk * clouds + bulge) * rift;
}

struct SkyPicture {
    int width, height;                 // height = width / 2
    std::vector<unsigned char> level;  // width x height, bottom row first
    uint32_t palette[256];
};

void MakeSkyPicture(const std::vector<Star>& stars, SkyPicture* sky) {
    const int width = sky->width, height = sky->height;
    const size_t texels = static_cast<size_t>(width) * height;
    // The Milky Way changes over degrees, so it is worked out on every fourth
    // texel of every fourth row and filled in between.
    const int step = 4, nodesX = width / step + 1, nodesY = height / step + 1;
    const GalacticFrame galaxy = MakeGalacticFrame();
    std::vector<float> glow(static_cast<size_t>(nodesX) * nodesY);
    for (int ny = 0; ny < nodesY; ++ny)
        for (int nx = 0; nx < nodesX; ++nx) {
            double s = (nx * step + 0.5) / width;
            double t = std::min((ny * step + 0.5) / height, 1.0);
            glow[static_cast<size_t>(ny) * nodesX + nx] = static_cast<float>(MilkyWay(galaxy, FromSky(SkyDirectionAt(s, t))));
        }

    // Starlight is added up per texel, so that stars closer than a texel
    // shine as the one point they are on the screen.
    std::vector<double> flux(texels, 0.0);
    std::vector<size_t> lit;
    for (const Star& star : stars) {
        double s, t;
        if (!SkyTexCoordAt(StarDirection(star), &s, &t)) continue;
        int col = std::min(static_cast<int>(s * width), width - 1);
        int row = std::min(static_cast<int>(t * height), height - 1);
        size_t at = static_cast<size_t>(row) * width + col;
        if (flux[at] == 0.0) lit.push_back(at);
        flux[at] += Flux(star.magnitude);
    }
    // Levels go with the square root of the flux, from magnitude 6 at its
    // lift up to a knee, above which they bend softly towards the top: the
    // bright stars keep their order and only the brightest texel (Sirius)
    // comes to 255. Stars past the knee (brighter than magnitude 2) also light
    // the texels about them, up to 0.3 of their level beside and 0.12
    // diagonally, so that they look bigger while the part above half their
    // height stays within a texel.
    const double six = Flux(6.0), knee = 160.0;
    const double room = 255.0 - kSkyBackground - knee;
    std::vector<float> lift(texels, 0.0f);
    for (size_t at : lit) {
        double x = kMagnitudeSixLift * std::sqrt(flux[at] / six);
        double level = x <= knee ? x : knee + room * (1.0 - std::exp(-(x - knee) / room));
        lift[at] += static_cast<float>(level);
        double halo = SmoothStep(knee, 2.5 * knee, x) * level;
        if (halo <= 0.0) continue;
        int row = static_cast<int>(at / width), col = static_cast<int>(at % width);
        for (int dr = -1; dr <= 1; ++dr)
            for (int dc = -1; dc <= 1; ++dc) {
                int r = row + dr;
                if ((dr == 0 && dc == 0) || r < 0 || r >= height) continue;
                int c = (col + dc + width) % width;
                double share = dr == 0 || dc == 0 ? 0.3 : 0.12;
                lift[static_cast<size_t>(r) * width + c] += static_cast<float>(share * halo);
            }
    }

    sky->level.assign(texels, 0);
    for (int row = 0; row < height; ++row) {
        int ny = row / step;
        double fy = (row % step) / static_cast<double>(step);
        for (int col = 0; col < width; ++col) {
            int nx = col / step;
            double fx = (col % step) / static_cast<double>(step);
            const float* g = &glow[static_cast<size_t>(ny) * nodesX + nx];
            double mw = Lerp(Lerp(g[0], g[1], fx), Lerp(g[nodesX], g[nodesX + 1], fx), fy);
            size_t at = static_cast<size_t>(row) * width + col;
            sky->level[at] = ToByte(kSkyBackground + mw + lift[at]);
        }
    }
    for (int k = 0; k < 256; ++k) {
        Rgb c = SkyLevelColour(k);
        sky->palette[k] = static_cast<uint32_t>(ToByte(c.r)) << 16 | static_cast<uint32_t>(ToByte(c.g)) << 8 |
                          ToByte(c.b);
    }
}

int WriteSky(const std::vector<Star>& stars, int width, const std::filesystem::path& path) {
    static SkyPicture sky;
    sky.width = width;
    sky.height = width / 2;
    MakeSkyPicture(stars, &sky);
    return WriteBmpFile(path.string().c_str(),
                        EncodeRle8Bmp(sky.width, sky.height, sky.level.data(), sky.palette, 256));
}

}  // namespace

int main(int argc, char** argv) {
    // --sky-width makes other sizes of the sky for the benchmark that chose
    // this one (bench/bench_sky.sh).
    int skyWidth = kSkyWidth;
    int first = 1;
    for (;;) {
        if (argc > first + 1 && std::strcmp(argv[first], "--sky-width") == 0) {
            char* end = nullptr;
            long w = std::strtol(argv[first + 1], &end, 10);
            if (*end != '\0' || w < 16 || w > 16384 || w % 16 != 0) {
                std::fprintf(stderr, "--sky-width: a multiple of 16 from 16 to 16384\n");
                return 2;
            }
            skyWidth = static_cast<int>(w);
            first += 2;
        } else {
            break;
        }
    }
    if (argc - first != 1 && argc - first != 2) {
        std::fprintf(stderr, "usage: %s [--sky-width N] <output-folder> [<star-file>]\n",
                     argc > 0 ? argv[0] : "gen_sky");
        return 2;
    }
    const char* starFile = argc - first == 2 ? argv[first + 1] : "Data/bright_stars.txt";
    std::vector<Star> stars;
    char why[512];
    if (!ReadStarFile(starFile, &stars, why, sizeof why)) {
        std::fprintf(stderr, "%s\n", why);
        return 1;
    }
    std::filesystem::path folder(argv[first]);
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    if (error) {
        std::fprintf(stderr, "cannot create %s: %s\n", argv[first], error.message().c_str());
        return 1;
    }
    if (!WriteSky(stars, skyWidth, folder / "Spacea.bmp")) {
        std::fprintf(stderr, "cannot write %s\n", (folder / "Spacea.bmp").string().c_str());
        return 1;
    }
    return 0;
}
