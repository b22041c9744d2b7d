// The time of day for names that people read (pictures): the C library's
// local time, with the time zone looked up again each time.
#include <ctime>

#include "platform/Platform.h"

int LocalTimeNow(std::tm* out) {
    if (!out) return 0;
    tzset();
    const time_t now = std::time(nullptr);
    return now != time_t(-1) && localtime_r(&now, out) != nullptr;
}
