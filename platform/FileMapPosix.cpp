// Placeholder.
#include "platform/Platform.h"
int MapFileReadOnly(const char*, MappedFile*) { return 0; }
void UnmapFile(MappedFile*) {}
