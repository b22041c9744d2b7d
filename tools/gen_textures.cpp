// gen_textures: writes the eleven bundled body textures into the folder given
// on the command line: the ten bodies at 256 x 128 (24-bit uncompressed BMP)
// and the sky, 4096 x 2048 8-bit run-length BMP, from the star file (by
// default Data/bright_stars.txt, made by tools/convert_bsc).
//
// Usage: gen_textures [--sky-width N] [--sky-only] <output-folder> [<star-file>]
//
// Every image is an equirectangular map: row 0 is the north pole, the columns
// go once around the sphere. Each texel is shaded from its direction on the
// unit sphere, and all noise is sampled in 3-D at that direction, so the maps
// join without a seam at the 0/360 meridian and do not pinch at the poles.
// Noise and random numbers are our own integer hashes seeded with constants,
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

const int kWidth = 256;
const int kHeight = 128;
const double kPi = 3.14159265358979323846;
const double kDeg = kPi / 180.0;

// ---------------------------------------------------------------- small maths

struct Vec3 {
    double x, y, z;
};

Vec3 Add(Vec3 a, Vec3 b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }
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

// Direction for latitude and longitude in degrees; +y is north.
Vec3 FromLatLon(double latDeg, double lonDeg) {
    double lat = latDeg * kDeg, lon = lonDeg * kDeg;
    return {std::cos(lat) * std::cos(lon), std::sin(lat), std::cos(lat) * std::sin(lon)};
}

// Signed longitude difference folded into (-180, 180], so that shapes placed
// near the meridian wrap around it like everything else.
double LonDelta(double lon, double lon0) {
    double d = std::fmod(lon - lon0, 360.0);
    if (d > 180.0) d -= 360.0;
    if (d <= -180.0) d += 360.0;
    return d;
}

// Colours are kept in 0..255 doubles until the final rounding.
struct Rgb {
    double r, g, b;
};

Rgb Mix(Rgb a, Rgb b, double t) { return {Lerp(a.r, b.r, t), Lerp(a.g, b.g, t), Lerp(a.b, b.b, t)}; }
Rgb Times(Rgb a, double s) { return {a.r * s, a.g * s, a.b * s}; }
Rgb Plus(Rgb a, double s) { return {a.r + s, a.g + s, a.b + s}; }

struct ColourStop {
    double at;
    Rgb colour;
};

// Piecewise-linear colour ramp; stops are in ascending order of `at`.
Rgb Ramp(const ColourStop* stops, int count, double t) {
    if (t <= stops[0].at) return stops[0].colour;
    for (int i = 1; i < count; ++i) {
        if (t <= stops[i].at) {
            double u = (t - stops[i - 1].at) / (stops[i].at - stops[i - 1].at);
            return Mix(stops[i - 1].colour, stops[i].colour, u);
        }
    }
    return stops[count - 1].colour;
}

// As Ramp, but eased in and out between stops: a band given as two stops of
// one colour then meets its neighbours in an S-shaped blend with no crease.
Rgb RampSmooth(const ColourStop* stops, int count, double t) {
    if (t <= stops[0].at) return stops[0].colour;
    for (int i = 1; i < count; ++i) {
        if (t <= stops[i].at) {
            double u = (t - stops[i - 1].at) / (stops[i].at - stops[i - 1].at);
            return Mix(stops[i - 1].colour, stops[i].colour, u * u * (3.0 - 2.0 * u));
        }
    }
    return stops[count - 1].colour;
}

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

double HashUnit(uint32_t h) { return (h >> 8) * (1.0 / 16777216.0); }

// Small generator for placing craters, spots and stars (splitmix64).
class Rng {
public:
    explicit Rng(uint64_t seed) : state_(seed) {}
    uint64_t Next() {
        uint64_t z = (state_ += 0x9e3779b97f4a7c15ULL);
        z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9ULL;
        z = (z ^ (z >> 27)) * 0x94d049bb133111ebULL;
        return z ^ (z >> 31);
    }
    double Uniform() { return (Next() >> 11) * (1.0 / 9007199254740992.0); }
    double Range(double lo, double hi) { return lo + (hi - lo) * Uniform(); }
    // Uniform over the sphere's area: z uniform in [-1, 1] and a uniform angle.
    Vec3 OnSphere() {
        double y = Range(-1.0, 1.0);
        double a = Range(0.0, 2.0 * kPi);
        double r = std::sqrt(1.0 - y * y);
        return {r * std::cos(a), y, r * std::sin(a)};
    }

private:
    uint64_t state_;
};

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

