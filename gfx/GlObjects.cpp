// The scene's GL objects behind handles: the renderer keeps the texture names
// and display lists in two tables and hands out a slot's number, so that the
// scene never holds a GL name and a released or forgotten handle draws
// nothing. Also the GLU quadric the spheres are built with. Not the drawing
// (SceneDraw.cpp) nor the upload of images (Texture.cpp).
#include <cstring>

#include "gfx/Gl.h"
#include "gfx/GlRenderer.h"

namespace {

const int kSphereSlices = 16;
const int kSphereStacks = 16;

}  // namespace

uint32_t GlRenderer::NewTextureHandle(uint32_t name) {
    for (int i = 0; i < MaxTextures; ++i) {
        if (textureObjects[i].name != 0) continue;
        std::memset(&textureObjects[i], 0, sizeof textureObjects[i]);
        textureObjects[i].name = name;
        return static_cast<uint32_t>(i + 1);
    }
    return 0;
}

uint32_t GlRenderer::Texture(uint32_t handle) const {
    return handle >= 1 && handle <= static_cast<uint32_t>(MaxTextures) ? textureObjects[handle - 1].name : 0;
}

uint32_t GlRenderer::TextureName(uint32_t texture) const { return Texture(texture); }

void GlRenderer::BindTexture(uint32_t handle) { glBindTexture(GL_TEXTURE_2D, Texture(handle)); }

int GlRenderer::TextureMean(uint32_t texture, float rgb[3]) const {
    if (!Texture(texture) || !textureObjects[texture - 1].hasMean) return 0;
    std::memcpy(rgb, textureObjects[texture - 1].mean, sizeof textureObjects[texture - 1].mean);
    return 1;
}

void GlRenderer::ReleaseTexture(uint32_t texture) {
    const GLuint name = Texture(texture);
    if (!name) return;
    glDeleteTextures(1, &name);
    std::memset(&textureObjects[texture - 1], 0, sizeof textureObjects[texture - 1]);
}

int GlRenderer::HasSpheres() {
    if (!quadric && !quadricTried) {
        quadricTried = 1;
        quadric = gluNewQuadric();
        if (quadric) {
            gluQuadricNormals(quadric, GLU_SMOOTH);
            gluQuadricTexture(quadric, GL_TRUE);
        }
    }
    return quadric != nullptr;
}

uint32_t GlRenderer::MakeSphere(double radius, int inside) {
    if (!HasSpheres()) return 0;
    int slot = 0;
    while (slot < MaxShapes && shapeLists[slot] != 0) ++slot;
    if (slot == MaxShapes) return 0;
    const GLuint list = glGenLists(1);
    if (list == 0) return 0;
    glNewList(list, GL_COMPILE);
    // GLU builds spheres about +z; turn the poles onto +y, the spin axis.
    glRotated(90, -1, 0, 0);
    if (inside) gluQuadricOrientation(quadric, GLU_INSIDE);
    gluSphere(quadric, radius, kSphereSlices, kSphereStacks);
    if (inside) gluQuadricOrientation(quadric, GLU_OUTSIDE);
    glEndList();
    shapeLists[slot] = list;
    return static_cast<uint32_t>(slot + 1);
}

uint32_t GlRenderer::ShapeList(uint32_t shape) const {
    return shape >= 1 && shape <= static_cast<uint32_t>(MaxShapes) ? shapeLists[shape - 1] : 0;
}

void GlRenderer::ReleaseShape(uint32_t shape) {
    const GLuint list = ShapeList(shape);
    if (!list) return;
    glDeleteLists(list, 1);
    shapeLists[shape - 1] = 0;
}

void GlRenderer::ForgetObjects() {
    std::memset(textureObjects, 0, sizeof textureObjects);
    std::memset(shapeLists, 0, sizeof shapeLists);
}
