// The camera's arithmetic in doubles, mirroring what GL and GLU do with the
// same calls (glRotated, glTranslated, gluPerspective, gluProject), so that
// a point projected here lands on the pixel GL draws it at.
#include "core/app/Camera.h"

#include <cmath>

const double PickReachPixels = 40;

namespace {

const double kPi = 3.14159265358979323846;
const double kDegree = kPi / 180;
// The renderer's planes: the near one is a float there, and so here.
const double kNearPlane = static_cast<double>(0.01f);
const double kFarPlane = 10000.0;
const double kFieldOfView = 45.0;

struct Vec {
    double x, y, z;
};

Vec operator*(double s, Vec a) { return {s * a.x, s * a.y, s * a.z}; }
Vec operator+(Vec a, Vec b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }
double Dot(Vec a, Vec b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
Vec Cross(Vec a, Vec b) { return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x}; }
double Length(Vec a) { return std::sqrt(Dot(a, a)); }

// a times b, 3 x 3, row after row.
void Multiply3(const double a[9], const double b[9], double out[9]) {
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 3; ++c)
            out[3 * r + c] = a[3 * r] * b[c] + a[3 * r + 1] * b[3 + c] + a[3 * r + 2] * b[6 + c];
}

// The rotation glRotated makes about one axis (0 x, 1 y, 2 z), row after row.
void AxisRotation(int axis, double degrees, double m[9]) {
    const double c = std::cos(degrees * kDegree), s = std::sin(degrees * kDegree);
    const int i = (axis + 1) % 3, j = (axis + 2) % 3;
    for (int k = 0; k < 9; ++k) m[k] = 0;
    m[3 * axis + axis] = 1;
    m[3 * i + i] = c;
    m[3 * i + j] = -s;
    m[3 * j + i] = s;
    m[3 * j + j] = c;
}

Vec Forward(double pitch, double yaw, double roll) {
    const double cp = std::cos(pitch * kDegree), sp = std::sin(pitch * kDegree);
    const double cy = std::cos(yaw * kDegree), sy = std::sin(yaw * kDegree);
    const double cr = std::cos(roll * kDegree), sr = std::sin(roll * kDegree);
    const Vec f = {-sy * cp, sp, -cy * cp};
    return {f.x * cr - f.y * sr, f.x * sr + f.y * cr, f.z};
}

// The turn on the great circle that takes unit a to unit b. Opposite vectors
// turn about the part of the vertical square to them, as a camera turns
// round (about x when that is nothing).
struct Rotation {
    Vec axis;
    double angle;
};

Rotation Between(Vec a, Vec b) {
    Vec axis = Cross(a, b);
    const double sinAngle = Length(axis), cosAngle = Dot(a, b);
    if (sinAngle < 1e-12) {
        if (cosAngle > 0) return {{0, 1, 0}, 0};
        const Vec up = {0, 1, 0};
        axis = up + (-Dot(up, a)) * a;
        if (Length(axis) < 1e-6) axis = Vec{1, 0, 0} + (-a.x) * a;
    }
    return {(1 / Length(axis)) * axis, std::atan2(sinAngle, cosAngle)};
}

// How far along a flight is at a share of its time, both 0..1: speed and
// acceleration are 0 at both ends, so neither the start nor the arrival jerks.
double FlightEase(double t) {
    if (!(t > 0)) return 0;
    if (t >= 1) return 1;
    return t * t * t * (t * (6 * t - 15) + 10);
}

// v turned about the axis by the share w of the rotation (Rodrigues).
Vec Apply(const Rotation& r, double w, Vec v) {
    const double c = std::cos(w * r.angle), s = std::sin(w * r.angle);
    return c * v + s * Cross(r.axis, v) + ((1 - c) * Dot(r.axis, v)) * r.axis;
}

}  // namespace

CameraPose RidingPose(double radius) { return CameraPose{0, 0, 4 * radius, 0, 0, 0}; }

void CameraForward(const CameraPose& pose, double forward[3]) {
    const Vec f = Forward(pose.pitch, pose.yaw, pose.roll);
    forward[0] = f.x, forward[1] = f.y, forward[2] = f.z;
}

