// The sky sphere as GL draws it against the texture tool's idea of it: a
// texture whose every texel spells its own column and row, drawn as the
// universe draws slot 0, read back pixel by pixel.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "core/gfx/BmpWriter.h"
#include "gfx/Gl.h"
#include "gfx/GlRenderer.h"
#include "gl/GlTestContext.h"
#include "sim/Universe.h"
#include "support/TestSupport.h"
#include "support/SkyView.h"
#include "tools/sky/SkySphere.h"

namespace {

// Column c and row r (bottom row 0) in the 24 bits of each texel.
std::vector<unsigned char> CoordinateTexels(int width, int height) {
    std::vector<unsigned char> rgb((size_t)width * height * 3);
    for (int r = 0; r < height; ++r)
        for (int c = 0; c < width; ++c) {
            unsigned char* p = &rgb[((size_t)r * width + c) * 3];
            p[0] = (unsigned char)(c & 255);
            p[1] = (unsigned char)(r & 255);
            p[2] = (unsigned char)((c >> 8) | ((r >> 8) << 4));
        }
    return rgb;
}

class SkyOnScreen : public ::testing::Test {
protected:
    static const int kW = 640, kH = 480, kTexW = 4096, kTexH = 2048;
    SkyOnScreen() : context(kW, kH) {}
    void SetUp() override {
        ASSERT_TRUE(context.Ok()) << context.Error();
        const std::string path = dir.File("coords.bmp");
        ASSERT_TRUE(WriteWholeFile(path, EncodeBmp24(kTexW, kTexH, CoordinateTexels(kTexW, kTexH).data())));
        renderer.Resize(kW, kH);
        renderer.InitGl();
        universe.reset(new Universe());
        std::snprintf(universe->bodies[0].soubor, sizeof universe->bodies[0].soubor, "%s", path.c_str());
        for (int i = 1; i < UniverseSlots; ++i) universe->bodies[i].hmotnost = 0;
        ASSERT_EQ(1, universe->Init(&renderer, 2));
        // Exact texels: every pixel names the one texel it shows.
        glBindTexture(GL_TEXTURE_2D, renderer.TextureName(universe->textures[0]));
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    }
    void TearDown() override { universe.reset(); }

    // Draws the sky for the camera angles and counts, on every other pixel
    // of every other row, those whose texel is more than one texel from where
    // SkyTexCoordAt puts it: in the rows of quads about the poles apart, where
    // the texture jumps along a line.
    struct Count {
        int looked = 0, misplaced = 0, misplacedAtPoles = 0, worst = 0;
    };
    Count Misplaced(double pitch, double yaw) {
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glLoadIdentity();
        glRotated(-pitch, 1, 0, 0);
        glRotated(-yaw, 0, 1, 0);
        renderer.DrawShape(universe->shapes[0], universe->textures[0], 1);
        Frame frame = ReadFrame();
        const SkyView view{kW, kH, pitch, yaw};
        Count n;
        for (int py = 0; py < kH; py += 2)
            for (int px = 0; px < kW; px += 2) {
                const unsigned char* p = &frame.rgb[((size_t)py * kW + px) * 3];
                int c = p[0] | ((p[2] & 15) << 8), r = p[1] | ((p[2] >> 4) << 8);
                double s, t;
                EXPECT_EQ(1, SkyTexCoordAt(view.Unproject(px + 0.5, kH - py - 0.5), &s, &t));
                int dc = std::abs(c - (int)std::floor(s * kTexW));
                if (dc > kTexW / 2) dc = kTexW - dc;
                int dr = std::abs(r - (int)std::floor(t * kTexH));
                int d = dc > dr ? dc : dr;
                ++n.looked;
                if (d <= 1) continue;
                bool atPole = t > 1.0 - 1.0 / SkyStacks || t < 1.0 / SkyStacks;
                if (atPole) {
                    ++n.misplacedAtPoles;
                } else {
                    ++n.misplaced;
                    if (d > n.worst) n.worst = d;
                }
            }
        return n;
    }

    GlTestContext context;
    ScratchDir dir;
    GlRenderer renderer;
    std::unique_ptr<Universe> universe;
};

// Views across the equator, the 0/360 seam of the texture (straight ahead at
// start), mid-latitudes and both poles.
TEST_F(SkyOnScreen, EveryPixelShowsTheTexelTheToolPutsThere) {
    struct View {
        double pitch, yaw;
    } views[] = {{0, 0}, {0, 100}, {45, 30}, {-60, 200}, {90, 0}, {-90, 77}, {20, 173}};
    for (const View& v : views) {
        Count n = Misplaced(v.pitch, v.yaw);
        EXPECT_EQ(0, n.misplaced) << "pitch " << v.pitch << " yaw " << v.yaw << ": up to " << n.worst << " texels off";
        EXPECT_LT(n.misplacedAtPoles, n.looked / 500) << "pitch " << v.pitch << " yaw " << v.yaw;
    }
}

}  // namespace
