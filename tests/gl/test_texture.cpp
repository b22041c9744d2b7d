// Texture upload from BMP files: filters per mode, mipmap chain, binding on
// success and failure, and rows that are not a multiple of four bytes.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "core/gfx/BmpWriter.h"
#include "gfx/Gl.h"
#include "gfx/GlRenderer.h"
#include "gfx/Texture.h"
#include "gl/GlTestContext.h"
#include "support/TestSupport.h"

namespace {

std::vector<unsigned char> Pattern(int width, int height) {
    std::vector<unsigned char> rgb((size_t)width * height * 3);
    for (size_t i = 0; i < rgb.size(); ++i) rgb[i] = (unsigned char)(i * 7 + 3);
    return rgb;
}

GLint Integer(GLenum name) {
    GLint value = -1;
    glGetIntegerv(name, &value);
    return value;
}

GLint TexParameter(GLenum name) {
    GLint value = -1;
    glGetTexParameteriv(GL_TEXTURE_2D, name, &value);
    return value;
}

GLint LevelParameter(int level, GLenum name) {
    GLint value = -1;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, level, name, &value);
    return value;
}

class TextureLoad : public ::testing::Test {
protected:
    TextureLoad() : context(320, 240) {}
    void SetUp() override {
        ASSERT_TRUE(context.Ok()) << context.Error();
        glGenTextures(1, &texture);
        glGenTextures(1, &other);
    }
    void TearDown() override {
        glDeleteTextures(1, &texture);
        glDeleteTextures(1, &other);
    }
    std::string WriteBmp(const std::string& name, int width, int height) {
        const std::string path = dir.File(name);
        EXPECT_TRUE(WriteWholeFile(path, EncodeBmp24(width, height, Pattern(width, height).data())));
        return path;
    }
    GlTestContext context;
    GlRenderer renderer;  // no font: LoadTexture needs none
    ScratchDir dir;
    MessageRecorder messages;
    GLuint texture = 0, other = 0;
};

}  // namespace

TEST_F(TextureLoad, EachModeSetsItsFilters) {
    const std::string path = WriteBmp("a.bmp", 16, 8);
    struct Case {
        int mode;
        GLint mag, min;
    } cases[] = {
        {FilterNearest, GL_NEAREST, GL_NEAREST},
        {FilterLinear, GL_LINEAR, GL_LINEAR},
        {FilterMipmap, GL_LINEAR, GL_LINEAR_MIPMAP_NEAREST},
        {5, GL_LINEAR, GL_LINEAR_MIPMAP_NEAREST},  // unknown modes mean mipmaps
        {-1, GL_LINEAR, GL_LINEAR_MIPMAP_NEAREST},
    };
    for (const Case& c : cases) {
        GLuint name = 0;
        glGenTextures(1, &name);
        ASSERT_EQ(1, renderer.LoadTexture(name, path.c_str(), c.mode)) << "mode " << c.mode;
        EXPECT_EQ(c.mag, TexParameter(GL_TEXTURE_MAG_FILTER)) << "mode " << c.mode;
        EXPECT_EQ(c.min, TexParameter(GL_TEXTURE_MIN_FILTER)) << "mode " << c.mode;
        // Wrapping stays at GL's default.
        EXPECT_EQ(GL_REPEAT, TexParameter(GL_TEXTURE_WRAP_S)) << "mode " << c.mode;
        const bool mipmapped = c.min == GL_LINEAR_MIPMAP_NEAREST;
        EXPECT_EQ(mipmapped ? 8 : 0, LevelParameter(1, GL_TEXTURE_WIDTH)) << "mode " << c.mode;
        glDeleteTextures(1, &name);
    }
    EXPECT_TRUE(messages.Messages().empty());
}

TEST_F(TextureLoad, MipmapChainOf256x128ReachesOneByOne) {
    const std::string path = WriteBmp("planet.bmp", 256, 128);
    ASSERT_EQ(1, renderer.LoadTexture(texture, path.c_str(), FilterMipmap));
    for (int level = 0; level <= 8; ++level) {
        const int w = 256 >> level;
        const int h = (128 >> level) > 0 ? (128 >> level) : 1;
        EXPECT_EQ(w, LevelParameter(level, GL_TEXTURE_WIDTH)) << "level " << level;
        EXPECT_EQ(h, LevelParameter(level, GL_TEXTURE_HEIGHT)) << "level " << level;
    }
    EXPECT_EQ(0, LevelParameter(9, GL_TEXTURE_WIDTH)) << "no level beyond 1 x 1";
}

TEST_F(TextureLoad, SuccessLeavesTheTextureBound) {
    const std::string path = WriteBmp("a.bmp", 8, 8);
    glBindTexture(GL_TEXTURE_2D, other);
    ASSERT_EQ(1, renderer.LoadTexture(texture, path.c_str(), FilterLinear));
    EXPECT_EQ((GLint)texture, Integer(GL_TEXTURE_BINDING_2D));
}

TEST_F(TextureLoad, MissingFileFailsSilentlyAndTouchesNoBinding) {
    glBindTexture(GL_TEXTURE_2D, other);
    EXPECT_EQ(0, renderer.LoadTexture(texture, dir.File("missing.bmp").c_str(), FilterMipmap));
    EXPECT_EQ((GLint)other, Integer(GL_TEXTURE_BINDING_2D));
    EXPECT_TRUE(messages.Messages().empty()) << "a missing file shows no message box";
    EXPECT_EQ(0, renderer.LoadTexture(texture, nullptr, FilterMipmap));
    EXPECT_EQ((GLint)other, Integer(GL_TEXTURE_BINDING_2D));
    EXPECT_TRUE(messages.Messages().empty());
    // The named texture was never touched: its filter is still GL's default.
    glBindTexture(GL_TEXTURE_2D, texture);
    EXPECT_EQ(GL_NEAREST_MIPMAP_LINEAR, TexParameter(GL_TEXTURE_MIN_FILTER));
}

