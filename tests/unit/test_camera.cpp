// The camera off the GPU: its matrices against the GL calls composed by hand,
// points landing on the pixels the window shows them at through whole mouse
// gestures, the picking rule at and just beyond its reach, and whole flights.
#include <gtest/gtest.h>

#include <cmath>

#include "core/app/Camera.h"

namespace {

const double kPi = 3.14159265358979323846, kDeg = kPi / 180;

// 4 x 4, column after column, as GL keeps them.
struct Mat {
    double m[16];
};

Mat Identity() {
    Mat r = {};
    for (int k = 0; k < 4; ++k) r.m[5 * k] = 1;
    return r;
}

Mat operator*(const Mat& a, const Mat& b) {
    Mat r = {};
    for (int row = 0; row < 4; ++row)
        for (int col = 0; col < 4; ++col)
            for (int k = 0; k < 4; ++k) r.m[4 * col + row] += a.m[4 * k + row] * b.m[4 * col + k];
    return r;
}

// What glRotated multiplies by: the rotation about a unit axis, as its manual writes it.
Mat GlRotate(double degrees, double x, double y, double z) {
    const double c = std::cos(degrees * kDeg), s = std::sin(degrees * kDeg);
    const double rows[3][3] = {{x * x * (1 - c) + c, x * y * (1 - c) - z * s, x * z * (1 - c) + y * s},
                               {y * x * (1 - c) + z * s, y * y * (1 - c) + c, y * z * (1 - c) - x * s},
                               {x * z * (1 - c) - y * s, y * z * (1 - c) + x * s, z * z * (1 - c) + c}};
    Mat r = Identity();
    for (int row = 0; row < 3; ++row)
        for (int col = 0; col < 3; ++col) r.m[4 * col + row] = rows[row][col];
    return r;
}

Mat GlTranslate(double x, double y, double z) {
    Mat r = Identity();
    r.m[12] = x, r.m[13] = y, r.m[14] = z;
    return r;
}

// gluPerspective as its manual writes it: f = cot(fovy / 2).
Mat GluPerspective(double fovy, double aspect, double zNear, double zFar) {
    const double f = 1 / std::tan(fovy / 2 * kDeg);
    Mat r = {};
    r.m[0] = f / aspect;
    r.m[5] = f;
    r.m[10] = (zFar + zNear) / (zNear - zFar);
    r.m[11] = -1;
    r.m[14] = 2 * zFar * zNear / (zNear - zFar);
    return r;
}

double Distance(const double a[3], const double b[3]) { return std::hypot(a[0] - b[0], a[1] - b[1], a[2] - b[2]); }

double AngleBetween(const double a[3], const double b[3]) {
    const double c[3] = {a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0]};
    return std::atan2(std::hypot(c[0], c[1], c[2]), a[0] * b[0] + a[1] * b[1] + a[2] * b[2]);
}

}  // namespace

TEST(CameraMatrices, AreWhatTheGlCallsMake) {
    const CameraPose poses[] = {{0, 0, 0, 0, 0, 0},
                                {1, 2, 3, 30, 0, 0},
                                {0, 0, 0.4, 0, 45, 0},
                                {-5, 7, 11, 0, 0, 25},
                                {100, -3, 250, -60, 215, 10},
                                {0, 0, 0, 90, -720.5, 0},
                                {3e3, 1e-3, -2e3, -89.9, 1e4, -370}};
    for (const CameraPose& p : poses) {
        SCOPED_TRACE(testing::Message() << "pose " << p.x << " " << p.y << " " << p.z << " / " << p.pitch << " "
                                        << p.yaw << " " << p.roll);
        const Mat want = Identity() * GlRotate(-p.pitch, 1, 0, 0) * GlRotate(-p.yaw, 0, 1, 0) *
                         GlRotate(-p.roll, 0, 0, 1) * GlTranslate(-p.x, -p.y, -p.z);
        double got[16];
        CameraViewMatrix(p, got);
        for (int k = 0; k < 16; ++k)
            EXPECT_NEAR(want.m[k], got[k], 1e-12 * (1 + std::fabs(want.m[k]))) << "element " << k;
    }
    const struct {
        int w, h;
        double aspect;
    } sizes[] = {{640, 480, 4.0 / 3}, {1920, 1080, 16.0 / 9}, {300, 0, 300}};
    for (const auto& s : sizes) {
        const Mat want = GluPerspective(45, s.aspect, 0.01f, 10000);
        double got[16];
        CameraProjectionMatrix(s.w, s.h, got);
        for (int k = 0; k < 16; ++k)
            EXPECT_NEAR(want.m[k], got[k], 1e-12 * (1 + std::fabs(want.m[k])))
                << s.w << "x" << s.h << ", element " << k;
    }
}

