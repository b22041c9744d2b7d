// A window, a renderer and a universe of hand-made bodies with maps of one
// flat colour each, for the drawing's tests: what a frame shows from a given
// camera, read back as pixels. Not the application: no keys, no text but the
// labels, no sky unless a test adds one.
#ifndef ORRERY_TESTS_GL_SCENEFIXTURE_H
#define ORRERY_TESTS_GL_SCENEFIXTURE_H

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "core/app/Camera.h"
#include "gl/GlTestContext.h"
#include "gfx/GlRenderer.h"
#include "sim/Universe.h"
#include "support/TestSupport.h"

struct Rgb {
    int r, g, b;
};

class SceneFixture : public ::testing::Test {
protected:
    static const int kWidth = 320, kHeight = 240;
    SceneFixture();
    void SetUp() override;
    void TearDown() override;

    // A map of one colour at `name` under the scratch folder's Data/maps/
    // (8 x 4, or w x h), its path returned.
    std::string Map(const std::string& name, Rgb colour, int w = 8, int h = 4);
    // A map whose left half (longitudes 0..180 E) is one colour and right half another.
    std::string HalfMap(const std::string& name, Rgb east, Rgb west);
    // Slot `slot` in use: a body of radius r at (x, y, z) with the map at path.
    Body& Put(int slot, const std::string& name, const std::string& path, double r, double x, double y, double z);
    // Every slot unused; the universe's own settings as made.
    void Empty();
    // Init with hd as given, after the bodies are set.
    void Start(int hd);
    // One frame from the camera pose (absolute frame), read back.
    Frame Draw(const CameraPose& pose);
    // The camera at `from` looking at `at` (no roll).
    static CameraPose Looking(const double from[3], const double at[3]);
    // The window pixel of a point (GL's rows: 0 at the bottom).
    bool PixelOf(const CameraPose& pose, const double p[3], int* x, int* y) const;

    GlTestContext context;
    ScratchDir dir;
    GlRenderer renderer;
    std::unique_ptr<Universe> universe;
    std::unique_ptr<WorkingDir> cwd;
};

// The colour at (x, y) of GL's rows, and its grey level.
Rgb At(const Frame& f, int x, int y);
int Grey(Rgb c);
// The mean grey level over a square of side 2 * half + 1 about (x, y).
double MeanGrey(const Frame& f, int x, int y, int half);

#endif
