// The free-flying camera and the application's keys, fed key states and
// events directly: movement, turning, hyperspeed, reference frames, jumps,
// and what the loss of the input focus leaves undone.
#include <gtest/gtest.h>

#include <SDL.h>
#include <cmath>
#include <cstring>

#include "app/Application.h"
#include "sim/Universe.h"

namespace {

class CameraTest : public ::testing::Test {
protected:
    Application app;
    Universe* universe = new Universe();
    Uint8 keys[SDLK_LAST];

    void SetUp() override {
        app.universe = universe;
        app.scenes[0] = universe;
        std::memset(keys, 0, sizeof keys);
    }

    // One tick of the application's keys with these keys down.
    void Tick() { app.ApplyKeys(keys); }

    // Press: down for one tick, then released (SDL clears the byte on key-up).
    void Press(int key) {
        keys[key] = 1;
        Tick();
        keys[key] = 0;
    }

    void AbsoluteCamera(double& x, double& y, double& z) const {
        x = app.camX;
        y = app.camY;
        z = app.camZ;
        if (app.frameBody) {
            const Body& b = universe->bodies[app.frameBody];
            x += b.x;
            y += b.y;
            z += b.z;
        }
    }

    SDL_Event Motion(int xrel, int yrel) {
        SDL_Event e;
        std::memset(&e, 0, sizeof e);
        e.type = SDL_MOUSEMOTION;
        e.motion.xrel = static_cast<Sint16>(xrel);
        e.motion.yrel = static_cast<Sint16>(yrel);
        return e;
    }
};

}  // namespace

TEST_F(CameraTest, StartsAtTheDocumentedPlace) {
    EXPECT_EQ(0, app.camX);
    EXPECT_EQ(30, app.camY);
    EXPECT_EQ(100, app.camZ);
    EXPECT_EQ(1.0, app.hyperspeed);
    EXPECT_EQ(1, app.lighting);
    EXPECT_EQ(0, app.blending);
    EXPECT_EQ(0, app.frameBody);
}

TEST_F(CameraTest, HoldingWForOneSecondAtYawZeroMovesHundredUnitsAlongMinusZ) {
    keys[SDLK_w] = 1;
    for (int i = 0; i < 100; ++i) Tick();
    EXPECT_NEAR(0, app.camX, 1e-9);
    EXPECT_EQ(30, app.camY);
    EXPECT_NEAR(0, app.camZ, 1e-9);
    EXPECT_EQ(1, keys[SDLK_w]) << "held keys keep their byte";
}

TEST_F(CameraTest, MovementIsHorizontalWhateverThePitch) {
    app.pitch = 60;
    app.yaw = 90;  // looking along -x
    keys[SDLK_w] = 1;
    Tick();
    EXPECT_NEAR(-1, app.camX, 1e-6);
    EXPECT_EQ(30, app.camY);
    EXPECT_NEAR(100, app.camZ, 1e-6);
    keys[SDLK_w] = 0;
    keys[SDLK_d] = 1;  // right of -x is -z
    Tick();
    EXPECT_NEAR(-1, app.camX, 1e-6);
    EXPECT_NEAR(99, app.camZ, 1e-6);
    keys[SDLK_d] = 0;
    keys[SDLK_LSHIFT] = 1;
    Tick();
    EXPECT_EQ(31, app.camY);
}

TEST_F(CameraTest, SpaceAndLeftAltScaleHyperspeedOncePerPress) {
    for (int i = 0; i < 3; ++i) Press(SDLK_SPACE);
    EXPECT_NEAR(1000, app.hyperspeed, 1e-9);
    Press(SDLK_LALT);
    EXPECT_NEAR(100, app.hyperspeed, 1e-9);

    // Held down, a per-press key acts once and clears its byte.
    keys[SDLK_SPACE] = 1;
    Tick();
    EXPECT_EQ(0, keys[SDLK_SPACE]);
    Tick();
    Tick();
    EXPECT_NEAR(1000, app.hyperspeed, 1e-9);
}

TEST_F(CameraTest, PitchClampsAtExactlyNinety) {
    app.pitch = 89.5;
    keys[SDLK_UP] = 1;
    Tick();
    EXPECT_EQ(90.0, app.pitch);
    Tick();
    EXPECT_EQ(90.0, app.pitch);
    keys[SDLK_UP] = 0;

    app.pitch = 0;
    app.HandleEvent(Motion(0, -600));
    EXPECT_EQ(90.0, app.pitch);
    app.HandleEvent(Motion(0, 1200));
    EXPECT_EQ(-90.0, app.pitch);

    app.pitch = -89.9;
    keys[SDLK_DOWN] = 1;
    Tick();
    EXPECT_EQ(-90.0, app.pitch);
}

