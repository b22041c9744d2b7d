// Text as it lands in the frame buffer: where it is drawn, what glyphs it
// gets, and what is cut or dropped; UTF-8 beyond ASCII, and what the font lacks.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "gfx/Gl.h"
#include "gfx/GlRenderer.h"
#include "gl/GlTestContext.h"

namespace {

GLfloat RasterX() {
    GLfloat raster[4];
    glGetFloatv(GL_CURRENT_RASTER_POSITION, raster);
    return raster[0];
}

class RendererText : public ::testing::Test {
protected:
    explicit RendererText(int w = 800, int h = 600) : context(w, h) {}
    void SetUp() override {
        ASSERT_TRUE(context.Ok()) << context.Error();
        renderer.Resize(context.Width(), context.Height());
        ASSERT_EQ(1, renderer.InitGl());
        ASSERT_NE(0u, renderer.fontBase);
        Clear();
    }
    void TearDown() override { renderer.ReleaseFont(); }
    void Clear() {
        glClearColor(0, 0, 0, 0);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    }
    // Raster advance of a text drawn at the centre of the view.
    float Advance(const char* text) {
        renderer.Print(0, 0, -5, 1, 1, 1, nullptr);
        const float start = RasterX();
        renderer.Print(0, 0, -5, 1, 1, 1, "%s", text);
        return RasterX() - start;
    }
    GlTestContext context;
    GlRenderer renderer;
};

class RendererTextWide : public RendererText {
protected:
    RendererTextWide() : RendererText(1280, 1024) {}
};

}  // namespace

TEST_F(RendererText, TextIsDrawnAtItsPositionAndNowhereElse) {
    // (0, 0) on screen is the centre of the view: 400, 300.
    renderer.PrintScreen(0, 0, 1, 1, 1, "%s", "Slunce");
    Frame frame = ReadFrame();
    const float advance = Advance("M");
    ASSERT_GT(advance, 0.0f);
    const int right = 400 + (int)(6 * advance);
    const int lit = frame.CountLit();
    EXPECT_GT(lit, 100) << "expected the six glyphs of \"Slunce\" to light pixels";
    EXPECT_EQ(lit, frame.CountLit(398, 300 - 6, right + 2, 300 + 20)) << "lit pixels outside the text's box";
    int x0, y0, x1, y1;
    ASSERT_TRUE(frame.LitBounds(&x0, &y0, &x1, &y1));
    EXPECT_LE(x0, 403);
    // The baseline sits on the raster position: capitals rise from it.
    EXPECT_GE(y0, 296);
    EXPECT_LE(y0, 300);
}

TEST_F(RendererText, GlyphsAreFixedPitchAndEverySpaceAdvances) {
    const float one = Advance("M");
    EXPECT_GE(one, 10.0f);
    EXPECT_LE(one, 14.0f);
    EXPECT_FLOAT_EQ(4 * one, Advance("iiii"));
    EXPECT_FLOAT_EQ(4 * one, Advance("MMMM"));
    EXPECT_FLOAT_EQ(3 * one, Advance("   "));
}

TEST_F(RendererText, CapitalsAreAboutThirteenPixelsHigh) {
    renderer.PrintScreen(0, 0, 1, 1, 1, "H");
    Frame frame = ReadFrame();
    int x0, y0, x1, y1;
    ASSERT_TRUE(frame.LitBounds(&x0, &y0, &x1, &y1));
    const int height = y1 - y0 + 1;
    EXPECT_GE(height, 11) << "cap height at a 20-pixel em";
    EXPECT_LE(height, 16) << "cap height at a 20-pixel em";
}

TEST_F(RendererText, GlyphsAreUprightAndNotMirrored) {
    // "T": the widest row is the top one, not the bottom one.
    renderer.PrintScreen(0, 0, 1, 1, 1, "T");
    Frame t = ReadFrame();
    int x0, y0, x1, y1;
    ASSERT_TRUE(t.LitBounds(&x0, &y0, &x1, &y1));
    EXPECT_GT(t.CountLit(x0, y1, x1 + 1, y1 + 1), t.CountLit(x0, y0, x1 + 1, y0 + 1)) << "\"T\" drawn upside down";

    // "L": the stem is on the left.
    Clear();
    renderer.PrintScreen(0, 0, 1, 1, 1, "L");
    Frame l = ReadFrame();
    ASSERT_TRUE(l.LitBounds(&x0, &y0, &x1, &y1));
    const int middle = (x0 + x1 + 1) / 2;
    EXPECT_GT(l.CountLit(x0, y0, middle, y1 + 1), l.CountLit(middle, y0, x1 + 1, y1 + 1)) << "\"L\" drawn mirrored";
}

