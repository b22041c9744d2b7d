// Bodies that touch become one: which pairs of a universe touch (now, or
// anywhere along the drift just taken), and the merge of a pair that keeps
// mass and momentum. No undo and no drawing here: core/sim/Edits records the
// merge for Backspace, and the scene rebuilds its textures after one.
#ifndef ORRERY_CORE_SIM_COLLISIONS_H
#define ORRERY_CORE_SIM_COLLISIONS_H

class UniverseModel;

// The radius at which the body in `slot` touches another: its true radius
// (UniverseModel::TrueRadius), never the enlarged one a dated universe draws,
// so that no real moon touches its planet; 0 for a negative or NaN radius.
double ContactRadius(const UniverseModel& u, int slot);

struct ContactPair {
    int a, b;  // slots, a < b
};

// The first pair (lowest a, then lowest b) of used bodies of slots 1.. whose
// spheres touch at their contact radii: they do now, or did at some moment
// of the last drift, which moved every body by its velocity as it stands
// times `step` (the step length just taken; 0 looks only at the positions).
// The sweep keeps a fast body from passing through a small one between two
// steps. 1 and the pair, or 0 when none touch; never changes u.
int FindContact(const UniverseModel& u, double step, ContactPair* pair);

// What became of a merged pair: `lighter` is now part of `survivor`, and its
// slot is free.
struct MergeRecord {
    int survivor, lighter;
};

// Makes one body of the two in slots a and b, velocities taken as they stand:
// the summed mass at the centre of mass, the summed momentum exactly (as near
// as a division allows), a radius whose cube is the sum of the cubes (true
// radii; the enlarged polomer of a dated universe grows in proportion), and
// the identity of the heavier (the lower slot when equal): its slot, name,
// texture, spin and traits. The lighter's slot and traits are cleared as an
// unused slot's, and bodies whose traits named it as parent name the
// survivor. The sky's slot never merges. The survivor's slot, or 0 (nothing
// changed) for the sky, an unused or the same slot, or masses that sum to 0
// or to no number.
int MergePair(UniverseModel& u, int a, int b);

// The merge as a step needs it, after FindContact has said that something
// touches: the velocities, kept where the scheme's steps want them, are
// brought to the positions' time, every touching pair is merged (a merged
// body that now touches a third merges again), and the velocities are put
// back as the scheme of the merged universe wants them. `step` as for
// FindContact. Records each merge in `merges` up to `capacity` (either may
// be 0) and returns how many merges were made, 0 with u untouched when none.
int MergeTouching(UniverseModel& u, double step, MergeRecord* merges, int capacity);

#endif
