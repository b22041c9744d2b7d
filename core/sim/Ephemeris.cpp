// Dates and the real planets. Calendar arithmetic counts whole days and
// minutes in integers from the Unix epoch, so that conversions carry exactly
// across months, leap days and years; only the final Julian day is a double.
// Planet positions come from published mean elements; their velocities come
// from the model's own gravity instead of the published mean motions, so that
// the simulation, once started, keeps each planet on the orbit it was put on.
#include "core/sim/Ephemeris.h"

#include <cmath>
#include <cstdio>

// E. M. Standish, "Keplerian Elements for Approximate Positions of the Major
// Planets", JPL Solar System Dynamics, Table 1 (1800 AD - 2050 AD).
const PlanetElements PlanetElementTable[EphemerisPlanets] = {
    {"Merkur", 0.38709927, 0.20563593, 7.00497902, 252.25032350, 77.45779628, 48.33076593,
     0.00000037, 0.00001906, -0.00594749, 149472.67411175, 0.16047689, -0.12534081},
    {"Venuse", 0.72333566, 0.00677672, 3.39467605, 181.97909950, 131.60246718, 76.67984255,
     0.00000390, -0.00004107, -0.00078890, 58517.81538729, 0.00268329, -0.27769418},
    {"Zeme", 1.00000261, 0.01671123, -0.00001531, 100.46457166, 102.93768193, 0.0,
     0.00000562, -0.00004392, -0.01294668, 35999.37244981, 0.32327364, 0.0},
    {"Mars", 1.52371034, 0.09339410, 1.84969142, -4.55343205, -23.94362959, 49.55953891,
     0.00001847, 0.00007882, -0.00813131, 19140.30268499, 0.44441088, -0.29257343},
    {"Jupiter", 5.20288700, 0.04838624, 1.30439695, 34.39644051, 14.72847983, 100.47390909,
     -0.00011607, -0.00013253, -0.00183714, 3034.74612775, 0.21252668, 0.20469106},
    {"Saturn", 9.53667594, 0.05386179, 2.48599187, 49.95424423, 92.59887831, 113.66242448,
     -0.00125060, -0.00050991, 0.00193609, 1222.49362201, -0.41897216, -0.28867794},
    {"Uran", 19.18916464, 0.04725744, 0.77263783, 313.23810451, 170.95427630, 74.01692503,
     -0.00196176, -0.00004397, -0.00242939, 428.48202785, 0.40805281, 0.04240589},
    {"Neptun", 30.06992276, 0.00859048, 1.77004347, -55.12002969, 44.96476227, 131.78422574,
     0.00026291, 0.00005105, 0.00035372, 218.45945325, -0.32241464, -0.00508664},
    {"Pluto", 39.48211675, 0.24882730, 17.14001206, 238.92903833, 224.06891629, 110.30393684,
     -0.00031596, 0.00005170, 0.00004818, 145.20780515, -0.04062942, -0.01183482},
};

