// Kept apart from the rest of the support code: it needs the null platform's
// message box, which test programs that show real boxes do not link.
#include "platform/NullPlatform.h"
#include "support/TestSupport.h"

MessageRecorder::MessageRecorder() { ClearRecordedBoxes(); }

const std::vector<RecordedMessage>& MessageRecorder::Messages() const {
    seen.clear();
    for (int i = 0; i < RecordedBoxCount(); ++i) {
        const RecordedBox box = RecordedBoxAt(i);
        seen.push_back(RecordedMessage{box.title, box.text, box.icon});
    }
    return seen;
}

void MessageRecorder::Clear() { ClearRecordedBoxes(); }