// Distances to the nearest and second nearest of one feature point per unit
// cell: the cells look like convection granules.
void Cellular(Vec3 p, uint32_t seed, double* f1, double* f2) {
    double fx = std::floor(p.x), fy = std::floor(p.y), fz = std::floor(p.z);
    int32_t ix = static_cast<int32_t>(fx), iy = static_cast<int32_t>(fy), iz = static_cast<int32_t>(fz);
    double best = 1e9, second = 1e9;
    for (int dz = -1; dz <= 1; ++dz)
        for (int dy = -1; dy <= 1; ++dy)
            for (int dx = -1; dx <= 1; ++dx) {
                uint32_t h = Hash3(ix + dx, iy + dy, iz + dz, seed);
                Vec3 feature = {fx + dx + HashUnit(h), fy + dy + HashUnit(MixBits(h + 1U)),
                                fz + dz + HashUnit(MixBits(h + 2U))};
                double d = Length(Sub(p, feature));
                if (d < best) {
                    second = best;
                    best = d;
                } else if (d < second) {
                    second = d;
                }
            }
    *f1 = best;
    *f2 = second;
}

// ---------------------------------------------------------------- the image

// One texel's place on the sphere, at the centre of its pixel.
struct Texel {
    Vec3 dir;
    double lat, lon;  // degrees; lat +90 at the top row, lon 0..360
};

Texel TexelAt(int row, int col) {
    Texel t;
    t.lat = 90.0 - (row + 0.5) * 180.0 / kHeight;
    t.lon = (col + 0.5) * 360.0 / kWidth;
    t.dir = FromLatLon(t.lat, t.lon);
    return t;
}

struct Image {
    Rgb px[kHeight][kWidth];  // row 0 = north
};

template <typename Shader>
void Fill(Image* image, Shader shade) {
    for (int row = 0; row < kHeight; ++row)
        for (int col = 0; col < kWidth; ++col) image->px[row][col] = shade(TexelAt(row, col));
}

// One texel's height in degrees of arc; at the equator it is as wide.
const double kTexelDeg = 180.0 / kHeight;

// The bodies are seen magnified, each texel spread over several screen pixels,
// so a texel holds the mean of its whole area (kSub x kSub samples) rather than
// one point: detail finer than a texel fades to its average instead of
// turning into single-texel speckle, and the edges of shapes come out as
// partial blends instead of stair steps.
const int kSub = 4;

template <typename Shader>
void FillSmooth(Image* image, Shader shade) {
    for (int row = 0; row < kHeight; ++row)
        for (int col = 0; col < kWidth; ++col) {
            Rgb sum = {0.0, 0.0, 0.0};
            for (int i = 0; i < kSub; ++i)
                for (int j = 0; j < kSub; ++j) {
                    Texel t;
                    t.lat = 90.0 - (row + (i + 0.5) / kSub) * kTexelDeg;
                    t.lon = (col + (j + 0.5) / kSub) * 360.0 / kWidth;
                    t.dir = FromLatLon(t.lat, t.lon);
                    Rgb c = shade(t);
                    sum = Rgb{sum.r + c.r, sum.g + c.g, sum.b + c.b};
                }
            image->px[row][col] = Times(sum, 1.0 / (kSub * kSub));
        }
}

unsigned char ToByte(double v) { return static_cast<unsigned char>(Clamp(std::floor(v + 0.5), 0.0, 255.0)); }

// Bottom row first, as the writer takes packed RGB; 256 * 3 is a multiple
// of 4, so the stored rows carry no padding.
int WriteBmp(const Image& image, const std::filesystem::path& path) {
    static unsigned char rgb[kWidth * kHeight * 3];
    for (int row = 0; row < kHeight; ++row) {
        const Rgb* src = image.px[kHeight - 1 - row];
        unsigned char* dst = rgb + row * kWidth * 3;
        for (int col = 0; col < kWidth; ++col) {
            dst[3 * col + 0] = ToByte(src[col].r);
            dst[3 * col + 1] = ToByte(src[col].g);
            dst[3 * col + 2] = ToByte(src[col].b);
        }
    }
    return WriteBmpFile(path.string().c_str(), EncodeBmp24(kWidth, kHeight, rgb));
}

// ------------------------------------------------------------- shared features

struct Crater {
    Vec3 centre;
    Vec3 east, north;  // tangent basis at the centre, for the angle of rays
    double radius;     // chord length on the unit sphere, about the angle in radians
    int rayed;         // young craters throw bright rays across older ground
};

