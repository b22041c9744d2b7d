// The project's own star file (Data/bright_stars.txt) and where each star
// stands in the model's frame.
//
// The file is text: a first line "# orrery bright stars 1", then one star a
// line, "HR RA DEC MAG": the catalogue number, right ascension in hours and
// declination in degrees (J2000) and the visual magnitude, brightest first.
// Lines starting with '#' (the header naming the catalogue) and blank lines
// are passed over. tools/convert_bsc writes it.
#ifndef ORRERY_TOOLS_SKY_STARCATALOGUE_H
#define ORRERY_TOOLS_SKY_STARCATALOGUE_H

#include <cstddef>
#include <vector>

#include "tools/sky/SkySphere.h"

struct Star {
    int hr;            // Harvard Revised number
    double raHours;    // 0 <= ra < 24
    double decDeg;     // -90 ..90
    double magnitude;  // -2 .. 10
};

extern const char StarFileFirstLine[];  // "# orrery bright stars 1"
enum { StarFileMaxStars = 20000, StarFileMaxLine = 256 };

// Reads the text of a star file. 1 and the stars in file order; 0 on the first
// thing out of place, with `error` telling the line and what is wrong.
int ParseStarFile(const char* text, size_t size, std::vector<Star>* stars, char* error, size_t errorSize);
// The same from a file of at most 4 MiB.
int ReadStarFile(const char* path, std::vector<Star>* stars, char* error, size_t errorSize);

// The obliquity of the ecliptic at J2000, in degrees: the tilt between the
// frame of the catalogue and the frame of the planets.
extern const double EclipticObliquityDeg;

// A direction given in equatorial J2000 coordinates (degrees), as a unit
// vector in the model's frame: ecliptic X, Y, Z turned onto x = X, y = -Z,
// z = Y, the axes the planets for a date are placed on.
SkyVec ModelDirection(double raDeg, double decDeg);
SkyVec StarDirection(const Star& star);

#endif