// Straight ahead is the middle of the view, 22.5 degrees up the top row and
// the field's half-width to the side the right edge, whatever the pose;
// behind the eye is never on screen.
TEST(CameraProjection, PointsLandWhereTheFieldOfViewPutsThem) {
    const CameraPose poses[] = {
        {0, 0, 0, 0, 0, 0}, {0, 0, 0.4, 0, 0, 0}, {120, -4, 33, 35, 200, 0}, {-9, 9, 9, -80, -45, 0}};
    const int sizes[][2] = {{640, 480}, {1920, 1080}, {800, 1280}};
    for (const CameraPose& p : poses)
        for (const auto& size : sizes) {
            SCOPED_TRACE(testing::Message()
                         << "yaw " << p.yaw << ", pitch " << p.pitch << ", " << size[0] << "x" << size[1]);
            const int W = size[0], H = size[1];
            const double w = W, h = H;
            CameraView view;
            MakeCameraView(p, W, H, &view);
            // The camera's own axes: forward, and up and right square to it.
            const double cp = std::cos(p.pitch * kDeg), sp = std::sin(p.pitch * kDeg), cy = std::cos(p.yaw * kDeg),
                         sy = std::sin(p.yaw * kDeg);
            const double fwd[3] = {-sy * cp, sp, -cy * cp}, up[3] = {sy * sp, cp, cy * sp}, right[3] = {cy, 0, -sy};
            const double halfUp = 22.5 * kDeg, halfSide = std::atan(std::tan(halfUp) * W / H);
            const struct {
                double ahead, upward, sideways, x, y;
                int inFront;
            } rows[] = {
                {50, 0, 0, W / 2.0, H / 2.0, 1},
                {2, 2 * std::tan(halfUp), 0, w / 2, h, 1},
                {2, -2 * std::tan(halfUp), 0, W / 2.0, 0, 1},
                {7, 0, 7 * std::tan(halfSide), w, h / 2, 1},
                {7, 0, -7 * std::tan(halfSide) / 2, W / 4.0, H / 2.0, 1},
                {-3, 0, 0, 0, 0, 0},
                {0.005, 0, 0, 0, 0, 0},  // nearer than the near plane
            };
            for (const auto& row : rows) {
                double point[3], x = -1, y = -1, depth = 0;
                for (int i = 0; i < 3; ++i)
                    point[i] = view.position[i] + row.ahead * fwd[i] + row.upward * up[i] + row.sideways * right[i];
                ASSERT_EQ(row.inFront, ProjectPoint(view, point, &x, &y, &depth)) << "ahead " << row.ahead;
                EXPECT_NEAR(row.ahead, depth, 1e-9 * (1 + std::fabs(row.ahead)));
                if (!row.inFront) continue;
                EXPECT_NEAR(row.x, x, 1e-6)
                    << "ahead " << row.ahead << ", up " << row.upward << ", right " << row.sideways;
                EXPECT_NEAR(row.y, y, 1e-6)
                    << "ahead " << row.ahead << ", up " << row.upward << ", right " << row.sideways;
            }
        }
}

