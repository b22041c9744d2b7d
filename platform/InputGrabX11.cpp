// The keyboard half of SDL's input grab. The classic SDL 1.2 library grabs
// the keyboard whenever it grabs the pointer, so that no key reaches the
// window manager: Alt+Tab never leaves the program. sdl12-compat grabs only
// the pointer; this makes the classic library do the same.
#include <SDL.h>
#include <SDL_syswm.h>
#include <X11/Xlib.h>

#include "platform/Platform.h"

void ReleaseKeyboardGrab() {
    if (!SDL_WasInit(SDL_INIT_VIDEO) || !SDL_GetVideoSurface()) return;
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (SDL_GetWMInfo(&info) <= 0 || info.subsystem != SDL_SYSWM_X11 || !info.info.x11.display) return;
    // A grab belongs to the connection that made it: SDL's own, used under its lock.
    if (info.info.x11.lock_func) info.info.x11.lock_func();
    XUngrabKeyboard(info.info.x11.display, CurrentTime);
    XFlush(info.info.x11.display);
    if (info.info.x11.unlock_func) info.info.x11.unlock_func();
}
