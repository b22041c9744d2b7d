// The program's window where SDL 1.2 leaves it short of what a desktop
// program does: the keyboard half of the input grab, which the classic
// library takes along with the pointer so that no key (Alt+Tab) reaches the
// window manager, and full screen without a window manager, where
// sdl12-compat makes the window as large as the screen but leaves it where
// the window was.
#include <SDL.h>
#include <SDL_syswm.h>
#include <X11/Xatom.h>
#include <X11/Xlib.h>

#include "platform/Platform.h"

namespace {

// SDL's own display connection and window, used under SDL's lock: a grab
// belongs to the connection that made it.
class SdlWindow {
public:
    SdlWindow() : ok(0) {
        if (!SDL_WasInit(SDL_INIT_VIDEO) || !SDL_GetVideoSurface()) return;
        SDL_VERSION(&info.version);
        if (SDL_GetWMInfo(&info) <= 0 || info.subsystem != SDL_SYSWM_X11 || !info.info.x11.display) return;
        ok = 1;
        if (info.info.x11.lock_func) info.info.x11.lock_func();
    }
    ~SdlWindow() {
        if (!ok) return;
        XFlush(info.info.x11.display);
        if (info.info.x11.unlock_func) info.info.x11.unlock_func();
    }
    int ok;
    SDL_SysWMinfo info;
};

// A window manager that follows the desktop conventions announces itself on
// the root window; it places full-screen windows itself.
bool WindowManagerRuns(Display* display) {
    const Atom check = XInternAtom(display, "_NET_SUPPORTING_WM_CHECK", True);
    if (check == None) return false;
    Atom type = None;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    const int status = XGetWindowProperty(display, DefaultRootWindow(display), check, 0, 1, False, XA_WINDOW, &type,
                                          &format, &count, &after, &data);
    const bool found = status == Success && type == XA_WINDOW && format == 32 && count == 1;
    if (data) XFree(data);
    return found;
}

}  // namespace

void ReleaseKeyboardGrab() {
    SdlWindow w;
    if (w.ok) XUngrabKeyboard(w.info.info.x11.display, CurrentTime);
}

void PlaceFullScreenWindow() {
    SdlWindow w;
    if (!w.ok || WindowManagerRuns(w.info.info.x11.display)) return;
    // sdl12-compat names its one window as `window` and leaves `wmwindow` 0.
    const Window top = w.info.info.x11.wmwindow ? w.info.info.x11.wmwindow : w.info.info.x11.window;
    if (top) XMoveWindow(w.info.info.x11.display, top, 0, 0);
}
