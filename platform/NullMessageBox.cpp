// Message boxes of the null platform: recorded for whoever asks instead of
// shown, after the line on standard error that every box writes
// (MessageBox.cpp), so a tool run from a terminal still tells why it failed.
// Nothing waits.
#include <string>
#include <vector>

#include "platform/NativeMessageBox.h"
#include "platform/NullPlatform.h"
#include "platform/Platform.h"

namespace {

struct Box {
    std::string title;
    std::string text;
    int icon;
};

std::vector<Box>& Boxes() {
    static std::vector<Box> boxes;
    return boxes;
}

}  // namespace

void ShowNativeMessageBox(const char* title, const char* text, int icon) {
    Boxes().push_back(Box{title, text, icon});
}

int RecordedBoxCount() { return static_cast<int>(Boxes().size()); }

RecordedBox RecordedBoxAt(int index) {
    if (index < 0 || index >= RecordedBoxCount()) return RecordedBox{"", "", 0};
    const Box& b = Boxes()[static_cast<size_t>(index)];
    return RecordedBox{b.title.c_str(), b.text.c_str(), b.icon};
}

void ClearRecordedBoxes() { Boxes().clear(); }

void SetMessageBoxTextSize(int) {}

void SetMessageBoxOwner(const MessageBoxOwner*) {}
