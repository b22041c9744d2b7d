// The pictures folder on a freedesktop.org desktop. xdg-user-dir knows the
// folder the user configured, under whatever name their language gives it;
// with none configured it prints $HOME itself, and pictures dropped straight
// into the home folder would be a mess, so that answer counts as none.
#include "platform/Platform.h"

#include <sys/stat.h>
#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

bool IsFolder(const char* path, struct stat* st) {
    return path && path[0] && stat(path, st) == 0 && S_ISDIR(st->st_mode);
}

int CopyName(char* out, size_t size, const char* name) {
    const int n = std::snprintf(out, size, "%s", name);
    if (n < 0 || static_cast<size_t>(n) >= size) {
        out[0] = '\0';
        return 0;
    }
    return 1;
}

// The one absolute path the tool printed; false when it is missing, failed,
// or printed anything else.
bool ConfiguredFolder(char* out, size_t size) {
    FILE* p = popen("xdg-user-dir PICTURES 2>/dev/null", "r");
    if (!p) return false;
    const size_t n = std::fread(out, 1, size - 1, p);
    // Reading to the end lets the tool finish instead of dying on a closed pipe.
    bool tooLong = false;
    char rest[256];
    while (std::fread(rest, 1, sizeof rest, p) > 0) tooLong = true;
    const int status = pclose(p);
    if (status == -1 || !WIFEXITED(status) || WEXITSTATUS(status) != 0) return false;
    if (tooLong || n == size - 1) return false;
    out[n] = '\0';
    size_t len = n;
    while (len > 0 && (out[len - 1] == '\n' || out[len - 1] == '\r')) out[--len] = '\0';
    return len > 0 && out[0] == '/' && std::strlen(out) == len && !std::strchr(out, '\n');
}

}  // namespace

int PicturesFolder(char* out, size_t size) {
    if (!out || size == 0) return 0;
    out[0] = '\0';
    const char* home = std::getenv("HOME");
    struct stat homeStat;
    const bool haveHome = IsFolder(home, &homeStat);

    char folder[4096];
    struct stat st;
    // Compared by identity: the tool may add a slash or resolve a link.
    if (ConfiguredFolder(folder, sizeof folder) && IsFolder(folder, &st) &&
        !(haveHome && st.st_dev == homeStat.st_dev && st.st_ino == homeStat.st_ino))
        return CopyName(out, size, folder);

    if (haveHome) {
        const int n = std::snprintf(folder, sizeof folder, "%s/Pictures", home);
        if (n > 0 && static_cast<size_t>(n) < sizeof folder && IsFolder(folder, &st))
            return CopyName(out, size, folder);
    }
    return CopyName(out, size, ".");
}