void CameraViewMatrix(const CameraPose& pose, double m[16]) {
    double rx[9], ry[9], rz[9], xy[9], r[9];
    AxisRotation(0, -pose.pitch, rx);
    AxisRotation(1, -pose.yaw, ry);
    AxisRotation(2, -pose.roll, rz);
    Multiply3(rx, ry, xy);
    Multiply3(xy, rz, r);
    const double p[3] = {pose.x, pose.y, pose.z};
    for (int row = 0; row < 3; ++row) {
        for (int col = 0; col < 3; ++col) m[4 * col + row] = r[3 * row + col];
        m[12 + row] = -(r[3 * row] * p[0] + r[3 * row + 1] * p[1] + r[3 * row + 2] * p[2]);
        m[4 * row + 3] = 0;
    }
    m[15] = 1;
}

void CameraProjectionMatrix(int width, int height, double m[16]) {
    if (height == 0) height = 1;
    if (width <= 0) width = 1;  // no view yet: some matrix without infinities
    const double aspect = static_cast<double>(width) / static_cast<double>(height);
    const double half = kFieldOfView / 2 * kDegree;
    const double cotangent = std::cos(half) / std::sin(half);
    const double depth = kFarPlane - kNearPlane;
    for (int k = 0; k < 16; ++k) m[k] = 0;
    m[0] = cotangent / aspect;
    m[5] = cotangent;
    m[10] = -(kFarPlane + kNearPlane) / depth;
    m[11] = -1;
    m[14] = -2 * kNearPlane * kFarPlane / depth;
}

void MakeCameraView(const CameraPose& pose, int width, int height, CameraView* out) {
    CameraViewMatrix(pose, out->view);
    CameraProjectionMatrix(width, height, out->projection);
    out->position[0] = pose.x, out->position[1] = pose.y, out->position[2] = pose.z;
    out->width = width;
    out->height = height == 0 ? 1 : height;
}

int ProjectPoint(const CameraView& view, const double point[3], double* x, double* y, double* depth) {
    double eye[4];
    for (int row = 0; row < 4; ++row)
        eye[row] = view.view[row] * point[0] + view.view[4 + row] * point[1] + view.view[8 + row] * point[2] +
                   view.view[12 + row];
    double clip[4];
    for (int row = 0; row < 4; ++row)
        clip[row] = view.projection[row] * eye[0] + view.projection[4 + row] * eye[1] +
                    view.projection[8 + row] * eye[2] + view.projection[12 + row] * eye[3];
    if (depth) *depth = -eye[2];
    if (!(-eye[2] > kNearPlane) || !(clip[3] > 0)) return 0;
    if (x) *x = (clip[0] / clip[3] + 1) * view.width / 2;
    if (y) *y = (clip[1] / clip[3] + 1) * view.height / 2;
    return 1;
}

double DiscRadiusPixels(const CameraView& view, double distance, double radius) {
    if (!(radius > 0) || !std::isfinite(distance)) return 0;
    if (distance <= radius) return view.height;
    // The silhouette's half-angle has tangent r / sqrt(d^2 - r^2).
    const double tangent = radius / std::sqrt((distance - radius) * (distance + radius));
    return tangent * view.projection[5] * view.height / 2;
}

int PickAtCentre(const PickCandidate* candidates, int count, int width, int height) {
    if (!candidates) return -1;
    const double cx = width / 2.0, cy = (height == 0 ? 1 : height) / 2.0;
    int best = -1;
    double bestGap = 0, bestDistance = 0;
    for (int k = 0; k < count; ++k) {
        const PickCandidate& c = candidates[k];
        if (!c.inFront) continue;
        double gap = std::hypot(c.x - cx, c.y - cy) - (c.discRadius > 0 ? c.discRadius : 0);
        if (!(gap > 0)) gap = std::isnan(gap) ? HUGE_VAL : 0;
        const ScreenRect& r = c.label;
        if (r.x1 > r.x0 && r.y1 > r.y0) {
            const double dx = std::fmax(0.0, std::fmax(r.x0 - cx, cx - r.x1));
            const double dy = std::fmax(0.0, std::fmax(r.y0 - cy, cy - r.y1));
            gap = std::fmin(gap, std::hypot(dx, dy));
        }
        if (!(gap <= PickReachPixels)) continue;
        if (best < 0 || gap < bestGap || (gap == bestGap && c.distance < bestDistance)) {
            best = k;
            bestGap = gap;
            bestDistance = c.distance;
        }
    }
    return best;
}

