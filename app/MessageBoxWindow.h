// The SDL window as the owner of the platform's message boxes: each box
// stands as its dialog, and the window's grab and hidden cursor let go while
// the box is up.
#ifndef ORRERY_APP_MESSAGEBOXWINDOW_H
#define ORRERY_APP_MESSAGEBOXWINDOW_H

// Once the video mode is set: sdl12-compat, asked for its window sooner,
// would make one up of its own to answer. Again after every new video mode.
void LendWindowToMessageBoxes();
// Before SDL_Quit: later boxes belong to nobody.
void TakeWindowFromMessageBoxes();

#endif
