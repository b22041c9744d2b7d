// Which labels a frame draws: the more important body keeps its label where
// two overlap, no two drawn labels overlap, and the choice is the same
// whatever order the labels come in.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <string>

#include "core/app/Labels.h"

namespace {

LabelBox Box(double x, double y, double w, double h, int level, double size) {
    return {{x, y, x + w, y + h}, level, size};
}

bool Overlap(const ScreenRect& a, const ScreenRect& b) {
    return a.x0 < b.x1 && b.x0 < a.x1 && a.y0 < b.y1 && b.y0 < a.y1;
}

std::string Shown(const unsigned char* shown, int n) {
    std::string s;
    for (int k = 0; k < n; ++k) s += shown[k] ? '1' : '0';
    return s;
}

}  // namespace

TEST(Labels, TheMoreImportantBodyKeepsItsLabel) {
    const struct {
        const char* what;
        LabelBox labels[4];
        int count;
        const char* want;  // one character a label: 1 drawn
    } rows[] = {
        {"a moon over its planet: the planet",
         {Box(100, 100, 80, 20, 2, 0.0017), Box(120, 110, 60, 20, 1, 0.1)},
         2,
         "01"},
        {"two planets: the larger", {Box(100, 100, 80, 20, 1, 0.05), Box(150, 105, 80, 20, 1, 1.1)}, 2, "01"},
        {"the Sun over any planet", {Box(10, 10, 80, 20, 1, 1.1), Box(20, 15, 80, 20, 0, 10)}, 2, "01"},
        {"equal bodies: the first", {Box(0, 0, 50, 20, 1, 0.4), Box(10, 0, 50, 20, 1, 0.4)}, 2, "10"},
        {"only touching: both",
         {Box(0, 0, 50, 20, 1, 0.4), Box(50, 0, 50, 20, 1, 0.1), Box(0, 20, 50, 20, 2, 0.01)},
         3,
         "111"},
        // The moon loses to its planet, and then no longer stands in the way
        // of the small planet it would have covered.
        {"a chain: the loser frees the next",
         {Box(0, 0, 60, 20, 1, 1.1), Box(40, 5, 60, 20, 2, 0.02), Box(90, 10, 60, 20, 1, 0.03)},
         3,
         "101"},
        {"empty and not-a-number rectangles draw nothing",
         {Box(0, 0, 0, 20, 0, 10), {{0, 0, std::nan(""), 20}, 0, 10}, Box(0, 0, 40, 20, 2, 0.001)},
         3,
         "001"},
    };
    for (const auto& row : rows) {
        unsigned char shown[4] = {9, 9, 9, 9};
        const int drawn = ChooseLabels(row.labels, row.count, shown);
        EXPECT_EQ(std::string(row.want), Shown(shown, row.count)) << row.what;
        int ones = 0;
        for (const char* c = row.want; *c; ++c) ones += *c == '1';
        EXPECT_EQ(ones, drawn) << row.what;
    }
}

// A crowded frame of 64 labels, as a system with its moons seen from afar
// gives: none of those drawn overlap, each one left out overlaps a drawn
// one at least as important, and shuffling the input changes nothing but
// the order.
TEST(Labels, ACrowdedFrameNeverOverlapsAndIgnoresInputOrder) {
    enum { N = 64 };
    LabelBox labels[N];
    uint32_t seed = 12345;
    auto next = [&seed](int range) {
        seed = seed * 1664525u + 1013904223u;
        return static_cast<int>((seed >> 8) % static_cast<uint32_t>(range));
    };
    for (int k = 0; k < N; ++k)
        labels[k] = Box(next(400), next(300), 40 + next(60), 16, k == 0 ? 0 : k < 10 ? 1 : 2, 0.01 * (1 + next(50)));
    unsigned char shown[N];
    const int drawn = ChooseLabels(labels, N, shown);
    EXPECT_GT(drawn, 5);
    EXPECT_LT(drawn, N);
    auto beats = [&](int a, int b) {
        return labels[a].level != labels[b].level ? labels[a].level < labels[b].level
               : labels[a].size != labels[b].size ? labels[a].size > labels[b].size
                                                  : a < b;
    };
    for (int a = 0; a < N; ++a) {
        bool coveredByBetter = false;
        for (int b = 0; b < N; ++b) {
            if (a == b || !Overlap(labels[a].rect, labels[b].rect)) continue;
            EXPECT_FALSE(shown[a] && shown[b]) << "labels " << a << " and " << b << " both drawn over each other";
            if (shown[b] && beats(b, a)) coveredByBetter = true;
        }
        if (!shown[a]) {
            EXPECT_TRUE(coveredByBetter) << "label " << a << " left out with nothing better in its place";
        }
    }

    // Reversed, with ties broken by position no longer: give every label a
    // size of its own first, so that the order of input cannot matter.
    for (int k = 0; k < N; ++k) labels[k].size += k * 1e-6;
    ChooseLabels(labels, N, shown);
    LabelBox reversed[N];
    unsigned char shownReversed[N];
    for (int k = 0; k < N; ++k) reversed[k] = labels[N - 1 - k];
    ChooseLabels(reversed, N, shownReversed);
    for (int k = 0; k < N; ++k) EXPECT_EQ(shown[k], shownReversed[N - 1 - k]) << "label " << k;
}

TEST(Labels, MoreThanItHoldsAreLeftOutNotOverrun) {
    static LabelBox many[MaxLabels + 10];
    static unsigned char shown[MaxLabels + 10];
    for (int k = 0; k < MaxLabels + 10; ++k) many[k] = Box(30.0 * k, 0, 20, 10, 1, 1);
    EXPECT_EQ(MaxLabels, ChooseLabels(many, MaxLabels + 10, shown));
    for (int k = MaxLabels; k < MaxLabels + 10; ++k) EXPECT_EQ(0, shown[k]) << "label " << k;
    EXPECT_EQ(0, ChooseLabels(many, 0, shown));
    EXPECT_EQ(0, ChooseLabels(nullptr, 5, shown));
}
