// The program's options. Without any the program starts as it always has;
// every option is something a user asked for by name.
#ifndef ORRERY_CORE_APP_COMMANDLINE_H
#define ORRERY_CORE_APP_COMMANDLINE_H

#include <cstddef>
#include <cstdint>

// A span of simulated time as the user wrote it: a whole number of ticks,
// days or years. Days only become ticks once the start universe is known,
// since its deltat and day length decide what one tick is.
enum SpanUnit { SpanTicks = 't', SpanDays = 'd', SpanYears = 'y' };
struct SimulationSpan {
    uint64_t count = 0;
    char unit = SpanTicks;
};
// Anything above this many ticks (about 80 hours of stepping) is a typing
// mistake rather than a run someone waits for.
const double SimulationTicksMax = 1e12;

struct CommandLine {
    int32_t help = 0;
    int32_t version = 0;
    int32_t hasDate = 0;
    double date = 0;               // Julian day (UT) of --date
    const char* loadPath = nullptr;  // --load, a pointer into argv
    int32_t simulate = 0;          // --simulate: no window, a file instead
    SimulationSpan span;
    const char* savePath = nullptr;  // --save, a pointer into argv
};

// 1 and the options on success; 0 with an English message for standard
// error when an option is unknown, lacks its value, has a bad one, or does
// not go with the others. --help and --version end the parse where they stand.
int ParseCommandLine(int argc, const char* const* argv, CommandLine* out, char* message, size_t size);

// "306t", "100d", "2y": digits and one unit letter, nothing else.
int ParseSimulationSpan(const char* text, SimulationSpan* span);

extern const char* const CommandLineUsage;

#endif
