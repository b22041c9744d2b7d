// The panel of the selected body: what it is and how it moves, in real units
// from the model's (100 units per AU, the calendar's day, Earth masses of
// 5.9722e24 kg), each line in the user's language. Text only: the window
// draws it at the top right.
#ifndef ORRERY_CORE_APP_PANEL_H
#define ORRERY_CORE_APP_PANEL_H

class UniverseModel;

enum { PanelMaxLines = 12, PanelLineChars = 128 };

struct PanelText {
    int lines;
    char line[PanelMaxLines][PanelLineChars];
};

// The numbers a panel shows, before they become text.
struct PanelNumbers {
    int parent;               // slot of the body it circles, -1 for none
    double massKg, massEarths;
    double radiusKm;          // its true radius
    double sunAu;             // distance from the Sun (slot 1); -1 without a Sun
    double cameraAu;          // distance from the camera
    double speedKmS;          // about its parent; -1 without one
    int hasOrbit, bound;      // the osculating orbit about the parent
    double semiMajorAu, semiMajorKm, eccentricity, inclinationDeg, periodDays;
};

// The numbers for the body in `slot` as it stands in u (velocities as the
// integrator keeps them; they are brought to the positions' time here),
// seen from a camera at the absolute position `camera`. 0 for a slot that
// holds no body (or the sky).
int PanelNumbersOf(const UniverseModel& u, int slot, const double camera[3], PanelNumbers* out);

// Its lines, in this order: the name and its parent's ("Jupiter (Slunce)"),
// mass, radius, distance from the Sun, from the camera, speed about its
// parent, then the orbit about the parent (semi-major axis in AU, or in km
// for a moon; eccentricity; inclination to the ecliptic of J2000; period in
// days below a year, in years from one), and for a dated universe its date.
// Lines with nothing to say (no parent, no Sun, an unbound orbit's period)
// are left out. 0 and no lines for an empty slot.
int FormatPanel(const UniverseModel& u, int slot, const double camera[3], PanelText* out);

#endif
