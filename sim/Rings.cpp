// The rings of Saturn, Uranus and Neptune as one frame sees them. Each band is
// a grid of rows at fixed radii; every row runs once round the planet in the
// same number of samples, those of the planet's shadow (worked out exactly
// for that row's radius) first and the sunlit ones after, each boundary
// sampled twice, dark and lit: so the shadow's edge falls on the grid and is
// as sharp as the rows are close, with few vertices.
#include "sim/Rings.h"

#include <cmath>
#include <cstring>

#include "core/sim/BodyData.h"

namespace {

const double kPi = 3.14159265358979323846;

// Saturn's rings as one textured band: the strip's left edge lies at
// 74,500 km from the centre and its right edge at 140,200 km (Data/SOURCES.txt).
const RingBand kSaturnBands[] = {{74500, 140200, 1.0f, 1.0f, 1.0f, 1.0f}};

// The narrow, dark rings of Uranus at their published mean radii (km): 6,
// 5, 4, alpha, beta, eta, gamma, delta, lambda, epsilon, as the Planetary
// Rings Node (SETI Institute) tabulates them after French et al. (1991,
// "Dynamics and structure of the Uranian rings", in Uranus, Univ. of Arizona
// Press). The epsilon ring, the widest, shows most.
const RingBand kUranusBands[] = {
    {41837, 41837, 0.55f, 0.55f, 0.58f, 0.30f}, {42234, 42234, 0.55f, 0.55f, 0.58f, 0.30f},
    {42571, 42571, 0.55f, 0.55f, 0.58f, 0.30f}, {44718, 44718, 0.55f, 0.55f, 0.58f, 0.35f},
    {45661, 45661, 0.55f, 0.55f, 0.58f, 0.35f}, {47176, 47176, 0.55f, 0.55f, 0.58f, 0.25f},
    {47627, 47627, 0.55f, 0.55f, 0.58f, 0.30f}, {48300, 48300, 0.55f, 0.55f, 0.58f, 0.35f},
    {50024, 50024, 0.55f, 0.55f, 0.58f, 0.15f}, {51149, 51149, 0.65f, 0.65f, 0.68f, 0.55f},
};

// Neptune's rings (km, Planetary Rings Node after Miner, Wessen and Cuzzi
// 2007, Planetary Ring Systems, Springer): the broad, faint Galle (40,900 to
// 42,900) and Lassell (53,200 to 57,200) bands, the narrow Le Verrier
// (53,200), Arago (57,200) and Adams (62,932) rings. Dusty and reddish.
const RingBand kNeptuneBands[] = {
    {40900, 42900, 0.60f, 0.50f, 0.45f, 0.07f}, {53200, 57200, 0.60f, 0.50f, 0.45f, 0.05f},
    {53200, 53200, 0.65f, 0.55f, 0.50f, 0.35f}, {57200, 57200, 0.65f, 0.55f, 0.50f, 0.18f},
    {62932, 62932, 0.65f, 0.55f, 0.50f, 0.40f},
};

const RingSystem kRingSystems[] = {
    {"6Saturn.bmp", RealSaturn, "6SaturnRings.bmp", "6SaturnRingsAlpha.bmp", kSaturnBands, 1},
    {"7Uran.bmp", RealUran, nullptr, nullptr, kUranusBands, sizeof kUranusBands / sizeof kUranusBands[0]},
    {"8Neptun.bmp", RealNeptun, nullptr, nullptr, kNeptuneBands, sizeof kNeptuneBands / sizeof kNeptuneBands[0]},
};

// Rows across a broad band, and samples round each row: in the shadow and
// in the light. A row of the textured rings is then 2.5 degrees of arc at
// most, too little to see as a corner.
const int kRows = 16;
const int kShadowSamples = 24;
const int kLitSamples = 160;
const int kRowSamples = kShadowSamples + 1 + kLitSamples + 1;

// The face turned from the Sun shows the light the rings let through: less.
const double kUnlitFace = 0.3;

double Dot(const double a[3], const double b[3]) { return a[0] * b[0] + a[1] * b[1] + a[2] * b[2]; }

bool Unit(double v[3]) {
    const double n = std::sqrt(Dot(v, v));
    if (!(n > 0) || !std::isfinite(n)) return false;
    for (int i = 0; i < 3; ++i) v[i] /= n;
    return true;
}

// The ring plane's axes: e1 in the plane pointing away from the Sun (any
// direction in the plane when the Sun stands over a pole), e2 = n x e1, n
// the pole; and sin and cos of the Sun's elevation above the plane.
struct Plane {
    double e1[3], e2[3], n[3];
    double sinSun, cosSun;
};

bool MakePlane(const RingView& view, Plane* p) {
    std::memcpy(p->n, view.pole, sizeof p->n);
    if (!Unit(p->n)) return false;
    double away[3] = {view.centre[0] - view.sun[0], view.centre[1] - view.sun[1], view.centre[2] - view.sun[2]};
    if (!Unit(away)) away[0] = 1, away[1] = 0, away[2] = 0;
    const double along = Dot(away, p->n);
    for (int i = 0; i < 3; ++i) p->e1[i] = away[i] - along * p->n[i];
    if (!Unit(p->e1)) {
        const double other[3] = {std::fabs(p->n[0]) < 0.9 ? 1.0 : 0.0, std::fabs(p->n[0]) < 0.9 ? 0.0 : 1.0, 0};
        const double o = Dot(other, p->n);
        for (int i = 0; i < 3; ++i) p->e1[i] = other[i] - o * p->n[i];
        Unit(p->e1);
    }
    p->e2[0] = p->n[1] * p->e1[2] - p->n[2] * p->e1[1];
    p->e2[1] = p->n[2] * p->e1[0] - p->n[0] * p->e1[2];
    p->e2[2] = p->n[0] * p->e1[1] - p->n[1] * p->e1[0];
    p->sinSun = std::fabs(along);
    p->cosSun = std::sqrt(std::fmax(0.0, 1 - along * along));
    return true;
}

// Half the angle, about the direction away from the Sun, that the planet's
// shadow covers at radius r (both as drawn): 0 where it does not reach.
double ShadowHalfAngle(const Plane& p, double planetRadius, double r) {
    if (!(r > planetRadius) || !(p.cosSun > 1e-9)) return r > 0 && r <= planetRadius ? kPi / 2 : 0;
    const double q = planetRadius * planetRadius / (r * r) - p.sinSun * p.sinSun;
    if (q <= 0) return 0;
    const double s = std::sqrt(q) / p.cosSun;
    return s >= 1 ? kPi / 2 : std::asin(s);
}

// One row of samples at radius r: the shadow's arc, then the lit one.
void Row(const Plane& p, double planetRadius, double r, double s, const RingBand& band, double brightness,
         MeshVertex* out, int stride) {
    const double half = ShadowHalfAngle(p, planetRadius, r);
    for (int k = 0; k < kRowSamples; ++k) {
        const bool dark = k <= kShadowSamples;
        const double angle = dark ? -half + 2 * half * k / kShadowSamples
                                  : half + (2 * kPi - 2 * half) * (k - kShadowSamples - 1) / kLitSamples;
        const double c = std::cos(angle) * r, sn = std::sin(angle) * r;
        MeshVertex& v = out[k * stride];
        v.x = (float)(c * p.e1[0] + sn * p.e2[0]);
        v.y = (float)(c * p.e1[1] + sn * p.e2[1]);
        v.z = (float)(c * p.e1[2] + sn * p.e2[2]);
        v.s = (float)s;
        v.t = 0.5f;
        // In the shadow the rings still hide what is behind them.
        const float light = dark && half > 0 ? 0.0f : (float)brightness;
        v.r = band.r * light;
        v.g = band.g * light;
        v.b = band.b * light;
        v.a = band.a;
    }
}

}  // namespace

