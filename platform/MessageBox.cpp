// What every message box does before the platform shows it: tests may take
// the notice instead, and the title and text always go to standard error as
// well, where a terminal user sees them and where they are the whole notice
// when no display can be opened.
#include <cstdio>

#include "platform/NativeMessageBox.h"
#include "platform/Platform.h"

namespace {

MessageBoxHook g_hook = nullptr;

}  // namespace

void SetMessageBoxHook(MessageBoxHook hook) { g_hook = hook; }

void ShowMessageBox(const char* title, const char* text, int icon) {
    if (!title) title = "";
    if (!text) text = "";
    if (g_hook) {
        g_hook(title, text, icon);
        return;
    }
    std::fprintf(stderr, "orrery: %s: %s\n", title, text);
    std::fflush(stderr);
    ShowNativeMessageBox(title, text, icon);
}
