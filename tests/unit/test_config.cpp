// The configuration reader: keys, values after any white space, comments,
// the sticky full-screen flag, unreadable values and oversized words.
#include <gtest/gtest.h>

#include <string>

#include "core/app/Config.h"
#include "support/TestSupport.h"

namespace {

StartupSettings Read(const std::string& text) {
    StartupSettings s;
    ReadConfigText(text.data(), text.size(), &s);
    return s;
}

const uint32_t Fullscreen = ConfigFullscreenFlag;

}  // namespace

TEST(ConfigDefaults, MissingFileKeepsWindowed640x480AtDisplayDepth) {
    StartupSettings s;
    ReadConfigFile("/nonexistent/configure.txt", &s);
    EXPECT_EQ(640, s.windowWidth);
    EXPECT_EQ(480, s.windowHeight);
    EXPECT_EQ(0, s.colourDepth);
    EXPECT_EQ(2u, s.videoFlags);
    EXPECT_EQ(0, s.viewportWidth);
    EXPECT_EQ(0, s.viewportHeight);
    EXPECT_EQ(20, s.fontSize);
    EXPECT_EQ(0, s.sleepWhenIdle);
    EXPECT_EQ(0, s.translate);
    EXPECT_EQ(0, s.hd);
}

TEST(ConfigKeys, FontSizeStaysReadable) {
    const struct {
        const char* text;
        int32_t size;
    } cases[] = {{"fontsize 5", 6}, {"fontsize -40", 6}, {"fontsize 128", 128}, {"fontsize 99999999999", 128},
                 {"fontsize x", 20}, {"fontsize 24 fontsize 36", 36}};
    for (const auto& c : cases) EXPECT_EQ(c.size, Read(c.text).fontSize) << c.text;
}

// "sleep", "translate" and "hd" are switches; each case is read with each word,
// and leaves the other two off.
TEST(ConfigKeys, SwitchesAreOnForAnyNonzeroAndTheLastValueWins) {
    const struct {
        const char* text;
        int32_t on;
    } cases[] = {{"KEY 1", 1},          {"KEY 0", 0},       {"KEY -3", 1},
                 {"KEY 99999999999", 1}, {"KEY 1 KEY 0", 0}, {"KEY x", 0},
                 {"KEY//1", 0},          {"Key 1", 0},       {"KEY 1 width 800", 1}};
    const char* const keys[] = {"sleep", "translate", "hd"};
    for (const char* key : keys) {
        for (const auto& c : cases) {
            std::string text = c.text;
            for (size_t at; (at = text.find("KEY")) != std::string::npos;) text.replace(at, 3, key);
            if (text.compare(0, 3, "Key") == 0) text = std::string(1, (char)(key[0] - 32)) + (key + 1) + " 1";
            const StartupSettings s = Read(text.c_str());
            const int32_t values[] = {s.sleepWhenIdle, s.translate, s.hd};
            for (int k = 0; k < 3; ++k) {
                const int32_t expected = keys[k] == key ? c.on : 0;
                EXPECT_EQ(expected, values[k]) << text << ": expected " << keys[k] << " " << expected << ", got "
                                               << values[k];
            }
        }
    }
}

TEST(ConfigKeys, ResizableIsOnForAnyNonzeroAndFpsStaysWithinTheTicks) {
    const struct {
        const char* text;
        int32_t resizable, fps;
    } cases[] = {{"", 0, 100},
                 {"resizable 1 fps 30", 1, 30},
                 {"resizable -2 fps 60", 1, 60},
                 {"resizable 1 resizable 0", 0, 100},
                 {"fps 0", 0, 1},
                 {"fps -30", 0, 1},
                 {"fps 101", 0, 100},
                 {"fps 99999999999", 0, 100},
                 {"fps x resizable y", 0, 100},
                 {"fps//30 Resizable 1", 0, 100}};
    for (const auto& c : cases) {
        const StartupSettings s = Read(c.text);
        EXPECT_EQ(c.resizable, s.resizable) << c.text;
        EXPECT_EQ(c.fps, s.framesPerSecond) << c.text;
        EXPECT_EQ(2u, s.videoFlags) << c.text << ": resizing is no flag of the reader's";
    }
}

TEST(ConfigDefaults, ShippedFileKeepsTheDefaults) {
    StartupSettings s;
    ReadConfigFile(ORRERY_SOURCE_DIR "/configure.txt", &s);
    StartupSettings d;
    EXPECT_EQ(d.windowWidth, s.windowWidth);
    EXPECT_EQ(d.windowHeight, s.windowHeight);
    EXPECT_EQ(d.colourDepth, s.colourDepth);
    EXPECT_EQ(d.videoFlags, s.videoFlags);
    EXPECT_EQ(d.viewportWidth, s.viewportWidth);
    EXPECT_EQ(d.viewportHeight, s.viewportHeight);
    EXPECT_EQ(d.fontSize, s.fontSize);
    EXPECT_EQ(0, s.sleepWhenIdle) << "the shipped loop polls as it always has";
    EXPECT_EQ(0, s.resizable) << "the shipped window keeps its size";
    EXPECT_EQ(100, s.framesPerSecond) << "the shipped loop draws after every run of ticks";
    EXPECT_EQ(0, s.translate) << "the shipped texts are the program's own";
    EXPECT_EQ(0, s.hd) << "the shipped maps are the small ones";
}