std::vector<Crater> MakeCraters(uint64_t seed, int count, double minDeg, double maxDeg, double rayedShare) {
    Rng rng(seed);
    std::vector<Crater> craters;
    craters.reserve(count);
    for (int i = 0; i < count; ++i) {
        Crater c;
        c.centre = rng.OnSphere();
        Vec3 axis = std::fabs(c.centre.y) > 0.99 ? Vec3{1.0, 0.0, 0.0} : Vec3{0.0, 1.0, 0.0};
        c.east = Normalize(Cross(axis, c.centre));
        c.north = Cross(c.centre, c.east);
        // Cubing the uniform number makes small craters far more common than
        // large ones, as on real surfaces.
        double u = rng.Uniform();
        c.radius = minDeg * std::pow(maxDeg / minDeg, u * u * u) * kDeg;
        c.rayed = rng.Uniform() < rayedShare ? 1 : 0;
        craters.push_back(c);
    }
    return craters;
}

// Brightness change from all craters at `p`. Craters are taken oldest first
// and a younger crater's bowl replaces whatever lay there before, so overlaps
// look like impacts on impacts rather than sums of rings. A bowl has a dark
// floor, a wall rising to a bright rim (lit more on its east-facing inner
// side), a faint ejecta apron outside, and, for young craters, rays. Every
// step in the profile is at least a texel and a half wide, so small craters
// become soft dimples with a bright lip rather than hard one-texel rings.
double CraterShade(const std::vector<Crater>& craters, Vec3 p) {
    const double soft = 1.5 * kTexelDeg * kDeg;
    double shade = 0.0;
    for (const Crater& c : craters) {
        double e = std::max(0.1, soft / c.radius);  // edge half-width, in radii
        Vec3 d = Sub(p, c.centre);
        double dist2 = Dot(d, d);
        double reach = (c.rayed ? 5.0 : 1.5 + e) * c.radius;
        if (dist2 > reach * reach) continue;
        double r = std::sqrt(dist2) / c.radius;
        double u = Dot(d, c.east) / c.radius;  // -1 west rim .. +1 east rim
        double inside = 1.0 - SmoothStep(1.0 - e, 1.0 + e, r);
        if (inside > 0.0) {
            double wall = SmoothStep(std::max(0.0, 1.0 - 2.5 * e), 1.0, r);
            double bowl = -12.0 + 36.0 * wall - 14.0 * u * wall;
            if (c.radius > 7.0 * kDeg) bowl += 24.0 * (1.0 - SmoothStep(0.0, 0.25, r));  // central peak
            shade = Lerp(shade, bowl, inside);
        }
        shade += 14.0 * (1.0 - SmoothStep(1.0, 1.5 + e, r)) * (1.0 - inside);
        if (c.rayed) {
            double angle = std::atan2(Dot(d, c.north), Dot(d, c.east));
            // Ray pattern: smooth random values around the circle, sharpened.
            const int kRays = 23;
            uint32_t seed = static_cast<uint32_t>(c.radius * 1e6);
            double k = (angle + kPi) / (2.0 * kPi) * kRays;
            double fk = std::floor(k);
            int32_t i0 = static_cast<int32_t>(fk) % kRays;
            double a0 = HashUnit(Hash3(i0, 0, 0, seed));
            double a1 = HashUnit(Hash3((i0 + 1) % kRays, 0, 0, seed));
            double ray = std::pow(Lerp(a0, a1, Fade(k - fk)), 3.0);
            double fall = Clamp(1.0 - (r - 1.0) / 4.0, 0.0, 1.0);
            shade += 55.0 * ray * fall * fall * SmoothStep(0.8, 1.1, r);
        }
    }
    return shade;
}

// Latitude bent by zonal turbulence: the noise is squeezed along the polar
// axis so that its features stretch east-west like storms in a gas giant's
// jets, and a gentle domain warp curls the band edges into waves. The octaves
// stop while the finest still spans a couple of texels; anything finer only
// adds speckle once the texture is magnified.
double TurbulentLatitude(const Texel& t, double amplitudeDeg, double frequency, double stretch, uint32_t seed) {
    Vec3 p = {t.dir.x * frequency, t.dir.y * frequency * stretch, t.dir.z * frequency};
    Vec3 warp = {Fbm(p, 2, seed + 7U), 0.3 * Fbm(p, 2, seed + 9U), Fbm(p, 2, seed + 11U)};
    double bend = Fbm(Add(p, Scale(warp, 1.2)), 3, seed, 0.55);
    return t.lat + amplitudeDeg * bend;
}

// Distance from the centre of an oval (a spot or storm) in units of its
// half-axes: 1 on its edge. The half-axes are in degrees of arc on the
// surface, so the longitude span is widened by 1/cos(latitude).
double OvalDistance(const Texel& t, double lat0, double lon0, double halfLon, double halfLat) {
    double dx = LonDelta(t.lon, lon0) * std::cos(lat0 * kDeg) / halfLon;
    double dy = (t.lat - lat0) / halfLat;
    return std::sqrt(dx * dx + dy * dy);
}

