// The camera of Application::Render as the sky's tests need it: a direction
// in the model's frame to the place on the window where GL draws it, and
// back. gluPerspective with 45 degrees vertically and the window's aspect,
// turned by -pitch about x and then -yaw about y. Window places are in
// picture coordinates: x to the right and y down from the top-left corner,
// pixel (i, j) covering [i, i + 1) x [j, j + 1).
#ifndef ORRERY_TESTS_SKYVIEW_H
#define ORRERY_TESTS_SKYVIEW_H

#include <cmath>

#include "tools/sky/SkySphere.h"

struct SkyView {
    int width, height;
    double pitch, yaw;  // degrees, as the Application holds them

    static double Rad(double deg) { return deg * 3.14159265358979323846 / 180.0; }
    double HalfHeight() const { return std::tan(Rad(22.5)); }  // at distance 1
    double Aspect() const { return static_cast<double>(width) / height; }
    // Pixels per unit at distance 1 from the eye.
    double Focal() const { return 0.5 * height / HalfHeight(); }

    // Model frame to eye: what the view transform does to a direction.
    SkyVec ToEye(SkyVec d) const {
        double cy = std::cos(Rad(yaw)), sy = std::sin(Rad(yaw));
        double x = d.x * cy - d.z * sy, z = d.x * sy + d.z * cy;  // glRotated(-yaw, 0, 1, 0)
        double cp = std::cos(Rad(pitch)), sp = std::sin(Rad(pitch));
        return {x, d.y * cp + z * sp, -d.y * sp + z * cp};        // then glRotated(-pitch, 1, 0, 0)
    }
    SkyVec FromEye(SkyVec e) const {
        double cp = std::cos(Rad(pitch)), sp = std::sin(Rad(pitch));
        double y = e.y * cp - e.z * sp, z = e.y * sp + e.z * cp;
        double cy = std::cos(Rad(yaw)), sy = std::sin(Rad(yaw));
        return {e.x * cy + z * sy, y, -e.x * sy + z * cy};
    }

    // Where direction d lands on the window; false when it is behind the eye.
    bool Project(SkyVec d, double* x, double* y) const {
        SkyVec e = ToEye(d);
        if (e.z >= 0.0) return false;
        double nx = e.x / -e.z / (HalfHeight() * Aspect()), ny = e.y / -e.z / HalfHeight();
        *x = (nx + 1.0) * 0.5 * width;
        *y = (1.0 - ny) * 0.5 * height;
        return true;
    }
    // The direction through window place (x, y); through the centre of pixel
    // (i, j) for (i + 0.5, j + 0.5).
    SkyVec Unproject(double x, double y) const {
        double ex = (2.0 * x / width - 1.0) * HalfHeight() * Aspect();
        double ey = (1.0 - 2.0 * y / height) * HalfHeight();
        return FromEye({ex, ey, -1.0});
    }
};

// Angle between two directions, degrees.
inline double AngleDeg(SkyVec a, SkyVec b) {
    double dot = a.x * b.x + a.y * b.y + a.z * b.z;
    double cross2 = (a.y * b.z - a.z * b.y) * (a.y * b.z - a.z * b.y) + (a.z * b.x - a.x * b.z) * (a.z * b.x - a.x * b.z) +
                    (a.x * b.y - a.y * b.x) * (a.x * b.y - a.y * b.x);
    return std::atan2(std::sqrt(cross2), dot) * 180.0 / 3.14159265358979323846;
}

#endif
