// What the picture shows of small hand-made scenes: the night side's lights,
// the rings in front of and behind their planet with the lit and the unlit
// face and the planet's shadow, the Sun and its glow, the larger maps, the
// markers of bodies too small to see, text at full brightness, and a body's
// map turned as the real body is on a date.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>

#include "core/sim/Ephemeris.h"
#include "gfx/Gl.h"
#include "gl/SceneFixture.h"

namespace {

class SceneLook : public SceneFixture {
protected:
    // The pixel of a point, asserted in view.
    void Pixel(const CameraPose& pose, const double p[3], int* x, int* y) {
        ASSERT_TRUE(PixelOf(pose, p, x, y)) << "(" << p[0] << ", " << p[1] << ", " << p[2] << ") is behind the camera";
    }
    // Saturn of radius 1 at the origin, its pole along +y, its rings green
    // and opaque, lit by a Sun far along `sun`.
    void Saturn(const double sun[3]) {
        Put(1, "Slunce", Map("0Sun.bmp", {255, 255, 255}), 1, 1000 * sun[0], 1000 * sun[1], 1000 * sun[2]);
        Put(2, "Saturn", Map("6Saturn.bmp", {200, 60, 40}), 1, 0, 0, 0);
        Map("6SaturnRings.bmp", {40, 255, 40}, 256, 4);
        Map("6SaturnRingsAlpha.bmp", {255, 255, 255}, 256, 4);
        Start(1);
    }
};

const double kRingMiddle = 1.8;  // Saturn radii: the B ring

bool Green(Rgb c) { return c.g > 2 * c.r + 10 && c.g > 2 * c.b + 10; }
bool Red(Rgb c) { return c.r > 2 * c.g + 10; }

}  // namespace

// The lights are added where the Sun does not reach, with hd 1 and the
// lighting on; the day side shows its map alone.
TEST_F(SceneLook, CityLightsShowOnTheNightSideAlone) {
    const struct {
        int hd, lighting;
        bool lights;
    } cases[] = {{1, 1, true}, {0, 1, false}, {1, 0, false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "hd " << c.hd << ", lighting " << c.lighting);
        universe.reset(new Universe());
        Empty();
        Put(1, "Slunce", Map("0Sun.bmp", {255, 220, 120}), 1, 0, 0, 0);
        Put(2, "Zeme", Map("3Earth.bmp", {60, 60, 60}), 1, 10, 0, 0);
        Map("3EarthNight.bmp", {255, 255, 255});
        Start(c.hd);
        renderer.SetLighting(c.lighting);
        // From +z: the Sun on the left, the night on the right.
        const double from[3] = {10, 0, 5}, at[3] = {10, 0, 0};
        const CameraPose pose = Looking(from, at);
        const Frame f = Draw(pose);
        int x, y;
        Pixel(pose, at, &x, &y);
        const double day = MeanGrey(f, x - 30, y, 2), night = MeanGrey(f, x + 30, y, 2);
        if (c.lights) {
            EXPECT_GT(night, 200) << "expected the city lights on the night side, got grey " << night;
            EXPECT_LT(day, 70) << "expected the day map alone on the day side, got grey " << day;
        } else {
            EXPECT_LT(night, 70) << "expected no lights, got grey " << night;
        }
    }
}

// Seen from above the ring plane the near half of the rings crosses the
// disc and the far half is hidden by it; both show beside the disc.
TEST_F(SceneLook, RingsCrossInFrontOfTheDiscAndPassBehindIt) {
    const double sun[3] = {0, 0.5, 1};
    Saturn(sun);
    const double from[3] = {0, 2, 5}, at[3] = {0, 0, 0};
    const CameraPose pose = Looking(from, at);
    const Frame f = Draw(pose);
    const struct {
        const char* where;
        double p[3];
        bool ring;
    } points[] = {
        // The C ring's near side, well inside the disc as seen; the B ring's
        // far side, where the disc hides it.
        {"the near ring over the disc", {0, 0, 1.4}, true},
        {"the far ring behind the disc", {0, 0, -kRingMiddle}, false},
        {"the ring beside the disc, left", {-kRingMiddle, 0, 0}, true},
        {"the ring beside the disc, right", {kRingMiddle, 0, 0}, true},
    };
    for (const auto& p : points) {
        int x, y;
        Pixel(pose, p.p, &x, &y);
        const Rgb c = At(f, x, y);
        if (p.ring)
            EXPECT_TRUE(Green(c)) << p.where << ": expected the green ring, got " << c.r << "," << c.g << "," << c.b;
        else
            EXPECT_TRUE(Red(c)) << p.where << ": expected the red planet, got " << c.r << "," << c.g << "," << c.b;
    }
}