// ------------------------------------------------------------------ the bodies

void MakeSun(Image* image) {
    // Sunspots at the latitudes where they appear, in both hemispheres.
    struct Spot {
        double lat, lon, size;
    };
    std::vector<Spot> spots;
    Rng rng(0x50a5ULL);
    for (int i = 0; i < 9; ++i) {
        double lat = rng.Range(8.0, 30.0) * (i % 2 ? -1.0 : 1.0);
        spots.push_back({lat, rng.Range(0.0, 360.0), rng.Range(2.2, 4.2)});
    }
    const ColourStop ramp[] = {
        {0.0, {150, 50, 5}}, {0.3, {230, 120, 20}}, {0.55, {252, 185, 50}}, {0.75, {255, 222, 110}}, {1.0, {255, 250, 220}}};
    FillSmooth(image, [&](const Texel& t) {
        double f1, f2;
        // Granules four or five texels across with soft dark lanes: smaller
        // cells shrink to single bright texels that read as noise.
        Cellular(Scale(t.dir, 9.0), 201U, &f1, &f2);
        double granule = SmoothStep(0.0, 0.6, f2 - f1);
        double large = Fbm(Scale(t.dir, 2.5), 3, 202U);
        double v = 0.64 + 0.08 * granule + 0.38 * large;
        for (const Spot& s : spots) {
            double r = OvalDistance(t, s.lat, s.lon, s.size * 2.4, s.size * 2.4);
            if (r >= 2.4) continue;
            double umbra = 1.0 - SmoothStep(0.2, 0.5, r);
            double penumbra = 1.0 - SmoothStep(0.55, 1.05, r);
            // Bright faculae in a ring about the spot.
            double ring = SmoothStep(0.8, 1.2, r) * (1.0 - SmoothStep(1.7, 2.4, r));
            v = v - 0.25 * penumbra - 0.4 * umbra + 0.08 * ring * SmoothStep(0.0, 0.5, Fbm(Scale(t.dir, 7.0), 2, 203U));
        }
        return Ramp(ramp, 5, Clamp(v, 0.0, 1.0));
    });
}

void MakeMercury(Image* image) {
    std::vector<Crater> craters = MakeCraters(0xe4c0ULL, 260, 2.2, 15.0, 0.05);
    FillSmooth(image, [&](const Texel& t) {
        double ground = Fbm(Scale(t.dir, 2.0), 4, 301U) * 1.3;
        double fine = Fbm(Scale(t.dir, 8.0), 2, 302U);
        double plains = SmoothStep(0.0, 0.25, Fbm(Scale(t.dir, 1.3), 3, 303U));  // smoother, darker lava plains
        double v = 128.0 + 45.0 * ground + 10.0 * fine - 18.0 * plains + CraterShade(craters, t.dir) * (1.0 - 0.5 * plains);
        Rgb grey = {v, v * 0.98, v * 0.95};  // a faint warm cast
        return grey;
    });
}

void MakeVenus(Image* image) {
    const ColourStop ramp[] = {{0.0, {190, 156, 98}}, {0.5, {226, 202, 146}}, {1.0, {248, 238, 204}}};
    FillSmooth(image, [&](const Texel& t) {
        // Cloud deck: warped noise, stretched east-west by the fast zonal wind.
        Vec3 p = {t.dir.x * 1.6, t.dir.y * 3.2, t.dir.z * 1.6};
        Vec3 q = {Fbm(p, 3, 401U), Fbm(p, 3, 402U), Fbm(p, 3, 403U)};
        double v = Fbm(Add(p, Scale(q, 2.0)), 4, 404U);
        // A faint wave tied to longitude, a hint of the large dark chevrons
        // that the upper clouds show.
        double chevron = 0.08 * std::cos(3.0 * std::fabs(t.lat) * kDeg + t.lon * 2.0 * kDeg);
        return Ramp(ramp, 3, Clamp(0.5 + 1.0 * v + chevron, 0.0, 1.0));
    });
}

// Earth's land height before the sea level is applied; a large positive
// value is high ground.
double EarthLand(Vec3 dir) {
    // A strong low-frequency term gathers the land into a few large
    // continents; the warped detail gives them ragged coasts.
    Vec3 p = Scale(dir, 1.2);
    Vec3 warp = {Fbm(p, 3, 501U), Fbm(p, 3, 502U), Fbm(p, 3, 503U)};
    return Fbm(Add(p, Scale(warp, 0.7)), 5, 504U, 0.45) + 0.8 * Fbm(Scale(dir, 0.75), 2, 505U);
}

