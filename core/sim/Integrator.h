// The gravity of slots 1..10 as the pieces one step is made of: the pair
// terms (a kick of every velocity by its acceleration times a time) and the
// drift of every position. A step of length h is Kick(h) then Drift(h); it
// leaves velocities half a step behind the positions, so whoever changes the
// step length moves them with a kick of the difference (see UniverseModel).
// The sky sphere in slot 0 and unused slots never take part.
#ifndef ORRERY_CORE_SIM_INTEGRATOR_H
#define ORRERY_CORE_SIM_INTEGRATOR_H

#include "core/sim/Body.h"

// The longest step the integrator takes: a tick of a longer deltat is cut
// into equal sub-steps no longer than this. At or below it a tick is one
// step, to the bit. Chosen from Merkur's orbit against the cost at the top
// rate of the time keys (BENCHMARKS.md).
extern const double IntegratorLongestStep;
// A tick never takes more sub-steps than this, whatever deltat a file brings,
// so that a tick stays cheap enough for 100 a second.
enum { IntegratorMostSubSteps = 2048 };

// v += kapa m_other d / r^3 * dt for every pair of massive bodies, from the
// positions as they stand; both terms of a pair come from the same factor, so
// the total momentum does not change. Coincident bodies pull neither way.
void GravityKick(Body bodies[UniverseSlots], double kapa, double dt);

// x += v * dt for every massive body of slots 1..10.
void GravityDrift(Body bodies[UniverseSlots], double dt);

// How many equal sub-steps a tick of deltat takes: 1 up to the longest step
// (and for 0, NaN and infinities), then ceil(|deltat| / longest step).
int SubStepCount(double deltat);

#endif