// The face the Sun lights is brighter than the face it shines through to;
// the planet's shadow darkens the rings on its far side, within its radius
// of the line from the Sun.
TEST_F(SceneLook, RingsShowTheirSunlitFaceAndThePlanetsShadow) {
    // The Sun 20 degrees above the ring plane, along -x.
    const double sun[3] = {-std::cos(0.35), std::sin(0.35), 0};
    Saturn(sun);
    const double above[3] = {0.3, 6, 0.3}, below[3] = {0.3, -6, 0.3}, at[3] = {0, 0, 0};
    const CameraPose top = Looking(above, at), bottom = Looking(below, at);
    const Frame lit = Draw(top);
    const double sunward[3] = {-kRingMiddle, 0, 0}, shadowed[3] = {kRingMiddle, 0, 0}, aside[3] = {1.2, 0, 1.7};
    int x, y;
    Pixel(top, sunward, &x, &y);
    const double litFace = MeanGrey(lit, x, y, 1);
    Pixel(top, shadowed, &x, &y);
    const double inShadow = MeanGrey(lit, x, y, 1);
    Pixel(top, aside, &x, &y);
    const double besideShadow = MeanGrey(lit, x, y, 1);
    const Frame unlit = Draw(bottom);
    Pixel(bottom, sunward, &x, &y);
    const double unlitFace = MeanGrey(unlit, x, y, 1);
    EXPECT_GT(litFace, 1.8 * unlitFace) << "expected the sunlit face brighter, got " << litFace << " against "
                                        << unlitFace;
    EXPECT_GT(unlitFace, 10) << "expected the unlit face to show, got grey " << unlitFace;
    EXPECT_LT(inShadow, 10) << "expected the shadow behind the planet, got grey " << inShadow;
    EXPECT_GT(besideShadow, 0.8 * litFace) << "expected light beside the shadow, got grey " << besideShadow;
}

// hd 1 draws the Sun at its map's colour with a glow about it; hd 0 draws
// it as it always was, without one.
TEST_F(SceneLook, TheSunGlowsWithHdOne) {
    for (int hd = 0; hd <= 1; ++hd) {
        SCOPED_TRACE(testing::Message() << "hd " << hd);
        universe.reset(new Universe());
        Empty();
        Put(1, "Slunce", Map("0Sun.bmp", {250, 200, 100}), 1, 0, 0, 0);
        Start(hd);
        const double from[3] = {0, 0, 8}, at[3] = {0, 0, 0}, beside[3] = {1.6, 0, 0};
        const CameraPose pose = Looking(from, at);
        const Frame f = Draw(pose);
        int x, y;
        Pixel(pose, at, &x, &y);
        const Rgb disc = At(f, x, y);
        if (hd) {
            EXPECT_NEAR(250, disc.r, 3) << "the disc at its map's colour, unlit";
            EXPECT_NEAR(200, disc.g, 3) << "the disc at its map's colour, unlit";
        }
        Pixel(pose, beside, &x, &y);
        const double glow = MeanGrey(f, x, y, 1);
        if (hd)
            EXPECT_GT(glow, 25) << "expected a glow beside the Sun, got grey " << glow;
        else
            EXPECT_EQ(0, glow) << "expected nothing beside the Sun";
    }
}

// A body smaller than two pixels is a 2 x 2 point in its map's mean colour
// with hd 1, and in the true view whatever hd says; hd 0 keeps the old look.
// A dark mean (this one's brightest channel is 100) is brightened to 60 %
// in the same hue, so that the point shows on the black sky.
TEST_F(SceneLook, BodiesTooSmallToSeeAreTwoPixelPointsInTheirMapsMeanColour) {
    const struct {
        int hd, trueSizes;
        bool marker;
    } cases[] = {{1, 0, true}, {0, 1, true}, {0, 0, false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "hd " << c.hd << ", true sizes " << c.trueSizes);
        universe.reset(new Universe());
        Empty();
        Put(1, "Slunce", Map("0Sun.bmp", {255, 255, 255}), 1, 0, 0, 100);
        // Half red, half blue: the mean is purple.
        Put(2, "Pluto", HalfMap("9Pluto.bmp", {200, 0, 0}, {0, 0, 100}), 0.001, 0, 0, -50);
        Start(c.hd);
        universe->trueSizes = c.trueSizes;
        const double from[3] = {0, 0, 0}, at[3] = {0, 0, -50};
        const CameraPose pose = Looking(from, at);
        const Frame f = Draw(pose);
        int x, y;
        Pixel(pose, at, &x, &y);
        int points = 0;
        for (int dy = -2; dy <= 2; ++dy)
            for (int dx = -2; dx <= 2; ++dx) {
                const Rgb p = At(f, x + dx, y + dy);
                if (std::abs(p.r - 153) <= 2 && std::abs(p.b - 77) <= 2 && p.g == 0) ++points;
            }
        EXPECT_EQ(c.marker ? 4 : 0, points) << "pixels of the mean colour about the body";
        EXPECT_EQ(c.marker, universe->markerDrawn[2] != 0);
    }
}

