// The camera as numbers: its pose, the view and projection matrices the GL
// window uses (worked out here on the CPU), points projected to window
// pixels, which body the user aims at, and the flight to a body. No GL, no
// window, no universe: callers bring positions and the view's size.
#ifndef ORRERY_CORE_APP_CAMERA_H
#define ORRERY_CORE_APP_CAMERA_H

#include "core/app/Labels.h"

// Where the camera stands relative to the body it rides with (the frame
// body; the origin for the absolute frame), and how it is turned, in degrees:
// yaw 0 looks along -z and growing yaw turns left, pitch looks up, roll turns
// about z. The view is rotate(-pitch, x) rotate(-yaw, y) rotate(-roll, z)
// translate(-position), as GL composes it.
struct CameraPose {
    double x, y, z;
    double pitch, yaw, roll;
};

// The pose the digit keys leave: riding with a body of this radius, four
// radii out on its +z side, looking at it.
CameraPose RidingPose(double radius);

// The unit vector the camera looks along, in its frame's axes.
void CameraForward(const CameraPose& pose, double forward[3]);

// Matrices are 4 x 4, column after column, as GL keeps them.
void CameraViewMatrix(const CameraPose& pose, double m[16]);
// The window's projection: 45 degrees high, the view's aspect (a height of 0
// counts as 1), near and far planes at 0.01 and 10000.
void CameraProjectionMatrix(int width, int height, double m[16]);

// One frame's view, for projecting many points without new trigonometry.
struct CameraView {
    double view[16];
    double projection[16];
    double position[3];
    int width, height;
};
void MakeCameraView(const CameraPose& pose, int width, int height, CameraView* out);

// A point in the camera's frame to window pixels, x to the right and y up
// from the lower-left corner as GL counts them. 1 when the point lies in
// front of the near plane; 0 otherwise, and x and y are then meaningless.
// depth, when given, is the distance along the line of sight.
int ProjectPoint(const CameraView& view, const double point[3], double* x, double* y, double* depth);

// The radius in pixels of a sphere seen at this distance; the whole view's
// height from inside it.
double DiscRadiusPixels(const CameraView& view, double distance, double radius);

// A body as the picking rule sees it. label covers nothing when there is none.
struct PickCandidate {
    double x, y;        // the projected centre, window pixels
    double discRadius;  // pixels
    ScreenRect label;
    double distance;  // from the camera: the nearer wins a tie
    int inFront;      // ProjectPoint's answer: a body behind is never picked
};

// How far from the centre of the view a disc or label may be and still be picked.
extern const double PickReachPixels;

// The candidate whose disc or label comes nearest the centre of the view
// (0 when the centre is on it), if within PickReachPixels; ties to the one
// nearer the camera, then the earlier. Its index, or -1 for none.
int PickAtCentre(const PickCandidate* candidates, int count, int width, int height);

// The flight to a body: from wherever the camera is, in whatever frame, to
// RidingPose of the target, in FlightTicks ticks of 10 ms. The distance to
// the target shrinks geometrically and the direction from it turns on a great
// circle, both eased in and out, so a flight across the system slows down
// near the body as much as one from close by. The line of sight keeps the
// angle off the target it had at the start, shrinking with the same easing,
// so a camera aimed at the target keeps it in the middle. Positions are taken
// afresh every tick, so moving bodies are followed: at the start the camera
// still rides with the frame it left.
class CameraFlight {
public:
    enum { FlightTicks = 200 };

    CameraFlight();
    // From `pose`, relative to the body the camera rides with, now at
    // fromFrame (absolute; zeros for the absolute frame), to a target body
    // now at `target`, of this radius. From the first Advance on, poses are
    // relative to the target: the caller rides with it. A flight under way
    // is replaced (start the new one from the pose the last Advance gave).
    void Start(const CameraPose& pose, const double fromFrame[3], const double target[3], double targetRadius);
    // One tick, with the absolute positions now of the body the flight
    // started from (zeros for the absolute frame) and of the target: 1 and
    // the pose relative to the target, the last tick's exactly
    // RidingPose(radius); 0, pose untouched, when no flight is under way.
    // Yaw and roll may jump by whole turns on the first and last tick.
    int Advance(const double fromFrame[3], const double target[3], CameraPose* pose);
    // Ticks remain: Advance will give another pose.
    int Flying() const { return tick < FlightTicks; }
    // Ends a flight where it is (the user took over).
    void Stop() { tick = FlightTicks; }

private:
    CameraPose from;
    double radius;
    // The turn from the line to the target to the line of sight at the start.
    double aimAxis[3], aimAngle;
    double lastYaw;
    int tick;
};

#endif
