// Where each of the 22 large moons stands relative to its planet at a date,
// from published analytic theories and mean elements, and TT - UT for the
// dates the program shows. Pure functions: no universe, no model units, no
// integration; the caller places the moons in the model and moves them.
#ifndef ORRERY_CORE_SIM_MOONTHEORIES_H
#define ORRERY_CORE_SIM_MOONTHEORIES_H

enum MoonId {
    MoonMesic,
    MoonPhobos,
    MoonDeimos,
    MoonIo,
    MoonEuropa,
    MoonGanymed,
    MoonKallisto,
    MoonMimas,
    MoonEnceladus,
    MoonTethys,
    MoonDione,
    MoonRhea,
    MoonTitan,
    MoonHyperion,
    MoonIapetus,
    MoonMiranda,
    MoonAriel,
    MoonUmbriel,
    MoonTitania,
    MoonOberon,
    MoonTriton,
    MoonCharon,
    MoonCount
};

// name: the Czech label; planetSlot: the built-in slot of the planet it
// circles (Zeme 4, Mars 5, Jupiter 6, Saturn 7, Uran 8, Neptun 9, Pluto 10).
struct MoonInfo {
    const char* name;
    int planetSlot;
};
extern const MoonInfo MoonTable[MoonCount];

// The moon's geometric position (km) and velocity (km per day) relative to
// its planet's centre, in the mean ecliptic and equinox of J2000 (X to the
// equinox, Z to ecliptic north), at Julian day jdTT in Terrestrial Time.
// The velocity is the exact time derivative of the theory's position. Fit for
// 1800-2050. 1 on success; 0, with nothing written, for an unknown moon, a
// date that is not finite, or a null pointer.
int MoonState(int moon, double jdTT, double posKm[3], double velKmPerDay[3]);

// TT - UT in seconds at the Julian day jdUT: the Espenak-Meeus polynomials
// (NASA, "Polynomial expressions for Delta T", 2006) from 1700 to 2150, and
// their long-term parabola outside; NaN for a date that is not finite.
double DeltaTSeconds(double jdUT);

#endif