// With hd 1 the map of the same name in Data/planety_hd/ is drawn where
// there is one; a body without one keeps its own, and hd 0 never looks.
TEST_F(SceneLook, HdOneTakesTheLargerMapWhereThereIsOne) {
    const std::string sun = Map("0Sun.bmp", {255, 255, 255}), mars = Map("4Mars.bmp", {200, 0, 0}),
                      venus = Map("2Venus.bmp", {0, 0, 200});
    WriteWholeFile(dir.File("Data/planety_hd/4Mars.bmp"), ReadWholeFile(dir.File(Map("green.bmp", {0, 200, 0}))));
    for (int hd = 0; hd <= 1; ++hd) {
        universe.reset(new Universe());
        Empty();
        Put(1, "Slunce", sun, 1, 0, 0, 100);
        Put(2, "Mars", mars, 1, -2, 0, 0);
        Put(3, "Venuse", venus, 1, 2, 0, 0);
        Start(hd);
        renderer.SetLighting(0);
        const double from[3] = {0, 0, 10}, at[3] = {0, 0, 0}, marsAt[3] = {-2, 0, 0}, venusAt[3] = {2, 0, 0};
        const CameraPose pose = Looking(from, at);
        const Frame f = Draw(pose);
        int x, y;
        Pixel(pose, marsAt, &x, &y);
        const Rgb m = At(f, x, y);
        EXPECT_EQ(hd ? 0 : 200, m.r) << "hd " << hd << ": Mars's map";
        EXPECT_EQ(hd ? 200 : 0, m.g) << "hd " << hd << ": Mars's map";
        Pixel(pose, venusAt, &x, &y);
        EXPECT_EQ(200, At(f, x, y).b) << "hd " << hd << ": Venuse keeps its own map";
    }
}

// Text lit like a material dims with the light it meets (a sphere's last
// normal facing away); at full brightness it is white whatever the light.
TEST_F(SceneLook, TextIsWhiteAtFullBrightness) {
    for (int bright = 0; bright <= 1; ++bright) {
        renderer.SetTextFullBright(bright);
        renderer.BeginFrame();
        glNormal3f(0, 0, -1);
        renderer.PrintScreen(-1, 0, 1, 1, 1, "%s", "1. Slunce");
        const Frame f = ReadFrame();
        int brightest = 0;
        for (size_t i = 0; i < f.rgb.size(); ++i) brightest = f.rgb[i] > brightest ? f.rgb[i] : brightest;
        if (bright)
            EXPECT_EQ(255, brightest) << "full brightness";
        else
            EXPECT_LT(brightest, 100) << "lit like a material, as it always was";
    }
}

// On a date, a body's map turns as the body does: at 12:00 UT near the
// March equinox the Earth shows the Sun its prime meridian, with the eastern
// hemisphere on the left (the model's up is ecliptic south) and not mirrored.
TEST_F(SceneLook, TheEarthShowsTheSunItsPrimeMeridianAtNoon) {
    double jd;
    ASSERT_EQ(1, ParseDateArgument("2026-03-20T12:00", &jd));
    UniverseModel real;
    ASSERT_EQ(1, real.MakeRealSystem(jd));
    static_cast<UniverseModel&>(*universe) = real;
    for (int i = 0; i < UniverseSlots; ++i)
        if (i != SunSlot && i != 4) universe->bodies[i].hmotnost = 0;
    // Longitudes 0 to 180 east red, the rest blue.
    std::snprintf(universe->bodies[4].soubor, BodyFileSize, "%s", HalfMap("3Earth.bmp", {220, 0, 0}, {0, 0, 220}).c_str());
    Start(0);
    renderer.SetLighting(0);
    const Body& e = universe->bodies[4];
    const double at[3] = {e.x, e.y, e.z};
    double towardsSun[3] = {-e.x, -e.y, -e.z};
    const double d = std::sqrt(towardsSun[0] * towardsSun[0] + towardsSun[1] * towardsSun[1] + towardsSun[2] * towardsSun[2]);
    const double from[3] = {e.x + 5 * e.polomer * towardsSun[0] / d, e.y + 5 * e.polomer * towardsSun[1] / d,
                            e.z + 5 * e.polomer * towardsSun[2] / d};
    const CameraPose pose = Looking(from, at);
    const Frame f = Draw(pose);
    int x, y;
    Pixel(pose, at, &x, &y);
    // A quarter of the disc's radius either side: about 15 degrees of
    // longitude, more than the Sun's offset from the meridian that day.
    const int quarter = 12;
    const Rgb east = At(f, x - quarter, y), west = At(f, x + quarter, y);
    EXPECT_TRUE(east.r > 150 && east.b < 50) << "left of the middle: expected the eastern (red) half, got " << east.r
                                             << "," << east.g << "," << east.b;
    EXPECT_TRUE(west.b > 150 && west.r < 50) << "right of the middle: expected the western (blue) half, got "
                                             << west.r << "," << west.g << "," << west.b;
}

