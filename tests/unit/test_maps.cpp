// The bodies' maps as the two texture folders ship them: every file decodes
// with the program's own decoder at the size its folder promises, and the maps
// of the Earth, Mars, Mercury and the Moon follow the published maps they were
// made from. That second check needs the source packages (installed, or left
// unpacked by tools/make_textures.sh) and ImageMagick, and skips without them.
#include <gtest/gtest.h>

#include <dirent.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <set>
#include <string>
#include <vector>

#include "core/gfx/Bmp.h"
#include "support/TestSupport.h"

namespace {

// The tree's Data/, or with ORRERY_MAPS_ROOT another tree's, so that the same
// figures can be taken of older maps (BENCHMARKS.md).
std::string MapsRoot() {
    const char* root = std::getenv("ORRERY_MAPS_ROOT");
    return root && *root ? root : ORRERY_SOURCE_DIR;
}

const char* const kFolders[] = {"Data/planety_256x128x24", "Data/planety_hd"};

struct Size {
    int w, h;
};

// What each folder promises, file by file; {0, 0}: not in that folder.
struct Promise {
    const char* name;
    Size small, hd;
};
const Size kMap = {256, 128}, kMapHd = {512, 256}, kStrip = {256, 4};
const Promise kPromises[] = {
    {"0Sun.bmp", kMap, kMapHd},        {"1Mercury.bmp", kMap, kMapHd},   {"2Venus.bmp", kMap, kMapHd},
    {"3Earth.bmp", kMap, {2048, 1024}}, {"3EarthNight.bmp", kMap, {1024, 512}},
    {"4Mars.bmp", kMap, kMapHd},       {"5Jupiter.bmp", kMap, kMapHd},   {"6Saturn.bmp", kMap, kMapHd},
    {"6SaturnRings.bmp", kStrip, kStrip}, {"6SaturnRingsAlpha.bmp", kStrip, kStrip},
    {"7Uran.bmp", kMap, kMapHd},       {"8Neptun.bmp", kMap, kMapHd},    {"9Pluto.bmp", kMap, kMapHd},
    {"Moon.bmp", kMap, {1024, 512}},   {"Phobos.bmp", kMap, kMapHd},     {"Deimos.bmp", kMap, kMapHd},
    {"Io.bmp", kMap, kMapHd},          {"Europa.bmp", kMap, kMapHd},     {"Ganymede.bmp", kMap, kMapHd},
    {"Callisto.bmp", kMap, kMapHd},    {"Mimas.bmp", kMap, kMapHd},      {"Enceladus.bmp", kMap, kMapHd},
    {"Tethys.bmp", kMap, kMapHd},      {"Dione.bmp", kMap, kMapHd},      {"Rhea.bmp", kMap, kMapHd},
    {"Titan.bmp", kMap, kMapHd},       {"Hyperion.bmp", kMap, kMapHd},   {"Iapetus.bmp", kMap, kMapHd},
    {"Miranda.bmp", kMap, kMapHd},     {"Ariel.bmp", kMap, kMapHd},      {"Umbriel.bmp", kMap, kMapHd},
    {"Titania.bmp", kMap, kMapHd},     {"Oberon.bmp", kMap, kMapHd},     {"Triton.bmp", kMap, kMapHd},
    {"Charon.bmp", kMap, kMapHd},
    // The sky is the star tool's (tools/gen_sky), an 8-bit run-length file.
    {"Spacea.bmp", {4096, 2048}, {0, 0}},
};

// With every hd map loaded and mipmapped the program may take 64 MB more.
const long kHdTexelBudget = 8000000;

std::set<std::string> BmpFilesIn(const std::string& folder) {
    std::set<std::string> names;
    if (DIR* dir = opendir(folder.c_str())) {
        while (dirent* entry = readdir(dir)) {
            std::string name = entry->d_name;
            if (name.size() > 4 && name.compare(name.size() - 4, 4, ".bmp") == 0) names.insert(name);
        }
        closedir(dir);
    }
    return names;
}

unsigned Le(const std::string& bytes, size_t at, int count) {
    unsigned v = 0;
    for (int i = count - 1; i >= 0; --i) v = v << 8 | static_cast<unsigned char>(bytes[at + i]);
    return v;
}

TEST(Maps, EveryFileDecodesAtTheSizeItsFolderPromises) {
    for (int hd = 0; hd < 2; ++hd) {
        const std::string folder = MapsRoot() + "/" + kFolders[hd];
        std::set<std::string> promised;
        long texels = 0;
        for (const Promise& p : kPromises) {
            const Size want = hd ? p.hd : p.small;
            if (want.w == 0) continue;
            promised.insert(p.name);
            const std::string path = folder + "/" + p.name;
            const std::string bytes = ReadWholeFile(path);
            const char* reason = "";
            RgbImage* image = DecodeBmpMemory(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size(), &reason);
            EXPECT_NE(nullptr, image) << path << ": " << reason;
            if (!image) continue;
            EXPECT_TRUE(image->width == want.w && image->height == want.h)
                << path << ": expected " << want.w << " x " << want.h << ", got " << image->width << " x " << image->height;
            texels += long(image->width) * image->height;
            FreeRgbImage(image);
            if (std::string(p.name) != "Spacea.bmp") {
                EXPECT_TRUE(Le(bytes, 28, 2) == 24 && Le(bytes, 30, 4) == 0)
                    << path << ": expected 24 bits uncompressed, got " << Le(bytes, 28, 2) << " bits, compression "
                    << Le(bytes, 30, 4);
            }
        }
        for (const std::string& name : BmpFilesIn(folder)) {
            EXPECT_EQ(1u, promised.count(name)) << folder << "/" << name << " is in no table of what the folder holds";
        }
        if (hd) {
            EXPECT_LE(texels, kHdTexelBudget) << "texels in " << folder;
        }
    }
}

// ------------------------------------------------- against the published maps

// Luminance, row 0 the north.
struct Gray {
    int w = 0, h = 0;
    std::vector<double> v;
    double At(int x, int y) const { return v[size_t(y) * w + x]; }
};

double Luma(const unsigned char* rgb) { return 0.2126 * rgb[0] + 0.7152 * rgb[1] + 0.0722 * rgb[2]; }

Gray FromImage(const RgbImage& image) {
    Gray g;
    g.w = image.width;
    g.h = image.height;
    g.v.resize(size_t(g.w) * g.h);
    for (int y = 0; y < g.h; ++y)
        for (int x = 0; x < g.w; ++x)
            g.v[size_t(y) * g.w + x] = Luma(image.pixels + (size_t(g.h - 1 - y) * g.w + x) * 3);
    return g;
}

// A package's JPEG or PNG as ImageMagick decodes it, read back as binary PPM
// (stripped of the comments a JPEG may carry into its header);
// anything but a sane P6 header and its full pixel count is refused.
bool ReadWithImageMagick(const std::string& path, Gray* out, std::string* why) {
    const std::string command = "convert '" + path + "' -strip -alpha off -depth 8 ppm:- 2>/dev/null";
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) return *why = "cannot run convert", false;
    int w = 0, h = 0, max = 0;
    bool ok = std::fscanf(pipe, "P6 %d %d %d", &w, &h, &max) == 3 && std::fgetc(pipe) != EOF && max == 255 &&
              w > 0 && h > 0 && w <= 8192 && h <= 4096;
    std::vector<unsigned char> rgb(ok ? size_t(w) * h * 3 : 0);
    ok = ok && std::fread(rgb.data(), 1, rgb.size(), pipe) == rgb.size();
    pclose(pipe);
    if (!ok) return *why = "convert gave no picture of " + path + " (is ImageMagick installed?)", false;
    out->w = w;
    out->h = h;
    out->v.resize(size_t(w) * h);
    for (size_t i = 0; i < out->v.size(); ++i) out->v[i] = Luma(&rgb[i * 3]);
    return true;
}

