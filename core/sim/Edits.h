// The user's edits of a running universe: a body weighed (] and [), removed
// (Delete), added or thrown (Insert), bodies merged when they touch, and the
// history Backspace goes back through. Model arithmetic only: no keys, no
// clock, no textures loaded; the scene rebuilds what it draws after an edit.
#ifndef ORRERY_CORE_SIM_EDITS_H
#define ORRERY_CORE_SIM_EDITS_H

#include <cstddef>

#include "core/sim/Collisions.h"
#include "core/sim/Integrator.h"
#include "core/sim/UniverseModel.h"

// The last EditHistory::Depth states of the universe right before an edit,
// newest on top. The room for all of them is taken from the heap once, at
// the first Record, and kept: an edit never waits for memory after that.
class EditHistory {
public:
    enum { Depth = 100 };

    EditHistory();
    ~EditHistory();
    EditHistory(const EditHistory&) = delete;
    EditHistory& operator=(const EditHistory&) = delete;

    // Keeps a copy of u; the oldest is forgotten when Depth are kept. 0 when
    // the heap had no room (the edit then goes on without an undo).
    int Record(const UniverseModel& u);
    // Backspace: u becomes the newest copy, which is forgotten. 0, with u
    // untouched, when there is none.
    int Undo(UniverseModel& u);
    int Count() const { return count; }
    // Forgets every copy, keeping the room.
    void Clear() { count = 0; }

private:
    UniverseModel* states;
    int newest;  // index of the newest copy when count > 0
    int count;
};

// Every edit below takes the history to record the state before it in
// (null: none), records only when it changes the universe, and treats the
// velocities as the integrator keeps them: brought to the positions' time
// with the universe's scheme before the change, and put back with the
// scheme of the changed universe after it, so that an orbit goes on as it
// was with the new masses.

// ] and [: the mass of the used body in `slot` (the Sun's too, not the
// sky's) times factor; its radius stays. 0, nothing changed, for the sky, an
// unused slot, a factor that is not a positive number, or a mass that would
// become 0 or overflow.
int Weigh(UniverseModel& u, int slot, double factor, EditHistory* history);

// Delete: frees the slot of the used body in `slot` (not the sky's). Bodies
// whose traits named it as parent go back to the Sun. 1, or 0 with nothing
// changed.
int Remove(UniverseModel& u, int slot, EditHistory* history);

// The slot an added body takes: the first free one after the built-in
// system's, else the first free one from the first planet's (the Sun's slot
// carries the light and is not handed out); 0 when none is free.
int FreeSlotForAdd(const UniverseModel& u);

// A name for the next added body. Names in a universe file are one word, so
// "Teleso N" is kept as "Teleso_N" (BodyDisplayName shows the blank), N one
// more than the highest N among the universe's bodies so named. The length
// written, or 0 when out is too small (BodyNameSize always does).
int NextBodyName(const UniverseModel& u, char* out, size_t size);

// A stored name as the user reads it: underscores, which stand for the
// blanks a file cannot keep, become blanks. The length written, or 0 when
// out is too small.
int BodyDisplayName(const char* meno, char* out, size_t size);

// A map for the next added body: the first map of a real moon that no used
// body of u shows and that `available` accepts (null accepts every map; the
// scene passes a test that the file is there), else one of those cycled by
// the number of added bodies, else Merkur's map, which every installation has.
typedef int (*TextureAvailable)(const char* path, void* context);
const char* NewBodyTexture(const UniverseModel& u, TextureAvailable available, void* context);

// Adds a body at `position` moving with `velocity` (the velocity a user
// measures, at the positions' time), of this radius and mass, named `name`
// and drawn with `texture` (null: NextBodyName and NewBodyTexture with every
// map accepted), without spin, traits or parent but the Sun. The slot taken
// (FreeSlotForAdd), or 0, nothing changed, when the universe is full or the
// numbers are not usable (a mass of 0 or no number, a radius not positive).
int Add(UniverseModel& u, const double position[3], const double velocity[3], double radius, double mass,
        EditHistory* history, const char* name = nullptr, const char* texture = nullptr);

// Insert, pressed and held: the added body stands ThrowAheadHyperspeeds
// hyperspeeds ahead of the camera on the line of sight, one hyperspeed in
// radius, and moves with the frame body. Held longer than a tap it is thrown
// along the line of sight, the faster the longer it was held, up to the
// escape speed from the frame body at that distance after ThrowFullSeconds.
extern const double ThrowAheadHyperspeeds;
extern const double ThrowTapSeconds;   // a hold up to this long is a tap
extern const double ThrowFullSeconds;  // a hold this long or longer throws at full speed

struct ThrowAim {
    double position[3];
    double velocity[3];   // the frame body's plus the throw
    double speed;         // of the throw, relative to the frame body
    double escapeSpeed;   // sqrt(2 kapa M / d) at the body's distance d from the frame body
};

// The throw as numbers. camera: the camera's absolute position; forward: its
// line of sight (any length; CameraForward gives it); the frame body's
// absolute position, velocity (at the positions' time) and mass. A frame
// body of no positive mass, or a body placed at its centre, gives no escape
// speed and so no throw.
void AimThrow(const double camera[3], const double forward[3], double hyperspeed, double holdSeconds,
              const double framePosition[3], const double frameVelocity[3], double frameMass, double kapa,
              ThrowAim* out);

// The whole gesture on u: the frame body is the used body in frameSlot, or
// for the absolute frame (SkySlot, or a slot now unused) the Sun's position
// and mass with a velocity of 0, and no throw without a Sun. Mass 1 (one
// Zeme), NextBodyName, NewBodyTexture with `available`. The slot taken, or 0
// as Add; *aim, when given, says where it went.
int Throw(UniverseModel& u, const double camera[3], const double forward[3], double hyperspeed, double holdSeconds,
          int frameSlot, EditHistory* history, TextureAvailable available = nullptr, void* context = nullptr,
          ThrowAim* aim = nullptr);

// After an integration step of length `step`: merges whatever touches
// (MergeTouching), recording the state before it as one edit. The number of
// merges made (the first `capacity` in `merges`), 0 with u untouched.
int Collide(UniverseModel& u, double step, EditHistory* history, MergeRecord* merges = nullptr, int capacity = 0);

// The collision stage of a tick: Collide after every step, each merge an
// edit in the history (null: none). The window's ticks and the batch runs
// both go through it, so a merge is the same in either.
class MergeOnContact : public StepListener {
public:
    explicit MergeOnContact(EditHistory* history = nullptr) : history(history), merges(0) {}
    int AfterStep(UniverseModel& u, double step) override {
        const int made = Collide(u, step, history);
        merges += made;
        return made > 0;
    }

    EditHistory* history;
    int merges;  // since the stage was made
};

#endif