// The mouse moved 1080 pixels to the right, 3 pixels a tick as the window
// turns it (a degree): the body that was straight ahead slides left at the
// pace the field of view sets, leaves the view, is behind, comes back from
// the right, and after the full turn the view is the one it started from.
TEST(CameraProjection, AFullTurnOfYawBringsTheViewBack) {
    const int W = 1024, H = 768;
    CameraPose pose = {5, -2, 40, 10, 0, 0};
    double before[16];
    CameraViewMatrix(pose, before);
    double fwd[3];
    CameraForward(pose, fwd);
    const double body[3] = {pose.x + 30 * fwd[0], pose.y + 30 * fwd[1], pose.z + 30 * fwd[2]};
    const double focal = H / 2.0 / std::tan(22.5 * kDeg);
    for (int step = 1; step <= 360; ++step) {
        pose.yaw -= 3 * (1.0 / 3.0);
        CameraView view;
        MakeCameraView(pose, W, H, &view);
        double x = 0, y = 0;
        const int inFront = ProjectPoint(view, body, &x, &y, nullptr);
        // The yaw turns the world the other way about y, then the pitch of
        // 10 degrees about x.
        const double t = step * kDeg;
        const double rel[3] = {30 * fwd[0], 30 * fwd[1], 30 * fwd[2]};
        const double turned[3] = {rel[0] * std::cos(t) + rel[2] * std::sin(t), rel[1],
                                  -rel[0] * std::sin(t) + rel[2] * std::cos(t)};
        const double cp = std::cos(10 * kDeg), sp = std::sin(10 * kDeg);
        const double ex = turned[0], ey = turned[1] * cp + turned[2] * sp, ez = -turned[1] * sp + turned[2] * cp;
        ASSERT_EQ(-ez > 0.01 ? 1 : 0, inFront) << "after " << step << " degrees";
        if (!inFront) continue;
        EXPECT_NEAR(W / 2.0 + focal * ex / -ez, x, 1e-6) << "after " << step << " degrees";
        EXPECT_NEAR(H / 2.0 + focal * ey / -ez, y, 1e-6) << "after " << step << " degrees";
        if (step < 90) {
            EXPECT_LT(x, W / 2.0) << "turning right moves what was ahead to the left";
        }
    }
    double after[16];
    CameraViewMatrix(pose, after);
    for (int k = 0; k < 16; ++k) EXPECT_NEAR(before[k], after[k], 1e-9) << "element " << k;
}

// The rule by itself: disc or label, whichever is nearer the centre, up to
// 40 pixels; the nearer body where both are on the centre; never one behind.
TEST(Picking, TheNearestDiscOrLabelWithinFortyPixels) {
    const int W = 800, H = 600;
    const double cx = 400, cy = 300;
    const ScreenRect none = {0, 0, 0, 0};
    const struct {
        const char* what;
        PickCandidate c[3];
        int count, want;
    } rows[] = {
        {"a disc on the centre", {{cx, cy, 5, none, 10, 1}}, 1, 0},
        {"a point body on the centre", {{cx, cy, 0, none, 10, 1}}, 1, 0},
        {"disc edge 39.9 pixels off", {{cx + 49.9, cy, 10, none, 10, 1}}, 1, 0},
        {"disc edge 40 pixels off", {{cx, cy - 50, 10, none, 10, 1}}, 1, 0},
        {"disc edge 40.1 pixels off", {{cx + 30.06, cy + 40.08, 10, none, 10, 1}}, 1, -1},
        {"label 39.9 pixels off, disc far", {{cx + 300, cy, 3, {cx + 39.9, cy - 5, cx + 90, cy + 10}, 10, 1}}, 1, 0},
        {"label 40.1 pixels off diagonally",
         {{cx + 300, cy, 3, {cx + 24.06, cy + 32.08, cx + 90, cy + 60}, 10, 1}},
         1,
         -1},
        {"behind the camera, on the centre", {{cx, cy, 50, {cx - 5, cy - 5, cx + 5, cy + 5}, 10, 0}}, 1, -1},
        {"two discs on the centre: the nearer", {{cx, cy, 100, none, 50, 1}, {cx + 3, cy, 4, none, 20, 1}}, 2, 1},
        {"on a far disc beats near a nearer one", {{cx, cy, 4, none, 900, 1}, {cx + 20, cy, 4, none, 1, 1}}, 2, 0},
        {"a label on the centre beats a disc beside it",
         {{cx + 8, cy, 2, none, 5, 1}, {cx - 200, cy, 2, {cx - 10, cy - 8, cx + 40, cy + 8}, 90, 1}},
         2,
         1},
        {"equal in all: the earlier", {{cx + 10, cy, 2, none, 5, 1}, {cx - 10, cy, 2, none, 5, 1}}, 2, 0},
        {"none at all", {}, 0, -1},
    };
    for (const auto& row : rows) EXPECT_EQ(row.want, PickAtCentre(row.c, row.count, W, H)) << row.what;
}

