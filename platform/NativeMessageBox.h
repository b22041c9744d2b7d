// The part of the message box that differs per platform: showing the notice
// and waiting for its confirmation (X11), or recording it (null). The common
// part, the line on standard error, is in MessageBox.cpp.
#ifndef ORRERY_PLATFORM_NATIVEMESSAGEBOX_H
#define ORRERY_PLATFORM_NATIVEMESSAGEBOX_H

// title and text are never null here.
void ShowNativeMessageBox(const char* title, const char* text, int icon);

#endif
