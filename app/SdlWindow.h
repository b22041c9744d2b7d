// The SDL 1.2 under the program and its window as the platform's window
// services see it. Two libraries answer to SDL 1.2: sdl12-compat, which the
// program is built and packaged for, and the classic library, which differs
// in the grab, in relative motion and on resize.
#ifndef ORRERY_APP_SDLWINDOW_H
#define ORRERY_APP_SDLWINDOW_H

struct NativeWindow;

// Whether the SDL 1.2 in use is the classic library rather than sdl12-compat.
bool ClassicSdl();

// The SDL window for the platform's window services (the keyboard grab, the
// place of a full-screen window): 1 and *out filled while there is one.
int SdlNativeWindow(NativeWindow* out);

// Lets the keyboard go where the classic library grabbed it with the pointer
// (sdl12-compat never does), so that Alt+Tab reaches the window manager.
void KeepKeyboardFree();

#endif
