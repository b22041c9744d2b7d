// The real solar system for a date, as the universe holds it: the Sun, the
// nine planets in their built-in slots and 22 moons after Pluto, with their
// published masses, true radii, oblateness, poles and rotation (the traits),
// drawn 23 times their true size as the built-in bodies are; each planet
// system placed about the barycentre the planets' elements give, the moons
// where the published theories put them. Positions and true velocities only:
// the caller puts the velocities where its integration steps keep them.
#ifndef ORRERY_CORE_SIM_REALSYSTEM_H
#define ORRERY_CORE_SIM_REALSYSTEM_H

class UniverseModel;

enum {
    // The moons follow Pluto; slot = real-body index + 1 for every body.
    FirstMoonSlot = 11,
    RealSystemSlots = 33
};

// How much larger than true the bodies of a real universe are drawn.
extern const double RealSystemEnlargement;

// Fills u (which keeps its deltat and kapa) with the real system at Julian day
// jdUT (UT). 0, with u untouched, outside 1800-2050.
int PlaceRealSystem(UniverseModel& u, double jdUT);

#endif