TEST_F(CameraTest, MouseTurnsThreePixelsPerDegree) {
    app.HandleEvent(Motion(30, 0));  // right turns the view right
    EXPECT_NEAR(-10, app.yaw, 1e-12);
    app.HandleEvent(Motion(0, 3));   // towards the user looks down
    EXPECT_NEAR(-1, app.pitch, 1e-12);
}

TEST_F(CameraTest, ArrowKeysTurnByPoint8AndYawIsNeverWrapped) {
    keys[SDLK_LEFT] = 1;
    for (int i = 0; i < 1000; ++i) Tick();
    EXPECT_NEAR(800, app.yaw, 1e-3);
    keys[SDLK_LEFT] = 0;
    keys[SDLK_RIGHT] = 1;
    Tick();
    EXPECT_NEAR(800 - 0.800000011920929, app.yaw, 1e-3);
}

TEST_F(CameraTest, QuitAndCloseSetQuit) {
    keys[SDLK_ESCAPE] = 1;
    Tick();
    EXPECT_EQ(1, app.quit);

    Application other;
    SDL_Event e;
    std::memset(&e, 0, sizeof e);
    e.type = SDL_QUIT;
    other.HandleEvent(e);
    EXPECT_EQ(1, other.quit);
}

TEST_F(CameraTest, F1TogglesHelpOncePerPress) {
    keys[SDLK_F1] = 1;
    Tick();
    EXPECT_EQ(1, app.showHelp);
    Tick();  // still held, byte already cleared
    EXPECT_EQ(1, app.showHelp);
    Press(SDLK_F1);
    EXPECT_EQ(0, app.showHelp);
}

TEST_F(CameraTest, PageUpAndPageDownWrapAndKeepTheAbsolutePosition) {
    // Move the bodies off their start so that frame offsets are not trivial.
    universe->bodies[10].x = 12.5;
    universe->bodies[10].y = -3;
    universe->bodies[10].z = -3950;
    universe->bodies[1].x = 0.25;

    double ax, ay, az;
    for (int step = 0; step < 11; ++step) {
        AbsoluteCamera(ax, ay, az);
        double pitch = app.pitch, yaw = app.yaw;
        int before = app.frameBody;
        Press(SDLK_PAGEUP);
        EXPECT_EQ((before + 1) % 11, app.frameBody);
        double bx, by, bz;
        AbsoluteCamera(bx, by, bz);
        EXPECT_NEAR(ax, bx, 1e-9);
        EXPECT_NEAR(ay, by, 1e-9);
        EXPECT_NEAR(az, bz, 1e-9);
        EXPECT_EQ(pitch, app.pitch);
        EXPECT_EQ(yaw, app.yaw);
    }
    ASSERT_EQ(0, app.frameBody);
    AbsoluteCamera(ax, ay, az);
    Press(SDLK_PAGEDOWN);
    EXPECT_EQ(10, app.frameBody);
    double bx, by, bz;
    AbsoluteCamera(bx, by, bz);
    EXPECT_NEAR(ax, bx, 1e-9);
    EXPECT_NEAR(az, bz, 1e-9);
    EXPECT_NEAR(100 + 3950, app.camZ, 1e-9);
}

TEST_F(CameraTest, PageUpStepsThroughEveryBodyOfALongerUniverse) {
    universe->bodies[40] = universe->bodies[10];  // slot 40 in use, the 29 between empty
    int presses = 0;
    do {
        Press(SDLK_PAGEUP);
        ++presses;
    } while (app.frameBody != 0 && presses < 100);
    EXPECT_EQ(41, presses) << "frames 1..40 and back to the absolute one";
    Press(SDLK_PAGEDOWN);
    EXPECT_EQ(40, app.frameBody);
    keys[SDLK_0] = 1;  // the digits keep their slots
    Tick();
    keys[SDLK_0] = 0;
    EXPECT_EQ(10, app.frameBody);
}

