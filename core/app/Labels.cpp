// Greedy by importance: the labels are taken from the most important down,
// and each is drawn unless it overlaps one already drawn. A total order (the
// index settles ties) makes the same frame give the same labels every time.
#include "core/app/Labels.h"

#include <cmath>

namespace {

bool Covers(const ScreenRect& r) { return r.x1 > r.x0 && r.y1 > r.y0; }  // false for NaN too

bool Overlap(const ScreenRect& a, const ScreenRect& b) {
    return a.x0 < b.x1 && b.x0 < a.x1 && a.y0 < b.y1 && b.y0 < a.y1;
}

double SizeOf(const LabelBox& l) { return std::isnan(l.size) ? 0 : l.size; }

// Whether label a goes before label b.
bool Before(const LabelBox* labels, int a, int b) {
    if (labels[a].level != labels[b].level) return labels[a].level < labels[b].level;
    const double sa = SizeOf(labels[a]), sb = SizeOf(labels[b]);
    if (sa != sb) return sa > sb;
    return a < b;
}

}  // namespace

int ChooseLabels(const LabelBox* labels, int count, unsigned char* shown) {
    if (!labels || !shown || count <= 0) return 0;
    for (int k = 0; k < count; ++k) shown[k] = 0;
    const int considered = count < MaxLabels ? count : MaxLabels;

    // Insertion sort: a few dozen labels, mostly in the same order frame
    // after frame, and no allocation.
    int order[MaxLabels];
    int n = 0;
    for (int k = 0; k < considered; ++k) {
        if (!Covers(labels[k].rect)) continue;
        int at = n++;
        while (at > 0 && Before(labels, k, order[at - 1])) {
            order[at] = order[at - 1];
            --at;
        }
        order[at] = k;
    }

    int drawn[MaxLabels];
    int drawnCount = 0;
    for (int i = 0; i < n; ++i) {
        const int k = order[i];
        bool free = true;
        for (int j = 0; j < drawnCount && free; ++j) free = !Overlap(labels[k].rect, labels[drawn[j]].rect);
        if (!free) continue;
        shown[k] = 1;
        drawn[drawnCount++] = k;
    }
    return drawnCount;
}
