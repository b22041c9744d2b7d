// convert_bsc: turns the Bright Star Catalogue as Debian's xplanet package
// ships it (its data file stars/BSC) into the project's star file,
// Data/bright_stars.txt, which the texture tool reads.
//
// Usage: convert_bsc BSC-FILE OUTPUT
//
// The input has '#' comments and blank lines, and one star a line:
//   Dec(deg) RA(hours) Mag "name" HR HD SAO
// Only Dec, RA, Mag and the HR number are kept; the output lists the stars
// brightest first (ties in input order), with a header naming the catalogue.
// Exit status: 0 written, 1 unreadable or malformed input or unwritable
// output (the line is named on standard error), 2 bad arguments.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "core/sim/WordCursor.h"
#include "platform/Platform.h"
#include "tools/sky/StarCatalogue.h"

namespace {

const size_t kMaxInput = size_t(8) << 20;

// One line of the input, or 0 with a reason.
int ParseBscLine(const char* p, const char* end, Star* star, const char** why) {
    WordCursor words(p, size_t(end - p));
    if (!words.Number(star->decDeg) || !words.Number(star->raHours) || !words.Number(star->magnitude)) {
        *why = "not Dec RA Mag";
        return 0;
    }
    // The name is quoted and may hold blanks (or be all blanks).
    const char* open = static_cast<const char*>(std::memchr(words.p, '"', size_t(end - words.p)));
    const char* close = open ? static_cast<const char*>(std::memchr(open + 1, '"', size_t(end - open - 1))) : nullptr;
    if (!close) {
        *why = "no quoted name";
        return 0;
    }
    words.p = close + 1;
    int32_t hr = 0;
    if (!words.Integer(&hr) || hr < 1 || hr > 99999) {
        *why = "no HR number after the name";
        return 0;
    }
    star->hr = hr;
    if (!(star->raHours >= 0.0 && star->raHours < 24.0) || !(star->decDeg >= -90.0 && star->decDeg <= 90.0) ||
        !(star->magnitude >= -2.0 && star->magnitude <= 10.0)) {
        *why = "Dec, RA or Mag out of range";
        return 0;
    }
    return 1;
}

struct Output {
    const std::vector<Star>* stars;
};

int WriteStars(FILE* f, const void* context) {
    const std::vector<Star>& stars = *static_cast<const Output*>(context)->stars;
    int ok = std::fprintf(f,
                          "%s\n"
                          "# The Bright Star Catalogue, 5th Revised Ed. (Hoffleit and Warren, Yale\n"
                          "# University Observatory, 1991): its %zu stars as Debian's xplanet package\n"
                          "# ships them (stars/BSC, taken from the catalogue V/50 at CDS VizieR),\n"
                          "# written by tools/convert_bsc. One star a line, brightest first: HR number,\n"
                          "# right ascension (hours, J2000), declination (degrees, J2000), V magnitude.\n",
                          StarFileFirstLine, stars.size()) > 0;
    for (const Star& s : stars)
        ok = ok && std::fprintf(f, "%d %.4f %.4f %.2f\n", s.hr, s.raHours, s.decDeg, s.magnitude) > 0;
    return ok ? 1 : 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s BSC-FILE OUTPUT\n", argc > 0 ? argv[0] : "convert_bsc");
        return 2;
    }
    FILE* in = std::fopen(argv[1], "rb");
    if (!in) {
        std::fprintf(stderr, "cannot open %s\n", argv[1]);
        return 1;
    }
    std::string text;
    char buffer[65536];
    size_t got;
    while ((got = std::fread(buffer, 1, sizeof buffer, in)) > 0 && text.size() <= kMaxInput) text.append(buffer, got);
    bool failed = std::ferror(in) != 0;
    std::fclose(in);
    if (failed || text.size() > kMaxInput) {
        std::fprintf(stderr, "%s: %s\n", argv[1], failed ? "read error" : "larger than 8 MiB");
        return 1;
    }

    std::vector<Star> stars;
    const char* p = text.data();
    const char* end = p + text.size();
    for (int line = 1; p < end; ++line) {
        const char* eol = static_cast<const char*>(std::memchr(p, '\n', size_t(end - p)));
        const char* stop = eol ? eol : end;
        WordCursor first(p, size_t(stop - p));
        first.SkipSpace();
        if (first.p < stop && *first.p != '#') {
            Star star;
            const char* why = "";
            if (!ParseBscLine(p, stop, &star, &why)) {
                std::fprintf(stderr, "%s: line %d: %s\n", argv[1], line, why);
                return 1;
            }
            if (stars.size() >= StarFileMaxStars) {
                std::fprintf(stderr, "%s: more than %d stars\n", argv[1], int(StarFileMaxStars));
                return 1;
            }
            stars.push_back(star);
        }
        p = eol ? eol + 1 : end;
    }
    if (stars.empty()) {
        std::fprintf(stderr, "%s: no stars\n", argv[1]);
        return 1;
    }
    std::stable_sort(stars.begin(), stars.end(), [](const Star& a, const Star& b) { return a.magnitude < b.magnitude; });
    Output out{&stars};
    if (!ReplaceFile(argv[2], WriteStars, &out)) {
        std::fprintf(stderr, "cannot write %s\n", argv[2]);
        return 1;
    }
    std::printf("%zu stars written to %s\n", stars.size(), argv[2]);
    return 0;
}
