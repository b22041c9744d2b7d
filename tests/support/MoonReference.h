// The tests' way to PyEphem: asks tests/reference/moon_reference.py where the
// moons stand, so that the program's own theories are held against an
// ephemeris made apart from them. Not a theory itself; nothing in the
// program calls it.
#ifndef ORRERY_TESTS_SUPPORT_MOONREFERENCE_H
#define ORRERY_TESTS_SUPPORT_MOONREFERENCE_H

#include <cstddef>

struct MoonQuery {
    const char* name;  // the program's Czech moon name, e.g. "Ganymed"
    double jdUT;
};

// For each query, the unit vector from the planet to the moon in the J2000
// ecliptic, and have[i] = 1; have[i] = 0 where the reference has no answer.
// 1 when the reference ran; 0, with the reason in why, when python3 or its
// ephem module is missing (a test skips); -1, with the reason, when the
// script or the system failed (a test fails: that is a fault, not an absence).
int MoonReferenceDirections(const MoonQuery* queries, int count, double (*unitVectors)[3], int* have, char* why,
                            size_t whySize);

#endif
