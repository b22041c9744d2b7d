// Where F12 puts pictures on a desktop: the folder the user configured, else
// ~/Pictures, else the working folder, and never a folder made up on the spot.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cstdlib>
#include <string>

#include "platform/Platform.h"
#include "support/TestSupport.h"

TEST(PicturesFolder, ConfiguredFolderThenPicturesThenWorkingFolder) {
    const bool tool = std::system("command -v xdg-user-dir >/dev/null 2>&1") == 0;
    if (!tool) std::fprintf(stderr, "xdg-user-dir is not installed: only the fallbacks are tested\n");
    enum PicturesIs { Missing, AFolder, AFile };
    struct Case {
        const char* what;
        const char* configured;  // the settings line; null: none. S/ is the scratch folder
        PicturesIs pictures;     // what ~/Pictures is
        bool toolOnPath;
        const char* expected;  // under the scratch folder, or "."
    } cases[] = {
        {"configured folder", "S/shots", Missing, true, "shots"},
        {"configured in the user's language", "$HOME/Bilder", AFolder, true, "home/Bilder"},
        {"configured folder missing", "S/missing", AFolder, true, "home/Pictures"},
        {"configured as a file", "S/a-file", AFolder, true, "home/Pictures"},
        {"configured as home itself", "$HOME/", AFolder, true, "home/Pictures"},
        {"configured as home, no Pictures", "$HOME", Missing, true, "."},
        {"not configured", nullptr, AFolder, true, "home/Pictures"},
        {"not configured, Pictures a file", nullptr, AFile, true, "."},
        {"no tool", "S/shots", AFolder, false, "home/Pictures"},
        {"no tool, no Pictures", "S/shots", Missing, false, "."},
    };
    for (const Case& c : cases) {
        if (c.toolOnPath && !tool) continue;
        SCOPED_TRACE(c.what);
        // Nothing of the real session leaks in: the settings file is the scratch folder's.
        ScratchDir dir;
        ScopedEnv home("HOME", dir.File("home").c_str()), config("XDG_CONFIG_HOME", dir.Path().c_str()),
            picturesEnv("XDG_PICTURES_DIR", nullptr), path("PATH", c.toolOnPath ? std::getenv("PATH") : "/nowhere");
        mkdir(dir.File("home").c_str(), 0755);
        mkdir(dir.File("shots").c_str(), 0755);
        mkdir(dir.File("home/Bilder").c_str(), 0755);
        WriteWholeFile(dir.File("a-file"), "");
        if (c.pictures == AFolder) mkdir(dir.File("home/Pictures").c_str(), 0755);
        if (c.pictures == AFile) WriteWholeFile(dir.File("home/Pictures"), "");
        if (c.configured) {
            std::string value = c.configured;
            if (value.rfind("S/", 0) == 0) value = dir.File(value.substr(2));
            WriteWholeFile(dir.File("user-dirs.dirs"), "XDG_PICTURES_DIR=\"" + value + "\"\n");
        }
        char out[4096] = "unset";
        EXPECT_EQ(1, PicturesFolder(out, sizeof out));
        EXPECT_EQ(c.expected[0] == '.' ? "." : dir.File(c.expected), out);
        struct stat st;
        EXPECT_NE(0, stat(dir.File("missing").c_str(), &st)) << "no folder is created";
        EXPECT_EQ(c.pictures != Missing, stat(dir.File("home/Pictures").c_str(), &st) == 0) << "no folder is created";
        EXPECT_EQ(0, PicturesFolder(out, 1)) << "a name that does not fit is refused whole";
        EXPECT_STREQ("", out);
    }
}
