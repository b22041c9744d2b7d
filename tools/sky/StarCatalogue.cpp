#include "tools/sky/StarCatalogue.h"

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>

#include "core/sim/WordCursor.h"

const char StarFileFirstLine[] = "# orrery bright stars 1";
const double EclipticObliquityDeg = 23.4392911;

namespace {

const double kDeg = 3.14159265358979323846 / 180.0;
const size_t kMaxFileBytes = size_t(4) << 20;

bool Blank(const char* p, const char* end) {
    for (; p < end; ++p)
        if (*p != ' ' && *p != '\t' && *p != '\r') return false;
    return true;
}

int Refuse(char* error, size_t size, int line, const char* what) {
    if (error && size) std::snprintf(error, size, "line %d: %s", line, what);
    return 0;
}

}  // namespace

int ParseStarFile(const char* text, size_t size, std::vector<Star>* stars, char* error, size_t errorSize) {
    stars->clear();
    if (error && errorSize) error[0] = '\0';
    const char* p = text;
    const char* end = text ? text + size : text;
    int line = 0;
    while (p < end) {
        const char* eol = static_cast<const char*>(std::memchr(p, '\n', size_t(end - p)));
        const char* stop = eol ? eol : end;
        ++line;
        if (stop - p > StarFileMaxLine) return Refuse(error, errorSize, line, "longer than 256 characters");
        if (std::memchr(p, '\0', size_t(stop - p))) return Refuse(error, errorSize, line, "holds a NUL byte");
        if (line == 1) {
            size_t n = std::strlen(StarFileFirstLine);
            const char* q = stop;
            if (q > p && q[-1] == '\r') --q;
            if (size_t(q - p) != n || std::memcmp(p, StarFileFirstLine, n) != 0)
                return Refuse(error, errorSize, line, "not \"# orrery bright stars 1\"");
        } else if (*p != '#' && !Blank(p, stop)) {
            WordCursor words(p, size_t(stop - p));
            int32_t hr = 0;
            Star s;
            if (!words.Integer(&hr) || !words.Number(s.raHours) || !words.Number(s.decDeg) ||
                !words.Number(s.magnitude))
                return Refuse(error, errorSize, line, "not four numbers: HR RA DEC MAG");
            const char* word;
            size_t length;
            if (words.Word(word, length)) return Refuse(error, errorSize, line, "more than four numbers");
            // The negated comparisons also turn away NaN.
            if (hr < 1 || hr > 99999) return Refuse(error, errorSize, line, "HR number outside 1..99999");
            if (!(s.raHours >= 0.0 && s.raHours < 24.0)) return Refuse(error, errorSize, line, "RA outside 0..24 h");
            if (!(s.decDeg >= -90.0 && s.decDeg <= 90.0)) return Refuse(error, errorSize, line, "Dec outside -90..90");
            if (!(s.magnitude >= -2.0 && s.magnitude <= 10.0))
                return Refuse(error, errorSize, line, "magnitude outside -2..10");
            if (stars->size() >= StarFileMaxStars) return Refuse(error, errorSize, line, "more than 20000 stars");
            s.hr = hr;
            stars->push_back(s);
        }
        p = eol ? eol + 1 : end;
    }
    if (line == 0) return Refuse(error, errorSize, 1, "empty file");
    return 1;
}

int ReadStarFile(const char* path, std::vector<Star>* stars, char* error, size_t errorSize) {
    stars->clear();
    FILE* f = path ? std::fopen(path, "rb") : nullptr;
    if (!f) {
        if (error && errorSize) std::snprintf(error, errorSize, "cannot open %s", path ? path : "(null)");
        return 0;
    }
    std::string text;
    char buffer[65536];
    size_t got;
    bool tooLong = false;
    while ((got = std::fread(buffer, 1, sizeof buffer, f)) > 0) {
        if (text.size() + got > kMaxFileBytes) {
            tooLong = true;
            break;
        }
        text.append(buffer, got);
    }
    bool failed = std::ferror(f) != 0;
    std::fclose(f);
    if (failed || tooLong) {
        if (error && errorSize) std::snprintf(error, errorSize, "%s: %s", path, tooLong ? "larger than 4 MiB" : "read error");
        return 0;
    }
    char why[128];
    if (!ParseStarFile(text.data(), text.size(), stars, why, sizeof why)) {
        if (error && errorSize) std::snprintf(error, errorSize, "%s: %s", path, why);
        return 0;
    }
    return 1;
}

SkyVec ModelDirection(double raDeg, double decDeg) {
    double ra = raDeg * kDeg, dec = decDeg * kDeg, eps = EclipticObliquityDeg * kDeg;
    double ex = std::cos(dec) * std::cos(ra), ey = std::cos(dec) * std::sin(ra), ez = std::sin(dec);
    // Equator to ecliptic: a turn about the equinox direction by the obliquity.
    double X = ex, Y = ey * std::cos(eps) + ez * std::sin(eps), Z = -ey * std::sin(eps) + ez * std::cos(eps);
    return {X, -Z, Y};
}

SkyVec StarDirection(const Star& star) { return ModelDirection(star.raHours * 15.0, star.decDeg); }
