// Motion is the difference between successive positions. A warp to the
// centre is expected to come back as one motion event at exactly the centre;
// every event before it is still the user's, since the X server reports
// positions in the order the pointer took them.
#include "core/app/WarpedPointer.h"

namespace {
const int GiveUpTicks = 10;
}

WarpedPointer::WarpedPointer() : centreX(0), centreY(0), known(0), lastX(0), lastY(0), warping(0) {}

void WarpedPointer::SetWindow(int width, int height) {
    centreX = width > 0 ? width / 2 : 0;
    centreY = height > 0 ? height / 2 : 0;
    Forget();
}

void WarpedPointer::Forget() {
    known = 0;
    warping = 0;
}

int WarpedPointer::Motion(int x, int y, int* dx, int* dy) {
    *dx = 0;
    *dy = 0;
    if (warping && x == centreX && y == centreY) {
        warping = 0;
        known = 1;
        lastX = x;
        lastY = y;
        return 0;
    }
    if (!known) {
        // Before a warp from an unknown place: positions of a pointer nobody
        // watched. Otherwise the first position seen.
        if (warping) return 0;
        known = 1;
        lastX = x;
        lastY = y;
        return 0;
    }
    *dx = x - lastX;
    *dy = y - lastY;
    lastX = x;
    lastY = y;
    return *dx != 0 || *dy != 0;
}

int WarpedPointer::WarpDue(int* x, int* y) {
    // While a warp is on its way, a second one would make two events at the
    // centre of which only one is expected. A warp that never shows had found
    // the pointer at the centre already.
    if (warping) {
        if (++warping <= GiveUpTicks) return 0;
        warping = 0;
        if (!known) {
            known = 1;
            lastX = centreX;
            lastY = centreY;
        }
    }
    // A pointer whose place is not known is warped too: that makes it known.
    if (known && lastX == centreX && lastY == centreY) return 0;
    warping = 1;
    *x = centreX;
    *y = centreY;
    return 1;
}
