// Texture upload from BMP files: filters per mode, mipmap chain, binding on
// success and failure, and rows that are not a multiple of four bytes.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "gfx/Gl.h"
#include "gfx/GlRenderer.h"
#include "gfx/Texture.h"
#include "gl/GlTestContext.h"
#include "support/TestSupport.h"

namespace {

void Put16(std::string& s, uint32_t v) {
    s += (char)(v & 0xFF);
    s += (char)((v >> 8) & 0xFF);
}

void Put32(std::string& s, uint32_t v) {
    Put16(s, v & 0xFFFF);
    Put16(s, v >> 16);
}

// A 24-bit BMP with the file header and a 40-byte info header. `rgb` is
// packed RGB, bottom row first; the file stores BGR rows padded to 4 bytes.
std::string Bmp24(int width, int height, const std::vector<unsigned char>& rgb, uint32_t headerSize = 40) {
    const int stride = (width * 3 + 3) & ~3;
    const uint32_t offset = 14 + headerSize;
    std::string s = "BM";
    Put32(s, offset + (uint32_t)(stride * height));
    Put32(s, 0);
    Put32(s, offset);
    Put32(s, headerSize);
    Put32(s, (uint32_t)width);
    Put32(s, (uint32_t)height);
    Put16(s, 1);
    Put16(s, 24);
    for (uint32_t i = 16; i < headerSize; i += 4) Put32(s, 0);  // no compression, sizes and colours 0
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const unsigned char* p = &rgb[((size_t)y * width + x) * 3];
            s += (char)p[2];
            s += (char)p[1];
            s += (char)p[0];
        }
        for (int pad = width * 3; pad < stride; ++pad) s += '\0';
    }
    return s;
}

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
        EXPECT_TRUE(WriteWholeFile(path, Bmp24(width, height, Pattern(width, height))));
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
    ASSERT_TRUE(WriteWholeFile(path, Bmp24(4, 4, Pattern(4, 4), 108)));
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
    ASSERT_TRUE(WriteWholeFile(path, Bmp24(6, 3, rgb)));
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
    EXPECT_TRUE(messages.Messages().empty());
    // A folder opens, so the decoder runs and may say why it is no image.
    EXPECT_EQ(nullptr, LoadBmp(dir.Path().c_str()));
}

TEST(LoadBmp, ReadableFileIsDecoded) {
    MessageRecorder messages;
    ScratchDir dir;
    const std::vector<unsigned char> rgb = Pattern(3, 2);
    ASSERT_TRUE(WriteWholeFile(dir.File("x.bmp"), Bmp24(3, 2, rgb)));
    RgbImage* image = LoadBmp(dir.File("x.bmp").c_str());
    ASSERT_NE(nullptr, image);
    EXPECT_EQ(3, image->width);
    EXPECT_EQ(2, image->height);
    EXPECT_EQ(0, std::memcmp(rgb.data(), image->pixels, rgb.size()));
    FreeRgbImage(image);
}