// Riding with Zeme (the digit key's pose), the user turns right a twentieth
// of a degree a tick: Zeme stays picked until the edge of its disc is more
// than 40 pixels from the centre, by the field of view's own arithmetic.
TEST(Picking, TurningAwayLosesTheBodyJustBeyondFortyPixels) {
    const int W = 640, H = 480;
    const double radius = 0.1, focal = H / 2.0 / std::tan(22.5 * kDeg);
    const double origin[3] = {0, 0, 0};
    CameraPose pose = RidingPose(radius);
    int lostAt = -1;
    for (int tick = 0; tick < 2000 && lostAt < 0; ++tick) {
        pose.yaw = -0.05 * tick;
        CameraView view;
        MakeCameraView(pose, W, H, &view);
        PickCandidate c = {};
        c.distance = Distance(origin, view.position);
        c.inFront = ProjectPoint(view, origin, &c.x, &c.y, nullptr);
        c.discRadius = DiscRadiusPixels(view, c.distance, radius);
        const double offset = focal * std::tan(0.05 * tick * kDeg);
        const double edge = offset - focal * radius / std::sqrt(15 * radius * radius);
        const int got = PickAtCentre(&c, 1, W, H);
        if (got < 0) lostAt = tick;
        EXPECT_EQ(edge <= 40 + 1e-9 ? 0 : -1, got) << "yaw " << pose.yaw << ": the disc's edge " << edge << " px off";
    }
    ASSERT_GT(lostAt, 0);
    const double lostEdge = focal * std::tan(0.05 * lostAt * kDeg) - focal / std::sqrt(15.0);
    EXPECT_GT(lostEdge, 40);
    EXPECT_LT(lostEdge, 40 + focal * 0.05 * kDeg * 1.2) << "lost within a tick of crossing 40 px";
}

