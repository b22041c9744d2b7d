// Files replaced whole with POSIX calls, and the check for a name in use.
// Every platform here has them; they need no display.
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "platform/Platform.h"

int ReplaceFile(const char* path, int (*write)(FILE* f, const void* context), const void* context) {
    char temp[4096];
    const int n = std::snprintf(temp, sizeof temp, "%s.tmp", path);
    if (n < 0 || static_cast<size_t>(n) >= sizeof temp) return 0;

    FILE* f = std::fopen(temp, "wb");
    if (!f) return 0;
    int ok = write(f, context);
    if (std::fflush(f) != 0) ok = 0;
    // Without this a crash soon after the rename can leave an empty file
    // where the old one was. Devices that cannot sync answer EINVAL.
    if (ok && fsync(fileno(f)) != 0 && errno != EINVAL) ok = 0;
    if (std::fclose(f) != 0) ok = 0;
    if (!ok || std::rename(temp, path) != 0) {
        std::remove(temp);
        return 0;
    }
    return 1;
}

int PathTaken(const char* path) {
    struct stat st;
    return path && lstat(path, &st) == 0;
}
