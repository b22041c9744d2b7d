// What every message box does before the native notice: the title and text go
// to standard error as well, where a terminal user sees them and where they are
// the whole notice when no display can be opened.
#include <cstdio>

#include "platform/NativeMessageBox.h"
#include "platform/Platform.h"

void ShowMessageBox(const char* title, const char* text, int icon) {
    if (!title) title = "";
    if (!text) text = "";
    std::fprintf(stderr, "orrery: %s: %s\n", title, text);
    std::fflush(stderr);
    ShowNativeMessageBox(title, text, icon);
}
