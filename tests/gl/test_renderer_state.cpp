// GL state that the renderer leaves behind: projection, start-up state, the
// switches, and what the text operations change and restore.
#include <gtest/gtest.h>

#include "gfx/Gl.h"
#include "gfx/GlRenderer.h"
#include "gl/GlTestContext.h"

namespace {

struct Colour4 {
    GLfloat v[4];
};

Colour4 CurrentColour() {
    Colour4 c;
    glGetFloatv(GL_CURRENT_COLOR, c.v);
    return c;
}

void ExpectColour(float r, float g, float b, float a) {
    Colour4 c = CurrentColour();
    EXPECT_FLOAT_EQ(r, c.v[0]);
    EXPECT_FLOAT_EQ(g, c.v[1]);
    EXPECT_FLOAT_EQ(b, c.v[2]);
    EXPECT_FLOAT_EQ(a, c.v[3]);
}

GLint Integer(GLenum name) {
    GLint value = -1;
    glGetIntegerv(name, &value);
    return value;
}

class RendererState : public ::testing::Test {
protected:
    RendererState() : context(800, 600) {}
    void SetUp() override { ASSERT_TRUE(context.Ok()) << context.Error(); }
    void TearDown() override { renderer.ReleaseFont(); }
    void Start() {
        renderer.Resize(800, 600);
        ASSERT_EQ(1, renderer.InitGl());
    }
    GlTestContext context;
    GlRenderer renderer;
};

}  // namespace

TEST_F(RendererState, ResizeToZeroHeightUsesOneRowAndAspect800) {
    renderer.Resize(800, 0);
    GLint viewport[4];
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(0, viewport[0]);
    EXPECT_EQ(0, viewport[1]);
    EXPECT_EQ(800, viewport[2]);
    EXPECT_EQ(1, viewport[3]);

    GLdouble got[16], expected[16];
    glGetDoublev(GL_PROJECTION_MATRIX, got);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(45.0, 800.0, (double)0.01f, 10000.0);
    glGetDoublev(GL_PROJECTION_MATRIX, expected);
    glMatrixMode(GL_MODELVIEW);
    for (int i = 0; i < 16; ++i) EXPECT_DOUBLE_EQ(expected[i], got[i]) << "projection element " << i;
    // x scale is the y scale over the aspect ratio; GL keeps single precision.
    EXPECT_NEAR(800.0, got[5] / got[0], 800.0 * 1e-6);
}

TEST_F(RendererState, ResizeLeavesIdentityModelviewCurrent) {
    glMatrixMode(GL_MODELVIEW);
    glTranslatef(1, 2, 3);
    glMatrixMode(GL_PROJECTION);
    renderer.Resize(640, 480);
    EXPECT_EQ(GL_MODELVIEW, Integer(GL_MATRIX_MODE));
    GLdouble m[16];
    glGetDoublev(GL_MODELVIEW_MATRIX, m);
    for (int i = 0; i < 16; ++i) EXPECT_EQ(i % 5 == 0 ? 1.0 : 0.0, m[i]) << "modelview element " << i;
}

TEST_F(RendererState, InitGlSetsDepthLight1ColourAndAdditiveBlendFunction) {
    Start();
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
    EXPECT_TRUE(glIsEnabled(GL_COLOR_MATERIAL));
    EXPECT_TRUE(glIsEnabled(GL_TEXTURE_2D));
    EXPECT_TRUE(glIsEnabled(GL_LIGHT1));
    EXPECT_FALSE(glIsEnabled(GL_LIGHT0));
    EXPECT_FALSE(glIsEnabled(GL_LIGHTING));
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
    EXPECT_EQ(GL_SMOOTH, Integer(GL_SHADE_MODEL));
    EXPECT_EQ(GL_LEQUAL, Integer(GL_DEPTH_FUNC));
    EXPECT_EQ(GL_SRC_ALPHA, Integer(GL_BLEND_SRC));
    EXPECT_EQ(GL_ONE, Integer(GL_BLEND_DST));
    EXPECT_EQ(GL_NICEST, Integer(GL_PERSPECTIVE_CORRECTION_HINT));
    EXPECT_EQ(GL_NICEST, Integer(GL_POINT_SMOOTH_HINT));
    ExpectColour(1, 1, 1, 0.5f);

    GLfloat ambient[4], diffuse[4], position[4];
    glGetLightfv(GL_LIGHT1, GL_AMBIENT, ambient);
    glGetLightfv(GL_LIGHT1, GL_DIFFUSE, diffuse);
    glGetLightfv(GL_LIGHT1, GL_POSITION, position);
    const GLfloat expectAmbient[4] = {0, 0, 0, 1}, expectDiffuse[4] = {1, 1, 1, 1}, expectPosition[4] = {0, 0, 1, 1};
    for (int i = 0; i < 4; ++i) {
        EXPECT_FLOAT_EQ(expectAmbient[i], ambient[i]) << "ambient " << i;
        EXPECT_FLOAT_EQ(expectDiffuse[i], diffuse[i]) << "diffuse " << i;
        // Stored in eye coordinates; the modelview was the identity.
        EXPECT_FLOAT_EQ(expectPosition[i], position[i]) << "position " << i;
    }
}

