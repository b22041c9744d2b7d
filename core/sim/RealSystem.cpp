// The planets' elements give where each planet system's barycentre is (the
// Earth-Moon barycentre for Zeme's row), with the velocity of its Kepler
// orbit in the model's gravity; the moons' theories give each moon about its
// planet; the planet then stands where the system's barycentre stays put
// (the Earth 4671 km from the Earth-Moon barycentre). Every mass is the
// published one in Earth masses, so the model's unit of mass stays one Zeme.
#include "core/sim/RealSystem.h"

#include <cmath>
#include <cstdio>

#include "core/sim/BodyData.h"
#include "core/sim/Ephemeris.h"
#include "core/sim/Integrator.h"
#include "core/sim/MoonTheories.h"
#include "core/sim/UniverseModel.h"
#include "platform/Platform.h"

const double RealSystemEnlargement = 23;

namespace {

const double kAuKm = 149597870.7;
const double kModelPerKm = 100 / kAuKm;
const double kJ2000 = 2451545.0;
const double kTwoPi = 6.283185307179586;
// The Sun's tide against the planet's pull below which MoonStepsPerOrbit
// steps an orbit keep a moon true for a year.
const double kUsualTide = 1e-4;

// The moons' maps beside the planets' ones; their names are the moons' own.
const char* const kMoonMaps[MoonCount] = {
    "Moon",  "Phobos", "Deimos",   "Io",       "Europa",  "Ganymede", "Callisto", "Mimas",
    "Enceladus", "Tethys", "Dione", "Rhea",    "Titan",   "Hyperion", "Iapetus",  "Miranda",
    "Ariel", "Umbriel", "Titania", "Oberon",  "Triton",  "Charon"};

// The names as the catalogs know them, in the "body" context.
const char* const kMoonNames[MoonCount] = {
    TRANSLATABLE_IN("body", "Mesic"),     TRANSLATABLE_IN("body", "Phobos"),   TRANSLATABLE_IN("body", "Deimos"),
    TRANSLATABLE_IN("body", "Io"),        TRANSLATABLE_IN("body", "Europa"),   TRANSLATABLE_IN("body", "Ganymed"),
    TRANSLATABLE_IN("body", "Kallisto"),  TRANSLATABLE_IN("body", "Mimas"),    TRANSLATABLE_IN("body", "Enceladus"),
    TRANSLATABLE_IN("body", "Tethys"),    TRANSLATABLE_IN("body", "Dione"),    TRANSLATABLE_IN("body", "Rhea"),
    TRANSLATABLE_IN("body", "Titan"),     TRANSLATABLE_IN("body", "Hyperion"), TRANSLATABLE_IN("body", "Iapetus"),
    TRANSLATABLE_IN("body", "Miranda"),   TRANSLATABLE_IN("body", "Ariel"),    TRANSLATABLE_IN("body", "Umbriel"),
    TRANSLATABLE_IN("body", "Titania"),   TRANSLATABLE_IN("body", "Oberon"),   TRANSLATABLE_IN("body", "Triton"),
    TRANSLATABLE_IN("body", "Charon")};

// The ecliptic's (X, Y, Z) in the model's axes.
void ToModel(const double ecliptic[3], double scale, double out[3]) {
    out[0] = ecliptic[0] * scale;
    out[1] = -ecliptic[2] * scale;
    out[2] = ecliptic[1] * scale;
}

// The traits the published tables give a body: true radius, oblateness,
// pole and prime meridian (W counted so that BodyFrame at the UT day gives
// the published angle at the same instant).
void SetTraits(UniverseModel& u, int slot, int real, double jdUT, double jdTT) {
    const BodyData& d = BodyDataTable[real];
    BodyTraits& t = u.traits[slot];
    t.radius = d.radius * kModelPerKm;
    t.j2 = d.j2;
    t.j4 = d.j4;
    t.jRadius = d.jRadius * kModelPerKm;
    double m[9], ra, dec, w;
    if (BodyOrientationModel(real, jdTT, m) && BodyRotationAngles(real, jdTT, &ra, &dec, &w)) {
        t.pole[0] = m[2], t.pole[1] = m[5], t.pole[2] = m[8];
        t.wRate = d.wRate;
        t.w0 = std::remainder(w - d.wRate * (jdUT - kJ2000), 360.0);
    }
    Body& b = u.bodies[slot];
    b.polomer = RealSystemEnlargement * t.radius;
}

}  // namespace

