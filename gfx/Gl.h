// The one place that pulls in the OpenGL 1.1 and GLU headers, so that the
// Windows prerequisite (windows.h before GL/gl.h) is handled once.
#ifndef ORRERY_GFX_GL_H
#define ORRERY_GFX_GL_H

#ifdef _WIN32
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>
#endif
#include <GL/gl.h>
#include <GL/glu.h>

#endif
