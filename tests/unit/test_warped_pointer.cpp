// Mouse look made from pointer positions, as on the classic SDL 1.2 library:
// a pointer confined to the window, moved by the user in steps, reported as
// positions, and put back to the centre after every tick. A full turn must
// come out whole however the steps fall against the window's edges, and
// nothing that is not the user's (the grab's jump, the warps) may turn the
// camera.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "core/app/WarpedPointer.h"

namespace {

// The X server's side: a pointer confined to a width x height window whose
// every change of position is reported as one motion event, in order.
struct ConfinedPointer {
    int width, height, x, y;
    std::vector<std::pair<int, int>> events;

    void MoveTo(int nx, int ny) {
        nx = std::min(std::max(nx, 0), width - 1);
        ny = std::min(std::max(ny, 0), height - 1);
        if (nx == x && ny == y) return;
        x = nx;
        y = ny;
        events.push_back({x, y});
    }
};

// One tick of the program: the queued events, then the warp it asks for.
struct Program {
    WarpedPointer pointer;
    long turnX = 0, turnY = 0;
    int warps = 0;

    void Tick(ConfinedPointer& server) {
        for (const auto& e : server.events) {
            int dx, dy;
            if (pointer.Motion(e.first, e.second, &dx, &dy)) {
                turnX += dx;
                turnY += dy;
            }
        }
        server.events.clear();
        int x, y;
        if (pointer.WarpDue(&x, &y)) {
            ++warps;
            server.MoveTo(x, y);
        }
    }
};

}  // namespace

TEST(WarpedPointer, AFullTurnComesOutWholeWhateverTheStepsAndTheWindow) {
    const struct {
        int width, height, step, stepsPerTick;
    } cases[] = {
        {640, 480, -90, 1},   // the end-to-end test's moves, one per tick
        {640, 480, -90, 3},   // three of them before the program looks: 270 pixels
        {640, 480, 7, 1},     // a slow hand to the right
        {320, 240, -150, 1},  // most of half a small window at once
        {1920, 1080, 45, 2},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.width) + "x" + std::to_string(c.height) + ", steps of " +
                     std::to_string(c.step) + ", " + std::to_string(c.stepsPerTick) + " a tick");
        ConfinedPointer server{c.width, c.height, 17, 23, {}};
        Program program;
        program.pointer.SetWindow(c.width, c.height);
        // The grab has just pulled the pointer in from outside the window.
        server.events.push_back({server.x, server.y});
        program.Tick(server);
        program.Tick(server);
        EXPECT_EQ(0, program.turnX) << "the grab's jump and the first warp turned the camera";
        EXPECT_EQ(0, program.turnY);

        const int total = 1080 * (c.step < 0 ? -1 : 1);
        int moved = 0, ticks = 0, steps = 0;
        while (moved != total) {
            for (int i = 0; i < c.stepsPerTick && moved != total; ++i) {
                const int step = std::abs(total - moved) < std::abs(c.step) ? total - moved : c.step;
                // A hand is never quite level: a pixel up, a pixel down.
                server.MoveTo(server.x + step, server.y + (steps++ % 2 ? 1 : -1));
                moved += step;
            }
            program.Tick(server);
            ++ticks;
        }
        program.Tick(server);
        program.Tick(server);
        EXPECT_EQ(total, program.turnX) << "after " << ticks << " ticks and " << program.warps << " warps";
        EXPECT_EQ(steps % 2 ? -1 : 0, program.turnY) << "the pixels up and down cancel out";
        EXPECT_EQ(c.width / 2, server.x) << "the pointer ends at the centre";
        EXPECT_EQ(c.height / 2, server.y);
    }
}

TEST(WarpedPointer, MotionBeforeTheWarpOfATickIsStillTheUsers) {
    WarpedPointer p;
    p.SetWindow(640, 480);
    int dx, dy, x, y;
    EXPECT_EQ(0, p.Motion(100, 100, &dx, &dy)) << "the first position only tells where the pointer is";
    ASSERT_EQ(1, p.WarpDue(&x, &y));
    // The user moved on before the server carried out the warp.
    EXPECT_EQ(1, p.Motion(90, 100, &dx, &dy));
    EXPECT_EQ(-10, dx);
    EXPECT_EQ(0, p.Motion(320, 240, &dx, &dy)) << "the warp itself";
    EXPECT_EQ(1, p.Motion(330, 235, &dx, &dy));
    EXPECT_EQ(10, dx);
    EXPECT_EQ(-5, dy);
}

TEST(WarpedPointer, AfterForgettingOnlyTheNextWarpMakesThePositionKnown) {
    WarpedPointer p;
    p.SetWindow(640, 480);
    int dx, dy, x, y;
    // Focus back: the pointer may be anywhere, and SDL's idea of where it was
    // is stale; the program warps it at once.
    p.Forget();
    ASSERT_EQ(1, p.WarpDue(&x, &y));
    EXPECT_EQ(320, x);
    EXPECT_EQ(240, y);
    EXPECT_EQ(0, p.Motion(600, 10, &dx, &dy)) << "a position from before the warp";
    EXPECT_EQ(0, p.Motion(320, 240, &dx, &dy));
    EXPECT_EQ(1, p.Motion(300, 240, &dx, &dy));
    EXPECT_EQ(-20, dx);
}

TEST(WarpedPointer, AWarpThatNeverShowsIsGivenUpAndMotionCountsAgain) {
    WarpedPointer p;
    p.SetWindow(640, 480);
    int dx, dy, x, y;
    p.Forget();
    ASSERT_EQ(1, p.WarpDue(&x, &y));
    // The pointer was at the centre already, so the server reports nothing.
    for (int tick = 0; tick < 20; ++tick) EXPECT_EQ(0, p.WarpDue(&x, &y)) << "tick " << tick;
    EXPECT_EQ(1, p.Motion(310, 240, &dx, &dy)) << "motion still waits for the warp";
    EXPECT_EQ(-10, dx);
}
