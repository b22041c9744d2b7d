// What happens when the X server goes away under the running program (the
// session ends, the server is killed). Xlib's default answer is exit(), whose
// atexit handlers then shut SDL down over the dead connection and spin there
// forever; ending the process at once is the only useful answer.
#include <X11/Xlib.h>
#include <unistd.h>

#include <cstring>

#include "platform/Platform.h"

namespace {

int OnDisplayLost(Display*) {
    static const char message[] = "orrery: lost the connection to the X server\n";
    ssize_t written = write(2, message, sizeof message - 1);
    (void)written;
    _exit(1);
}

}  // namespace

void ExitOnDisplayLoss() { XSetIOErrorHandler(OnDisplayLost); }
