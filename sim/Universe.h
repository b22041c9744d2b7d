// The one scene: the universe model with the GL objects that draw it (a map
// and a sphere per slot, and with hd the night lights, the rings and the
// Sun's glow), all held as the renderer's handles, and how one frame draws
// them: where each body stands and how large in the view chosen (enlarged or
// true), which way it is turned, which labels are drawn, and what is too
// small to see as a disc. Not a GL call of its own: gfx/ draws.
#ifndef ORRERY_SIM_UNIVERSE_H
#define ORRERY_SIM_UNIVERSE_H

#include <cstddef>
#include <cstdint>

#include "core/app/Camera.h"
#include "core/sim/Edits.h"
#include "core/sim/SceneObject.h"
#include "core/sim/UniverseModel.h"

class Universe : public SceneObject, public UniverseModel {
public:
    // While set, ticks apply the keys but do not step.
    int32_t paused;
    // Counts the times the bodies were replaced (F3, F4), so that whoever
    // keeps state about them (trails) sees the jump.
    uint32_t generation;
    // configure.txt's hd, read before Init: the larger maps where there are
    // any, and the rings, the night lights, the Sun's glow and the markers of
    // bodies too small to see. Takes effect at the next Init.
    int32_t hd;
    // The view (key v): 0 draws every body at its radius (polomer) and each
    // moon as far out from its planet as the planet is enlarged; 1 draws
    // true sizes at true places.
    int32_t trueSizes;
    // The body the user selected (Tab, a click), its label drawn brighter;
    // -1 for none.
    int32_t selected;

    // The renderer's handles, per slot (textures[] of SceneObject holds the
    // maps): the sphere, and the night side's lights.
    uint32_t shapes[UniverseSlots];
    uint32_t nightTextures[UniverseSlots];
    // A ringed planet's ring map (only the textured rings have one).
    uint32_t ringTextures[UniverseSlots];

    // The user's edits and the merges of bodies that touched, newest last,
    // for Backspace; F3 and F4 start it afresh.
    EditHistory history;
    // Told after every step of a tick: bodies that touch merge, each merge
    // an edit in the history.
    MergeOnContact collisions;
    // Told after every step too, after the merges (trails taken between
    // steps, say); null: no one.
    StepListener* afterStep;
    // Counts the changes to the bodies short of a new universe (an edit, a
    // merge, an undo), so that whoever rides with a body sees it go.
    uint32_t edits;

    Universe();
    ~Universe() override;
    int Init(GlRenderer* renderer, int option) override;
    // Time keys, then F2 (save), F3 (load) and F4 (today's sky), then one
    // step unless paused.
    void Update(unsigned char* keys) override;
    void Draw() override;

    // Writes UniverseFileName (F2); silent, and the old file survives any failure.
    void Save();
    // Reads UniverseFileName and rebuilds the GL resources for the new bodies;
    // a file that cannot be read changes nothing.
    void Load();
    // The real solar system at Julian day jd, with GL resources rebuilt as
    // for Load. Outside 1800-2050 a message box says so and nothing changes.
    int LoadRealSystem(double jd);
    // The spheres of every used slot, at their radii.
    void BuildLists();
    void ReleaseGlResources();
    // After an edit, a merge or an undo: the maps and the sphere of each slot
    // whose body came, went, or has another map or radius are made again;
    // the other slots keep theirs (the sky's large map above all).
    void FollowBodies();

    // The camera the next frame is drawn from: its pose relative to `origin`
    // (absolute model coordinates) and the view's pixels. Without it (before
    // the first call) every label is drawn and no body is a marker.
    void SetCamera(const CameraPose& pose, int width, int height, const double origin[3]);

    // Where the view draws a body and how large (trueSizes chooses which).
    void ViewPlace(int slot, double out[3]) const;
    double ViewRadius(int slot) const;
    // The model as the view shows it: every body at its view place, for
    // whatever follows the bodies on the screen (trails). The universe itself
    // when no place differs; a copy kept here otherwise, valid until the
    // next call.
    const UniverseModel& ViewModel();

    // What the last Draw decided, slot by slot, for tests: 1 where the label
    // was drawn, 1 where the body was a marker point.
    unsigned char labelDrawn[UniverseSlots];
    unsigned char markerDrawn[UniverseSlots];
    // Where each drawn label lay, in window pixels (y up), for picking; one
    // that covers nothing where no label was drawn or there was no camera.
    ScreenRect labelRect[UniverseSlots];

private:
    // Room for a label's text: "%d. " and a name of up to 49 bytes, translated.
    enum { LabelChars = 160 };
    int32_t hasCamera;
    CameraView camera;
    double cameraOrigin[3];
    UniverseModel* viewCopy;
    // What each slot's GL objects were made from, for FollowBodies.
    unsigned char made[UniverseSlots];
    char madeMap[UniverseSlots][BodyFileSize];
    double madeRadius[UniverseSlots];

    void LoadMaps();
    void LoadMap(int slot);
    void MakeShape(int slot);
    void ReleaseSlot(int slot);
    void ChooseLabelsAndMarkers(const double places[][3], const double radii[], const char names[][LabelChars]);
    void Orient(int slot);
    void DrawSelectedLabel(float height, const char* name);
    void DrawTranslucent(const double places[][3], const double radii[]);
};

// A body's name as the screen shows it: an added body's stored "Teleso_N"
// as "Teleso N" in the user's language, any other as TranslateIn("body")
// gives it. out holds the added ones; the result lives until out changes.
const char* ShownBodyName(const char* meno, char* out, size_t size);

#endif
