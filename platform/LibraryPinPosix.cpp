// Keeps every library loaded so far in memory for the rest of the process.
// SDL closes the X display at shutdown, and with it Mesa unloads its driver;
// memory the driver keeps for the whole run then shows up in leak reports
// without a module name, where no suppression can match it. Only the
// sanitizer build asks for this.
#include <dlfcn.h>
#include <link.h>

#include "platform/Platform.h"

namespace {

int Pin(struct dl_phdr_info* info, size_t, void*) {
    if (info->dlpi_name && info->dlpi_name[0]) {
        // NOLOAD only touches what is already there; NODELETE keeps it.
        void* handle = dlopen(info->dlpi_name, RTLD_LAZY | RTLD_NOLOAD | RTLD_NODELETE);
        if (handle) dlclose(handle);
    }
    return 0;
}

}  // namespace

void KeepLoadedLibraries() { dl_iterate_phdr(Pin, nullptr); }
