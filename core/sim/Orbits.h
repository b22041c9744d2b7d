// The osculating orbit of a body about its parent: the conic the pair would
// follow alone, from their relative position and velocity at one instant, and
// points along it to draw as a line. It neither chooses the parent nor brings
// the integrator's half-step velocities to the positions' time: callers do.
#ifndef ORRERY_CORE_SIM_ORBITS_H
#define ORRERY_CORE_SIM_ORBITS_H

#include "core/sim/Body.h"

// Lengths in model units (100 per AU), times in the model's time unit, angles
// in radians. Angles are taken in the ecliptic of J2000, whose north is the
// model's -y: the built-in planets, running clockwise seen from +y, have
// inclination 0.
struct OrbitElements {
    // 0 when there is no orbit to speak of: a non-finite input, mu not
    // positive, the body at its parent's centre, or numbers so large that
    // the arithmetic overflows. Every other field is then 0.
    int valid;
    // 1 for a closed orbit (negative energy): an ellipse, a > 0, e < 1 or, for
    // a radial one, e = 1. 0 for a parabola (a = 0) or hyperbola (a < 0, e > 1).
    int bound;
    // 1 when the body moves straight towards or away from its parent (or
    // rests): no plane, so inclination, node and argument of periapsis are 0,
    // e = 1, p = 0, the true anomaly is pi and P points away from the body.
    int radial;
    double mu;               // kapa (M_parent + m)
    double distance, speed;  // |r| and |v| about the parent
    double a;                // semi-major axis: > 0 bound, < 0 hyperbola, 0 parabola
    double e;                // eccentricity
    double p;                // semi-latus rectum h^2 / mu
    double periapsis;        // nearest distance, p / (1 + e)
    double apoapsis;         // farthest distance when bound; 0 otherwise
    double inclination;      // 0..pi; above pi/2 the body runs retrograde
    // Longitude of the ascending node, 0..2pi, from the ecliptic's X (the
    // model's +x); 0 for an orbit in the ecliptic (sin i below 1e-11).
    double node;
    // Argument of periapsis, 0..2pi, from the node in the sense of motion; for
    // an orbit in the ecliptic from X instead (the longitude of periapsis);
    // 0 for a circular orbit (e below 1e-11), whose periapsis is then taken at
    // the node (at X when also in the ecliptic).
    double argPeriapsis;
    double trueAnomaly;  // 0..2pi, from that periapsis in the sense of motion
    double period;       // model time; 0 when unbound
    // Unit vectors in model axes: towards periapsis, and a quarter turn on in
    // the sense of motion. The orbit is p / (1 + e cos nu) (cos nu P + sin nu Q).
    double P[3], Q[3];
};

// Below these the orbit counts as circular, or as lying in the ecliptic.
extern const double OrbitCircularBelow;
extern const double OrbitEquatorialBelow;

// The orbit of a body at r moving at v relative to its parent (model axes),
// in gravity mu. 1 and the elements, or 0 and out->valid = 0 (see above).
int OrbitFromState(const double r[3], const double v[3], double mu, OrbitElements* out);

// The same from two bodies as they stand (positions and velocities as given).
int OrbitAbout(const Body& body, const Body& parent, double kapa, OrbitElements* out);

// Points of the orbit relative to the parent, in model axes, x y z each: for
// a bound orbit `count` points round the whole ellipse starting at the body's
// place, the last repeating the first so that a line strip closes it (a
// radial one: out to the farthest point and back); for an unbound orbit the
// arc out to `reach` from the parent (at least the body's present distance;
// 0 or less: twice that), passing through the body's place. Returns the
// points written: `count`, or 0 for fewer than 2 or an invalid orbit. An
// ellipse beyond float's range (a nearly parabolic one) has infinite points.
int SampleOrbit(const OrbitElements& orbit, double reach, int count, float* xyz);

#endif
