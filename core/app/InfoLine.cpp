#include "core/app/InfoLine.h"

#include <cmath>
#include <cstdio>

#include "core/sim/Ephemeris.h"
#include "core/sim/UniverseModel.h"
#include "platform/Platform.h"

int FormatInfoLine(const UniverseModel& u, int paused, char* out, size_t size) {
    if (!out || size == 0) return 0;
    const double day = u.DayLength();
    char when[64];
    char date[DateTimeMaxChars];
    if (u.hasDate && FormatDateTime(u.datum, date, sizeof date))
        std::snprintf(when, sizeof when, Translate("datum: %s UT"), date);
    else
        std::snprintf(when, sizeof when, Translate("cas: %.1f dne"), u.elapsed * day);
    int n;
    const double rate = u.deltat * day * 100;
    if (paused)
        n = std::snprintf(out, size, Translate("%s  pauza"), when);
    else if (std::fabs(rate) >= 0.01 && std::fabs(rate) < 1e6)
        n = std::snprintf(out, size, Translate("%s  %+.2f dne/s"), when, rate);
    else
        n = std::snprintf(out, size, Translate("%s  %+.2e dne/s"), when, rate);
    if (n < 0) {
        out[0] = '\0';
        return 0;
    }
    // A tick that would cost more than the window allows runs only part of
    // its time (UniverseModel::Step's work limit): the rate really kept.
    const size_t length = static_cast<size_t>(n) < size ? static_cast<size_t>(n) : size - 1;
    if (!paused && u.lastTickShare < 1 && length + 1 < size) {
        const int more = std::snprintf(out + length, size - length, Translate("  (stiha jen %+.3g dne/s)"),
                                       rate * u.lastTickShare);
        if (more > 0) n = static_cast<int>(length) + more;
    }
    return static_cast<size_t>(n) < size ? n : static_cast<int>(size - 1);
}