TEST_F(CameraTest, HeldDigitKeepsTheCameraFourRadiiFromTheBody) {
    app.pitch = 10;
    app.yaw = 33;
    keys[SDLK_4] = 1;
    keys[SDLK_w] = 1;  // movement meanwhile has no lasting effect
    for (int i = 0; i < 5; ++i) {
        Tick();
        EXPECT_EQ(4, app.frameBody);
        EXPECT_EQ(0, app.camX);
        EXPECT_EQ(0, app.camY);
        EXPECT_EQ(4 * universe->bodies[4].polomer, app.camZ);
        EXPECT_EQ(0, app.pitch);
        EXPECT_EQ(0, app.yaw);
        EXPECT_EQ(0, app.roll);
    }
    EXPECT_EQ(1, keys[SDLK_4]);
}

TEST_F(CameraTest, LastHeldDigitWinsAndZeroMeansBodyTen) {
    keys[SDLK_2] = 1;
    keys[SDLK_7] = 1;
    Tick();
    EXPECT_EQ(7, app.frameBody);
    keys[SDLK_0] = 1;
    Tick();
    EXPECT_EQ(10, app.frameBody);
    EXPECT_EQ(4 * universe->bodies[10].polomer, app.camZ);
}

TEST_F(CameraTest, TheSceneSeesKeysAfterTheApplicationCleared) {
    // Keypad * reverses time once per press in the universe; the
    // application's own per-press keys are gone before the scene looks.
    keys[SDLK_KP_MULTIPLY] = 1;
    keys[SDLK_SPACE] = 1;
    double deltat = universe->deltat;
    app.HandleKeys(keys);
    EXPECT_EQ(-deltat, universe->deltat);
    EXPECT_EQ(0, keys[SDLK_KP_MULTIPLY]);
    EXPECT_EQ(0, keys[SDLK_SPACE]);
    EXPECT_EQ(10, app.hyperspeed);
}

TEST(RoundedLog10, PowersOfTenGiveTheirExponents) {
    EXPECT_EQ(0, RoundedLog10(1));
    EXPECT_EQ(3, RoundedLog10(1000));
    EXPECT_EQ(-1, RoundedLog10(0.1));
    EXPECT_EQ(-5, RoundedLog10(0.00001));
}

TEST(RoundedLog10, ValuesBetweenPowersAreTruncated) {
    EXPECT_EQ(0, RoundedLog10(5));
    EXPECT_EQ(1, RoundedLog10(9.5));
    EXPECT_EQ(0, RoundedLog10(0.5));
}

TEST(RoundedLog10, RepeatedMultiplicationLandsOnTheExactExponent) {
    double h = 1;
    for (int i = 0; i < 10; ++i) h *= 0.1;
    EXPECT_EQ(-10, RoundedLog10(h)) << "level shown would be " << RoundedLog10(h) + 4;
    h = 1;
    for (int i = 0; i < 3; ++i) h *= 10;
    h *= 0.1;
    EXPECT_EQ(2, RoundedLog10(h));
}

TEST(RoundedLog10, ZeroInfinityAndNanGiveSaneLevels) {
    double h = 1;
    for (int i = 0; i < 400; ++i) h *= 0.1;
    ASSERT_EQ(0.0, h);
    EXPECT_EQ(-324, RoundedLog10(h));
    h = 1;
    for (int i = 0; i < 400; ++i) h *= 10;
    ASSERT_TRUE(std::isinf(h));
    EXPECT_EQ(309, RoundedLog10(h));
    EXPECT_EQ(0, RoundedLog10(std::nan("")));
    EXPECT_EQ(0, RoundedLog10(-5));
    EXPECT_EQ(-323, RoundedLog10(4.9e-324)) << "the smallest double";
}

namespace {

SDL_Event KeyEvent(Uint8 type, SDLKey sym) {
    SDL_Event e;
    std::memset(&e, 0, sizeof e);
    e.type = type;
    e.key.keysym.sym = sym;
    return e;
}

}  // namespace

TEST_F(CameraTest, AKeyTappedBetweenTwoTicksStillCountsOnce) {
    // Down and up within one poll: SDL's key state already reads "up".
    app.HandleEvent(KeyEvent(SDL_KEYDOWN, SDLK_F1));
    app.HandleEvent(KeyEvent(SDL_KEYUP, SDLK_F1));
    app.HandleEvent(KeyEvent(SDL_KEYDOWN, SDLK_w));
    app.HandleEvent(KeyEvent(SDL_KEYUP, SDLK_w));
    app.HandleKeys(keys);
    EXPECT_EQ(1, app.showHelp);
    EXPECT_NEAR(99, app.camZ, 1e-9) << "a tapped held-key acts for one tick";
    EXPECT_EQ(0, keys[SDLK_F1]);
    EXPECT_EQ(0, keys[SDLK_w]) << "the tapped key reads released again after the tick";
    app.HandleKeys(keys);
    EXPECT_EQ(1, app.showHelp);
    EXPECT_NEAR(99, app.camZ, 1e-9);
}

