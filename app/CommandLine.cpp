#include "app/CommandLine.h"

#include <cstdio>
#include <cstring>

#include "sim/Ephemeris.h"

const char* const CommandLineUsage = "usage: orrery [--date YYYY-MM-DD[THH:MM]]\n";

int ParseCommandLine(int argc, const char* const* argv, CommandLine* out, char* message, size_t size) {
    CommandLine parsed;
    if (size) message[0] = '\0';
    for (int i = 1; i < argc; ++i) {
        const char* arg = argv[i] ? argv[i] : "";
        const char* value = nullptr;
        if (std::strcmp(arg, "--date") == 0) {
            if (i + 1 >= argc || !argv[i + 1]) {
                std::snprintf(message, size, "--date needs a date, YYYY-MM-DD or YYYY-MM-DDTHH:MM (UT)");
                return 0;
            }
            value = argv[++i];
        } else if (std::strncmp(arg, "--date=", 7) == 0) {
            value = arg + 7;
        } else {
            std::snprintf(message, size, "unknown option %.200s", arg);
            return 0;
        }
        double jd = 0;
        if (!ParseDateArgument(value, &jd)) {
            std::snprintf(message, size, "--date %.40s: not a date of the form YYYY-MM-DD or YYYY-MM-DDTHH:MM", value);
            return 0;
        }
        if (!EphemerisCovers(jd)) {
            std::snprintf(message, size, "--date %.40s: the planets' elements cover 1800 to 2050 only", value);
            return 0;
        }
        parsed.hasDate = 1;
        parsed.date = jd;
    }
    *out = parsed;
    return 1;
}
