#include "core/app/CommandLine.h"

#include <cstdio>
#include <cstring>

#include "core/sim/Ephemeris.h"

const char* const CommandLineUsage =
    "usage: orrery [--date YYYY-MM-DD[THH:MM] | --load FILE]\n"
    "       orrery --simulate SPAN --save FILE [--date YYYY-MM-DD[THH:MM] | --load FILE]\n"
    "  --date YYYY-MM-DD[THH:MM]  start with the planets where they were then (UT, 1800 to 2050)\n"
    "  --load FILE                start from a universe file instead of the built-in system\n"
    "  --simulate SPAN            no window: run SPAN ticks (306t), days (100d) or years (2y), then save\n"
    "  --save FILE                the universe file that --simulate writes\n"
    "  -h, --help                 show this help and exit\n"
    "  --version                  show the version and exit\n";

namespace {

// The option's value from "--name value" or "--name=value"; 0 when arg is
// not this option, -1 when it is but the value is missing or empty.
int OptionValue(const char* name, int argc, const char* const* argv, int* i, const char** value) {
    const char* arg = argv[*i] ? argv[*i] : "";
    const size_t n = std::strlen(name);
    if (std::strncmp(arg, name, n) != 0) return 0;
    if (arg[n] == '=') {
        *value = arg + n + 1;
    } else if (arg[n] == '\0') {
        if (*i + 1 >= argc || !argv[*i + 1]) return -1;
        *value = argv[++*i];
    } else {
        return 0;
    }
    return (*value)[0] ? 1 : -1;
}

}  // namespace

int ParseSimulationSpan(const char* text, SimulationSpan* span) {
    // Digits are counted so that no value, however long, can overflow; a
    // count beyond the tick limit is refused later with the other absurd spans.
    const uint64_t countCap = 1000000000000000ull;
    uint64_t count = 0;
    size_t i = 0;
    for (; text[i] >= '0' && text[i] <= '9'; ++i) {
        if (count < countCap) count = count * 10 + static_cast<uint64_t>(text[i] - '0');
    }
    if (i == 0) return 0;
    const char unit = text[i];
    if (unit != SpanTicks && unit != SpanDays && unit != SpanYears) return 0;
    if (text[i + 1] != '\0') return 0;
    span->count = count < countCap ? count : countCap;
    span->unit = unit;
    return 1;
}

int ParseCommandLine(int argc, const char* const* argv, CommandLine* out, char* message, size_t size) {
    CommandLine parsed;
    if (size) message[0] = '\0';
    for (int i = 1; i < argc; ++i) {
        const char* arg = argv[i] ? argv[i] : "";
        const char* value = nullptr;
        int found;
        if (std::strcmp(arg, "--help") == 0 || std::strcmp(arg, "-h") == 0) {
            parsed.help = 1;
            *out = parsed;
            return 1;
        }
        if (std::strcmp(arg, "--version") == 0) {
            parsed.version = 1;
            *out = parsed;
            return 1;
        }
        if ((found = OptionValue("--date", argc, argv, &i, &value)) != 0) {
            if (found < 0) {
                std::snprintf(message, size, "--date needs a date, YYYY-MM-DD or YYYY-MM-DDTHH:MM (UT)");
                return 0;
            }
            double jd = 0;
            if (!ParseDateArgument(value, &jd)) {
                std::snprintf(message, size, "--date %.40s: not a date of the form YYYY-MM-DD or YYYY-MM-DDTHH:MM",
                              value);
                return 0;
            }
            if (!EphemerisCovers(jd)) {
                std::snprintf(message, size, "--date %.40s: the planets' elements cover 1800 to 2050 only", value);
                return 0;
            }
            parsed.hasDate = 1;
            parsed.date = jd;
        } else if ((found = OptionValue("--load", argc, argv, &i, &value)) != 0) {
            if (found < 0) {
                std::snprintf(message, size, "--load needs the name of a universe file");
                return 0;
            }
            parsed.loadPath = value;
        } else if ((found = OptionValue("--save", argc, argv, &i, &value)) != 0) {
            if (found < 0) {
                std::snprintf(message, size, "--save needs the name of the file to write");
                return 0;
            }
            parsed.savePath = value;
        } else if ((found = OptionValue("--simulate", argc, argv, &i, &value)) != 0) {
            if (found < 0 || !ParseSimulationSpan(value, &parsed.span)) {
                std::snprintf(message, size,
                              "--simulate %.40s: not a span; give a whole number and t (ticks), d (days) or y "
                              "(years), e.g. 306t or 100y",
                              found < 0 ? "" : value);
                return 0;
            }
            parsed.simulate = 1;
        } else if (arg[0] == '-') {
            std::snprintf(message, size, "unknown option %.200s", arg);
            return 0;
        } else {
            std::snprintf(message, size, "unexpected argument %.200s", arg);
            return 0;
        }
    }
    // Two starts would leave one of them silently unused.
    if (parsed.hasDate && parsed.loadPath) {
        std::snprintf(message, size, "--date and --load both choose the start; give one of them");
        return 0;
    }
    if (parsed.simulate && !parsed.savePath) {
        std::snprintf(message, size, "--simulate needs --save FILE: where the universe is written");
        return 0;
    }
    if (parsed.savePath && !parsed.simulate) {
        std::snprintf(message, size, "--save goes with --simulate; in the window F2 saves");
        return 0;
    }
    *out = parsed;
    return 1;
}
