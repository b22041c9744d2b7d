// The universe's data and the built-in solar system: the Sun, nine planets on
// the axes of the x-z plane and the sky sphere. Initial velocities put every
// planet on a circular orbit about its common centre of mass with the Sun, and
// give the Sun the opposite momentum so that the system as a whole is at rest.
// Also the work of a tick (the time keys, the step, the clocks) on top of the
// gravity of core/sim/Integrator. No file, no GL: the scene adds its resources,
// files replace the bodies.
#include "core/sim/UniverseModel.h"

#include <cmath>
#include <cstdio>
#include <cstring>

#include "core/sim/Ephemeris.h"
#include "core/sim/Integrator.h"
#include "core/sim/Keys.h"
#include "core/sim/RealSystem.h"
#include "platform/Platform.h"

const char* const UniverseFileName = "Data/vesmir.ves";

double VectorLength(double a, double b, double c) { return std::sqrt(a * a + b * b + c * c); }

namespace {

struct BuiltInBody {
    const char* meno;
    const char* soubor;
    double polomer;
    double hmotnost;
    double x;
    double z;
    double rotace;
    double osaRotace;
};

// Slots 0 (sky sphere) and 1 (Sun) take only their names and paths from here;
// their numbers are set apart because they are not placed by orbit.
const BuiltInBody kBuiltIn[BuiltInSlots] = {
    {TRANSLATABLE_IN("body", "Vesmir"), "Data/planety_256x128x24/Spacea.bmp", 5000, 1, 0, 0, 0, 0},
    {TRANSLATABLE_IN("body", "Slunce"), "Data/planety_256x128x24/0Sun.bmp", 10, 332800, 0, 0, 5, 0},
    {TRANSLATABLE_IN("body", "Merkur"), "Data/planety_256x128x24/1Mercury.bmp", 0.03, 0.05, 0, -30, 2, 0},
    {TRANSLATABLE_IN("body", "Venuse"), "Data/planety_256x128x24/2Venus.bmp", 0.09, 0.89, -70, 0, 0.05, 1},
    {TRANSLATABLE_IN("body", "Zeme"), "Data/planety_256x128x24/3Earth.bmp", 0.1, 1, 0, 100, 100, -23.5},
    {TRANSLATABLE_IN("body", "Mars"), "Data/planety_256x128x24/4Mars.bmp", 0.05, 0.11, 150, 0, 97, 0},
    {TRANSLATABLE_IN("body", "Jupiter"), "Data/planety_256x128x24/5Jupiter.bmp", 1.1, 318, 0, -520, 243, 45},
    {TRANSLATABLE_IN("body", "Saturn"), "Data/planety_256x128x24/6Saturn.bmp", 0.9, 95, -950, 0, 233, -45},
    {TRANSLATABLE_IN("body", "Uran"), "Data/planety_256x128x24/7Uran.bmp", 0.4, 15, 0, 1920, 133, 90},
    {TRANSLATABLE_IN("body", "Neptun"), "Data/planety_256x128x24/8Neptun.bmp", 0.4, 17, 3010, 0, 124, 0},
    {TRANSLATABLE_IN("body", "Pluto"), "Data/planety_256x128x24/9Pluto.bmp", 0.018, 0.002, 0, -3950, 374, 0},
};

void CopyText(char* dst, size_t size, const char* src) { std::snprintf(dst, size, "%s", src); }

const double kSpeedUp = 1.1;
const double kSlowDown = 0.9090909090909091;  // nearest double to 1 / 1.1
const double kSpeedUpLimit = 10;              // keypad + stops once |deltat| truncates to 10
const double kSimTimeWrap = 20000;
const double kDegree = 3.14159265358979323846 / 180;
const double kJ2000Day = 2451545.0;

}  // namespace

