// The universe file "Data/vesmir.ves": deltat, kapa and one line per used body.
// The reader is forgiving in the way of scanf (any white space separates
// fields, unreadable values are met again as words) but never trusts the
// text: it works on a bounded buffer, cuts words to their fields and parses
// numbers without the locale. The writer loses no bits and no old file.
#include "core/sim/UniverseFile.h"

#include <charconv>
#include <cmath>
#include <cstdlib>
#include <cstring>

#include "core/sim/UniverseModel.h"
#include "core/sim/WordCursor.h"
#include "platform/Platform.h"

namespace {

const char kCommentLine[] = "//meno\tsoubor\tpolomer\thmotnost\tx\ty\tz\tvx\tvy\tvz\trotace\tosa_rotace\n";
// A body's traits follow its line under this word; readers that do not know
// it pass over the word and its numbers. Only files that have traits say it.
const char kTraitsWord[] = "vlastnosti";
const char kTraitsComment[] =
    "//vlastnosti\trodic\tskutecny_polomer\tj2\tj4\tj_polomer\tpol_x\tpol_y\tpol_z\tw0\tw_za_den\tkrok_mesicu\n";
// What "poc_planet" says for a universe of up to the built-in system's size,
// however many lines follow; readers ignore it. A longer one says its count.
const int kFileBodyCount = BuiltInSlots;

// ---------------------------------------------------------------- reading

bool Equals(const char* word, size_t length, const char* keyword) {
    return length == std::strlen(keyword) && std::memcmp(word, keyword, length) == 0;
}

// The body line after its "ins": two words and ten numbers in column order.
// Stops at the first field that cannot be read; the fields before it are kept.
void ReadBody(WordCursor& c, Body& b) {
    if (!c.WordInto(b.meno, sizeof b.meno)) return;
    if (!c.WordInto(b.soubor, sizeof b.soubor)) return;
    double* const numbers[] = {&b.polomer, &b.hmotnost, &b.x,  &b.y,      &b.z,
                               &b.vx,      &b.vy,       &b.vz, &b.rotace, &b.osa_rotace};
    for (double* field : numbers) {
        double v;
        if (!c.Number(v)) return;
        *field = v;
    }
}

// The traits line after its word. The parent is written as the count of
// body lines before its own, which is its slot once read back.
void ReadTraits(WordCursor& c, BodyTraits& t) {
    double parent;
    if (!c.Number(parent)) return;
    t.parent = parent >= 0 && parent < UniverseSlots && parent == std::floor(parent) ? static_cast<int>(parent) : 0;
    double* const numbers[] = {&t.radius,  &t.j2,      &t.j4,      &t.jRadius, &t.pole[0],
                               &t.pole[1], &t.pole[2], &t.w0,      &t.wRate,   &t.moonStep};
    for (double* field : numbers) {
        double v;
        if (!c.Number(v)) return;
        *field = v;
    }
}

bool HasTraits(const BodyTraits& t) {
    static const BodyTraits kNone = {};
    return std::memcmp(&t, &kNone, sizeof t) != 0;
}

// ---------------------------------------------------------------- writing

int WriteTraits(const UniverseModel& u, int slot, FILE* f) {
    const BodyTraits& t = u.traits[slot];
    int ordinal = 0;
    if (t.parent > 0 && t.parent < UniverseSlots && BodyInUse(u.bodies[t.parent])) {
        for (int i = 0; i < t.parent; ++i) ordinal += BodyInUse(u.bodies[i]);
    }
    if (std::fprintf(f, "%s\t%d", kTraitsWord, ordinal) < 0) return 0;
    const double numbers[] = {t.radius,  t.j2,      t.j4, t.jRadius, t.pole[0],
                              t.pole[1], t.pole[2], t.w0, t.wRate,   t.moonStep};
    char text[UniverseNumberMaxChars];
    for (double v : numbers) {
        if (!FormatUniverseNumber(v, text, sizeof text)) return 0;
        if (std::fprintf(f, "\t%s", text) < 0) return 0;
    }
    return std::fputs("\n", f) >= 0;
}

// The length of a text field up to its NUL, or the whole field without one.
int FieldLength(const char* field, size_t size) {
    const void* nul = std::memchr(field, '\0', size);
    return static_cast<int>(nul ? static_cast<const char*>(nul) - field : static_cast<ptrdiff_t>(size));
}

int WriteBody(const Body& b, FILE* f) {
    const double numbers[] = {b.polomer, b.hmotnost, b.x, b.y, b.z, b.vx, b.vy, b.vz, b.rotace, b.osa_rotace};
    // The fields are NUL-terminated by everyone who fills them; the bound is
    // there so that a slot filled by mistake cannot run into the next one.
    if (std::fprintf(f, "ins\t%.*s\t%.*s", FieldLength(b.meno, sizeof b.meno), b.meno,
                     FieldLength(b.soubor, sizeof b.soubor), b.soubor) < 0)
        return 0;
    char text[UniverseNumberMaxChars];
    for (double v : numbers) {
        if (!FormatUniverseNumber(v, text, sizeof text)) return 0;
        if (std::fprintf(f, "\t%s", text) < 0) return 0;
    }
    return std::fputs("\n", f) >= 0;
}

}  // namespace

