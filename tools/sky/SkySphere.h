// The sky sphere as GL really draws it, so that the texture tool can put a
// star where it will be seen. Slot 0 is a GLU sphere of 16 slices and 16
// stacks seen from inside, turned by glRotated(90, -1, 0, 0) and centred on
// the camera. GLU gives texture coordinates per vertex and GL interpolates
// them across each flat triangle, so the direction in which texel (s, t) is
// seen is that of the point with those coordinates on the tessellated
// sphere, not on the round one: up to a degree apart inside the quads of
// a 16 x 16 sphere.
//
// Directions are in the model's frame (x, y, z as the universe stores them);
// s and t are GL's texture coordinates, t = 0 at the image's bottom row.
#ifndef ORRERY_TOOLS_SKY_SKYSPHERE_H
#define ORRERY_TOOLS_SKY_SKYSPHERE_H

struct SkyVec {
    double x, y, z;
};

enum { SkySlices = 16, SkyStacks = 16 };

// The corner of quad column i (0..SkySlices) and row j (0..SkyStacks) on the
// unit sphere, in the model's frame: the vertex GLU emits there, with its
// single-precision sines, turned onto the model's axes. Row 0 is the +y pole.
SkyVec SkyVertex(int i, int j);

// Where texel coordinates (s, t) are seen from the centre, as a unit vector.
// s and t outside 0..1 wrap, as GL_REPEAT does.
SkyVec SkyDirectionAt(double s, double t);

// The texture coordinates GL shows in direction `dir` (any length but 0):
// s in [0, 1), t in [0, 1]. 1 when found; 0 for a zero or non-finite vector.
int SkyTexCoordAt(SkyVec dir, double* s, double* t);

#endif