void MakeEarth(Image* image) {
    // The sea level is the value that leaves 30 per cent of the surface
    // (weighted by texel area) above it.
    std::vector<std::pair<double, double>> byValue;
    byValue.reserve(kWidth * kHeight);
    double totalArea = 0.0;
    for (int row = 0; row < kHeight; ++row)
        for (int col = 0; col < kWidth; ++col) {
            Texel t = TexelAt(row, col);
            double area = std::cos(t.lat * kDeg);
            byValue.push_back({EarthLand(t.dir), area});
            totalArea += area;
        }
    std::sort(byValue.begin(), byValue.end());
    double seaLevel = byValue.back().first, above = 0.0;
    for (size_t i = byValue.size(); i-- > 0;) {
        above += byValue[i].second;
        if (above >= 0.30 * totalArea) {
            seaLevel = byValue[i].first;
            break;
        }
    }
    double peak = byValue.back().first;

    FillSmooth(image, [&](const Texel& t) {
        double v = EarthLand(t.dir);
        double absLat = std::fabs(t.lat);
        // Shallow water is paler, blending into the deep blue over a few texels.
        double depth = SmoothStep(0.0, 0.1, seaLevel - v);
        Rgb sea = Mix(Rgb{40, 104, 160}, Rgb{14, 38, 100}, depth);
        double height = Clamp((v - seaLevel) / (peak - seaLevel), 0.0, 1.0);
        // Deserts sit in the dry subtropical belts, forests near the equator
        // and in the temperate zone; moisture noise breaks it up, and the
        // coastal lowlands are wetter.
        double moisture = 0.55 + Fbm(Scale(t.dir, 3.5), 3, 506U) * 1.2 -
                          0.45 * std::exp(-std::pow((absLat - 24.0) / 10.0, 2.0)) +
                          0.25 * (1.0 - SmoothStep(0.0, 0.1, height));
        Rgb forest = {38, 88, 36}, grass = {104, 138, 60}, desert = {206, 178, 120}, tundra = {118, 116, 92};
        Rgb land = Mix(desert, grass, SmoothStep(0.2, 0.45, moisture));
        land = Mix(land, forest, SmoothStep(0.5, 0.75, moisture));
        land = Mix(land, tundra, SmoothStep(52.0, 64.0, absLat));
        land = Mix(land, Rgb{118, 92, 64}, SmoothStep(0.35, 0.7, height));  // mountains
        land = Mix(land, Rgb{236, 236, 240}, SmoothStep(0.86, 0.96, height + absLat / 200.0));  // peaks
        land = Times(land, 0.92 + 0.16 * Fbm(Scale(t.dir, 8.0), 2, 507U));
        // The coast is a blend a texel or two wide, not a hard step.
        Rgb c = Mix(sea, land, SmoothStep(seaLevel - 0.01, seaLevel + 0.01, v));
        double capEdge = 71.0 + 10.0 * Fbm(Scale(t.dir, 4.0), 3, 508U);
        c = Mix(c, Rgb{238, 244, 250}, SmoothStep(capEdge - 2.5, capEdge + 2.5, absLat));
        // Clouds: wet near the equator and in the storm tracks at 40-65
        // degrees, clear over the subtropics; swirled and stretched east-west.
        double wet = 0.5 * std::exp(-std::pow(t.lat / 8.0, 2.0)) +
                     0.55 * std::exp(-std::pow((absLat - 55.0) / 12.0, 2.0)) -
                     0.25 * std::exp(-std::pow((absLat - 25.0) / 8.0, 2.0));
        Vec3 p = {t.dir.x * 3.0, t.dir.y * 4.0, t.dir.z * 3.0};
        Vec3 swirl = {Fbm(p, 2, 509U), Fbm(p, 2, 510U), Fbm(p, 2, 511U)};
        double cloud = Fbm(Add(p, Scale(swirl, 1.5)), 3, 512U) + 0.35 * wet;
        double cover = SmoothStep(0.1, 0.45, cloud) * 0.92;
        return Mix(c, Rgb{250, 250, 252}, cover);
    });
}

