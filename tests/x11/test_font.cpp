// The platform's font service as the renderer and the later languages use it:
// a fixed-pitch face whose glyphs come as 1-bit rows with their metrics, for
// ASCII and for every letter of the translations alike, and none for what the
// face lacks.
#include <gtest/gtest.h>

#include <vector>

#include "platform/Platform.h"

namespace {

// Every bit past the width of every row is clear; the count of set bits.
int InkOf(const FontGlyph& g, bool* tidy) {
    int ink = 0;
    *tidy = true;
    for (int row = 0; row < g.rows; ++row) {
        for (int byte = 0; byte < g.pitch; ++byte) {
            const unsigned char b = g.bits[row * g.pitch + byte];
            for (int bit = 0; bit < 8; ++bit) {
                if (!(b & (0x80 >> bit))) continue;
                if (byte * 8 + bit >= g.width) *tidy = false;
                ++ink;
            }
        }
    }
    return ink;
}

}  // namespace

TEST(FontService, FixedPitchGlyphsWithInkForAsciiAndTheTranslationsLetters) {
    ASSERT_EQ(1, OpenFont(20)) << "no font; fonts-liberation provides the stand-in";
    FontGlyph space;
    ASSERT_EQ(1, RenderGlyph(' ', &space));
    bool tidy = false;
    EXPECT_TRUE(space.bits == nullptr || InkOf(space, &tidy) == 0) << "a space has no ink";
    EXPECT_GT(space.advance, 5);

    // Latin-1, Latin Extended-A and Cyrillic, the letters of the catalogs,
    // and the quotes, dash and numero sign they use.
    std::vector<uint32_t> chars;
    for (uint32_t c = 33; c < 127; ++c) chars.push_back(c);
    for (uint32_t c = 0xC0; c <= 0x17F; ++c) chars.push_back(c);
    for (uint32_t c = 0x410; c <= 0x451; ++c)
        if (c != 0x450) chars.push_back(c);
    for (uint32_t c : {0xABu, 0xBBu, 0x2013u, 0x2019u, 0x201Cu, 0x201Du, 0x201Eu, 0x2116u}) chars.push_back(c);
    for (uint32_t c : chars) {
        FontGlyph g;
        ASSERT_EQ(1, RenderGlyph(c, &g)) << "U+" << std::hex << c;
        EXPECT_EQ(space.advance, g.advance) << "fixed pitch, U+" << std::hex << c;
        ASSERT_TRUE(g.bits && g.width > 0 && g.rows > 0 && g.width <= FontGlyphMaxSide && g.rows <= FontGlyphMaxSide)
            << "U+" << std::hex << c;
        EXPECT_GE(g.pitch, (g.width + 7) / 8);
        EXPECT_GT(InkOf(g, &tidy), 0) << "U+" << std::hex << c;
        EXPECT_TRUE(tidy) << "bits past the width, U+" << std::hex << c;
    }
    FontGlyph none;
    EXPECT_EQ(0, RenderGlyph(0x4E2D, &none)) << "a CJK ideograph: no glyph rather than the face's missing box";

    FontGlyph accented, plain;
    ASSERT_TRUE(RenderGlyph(0x158, &accented) && RenderGlyph('R', &plain));
    EXPECT_GT(accented.top, plain.top) << "the caron stands above the R";

    ASSERT_EQ(1, OpenFont(40));
    FontGlyph large;
    ASSERT_EQ(1, RenderGlyph(' ', &large));
    EXPECT_NEAR(2.0 * space.advance, large.advance, 2) << "the size asked for";
    CloseFont();
    EXPECT_EQ(0, RenderGlyph('A', &large)) << "no glyph once the font is closed";
}
