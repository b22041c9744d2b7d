// How a universe's gravity is integrated. Each kind of universe has a scheme
// behind one small interface (advance a tick, say the step length, move the
// velocities when the step changes), so that the model's clocks, time keys
// and files never depend on which scheme runs. The built-in system's scheme is
// semi-implicit Euler in two halves, the pieces below: a step of length h is
// Kick(h) then Drift(h), and leaves velocities half a step behind the
// positions, so whoever changes the step length moves them with a kick of
// the difference. The sky sphere in slot 0 and unused slots never take part.
#ifndef ORRERY_CORE_SIM_INTEGRATOR_H
#define ORRERY_CORE_SIM_INTEGRATOR_H

#include "core/sim/Body.h"

class UniverseModel;

// Whoever wants the bodies between a tick's steps: trails that stay curves
// at any rate, bodies that merge where they touch.
class StepListener {
public:
    // The bodies as the step of length `step` just left them (their
    // velocities kept as the steps keep them). 1 when the listener changed
    // the bodies (a merge): the scheme takes them afresh.
    virtual int AfterStep(UniverseModel& u, double step) = 0;

protected:
    ~StepListener() {}
};

class IntegratorScheme {
public:
    // One tick: deltat of simulated time, in as many steps as the scheme
    // needs but no more than maxSteps, the listener (may be null) told after
    // each. Returns the time done: deltat when every step was taken, less
    // when maxSteps cut the tick short or the listener changed the universe
    // so that another scheme must run the rest.
    virtual double Advance(UniverseModel& u, double deltat, StepListener* listener, int maxSteps) const = 0;
    // The length of one step of a tick of deltat, and how many a tick takes.
    virtual double StepLength(double deltat) const = 0;
    virtual int StepCount(double deltat) const = 0;
    // What one step of a tick of deltat costs, in pair terms of gravity (a
    // pair's pull takes a few nanoseconds; other work is counted as so many
    // pairs), so that a tick can be held within a budget of time.
    virtual double StepWork(const UniverseModel& u, double deltat) const = 0;
    // The velocities stand where steps of length `before` keep them; moves
    // them to where steps of `after` do. A length of 0 is the positions' own
    // time: ChangeStep(u, h, 0) gives the velocities a user would measure,
    // ChangeStep(u, 0, h) puts true velocities where the steps want them.
    // Does nothing when the lengths are equal or the move is not finite.
    virtual void ChangeStep(UniverseModel& u, double before, double after) const = 0;

protected:
    ~IntegratorScheme() {}
};

// Semi-implicit Euler with equal sub-steps above IntegratorLongestStep: the
// built-in system's scheme, and every universe's without moons.
extern const IntegratorScheme& LeapfrogScheme;

// For a universe with moons (core/sim/IntegratorNested.cpp): planet systems
// about the Sun and moons about their planets, each on its Kepler orbit, with
// the rest of gravity as kicks between. Steps of the planets no longer than
// NestedLongestStep; a system's moons take steps of the planet's traits'
// moonStep (made at MoonStepsPerOrbit steps of its innermost moon's orbit).
extern const IntegratorScheme& NestedScheme;
extern const double NestedLongestStep;
extern const double MoonStepsPerOrbit;

// The longest step the integrator takes: a tick of a longer deltat is cut
// into equal sub-steps no longer than this. At or below it a tick is one
// step, to the bit. Chosen from Merkur's orbit against the cost at the top
// rate of the time keys (BENCHMARKS.md).
extern const double IntegratorLongestStep;
// A tick never takes more sub-steps than this, whatever deltat a file brings,
// so that a tick stays cheap enough for 100 a second.
enum { IntegratorMostSubSteps = 2048 };
// What a tick of the window may cost, in pair terms (StepWork): about 3 ms
// here, so that 100 ticks and their frames fit in a second. The built-in
// system and the real one with its moons stay well within it at every rate;
// a universe of 64 bodies at the top rate does not, and runs slower instead.
extern const double WindowTickWork;

// v += kapa m_other d / r^3 * dt for every pair of massive bodies of slots
// 1..end-1, from the positions as they stand; both terms of a pair come from
// the same factor, so the total momentum does not change. Coincident bodies
// pull neither way. Without `end`, the whole table.
void GravityKick(Body* bodies, int end, double kapa, double dt);
void GravityKick(Body bodies[UniverseSlots], double kapa, double dt);

// x += v * dt for every massive body of slots 1..end-1 (the whole table without `end`).
void GravityDrift(Body* bodies, int end, double dt);
void GravityDrift(Body bodies[UniverseSlots], double dt);

// How many equal sub-steps a tick of deltat takes: 1 up to the longest step
// (and for 0, NaN and infinities), then ceil(|deltat| / longest step).
int SubStepCount(double deltat);

#endif
