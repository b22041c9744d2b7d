#include "app/MessageBoxWindow.h"

#include <SDL.h>
#include <SDL_syswm.h>

#include <cstdint>
#include <cstring>

#include "app/SdlWindow.h"
#include "platform/Platform.h"

namespace {

// Boxes are modal and come one at a time, so one saved state does.
SDL_GrabMode g_grab = SDL_GRAB_OFF;
int g_cursor = SDL_ENABLE;

void ReleaseInput(void*) {
    g_grab = SDL_WM_GrabInput(SDL_GRAB_QUERY);
    g_cursor = SDL_ShowCursor(SDL_QUERY);
    SDL_WM_GrabInput(SDL_GRAB_OFF);
    SDL_ShowCursor(SDL_ENABLE);
}

void RestoreInput(void*) {
    SDL_ShowCursor(g_cursor);
    SDL_WM_GrabInput(g_grab);
    if (g_grab == SDL_GRAB_ON) KeepKeyboardFree();
}

// The X11 window id, or 0 under any other window system.
uintptr_t NativeWindowId() {
    if (!SDL_WasInit(SDL_INIT_VIDEO) || !SDL_GetVideoSurface()) return 0;
    SDL_SysWMinfo info;
    std::memset(&info, 0, sizeof info);
    SDL_VERSION(&info.version);
    if (SDL_GetWMInfo(&info) <= 0 || info.subsystem != SDL_SYSWM_X11) return 0;
    return static_cast<uintptr_t>(info.info.x11.window);
}

}  // namespace

void LendWindowToMessageBoxes() {
    const MessageBoxOwner owner = {NativeWindowId(), ReleaseInput, RestoreInput, nullptr};
    SetMessageBoxOwner(&owner);
}

void TakeWindowFromMessageBoxes() { SetMessageBoxOwner(nullptr); }