// A moon's label is left out while the moon stands within 30 pixels of its
// planet's centre on the screen, or where it would run across the planet's
// disc, and drawn once it is clear of both.
TEST_F(SceneLook, AMoonsLabelStaysOffItsPlanet) {
    // At 20 units from the camera (320 x 240, 45 degrees high) a unit is
    // 14.5 pixels.
    const struct {
        const char* where;
        double planetRadius, x, y;
        bool label;
    } cases[] = {
        {"23 pixels below", 0.2, 0, -1.6, false},
        {"38 pixels below", 0.2, 0, -2.6, true},
        {"45 pixels to the left, its label across the disc", 1.0, -3.1, -0.7, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.where);
        universe.reset(new Universe());
        Empty();
        Put(1, "Slunce", Map("0Sun.bmp", {255, 255, 255}), 1, 0, 0, 100);
        Put(2, "Jupiter", Map("5Jupiter.bmp", {200, 150, 100}), c.planetRadius, 0, 0, 0);
        Put(3, "Io", Map("Io.bmp", {200, 200, 0}), 0.05, c.x, c.y, 0);
        universe->traits[3].parent = 2;
        Start(0);
        const double from[3] = {0, 0, 20}, at[3] = {0, 0, 0}, moon[3] = {c.x, c.y, 0};
        const CameraPose pose = Looking(from, at);
        const Frame f = Draw(pose);
        int px, py, mx, my;
        Pixel(pose, at, &px, &py);
        Pixel(pose, moon, &mx, &my);
        EXPECT_EQ(c.label, universe->labelDrawn[3] != 0) << "the moon stands " << std::hypot(mx - px, my - py)
                                                           << " pixels from the planet";
        EXPECT_TRUE(universe->labelDrawn[2]) << "the planet keeps its label";
        // What the moon adds to the picture: its disc of a pixel or two,
        // and its label if it has one.
        universe->bodies[3].hmotnost = 0;
        const Frame without = Draw(pose);
        int added = 0;
        for (size_t i = 0; i < f.rgb.size(); ++i) added += f.rgb[i] != without.rgb[i];
        if (c.label)
            EXPECT_GT(added, 60) << "expected the moon's label, got " << added << " bytes changed";
        else
            EXPECT_LT(added, 30) << "expected no label, got " << added << " bytes changed";
    }
}

// What hd 1 draws in colours of its own (a marker, the rings, the glow)
// leaves no colour behind on what is drawn after it, the next frame's
// bodies included: lit bodies take GL's current colour as their material.
TEST_F(SceneLook, AMarkersOrTheRingsColourStaysWithThem) {
    Put(1, "Slunce", Map("0Sun.bmp", {255, 120, 0}), 1, 0, 0, 100);
    Put(2, "Mars", Map("4Mars.bmp", {255, 0, 0}), 0.0001, 3, 0, 0);
    Put(3, "Saturn", Map("6Saturn.bmp", {220, 200, 160}), 1, 0, 0, 0);
    Put(4, "Venuse", Map("2Venus.bmp", {200, 200, 200}), 0.5, -3, 0, 0);
    Map("6SaturnRings.bmp", {40, 255, 40}, 256, 4);
    Map("6SaturnRingsAlpha.bmp", {255, 255, 255}, 256, 4);
    Start(1);
    const double from[3] = {0, 0, 8}, at[3] = {0, 0, 0}, venus[3] = {-3, 0, 0};
    const CameraPose pose = Looking(from, at);
    Draw(pose);
    const Frame f = Draw(pose);
    ASSERT_TRUE(universe->markerDrawn[2]) << "Mars is too small to see from here";
    int x, y;
    Pixel(pose, at, &x, &y);
    const Rgb saturn = At(f, x, y);
    EXPECT_TRUE(saturn.r == 220 && saturn.g == 200 && saturn.b == 160)
        << "Saturn after the marker: expected its map's 220,200,160, got " << saturn.r << "," << saturn.g << "," << saturn.b;
    Pixel(pose, venus, &x, &y);
    const Rgb v = At(f, x, y);
    EXPECT_TRUE(v.r == 200 && v.g == 200 && v.b == 200)
        << "Venuse in the frame after the rings and the glow: expected 200,200,200, got " << v.r << "," << v.g << ","
        << v.b;
}
