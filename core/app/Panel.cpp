// The panel's arithmetic is the model's own units turned into the user's:
// lengths by the AU (100 units), times by the day length the calendar uses
// (kapa and the Sun's mass against the Gaussian constant), masses by the
// Earth's. The built-in system is shown the same way: it is not the real
// one, and the panel says no date for it.
#include "core/app/Panel.h"

#include <cmath>
#include <cstdarg>
#include <cstdio>

#include "core/sim/Ephemeris.h"
#include "core/sim/Integrator.h"
#include "core/sim/Orbits.h"
#include "core/sim/UniverseModel.h"
#include "platform/Platform.h"

namespace {

const double kAuKm = 149597870.7;
const double kEarthKg = 5.9722e24;
const double kModelPerAu = 100;
const double kYearDays = 365.25;
const double kDegree = 180 / 3.14159265358979323846;

void Add(PanelText* out, const char* format, ...) {
    if (out->lines >= PanelMaxLines) return;
    va_list args;
    va_start(args, format);
    const int n = std::vsnprintf(out->line[out->lines], PanelLineChars, format, args);
    va_end(args);
    if (n >= 0) ++out->lines;
}

double Distance(const Body& a, const Body& b) { return VectorLength(a.x - b.x, a.y - b.y, a.z - b.z); }

}  // namespace

int PanelNumbersOf(const UniverseModel& model, int slot, const double camera[3], PanelNumbers* out) {
    if (slot < FirstSimulatedSlot || slot >= UniverseSlots || !BodyInUse(model.bodies[slot])) return 0;
    // The velocities a user would measure: at the positions' time.
    UniverseModel u = model;
    u.Scheme().ChangeStep(u, u.StepLength(), 0);
    const Body& b = u.bodies[slot];
    const double day = u.DayLength();
    PanelNumbers n = {};
    n.parent = u.ParentSlot(slot);
    n.massEarths = b.hmotnost;
    n.massKg = b.hmotnost * kEarthKg;
    n.radiusKm = u.TrueRadius(slot) / kModelPerAu * kAuKm;
    n.sunAu = slot != SunSlot && BodyInUse(u.bodies[SunSlot]) ? Distance(b, u.bodies[SunSlot]) / kModelPerAu : -1;
    n.cameraAu = VectorLength(b.x - camera[0], b.y - camera[1], b.z - camera[2]) / kModelPerAu;
    n.speedKmS = -1;
    if (n.parent >= 0) {
        const Body& p = u.bodies[n.parent];
        const double speed = VectorLength(b.vx - p.vx, b.vy - p.vy, b.vz - p.vz);
        if (day > 0) n.speedKmS = speed / kModelPerAu * kAuKm / (day * 86400);
        OrbitElements o;
        if (OrbitAbout(b, p, u.kapa, &o)) {
            n.hasOrbit = 1;
            n.bound = o.bound;
            n.semiMajorAu = o.a / kModelPerAu;
            n.semiMajorKm = n.semiMajorAu * kAuKm;
            n.eccentricity = o.e;
            n.inclinationDeg = o.inclination * kDegree;
            n.periodDays = o.bound ? o.period * day : 0;
        }
    }
    *out = n;
    return 1;
}

int FormatPanel(const UniverseModel& u, int slot, const double camera[3], PanelText* out) {
    out->lines = 0;
    PanelNumbers n;
    if (!PanelNumbersOf(u, slot, camera, &n)) return 0;
    const char* name = TranslateIn("body", u.bodies[slot].meno);
    if (n.parent >= 0)
        Add(out, "%s (%s)", name, TranslateIn("body", u.bodies[n.parent].meno));
    else
        Add(out, "%s", name);
    char mass[32];
    std::snprintf(mass, sizeof mass, "%.4g", n.massKg);
    Add(out, Translate("hmotnost: %s kg (%.4g Zeme)"), mass, n.massEarths);
    Add(out, Translate("polomer: %.0f km"), n.radiusKm);
    if (n.sunAu >= 0) Add(out, Translate("vzdalenost od Slunce: %.4f AU"), n.sunAu);
    Add(out, Translate("vzdalenost od kamery: %.4g AU"), n.cameraAu);
    if (n.speedKmS >= 0) Add(out, Translate("rychlost: %.2f km/s"), n.speedKmS);
    if (n.hasOrbit) {
        if (u.IsMoon(slot))
            Add(out, Translate("velka poloosa: %.0f km"), n.semiMajorKm);
        else
            Add(out, Translate("velka poloosa: %.4f AU"), n.semiMajorAu);
        Add(out, Translate("excentricita: %.4f"), n.eccentricity);
        Add(out, Translate("sklon: %.2f st"), n.inclinationDeg);
        if (n.bound && n.periodDays > 0) {
            if (n.periodDays < kYearDays)
                Add(out, Translate("obezna doba: %.2f d"), n.periodDays);
            else
                Add(out, Translate("obezna doba: %.3f r"), n.periodDays / kYearDays);
        }
    }
    char date[DateTimeMaxChars];
    if (u.hasDate && FormatDateTime(u.datum, date, sizeof date)) Add(out, Translate("datum: %s UT"), date);
    return 1;
}
