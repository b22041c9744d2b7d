// The universe as numbers: the global parameters of the simulation and its
// body slots (core/sim/Body.h says what a slot means), with the built-in solar
// system, the tick and the time keys; the gravity itself is the scheme's
// (core/sim/Integrator.h). Nothing here touches GL, SDL or a window: the
// scene that draws it is Universe.
#ifndef ORRERY_CORE_SIM_UNIVERSEMODEL_H
#define ORRERY_CORE_SIM_UNIVERSEMODEL_H

#include <cmath>
#include <cstdint>

#include "core/sim/Body.h"

class IntegratorScheme;
class StepListener;

class UniverseModel {
public:
    double deltat;
    double simTime;
    double kapa;
    Body bodies[UniverseSlots];
    // Beyond the file's columns, slot by slot (core/sim/Body.h); zero for the
    // built-in system.
    BodyTraits traits[UniverseSlots];
    // Simulated time since this universe was made or loaded, in model units
    // (deltat summed once per step, backwards when time runs backwards).
    double elapsed;
    // A universe made for a calendar date carries it: datum is then a Julian
    // day (UT) that every step moves on by deltat model units of days.
    int32_t hasDate;
    double datum;

    // The built-in solar system.
    UniverseModel();

    // Keypad +, - and * (SDL 1.2 key numbers, see core/sim/Keys.h); * acts
    // once per press and clears its byte. When the step length changes, the
    // velocities move to where the new step expects them, so the orbits do
    // not depend on the rate: what a save writes right after is what the next
    // tick continues from.
    void ApplyTimeKeys(unsigned char* keys);
    // One tick: deltat of gravity by the universe's scheme, the listener (may
    // be null) told after every step; the spin clock and the calendar
    // advance by the time done whatever the scheme. With a work limit (pair
    // terms, IntegratorScheme::StepWork), a tick takes only the steps that
    // fit in it, of the length they always have: the orbits stay as true,
    // time runs slower.
    void Step(StepListener* listener = nullptr, double workLimit = INFINITY);
    // The part of deltat the last tick did: 1, or less when its steps would
    // have cost more than the work limit allowed (the window's budget), and
    // time then ran slower than deltat asks.
    double lastTickShare;
    // The scheme that integrates this universe.
    const IntegratorScheme& Scheme() const;
    // The length of one integration step at the present deltat.
    double StepLength() const;
    // The real solar system at Julian day jd (UT), keeping deltat and kapa,
    // dated jd: the Sun, the planets and their moons (core/sim/RealSystem.h),
    // velocities where the steps keep them. 0, and nothing changed, for a day
    // outside the years the planets' elements cover (1800-2050).
    int MakeRealSystem(double jd);
    // One model time unit in days, from kapa and the Sun's mass.
    double DayLength() const;

    // The slot the body in `slot` circles: its traits' parent when that is a
    // used slot other than its own, else the Sun for any body but the Sun
    // and the sky; -1 for none.
    int ParentSlot(int slot) const;
    // A body that circles another than the Sun.
    bool IsMoon(int slot) const;
    // Its true radius: the traits' where polomer is an enlarged one.
    double TrueRadius(int slot) const;
    // The body's orientation at Julian day jd from its traits' pole and
    // prime meridian: the rotation (row-major) from the body-fixed frame (x
    // towards the prime meridian, z towards the north pole) to the model's
    // axes. 0, with m untouched, for a body without a pole.
    int BodyFrame(int slot, double jd, double m[9]) const;
    // Where the view draws the body: where it is, or, in the enlarged view,
    // a moon as far from its planet as the planet's own enlargement makes
    // it (polomer against its true radius), so that moons circle outside
    // their enlarged planet in true proportion. The physics never reads it.
    void ViewPosition(int slot, bool enlarged, double out[3]) const;
};

double VectorLength(double a, double b, double c);

// Where F2 writes and F3 reads, relative to the working directory.
extern const char* const UniverseFileName;

#endif
