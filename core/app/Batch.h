// Runs without a window: the start universe the options choose, a number of
// steps of the very integrator the window runs, and the universe file F2
// would have written after as many ticks without keys. No SDL, no display.
#ifndef ORRERY_CORE_APP_BATCH_H
#define ORRERY_CORE_APP_BATCH_H

#include <cstddef>
#include <cstdint>

#include "core/app/CommandLine.h"

// The camera's place at start, where the window keeps the sky sphere.
const double BatchCameraX = 0, BatchCameraY = 30, BatchCameraZ = 100;

class UniverseModel;

// The universe the window or a batch run starts from: --date's real planets,
// --load's file, or the built-in system. 0 with a message when the file
// cannot be read or holds no body with mass.
int MakeStartUniverse(const CommandLine& options, UniverseModel* u, char* message, size_t size);

// The span in ticks of u: days are deltat * DayLength() each, rounded to the
// nearest tick. 0 with a message for a universe whose ticks have no length
// in days and for spans over SimulationTicksMax.
int SpanToTicks(const SimulationSpan& span, const UniverseModel& u, uint64_t* ticks, char* message, size_t size);

// What F2 would write after `ticks` ticks: one UniverseModel::Step each.
void StepTicks(UniverseModel& u, uint64_t ticks);

enum BatchResult { BatchDone = 0, BatchFileError = 1, BatchUsageError = 2 };
// The whole --simulate run; the result is the program's exit status.
BatchResult RunBatch(const CommandLine& options, char* message, size_t size);

#endif
