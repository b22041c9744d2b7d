// The physical data of the real solar system: the Sun, the nine planets and 22
// moons with their masses, sizes, oblateness and published rotation models,
// and each body's orientation on a date. Numbers only: no orbits, no model
// bodies, no drawing; whoever builds a universe takes what it needs from here.
#ifndef ORRERY_CORE_SIM_BODYDATA_H
#define ORRERY_CORE_SIM_BODYDATA_H

// Sun first, then the planets, then the moons planet by planet. The order is
// the table's; the Czech names are the program's message ids.
enum RealBody {
    RealSun,
    RealMerkur, RealVenuse, RealZeme, RealMars, RealJupiter, RealSaturn, RealUran, RealNeptun, RealPluto,
    RealMesic,
    RealPhobos, RealDeimos,
    RealIo, RealEuropa, RealGanymed, RealKallisto,
    RealMimas, RealEnceladus, RealTethys, RealDione, RealRhea, RealTitan, RealHyperion, RealIapetus,
    RealMiranda, RealAriel, RealUmbriel, RealTitania, RealOberon,
    RealTriton,
    RealCharon,
    RealBodies
};

// One periodic term of a rotation model. Its argument is
// phase + rate T + rate2 T^2 degrees, T in Julian centuries from J2000 (TDB);
// it adds ra sin(argument) to the pole's right ascension, dec cos(argument)
// to its declination and w sin(argument) to the prime meridian, in degrees.
struct RotationTerm {
    double phase, rate, rate2;
    double ra, dec, w;
};

struct BodyData {
    const char* name;
    int parent;          // index into BodyDataTable; -1 for the Sun
    double gm;           // km^3/s^2, the body alone, as the universe holds it
    double systemGm;     // km^3/s^2 with the moons of this table (= gm without moons)
    double radius;       // mean radius, km
    double j2, j4;       // zonal harmonics (0 where not given) ...
    double jRadius;      // ... and the radius, km, they are referred to
    int rotates;         // 0: no published rotation model (Hyperion tumbles)
    // The north pole in the ICRF (J2000 equator): degrees and degrees per
    // Julian century; the prime meridian: degrees, degrees per day, per day^2.
    double ra0, raRate, dec0, decRate;
    double w0, wRate, wAccel;
    const RotationTerm* terms;
    int termCount;
};

extern const BodyData BodyDataTable[RealBodies];

// The program's mass unit is one Zeme (the Earth without the Moon): GM / GM
// of the Earth. 0 for an index outside the table.
double BodyMassInEarths(int body);
// The same with the moons of this table added (a planet's system).
double BodySystemMassInEarths(int body);
// Mean radius in astronomical units (IAU 2012: 149597870.7 km); 0 outside.
double BodyRadiusInAu(int body);

// The pole and the prime meridian of the published model at jdTT (Julian day,
// Terrestrial Time; a UT day serves, turning the Earth 0.3 degree late): right
// ascension and declination of the north pole and W, degrees, W in 0..360.
// The north pole is the IAU's: on the north side of the ecliptic for the Sun,
// the planets and the moons, so that Venuse, Uran, its moons and Triton turn
// backwards about it (W decreases); Pluto and Charon, as dwarf planet and
// moon, have the pole they turn forwards about, south of the ecliptic.
// 1 on success; 0, with nothing written, for an index outside the table, a
// body without a model, or a day that is not finite.
int BodyRotationAngles(int body, double jdTT, double* ra, double* dec, double* w);

// The rotation, row-major, that takes a vector from the body-fixed frame
// (x towards the prime meridian, z towards the north pole) to the mean
// ecliptic and equinox of J2000 (X towards the equinox, Z to ecliptic north).
// 1 on success; 0, with nothing written, as BodyRotationAngles.
int BodyOrientation(int body, double jdTT, double rotation[9]);

// The unit north pole in the same ecliptic frame; 1 or 0 as above.
int BodyPole(int body, double jdTT, double pole[3]);

// The same rotation into the model's axes (x = X, y = -Z, z = Y), where the
// integrator and the drawing work; 1 or 0 as above.
int BodyOrientationModel(int body, double jdTT, double rotation[9]);

#endif
