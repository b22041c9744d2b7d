// The universe-file reader on hostile text: it must stay inside the buffer and
// the fields, and whatever it took must survive the writer and a second read.
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "core/sim/Edits.h"
#include "core/sim/Integrator.h"
#include "core/sim/UniverseModel.h"
#include "core/sim/UniverseFile.h"

namespace {

bool SameNumber(double a, double b) {
    if (std::isnan(a) || std::isnan(b)) return std::isnan(a) && std::isnan(b);
    return std::memcmp(&a, &b, sizeof a) == 0;
}

bool SameBody(const Body& a, const Body& b) {
    const double av[] = {a.x, a.y, a.z, a.vx, a.vy, a.vz, a.hmotnost, a.polomer, a.rotace, a.osa_rotace};
    const double bv[] = {b.x, b.y, b.z, b.vx, b.vy, b.vz, b.hmotnost, b.polomer, b.rotace, b.osa_rotace};
    for (int i = 0; i < 10; ++i)
        if (!SameNumber(av[i], bv[i])) return false;
    return std::strcmp(a.meno, b.meno) == 0 && std::strcmp(a.soubor, b.soubor) == 0;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    UniverseModel u;
    const int taken = ReadUniverseText(u, reinterpret_cast<const char*>(data), size);
    if (taken < 0 || taken > UniverseSlots) __builtin_trap();
    for (const Body& b : u.bodies)
        if (!std::memchr(b.meno, 0, sizeof b.meno) || !std::memchr(b.soubor, 0, sizeof b.soubor)) __builtin_trap();

    // Save and read back: the used bodies come back in order, bit for bit.
    char* text = nullptr;
    size_t length = 0;
    FILE* f = open_memstream(&text, &length);
    if (!f) return 0;
    const int written = WriteUniverseStream(u, f);
    std::fclose(f);
    if (!written) __builtin_trap();
    UniverseModel back;
    ReadUniverseText(back, text, length);
    std::free(text);
    if (!SameNumber(u.deltat, back.deltat) || !SameNumber(u.kapa, back.kapa)) __builtin_trap();
    int next = 0;
    for (const Body& b : u.bodies) {
        if (b.hmotnost == 0) continue;
        if (!SameBody(b, back.bodies[next++])) __builtin_trap();
    }
    for (; next < UniverseSlots; ++next)
        if (back.bodies[next].hmotnost != 0) __builtin_trap();

    // Whatever it took runs: two ticks as the window runs them (within its
    // work limit, bodies merging where they touch), by whichever scheme its
    // parents and traits call for. The sanitizers watch the arithmetic.
    MergeOnContact collisions;
    for (int i = 0; i < 2; ++i) u.Step(&collisions, WindowTickWork);
    return 0;
}
