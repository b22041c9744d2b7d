// Preloaded into the real orrery binary (LD_PRELOAD) to time it from outside
// without touching its code: at the first SDL_GL_SwapBuffers it waits for GL to
// finish, prints the time since ORRERY_PROBE_T0 (seconds since the epoch, as
// bash's $EPOCHREALTIME gives it just before exec) and the peak resident
// memory, and ends the process when ORRERY_PROBE_EXIT is set.
// Built and used by bench/bench_frame.sh.
#include <dlfcn.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>

namespace {

long StatusKb(const char* key) {
    FILE* f = std::fopen("/proc/self/status", "r");
    if (!f) return -1;
    char line[256];
    long kb = -1;
    size_t keyLength = std::strlen(key);
    while (std::fgets(line, sizeof line, f)) {
        if (std::strncmp(line, key, keyLength) == 0 && line[keyLength] == ':') {
            kb = std::strtol(line + keyLength + 1, nullptr, 10);
            break;
        }
    }
    std::fclose(f);
    return kb;
}

}  // namespace

extern "C" void SDL_GL_SwapBuffers(void) {
    typedef void (*Function)(void);
    static Function real = (Function)dlsym(RTLD_NEXT, "SDL_GL_SwapBuffers");
    static int swaps = 0;
    if (real) real();
    if (swaps++ != 0) return;

    if (Function finish = (Function)dlsym(RTLD_DEFAULT, "glFinish")) finish();
    timespec now;
    clock_gettime(CLOCK_REALTIME, &now);
    const char* t0Text = std::getenv("ORRERY_PROBE_T0");
    // $EPOCHREALTIME uses the locale's decimal separator; accept both.
    double t0 = 0;
    if (t0Text) {
        char copy[64];
        std::snprintf(copy, sizeof copy, "%s", t0Text);
        for (char* p = copy; *p; ++p)
            if (*p == ',') *p = '.';
        t0 = std::strtod(copy, nullptr);
    }
    double ms = t0 > 0 ? (now.tv_sec + now.tv_nsec / 1e9 - t0) * 1e3 : -1;
    std::fprintf(stderr, "probe first_swap_ms %.1f vmhwm_kb %ld\n", ms, StatusKb("VmHWM"));
    if (std::getenv("ORRERY_PROBE_EXIT")) _exit(0);
}
