// Writing a file so that it is replaced whole or not at all: the text goes to
// path + ".tmp" in the same folder, reaches the disk, and is renamed over
// path only when every step succeeded; otherwise the temporary file is
// removed and whatever stood at path before is left as it was.
#ifndef ORRERY_SIM_FILEREPLACE_H
#define ORRERY_SIM_FILEREPLACE_H

#include <cstdio>

// write fills the open stream and returns 1 when every write succeeded.
// 1 when path now holds what write wrote, else 0.
int ReplaceFile(const char* path, int (*write)(FILE* f, const void* context), const void* context);

#endif
