// sky_probe: measures a screenshot of the real program against where the star
// catalogue, the universe and the camera put things, for tests/e2e/test_sky.sh.
//
//   sky_probe start PICTURE STARS UNIVERSE
//       The start view (camera at (0, 30, 100), no turn): every star of
//       magnitude 2.5 or brighter in view, clear of bodies, labels and the
//       status lines, must peak within 3 pixels of the projection of its
//       direction and be at most 3 pixels across at half its height.
//   sky_probe zeme PICTURE STARS UNIVERSE
//       Riding with Zeme (slot 4, camera four radii along +z, no turn) in a
//       dated universe: the planets and bright stars for the universe's date
//       come from the program's ephemeris, the closest pair of a planet and a
//       bright star in view is chosen, and the angle between the two on the
//       screen must be their true angle from the camera within 0.2 degrees.
//   sky_probe jupiter PICTURE STARS UNIVERSE
//       Riding with Jupiter (slot 6, camera four radii along +z, no turn) in
//       a dated universe: every Galilean moon in view beside the disc is
//       seen (its disc or point) within 2 pixels of where the enlarged view puts it, outside
//       Jupiter (in radii) and within a degree of its equator (the pole from
//       the file); at least one of them in view.
//
// PICTURE is a PNG of the whole window; UNIVERSE what F2 wrote at that moment
// (the program paused). Exit status 0 when every check holds, 1 otherwise.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "core/sim/Ephemeris.h"
#include "core/sim/UniverseFile.h"
#include "core/sim/UniverseModel.h"
#include "support/PngRead.h"
#include "support/SkyView.h"
#include "tools/sky/StarCatalogue.h"