TEST_F(CameraTest, AKeyPressedAgainWithinThePollIsNotReleasedAfterTheTick) {
    app.HandleEvent(KeyEvent(SDL_KEYDOWN, SDLK_w));
    app.HandleEvent(KeyEvent(SDL_KEYUP, SDLK_w));
    app.HandleEvent(KeyEvent(SDL_KEYDOWN, SDLK_w));
    keys[SDLK_w] = 1;  // SDL's state: down
    app.HandleKeys(keys);
    EXPECT_EQ(1, keys[SDLK_w]);
}

TEST_F(CameraTest, TappedTimeKeysReachTheScene) {
    double deltat = universe->deltat;
    app.HandleEvent(KeyEvent(SDL_KEYDOWN, SDLK_KP_MULTIPLY));
    app.HandleEvent(KeyEvent(SDL_KEYUP, SDLK_KP_MULTIPLY));
    app.HandleKeys(keys);
    EXPECT_EQ(-deltat, universe->deltat);
}

namespace {

SDL_Event FocusEvent(int gain, int state) {
    SDL_Event e;
    std::memset(&e, 0, sizeof e);
    e.type = SDL_ACTIVEEVENT;
    e.active.gain = static_cast<Uint8>(gain);
    e.active.state = static_cast<Uint8>(state);
    return e;
}

}  // namespace

TEST_F(CameraTest, WithoutTheInputFocusMouseAndKeysDoNothingAndNoKeyStaysDown) {
    // Only the keyboard focus counts (the pointer is confined to the window);
    // an iconified window has lost it too.
    const struct {
        int state;
        bool inputGoes;
    } losses[] = {{SDL_APPMOUSEFOCUS, false}, {SDL_APPINPUTFOCUS, true}, {SDL_APPACTIVE, true}};
    for (const auto& loss : losses) {
        SCOPED_TRACE(loss.state);
        Application a;
        Uint8 held[SDLK_LAST] = {};
        held[SDLK_w] = 1;  // down when the focus went
        a.HandleEvent(FocusEvent(0, loss.state));
        a.HandleEvent(Motion(30, 0));
        a.HandleKeys(held);
        EXPECT_NEAR(loss.inputGoes ? 0 : -10, a.yaw, 1e-9);
        EXPECT_EQ(loss.inputGoes, a.camZ == 100);

        a.HandleEvent(FocusEvent(1, SDL_APPINPUTFOCUS));
        a.HandleEvent(Motion(30, 0));
        EXPECT_NEAR(loss.inputGoes ? -10 : -20, a.yaw, 1e-9) << "mouse look is back with the focus";
        const double z = a.camZ;
        a.HandleKeys(held);
        EXPECT_EQ(loss.inputGoes, a.camZ == z) << "W stayed down from before the focus went";
    }
}

TEST_F(CameraTest, TheAltOfAltTabIsTakenBackWhenTheFocusGoes) {
    // Alt acts as it goes down, then the window manager takes the Tab. SDL
    // reports Alt's release with the loss of focus, some ticks before it (it
    // holds a loss of focus back for a fifth of a second), or not at all. An
    // Alt released a second before the focus goes stays counted.
    const struct {
        bool stillDown;
        int ticks;  // from the press to the loss of focus
        double hyperspeed;
    } cases[] = {{true, 50, 10}, {false, 0, 10}, {false, 9, 10}, {false, 100, 1}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.ticks);
        Application a;
        a.hyperspeed = 10;
        Uint8 held[SDLK_LAST] = {};
        if (c.stillDown) a.HandleEvent(KeyEvent(SDL_KEYDOWN, SDLK_LALT));
        held[SDLK_LALT] = 1;
        for (int tick = 0; tick <= c.ticks; ++tick) a.HandleKeys(held);
        EXPECT_NEAR(1, a.hyperspeed, 1e-12);
        a.HandleEvent(FocusEvent(0, SDL_APPINPUTFOCUS));
        EXPECT_NEAR(c.hyperspeed, a.hyperspeed, 1e-12);
    }
}