TEST_F(RendererText, PrintScreenDrawsAPercentSignLiterally) {
    // Print formats once; PrintScreen must not format its result again.
    renderer.Print(-1 * 0.55f, 0.5f * 0.41f, -1.001f, 1, 1, 1, "%s", "50%d");
    Frame reference = ReadFrame();
    Clear();
    renderer.PrintScreen(-1, 0.5f, 1, 1, 1, "%s", "50%d");
    const float end = RasterX();
    Frame screen = ReadFrame();
    EXPECT_GT(screen.CountLit(), 0);
    EXPECT_TRUE(reference.rgb == screen.rgb) << "PrintScreen(\"%s\", \"50%d\") differs from the literal text";

    renderer.Print(-1 * 0.55f, 0.5f * 0.41f, -1.001f, 1, 1, 1, nullptr);
    const float start = RasterX();
    EXPECT_FLOAT_EQ(4 * Advance("M"), end - start) << "expected four glyphs for \"50%d\"";
}

TEST_F(RendererTextWide, TextAtMinusOneIsOutsideA1280x1024View) {
    renderer.PrintScreen(-1, 0, 1, 1, 1, "%s", "Merkur");
    Frame frame = ReadFrame();
    EXPECT_EQ(0, frame.CountLit()) << "expected nothing drawn for a start outside the view";
}

TEST_F(RendererText, TextAtMinusOneIsInsideAn800x600View) {
    renderer.PrintScreen(-1, 0, 1, 1, 1, "%s", "Merkur");
    Frame frame = ReadFrame();
    int x0, y0, x1, y1;
    ASSERT_TRUE(frame.LitBounds(&x0, &y0, &x1, &y1)) << "expected the text drawn at the left edge";
    EXPECT_LT(x0, 10);
}

TEST_F(RendererText, BytesOutsideThePrintableRangeDrawNothing) {
    // Put lists with a large visible quad right below and right above the
    // font's 96, where bytes < 32 and > 127 would land with the list base at
    // fontBase - 32.
    renderer.ReleaseFont();
    const GLuint below = glGenLists(32);
    renderer.BuildFont();
    const GLuint above = glGenLists(160);
    if (below + 32 != renderer.fontBase || above != renderer.fontBase + 96)
        GTEST_SKIP() << "the driver did not hand out adjacent list names";
    for (GLuint i = 0; i < 32; ++i) {
        glNewList(below + i, GL_COMPILE);
        glRectf(-10, -10, 10, 10);
        glEndList();
    }
    for (GLuint i = 0; i < 160; ++i) {
        glNewList(above + i, GL_COMPILE);
        glRectf(-10, -10, 10, 10);
        glEndList();
    }
    glDisable(GL_TEXTURE_2D);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glTranslatef(0, 0, -5);

    renderer.Print(0, 0, 0, 1, 1, 1, "%s", "AB");
    Frame plain = ReadFrame();
    Clear();
    // Control bytes, a stray continuation, a lead byte without its
    // continuation, an overlong '/', a surrogate, a cut-off sequence.
    renderer.Print(0, 0, 0, 1, 1, 1, "%s", "A\x01\x1f\x80\xc3\xff" "B\t\n\xc0\xaf\xed\xa0\x80\xe2\x82");
    Frame mixed = ReadFrame();
    EXPECT_GT(plain.CountLit(), 0);
    EXPECT_EQ(plain.CountLit(), mixed.CountLit()) << "expected only the glyphs of \"AB\"";
    EXPECT_TRUE(plain.rgb == mixed.rgb);

    glDeleteLists(below, 32);
    glDeleteLists(above, 160);
}

TEST_F(RendererText, TextLongerThan255CharactersIsCut) {
    const std::string longText(300, 'W');
    const float one = Advance("W");
    EXPECT_FLOAT_EQ(255 * one, Advance(longText.c_str()));

    renderer.Print(-0.55f, 0, -1.001f, 1, 1, 1, nullptr);
    const float start = RasterX();
    renderer.PrintScreen(-1, 0, 1, 1, 1, "%s%s", longText.c_str(), longText.c_str());
    EXPECT_FLOAT_EQ(255 * one, RasterX() - start);
}

TEST_F(RendererText, LettersBeyondAsciiHaveTheirOwnGlyphsAtTheFontsPitch) {
    const float one = Advance("M");
    // Czech, Polish, German, French and Russian letters, each two bytes.
    const char* words[] = {"Země", "Słońce", "Größe", "référentiel", "Вселенная"};
    const int letters[] = {4, 6, 5, 11, 9};
    for (int i = 0; i < 5; ++i) EXPECT_FLOAT_EQ(letters[i] * one, Advance(words[i])) << words[i];
    EXPECT_EQ(0, renderer.missingGlyphs);

    // An accented letter draws its accent, not the bare letter or nothing.
    Clear();
    renderer.PrintScreen(0, 0, 1, 1, 1, "%s", "e");
    const int bare = ReadFrame().CountLit();
    Clear();
    renderer.PrintScreen(0, 0, 1, 1, 1, "%s", "ě");
    EXPECT_GT(ReadFrame().CountLit(), bare);
    EXPECT_EQ(renderer.TextWidth("Вселенная"), (int)(9 * one));
}

