#include "tools/sky/SkySphere.h"

#include <cmath>

namespace {

const double kPi = 3.14159265358979323846;

// GLU sends each strip for GLU_INSIDE as (i, j), (i, j + 1), (i + 1, j),
// (i + 1, j + 1) ..., and Mesa cuts quad (v0, v1, v3, v2) of a strip along
// v0-v3: from corner (i, j) to corner (i + 1, j + 1). Texture coordinates are
// affine in each of the two triangles, not across the quad, so the cut
// decides what every texel off the diagonal shows; the sky's GL test checks
// it pixel by pixel.
//
// At the poles corner (i, 0) and (i + 1, 0) are one point with two values of
// s, so the quad is a single triangle whose s runs from s(i) at the pole to
// s(i + 1) along its cut: the texture jumps across the cut there, and a pixel
// on that line may show either side.

SkyVec Sub(SkyVec a, SkyVec b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
SkyVec Cross(SkyVec a, SkyVec b) { return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x}; }
double Dot(SkyVec a, SkyVec b) { return a.x * b.x + a.y * b.y + a.z * b.z; }

SkyVec Normalized(SkyVec a) {
    double n = std::sqrt(Dot(a, a));
    return {a.x / n, a.y / n, a.z / n};
}

// Bilinear blend of a quad's corners along one of its triangles: the point
// with quad coordinates (u, v), u towards column i + 1, v towards row j + 1.
SkyVec OnQuad(int i, int j, double u, double v) {
    SkyVec p00 = SkyVertex(i, j), p10 = SkyVertex(i + 1, j);
    SkyVec p01 = SkyVertex(i, j + 1), p11 = SkyVertex(i + 1, j + 1);
    double w00, w10, w01, w11;
    if (u >= v) {  // triangle (p00, p10, p11)
        w00 = 1.0 - u, w10 = u - v, w01 = 0.0, w11 = v;
    } else {  // triangle (p00, p11, p01)
        w00 = 1.0 - v, w10 = 0.0, w01 = v - u, w11 = u;
    }
    return {w00 * p00.x + w10 * p10.x + w01 * p01.x + w11 * p11.x,
            w00 * p00.y + w10 * p10.y + w01 * p01.y + w11 * p11.y,
            w00 * p00.z + w10 * p10.z + w01 * p01.z + w11 * p11.z};
}

struct Corner {
    int di, dj;  // offset from the quad's (i, j)
};

// Where the ray from the centre along `dir` crosses triangle (a, b, c) of
// quad (i, j): the quad coordinates of the crossing, and how far outside the
// triangle it lies (0 inside), so that a ray along an edge still finds one.
double CrossTriangle(SkyVec dir, int i, int j, const Corner (&c)[3], double* u, double* v) {
    SkyVec a = SkyVertex(i + c[0].di, j + c[0].dj);
    SkyVec e1 = Sub(SkyVertex(i + c[1].di, j + c[1].dj), a);
    SkyVec e2 = Sub(SkyVertex(i + c[2].di, j + c[2].dj), a);
    SkyVec p = Cross(dir, e2);
    double det = Dot(e1, p);
    if (std::fabs(det) < 1e-12) return 1e9;  // the folded triangle at a pole
    SkyVec q = Sub(SkyVec{0.0, 0.0, 0.0}, a);
    double b1 = Dot(q, p) / det;
    SkyVec r = Cross(q, e1);
    double b2 = Dot(dir, r) / det;
    double along = Dot(e2, r) / det;
    if (along <= 0.0) return 1e9;  // behind the centre
    double b0 = 1.0 - b1 - b2;
    *u = b0 * c[0].di + b1 * c[1].di + b2 * c[2].di;
    *v = b0 * c[0].dj + b1 * c[1].dj + b2 * c[2].dj;
    double outside = 0.0;
    if (b0 < 0.0) outside -= b0;
    if (b1 < 0.0) outside -= b1;
    if (b2 < 0.0) outside -= b2;
    return outside;
}

}  // namespace

