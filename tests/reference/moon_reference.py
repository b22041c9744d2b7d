#!/usr/bin/env python3
# An ephemeris made apart from the program's own, for its tests: reads lines
# "moonName jdUT" (the program's Czech moon names) and prints, for each, the
# unit vector of the moon's geometric direction from its planet in the mean
# ecliptic of J2000, or "none" where PyEphem has no usable answer (Triton,
# Charon, the moons of Mars, Saturn and Uranus outside 1999-2039, bad lines).
# Exits 3 when PyEphem is missing, so that callers can say why they skip.
import math
import sys

try:
    import ephem
except ImportError:
    sys.exit(3)

PLANET_MOONS = {
    "Phobos": ("Phobos", "Mars"), "Deimos": ("Deimos", "Mars"),
    "Io": ("Io", "Jupiter"), "Europa": ("Europa", "Jupiter"),
    "Ganymed": ("Ganymede", "Jupiter"), "Kallisto": ("Callisto", "Jupiter"),
    "Mimas": ("Mimas", "Saturn"), "Enceladus": ("Enceladus", "Saturn"),
    "Tethys": ("Tethys", "Saturn"), "Dione": ("Dione", "Saturn"),
    "Rhea": ("Rhea", "Saturn"), "Titan": ("Titan", "Saturn"),
    "Hyperion": ("Hyperion", "Saturn"), "Iapetus": ("Iapetus", "Saturn"),
    "Miranda": ("Miranda", "Uranus"), "Ariel": ("Ariel", "Uranus"),
    "Umbriel": ("Umbriel", "Uranus"), "Titania": ("Titania", "Uranus"),
    "Oberon": ("Oberon", "Uranus"),
}
DUBLIN_JD = 2415020.0                 # ephem counts days from 1899-12-31 12:00
LIGHT_DAYS_PER_AU = 0.0057755183
OBLIQUITY_J2000 = math.radians(84381.448 / 3600)
FIRST_JD, LAST_JD = 2378496.5, 2470172.5   # 1800-01-01 .. 2051-01-01
# ephem's tables of the moons of Mars, Jupiter, Saturn and Uranus cover
# 1999-2040, and their last year is garbage (thousands of planet radii). Out
# of them, Mars's and Uranus's moons are all zeros, Saturn's come from a
# fallback tens of degrees off, Jupiter's from a simpler theory good to about
# half a degree.
TABLES_FIRST_JD, TABLES_LAST_JD = 2451179.5, 2466154.5   # 1999-01-01 .. 2040-01-01
TABLES_BROKEN_END_JD = 2466520.5                         # 2041-01-01


def unit(ra, dec):
    return (math.cos(dec) * math.cos(ra), math.cos(dec) * math.sin(ra), math.sin(dec))


def to_ecliptic(v):
    c, s = math.cos(OBLIQUITY_J2000), math.sin(OBLIQUITY_J2000)
    return (v[0], c * v[1] + s * v[2], -s * v[1] + c * v[2])


def normalised(v):
    n = math.sqrt(sum(x * x for x in v))
    return None if n == 0 or not math.isfinite(n) else tuple(x / n for x in v)


def lunar(jd_ut):
    # Geocentric astrometric place: J2000 equator, no aberration; the Moon's
    # light time (1.3 s) is far below the tests' tolerance.
    moon = ephem.Moon(ephem.Date(jd_ut - DUBLIN_JD))
    return to_ecliptic(unit(float(moon.a_ra), float(moon.a_dec)))


def planet_moon(name, jd_ut):
    moon_name, planet_name = PLANET_MOONS[name]
    in_tables = TABLES_FIRST_JD <= jd_ut < TABLES_LAST_JD
    if planet_name != "Jupiter" and not in_tables:
        return None
    if TABLES_LAST_JD <= jd_ut < TABLES_BROKEN_END_JD:
        return None
    # What ephem shows at a date left the moon one light time earlier: asking
    # at the date plus the light time gives the geometric place at the date.
    planet = getattr(ephem, planet_name)()
    date = jd_ut - DUBLIN_JD
    when = date
    for _ in range(3):
        planet.compute(ephem.Date(when))
        when = date + planet.earth_distance * LIGHT_DAYS_PER_AU
    moon = getattr(ephem, moon_name)()
    moon.compute(ephem.Date(when))
    if moon.x == 0 and moon.y == 0 and moon.z == 0:
        return None   # outside the years of ephem's tables
    # The offsets lie in the sky plane of the planet: x to the east (rising
    # right ascension), y to the south, z toward us. From the tables the
    # axes are those of the J2000 equator at the astrometric place; from the
    # simpler theory of Jupiter's moons those of the equator of date, at the
    # apparent place (measured: 0.9 instead of 1.7 degrees worst in 1800-1998).
    if in_tables:
        los = unit(float(planet.a_ra), float(planet.a_dec))
    else:
        los = unit(float(planet.ra), float(planet.dec))
    east = normalised((-los[1], los[0], 0.0))
    north = (los[1] * east[2] - los[2] * east[1], los[2] * east[0] - los[0] * east[2],
             los[0] * east[1] - los[1] * east[0])
    v = normalised(tuple(moon.x * e - moon.y * n - moon.z * l for e, n, l in zip(east, north, los)))
    if not in_tables:
        of_date = ephem.Equatorial(math.atan2(v[1], v[0]), math.asin(max(-1.0, min(1.0, v[2]))),
                                   epoch=ephem.Date(when))
        j2000 = ephem.Equatorial(of_date, epoch=ephem.J2000)
        v = unit(float(j2000.ra), float(j2000.dec))
    return to_ecliptic(v)


def answer(line):
    words = line.split()
    if len(words) != 2 or len(words[0]) > 32:
        return None
    try:
        jd_ut = float(words[1])
    except ValueError:
        return None
    if not (FIRST_JD <= jd_ut <= LAST_JD):
        return None
    if words[0] == "Mesic":
        return normalised(lunar(jd_ut))
    if words[0] in PLANET_MOONS:
        v = planet_moon(words[0], jd_ut)
        return normalised(v) if v else None
    return None


def main():
    # Bytes, not text: a line that is not UTF-8 is one more bad line.
    for raw in sys.stdin.buffer:
        v = answer(raw.decode("utf-8", "replace"))
        print("none" if v is None else "%.9f %.9f %.9f" % v)
        sys.stdout.flush()


if __name__ == "__main__":
    main()
