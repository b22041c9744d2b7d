// The star sky: the star file read as hostile input, stars turned into the
// model's frame as published ecliptic coordinates have them, and the sky
// texture in Data/ holding each bright star at the texel GL shows in its
// direction, with a Milky Way that brightens towards the galactic centre.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "core/gfx/Bmp.h"
#include "support/SkyView.h"
#include "tools/sky/SkySphere.h"
#include "tools/sky/StarCatalogue.h"

namespace {

const std::string kHead = std::string(StarFileFirstLine) + "\n";

TEST(StarFile, TakesOnlyWhatItsFormatSays) {
    std::vector<Star> stars;
    char why[128];
    const std::string good = kHead + "# named\n\n2491 6.7525 -16.7161 -1.46\r\n7001 18.6156 38.7836 0.03";
    ASSERT_EQ(1, ParseStarFile(good.data(), good.size(), &stars, why, sizeof why)) << why;
    ASSERT_EQ(2u, stars.size());
    EXPECT_EQ(7001, stars[1].hr);
    EXPECT_DOUBLE_EQ(18.6156, stars[1].raHours);
    EXPECT_DOUBLE_EQ(0.03, stars[1].magnitude);

    struct Bad {
        std::string text;
        const char* reason;
    } bad[] = {
        {"", "line 1: empty file"},
        {"# orrery bright stars 2\n", "line 1: not"},
        {kHead + "2491 6.7525 -16.7161\n", "line 2: not four numbers"},
        {kHead + "2491 6.7525 -16.7161 -1.46 9\n", "line 2: more than four"},
        {kHead + "2491 24 0 1\n", "line 2: RA outside"},
        {kHead + "2491 nan 0 1\n", "line 2: RA outside"},
        {kHead + "2491 1 -90.5 1\n", "line 2: Dec outside"},
        {kHead + "2491 1 0 inf\n", "line 2: magnitude outside"},
        {kHead + "0 1 0 1\n", "line 2: HR number outside"},
        {kHead + "1 1 0 1 " + std::string(300, ' ') + "\n", "line 2: longer than 256"},
        {kHead + std::string("1 1\0 0 1\n", 9), "line 2: holds a NUL"},
    };
    for (const Bad& b : bad) {
        EXPECT_EQ(0, ParseStarFile(b.text.data(), b.text.size(), &stars, why, sizeof why)) << b.reason;
        EXPECT_EQ(0, std::string(why).rfind(b.reason, 0)) << why;
    }
    std::string many = kHead;
    for (int i = 0; i <= StarFileMaxStars; ++i) many += "1 1 1 1\n";
    EXPECT_EQ(0, ParseStarFile(many.data(), many.size(), &stars, why, sizeof why));
}

// Ecliptic longitude and latitude (J2000) as the almanacs list them, to the
// arc minute, against the model's x = X, y = -Z, z = Y.
TEST(StarFrame, StarsStandWhereTheEclipticCoordinatesSay) {
    struct Case {
        const char* name;
        double raDeg, decDeg, lambda, beta;
    } cases[] = {
        {"vernal equinox", 0, 0, 0, 0},
        {"north ecliptic pole", 270, 90 - EclipticObliquityDeg, 0, 90},
        {"Regulus", 152.0929, 11.9672, 149.829, 0.465},
        {"Spica", 201.2983, -11.1614, 203.841, -2.054},
        {"Antares", 247.3519, -26.4320, 249.762, -4.569},
        {"Aldebaran", 68.9802, 16.5093, 69.790, -5.467},
    };
    for (const Case& c : cases) {
        const double d = 3.14159265358979323846 / 180.0;
        SkyVec ecliptic = {std::cos(c.beta * d) * std::cos(c.lambda * d), -std::sin(c.beta * d),
                           std::cos(c.beta * d) * std::sin(c.lambda * d)};
        EXPECT_LT(AngleDeg(ModelDirection(c.raDeg, c.decDeg), ecliptic), 0.02) << c.name;
    }
}

// What the tool writes towards a direction it reads back: the sphere
// mapping's two ways agree, across the 0/360 seam too. (In the rows of quads
// about the poles half of each quad is a folded triangle that shows nothing.)
TEST(SkySphereMapping, DirectionAndTexelAgree) {
    for (double t = 1.0 / SkyStacks + 0.003; t < 1.0 - 1.0 / SkyStacks; t += 0.0331)
        for (double s = 0.0; s < 1.0; s += 0.0127) {
            double s2, t2;
            ASSERT_EQ(1, SkyTexCoordAt(SkyDirectionAt(s, t), &s2, &t2));
            double ds = std::fabs(s2 - s);
            EXPECT_LT(std::min(ds, 1.0 - ds), 1e-9) << s << " " << t;
            EXPECT_NEAR(t, t2, 1e-9) << s << " " << t;
        }
    double s, t;
    EXPECT_EQ(0, SkyTexCoordAt({0, 0, 0}, &s, &t));
}

class SkyTexture : public ::testing::Test {
protected:
    void SetUp() override {
        char why[256];
        ASSERT_EQ(1, ReadStarFile(ORRERY_SOURCE_DIR "/Data/bright_stars.txt", &stars, why, sizeof why)) << why;
        image = DecodeBmpFile(ORRERY_SOURCE_DIR "/Data/planety_256x128x24/Spacea.bmp");
        ASSERT_NE(nullptr, image);
        std::stable_sort(stars.begin(), stars.end(), [](const Star& a, const Star& b) { return a.magnitude < b.magnitude; });
    }
    void TearDown() override { FreeRgbImage(image); }
    // Green stands for the level: the palette is grey from level 40 on.
    int Level(int col, int row) const {
        col = ((col % image->width) + image->width) % image->width;
        row = std::min(std::max(row, 0), image->height - 1);
        return image->pixels[(size_t(row) * image->width + col) * 3 + 1];
    }
    void TexelOf(SkyVec dir, int* col, int* row) const {
        *col = *row = 0;
        double s = 0, t = 0;
        ASSERT_EQ(1, SkyTexCoordAt(dir, &s, &t));
        *col = std::min(int(s * image->width), image->width - 1);
        *row = std::min(int(t * image->height), image->height - 1);
    }
    // The sky's own level about a direction, stars left out: the median
    // of the two degrees about it.
    int SkyAround(SkyVec dir) const {
        int col, row;
        TexelOf(dir, &col, &row);
        std::vector<int> v;
        for (int r = row - 12; r <= row + 12; ++r)
            for (int c = col - 12; c <= col + 12; ++c) v.push_back(Level(c, r));
        std::nth_element(v.begin(), v.begin() + v.size() / 2, v.end());
        return v[v.size() / 2];
    }
    std::vector<Star> stars;
    RgbImage* image = nullptr;
};

TEST_F(SkyTexture, TheFiftyBrightestStarsPeakAtTheirTexels) {
    ASSERT_EQ(4096, image->width);
    ASSERT_EQ(2048, image->height);
    for (size_t i = 0; i < 50; ++i) {
        int col, row;
        TexelOf(StarDirection(stars[i]), &col, &row);
        int own = Level(col, row);
        for (int r = row - 3; r <= row + 3; ++r)
            for (int c = col - 3; c <= col + 3; ++c)
                EXPECT_GE(own, Level(c, r)) << "HR " << stars[i].hr << " at texel " << col << ", " << row;
    }
    int sirius, row;
    TexelOf(StarDirection(stars[0]), &sirius, &row);
    EXPECT_EQ(2491, stars[0].hr);
    EXPECT_EQ(255, Level(sirius, row));
}

TEST_F(SkyTexture, FaintStarsShowOnADarkSkyAndTheMilkyWayFollowsTheGalaxy) {
    std::vector<unsigned char> green;
    for (size_t i = 1; i < size_t(image->width) * image->height * 3; i += 3 * 97) green.push_back(image->pixels[i]);
    std::nth_element(green.begin(), green.begin() + green.size() / 2, green.end());
    const int dark = green[green.size() / 2];
    EXPECT_LE(dark, 6) << "the background must leave planets and labels as they read";
    int sixes = 0, shown = 0;
    for (const Star& star : stars) {
        if (std::fabs(star.magnitude - 6.0) > 0.05) continue;
        int col, row;
        TexelOf(StarDirection(star), &col, &row);
        if (Level(col + 5, row) > dark + 1) continue;  // on the Milky Way
        ++sixes;
        shown += Level(col, row) >= dark + 18;
    }
    EXPECT_GT(sixes, 50);
    EXPECT_EQ(sixes, shown) << "magnitude 6 must be visible on the dark sky";
    // Galactic longitude 0 five degrees south (clear of the dark rift), the
    // anticentre and the north galactic pole.
    const int centre = SkyAround(ModelDirection(270.8, -31.4)), anticentre = SkyAround(ModelDirection(86.405, 28.936)),
              pole = SkyAround(ModelDirection(192.859, 27.128));
    EXPECT_GT(centre, anticentre + 8);
    EXPECT_GT(anticentre, pole + 2);
    EXPECT_LE(pole, dark + 1);
}

}  // namespace