namespace {

const int kWidth = 1920, kHeight = 1080;
const int kZeme = 4;

SkyVec Minus(SkyVec a, SkyVec b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
SkyVec Unit(SkyVec a) {
    double n = std::sqrt(a.x * a.x + a.y * a.y + a.z * a.z);
    return {a.x / n, a.y / n, a.z / n};
}
// Where the program draws body i: a moon as far out from its planet as the
// planet is enlarged (the default view).
SkyVec Drawn(const UniverseModel& u, int i) {
    double p[3];
    u.ViewPosition(i, true, p);
    return {p[0], p[1], p[2]};
}

// Rectangles of the window that hold something other than sky: bodies with
// a margin, their labels, the status lines.
struct Box {
    double x0, y0, x1, y1;
    bool Holds(double x, double y, double margin) const {
        return x >= x0 - margin && x <= x1 + margin && y >= y0 - margin && y <= y1 + margin;
    }
};

struct Scene {
    SkyView view{kWidth, kHeight, 0.0, 0.0};
    SkyVec camera;  // absolute
    std::vector<Box> taken;
    const UniverseModel* u;

    // Pixel radius of body i's disc, or -1 when it is behind the camera.
    double DiscRadius(int i, double* x, double* y) const {
        const Body& b = u->bodies[i];
        SkyVec to = Minus(Drawn(*u, i), camera);
        double d = std::sqrt(to.x * to.x + to.y * to.y + to.z * to.z);
        if (!view.Project(to, x, y)) return -1.0;
        if (b.polomer >= d) return 1e9;
        return view.Focal() * std::tan(std::asin(b.polomer / d));
    }

    void Build(const UniverseModel& model, SkyVec cam) {
        u = &model;
        camera = cam;
        taken.clear();
        taken.push_back({0, 0, double(kWidth), 60});  // hyperspeed line
        taken.push_back({0, kHeight - 40.0, double(kWidth), double(kHeight)});  // frame and help lines
        for (int i = 1; i < UniverseSlots; ++i) {
            const Body& b = model.bodies[i];
            if (b.hmotnost == 0) continue;
            double x, y;
            double r = DiscRadius(i, &x, &y);
            if (r < 0) continue;
            r = std::min(r, 4000.0);
            taken.push_back({x - r - 6, y - r - 6, x + r + 6, y + r + 6});
            // The label starts 1.5 radii above the centre and runs right, 20
            // pixels high above its baseline; 13 pixels a character is generous.
            const SkyVec at = Drawn(model, i);
            SkyVec label = Minus({at.x, at.y + 1.5 * b.polomer, at.z}, camera);
            double lx, ly;
            if (view.Project(label, &lx, &ly)) {
                double chars = 4.0 + std::strlen(b.meno);
                taken.push_back({lx - 3, ly - 24, lx + 13 * chars + 3, ly + 7});
            }
        }
    }
    bool Clear(double x, double y, double margin) const {
        if (x < margin || y < margin || x > kWidth - margin || y > kHeight - margin) return false;
        for (const Box& b : taken)
            if (b.Holds(x, y, margin)) return false;
        return true;
    }
};

double Grey(const PngPicture& p, int x, int y) {
    if (x < 0 || y < 0 || x >= p.width || y >= p.height) return 0.0;
    const unsigned char* c = &p.rgb[(size_t(y) * p.width + x) * 3];
    return 0.299 * c[0] + 0.587 * c[1] + 0.114 * c[2];
}

// The star nearest to (x, y) in the picture: the brightest pixel within 6,
// the centroid of the light above the sky about it, and how many pixels
// across the part above half its height is.
struct Spot {
    bool found;
    double x, y, peak, background;
    int across;
};

Spot FindStar(const PngPicture& p, double px, double py) {
    Spot s{false, 0, 0, 0, 0, 0};
    int cx = int(std::floor(px)), cy = int(std::floor(py));
    int bx = cx, by = cy;
    double best = -1;
    for (int y = cy - 6; y <= cy + 6; ++y)
        for (int x = cx - 6; x <= cx + 6; ++x)
            if (Grey(p, x, y) > best) best = Grey(p, x, y), bx = x, by = y;
    // The sky about it: the median of a ring 7 to 9 pixels out.
    std::vector<double> ring;
    for (int y = by - 9; y <= by + 9; ++y)
        for (int x = bx - 9; x <= bx + 9; ++x) {
            int d = std::max(std::abs(x - bx), std::abs(y - by));
            if (d >= 7) ring.push_back(Grey(p, x, y));
        }
    std::nth_element(ring.begin(), ring.begin() + ring.size() / 2, ring.end());
    s.background = ring[ring.size() / 2];
    s.peak = best;
    if (best - s.background < 20) return s;
    double sum = 0, sx = 0, sy = 0;
    int x0 = bx, x1 = bx, y0 = by, y1 = by;
    for (int y = by - 3; y <= by + 3; ++y)
        for (int x = bx - 3; x <= bx + 3; ++x) {
            double w = Grey(p, x, y) - s.background;
            if (w <= 0) continue;
            sum += w, sx += w * (x + 0.5), sy += w * (y + 0.5);
            if (w >= 0.5 * (best - s.background)) x0 = std::min(x0, x), x1 = std::max(x1, x), y0 = std::min(y0, y), y1 = std::max(y1, y);
        }
    s.found = true;
    s.x = sx / sum, s.y = sy / sum;
    s.across = std::max(x1 - x0, y1 - y0) + 1;
    return s;
}

// A planet's disc: the centroid of its colour (the lit textures are warm; the
// labels, the sky and the stars are grey or bluish).
Spot FindPlanet(const PngPicture& p, double px, double py, double radius) {
    Spot s{false, 0, 0, 0, 0, 0};
    int reach = int(radius) + 4;
    double sum = 0, sx = 0, sy = 0;
    for (int y = int(py) - reach; y <= int(py) + reach; ++y)
        for (int x = int(px) - reach; x <= int(px) + reach; ++x) {
            if (x < 0 || y < 0 || x >= p.width || y >= p.height) continue;
            const unsigned char* c = &p.rgb[(size_t(y) * p.width + x) * 3];
            double w = double(c[0]) - c[2] - 12.0;
            if (w <= 0) continue;
            sum += w, sx += w * (x + 0.5), sy += w * (y + 0.5);
        }
    if (sum < 60) return s;
    s.found = true;
    s.x = sx / sum, s.y = sy / sum;
    return s;
}

int LoadInputs(const char* picture, const char* starFile, const char* universe, PngPicture* png,
               std::vector<Star>* stars, UniverseModel* model) {
    char why[512];
    if (!ReadStarFile(starFile, stars, why, sizeof why)) return std::fprintf(stderr, "%s\n", why), 0;
    if (!ReadPng(picture, png) || png->width != kWidth || png->height != kHeight)
        return std::fprintf(stderr, "%s: not a %dx%d PNG\n", picture, kWidth, kHeight), 0;
    if (!ReadUniverseFile(*model, universe) || model->bodies[1].hmotnost == 0)
        return std::fprintf(stderr, "%s: no universe\n", universe), 0;
    return 1;
}

int Start(const char* picture, const char* starFile, const char* universe) {
    PngPicture png;
    std::vector<Star> stars;
    UniverseModel model;
    if (!LoadInputs(picture, starFile, universe, &png, &stars, &model)) return 1;
    Scene scene;
    scene.Build(model, {0.0, 30.0, 100.0});
    int checked = 0, failed = 0;
    for (const Star& star : stars) {
        if (star.magnitude > 2.5) break;
        double x, y;
        if (!scene.view.Project(StarDirection(star), &x, &y) || !scene.Clear(x, y, 14)) continue;
        Spot spot = FindStar(png, x, y);
        double off = spot.found ? std::hypot(spot.x - x, spot.y - y) : 99.0;
        bool ok = spot.found && off <= 3.0 && spot.across <= 3;
        std::printf("HR %d mag %.2f: expected at (%.1f, %.1f), seen at (%.1f, %.1f), %.2f px off, %d px across, peak %.0f over %.0f %s\n",
                    star.hr, star.magnitude, x, y, spot.x, spot.y, off, spot.across, spot.peak, spot.background,
                    ok ? "ok" : "WRONG");
        ++checked;
        failed += !ok;
    }
    std::printf("%d bright stars in view checked, %d wrong\n", checked, failed);
    return checked >= 5 && failed == 0 ? 0 : 1;
}

// The closest pair of a planet whose disc is at least 2 pixels wide and a
// star of magnitude 2.5 or brighter, both in view and clear of everything
// else, 0.5 to 6 degrees apart. -1 when there is none.
struct Pair {
    int planet = -1;
    const Star* star = nullptr;
    double angle = 0;
};

SkyVec ZemeCamera(const UniverseModel& u) {
    const Body& z = u.bodies[kZeme];
    return {z.x, z.y, z.z + 4.0 * z.polomer};
}

Pair ClosestPair(const UniverseModel& u, const std::vector<Star>& stars, const Scene& scene) {
    Pair best;
    for (int i = 2; i < UniverseSlots; ++i) {
        if (i == kZeme || u.bodies[i].hmotnost == 0) continue;
        double px, py;
        double r = scene.DiscRadius(i, &px, &py);
        if (r < 1.0 || r > 20.0) continue;
        if (px < 40 || py < 80 || px > kWidth - 40 || py > kHeight - 60) continue;
        SkyVec toPlanet = Unit(Minus(Drawn(u, i), scene.camera));
        for (const Star& star : stars) {
            if (star.magnitude > 2.5) break;
            double a = AngleDeg(toPlanet, StarDirection(star));
            if (a < 0.5 || a > 6.0 || (best.star && a >= best.angle)) continue;
            double sx, sy;
            if (!scene.view.Project(StarDirection(star), &sx, &sy) || !scene.Clear(sx, sy, 14)) continue;
            // The planet must not lie on anything but its own disc and label,
            // and its own moons, too small to take for it.
            bool alone = true;
            for (int k = 1; k < UniverseSlots && alone; ++k) {
                if (k == i || u.bodies[k].hmotnost == 0 || u.ParentSlot(k) == i) continue;
                double kx, ky;
                double kr = scene.DiscRadius(k, &kx, &ky);
                if (kr >= 0 && std::hypot(kx - px, ky - py) < kr + r + 30) alone = false;
            }
            if (!alone) continue;
            best.planet = i, best.star = &star, best.angle = a;
        }
    }
    return best;
}

int Zeme(const char* picture, const char* starFile, const char* universe) {
    PngPicture png;
    std::vector<Star> stars;
    UniverseModel shown;
    if (!LoadInputs(picture, starFile, universe, &png, &stars, &shown)) return 1;
    if (!shown.hasDate) return std::fprintf(stderr, "%s: the universe has no date\n", universe), 1;
    // The planets for the shown moment from the program's own ephemeris.
    UniverseModel u;
    if (!u.MakeRealSystem(shown.datum)) return std::fprintf(stderr, "no ephemeris for %f\n", shown.datum), 1;
    char when[DateTimeMaxChars];
    FormatDateTime(shown.datum, when, sizeof when);
    Scene scene;
    scene.Build(u, ZemeCamera(u));
    Pair pair = ClosestPair(u, stars, scene);
    if (!pair.star) return std::printf("%s UT: no planet near a bright star in view\n", when), 1;

    double px, py, sx, sy;
    double radius = scene.DiscRadius(pair.planet, &px, &py);
    scene.view.Project(StarDirection(*pair.star), &sx, &sy);
    Spot planet = FindPlanet(png, px, py, radius);
    Spot star = FindStar(png, sx, sy);
    std::printf("%s UT: %s and HR %d (mag %.2f), %.3f degrees apart from the camera\n", when,
                u.bodies[pair.planet].meno, pair.star->hr, pair.star->magnitude, pair.angle);
    std::printf("  %s expected at (%.1f, %.1f), seen at (%.1f, %.1f)%s\n", u.bodies[pair.planet].meno, px, py,
                planet.x, planet.y, planet.found ? "" : " (not found)");
    std::printf("  HR %d expected at (%.1f, %.1f), seen at (%.1f, %.1f)%s\n", pair.star->hr, sx, sy, star.x, star.y,
                star.found ? "" : " (not found)");
    if (!planet.found || !star.found) return 1;
    double onScreen = AngleDeg(scene.view.Unproject(planet.x, planet.y), scene.view.Unproject(star.x, star.y));
    std::printf("  on the screen %.3f degrees apart: %.3f off\n", onScreen, onScreen - pair.angle);
    return std::fabs(onScreen - pair.angle) <= 0.2 ? 0 : 1;
}

// Whether another body's disc or label lies within a few pixels of (x, y).
bool Crowded(const Scene& scene, const UniverseModel& u, int self, double x, double y) {
    for (int k = 1; k < UniverseSlots; ++k) {
        if (k == self || !BodyInUse(u.bodies[k])) continue;
        double kx, ky;
        const double r = scene.DiscRadius(k, &kx, &ky);
        if (r < 0) continue;
        if (std::hypot(kx - x, ky - y) < r + 10) return true;
        const SkyVec at = Drawn(u, k);
        double lx, ly;
        if (scene.view.Project(Minus({at.x, at.y + 1.5 * u.bodies[k].polomer, at.z}, scene.camera), &lx, &ly)) {
            const double chars = 4.0 + std::strlen(u.bodies[k].meno);
            if (x >= lx - 10 && x <= lx + 13 * chars + 10 && y >= ly - 30 && y <= ly + 10) return true;
        }
    }
    return false;
}

int Jupiter(const char* picture, const char* starFile, const char* universe) {
    PngPicture png;
    std::vector<Star> stars;
    UniverseModel u;
    if (!LoadInputs(picture, starFile, universe, &png, &stars, &u)) return 1;
    const int kJupiter = 6, kFirstGalilean = 14;
    const Body& j = u.bodies[kJupiter];
    Scene scene;
    scene.Build(u, {j.x, j.y, j.z + 4.0 * j.polomer});
    // Riding puts Jupiter at the centre; its disc, half lit, is large.
    double cx, cy;
    const double radius = scene.DiscRadius(kJupiter, &cx, &cy);
    std::printf("Jupiter at (%.1f, %.1f), %.0f px across\n", cx, cy, 2 * radius);
    // Where the enlarged view puts each moon against Jupiter's equator (the
    // pole from the file), and whether the picture shows something there.
    const double* pole = u.traits[kJupiter].pole;
    int inView = 0, failed = 0;
    for (int m = kFirstGalilean; m < kFirstGalilean + 4; ++m) {
        double x, y;
        if (scene.DiscRadius(m, &x, &y) < 0 || !(x >= 30 && y >= 30 && x <= kWidth - 30 && y <= kHeight - 30)) continue;
        // In front of or behind the disc: the disc's own pixels say nothing of
        // it; nor do another body's disc or label lying over it.
        if (std::hypot(x - cx, y - cy) <= radius + 4 || Crowded(scene, u, m, x, y)) continue;
        ++inView;
        const SkyVec at = Drawn(u, m);
        const double r[3] = {at.x - j.x, at.y - j.y, at.z - j.z};
        const double d = std::sqrt(r[0] * r[0] + r[1] * r[1] + r[2] * r[2]);
        const double latitude = std::asin((r[0] * pole[0] + r[1] * pole[1] + r[2] * pole[2]) / d) * 180 / 3.14159265358979;
        // Its disc or its point: above the black sky within 2 pixels of
        // there (its label starts further off, up and to the right).
        double seen = 0;
        for (int dy = -2; dy <= 2; ++dy)
            for (int dx = -2; dx <= 2; ++dx) seen = std::max(seen, Grey(png, int(x) + dx, int(y) + dy));
        const bool ok = d > j.polomer && std::fabs(latitude) < 1 && seen > 18;
        std::printf("%s: %.1f radii from Jupiter's centre, %.2f degrees off its equator; drawn at (%.1f, %.1f), "
                    "brightest there %.0f: %s\n",
                    u.bodies[m].meno, d / j.polomer, latitude, x, y, seen, ok ? "ok" : "WRONG");
        failed += !ok;
    }
    std::printf("%d Galilean moons in view, %d wrong\n", inView, failed);
    return inView >= 1 && failed == 0 ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 5 && std::strcmp(argv[1], "start") == 0) return Start(argv[2], argv[3], argv[4]);
    if (argc == 5 && std::strcmp(argv[1], "zeme") == 0) return Zeme(argv[2], argv[3], argv[4]);
    if (argc == 5 && std::strcmp(argv[1], "jupiter") == 0) return Jupiter(argv[2], argv[3], argv[4]);
    std::fprintf(stderr, "usage: sky_probe start|zeme|jupiter PICTURE STARS UNIVERSE\n");
    return 2;
}
