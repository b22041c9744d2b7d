// The one scene: the global parameters of the simulation and eleven body
// slots. Slot 0 is the sky sphere that follows the camera, slot 1 the Sun and
// light source, slots 2..10 planets; a slot whose hmotnost is 0 is unused.
#ifndef ORRERY_SIM_UNIVERSE_H
#define ORRERY_SIM_UNIVERSE_H

#include "sim/SceneObject.h"

struct GLUquadric;

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

class Universe : public SceneObject {
public:
    GLUquadric* quadric;
    double deltat;
    double simTime;
    double kapa;
    Body bodies[UniverseSlots];

    Universe();
    ~Universe() override;
    int Init(GlRenderer* renderer, int option) override;
    void Update(unsigned char* keys) override;
    void Draw() override;

    void Step();
    void Save();
    void Load();
    void BuildLists();
    void ReleaseGlResources();
};

double VectorLength(double a, double b, double c);

// Where F2 writes and F3 reads, relative to the working directory.
extern const char* const UniverseFileName;

#endif
