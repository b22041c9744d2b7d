#include "app/SdlWindow.h"

#include <SDL.h>
#include <SDL_syswm.h>

#include <cstdint>
#include <cstring>

#include "platform/Platform.h"

// sdl12-compat numbers its releases from 1.2.50 on; the classic library ended
// at 1.2.15.
bool ClassicSdl() {
    const SDL_version* v = SDL_Linked_Version();
    return v && v->major == 1 && v->minor == 2 && v->patch < 50;
}

int SdlNativeWindow(NativeWindow* out) {
    if (!out || !SDL_WasInit(SDL_INIT_VIDEO) || !SDL_GetVideoSurface()) return 0;
    SDL_SysWMinfo info;
    std::memset(&info, 0, sizeof info);
    SDL_VERSION(&info.version);
    if (SDL_GetWMInfo(&info) <= 0 || info.subsystem != SDL_SYSWM_X11 || !info.info.x11.display) return 0;
    out->display = info.info.x11.display;
    // The classic library draws in a child of its top-level window;
    // sdl12-compat has one window and names it only as `window`.
    out->window = static_cast<uintptr_t>(info.info.x11.wmwindow ? info.info.x11.wmwindow : info.info.x11.window);
    out->lock = info.info.x11.lock_func;
    out->unlock = info.info.x11.unlock_func;
    return 1;
}

void KeepKeyboardFree() {
    NativeWindow window;
    if (ClassicSdl() && SdlNativeWindow(&window)) ReleaseKeyboardGrab(window);
}