namespace {

// Where each moon stands about its planet at a date (model axes and units).
struct MoonStates {
    double rho[MoonCount][3], vel[MoonCount][3];
};

int TheoryStates(double jdTT, double day, MoonStates& s) {
    for (int m = 0; m < MoonCount; ++m) {
        double p[3], v[3];
        if (!MoonState(m, jdTT, p, v)) return 0;
        ToModel(p, kModelPerKm, s.rho[m]);
        ToModel(v, kModelPerKm * day, s.vel[m]);
    }
    return 1;
}

// The planets (placed as their systems' barycentres in `made`) with their
// moons about them; the planets take their own masses.
void PlaceMoons(UniverseModel& made, const MoonStates& s) {
    for (int slot = FirstPlanetSlot; slot < FirstMoonSlot; ++slot) {
        Body& planet = made.bodies[slot];
        const double systemMass = planet.hmotnost;
        double offset[3] = {0, 0, 0}, drift[3] = {0, 0, 0};
        for (int m = 0; m < MoonCount; ++m) {
            if (MoonTable[m].planetSlot != slot) continue;
            const double mass = BodyMassInEarths(RealMesic + m);
            for (int k = 0; k < 3; ++k) {
                offset[k] += mass * s.rho[m][k] / systemMass;
                drift[k] += mass * s.vel[m][k] / systemMass;
            }
        }
        planet.x -= offset[0], planet.y -= offset[1], planet.z -= offset[2];
        planet.vx -= drift[0], planet.vy -= drift[1], planet.vz -= drift[2];
        planet.hmotnost = BodyMassInEarths(slot - 1);
    }
    for (int m = 0; m < MoonCount; ++m) {
        const int slot = FirstMoonSlot + m;
        const Body& planet = made.bodies[MoonTable[m].planetSlot];
        Body& b = made.bodies[slot];
        std::snprintf(b.meno, sizeof b.meno, "%s", kMoonNames[m]);
        std::snprintf(b.soubor, sizeof b.soubor, "Data/planety_256x128x24/%s.bmp", kMoonMaps[m]);
        b.hmotnost = BodyMassInEarths(RealMesic + m);
        b.x = planet.x + s.rho[m][0], b.y = planet.y + s.rho[m][1], b.z = planet.z + s.rho[m][2];
        b.vx = planet.vx + s.vel[m][0], b.vy = planet.vy + s.vel[m][1], b.vz = planet.vz + s.vel[m][2];
        made.traits[slot].parent = MoonTable[m].planetSlot;
    }
}

// The angle (radians) from the theory's direction to the universe's, about
// the theory's orbit normal: positive when the universe's moon is ahead.
double AngleAhead(const UniverseModel& u, int m, const MoonStates& theory) {
    const Body& b = u.bodies[FirstMoonSlot + m];
    const Body& p = u.bodies[MoonTable[m].planetSlot];
    const double ours[3] = {b.x - p.x, b.y - p.y, b.z - p.z};
    const double* r = theory.rho[m];
    const double* v = theory.vel[m];
    const double n[3] = {r[1] * v[2] - r[2] * v[1], r[2] * v[0] - r[0] * v[2], r[0] * v[1] - r[1] * v[0]};
    const double c[3] = {r[1] * ours[2] - r[2] * ours[1], r[2] * ours[0] - r[0] * ours[2],
                         r[0] * ours[1] - r[1] * ours[0]};
    const double nn = VectorLength(n[0], n[1], n[2]);
    const double sine = (c[0] * n[0] + c[1] * n[1] + c[2] * n[2]) / nn;
    const double cosine = r[0] * ours[0] + r[1] * ours[1] + r[2] * ours[2];
    return std::atan2(sine, cosine);
}

// The theories' moons keep their published mean motions; started as the
// theories give them, the model's moons would not quite: a theory's distance
// off by a part in ten thousand, or an oblateness beyond J4 that the model
// leaves out, moves a moon by degrees within a month. So each moon's speed
// about its planet is set so that, over a calibration month, it keeps pace
// with its theory (a fit of the angle it gains, as the slope through the
// start); its position stays the theory's.
const double kCalibrationDays = 30;
const int kCalibrationSamples = 15;
const int kCalibrationRounds = 3;

void Calibrate(const UniverseModel& barycentres, double jdTT, double day, MoonStates& start) {
    // A step of a few hours keeps the planets' and the tides' part as true
    // as the running universe's; samples fall on whole ticks.
    const double deltat = 0.05;
    const long ticksPerSample = std::lround(kCalibrationDays / kCalibrationSamples / (deltat * day));
    MoonStates theory[kCalibrationSamples];
    double when[kCalibrationSamples];
    for (int i = 0; i < kCalibrationSamples; ++i) {
        when[i] = (i + 1) * ticksPerSample * (deltat * day);
        if (!TheoryStates(jdTT + when[i], day, theory[i])) return;
    }
    for (int round = 0; round < kCalibrationRounds; ++round) {
        UniverseModel u = barycentres;
        PlaceMoons(u, start);
        u.deltat = deltat;
        u.Scheme().ChangeStep(u, 0, u.StepLength());
        double sumTA[MoonCount] = {}, sumTT = 0;
        for (int i = 0; i < kCalibrationSamples; ++i) {
            for (long t = 0; t < ticksPerSample; ++t) u.Step();
            for (int m = 0; m < MoonCount; ++m) sumTA[m] += when[i] * AngleAhead(u, m, theory[i]);
            sumTT += when[i] * when[i];
        }
        for (int m = 0; m < MoonCount; ++m) {
            const double* r = start.rho[m];
            const double* v = start.vel[m];
            const double n[3] = {r[1] * v[2] - r[2] * v[1], r[2] * v[0] - r[0] * v[2], r[0] * v[1] - r[1] * v[0]};
            const double rr = r[0] * r[0] + r[1] * r[1] + r[2] * r[2];
            const double rate = VectorLength(n[0], n[1], n[2]) / rr * (1 / day);  // radians a day
            const double gained = sumTA[m] / sumTT;                                 // radians a day
            // A speed higher by a part e raises the orbit and slows its mean
            // motion by 3 e, near enough for a circle.
            const double scale = 1 + gained / (3 * rate);
            if (!(scale > 0.99 && scale < 1.01)) continue;
            for (int k = 0; k < 3; ++k) start.vel[m][k] *= scale;
        }
    }
}

}  // namespace

