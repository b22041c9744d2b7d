// Placeholder.
#include "platform/Platform.h"
#include <cstdio>
static MessageBoxHook g_hook;
void SetMessageBoxHook(MessageBoxHook hook) { g_hook = hook; }
void ShowMessageBox(const char* title, const char* text, int icon) {
    if (g_hook) { g_hook(title, text, icon); return; }
    std::fprintf(stderr, "%s: %s\n", title, text);
}
