// The SDL window as the owner of the platform's message boxes: each box
// stands as its dialog, and the window's grab and hidden cursor let go while
// the box is up; and as the platform's other window services see it.
#ifndef ORRERY_APP_MESSAGEBOXWINDOW_H
#define ORRERY_APP_MESSAGEBOXWINDOW_H

// Once the video mode is set: sdl12-compat, asked for its window sooner,
// would make one up of its own to answer. Again after every new video mode.
void LendWindowToMessageBoxes();
// Before SDL_Quit: later boxes belong to nobody.
void TakeWindowFromMessageBoxes();

// The SDL window for the platform's window services (the keyboard grab, the
// place of a full-screen window): 1 and *out filled while there is one.
struct NativeWindow;
int SdlNativeWindow(NativeWindow* out);
// Lets the keyboard go where the classic SDL 1.2 library grabbed it with the
// pointer (sdl12-compat never does), so that Alt+Tab reaches the window manager.
void KeepKeyboardFree();

#endif