TEST(ConfigKeys, EveryKeyTakesItsValueAfterAnyWhiteSpace) {
    StartupSettings s = Read("width\t800\nheight\n\n  600 oglw -5 oglh +7\r\nbpp 16 fontsize\n32");
    EXPECT_EQ(32, s.fontSize);
    EXPECT_EQ(800, s.windowWidth);
    EXPECT_EQ(600, s.windowHeight);
    EXPECT_EQ(-5, s.viewportWidth);
    EXPECT_EQ(7, s.viewportHeight);
    EXPECT_EQ(16, s.colourDepth);
    EXPECT_EQ(2u, s.videoFlags);
}

TEST(ConfigKeys, LastValueWins) {
    EXPECT_EQ(1024, Read("width 800 width 1024").windowWidth);
}

TEST(ConfigKeys, KeysAreCaseSensitiveWholeWords) {
    StartupSettings s = Read("Width 800 widths 900 xwidth 901 WIDTH 902");
    EXPECT_EQ(640, s.windowWidth);
}

TEST(ConfigKeys, AnythingThatIsNoKeyIsIgnored) {
    StartupSettings s = Read("hello 12 world width 700 13");
    EXPECT_EQ(700, s.windowWidth);
    EXPECT_EQ(480, s.windowHeight);
}

TEST(ConfigFullscreen, NonzeroAddsTheFlagAndNothingRemovesIt) {
    EXPECT_EQ(2u | Fullscreen, Read("fullscreen 1").videoFlags);
    EXPECT_EQ(2u | Fullscreen, Read("fullscreen 2").videoFlags);
    EXPECT_EQ(2u | Fullscreen, Read("fullscreen 1 fullscreen 0").videoFlags);
    EXPECT_EQ(2u, Read("fullscreen 0").videoFlags);
    EXPECT_EQ(2u | Fullscreen, Read("fullscreen -1").videoFlags);
}

TEST(ConfigUnreadable, KeyWithoutNumberKeepsValueAndTheWordIsIgnored) {
    StartupSettings s = Read("width 800 width abc height 300");
    EXPECT_EQ(800, s.windowWidth);
    EXPECT_EQ(300, s.windowHeight);
}

TEST(ConfigUnreadable, TheTextAfterAKeyIsReadAgainAsAWord) {
    // "height" is not a value for "width", so it is met again as a key.
    StartupSettings s = Read("width height 300");
    EXPECT_EQ(640, s.windowWidth);
    EXPECT_EQ(300, s.windowHeight);
}

TEST(ConfigUnreadable, KeyAtEndOfFileKeepsValue) {
    EXPECT_EQ(640, Read("width").windowWidth);
    EXPECT_EQ(640, Read("width   \n").windowWidth);
    EXPECT_EQ(640, Read("width -").windowWidth);
}

TEST(ConfigUnreadable, ValuesBeyond32BitsAreClampedNotWrapped) {
    EXPECT_EQ(2147483647, Read("width 99999999999999999999").windowWidth);
    EXPECT_EQ(-2147483647 - 1, Read("width -99999999999999999999").windowWidth);
    EXPECT_EQ(2147483647, Read("width 2147483647").windowWidth);
}

TEST(ConfigComments, ValueDirectlyFollowedByCommentIsTaken) {
    StartupSettings s = Read("width 800//note height 100\nheight 500");
    EXPECT_EQ(800, s.windowWidth);
    EXPECT_EQ(500, s.windowHeight);
}

TEST(ConfigComments, KeyGluedToACommentIsNoKey) {
    StartupSettings s = Read("width//note 800\nheight 500");
    EXPECT_EQ(640, s.windowWidth);
    EXPECT_EQ(500, s.windowHeight);
}

TEST(ConfigComments, CommentRunsToEndOfLineOnly) {
    StartupSettings s = Read("// width 800\nheight 500 //width 900\r\nbpp 24");
    EXPECT_EQ(640, s.windowWidth);
    EXPECT_EQ(500, s.windowHeight);
    EXPECT_EQ(24, s.colourDepth);
}

TEST(ConfigComments, CommentOnLastLineWithoutLineBreakEndsReading) {
    StartupSettings s = Read("height 500\n// last line, no newline");
    EXPECT_EQ(500, s.windowHeight);
    EXPECT_EQ(640, Read("//").windowWidth);
}

TEST(ConfigLongWords, WordsOf1000OrMoreCharactersAreCutSafely) {
    // The word is cut to the token buffer; the rest of it is not a new word.
    std::string longWord(5000, 'x');
    StartupSettings s = Read(longWord + "width 800 height 300");
    EXPECT_EQ(640, s.windowWidth);
    EXPECT_EQ(300, s.windowHeight);

    // A key name that ends a 999-character cut is no key either.
    std::string padded(999 - 5, 'y');
    s = Read(padded + "width" + "zzz 800");
    EXPECT_EQ(640, s.windowWidth);

    // A long comment word still starts a comment.
    s = Read("//" + longWord + " width 800\nheight 301");
    EXPECT_EQ(640, s.windowWidth);
    EXPECT_EQ(301, s.windowHeight);
}

TEST(ConfigFile, ReadsFromDisk) {
    ScratchDir dir;
    ASSERT_TRUE(WriteWholeFile(dir.File("configure.txt"), "width 1024\nheight 768\nfullscreen 1\n"));
    StartupSettings s;
    ReadConfigFile(dir.File("configure.txt").c_str(), &s);
    EXPECT_EQ(1024, s.windowWidth);
    EXPECT_EQ(768, s.windowHeight);
    EXPECT_EQ(2u | Fullscreen, s.videoFlags);
}
