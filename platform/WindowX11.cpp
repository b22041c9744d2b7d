// The program's window where SDL 1.2 leaves it short of what a desktop
// program does: the keyboard half of the input grab, which the classic
// library takes along with the pointer so that no key (Alt+Tab) reaches the
// window manager, and full screen without a window manager, where
// sdl12-compat makes the window as large as the screen but leaves it where
// the window was.
#include <X11/Xatom.h>
#include <X11/Xlib.h>

#include "platform/Platform.h"

namespace {

// Holds the owner's lock for as long as it lives.
class Locked {
public:
    explicit Locked(const NativeWindow& w) : window(w), display(static_cast<Display*>(w.display)) {
        if (display && window.lock) window.lock();
    }
    ~Locked() {
        if (!display) return;
        XFlush(display);
        if (window.unlock) window.unlock();
    }
    const NativeWindow& window;
    Display* display;
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

void ReleaseKeyboardGrab(const NativeWindow& window) {
    Locked l(window);
    if (l.display) XUngrabKeyboard(l.display, CurrentTime);
}

void PlaceFullScreenWindow(const NativeWindow& window) {
    Locked l(window);
    if (!l.display || !window.window || WindowManagerRuns(l.display)) return;
    XMoveWindow(l.display, static_cast<Window>(window.window), 0, 0);
}