// Whole flights between bodies that stand still, from situations a user
// gets into: the last tick is exactly the digit key's pose, the distance to
// the body changes one way only, the angle off the body never grows, and
// the first and last ticks move the camera by a trifle of an average tick.
TEST(CameraFlight, EndsRidingTheBodyWithoutAJumpAtEitherEnd) {
    const double sunAt[3] = {0, 0, 0}, jupiterAt[3] = {-300, 0, 430};
    const struct {
        const char* what;
        CameraPose pose;
        const double* frame;
        const double* target;
        double radius;
    } rows[] = {
        {"from the start view to Jupiter", {0, 0, 0, 0, 0, 0}, sunAt, jupiterAt, 1.1},
        {"aimed at Jupiter from the Sun's frame", {100, 50, 100, -5.3, 48.5, 0}, sunAt, jupiterAt, 1.1},
        {"from a rolled view", {50, 20, -80, 10, 200, 30}, sunAt, jupiterAt, 1.1},
        {"from riding Jupiter to the Sun", RidingPose(1.1), jupiterAt, sunAt, 10},
        {"from behind the body, looking away", {0, 0, -200, 0, 0, 0}, sunAt, sunAt, 10},
        {"from straight above, looking down", {0, 300, 0, -90, 0, 0}, sunAt, sunAt, 10},
        {"from inside the body outwards", {0, 1, 2, 20, 1000, 0}, sunAt, sunAt, 10},
        {"across the system to a small body", {0, 0, 3950, 0, 0, 0}, jupiterAt, sunAt, 0.03},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        CameraFlight flight;
        EXPECT_FALSE(flight.Flying());
        flight.Start(row.pose, row.frame, row.target, row.radius);
        const double startAt[3] = {row.frame[0] + row.pose.x, row.frame[1] + row.pose.y, row.frame[2] + row.pose.z};
        double startLook[3];
        CameraForward(row.pose, startLook);
        const double toTarget0[3] = {row.target[0] - startAt[0], row.target[1] - startAt[1],
                                     row.target[2] - startAt[2]};
        double lastAngle = AngleBetween(startLook, toTarget0);
        const double d0 = Distance(startAt, row.target), d1 = 4 * row.radius;
        double last[3] = {startAt[0], startAt[1], startAt[2]}, lastDistance = d0, steps[CameraFlight::FlightTicks];
        double lastLook[3] = {startLook[0], startLook[1], startLook[2]}, turns[CameraFlight::FlightTicks];
        double travelled = 0, turned = 0;
        CameraPose pose = {}, before = row.pose;
        int ticks = 0;
        while (flight.Flying()) {
            ASSERT_EQ(1, flight.Advance(row.frame, row.target, &pose));
            // The angles themselves, as the window keeps them, move on
            // smoothly too (whole turns of yaw aside at either end).
            const bool end = ticks == 0 || !flight.Flying();
            EXPECT_LT(std::fabs(end ? std::remainder(pose.yaw - before.yaw, 360) : pose.yaw - before.yaw), 5)
                << "tick " << ticks + 1 << ": yaw from " << before.yaw << " to " << pose.yaw;
            EXPECT_LT(std::fabs(pose.pitch - before.pitch), 5) << "tick " << ticks + 1;
            before = pose;
            const double at[3] = {row.target[0] + pose.x, row.target[1] + pose.y, row.target[2] + pose.z};
            double look[3];
            CameraForward(pose, look);
            const double distance = Distance(at, row.target);
            if (d0 > d1)
                EXPECT_LE(distance, lastDistance * (1 + 1e-12)) << "tick " << ticks + 1 << " moved away";
            else
                EXPECT_GE(distance, lastDistance * (1 - 1e-12)) << "tick " << ticks + 1 << " moved in";
            // Across the whole system or from close by, the body never looks
            // a fifth larger or smaller from one tick to the next.
            EXPECT_GT(distance / lastDistance, 0.85) << "tick " << ticks + 1 << " rushed in";
            EXPECT_LT(distance / lastDistance, 1 / 0.85) << "tick " << ticks + 1 << " rushed out";
            const double toTarget[3] = {row.target[0] - at[0], row.target[1] - at[1], row.target[2] - at[2]};
            const double angle = AngleBetween(look, toTarget);
            EXPECT_LE(angle, lastAngle + 1e-9) << "tick " << ticks + 1 << " looked further off the body";
            steps[ticks] = Distance(at, last);
            turns[ticks] = AngleBetween(look, lastLook);
            travelled += steps[ticks];
            turned += turns[ticks];
            for (int i = 0; i < 3; ++i) last[i] = at[i], lastLook[i] = look[i];
            lastDistance = distance;
            lastAngle = angle;
            ++ticks;
        }
        ASSERT_EQ(CameraFlight::FlightTicks, ticks);
        const CameraPose riding = RidingPose(row.radius);
        EXPECT_EQ(riding.x, pose.x);
        EXPECT_EQ(riding.y, pose.y);
        EXPECT_EQ(riding.z, pose.z);
        EXPECT_EQ(0, pose.pitch);
        EXPECT_EQ(0, pose.yaw);
        EXPECT_EQ(0, pose.roll);
        EXPECT_EQ(0, flight.Advance(row.frame, row.target, &pose));
        const double meanStep = travelled / ticks, meanTurn = turned / ticks;
        EXPECT_LT(steps[0], 0.01 * meanStep) << "first tick moved " << steps[0] << ", an average tick " << meanStep;
        EXPECT_LT(steps[ticks - 1], 0.01 * meanStep)
            << "last tick moved " << steps[ticks - 1] << ", average " << meanStep;
        EXPECT_LE(turns[0], 0.01 * meanTurn + 1e-12) << "first tick turned " << turns[0] << ", average " << meanTurn;
        EXPECT_LE(turns[ticks - 1], 0.01 * meanTurn + 1e-12) << "last tick turned " << turns[ticks - 1];
        for (int k = 1; k < ticks; ++k) {
            EXPECT_LT(steps[k], 8 * meanStep) << "tick " << k + 1 << " leapt";
            EXPECT_LT(turns[k], 8 * meanTurn + 1e-12) << "tick " << k + 1 << " swung";
        }
    }
}

