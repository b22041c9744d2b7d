// Relative mouse motion made from pointer positions, for an SDL 1.2 whose own
// relative mode loses motion (the classic library: it warps the pointer back
// only when it comes within 8 pixels of the window's edge, so a quick move
// stops at the edge and the rest of it is lost). The pointer, confined to the
// window by the grab, is put back to the centre after every tick instead, and
// the motion SDL reports for that warp is not taken for the user's.
// No SDL here: the application feeds positions in and carries out the warps.
#ifndef ORRERY_CORE_APP_WARPEDPOINTER_H
#define ORRERY_CORE_APP_WARPEDPOINTER_H

class WarpedPointer {
public:
    WarpedPointer();

    // The window's size, whose centre the pointer goes back to; also forgets
    // where the pointer was.
    void SetWindow(int width, int height);
    // The pointer's position is not known (start, focus back, a new window):
    // motion counts again once the next warp has put it at the centre.
    void Forget();

    // One motion event with the pointer at (x, y): 1 and the user's motion
    // in dx, dy; 0 when it is no motion of the user's (positions from before
    // the pointer's place was known, or the warp to the centre arriving).
    int Motion(int x, int y, int* dx, int* dy);

    // After a tick's events: 1 and the centre in x, y when the pointer should
    // be warped there; the warp's own motion is then expected. Called once a
    // tick.
    int WarpDue(int* x, int* y);

private:
    int centreX, centreY;
    int known;        // lastX, lastY hold the pointer's position
    int lastX, lastY;
    int warping;      // ticks since a warp to the centre was asked for, 0 once seen
};

#endif
