// Placeholder.
#include "gfx/GlRenderer.h"
#include "gfx/Gl.h"
GlRenderer::GlRenderer() : fontBase(0) {}
GlRenderer::~GlRenderer() {}
void GlRenderer::Resize(int w, int h) { if (h == 0) h = 1; glViewport(0, 0, w, h); glMatrixMode(GL_PROJECTION); glLoadIdentity(); gluPerspective(45.0, (double)w / h, 0.01f, 10000.0); glMatrixMode(GL_MODELVIEW); glLoadIdentity(); }
int GlRenderer::InitGl() { return 1; }
void GlRenderer::SetLighting(int) {}
void GlRenderer::SetBlending(int) {}
void GlRenderer::BuildFont() {}
void GlRenderer::ReleaseFont() {}
void GlRenderer::Print(float, float, float, float, float, float, const char*, ...) {}
void GlRenderer::PrintScreen(float, float, float, float, float, const char*, ...) {}
int GlRenderer::LoadTexture(uint32_t, const char*, int) { return 0; }
void GlRenderer::DrawText(float, float, float, float, float, float, const char*) {}
