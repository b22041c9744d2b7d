// Entry point: one Application for the whole run; 0 after a normal run, 1 when
// start-up failed, 2 when the command line was wrong.
#include <cstdio>

#include "app/Application.h"
#include "app/CommandLine.h"

int main(int argc, char* argv[]) {
    CommandLine options;
    char message[256];
    if (!ParseCommandLine(argc, argv, &options, message, sizeof message)) {
        std::fprintf(stderr, "orrery: %s\n%s", message, CommandLineUsage);
        return 2;
    }
    Application app;
    if (options.hasDate) app.startDate = options.date;
    if (!app.Init()) return 1;
    app.Run();
    return 0;
}
