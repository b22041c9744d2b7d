// The motion of one body about a fixed centre of attraction over a given
// time: the exact solution of the two-body problem that the moons' scheme
// drifts with. Every orbit (ellipse, hyperbola, the parabola between, a fall
// straight in or out) and every time, forwards or backwards; the same time
// backwards from the result returns to the start to rounding. Nothing about
// the universe: a position, a velocity, a gravitational parameter.
#ifndef ORRERY_CORE_SIM_KEPLER_H
#define ORRERY_CORE_SIM_KEPLER_H

// Moves r and v (any consistent units) along the orbit about a centre of
// parameter mu = G M for time dt. 1 when moved; 0, with r and v unchanged,
// when mu is not positive, r is zero, or the inputs are not finite.
int KeplerDrift(double mu, double r[3], double v[3], double dt);

#endif