CameraFlight::CameraFlight()
    : from{0, 0, 0, 0, 0, 0}, radius(0), aimAxis{0, 1, 0}, aimAngle(0), lastYaw(0), tick(FlightTicks) {}

namespace {

// Where the camera stands as seen from the target, had it stayed with the
// frame it left: a unit direction and a distance.
Vec FromTarget(const CameraPose& from, const double fromFrame[3], const double target[3], double* distance) {
    const Vec start = {fromFrame[0] + from.x - target[0], fromFrame[1] + from.y - target[1],
                       fromFrame[2] + from.z - target[2]};
    *distance = Length(start);
    return *distance > 0 ? (1 / *distance) * start : Vec{0, 0, 1};
}

}  // namespace

void CameraFlight::Start(const CameraPose& pose, const double fromFrame[3], const double target[3],
                         double targetRadius) {
    from = pose;
    // Whole turns mean nothing to the view; without them the line of sight
    // turns the short way.
    from.yaw = std::remainder(pose.yaw, 360.0);
    from.roll = std::remainder(pose.roll, 360.0);
    radius = targetRadius > 0 && std::isfinite(targetRadius) ? targetRadius : 0;
    double d0 = 0;
    const Vec u0 = FromTarget(from, fromFrame, target, &d0);
    const Rotation aim = Between(-1 * u0, Forward(from.pitch, from.yaw, from.roll));
    aimAxis[0] = aim.axis.x, aimAxis[1] = aim.axis.y, aimAxis[2] = aim.axis.z;
    aimAngle = aim.angle;
    lastYaw = from.yaw;
    tick = 0;
}

int CameraFlight::Advance(const double fromFrame[3], const double target[3], CameraPose* pose) {
    if (tick >= FlightTicks) return 0;
    ++tick;
    if (tick == FlightTicks) {
        *pose = RidingPose(radius);
        return 1;
    }
    const double w = FlightEase(static_cast<double>(tick) / FlightTicks);

    const Vec end = {0, 0, 1};
    double d0 = 0;
    const Vec u0 = FromTarget(from, fromFrame, target, &d0);
    const double d1 = 4 * radius;
    const double d = d0 > 0 && d1 > 0 ? d0 * std::pow(d1 / d0, w) : (1 - w) * d0 + w * d1;
    const Rotation path = Between(u0, end);
    const Vec u = Apply(path, w, u0);

    // The start's aim, carried round with the camera and let go as the
    // flight goes on.
    const Rotation aim = {Apply(path, w, Vec{aimAxis[0], aimAxis[1], aimAxis[2]}), aimAngle};
    const Vec seen = Apply(aim, 1 - w, -1 * u);
    // Roll turns the line of sight about z after pitch and yaw: take it out
    // to find them.
    const double roll = (1 - w) * from.roll;
    const double cr = std::cos(roll * kDegree), sr = std::sin(roll * kDegree);
    const Vec look = {seen.x * cr + seen.y * sr, -seen.x * sr + seen.y * cr, seen.z};
    double yaw = lastYaw;
    if (std::fabs(look.x) > 1e-12 || std::fabs(look.z) > 1e-12) {
        yaw = std::atan2(-look.x, -look.z) / kDegree;
        yaw = lastYaw + std::remainder(yaw - lastYaw, 360.0);
    }
    lastYaw = yaw;
    const double up = look.y < -1 ? -1 : look.y > 1 ? 1 : look.y;

    pose->x = d * u.x;
    pose->y = d * u.y;
    pose->z = d * u.z;
    pose->pitch = std::asin(up) / kDegree;
    pose->yaw = yaw;
    pose->roll = roll;
    return 1;
}
