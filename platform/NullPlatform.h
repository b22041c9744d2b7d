// What the null platform adds to platform/Platform.h: a look at the message
// boxes it recorded instead of showing them.
#ifndef ORRERY_PLATFORM_NULLPLATFORM_H
#define ORRERY_PLATFORM_NULLPLATFORM_H

struct RecordedBox {
    const char* title;
    const char* text;
    int icon;
};

// Boxes shown since the last clear, oldest first; index out of range gives
// empty texts.
int RecordedBoxCount();
RecordedBox RecordedBoxAt(int index);
void ClearRecordedBoxes();

#endif