// Aimed at a moving body from a moving frame: at first the camera keeps
// riding with the frame it left, the body stays in the middle of the view
// all the way, and the flight ends riding the body as it has moved on.
TEST(CameraFlight, FollowsMovingBodiesAndKeepsTheAimedBodyCentred) {
    const int W = 800, H = 600;
    double zeme[3] = {0, 0, 100}, mars[3] = {150, -2, 10};
    const double zemeStep[3] = {-0.03, 0, 0.001}, marsStep[3] = {0.002, 0, 0.024};
    // Riding with Zeme, a little above it, aimed at Mars.
    CameraPose pose = {0.3, 0.2, 0.4, 0, 0, 0};
    const double toMars[3] = {mars[0] - zeme[0] - pose.x, mars[1] - zeme[1] - pose.y, mars[2] - zeme[2] - pose.z};
    pose.yaw = std::atan2(-toMars[0], -toMars[2]) / kDeg;
    pose.pitch = std::asin(toMars[1] / std::hypot(toMars[0], toMars[1], toMars[2])) / kDeg;
    CameraFlight flight;
    flight.Start(pose, zeme, mars, 0.05);
    const double averageTick = std::hypot(toMars[0], toMars[1], toMars[2]) / CameraFlight::FlightTicks;
    double last[3] = {zeme[0] + pose.x, zeme[1] + pose.y, zeme[2] + pose.z};
    for (int tick = 1; flight.Flying(); ++tick) {
        for (int i = 0; i < 3; ++i) zeme[i] += zemeStep[i], mars[i] += marsStep[i];
        ASSERT_EQ(1, flight.Advance(zeme, mars, &pose));
        const double at[3] = {mars[0] + pose.x, mars[1] + pose.y, mars[2] + pose.z};
        if (tick == 1) {
            const double riding[3] = {last[0] + zemeStep[0], last[1] + zemeStep[1], last[2] + zemeStep[2]};
            EXPECT_LT(Distance(at, riding), 0.01 * averageTick) << "the first tick still rides with Zeme";
        }
        CameraView view;
        MakeCameraView(pose, W, H, &view);
        const double origin[3] = {0, 0, 0};
        double x = 0, y = 0;
        ASSERT_EQ(1, ProjectPoint(view, origin, &x, &y, nullptr)) << "tick " << tick;
        EXPECT_NEAR(W / 2.0, x, 1e-6) << "tick " << tick;
        EXPECT_NEAR(H / 2.0, y, 1e-6) << "tick " << tick;
        for (int i = 0; i < 3; ++i) last[i] = at[i];
    }
    EXPECT_EQ(0.2, pose.z);
    EXPECT_EQ(0, pose.x + pose.y + pose.pitch + pose.yaw + pose.roll);
}
