// How the scene's objects are drawn: a body's sphere with its map (lit,
// unlit, or its night lights added as a second pass lit from the side away
// from the Sun), the Sun's light, a glow facing the camera, a marker point,
// and meshes the scene computes (rings). Each call leaves the GL state as it
// found it, but for the bound texture and the lights it is meant to place.
// A colour set here must not become the material of what is drawn next, as
// GL_COLOR_MATERIAL would make it, and a popped current colour does not
// undo that: colour material is off wherever a colour of its own is set.
// What to draw where is the scene's (sim/); this is only how.
#include <cmath>

#include "gfx/Gl.h"
#include "gfx/GlRenderer.h"

namespace {

// The night side's lights reach full strength a quarter of a right angle
// before the terminator and fade to nothing at it, as towns light up at dusk.
const GLfloat kNightGain = 4.0f;

}  // namespace

void GlRenderer::MultiplyMatrix3(const double m[9]) {
    const GLdouble g[16] = {m[0], m[3], m[6], 0, m[1], m[4], m[7], 0, m[2], m[5], m[8], 0, 0, 0, 0, 1};
    glMultMatrixd(g);
}

void GlRenderer::PlaceSunLight() {
    const GLfloat diffuse[4] = {1.0f, 1.0f, 1.0f, 1.0f};
    const GLfloat position[4] = {0.0f, 0.0f, 0.0f, 1.0f};
    glLightfv(GL_LIGHT1, GL_DIFFUSE, diffuse);
    glLightfv(GL_LIGHT1, GL_POSITION, position);
}

void GlRenderer::PlaceNightLight(const double towards[3]) {
    const GLfloat position[4] = {(GLfloat)towards[0], (GLfloat)towards[1], (GLfloat)towards[2], 0.0f};
    glLightfv(GL_LIGHT2, GL_POSITION, position);
}

void GlRenderer::DrawShape(uint32_t shape, uint32_t texture, double scale) {
    BindTexture(texture);
    const GLuint list = ShapeList(shape);
    if (!list) return;
    if (scale == 1) {
        glCallList(list);
        return;
    }
    // A sphere drawn at another size than it was built: GL scales the normals
    // too, and lighting wants them unit again.
    glPushAttrib(GL_ENABLE_BIT);
    glEnable(GL_NORMALIZE);
    glPushMatrix();
    glScaled(scale, scale, scale);
    glCallList(list);
    glPopMatrix();
    glPopAttrib();
}

void GlRenderer::DrawShapeUnlit(uint32_t shape, uint32_t texture, double scale) {
    glPushAttrib(GL_ENABLE_BIT | GL_CURRENT_BIT);
    glDisable(GL_LIGHTING);
    glColor3f(1.0f, 1.0f, 1.0f);
    DrawShape(shape, texture, scale);
    glPopAttrib();
}

void GlRenderer::DrawShapeNightLights(uint32_t shape, uint32_t texture, double scale) {
    if (!glIsEnabled(GL_LIGHTING) || !Texture(texture)) return;
    glPushAttrib(GL_ENABLE_BIT | GL_LIGHTING_BIT | GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_CURRENT_BIT |
                 GL_POLYGON_BIT);
    // Only the light from the night side, and no ambient light: on the day
    // side nothing is added at all.
    glDisable(GL_LIGHT1);
    glEnable(GL_LIGHT2);
    const GLfloat diffuse[4] = {kNightGain, kNightGain, kNightGain, 1.0f};
    const GLfloat none[4] = {0.0f, 0.0f, 0.0f, 1.0f};
    glLightfv(GL_LIGHT2, GL_DIFFUSE, diffuse);
    glLightfv(GL_LIGHT2, GL_AMBIENT, none);
    glLightfv(GL_LIGHT2, GL_SPECULAR, none);
    glLightModelfv(GL_LIGHT_MODEL_AMBIENT, none);
    glEnable(GL_BLEND);
    glBlendFunc(GL_ONE, GL_ONE);
    // The same sphere at the same depths, drawn over itself: the rasteriser
    // need not give a pass with other lights the very same depths, so this
    // one is pulled a step towards the eye.
    glDepthFunc(GL_LEQUAL);
    glDepthMask(GL_FALSE);
    glEnable(GL_POLYGON_OFFSET_FILL);
    glPolygonOffset(-4.0f, -2.0f);
    glColor3f(1.0f, 1.0f, 1.0f);
    DrawShape(shape, texture, scale);
    glPopAttrib();
}