UniverseModel::UniverseModel()
    : deltat(0.005), simTime(0), kapa(0.01), elapsed(0), hasDate(0), datum(0), lastTickShare(1) {
    for (int i = 0; i < UniverseSlots; ++i) {
        std::memset(&bodies[i], 0, sizeof bodies[i]);
        std::memset(&traits[i], 0, sizeof traits[i]);
    }
    for (int i = 0; i < BuiltInSlots; ++i) {
        CopyText(bodies[i].meno, sizeof bodies[i].meno, kBuiltIn[i].meno);
        CopyText(bodies[i].soubor, sizeof bodies[i].soubor, kBuiltIn[i].soubor);
    }

    Body& sun = bodies[SunSlot];
    sun.hmotnost = 332800;
    sun.polomer = 10;
    sun.rotace = 5;
    sun.osa_rotace = 0;
    sun.x = sun.y = sun.z = 0;

    Body& sky = bodies[SkySlot];
    sky.hmotnost = 1;
    sky.polomer = 5000;

    // Each planet shares the relative speed sqrt(kapa (M + m) / r) with the Sun
    // in the ratio M : m; the direction (-z, 0, x) / r makes every orbit run
    // clockwise seen from +y. The planets lie on an axis, so one component
    // carries the whole speed.
    for (int k = FirstPlanetSlot; k < BuiltInSlots; ++k) {
        const BuiltInBody& t = kBuiltIn[k];
        Body& p = bodies[k];
        p.x = t.x;
        p.y = 0;
        p.z = t.z;
        p.hmotnost = t.hmotnost;
        p.polomer = t.polomer;
        p.rotace = t.rotace;
        p.osa_rotace = t.osaRotace;

        const double r = VectorLength(sun.x - p.x, sun.y - p.y, sun.z - p.z);
        const double M = sun.hmotnost;
        const double m = p.hmotnost;
        const double s = std::sqrt(kapa / (r * (M + m)));
        const double speed = M * s;
        const double sunShare = m * s;

        const double relX = p.x - sun.x;
        const double relZ = p.z - sun.z;
        if (relX == 0) {
            // On the z axis: moves along x, towards +x when it lies at negative z.
            if (relZ < 0) {
                p.vx = speed;
                sun.vx = sun.vx - sunShare;
            } else {
                p.vx = -speed;
                sun.vx = sun.vx + sunShare;
            }
        } else {
            // On the x axis: moves along z, towards -z when it lies at negative x.
            if (relX > 0) {
                p.vz = speed;
                sun.vz = sun.vz - sunShare;
            } else {
                p.vz = -speed;
                sun.vz = sun.vz + sunShare;
            }
        }
    }
}

int UniverseModel::MakeRealSystem(double jd) {
    if (!EphemerisCovers(jd)) return 0;
    UniverseModel made;
    made.deltat = deltat;
    made.kapa = kapa;
    if (!PlaceRealSystem(made, jd)) return 0;
    // The elements give true velocities; put them where the steps keep them.
    made.Scheme().ChangeStep(made, 0, made.StepLength());
    made.hasDate = 1;
    made.datum = jd;
    *this = made;
    return 1;
}

double UniverseModel::DayLength() const { return ModelDayLength(kapa, bodies[SunSlot].hmotnost); }

const IntegratorScheme& UniverseModel::Scheme() const {
    const int end = UsedSlotEnd(bodies);
    for (int k = FirstPlanetSlot; k < end; ++k) {
        if (BodyInUse(bodies[k]) && IsMoon(k)) return NestedScheme;
    }
    return LeapfrogScheme;
}

int UniverseModel::ParentSlot(int slot) const {
    if (slot < FirstSimulatedSlot || slot >= UniverseSlots) return -1;
    const int p = traits[slot].parent;
    if (p >= FirstSimulatedSlot && p < UniverseSlots && p != slot && BodyInUse(bodies[p])) return p;
    if (slot == SunSlot || !BodyInUse(bodies[SunSlot])) return -1;
    return SunSlot;
}

bool UniverseModel::IsMoon(int slot) const {
    const int p = ParentSlot(slot);
    return p >= 0 && p != SunSlot;
}

double UniverseModel::TrueRadius(int slot) const {
    if (slot < 0 || slot >= UniverseSlots) return 0;
    return traits[slot].radius > 0 ? traits[slot].radius : bodies[slot].polomer;
}