int FormatUniverseNumber(double v, char* out, size_t size) {
    if (!out || size == 0) return 0;
    if (!std::isfinite(v)) {
        // What %f prints, and what the reader takes back.
        const char* text = std::isnan(v) ? (std::signbit(v) ? "-nan" : "nan") : (v < 0 ? "-inf" : "inf");
        const int n = std::snprintf(out, size, "%s", text);
        return n > 0 && static_cast<size_t>(n) < size ? n : 0;
    }
    // The shortest fixed-point text that reads back to v, then padded so that
    // every number still has the six decimals that older files had.
    const std::to_chars_result r = std::to_chars(out, out + size - 1, v, std::chars_format::fixed);
    if (r.ec != std::errc()) return 0;
    size_t length = static_cast<size_t>(r.ptr - out);
    const char* dot = static_cast<const char*>(std::memchr(out, '.', length));
    size_t decimals = 0;
    if (dot) {
        decimals = length - static_cast<size_t>(dot - out) - 1;
    } else {
        if (length + 1 >= size) return 0;
        out[length++] = '.';
    }
    while (decimals < 6) {
        if (length + 1 >= size) return 0;
        out[length++] = '0';
        ++decimals;
    }
    out[length] = '\0';
    return static_cast<int>(length);
}

int WriteUniverseStream(const UniverseModel& u, FILE* f) {
    char text[UniverseNumberMaxChars];
    int count = 0;
    for (const Body& b : u.bodies) count += BodyInUse(b);
    if (std::fprintf(f, "poc_planet\t%d\n", count > kFileBodyCount ? count : kFileBodyCount) < 0) return 0;
    if (!FormatUniverseNumber(u.deltat, text, sizeof text) || std::fprintf(f, "deltat\t%s\n", text) < 0) return 0;
    if (!FormatUniverseNumber(u.kapa, text, sizeof text) || std::fprintf(f, "kapa\t%s\n", text) < 0) return 0;
    // Readers that do not know the word pass over it with its number.
    if (u.hasDate &&
        (!FormatUniverseNumber(u.datum, text, sizeof text) || std::fprintf(f, "datum\t%s\n", text) < 0))
        return 0;
    if (std::fputs(kCommentLine, f) < 0) return 0;
    bool anyTraits = false;
    for (int i = 0; i < UniverseSlots; ++i) anyTraits = anyTraits || (BodyInUse(u.bodies[i]) && HasTraits(u.traits[i]));
    if (anyTraits && std::fputs(kTraitsComment, f) < 0) return 0;
    for (int i = 0; i < UniverseSlots; ++i) {
        if (!BodyInUse(u.bodies[i])) continue;
        if (!WriteBody(u.bodies[i], f)) return 0;
        if (HasTraits(u.traits[i]) && !WriteTraits(u, i, f)) return 0;
    }
    return 1;
}