namespace {

const double kPi = 3.14159265358979323846;
const double kRadian = kPi / 180;
const double kUnixEpochJd = 2440587.5;
const double kJ2000 = 2451545.0;
const double kDaysPerCentury = 36525;
const double kModelAu = 100;
const double kGaussK = 0.01720209895;  // radians per day for one solar mass at 1 AU
const long long kMinutesPerDay = 1440;
// Keeps days * 1440 and the year of any clamped date inside their integers.
const double kMaxMinutes = 4.7e14;

long long FloorDiv(long long a, long long b) { return a / b - ((a % b != 0) && ((a < 0) != (b < 0))); }

// Days from 1970-01-01 to y-m-01 plus (d - 1), proleptic Gregorian, m in 1..12.
// Counting from March puts the leap day last, where it needs no special case.
long long DaysFromCivil(long long y, int m, long long d) {
    y -= m <= 2;
    const long long era = FloorDiv(y, 400);
    const long long yoe = y - era * 400;
    const long long doy = (153 * (m > 2 ? m - 3 : m + 9) + 2) / 5 + d - 1;
    const long long doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

void CivilFromDays(long long z, long long* y, int* m, int* d) {
    z += 719468;
    const long long era = FloorDiv(z, 146097);
    const long long doe = z - era * 146097;
    const long long yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const long long doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const long long mp = (5 * doy + 2) / 153;
    *d = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    *m = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    *y = yoe + era * 400 + (*m <= 2);
}

long long RoundedMinutes(double jd) {
    double minutes = (jd - kUnixEpochJd) * kMinutesPerDay;
    if (minutes != minutes) return 0;
    if (minutes > kMaxMinutes) minutes = kMaxMinutes;
    if (minutes < -kMaxMinutes) minutes = -kMaxMinutes;
    return std::llround(minutes);
}

int IsLeapYear(int y) { return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0; }

int DaysInMonth(int y, int m) {
    static const int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return m == 2 && IsLeapYear(y) ? 29 : kDays[m - 1];
}

// Reads exactly n ASCII digits; stops at the first non-digit, so a NUL ends
// the reading before anything past the text's end is touched.
int ReadDigits(const char* s, int n, int* value) {
    int v = 0;
    for (int i = 0; i < n; ++i) {
        if (s[i] < '0' || s[i] > '9') return 0;
        v = v * 10 + (s[i] - '0');
    }
    *value = v;
    return 1;
}

}  // namespace

int ParseDateArgument(const char* text, double* julianDay) {
    if (!text || !julianDay) return 0;
    int year, month, day, hour = 0, minute = 0;
    if (!ReadDigits(text, 4, &year) || text[4] != '-' || !ReadDigits(text + 5, 2, &month) || text[7] != '-' ||
        !ReadDigits(text + 8, 2, &day)) {
        return 0;
    }
    if (text[10] == 'T') {
        if (!ReadDigits(text + 11, 2, &hour) || text[13] != ':' || !ReadDigits(text + 14, 2, &minute) ||
            text[16] != '\0') {
            return 0;
        }
    } else if (text[10] != '\0') {
        return 0;
    }
    if (month < 1 || month > 12 || day < 1 || day > DaysInMonth(year, month) || hour > 23 || minute > 59) return 0;
    *julianDay = JulianDayFromCalendar(year, month, day, hour, minute);
    return 1;
}

double JulianDayFromCalendar(int year, int month, int day, int hour, int minute) {
    const long long months = static_cast<long long>(year) * 12 + (static_cast<long long>(month) - 1);
    const long long y = FloorDiv(months, 12);
    const int m = static_cast<int>(months - y * 12 + 1);
    const long long days = DaysFromCivil(y, m, 1) + (static_cast<long long>(day) - 1);
    const long long minutes = static_cast<long long>(hour) * 60 + minute;
    return kUnixEpochJd + static_cast<double>(days) + static_cast<double>(minutes) / kMinutesPerDay;
}

void CalendarFromJulianDay(double jd, int* year, int* month, int* day, int* hour, int* minute) {
    const long long minutes = RoundedMinutes(jd);
    const long long days = FloorDiv(minutes, kMinutesPerDay);
    const long long minuteOfDay = minutes - days * kMinutesPerDay;
    long long y;
    int m, d;
    CivilFromDays(days, &y, &m, &d);
    if (year) *year = static_cast<int>(y);
    if (month) *month = m;
    if (day) *day = d;
    if (hour) *hour = static_cast<int>(minuteOfDay / 60);
    if (minute) *minute = static_cast<int>(minuteOfDay % 60);
}

int FormatDateTime(double jd, char* out, size_t size) {
    if (!out || size == 0) return 0;
    out[0] = '\0';
    if (!std::isfinite(jd)) return 0;
    int year, month, day, hour, minute;
    CalendarFromJulianDay(jd, &year, &month, &day, &hour, &minute);
    char text[DateTimeMaxChars];
    const int n = std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d", year, month, day, hour, minute);
    if (n <= 0 || static_cast<size_t>(n) >= size) return 0;
    std::snprintf(out, size, "%s", text);
    return n;
}

double JulianDayFromUnixSeconds(double seconds) { return kUnixEpochJd + seconds / 86400.0; }

int EphemerisCovers(double jd) {
    if (!std::isfinite(jd)) return 0;
    const long long first = DaysFromCivil(1800, 1, 1) * kMinutesPerDay;
    const long long last = DaysFromCivil(2051, 1, 1) * kMinutesPerDay - 1;
    const long long minutes = RoundedMinutes(jd);
    return minutes >= first && minutes <= last;
}

double ModelDayLength(double kapa, double sunMass) {
    const double gm = kapa * sunMass;
    if (!(gm > 0) || !std::isfinite(gm)) return 0;
    return std::sqrt(gm / (kModelAu * kModelAu * kModelAu)) / kGaussK;
}

double SolveKepler(double meanAnomaly, double eccentricity) {
    const double M = std::remainder(meanAnomaly, 2 * kPi);
    const double e = eccentricity;
    // Starting one term into the series keeps Newton's steps short even at
    // aphelion, where E = M exactly and the derivative is largest.
    double E = M + e * std::sin(M);
    for (int i = 0; i < 64; ++i) {
        const double step = (E - e * std::sin(E) - M) / (1 - e * std::cos(E));
        E -= step;
        if (!(std::fabs(step) >= 1e-12)) break;
    }
    return E;
}

int PlaceRealPlanets(Body bodies[UniverseSlots], double kapa, double jd) {
    if (!EphemerisCovers(jd)) return 0;
    const double T = (jd - kJ2000) / kDaysPerCentury;
    const double sunMass = bodies[SunSlot].hmotnost;

    // Everything is worked out before anything is written, so a refusal
    // leaves the bodies as they were.
    double pos[EphemerisPlanets][3], vel[EphemerisPlanets][3];
    double total = sunMass;
    double momentum[3] = {0, 0, 0};
    for (int k = 0; k < EphemerisPlanets; ++k) {
        const PlanetElements& p = PlanetElementTable[k];
        const double m = bodies[EphemerisFirstSlot + k].hmotnost;
        const double mu = kapa * (sunMass + m);
        if (!(mu > 0) || !std::isfinite(mu)) return 0;

        const double a = (p.a + p.aRate * T) * kModelAu;
        const double e = p.e + p.eRate * T;
        const double I = (p.I + p.IRate * T) * kRadian;
        const double varpi = p.varpi + p.varpiRate * T;
        const double node = (p.Omega + p.OmegaRate * T) * kRadian;
        const double omega = varpi * kRadian - node;
        const double E = SolveKepler(std::remainder(p.L + p.LRate * T - varpi, 360.0) * kRadian, e);

        // In the orbit's plane, x towards perihelion.
        const double cosE = std::cos(E), sinE = std::sin(E);
        const double b = std::sqrt(1 - e * e);
        const double px = a * (cosE - e), py = a * b * sinE;
        const double Edot = std::sqrt(mu / (a * a * a)) / (1 - e * cosE);
        const double qx = -a * sinE * Edot, qy = a * b * cosE * Edot;

        // Perihelion and its quarter turn ahead in the ecliptic (X, Y, Z).
        const double co = std::cos(omega), so = std::sin(omega);
        const double cn = std::cos(node), sn = std::sin(node);
        const double ci = std::cos(I), si = std::sin(I);
        const double P[3] = {co * cn - so * sn * ci, co * sn + so * cn * ci, so * si};
        const double Q[3] = {-so * cn - co * sn * ci, -so * sn + co * cn * ci, co * si};
        const double X[3] = {px * P[0] + py * Q[0], px * P[1] + py * Q[1], px * P[2] + py * Q[2]};
        const double V[3] = {qx * P[0] + qy * Q[0], qx * P[1] + qy * Q[1], qx * P[2] + qy * Q[2]};

        // Ecliptic north becomes -y: a proper rotation, so the planets keep
        // the built-in system's sense, clockwise seen from +y.
        pos[k][0] = X[0], pos[k][1] = -X[2], pos[k][2] = X[1];
        vel[k][0] = V[0], vel[k][1] = -V[2], vel[k][2] = V[1];
        total += m;
        for (int axis = 0; axis < 3; ++axis) momentum[axis] += m * vel[k][axis];
    }
    if (!(total > 0) || !std::isfinite(total)) return 0;

    Body& sun = bodies[SunSlot];
    sun.x = sun.y = sun.z = 0;
    sun.vx = -momentum[0] / total;
    sun.vy = -momentum[1] / total;
    sun.vz = -momentum[2] / total;
    for (int k = 0; k < EphemerisPlanets; ++k) {
        Body& b = bodies[EphemerisFirstSlot + k];
        b.x = pos[k][0], b.y = pos[k][1], b.z = pos[k][2];
        b.vx = vel[k][0] + sun.vx;
        b.vy = vel[k][1] + sun.vy;
        b.vz = vel[k][2] + sun.vz;
    }
    return 1;
}