void MakeMars(Image* image) {
    std::vector<Crater> craters = MakeCraters(0x3a45ULL, 140, 2.0, 12.0, 0.0);
    FillSmooth(image, [&](const Texel& t) {
        double ground = Fbm(Scale(t.dir, 2.2), 4, 601U);
        Rgb c = Mix(Rgb{170, 86, 48}, Rgb{216, 126, 74}, Clamp(0.5 + 1.3 * ground, 0.0, 1.0));
        // Dark albedo regions, mostly in a band south of the equator, with
        // edges that fade over a few texels.
        Vec3 p = Scale(t.dir, 1.8);
        Vec3 warp = {Fbm(p, 2, 602U), Fbm(p, 2, 603U), Fbm(p, 2, 604U)};
        double dark = Fbm(Add(p, Scale(warp, 0.6)), 4, 605U) + 0.22 * std::exp(-std::pow((t.lat + 12.0) / 22.0, 2.0)) - 0.08;
        c = Mix(c, Rgb{98, 58, 42}, SmoothStep(0.0, 0.28, dark) * 0.8);
        // A long canyon just south of the equator.
        double dLon = LonDelta(t.lon, 290.0);
        if (std::fabs(dLon) < 35.0) {
            double centreLat = -8.0 + 3.0 * std::sin(dLon * 0.08);
            double w = 1.0 - SmoothStep(1.2, 3.8, std::fabs(t.lat - centreLat));
            c = Mix(c, Rgb{90, 50, 36}, w * SmoothStep(35.0, 22.0, std::fabs(dLon)) * 0.75);
        }
        c = Plus(c, 0.3 * CraterShade(craters, t.dir));
        double absLat = std::fabs(t.lat);
        double edge = (t.lat > 0.0 ? 76.0 : 81.0) + 5.0 * Fbm(Scale(t.dir, 5.0), 3, 606U);
        return Mix(c, Rgb{242, 240, 236}, SmoothStep(edge - 2.5, edge + 2.5, absLat));
    });
}

void MakeJupiter(Image* image) {
    // Belts and zones from south to north. A band is a pair of stops of one
    // colour; the gaps of four or five degrees between pairs are the blends,
    // which the turbulence then bends into waves. Zones are cream, belts
    // orange-brown, the polar regions a mottled grey-brown.
    const Rgb zone = {242, 232, 212}, warmZone = {234, 212, 176};
    const ColourStop bands[] = {
        {-90, {118, 112, 106}}, {-66, {140, 130, 118}}, {-58, {156, 142, 124}},                           // south polar
        {-51, {172, 150, 126}}, {-49, {172, 150, 126}},                                                   // SSTB
        {-43, {212, 200, 178}}, {-39, {212, 200, 178}},                                                   // STZ
        {-33, {176, 132, 98}},  {-31, {176, 132, 98}},                                                    // STB
        {-26, zone},            {-22, zone},                                                              // STrZ
        {-18, {166, 102, 66}},  {-13, {188, 130, 90}},  {-9, {158, 96, 60}},                               // SEB
        {-5, warmZone},         {0, {228, 202, 164}},   {5, zone},                                        // EZ
        {9, {148, 86, 54}},     {13, {158, 94, 60}},    {17, {168, 106, 70}},                              // NEB
        {21, zone},             {24, zone},                                                               // NTrZ
        {28, {178, 130, 96}},   {30, {178, 130, 96}},                                                     // NTB
        {34, {214, 200, 176}},  {37, {214, 200, 176}},                                                    // NTZ
        {41, {178, 152, 124}},  {44, {178, 152, 124}},                                                    // NNTB
        {48, {198, 184, 162}},  {50, {198, 184, 162}},                                                    // NNTZ
        {58, {156, 144, 126}},  {66, {140, 130, 118}}, {90, {116, 110, 104}}};                             // north polar
    const int kBands = sizeof bands / sizeof bands[0];
    const double spotLat = -22.0, spotLon = 120.0, spotHalfLon = 12.0, spotHalfLat = 6.0;
    FillSmooth(image, [&](const Texel& t) {
        double r = OvalDistance(t, spotLat, spotLon, spotHalfLon, spotHalfLat);
        double lat = TurbulentLatitude(t, 4.5, 3.0, 1.2, 701U);
        // Bands flow around the spot: pushing latitude away from its centre
        // near it keeps the belts from running through it and leaves the pale
        // hollow it sits in.
        if (r < 2.2) lat += (t.lat - spotLat) * 0.7 * (1.0 - SmoothStep(0.0, 2.2, r));
        Rgb c = RampSmooth(bands, kBands, lat);
        // Faint streaks along each band, and a mottled look in the polar regions.
        c = Times(c, 0.95 + 0.12 * Fbm(Vec3{t.dir.x * 4.0, t.dir.y * 10.0, t.dir.z * 4.0}, 2, 702U));
        double polar = SmoothStep(45.0, 65.0, std::fabs(t.lat));
        c = Times(c, 1.0 + polar * 0.2 * Fbm(Scale(t.dir, 6.0), 2, 704U));
        // Dark blue-grey festoons where the north equatorial belt meets the
        // equatorial zone, each trailing a plume down to the south-west.
        for (int i = 0; i < 10; ++i) {
            double lon0 = 18.0 + 36.0 * i;
            double plume = LonDelta(t.lon, lon0) - 2.0 * (t.lat - 6.0);  // slanted axis
            double dx = plume / 8.0;
            double dy = (t.lat - 6.0) / 3.0;
            double fr = std::sqrt(dx * dx + dy * dy);
            if (fr < 1.2) c = Mix(c, Rgb{122, 120, 128}, 0.45 * (1.0 - SmoothStep(0.2, 1.2, fr)));
        }
        if (r < 1.5) {
            // The spot itself: a swirled brick-red core inside a pale collar.
            double dx = LonDelta(t.lon, spotLon) * std::cos(spotLat * kDeg) / spotHalfLon;
            double dy = (t.lat - spotLat) / spotHalfLat;
            double angle = std::atan2(dy, dx) + 2.0 * (1.0 - r);
            double swirl = Fbm(Vec3{r * std::cos(angle) * 2.5, r * std::sin(angle) * 2.5, 0.5}, 2, 703U);
            Rgb core = Mix(Rgb{190, 86, 54}, Rgb{214, 132, 90}, Clamp(0.15 + 0.8 * r + swirl, 0.0, 1.0));
            Rgb collar = {238, 222, 196};
            Rgb storm = Mix(core, collar, SmoothStep(0.7, 1.0, r));
            c = Mix(storm, c, SmoothStep(1.0, 1.5, r));
        }
        // A few white ovals in the south temperate zone.
        for (int i = 0; i < 3; ++i) {
            double ro = OvalDistance(t, -40.0, 220.0 + 45.0 * i, 5.5, 3.5);
            if (ro < 1.2) c = Mix(c, Rgb{246, 242, 232}, 0.85 * (1.0 - SmoothStep(0.3, 1.2, ro)));
        }
        return c;
    });
}

