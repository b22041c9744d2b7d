// One body of the universe and the size of the table that holds them. Slot 0
// is the sky sphere that follows the camera, slot 1 the Sun and light source,
// slots 2..10 planets; a slot whose hmotnost is 0 is unused.
#ifndef ORRERY_CORE_SIM_BODY_H
#define ORRERY_CORE_SIM_BODY_H

enum { UniverseSlots = 11, BodyNameSize = 50, BodyFileSize = 262 };

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

#endif