int PlaceRealSystem(UniverseModel& u, double jdUT) {
    if (!EphemerisCovers(jdUT)) return 0;
    const double jdTT = jdUT + DeltaTSeconds(jdUT) / 86400;
    UniverseModel made;
    made.deltat = u.deltat;
    made.kapa = u.kapa;

    // The planets' rows place whole systems: first every planet with its moons' mass.
    for (int real = RealSun; real <= RealPluto; ++real) made.bodies[real + 1].hmotnost = BodySystemMassInEarths(real);
    if (!PlaceRealPlanets(made.bodies, made.kapa, jdUT)) return 0;
    const double day = made.DayLength();
    if (!(day > 0)) return 0;
    for (int real = RealSun; real < RealBodies; ++real) SetTraits(made, real + 1, real, jdUT, jdTT);

    MoonStates start;
    if (!TheoryStates(jdTT, day, start)) return 0;
    // The moons' steps: MoonStepsPerOrbit of the shortest orbit of each
    // system, more for a moon the Sun pulls hard on. The error of the steps
    // goes as the square of their length times the part of the pull that is
    // not the planet's, so a moon whose solar tide is a hundred times the
    // usual (the Moon's: a hundredth of the Earth's pull) takes ten times the
    // steps.
    for (int slot = FirstPlanetSlot; slot < FirstMoonSlot; ++slot) {
        double shortest = INFINITY;
        const Body& planet = made.bodies[slot];
        const double sunDistance = VectorLength(planet.x - made.bodies[SunSlot].x, planet.y - made.bodies[SunSlot].y,
                                                planet.z - made.bodies[SunSlot].z);
        for (int m = 0; m < MoonCount; ++m) {
            if (MoonTable[m].planetSlot != slot) continue;
            const double* r = start.rho[m];
            const double* v = start.vel[m];
            const double planetMass = BodyMassInEarths(slot - 1);
            const double mu = made.kapa * (planetMass + BodyMassInEarths(RealMesic + m));
            const double distance = VectorLength(r[0], r[1], r[2]);
            const double a = 1 / (2 / distance - (v[0] * v[0] + v[1] * v[1] + v[2] * v[2]) / mu);
            if (!(a > 0)) continue;
            const double ratio = distance / sunDistance;
            const double tide = 2 * made.bodies[SunSlot].hmotnost / planetMass * ratio * ratio * ratio;
            const double steps = MoonStepsPerOrbit * std::fmax(1, std::sqrt(tide / kUsualTide));
            const double step = kTwoPi * std::sqrt(a * a * a / mu) / steps;
            if (step < shortest) shortest = step;
        }
        if (std::isfinite(shortest)) made.traits[slot].moonStep = shortest;
    }
    for (int m = 0; m < MoonCount; ++m) made.traits[FirstMoonSlot + m].parent = MoonTable[m].planetSlot;

    Calibrate(made, jdTT, day, start);
    PlaceMoons(made, start);
    u = made;
    return 1;
}
