// The batch run shares everything that decides the numbers with the window:
// the built-in system's constructor, MakeRealSystem, the file reader, Step
// and the writer, so its file is the window's F2 file to the bit.
#include "core/app/Batch.h"

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "core/sim/Edits.h"
#include "core/sim/UniverseFile.h"
#include "core/sim/UniverseModel.h"

namespace {

const double kDaysPerYear = 365.25;

const char* Reason(int error, const char* otherwise) { return error ? std::strerror(error) : otherwise; }

}  // namespace

int MakeStartUniverse(const CommandLine& options, UniverseModel* u, char* message, size_t size) {
    *u = UniverseModel();
    if (options.hasDate) {
        if (u->MakeRealSystem(options.date)) return 1;
        std::snprintf(message, size, "the planets' elements cover 1800 to 2050 only");
        return 0;
    }
    if (!options.loadPath) return 1;
    errno = 0;
    if (!ReadUniverseFile(*u, options.loadPath)) {
        std::snprintf(message, size, "cannot read the universe file %.300s: %s", options.loadPath,
                      Reason(errno, "larger than any universe file"));
        return 0;
    }
    // F3 takes such a file as an empty universe; from the command line it is
    // far more likely the wrong file.
    if (UsedSlotEnd(u->bodies) > 0) return 1;
    std::snprintf(message, size, "%.300s is no universe file: it has no body with mass (no \"ins\" line)",
                  options.loadPath);
    return 0;
}

int SpanToTicks(const SimulationSpan& span, const UniverseModel& u, uint64_t* ticks, char* message, size_t size) {
    if (span.unit == SpanTicks) {
        if (static_cast<double>(span.count) > SimulationTicksMax) {
            std::snprintf(message, size, "--simulate: %llu ticks is more than the 1e12 a run may take",
                          static_cast<unsigned long long>(span.count));
            return 0;
        }
        *ticks = span.count;
        return 1;
    }
    // Which way time runs is the universe's own business; the span says how
    // much of it passes.
    const double daysPerTick = std::fabs(u.deltat) * u.DayLength();
    if (!(daysPerTick > 0) || !std::isfinite(daysPerTick)) {
        std::snprintf(message, size,
                      "--simulate: a tick of this universe has no length in days (deltat %g, kapa %g, Sun's mass %g); "
                      "give the span in ticks",
                      u.deltat, u.kapa, u.bodies[SunSlot].hmotnost);
        return 0;
    }
    const double days = static_cast<double>(span.count) * (span.unit == SpanYears ? kDaysPerYear : 1.0);
    const double exact = days / daysPerTick;
    if (!(exact <= SimulationTicksMax)) {
        std::snprintf(message, size, "--simulate: %.3g ticks of %g days is more than the 1e12 a run may take", exact,
                      daysPerTick);
        return 0;
    }
    *ticks = static_cast<uint64_t>(std::floor(exact + 0.5));
    return 1;
}

void StepTicks(UniverseModel& u, uint64_t ticks) {
    MergeOnContact collisions;
    for (uint64_t i = 0; i < ticks; ++i) u.Step(&collisions);
}

BatchResult RunBatch(const CommandLine& options, char* message, size_t size) {
    if (size) message[0] = '\0';
    // About 3.7 kB; a batch run has nothing else on its stack.
    UniverseModel u;
    if (!MakeStartUniverse(options, &u, message, size)) return BatchFileError;
    uint64_t ticks = 0;
    if (!SpanToTicks(options.span, u, &ticks, message, size)) return BatchUsageError;
    StepTicks(u, ticks);
    // In the window every frame, the first one before any tick, puts the sky
    // sphere where the camera is; the camera starts at (0, 30, 100). The file
    // is then what F2 writes there when the camera was not moved.
    u.bodies[SkySlot].x = BatchCameraX;
    u.bodies[SkySlot].y = BatchCameraY;
    u.bodies[SkySlot].z = BatchCameraZ;
    errno = 0;
    if (!WriteUniverseFile(u, options.savePath)) {
        std::snprintf(message, size, "cannot write %.300s: %s", options.savePath,
                      Reason(errno, "the name is too long"));
        return BatchFileError;
    }
    return BatchDone;
}