// The mean of each block, so that maps of any size that divides evenly meet
// on one grid.
Gray Shrink(const Gray& g, int w, int h) {
    Gray out;
    out.w = w;
    out.h = h;
    out.v.assign(size_t(w) * h, 0.0);
    const int bx = g.w / w, by = g.h / h;
    for (int y = 0; y < g.h; ++y)
        for (int x = 0; x < g.w; ++x) out.v[size_t(y / by) * w + x / bx] += g.At(x, y) / (bx * by);
    return out;
}

// The longitude structure: each row less its mean, rows within 30 degrees of
// the poles left out; the correlation of `ours` with `theirs` turned by
// `shift` columns to the east, at the shift where it is highest.
double BestCorrelation(const Gray& ours, const Gray& theirs, int* bestShift) {
    const int w = ours.w, h = ours.h;
    std::vector<double> a, b;
    for (int y = 0; y < h; ++y) {
        const double lat = 90.0 - (y + 0.5) * 180.0 / h;
        if (std::fabs(lat) > 60.0) continue;
        double ma = 0, mb = 0;
        for (int x = 0; x < w; ++x) ma += ours.At(x, y) / w, mb += theirs.At(x, y) / w;
        for (int x = 0; x < w; ++x) a.push_back(ours.At(x, y) - ma), b.push_back(theirs.At(x, y) - mb);
    }
    double aa = 0, bb = 0;
    for (size_t i = 0; i < a.size(); ++i) aa += a[i] * a[i], bb += b[i] * b[i];
    double best = -2.0;
    for (int s = 0; s < w; ++s) {
        double ab = 0;
        for (size_t row = 0; row < a.size(); row += w)
            for (int x = 0; x < w; ++x) ab += a[row + x] * b[row + (x + s) % w];
        const double r = aa > 0 && bb > 0 ? ab / std::sqrt(aa * bb) : 0.0;
        if (r > best) best = r, *bestShift = s;
    }
    return best;
}

