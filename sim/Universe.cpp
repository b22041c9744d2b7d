// Placeholder.
#include "sim/Universe.h"
#include <cmath>
#include <cstring>
const char* const UniverseFileName = "Data/vesmir.ves";
double VectorLength(double a, double b, double c) { return std::sqrt(a * a + b * b + c * c); }
Universe::Universe() : quadric(nullptr), deltat(0.005), simTime(0), kapa(0.01) { std::memset(bodies, 0, sizeof bodies); }
