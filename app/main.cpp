// Entry point: one Application for the whole run; 0 after a normal run, 1 when
// start-up failed or a file named on the command line could not be read or
// written, 2 when the command line was wrong.
#include <cstdio>

#include "app/Application.h"
#include "core/app/Batch.h"
#include "core/app/CommandLine.h"
#include "core/sim/UniverseModel.h"

#ifndef ORRERY_VERSION
#define ORRERY_VERSION "unknown"
#endif

int main(int argc, char* argv[]) {
    CommandLine options;
    char message[512];
    if (!ParseCommandLine(argc, argv, &options, message, sizeof message)) {
        std::fprintf(stderr, "orrery: %s\n%s", message, CommandLineUsage);
        return 2;
    }
    if (options.help) {
        std::fputs(CommandLineUsage, stdout);
        return 0;
    }
    if (options.version) {
        std::printf("orrery %s\n", ORRERY_VERSION);
        return 0;
    }
    // Before any Application exists: a batch run must not need a display,
    // and SDL is never initialised for it.
    if (options.simulate) {
        const BatchResult result = RunBatch(options, message, sizeof message);
        if (result == BatchUsageError) std::fprintf(stderr, "orrery: %s\n%s", message, CommandLineUsage);
        if (result == BatchFileError) std::fprintf(stderr, "orrery: %s\n", message);
        return result;
    }
    // Read before the window opens, so that a wrong name costs no window.
    UniverseModel loaded;
    if (options.loadPath && !MakeStartUniverse(options, &loaded, message, sizeof message)) {
        std::fprintf(stderr, "orrery: %s\n", message);
        return 1;
    }
    Application app;
    if (options.hasDate) app.startDate = options.date;
    if (options.loadPath) app.startUniverse = &loaded;
    if (!app.Init()) return 1;
    app.Run();
    return 0;
}
