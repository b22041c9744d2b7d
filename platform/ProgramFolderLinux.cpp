// Where the running program file lies, from the kernel's link to it: the
// program finds what is installed beside it through this, wherever the whole
// installation was moved.
#include <unistd.h>

#include <cstdio>
#include <cstring>

#include "platform/Platform.h"

int ProgramFolder(char* out, size_t size) {
    if (!out || size == 0) return 0;
    out[0] = '\0';
    char path[4096];
    const ssize_t n = readlink("/proc/self/exe", path, sizeof path - 1);
    if (n <= 0 || (size_t)n >= sizeof path - 1) return 0;
    path[n] = '\0';
    char* slash = std::strrchr(path, '/');
    if (!slash) return 0;
    if (slash == path) slash[1] = '\0';
    else *slash = '\0';
    const int written = std::snprintf(out, size, "%s", path);
    if (written < 0 || (size_t)written >= size) {
        out[0] = '\0';
        return 0;
    }
    return 1;
}