namespace {

SkyVec ComputeVertex(int i, int j) {
    // As GLU computes them: angles and sines in single precision, the poles
    // forced onto the axis.
    float around = static_cast<float>(2 * kPi * i / SkySlices);
    float down = static_cast<float>(kPi * j / SkyStacks);
    float sinAround = static_cast<float>(std::sin(around)), cosAround = static_cast<float>(std::cos(around));
    float ring = static_cast<float>(std::sin(down)), height = static_cast<float>(std::cos(down));
    if (j == 0 || j == SkyStacks) ring = 0.0f;
    float x = ring * sinAround, y = ring * cosAround, z = height;
    // glRotated(90, -1, 0, 0) takes GLU's (x, y, z) to (x, z, -y).
    return {x, z, -y};
}

struct VertexTable {
    SkyVec at[SkySlices][SkyStacks + 1];
    VertexTable() {
        for (int i = 0; i < SkySlices; ++i)
            for (int j = 0; j <= SkyStacks; ++j) at[i][j] = ComputeVertex(i, j);
    }
};

}  // namespace

SkyVec SkyVertex(int i, int j) {
    static const VertexTable table;
    i = ((i % SkySlices) + SkySlices) % SkySlices;
    j = j < 0 ? 0 : (j > SkyStacks ? SkyStacks : j);
    return table.at[i][j];
}

SkyVec SkyDirectionAt(double s, double t) {
    if (!std::isfinite(s) || !std::isfinite(t)) s = t = 0.5;
    s -= std::floor(s);
    if (t < 0.0 || t > 1.0) t -= std::floor(t);
    // GLU puts s = 1 - i / slices and t = 1 - j / stacks at corner (i, j).
    double across = (1.0 - s) * SkySlices, down = (1.0 - t) * SkyStacks;
    int i = static_cast<int>(across), j = static_cast<int>(down);
    if (i > SkySlices - 1) i = SkySlices - 1;
    if (j > SkyStacks - 1) j = SkyStacks - 1;
    return Normalized(OnQuad(i, j, across - i, down - j));
}

int SkyTexCoordAt(SkyVec dir, double* s, double* t) {
    double len2 = Dot(dir, dir);
    if (!(len2 > 0.0) || !std::isfinite(len2)) return 0;
    // Quad columns are bounded by half-planes through the polar axis, so the
    // azimuth picks the column; rows are bounded by chords, which bulge less
    // than a row towards the centre, so the polar angle picks the row to
    // within one. The neighbours on each side take care of both at the edges.
    double around = std::atan2(dir.x, -dir.z);  // GLU's atan2(x, y), its y being -z here
    if (around < 0.0) around += 2.0 * kPi;
    int column = static_cast<int>(around / (2.0 * kPi / SkySlices));
    dir = Normalized(dir);
    double polar = std::acos(dir.y < -1.0 ? -1.0 : (dir.y > 1.0 ? 1.0 : dir.y));
    int row = static_cast<int>(polar / (kPi / SkyStacks));
    static const Corner kBelowCut[3] = {{0, 0}, {1, 0}, {1, 1}}, kAboveCut[3] = {{0, 0}, {1, 1}, {0, 1}};
    // A folded or turned-away triangle answers 1e9 and is never taken.
    double best = 1e9, bestU = 0.0, bestV = 0.0;
    int bestI = 0, bestJ = 0;
    for (int i = column - 1; i <= column + 1; ++i) {
        for (int j = row - 1; j <= row + 1; ++j) {
            if (j < 0 || j >= SkyStacks) continue;
            for (int half = 0; half < 2; ++half) {
                double u = 0.0, v = 0.0;
                double outside = CrossTriangle(dir, i, j, half ? kAboveCut : kBelowCut, &u, &v);
                if (outside < best) best = outside, bestU = u, bestV = v, bestI = i, bestJ = j;
            }
        }
    }
    if (best >= 1e9) return 0;
    double across = bestI + bestU, down = bestJ + bestV;
    double ss = 1.0 - across / SkySlices;
    ss -= std::floor(ss);
    if (ss >= 1.0) ss = 0.0;  // a hair below 0 wraps to exactly 1
    double tt = 1.0 - down / SkyStacks;
    *s = ss;
    *t = tt < 0.0 ? 0.0 : (tt > 1.0 ? 1.0 : tt);
    return 1;
}
