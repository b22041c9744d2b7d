// Placeholder.
#include "platform/Platform.h"
int RasteriseFontLists(uint32_t) { return 0; }
