// The text of the info line (key i): the date of a dated universe, otherwise
// the simulated days since it was made, then the days that pass per second of
// wall-clock time at 100 steps a second, or "pauza"; and the days a second
// really kept when the last tick could do only part of its time.
#ifndef ORRERY_CORE_APP_INFOLINE_H
#define ORRERY_CORE_APP_INFOLINE_H

#include <cstddef>

class UniverseModel;

// Length written (cut to size - 1 at most).
int FormatInfoLine(const UniverseModel& u, int paused, char* out, size_t size);

#endif