const RingSystem* RingSystemForMap(const char* path) {
    if (!path) return nullptr;
    const char* name = std::strrchr(path, '/');
    name = name ? name + 1 : path;
    for (const RingSystem& s : kRingSystems)
        if (std::strcmp(name, s.planetMap) == 0) return &s;
    return nullptr;
}

double RingFaceBrightness(const RingView& view) {
    double sunSide = 0, eyeSide = 0;
    for (int i = 0; i < 3; ++i) {
        sunSide += (view.sun[i] - view.centre[i]) * view.pole[i];
        eyeSide += (view.eye[i] - view.centre[i]) * view.pole[i];
    }
    return (sunSide > 0) == (eyeSide > 0) ? 1.0 : kUnlitFace;
}

bool InPlanetShadow(const RingView& view, const double point[3]) {
    double towardsSun[3] = {view.sun[0] - view.centre[0], view.sun[1] - view.centre[1], view.sun[2] - view.centre[2]};
    if (!Unit(towardsSun)) return false;
    const double along = Dot(point, towardsSun);
    if (along >= 0) return false;
    const double across = Dot(point, point) - along * along;
    return across < view.planetRadius * view.planetRadius;
}

int RingBandMesh(const RingSystem& system, const RingBand& band, const RingView& view, int textured,
                 MeshVertex* out, int max, int* perStrip, int* strips) {
    *perStrip = 0;
    *strips = 0;
    Plane p;
    if (!out || !MakePlane(view, &p)) return 0;
    const double planetKm = BodyDataTable[system.planet].radius;
    const double scale = view.planetRadius / planetKm;
    const double brightness = RingFaceBrightness(view);
    if (band.outerKm <= band.innerKm) {
        if (max < kRowSamples) return 0;
        Row(p, view.planetRadius, band.innerKm * scale, 0.5, band, brightness, out, 1);
        *perStrip = kRowSamples;
        return kRowSamples;
    }
    const int rows = kRows + 1;
    const int count = 2 * kRowSamples * kRows;
    if (max < count) return 0;
    // A strip texture read inside its end texels (256 across).
    const double s0 = 0.5 / 256, s1 = 1 - 0.5 / 256;
    for (int row = 0; row < rows; ++row) {
        const double f = (double)row / kRows;
        const double r = (band.innerKm + (band.outerKm - band.innerKm) * f) * scale;
        const double s = textured ? s0 + (s1 - s0) * f : 0.5;
        // Row `row` is the outer edge of strip row - 1 and the inner one of strip row.
        if (row > 0) Row(p, view.planetRadius, r, s, band, brightness, out + (size_t)(row - 1) * 2 * kRowSamples + 1, 2);
        if (row < kRows) Row(p, view.planetRadius, r, s, band, brightness, out + (size_t)row * 2 * kRowSamples, 2);
    }
    *perStrip = 2 * kRowSamples;
    *strips = kRows;
    return count;
}

void DrawRingSystem(GlRenderer* renderer, const RingSystem& system, uint32_t texture, const RingView& view) {
    // Rings made for their map are not drawn without it.
    if (!renderer || (system.ringMap && texture == 0)) return;
    static MeshVertex mesh[2 * kRowSamples * kRows];
    renderer->PushMatrix();
    renderer->Translate(view.centre[0], view.centre[1], view.centre[2]);
    for (int i = 0; i < system.bandCount; ++i) {
        const bool textured = system.ringMap != nullptr;
        int perStrip = 0, strips = 0;
        const int n = RingBandMesh(system, system.bands[i], view, textured, mesh, sizeof mesh / sizeof mesh[0],
                                   &perStrip, &strips);
        if (n == 0) continue;
        if (strips > 0)
            renderer->DrawMeshStrips(mesh, perStrip, strips, textured ? texture : 0);
        else
            renderer->DrawMeshLoop(mesh, n);
    }
    renderer->PopMatrix();
}