int UniverseModel::BodyFrame(int slot, double jd, double m[9]) const {
    if (slot < 0 || slot >= UniverseSlots) return 0;
    const BodyTraits& t = traits[slot];
    const double* p = t.pole;
    const double length = VectorLength(p[0], p[1], p[2]);
    if (!(length > 0) || !std::isfinite(length) || !std::isfinite(jd)) return 0;
    const double z[3] = {p[0] / length, p[1] / length, p[2] / length};
    // W counts from the ascending node of the body's equator on the Earth's
    // equator of J2000, whose pole in the ecliptic is (0, sin e, cos e), in
    // the model's axes (0, -cos e, sin e).
    const double e = 84381.406 / 3600 * kDegree;
    const double celestial[3] = {0, -std::cos(e), std::sin(e)};
    double node[3] = {celestial[1] * z[2] - celestial[2] * z[1], celestial[2] * z[0] - celestial[0] * z[2],
                      celestial[0] * z[1] - celestial[1] * z[0]};
    double n = VectorLength(node[0], node[1], node[2]);
    if (!(n > 1e-12)) {
        // A pole along the Earth's: any node will do, the meridian turns from it.
        node[0] = 1, node[1] = 0, node[2] = 0;
        n = 1;
    }
    for (double& c : node) c /= n;
    const double ahead[3] = {z[1] * node[2] - z[2] * node[1], z[2] * node[0] - z[0] * node[2],
                             z[0] * node[1] - z[1] * node[0]};
    const double w = std::remainder(t.w0 + t.wRate * (jd - kJ2000Day), 360.0) * kDegree;
    const double x[3] = {std::cos(w) * node[0] + std::sin(w) * ahead[0], std::cos(w) * node[1] + std::sin(w) * ahead[1],
                         std::cos(w) * node[2] + std::sin(w) * ahead[2]};
    const double y[3] = {z[1] * x[2] - z[2] * x[1], z[2] * x[0] - z[0] * x[2], z[0] * x[1] - z[1] * x[0]};
    for (int r = 0; r < 3; ++r) {
        m[3 * r + 0] = x[r];
        m[3 * r + 1] = y[r];
        m[3 * r + 2] = z[r];
    }
    return 1;
}

void UniverseModel::ViewPosition(int slot, bool enlarged, double out[3]) const {
    const Body& b = bodies[slot];
    out[0] = b.x, out[1] = b.y, out[2] = b.z;
    if (!enlarged || !IsMoon(slot)) return;
    const int p = ParentSlot(slot);
    const Body& planet = bodies[p];
    const double scale = traits[p].radius > 0 ? planet.polomer / traits[p].radius : 1;
    if (!(scale > 0) || !std::isfinite(scale)) return;
    out[0] = planet.x + scale * (b.x - planet.x);
    out[1] = planet.y + scale * (b.y - planet.y);
    out[2] = planet.z + scale * (b.z - planet.z);
}

double UniverseModel::StepLength() const { return Scheme().StepLength(deltat); }

void UniverseModel::ApplyTimeKeys(unsigned char* keys) {
    if (!keys) return;
    const double before = StepLength();
    if (keys[KeyKeypadPlus]) {
        // The limit is tested on deltat truncated toward zero. Comparing the
        // truncated double avoids converting NaN or huge values to an
        // integer; NaN and infinities fail the test, as they must.
        if (std::fabs(std::trunc(deltat)) < kSpeedUpLimit) deltat = deltat * kSpeedUp;
    }
    if (keys[KeyKeypadMinus]) deltat = deltat * kSlowDown;
    if (keys[KeyKeypadMultiply]) {
        keys[KeyKeypadMultiply] = 0;
        deltat = deltat * -1.0;
    }
    // The velocities stand where the old step kept them; without this every
    // change of rate would kick each body by its pull times (old - new) / 2.
    Scheme().ChangeStep(*this, before, StepLength());
}

void UniverseModel::Step(StepListener* listener, double workLimit) {
    const IntegratorScheme& scheme = Scheme();
    const int all = scheme.StepCount(deltat);
    int steps = all;
    if (workLimit < INFINITY) {
        const double fit = std::floor(workLimit / scheme.StepWork(*this, deltat));
        if (fit < all) steps = fit >= 1 ? static_cast<int>(fit) : 1;
    }
    const double wanted = steps == all ? deltat : steps * scheme.StepLength(deltat);
    const double done = scheme.Advance(*this, deltat, listener, steps);
    if (done != wanted) {
        // A merge left a universe another scheme runs (a moon fell into its
        // planet): it runs the rest of the tick in steps of its own, and
        // leaves the velocities where its steps of the whole tick want them.
        const IntegratorScheme& now = Scheme();
        const double rest = wanted - done;
        now.ChangeStep(*this, now.StepLength(deltat), now.StepLength(rest));
        now.Advance(*this, rest, listener, now.StepCount(rest));
        Scheme().ChangeStep(*this, Scheme().StepLength(rest), Scheme().StepLength(deltat));
    }
    lastTickShare = steps == all ? 1 : wanted / deltat;
    const double time = steps == all ? deltat : wanted;
    // The spin clock advances once per massive body per tick, not per step,
    // and wraps only upwards.
    const int end = UsedSlotEnd(bodies);
    for (int k = FirstSimulatedSlot; k < end; ++k) {
        if (!BodyInUse(bodies[k])) continue;
        simTime = simTime + time;
        if (simTime > kSimTimeWrap) simTime = 0;
    }
    // Calendar bookkeeping only; nothing above reads it.
    elapsed += time;
    if (hasDate) datum += time * DayLength();
}
