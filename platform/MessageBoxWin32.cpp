// The modal message box on Windows: MessageBoxA with an OK button.
// Owner: the image decoder's "Error" boxes belong to the window that has the
// keyboard focus; every other box has no owner. The one-function interface
// carries no owner, so it is chosen by title and icon: an "Error" box without
// an icon gets the focused window. The quadric failure box shares that title
// and so is owned too, which only makes it modal to the program's window.
#ifdef _WIN32

#include <windows.h>

#include <cstring>

#include "platform/NativeMessageBox.h"
#include "platform/Platform.h"

void ShowNativeMessageBox(const char* title, const char* text, int icon) {
    UINT flags = MB_OK;
    if (icon == MessageIconExclamation) flags |= MB_ICONEXCLAMATION;
    HWND owner = NULL;
    if (icon == MessageIconNone && std::strcmp(title, "Error") == 0) owner = GetFocus();
    MessageBoxA(owner, text, title, flags);
}

#endif  // _WIN32