void GlRenderer::DrawGlow(double inner, double outer, const float rgb[3], float strength) {
    enum { Bands = 6, Sides = 48 };
    GLdouble m[16];
    glGetDoublev(GL_MODELVIEW_MATRIX, m);
    // The place of the current origin with no turn: rings facing the eye.
    const GLdouble facing[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, m[12], m[13], m[14], 1};
    glPushMatrix();
    glLoadMatrixd(facing);
    glPushAttrib(GL_ENABLE_BIT | GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_CURRENT_BIT);
    glDisable(GL_LIGHTING);
    glDisable(GL_COLOR_MATERIAL);
    glDisable(GL_TEXTURE_2D);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE);
    glDepthMask(GL_FALSE);
    // Bands whose strength falls with the square of the way out, smoothly
    // shaded between them.
    for (int band = 0; band < Bands; ++band) {
        const double f0 = (double)band / Bands, f1 = (double)(band + 1) / Bands;
        const double r0 = inner + (outer - inner) * f0, r1 = inner + (outer - inner) * f1;
        const float a0 = strength * (float)((1 - f0) * (1 - f0)), a1 = strength * (float)((1 - f1) * (1 - f1));
        glBegin(GL_QUAD_STRIP);
        for (int k = 0; k <= Sides; ++k) {
            const double angle = 6.283185307179586 * k / Sides, c = std::cos(angle), sn = std::sin(angle);
            glColor4f(rgb[0], rgb[1], rgb[2], a0);
            glVertex3d(r0 * c, r0 * sn, 0);
            glColor4f(rgb[0], rgb[1], rgb[2], a1);
            glVertex3d(r1 * c, r1 * sn, 0);
        }
        glEnd();
    }
    glPopAttrib();
    glPopMatrix();
}

void GlRenderer::DrawMarker(const float rgb[3], float pixels) {
    glPushAttrib(GL_ENABLE_BIT | GL_CURRENT_BIT | GL_POINT_BIT);
    glDisable(GL_LIGHTING);
    glDisable(GL_COLOR_MATERIAL);
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_POINT_SMOOTH);
    glPointSize(pixels);
    glColor3f(rgb[0], rgb[1], rgb[2]);
    glBegin(GL_POINTS);
    glVertex3f(0.0f, 0.0f, 0.0f);
    glEnd();
    glPopAttrib();
}

namespace {

// Blended over what is drawn, depth-tested but leaving the depths to what
// is solid, unlit: the mesh's colours are what the scene worked out.
void BeginMesh(const MeshVertex* vertices, int textured) {
    glPushAttrib(GL_ENABLE_BIT | GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_CURRENT_BIT);
    glPushClientAttrib(GL_CLIENT_VERTEX_ARRAY_BIT);
    glDisable(GL_LIGHTING);
    glDisable(GL_COLOR_MATERIAL);
    if (textured)
        glEnable(GL_TEXTURE_2D);
    else
        glDisable(GL_TEXTURE_2D);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glDepthMask(GL_FALSE);
    const GLsizei stride = sizeof(MeshVertex);
    glEnableClientState(GL_VERTEX_ARRAY);
    glVertexPointer(3, GL_FLOAT, stride, &vertices[0].x);
    glEnableClientState(GL_COLOR_ARRAY);
    glColorPointer(4, GL_FLOAT, stride, &vertices[0].r);
    if (textured) {
        glEnableClientState(GL_TEXTURE_COORD_ARRAY);
        glTexCoordPointer(2, GL_FLOAT, stride, &vertices[0].s);
    }
}

void EndMesh() {
    glPopClientAttrib();
    glPopAttrib();
}

}  // namespace

void GlRenderer::DrawMeshStrips(const MeshVertex* vertices, int perStrip, int strips, uint32_t texture) {
    if (!vertices || perStrip < 4 || strips <= 0) return;
    const int textured = Texture(texture) != 0;
    BeginMesh(vertices, textured);
    if (textured) BindTexture(texture);
    for (int k = 0; k < strips; ++k) glDrawArrays(GL_QUAD_STRIP, k * perStrip, perStrip);
    EndMesh();
}

void GlRenderer::DrawMeshLoop(const MeshVertex* vertices, int count) {
    if (!vertices || count < 2) return;
    BeginMesh(vertices, 0);
    glDrawArrays(GL_LINE_LOOP, 0, count);
    EndMesh();
}