TEST_F(RendererState, InitGlBuildsNinetySixFontLists) {
    Start();
    ASSERT_NE(0u, renderer.fontBase);
    EXPECT_TRUE(glIsList(renderer.fontBase));
    EXPECT_TRUE(glIsList(renderer.fontBase + 95));
    renderer.ReleaseFont();
    EXPECT_EQ(0u, renderer.fontBase);
}

TEST_F(RendererState, ReleaseFontDeletesTheLists) {
    Start();
    const GLuint base = renderer.fontBase;
    renderer.ReleaseFont();
    EXPECT_FALSE(glIsList(base));
    EXPECT_FALSE(glIsList(base + 95));
}

TEST_F(RendererState, BlendingAndDepthTestAreNeverOnTogether) {
    Start();
    renderer.SetBlending(1);
    EXPECT_TRUE(glIsEnabled(GL_BLEND));
    EXPECT_FALSE(glIsEnabled(GL_DEPTH_TEST));
    renderer.SetBlending(0);
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
    renderer.SetBlending(7);  // any non-zero value means on
    EXPECT_TRUE(glIsEnabled(GL_BLEND));
    EXPECT_FALSE(glIsEnabled(GL_DEPTH_TEST));
}

TEST_F(RendererState, LightingSwitchTouchesOnlyLighting) {
    Start();
    renderer.SetLighting(1);
    EXPECT_TRUE(glIsEnabled(GL_LIGHTING));
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
    renderer.SetLighting(0);
    EXPECT_FALSE(glIsEnabled(GL_LIGHTING));
    EXPECT_TRUE(glIsEnabled(GL_LIGHT1));
}

TEST_F(RendererState, PrintWithFormatLeavesWhiteUnboundAndListBaseRestored) {
    Start();
    GLuint texture = 0;
    glGenTextures(1, &texture);
    glBindTexture(GL_TEXTURE_2D, texture);
    glListBase(5);
    renderer.Print(0, 0, -5, 0.25f, 0.5f, 0.75f, "%d. %s", 3, "Zeme");
    ExpectColour(1, 1, 1, 1);
    EXPECT_EQ(0, Integer(GL_TEXTURE_BINDING_2D));
    EXPECT_EQ(5, Integer(GL_LIST_BASE));
    EXPECT_EQ(GL_NO_ERROR, glGetError());
    glDeleteTextures(1, &texture);
}

TEST_F(RendererState, PrintWithoutFormatSetsColourAndRasterPositionOnly) {
    Start();
    GLuint texture = 0;
    glGenTextures(1, &texture);
    glBindTexture(GL_TEXTURE_2D, texture);
    renderer.Print(0, 0, -5, 0.25f, 0.5f, 0.75f, nullptr);
    ExpectColour(0.25f, 0.5f, 0.75f, 1);
    EXPECT_EQ(0, Integer(GL_TEXTURE_BINDING_2D));
    GLint valid = 0;
    glGetIntegerv(GL_CURRENT_RASTER_POSITION_VALID, &valid);
    EXPECT_EQ(GL_TRUE, valid);
    GLfloat raster[4];
    glGetFloatv(GL_CURRENT_RASTER_POSITION, raster);
    // On the axis of view: the centre of the 800 x 600 window.
    EXPECT_NEAR(400.0f, raster[0], 0.01f);
    EXPECT_NEAR(300.0f, raster[1], 0.01f);
    GLfloat rasterColour[4];
    glGetFloatv(GL_CURRENT_RASTER_COLOR, rasterColour);
    EXPECT_FLOAT_EQ(0.25f, rasterColour[0]);
    glDeleteTextures(1, &texture);
}

TEST_F(RendererState, PrintScreenWithoutFormatChangesNothing) {
    Start();
    GLuint texture = 0;
    glGenTextures(1, &texture);
    glBindTexture(GL_TEXTURE_2D, texture);
    glColor4f(0.2f, 0.3f, 0.4f, 0.5f);
    glRasterPos3f(0.1f, 0.1f, -3.0f);
    GLfloat rasterBefore[4];
    glGetFloatv(GL_CURRENT_RASTER_POSITION, rasterBefore);

    renderer.PrintScreen(0, 0, 1, 0, 0, nullptr);

    ExpectColour(0.2f, 0.3f, 0.4f, 0.5f);
    EXPECT_EQ((GLint)texture, Integer(GL_TEXTURE_BINDING_2D));
    GLfloat rasterAfter[4];
    glGetFloatv(GL_CURRENT_RASTER_POSITION, rasterAfter);
    for (int i = 0; i < 4; ++i) EXPECT_FLOAT_EQ(rasterBefore[i], rasterAfter[i]) << "raster element " << i;
    glDeleteTextures(1, &texture);
}

TEST_F(RendererState, PrintScreenWithFormatLeavesTheSameStateAsPrint) {
    Start();
    glListBase(9);
    renderer.PrintScreen(-1, 1, 0.5f, 0.5f, 0.5f, "%s", "x");
    ExpectColour(1, 1, 1, 1);
    EXPECT_EQ(0, Integer(GL_TEXTURE_BINDING_2D));
    EXPECT_EQ(9, Integer(GL_LIST_BASE));
}