void MakeSaturn(Image* image) {
    const ColourStop bands[] = {
        {-90, {160, 156, 136}}, {-72, {176, 166, 132}}, {-56, {198, 178, 134}}, {-42, {220, 198, 150}},
        {-32, {192, 166, 118}}, {-22, {226, 206, 158}}, {-13, {200, 172, 122}}, {-5, {236, 218, 172}},
        {5, {238, 222, 176}},   {13, {198, 170, 120}},  {22, {228, 208, 162}},  {32, {194, 168, 120}},
        {44, {216, 196, 150}},  {58, {190, 174, 136}},  {74, {166, 162, 140}},  {90, {150, 154, 146}}};
    const int kBands = sizeof bands / sizeof bands[0];
    FillSmooth(image, [&](const Texel& t) {
        double lat = TurbulentLatitude(t, 5.0, 2.0, 3.0, 801U);
        Rgb c = RampSmooth(bands, kBands, lat);
        return Times(c, 0.97 + 0.07 * Fbm(Vec3{t.dir.x * 4.0, t.dir.y * 10.0, t.dir.z * 4.0}, 2, 802U));
    });
}

void MakeUranus(Image* image) {
    FillSmooth(image, [&](const Texel& t) {
        double lat = TurbulentLatitude(t, 3.0, 2.0, 3.0, 901U);
        double bands = 0.5 + 0.5 * std::sin(lat * 9.0 * kDeg);
        Rgb c = Mix(Rgb{158, 212, 222}, Rgb{178, 228, 234}, bands);
        // The sunward pole is a little paler.
        return Mix(c, Rgb{198, 236, 238}, SmoothStep(-50.0, -80.0, t.lat) * 0.6);
    });
}

void MakeNeptune(Image* image) {
    const ColourStop bands[] = {{-90, {44, 74, 170}}, {-65, {36, 62, 160}}, {-50, {60, 96, 200}}, {-30, {52, 88, 196}},
                                {-10, {64, 104, 210}}, {10, {58, 98, 204}}, {30, {48, 82, 190}}, {55, {56, 92, 196}},
                                {90, {42, 70, 166}}};
    FillSmooth(image, [&](const Texel& t) {
        double lat = TurbulentLatitude(t, 8.0, 2.5, 2.5, 1001U);
        Rgb c = RampSmooth(bands, 9, lat);
        c = Times(c, 0.93 + 0.14 * Fbm(Vec3{t.dir.x * 4.0, t.dir.y * 10.0, t.dir.z * 4.0}, 2, 1002U));
        double r = OvalDistance(t, -22.0, 200.0, 13.0, 6.0);
        c = Mix(Rgb{26, 42, 122}, c, SmoothStep(0.45, 1.1, r));
        // Bright high cirrus: east-west streaks a few texels tall at a few
        // latitudes, and one riding just south of the dark spot.
        double streak = Fbm(Vec3{t.dir.x * 2.5, t.dir.y * 10.0, t.dir.z * 2.5}, 2, 1003U);
        double belt = std::exp(-std::pow((lat + 42.0) / 6.0, 2.0)) + std::exp(-std::pow((lat - 28.0) / 5.0, 2.0)) +
                      std::exp(-std::pow((lat + 68.0) / 4.5, 2.0));
        double ro = OvalDistance(t, -31.0, 206.0, 12.0, 3.0);
        double white = SmoothStep(0.0, 0.35, streak) * belt + 0.8 * (1.0 - SmoothStep(0.2, 1.1, ro));
        return Mix(c, Rgb{235, 240, 250}, Clamp(white, 0.0, 0.9));
    });
}