TEST_F(RendererText, ACharacterTheFontLacksIsLeftOutAndCountedOnce) {
    const float one = Advance("M");
    Clear();
    renderer.PrintScreen(0, 0, 1, 1, 1, "%s", "AB");
    Frame plain = ReadFrame();
    for (int i = 0; i < 3; ++i) {
        Clear();
        // U+4E2D, a CJK ideograph, and U+1F600 an emoji: not in a Latin and Cyrillic face.
        renderer.PrintScreen(0, 0, 1, 1, 1, "%s", "A\xe4\xb8\xad\xf0\x9f\x98\x80" "B");
    }
    Frame mixed = ReadFrame();
    EXPECT_TRUE(plain.rgb == mixed.rgb) << "something was drawn for a character the font has not";
    EXPECT_EQ(2, renderer.missingGlyphs) << "each missing character counts once";
    EXPECT_FLOAT_EQ(2 * one, Advance("A\xe4\xb8\xad" "B"));
}

// The panel's lines drawn at once from the glyph atlas land on the very
// pixels, in the very colour, that bitmaps line by line give: lit or full
// bright, in the shipped window and a wide one; beyond ASCII they are bitmaps.
TEST_F(RendererText, LinesAtOnceAreTheBitmapsLineByLinePixelForPixel) {
    const char* lines[] = {"Jupiter (Slunce)", "hmotnost: 1.898e+27 kg (317.8 Zeme)", "sklon: 1.30 st", "",
                           "datum: 2012-08-05 12:00 UT", "~!@#$%^&*()_+{}|:<>?`-=[]\\;',./"};
    const int count = sizeof lines / sizeof lines[0];
    float y[count];
    int shift[count];
    for (int k = 0; k < count; ++k) {
        y[k] = 0.8f - 0.09f * k;
        shift[k] = 300 - renderer.TextWidth(lines[k]);
    }
    const struct {
        int bright, lighting, width, height;
        const char* beyondAscii;
    } cases[] = {{0, 1, 800, 600, nullptr}, {1, 1, 800, 600, nullptr}, {0, 0, 800, 600, nullptr},
                 {0, 1, 640, 480, nullptr}, {1, 1, 1000, 500, nullptr}, {0, 1, 800, 600, "hmotnost: 1 kg (Земля)"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.width) + "x" + std::to_string(c.height) + (c.bright ? " full bright" : "") +
                     (c.lighting ? " lit" : " unlit") + (c.beyondAscii ? " beyond ASCII" : ""));
        renderer.Resize(c.width, c.height);
        renderer.SetLighting(c.lighting);
        renderer.SetTextFullBright(c.bright);
        const double sun[3] = {3, 2, 5};
        glLoadIdentity();
        glPushMatrix();
        glTranslated(sun[0], sun[1], sun[2]);
        renderer.PlaceSunLight();
        glPopMatrix();
        if (c.beyondAscii) lines[1] = c.beyondAscii;
        glGetError();
        Clear();
        for (int k = 0; k < count; ++k) renderer.PrintScreenShifted(-0.2f, y[k], shift[k], 1, 1, 1, "%s", lines[k]);
        const Frame bitmaps = ReadFrame();
        glGetError();  // what reading the frame back left
        Clear();
        renderer.PrintScreenLines(-0.2f, y, shift, lines, count, 1, 1, 1);
        EXPECT_EQ(GLenum(GL_NO_ERROR), glGetError());
        const Frame atOnce = ReadFrame();
        ASSERT_GT(bitmaps.CountLit(), 500);
        int differ = 0;
        for (size_t i = 0; i < bitmaps.rgb.size(); ++i) differ += std::abs(int(bitmaps.rgb[i]) - int(atOnce.rgb[i])) > 2;
        EXPECT_EQ(0, differ) << "expected the same pixels, got " << differ << " channels apart (" << bitmaps.CountLit()
                             << " lit as bitmaps, " << atOnce.CountLit() << " at once)";
        // Riding with a small moon, its near side stands closer than the
        // text, and is drawn after it: the panel stays whole in front.
        Clear();
        glEnable(GL_DEPTH_TEST);
        renderer.PrintScreenLines(-0.2f, y, shift, lines, count, 1, 1, 1);
        glPushAttrib(GL_ALL_ATTRIB_BITS);
        glDisable(GL_COLOR_MATERIAL);
        glDisable(GL_LIGHTING);
        glDisable(GL_TEXTURE_2D);
        glColor3f(0, 0, 0);
        glBegin(GL_QUADS);  // black, a hair in front of the camera, over the whole view
        glVertex3f(-1, -1, -0.02f);
        glVertex3f(1, -1, -0.02f);
        glVertex3f(1, 1, -0.02f);
        glVertex3f(-1, 1, -0.02f);
        glEnd();
        glPopAttrib();
        EXPECT_EQ(atOnce.CountLit(), ReadFrame().CountLit()) << "lines hidden behind a nearer body";
    }
}
