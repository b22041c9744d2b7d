// PNG pictures: what goes in comes back exactly, top row first; a refused or
// failed write leaves the old file as it was and no temporary behind.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <climits>
#include <string>
#include <vector>

#include "core/gfx/PngWriter.h"
#include "support/PngRead.h"
#include "support/TestSupport.h"

namespace {

// Rows and pixels all differ, so a flipped, mirrored or padded row shows;
// noise defeats compression, so the file outgrows any stdio buffer.
std::vector<unsigned char> Pattern(int width, int height, bool noisy) {
    std::vector<unsigned char> rgb(size_t(width) * size_t(height) * 3);
    unsigned state = 12345;
    for (size_t i = 0; i < rgb.size(); ++i) {
        state = state * 1664525u + 1013904223u;
        const size_t x = i / 3 % size_t(width), y = i / 3 / size_t(width);
        rgb[i] = (unsigned char)(noisy ? state >> 24 : x * 7 + y * 31 + i % 3 * 85);
    }
    return rgb;
}

bool Exists(const std::string& path) {
    struct stat st;
    return lstat(path.c_str(), &st) == 0;
}

}  // namespace

TEST(PngWriter, PicturesComeBackExactlyTopRowFirst) {
    ScratchDir dir;
    const std::string path = dir.File("picture.png");  // each picture replaces the last
    ASSERT_TRUE(WriteWholeFile(path, "not a picture"));
    const int cases[][3] = {{1, 1, 0}, {1, 5, 0}, {3, 2, 0}, {17, 9, 0}, {640, 480, 1}, {PngMaxSide, 1, 0}};
    for (const auto& c : cases) {
        const std::vector<unsigned char> rgb = Pattern(c[0], c[1], c[2]);
        ASSERT_EQ(1, WritePngRgb(path.c_str(), c[0], c[1], rgb.data())) << c[0] << "x" << c[1];
        PngPicture picture;
        ASSERT_TRUE(ReadPng(path, &picture));
        EXPECT_TRUE(picture.width == c[0] && picture.height == c[1] && picture.plainRgb8) << c[0] << "x" << c[1];
        EXPECT_TRUE(picture.rgb == rgb) << c[0] << "x" << c[1];
        EXPECT_FALSE(Exists(path + ".tmp"));
    }
}

TEST(PngWriter, RefusedOrFailedWriteKeepsTheOldFileAndLeavesNoTemporary) {
    ScratchDir dir;
    const std::string path = dir.File("picture.png"), temp = path + ".tmp", folder = dir.File("folder.png");
    ASSERT_EQ(0, mkdir(folder.c_str(), 0755));
    enum Setup { None, DiskFull, TempIsFolder, NoPixels };
    struct Case {
        const char* what;
        std::string target;
        int width, height;
        Setup setup;
    } cases[] = {
        {"zero width", path, 0, 1, None}, {"negative height", path, 1, -3, None},
        {"most negative", path, INT_MIN, INT_MIN, None}, {"wider than readers take", path, PngMaxSide + 1, 1, None},
        {"larger than memory", path, INT_MAX, INT_MAX, None}, {"no pixels", path, 1, 1, NoPixels},
        {"disk full while encoding", path, 256, 256, DiskFull}, {"disk full at the last flush", path, 2, 2, DiskFull},
        {"temporary name taken", path, 2, 2, TempIsFolder}, {"folder missing", dir.File("no/p.png"), 2, 2, None},
        {"target is a folder", folder, 2, 2, None}, {"name too long", dir.File(std::string(5000, 'a')), 2, 2, None},
    };
    // A size that were read anyway would overrun these pixels.
    const std::vector<unsigned char> rgb = Pattern(256, 256, true);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ASSERT_TRUE(WriteWholeFile(path, "old picture"));
        ASSERT_TRUE(c.setup != DiskFull || symlink("/dev/full", temp.c_str()) == 0);
        ASSERT_TRUE(c.setup != TempIsFolder || mkdir(temp.c_str(), 0755) == 0);
        EXPECT_EQ(0, WritePngRgb(c.target.c_str(), c.width, c.height, c.setup == NoPixels ? nullptr : rgb.data()));
        EXPECT_EQ("old picture", ReadWholeFile(path));
        EXPECT_FALSE(Exists(c.target + ".tmp") && c.setup != TempIsFolder) << "the temporary file is removed";
        rmdir(temp.c_str());
    }
    EXPECT_EQ(0, WritePngRgb(nullptr, 1, 1, rgb.data()));
}