void MakePluto(Image* image) {
    std::vector<Crater> craters = MakeCraters(0x9a1dULL, 80, 2.2, 9.0, 0.0);
    FillSmooth(image, [&](const Texel& t) {
        double ground = Fbm(Scale(t.dir, 2.5), 4, 1101U);
        Rgb c = Mix(Rgb{160, 126, 96}, Rgb{205, 178, 142}, Clamp(0.5 + 1.4 * ground, 0.0, 1.0));
        // Dark reddish-brown lands in a belt along the equator.
        double dark = Fbm(Scale(t.dir, 1.6), 4, 1102U) + 0.3 * std::exp(-std::pow((t.lat + 5.0) / 18.0, 2.0)) - 0.12;
        c = Mix(c, Rgb{118, 74, 54}, SmoothStep(-0.03, 0.25, dark) * 0.85);
        // The pale heart: the implicit curve (u^2 + v^2 - 1)^3 - u^2 v^3 <= 0,
        // with a gently wavy, soft edge.
        double u = LonDelta(t.lon, 180.0) * std::cos(15.0 * kDeg) / 26.0;
        double v = (t.lat - 18.0) / 24.0 + 0.1;
        double edgeNoise = 0.3 * Fbm(Scale(t.dir, 4.0), 3, 1103U);
        double h = std::pow(u * u + v * v - 1.0, 3.0) - u * u * v * v * v + edgeNoise;
        double heart = 1.0 - SmoothStep(-0.12, 0.12, h);
        c = Mix(c, Rgb{232, 220, 200}, heart * (0.8 + 0.2 * SmoothStep(0.0, 0.3, -u)));  // brightest in the west lobe
        // A yellowish-dark cap about the north pole.
        c = Mix(c, Rgb{150, 128, 96}, SmoothStep(58.0, 75.0, t.lat) * 0.5);
        // The heart is a young ice plain: no craters show on it.
        return Plus(c, 0.4 * (1.0 - heart) * CraterShade(craters, t.dir));
    });
}

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

struct Output {
    const char* name;
    void (*make)(Image*);
};

const Output kOutputs[] = {
    {"0Sun.bmp", MakeSun},         {"1Mercury.bmp", MakeMercury}, {"2Venus.bmp", MakeVenus},
    {"3Earth.bmp", MakeEarth},     {"4Mars.bmp", MakeMars},       {"5Jupiter.bmp", MakeJupiter},
    {"6Saturn.bmp", MakeSaturn},   {"7Uran.bmp", MakeUranus},     {"8Neptun.bmp", MakeNeptune},
    {"9Pluto.bmp", MakePluto},
};

}  // namespace

int main(int argc, char** argv) {
    // --sky-width makes other sizes of the sky for the benchmark that chose
    // this one (bench/bench_sky.sh); --sky-only leaves out the ten bodies,
    // for the test that the sky in Data/ is what this tool makes.
    int skyWidth = kSkyWidth;
    bool skyOnly = false;
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
        } else if (argc > first && std::strcmp(argv[first], "--sky-only") == 0) {
            skyOnly = true;
            first += 1;
        } else {
            break;
        }
    }
    if (argc - first != 1 && argc - first != 2) {
        std::fprintf(stderr, "usage: %s [--sky-width N] [--sky-only] <output-folder> [<star-file>]\n",
                     argc > 0 ? argv[0] : "gen_textures");
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
    static Image image;
    for (const Output& out : kOutputs) {
        if (skyOnly) break;
        out.make(&image);
        std::filesystem::path path = folder / out.name;
        if (!WriteBmp(image, path)) {
            std::fprintf(stderr, "cannot write %s\n", path.string().c_str());
            return 1;
        }
    }
    return 0;
}
