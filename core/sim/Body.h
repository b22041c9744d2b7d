// One body of the universe, the size of the table that holds them, and what a
// slot's number means: the one place that knows. Slot 0 is the sky sphere
// that follows the camera, slot 1 the Sun and light source, 2..10 the
// planets of the built-in system; a slot whose hmotnost is 0 is unused.
#ifndef ORRERY_CORE_SIM_BODY_H
#define ORRERY_CORE_SIM_BODY_H

enum {
    // Slots in a universe, the sky's included: the built-in system, the real
    // one with its moons, and room for what a file or the user adds.
    UniverseSlots = 64,
    // The built-in system: the sky, the Sun and nine planets.
    BuiltInSlots = 11,
    BodyNameSize = 50,
    BodyFileSize = 262
};

// The roles slots have whatever a file puts into them.
enum {
    SkySlot = 0,           // centred on the camera every frame, never simulated
    SunSlot = 1,           // carries the light; the centre the planets' periods refer to
    FirstSimulatedSlot = 1,
    FirstPlanetSlot = 2,
    LastPlanetSlot = 10
};

struct Body {
    char meno[BodyNameSize];     // label; at most 49 characters
    char soubor[BodyFileSize];   // texture path; at most 261 characters
    double x, y, z;
    double vx, vy, vz;
    double hmotnost;             // mass; exactly 0 marks an unused slot
    double polomer;              // radius
    double rotace;               // spin, degrees per unit of simTime
    double osa_rotace;           // axis tilt, degrees about z
};

// What a body of the real solar system carries beyond the file's columns; all
// zero for the built-in system and for files that do not say, which keeps
// them exactly as they were. Saved on a line of its own after the body's.
struct BodyTraits {
    // The slot of the body it circles; 0 (the sky's slot, which circles
    // nothing) leaves it to the rule of ParentSlot in UniverseModel.
    int parent;
    // The body's true radius (model units) where polomer is the enlarged
    // one the view draws; 0: polomer is true.
    double radius;
    // Zonal harmonics of its gravity about its pole, referred to jRadius.
    double j2, j4, jRadius;
    // Its north pole (unit, model axes) and prime meridian: degrees at J2000
    // and per day. A zero pole: drawn with rotace and osa_rotace instead.
    double pole[3];
    double w0, wRate;
    // For a body with moons: the longest step their orbits take.
    double moonStep;
};

// A plain comparison, as it always was: a negative mass is a body too.
inline bool BodyInUse(const Body& b) { return b.hmotnost != 0; }

// One past the highest used slot of a table of UniverseSlots bodies (0 when
// none is used): loops over bodies need go no further.
inline int UsedSlotEnd(const Body* bodies) {
    int end = UniverseSlots;
    while (end > 0 && !BodyInUse(bodies[end - 1])) --end;
    return end;
}

#endif
