// The one place that pulls in the OpenGL 1.1 and GLU headers.
#ifndef ORRERY_GFX_GL_H
#define ORRERY_GFX_GL_H

#include <GL/gl.h>
#include <GL/glu.h>

#endif
