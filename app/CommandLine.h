// The program's options. Without any the program starts as it always has;
// every option is something a user asked for by name.
#ifndef ORRERY_APP_COMMANDLINE_H
#define ORRERY_APP_COMMANDLINE_H

#include <cstddef>
#include <cstdint>

struct CommandLine {
    int32_t hasDate = 0;
    double date = 0;  // Julian day (UT) of --date
};

// 1 and the options on success; 0 with an English message for standard
// error when an option is unknown, lacks its value or has a bad one.
int ParseCommandLine(int argc, const char* const* argv, CommandLine* out, char* message, size_t size);

extern const char* const CommandLineUsage;

#endif
