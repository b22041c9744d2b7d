// Runs the reference script once for a whole batch of queries: the questions
// go through a temporary file, the answers come back through a pipe, one line
// each, read with bounds; a short or malformed answer fails the batch.
#include "support/MoonReference.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <sys/wait.h>
#include <unistd.h>

namespace {

void SetWhy(char* why, size_t size, const char* text) {
    if (why && size) std::snprintf(why, size, "%s", text);
}

}  // namespace

int MoonReferenceDirections(const MoonQuery* queries, int count, double (*unitVectors)[3], int* have, char* why,
                            size_t whySize) {
    char input[] = "/tmp/orrery-moonref-XXXXXX";
    const int fd = mkstemp(input);
    if (fd < 0) {
        SetWhy(why, whySize, "cannot make a temporary file for the reference's questions");
        return -1;
    }
    FILE* out = fdopen(fd, "w");
    if (!out) {
        close(fd);
        unlink(input);
        SetWhy(why, whySize, "cannot write the reference's questions");
        return -1;
    }
    for (int i = 0; i < count; ++i) std::fprintf(out, "%s %.6f\n", queries[i].name, queries[i].jdUT);
    std::fclose(out);

    // The first python3 that has ephem: the one on PATH, else Debian's own
    // (python3-ephem installs there even when PATH leads to another Python).
    char command[1024];
    std::snprintf(command, sizeof command,
                  "for p in python3 /usr/bin/python3; do "
                  "if \"$p\" -c 'import ephem' 2>/dev/null; then exec \"$p\" '%s' < '%s'; fi; done; exit 3",
                  ORRERY_SOURCE_DIR "/tests/reference/moon_reference.py", input);
    FILE* in = popen(command, "r");
    if (!in) {
        unlink(input);
        SetWhy(why, whySize, "cannot start the reference (popen failed)");
        return -1;
    }
    int answered = 0;
    char line[256];
    while (answered < count && std::fgets(line, sizeof line, in)) {
        double v[3];
        if (std::strncmp(line, "none", 4) == 0) {
            have[answered] = 0;
        } else if (std::sscanf(line, "%lf %lf %lf", &v[0], &v[1], &v[2]) == 3) {
            have[answered] = 1;
            for (int k = 0; k < 3; ++k) unitVectors[answered][k] = v[k];
        } else {
            break;
        }
        ++answered;
    }
    const int status = pclose(in);
    unlink(input);
    if (answered == count) return 1;
    if (answered == 0 && WIFEXITED(status) && WEXITSTATUS(status) == 3) {
        SetWhy(why, whySize, "no python3 with the ephem module (Debian: apt-get install python3-ephem)");
        return 0;
    }
    if (why && whySize) {
        std::snprintf(why, whySize, "the reference script answered %d of %d lines (exit status %d)", answered, count,
                      WIFEXITED(status) ? WEXITSTATUS(status) : -1);
    }
    return -1;
}
