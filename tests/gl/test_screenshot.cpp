// F12's picture: the frame just drawn, right way up and not mirrored, as a new
// file in the pictures folder named after the local time, with the caller's GL
// state left as it was. The window is drawn either as SDL's compatibility
// layer does by default, into a framebuffer object, or straight into the
// window's back buffer.
#include <gtest/gtest.h>

#include <SDL.h>
#include <dirent.h>
#include <sys/stat.h>

#include <ctime>
#include <set>
#include <string>

#include "gfx/Gl.h"
#include "gfx/Screenshot.h"
#include "gl/GlTestContext.h"
#include "support/PngRead.h"
#include "support/TestSupport.h"

namespace {

// An odd width makes rows of 243 bytes, which any pack alignment above 1 pads.
const int kWidth = 81, kHeight = 61, kStripe = 5;

void FillRect(int x, int y, int w, int h, float r, float g, float b) {
    glScissor(x, y, w, h);
    glClearColor(r, g, b, 1);
    glClear(GL_COLOR_BUFFER_BIT);
}

GLint Integer(GLenum name) {
    GLint value = -1;
    glGetIntegerv(name, &value);
    return value;
}

std::set<std::string> Listing(const std::string& folder) {
    std::set<std::string> names;
    if (DIR* d = opendir(folder.c_str())) {
        while (dirent* e = readdir(d))
            if (e->d_name[0] != '.') names.insert(e->d_name);
        closedir(d);
    }
    return names;
}

// A scratch home with a Pictures folder and a clock thirteen hours ahead of UTC.
class Screenshot : public ::testing::TestWithParam<bool> {
protected:
    Screenshot()
        : pictures(dir.File("home/Pictures")), home("HOME", dir.File("home").c_str()),
          config("XDG_CONFIG_HOME", dir.Path().c_str()), picturesEnv("XDG_PICTURES_DIR", nullptr),
          zone("TZ", "ORR-13"), scaling("SDL12COMPAT_OPENGL_SCALING", GetParam() ? "1" : "0"),
          context(kWidth, kHeight) {}
    void SetUp() override {
        ASSERT_TRUE(context.Ok()) << context.Error();
        tzset();
        ASSERT_EQ(0, mkdir(dir.File("home").c_str(), 0755));
        ASSERT_EQ(0, mkdir(pictures.c_str(), 0755));
        // A white front buffer shows a read of the wrong buffer. Exact pixels by scissored clears:
        // green stripe along the top, red left half, blue right half.
        glClearColor(1, 1, 1, 1);
        glClear(GL_COLOR_BUFFER_BIT);
        SDL_GL_SwapBuffers();
        glEnable(GL_SCISSOR_TEST);
        FillRect(0, 0, kWidth / 2, kHeight, 1, 0, 0);
        FillRect(kWidth / 2, 0, kWidth - kWidth / 2, kHeight, 0, 0, 1);
        FillRect(0, kHeight - kStripe, kWidth, kStripe, 0, 1, 0);
        glDisable(GL_SCISSOR_TEST);
        // As a caller might leave them; a framebuffer object has no front buffer to name.
        glPixelStorei(GL_PACK_ALIGNMENT, 8);
        glPixelStorei(GL_PACK_ROW_LENGTH, 100);
        glReadBuffer(GL_FRONT);
        glGetError();
        readBuffer = Integer(GL_READ_BUFFER);
    }
    void ExpectCallerState() {
        EXPECT_EQ(8, Integer(GL_PACK_ALIGNMENT));
        EXPECT_EQ(100, Integer(GL_PACK_ROW_LENGTH));
        EXPECT_EQ(readBuffer, Integer(GL_READ_BUFFER));
        EXPECT_EQ(GL_NO_ERROR, glGetError());
    }
    // The picture name for second t, with what follows the stamp.
    std::string Name(time_t t, const char* suffix) {
        struct tm local;
        char stamp[32] = "";
        if (localtime_r(&t, &local)) strftime(stamp, sizeof stamp, "%Y%m%d-%H%M%S", &local);
        return pictures + "/orrery-" + stamp + suffix;
    }
    ScratchDir dir;
    std::string pictures;
    ScopedEnv home, config, picturesEnv, zone, scaling;
    GlTestContext context;
    GLint readBuffer = 0;
    char saved[4096] = "";
};

}  // namespace

TEST_P(Screenshot, SavesTheFrameRightWayUpBesideOlderPicturesOfTheSameSecond) {
    const time_t now = time(nullptr);
    std::set<std::string> candidates;
    for (time_t t = now; t <= now + 5; ++t) {
        WriteWholeFile(Name(t, ".png"), "old");
        candidates.insert(Name(t, "-2.png"));
    }
    ASSERT_EQ(1, SaveWindowPicture(kWidth, kHeight, saved, sizeof saved));
    EXPECT_EQ(1u, candidates.count(saved)) << saved;
    ExpectCallerState();
    for (time_t t = now; t <= now + 5; ++t) EXPECT_EQ("old", ReadWholeFile(Name(t, ".png")));
    EXPECT_EQ(7u, Listing(pictures).size()) << "no temporary file is left";

    PngPicture picture;
    ASSERT_TRUE(ReadPng(saved, &picture));
    ASSERT_TRUE(picture.width == kWidth && picture.height == kHeight);
    int wrong = 0;
    for (int y = 0; y < kHeight; ++y) {
        for (int x = 0; x < kWidth; ++x) {
            const unsigned expected = y < kStripe ? 0x00ff00 : x < kWidth / 2 ? 0xff0000 : 0x0000ff;
            if (picture.Pixel(x, y) != expected && ++wrong == 1) ADD_FAILURE() << "at " << x << ", " << y;
        }
    }
    EXPECT_EQ(0, wrong);
}

TEST_P(Screenshot, FailureNamesThePathTriedAndLeavesEverythingAsItWas) {
    // The temporary file cannot be made where any of the next seconds would put it.
    const time_t now = time(nullptr);
    std::set<std::string> candidates;
    for (time_t t = now; t <= now + 5; ++t) {
        ASSERT_EQ(0, mkdir(Name(t, ".png.tmp").c_str(), 0755));
        candidates.insert(Name(t, ".png"));
    }
    const std::set<std::string> listing = Listing(pictures);
    EXPECT_EQ(0, SaveWindowPicture(kWidth, kHeight, saved, sizeof saved));
    EXPECT_EQ(1u, candidates.count(saved)) << saved;
    char tooSmall[16] = "x";
    EXPECT_EQ(0, SaveWindowPicture(kWidth, kHeight, tooSmall, sizeof tooSmall));
    EXPECT_EQ(0, SaveWindowPicture(0, kHeight, saved, sizeof saved));
    EXPECT_STREQ("", saved);
    EXPECT_EQ(listing, Listing(pictures));
    ExpectCallerState();
}

INSTANTIATE_TEST_SUITE_P(Window, Screenshot, ::testing::Values(true, false), [](const auto& info) {
    return std::string(info.param ? "ThroughFramebufferObject" : "DefaultFramebuffer");
});
