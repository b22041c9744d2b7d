// Which body labels a frame draws: of labels whose rectangles overlap, the
// more important body keeps its label and the other is left out. Window
// rectangles only; measuring texts and projecting bodies is the caller's.
#ifndef ORRERY_CORE_APP_LABELS_H
#define ORRERY_CORE_APP_LABELS_H

// A rectangle of window pixels, x0 <= x < x1 and y0 <= y < y1 (either way up,
// as long as all rectangles of a frame agree): rectangles that only touch do
// not overlap. One with x1 <= x0 or y1 <= y0 covers nothing.
struct ScreenRect {
    double x0, y0, x1, y1;
};

struct LabelBox {
    ScreenRect rect;
    // How many bodies the labelled one goes round: 0 the Sun, 1 a planet, 2 a
    // moon. Fewer wins; then the larger size; then the earlier label.
    int level;
    double size;  // the body's radius
};

// More labels than this in one call: those beyond are not drawn.
enum { MaxLabels = 256 };

// Sets shown[k] to 1 for each label to draw and 0 for the others, so that no
// two drawn labels overlap and every label left out overlaps a more important
// drawn one (or covers nothing, or is beyond MaxLabels). Returns how many are
// drawn. No allocation; about count^2 / 2 rectangle tests at worst.
int ChooseLabels(const LabelBox* labels, int count, unsigned char* shown);

#endif
