// What every message box does before the native notice: the title and text go
// to standard error as well, where a terminal user sees them and where they are
// the whole notice when no display can be opened. Standard error keeps them
// as the program writes them; the notice shows them in the user's language.
#include <cstdio>

#include "platform/NativeMessageBox.h"
#include "platform/Platform.h"

void ShowMessageBoxAs(const char* title, const char* text, const char* shownTitle, const char* shownText, int icon) {
    if (!title) title = "";
    if (!text) text = "";
    if (!shownTitle) shownTitle = title;
    if (!shownText) shownText = text;
    std::fprintf(stderr, "orrery: %s: %s\n", title, text);
    std::fflush(stderr);
    ShowNativeMessageBox(shownTitle, shownText, icon);
}

void ShowMessageBox(const char* title, const char* text, int icon) {
    ShowMessageBoxAs(title, text, title ? Translate(title) : nullptr, text ? Translate(text) : nullptr, icon);
}
