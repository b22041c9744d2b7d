// The real solar system for a date: calendar dates as text and Julian days
// (proleptic Gregorian, UT, to the minute), and the built-in planets placed
// where published mean orbital elements put them, moving as Kepler orbits in
// the model's own gravity. No file, no clock, no GL: callers bring the date.
#ifndef ORRERY_CORE_SIM_EPHEMERIS_H
#define ORRERY_CORE_SIM_EPHEMERIS_H

#include <cstddef>

#include "core/sim/Body.h"

// Mean elements at J2000 and their rates per Julian century, in the mean
// ecliptic and equinox of J2000 (a in AU, angles in degrees), fit for
// 1800-2050. Row k places slot EphemerisFirstSlot + k; Zeme's row is the
// Earth-Moon barycentre.
struct PlanetElements {
    const char* name;
    double a, e, I, L, varpi, Omega;
    double aRate, eRate, IRate, LRate, varpiRate, OmegaRate;
};
enum { EphemerisPlanets = 9, EphemerisFirstSlot = 2 };
extern const PlanetElements PlanetElementTable[EphemerisPlanets];

// "YYYY-MM-DD" or "YYYY-MM-DDTHH:MM" in UT, exactly so: four-digit year, a day
// that exists in that month, hour 0-23, minute 0-59, nothing before or after.
// 1 and the Julian day on success; 0 otherwise, with *julianDay untouched.
int ParseDateArgument(const char* text, double* julianDay);

// Any int fields: a month outside 1-12 moves the year, other fields add on
// (day 0 is the last day of the month before, minute 90 is 01:30).
double JulianDayFromCalendar(int year, int month, int day, int hour, int minute);

// The date to the nearest minute, so 14:05 read back stays 14:05 and 23:59:40
// is the next day's 00:00. A null pointer skips that field. NaN reads as the
// Unix epoch; days beyond about 9e8 years either way are held at that bound.
void CalendarFromJulianDay(double jd, int* year, int* month, int* day, int* hour, int* minute);

// "2026-12-07 14:05", NUL-terminated. The length written, or 0 (and an empty
// string when size allows) when it does not fit or jd is not finite.
int FormatDateTime(double jd, char* out, size_t size);
enum { DateTimeMaxChars = 32 };

// Seconds since 1970-01-01 00:00 UT, as the system clock gives them.
double JulianDayFromUnixSeconds(double seconds);

// 1 when jd, to the nearest minute, lies from 1800-01-01 00:00 to 2050-12-31
// 23:59 UT: the span the elements are published for.
int EphemerisCovers(double jd);

// One unit of the model's time in days: the model's Sun, kapa and AU of 100
// against the Gaussian constant. 0 when kapa * sunMass is not positive.
double ModelDayLength(double kapa, double sunMass);

// E with M = E - e sin E, radians, by Newton's method until a step is below
// 1e-12; for 0 <= e < 1 and any M (it is reduced to -pi..pi first).
double SolveKepler(double meanAnomaly, double eccentricity);

// Puts the Sun at the origin and slots 2..10 where the elements put the
// built-in planet of that slot (Merkur .. Pluto) at jd, whatever the slot now
// holds; x = X, y = -Z, z = Y of the ecliptic, 100 per AU. Each planet moves
// on its Kepler orbit about the Sun in the gravity kapa (M_sun + m) of the
// bodies' own masses, and the Sun takes the velocity that leaves the whole
// system at rest. Only positions and velocities of slots 1..10 change.
// Returns 1 when placed; 0, with nothing changed, when jd is not covered or
// the Sun's and planets' masses with kapa give no orbit.
int PlaceRealPlanets(Body bodies[UniverseSlots], double kapa, double jd);

#endif