TEST_F(TextureLoad, UndecodableFileShowsTheDecoderMessageAndFails) {
    // A 108-byte image header is a form the decoder does not take.
    const std::string path = dir.File("v4.bmp");
    BmpFields v4;
    v4.headerSize = 108;
    v4.width = 4;
    v4.height = 4;
    ASSERT_TRUE(WriteWholeFile(path, EncodeBmp(v4, BmpRows24(4, 4, Pattern(4, 4).data()))));
    glBindTexture(GL_TEXTURE_2D, other);
    EXPECT_EQ(0, renderer.LoadTexture(texture, path.c_str(), FilterMipmap));
    EXPECT_EQ((GLint)other, Integer(GL_TEXTURE_BINDING_2D));
    ASSERT_EQ(1u, messages.Messages().size());
    EXPECT_EQ("Error", messages.Messages()[0].title);
    EXPECT_EQ("Unknown DIB file format.", messages.Messages()[0].text);
}

TEST_F(TextureLoad, SixPixelWideRowsAreReadBackToBack) {
    // 18-byte rows: with GL's default alignment of 4 every row after the
    // first would start two bytes late.
    const std::vector<unsigned char> rgb = Pattern(6, 3);
    const std::string path = dir.File("six.bmp");
    ASSERT_TRUE(WriteWholeFile(path, EncodeBmp24(6, 3, rgb.data())));
    for (int mode : {FilterNearest, FilterMipmap}) {
        glPixelStorei(GL_UNPACK_ALIGNMENT, 8);
        ASSERT_EQ(1, renderer.LoadTexture(texture, path.c_str(), mode));
        EXPECT_EQ(8, Integer(GL_UNPACK_ALIGNMENT)) << "alignment restored after the upload";
        if (mode != FilterNearest) continue;  // mipmaps rescale to powers of two
        EXPECT_EQ(6, LevelParameter(0, GL_TEXTURE_WIDTH));
        std::vector<unsigned char> back(rgb.size() + 16, 0xEE);
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glGetTexImage(GL_TEXTURE_2D, 0, GL_RGB, GL_UNSIGNED_BYTE, back.data());
        for (size_t i = 0; i < rgb.size(); ++i) ASSERT_EQ(rgb[i], back[i]) << "byte " << i;
    }
}

TEST(LoadBmp, AbsentPathOrUnreadableFileGivesNullWithoutMessage) {
    MessageRecorder messages;
    ScratchDir dir;
    EXPECT_EQ(nullptr, LoadBmp(nullptr));
    EXPECT_EQ(nullptr, LoadBmp(dir.File("nothing-here.bmp").c_str()));
    EXPECT_EQ(nullptr, LoadBmp(dir.Path().c_str()));   // a folder cannot be mapped
    EXPECT_TRUE(messages.Messages().empty());
}

// A file that is there but no image: the user sees the box the decoder's own
// entry shows for it, once.
TEST(LoadBmp, UndecodableFileShowsWhatDecodeBmpFileShows) {
    ScratchDir dir;
    BmpFields huge;   // 64 bytes of run-length data declaring 16384 x 16384
    huge.width = 16384;
    huge.height = 16384;
    huge.bits = 8;
    huge.compression = 1;
    huge.coloursUsed = 2;
    huge.palette = {0x000000, 0xFFFFFF};
    const std::string cases[] = {
        "",
        EncodeBmp(huge, std::string("\0\1", 2)),
        EncodeBmp24(5, 5, Pattern(5, 5).data()).substr(0, 80),
    };
    for (const std::string& bytes : cases) {
        SCOPED_TRACE(bytes.size());
        const std::string path = dir.File("bad.bmp");
        ASSERT_TRUE(WriteWholeFile(path, bytes));
        RecordedMessage shown;
        {
            MessageRecorder fromDecoder;
            EXPECT_EQ(nullptr, DecodeBmpFile(path.c_str()));
            ASSERT_EQ(1u, fromDecoder.Messages().size());
            shown = fromDecoder.Messages()[0];
        }
        MessageRecorder fromLoader;
        EXPECT_EQ(nullptr, LoadBmp(path.c_str()));
        ASSERT_EQ(1u, fromLoader.Messages().size());
        EXPECT_EQ(shown.title, fromLoader.Messages()[0].title);
        EXPECT_EQ(shown.text, fromLoader.Messages()[0].text);
        EXPECT_EQ(shown.icon, fromLoader.Messages()[0].icon);
    }
}

TEST(LoadBmp, ReadableFileIsDecoded) {
    MessageRecorder messages;
    ScratchDir dir;
    const std::vector<unsigned char> rgb = Pattern(3, 2);
    ASSERT_TRUE(WriteWholeFile(dir.File("x.bmp"), EncodeBmp24(3, 2, rgb.data())));
    RgbImage* image = LoadBmp(dir.File("x.bmp").c_str());
    ASSERT_NE(nullptr, image);
    EXPECT_EQ(3, image->width);
    EXPECT_EQ(2, image->height);
    EXPECT_EQ(0, std::memcmp(rgb.data(), image->pixels, rgb.size()));
    FreeRgbImage(image);
}
