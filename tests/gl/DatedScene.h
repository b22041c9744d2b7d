// Universes for the drawing's tests made as the real solar system's data make
// them: the planets for a date, every body's true radius, pole and prime
// meridian, the moons where their theories put them, and each body drawn 23
// times its true size. Built by hand from the core's tables, so that the
// tests need no more than those; not the program's own F4.
#ifndef ORRERY_TESTS_GL_DATEDSCENE_H
#define ORRERY_TESTS_GL_DATEDSCENE_H

#include "core/sim/UniverseModel.h"

// How much larger than true the tests draw every body.
const double kDrawnEnlargement = 23;

// The real system at Julian day jd (UT): the Sun and the planets with their
// traits, and with moons the 22 moons after Pluto (slots 11..32), each with
// its map from Data/planety_256x128x24/. 1 on success.
int MakeDatedScene(UniverseModel& u, double jd, bool moons);

// The slot a moon of the table (MoonId of core/sim/MoonTheories.h) takes.
inline int MoonSlot(int moon) { return BuiltInSlots + moon; }

#endif