// Installed, where ORRERY_TEXTURE_SOURCES says, or where the tool leaves them.
std::string FindSource(const std::string& package, const std::string& file) {
    std::vector<std::string> places;
    if (const char* env = std::getenv("ORRERY_TEXTURE_SOURCES")) places.push_back(std::string(env) + "/" + package);
    places.push_back(ORRERY_SOURCE_DIR "/build/texture-sources/" + package);
    places.push_back("");
    for (const std::string& place : places)
        if (FILE* f = std::fopen((place + "/" + file).c_str(), "rb")) {
            std::fclose(f);
            return place + "/" + file;
        }
    return "";
}

TEST(Maps, FollowThePublishedMapsTheyWereMadeFrom) {
    const struct {
        const char* map;
        const char* package;
        const char* file;
    } bodies[] = {
        {"3Earth.bmp", "xplanet-images", "usr/share/xplanet/images/earth.jpg"},
        {"4Mars.bmp", "stellarium-data", "usr/share/stellarium/textures/mars.png"},
        {"1Mercury.bmp", "stellarium-data", "usr/share/stellarium/textures/mercury.png"},
        {"Moon.bmp", "stellarium-data", "usr/share/stellarium/textures/moon_4k.jpg"},
    };
    for (const auto& body : bodies) {
        const std::string source = FindSource(body.package, body.file);
        if (source.empty())
            GTEST_SKIP() << "no /" << body.file << " of Debian's " << body.package
                         << " (installed, or left by tools/make_textures.sh in build/texture-sources)";
        Gray theirs;
        std::string why;
        if (!ReadWithImageMagick(source, &theirs, &why)) GTEST_SKIP() << why;
        ASSERT_TRUE(theirs.w == 2 * theirs.h && theirs.w % 256 == 0) << source << ": " << theirs.w << " x " << theirs.h;
        for (const char* folder : kFolders) {
            const std::string path = MapsRoot() + "/" + folder + "/" + body.map;
            RgbImage* image = DecodeBmpFile(path.c_str());
            EXPECT_NE(nullptr, image) << path;
            if (!image) continue;
            const Gray ours = FromImage(*image);
            FreeRgbImage(image);
            ASSERT_TRUE(ours.w == 2 * ours.h && ours.w % 256 == 0) << path << ": " << ours.w << " x " << ours.h;
            int shift = 0;
            const double r = BestCorrelation(Shrink(ours, 256, 128), Shrink(theirs, 256, 128), &shift);
            std::printf("%-38s r = %.4f, the source turned %.1f degrees\n", (std::string(folder) + "/" + body.map).c_str(),
                        r, shift * 360.0 / 256);
            EXPECT_GE(r, 0.5) << path << " against " << source;
            // The packages put longitude 0 in the middle, ours at the left edge.
            EXPECT_TRUE(std::abs(shift - 128) <= 1) << path << ": expected the source turned 180 degrees, got "
                                                    << shift * 360.0 / 256;
        }
    }
}

}  // namespace