namespace {

int WriteUniverse(FILE* f, const void* context) {
    return WriteUniverseStream(*static_cast<const UniverseModel*>(context), f);
}

}  // namespace

int WriteUniverseFile(const UniverseModel& u, const char* path) { return ReplaceFile(path, WriteUniverse, &u); }

int ReadUniverseText(UniverseModel& u, const char* data, size_t size, int* leftOut) {
    WordCursor c(data, size);
    int taken = 0;
    int beyond = 0;
    // The slot a traits line belongs to: the body line just before it.
    int lastBody = -1;
    std::memset(u.traits, 0, sizeof u.traits);
    // What was simulated before belongs to the old universe; a file without
    // a date gives a universe without one.
    u.elapsed = 0;
    u.hasDate = 0;
    u.datum = 0;
    const char* word;
    size_t length;
    while (c.Word(word, length)) {
        if (Equals(word, length, "poc_planet")) {
            c.Integer(nullptr);
        } else if (Equals(word, length, "deltat")) {
            double v;
            if (c.Number(v)) u.deltat = v;
        } else if (Equals(word, length, "kapa")) {
            double v;
            if (c.Number(v)) u.kapa = v;
        } else if (Equals(word, length, "datum")) {
            double v;
            if (c.Number(v)) {
                u.hasDate = 1;
                u.datum = v;
            }
        } else if (length >= 2 && word[0] == '/' && word[1] == '/') {
            c.SkipLine();
        } else if (Equals(word, length, "ins") && taken < UniverseSlots) {
            // Counted even when the line stops early: the slot keeps the old
            // values of the fields that were not read.
            ReadBody(c, u.bodies[taken]);
            lastBody = taken;
            ++taken;
        } else if (Equals(word, length, "ins")) {
            ++beyond;
            lastBody = -1;
        } else if (Equals(word, length, kTraitsWord) && lastBody >= 0) {
            ReadTraits(c, u.traits[lastBody]);
            lastBody = -1;
        }
    }
    if (leftOut) *leftOut = beyond;
    for (int i = taken; i < UniverseSlots; ++i) {
        u.bodies[i].hmotnost = 0;
        u.bodies[i].meno[0] = '\0';
    }
    return taken;
}

int ReadUniverseFile(UniverseModel& u, const char* path) {
    FILE* f = std::fopen(path, "rb");
    if (!f) return 0;
    // Read whole, but never more than the cap: a file that large is no
    // universe file, and it is left alone like one that cannot be read.
    size_t capacity = 64 * 1024;
    size_t size = 0;
    char* data = static_cast<char*>(std::malloc(capacity));
    int ok = data != nullptr;
    while (ok) {
        if (size == capacity) {
            // One byte past the cap is enough to know the file is too large.
            const size_t limit = static_cast<size_t>(UniverseFileMaxBytes) + 1;
            if (capacity >= limit) {
                ok = 0;
                break;
            }
            const size_t grown = capacity * 2 < limit ? capacity * 2 : limit;
            char* bigger = static_cast<char*>(std::realloc(data, grown));
            if (!bigger) {
                ok = 0;
                break;
            }
            data = bigger;
            capacity = grown;
        }
        const size_t got = std::fread(data + size, 1, capacity - size, f);
        size += got;
        if (got == 0) {
            if (std::ferror(f)) ok = 0;
            break;
        }
    }
    std::fclose(f);
    if (ok && size > static_cast<size_t>(UniverseFileMaxBytes)) ok = 0;
    int leftOut = 0;
    if (ok) ReadUniverseText(u, data, size, &leftOut);
    std::free(data);
    if (leftOut > 0)
        std::fprintf(stderr, "orrery: %.300s: %d bod%s beyond the %d a universe holds left out\n", path, leftOut,
                     leftOut == 1 ? "y" : "ies", static_cast<int>(UniverseSlots));
    return ok;
}
