// The user's edits and their history. Each edit checks first and records
// second, so that a refused edit neither changes the universe nor takes a
// place in the history; what Backspace restores is the whole model, clocks
// and rate included, as it was right before the edit.
#include "core/sim/Edits.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <type_traits>

#include "core/sim/Integrator.h"

// The copies are made with memcpy into memory from malloc, which needs a
// model without constructors that do more than fill numbers in.
static_assert(std::is_trivially_copyable<UniverseModel>::value, "the history copies models byte for byte");

const double ThrowAheadHyperspeeds = 20;
const double ThrowTapSeconds = 0.2;
const double ThrowFullSeconds = 2;

namespace {

const char kNamePrefix[] = "Teleso_";
const double kAddedMass = 1;

// Maps of real moons (the textures' folder holds one for each of the 22),
// the plainest and most unlike each other first. The built-in system shows
// none of them, so its added bodies each get one of their own.
const char* const kTextures[] = {
    "Data/planety_256x128x24/Moon.bmp",     "Data/planety_256x128x24/Io.bmp",
    "Data/planety_256x128x24/Europa.bmp",   "Data/planety_256x128x24/Ganymede.bmp",
    "Data/planety_256x128x24/Callisto.bmp", "Data/planety_256x128x24/Titan.bmp",
    "Data/planety_256x128x24/Triton.bmp",   "Data/planety_256x128x24/Iapetus.bmp",
    "Data/planety_256x128x24/Rhea.bmp",     "Data/planety_256x128x24/Dione.bmp",
    "Data/planety_256x128x24/Tethys.bmp",   "Data/planety_256x128x24/Enceladus.bmp",
    "Data/planety_256x128x24/Mimas.bmp",    "Data/planety_256x128x24/Miranda.bmp",
    "Data/planety_256x128x24/Ariel.bmp",    "Data/planety_256x128x24/Umbriel.bmp",
    "Data/planety_256x128x24/Titania.bmp",  "Data/planety_256x128x24/Oberon.bmp",
    "Data/planety_256x128x24/Charon.bmp",   "Data/planety_256x128x24/Phobos.bmp",
    "Data/planety_256x128x24/Deimos.bmp",   "Data/planety_256x128x24/Hyperion.bmp",
};
const int kTextureCount = static_cast<int>(sizeof kTextures / sizeof kTextures[0]);
const char kFallbackTexture[] = "Data/planety_256x128x24/1Mercury.bmp";

bool UsedEditableSlot(const UniverseModel& u, int slot) {
    return slot >= FirstSimulatedSlot && slot < UniverseSlots && BodyInUse(u.bodies[slot]);
}

// An edit's frame: velocities at the positions' time while the universe
// changes, where the (possibly other) scheme's steps want them afterwards.
void BeginChange(UniverseModel& u) { u.Scheme().ChangeStep(u, u.StepLength(), 0); }
void EndChange(UniverseModel& u) { u.Scheme().ChangeStep(u, 0, u.StepLength()); }

void Remember(EditHistory* history, const UniverseModel& u) {
    if (history) history->Record(u);
}

// N of "Teleso_N", or 0 for any other name. At most nine digits, so that
// the next number always fits an int.
long AddedNumber(const char* meno) {
    const size_t prefix = sizeof kNamePrefix - 1;
    if (std::strncmp(meno, kNamePrefix, prefix) != 0) return 0;
    long n = 0;
    int digits = 0;
    for (const char* p = meno + prefix; *p; ++p) {
        if (*p < '0' || *p > '9' || ++digits > 9) return 0;
        n = n * 10 + (*p - '0');
    }
    return n;
}

long HighestAddedNumber(const UniverseModel& u) {
    long highest = 0;
    for (const Body& b : u.bodies) {
        if (!BodyInUse(b) || !std::memchr(b.meno, '\0', sizeof b.meno)) continue;
        const long n = AddedNumber(b.meno);
        if (n > highest) highest = n;
    }
    return highest;
}

bool TextureShown(const UniverseModel& u, const char* path) {
    for (const Body& b : u.bodies) {
        if (BodyInUse(b) && std::strncmp(b.soubor, path, sizeof b.soubor) == 0) return true;
    }
    return false;
}

void CopyText(char* dst, size_t size, const char* src) { std::snprintf(dst, size, "%s", src); }

// The body itself, into a slot FreeSlotForAdd gave; velocities as the
// caller's frame keeps them.
void PlaceBody(UniverseModel& u, int slot, const double position[3], const double velocity[3], double radius,
               double mass, const char* name, const char* texture) {
    Body& b = u.bodies[slot];
    std::memset(&b, 0, sizeof b);
    std::memset(&u.traits[slot], 0, sizeof u.traits[slot]);
    if (name) {
        CopyText(b.meno, sizeof b.meno, name);
    } else {
        NextBodyName(u, b.meno, sizeof b.meno);
    }
    CopyText(b.soubor, sizeof b.soubor, texture ? texture : NewBodyTexture(u, nullptr, nullptr));
    b.x = position[0], b.y = position[1], b.z = position[2];
    b.vx = velocity[0], b.vy = velocity[1], b.vz = velocity[2];
    b.polomer = radius;
    b.hmotnost = mass;
}

bool Finite3(const double v[3]) { return std::isfinite(v[0]) && std::isfinite(v[1]) && std::isfinite(v[2]); }

bool UsableBody(const double position[3], const double velocity[3], double radius, double mass) {
    return position && velocity && Finite3(position) && Finite3(velocity) && radius > 0 && std::isfinite(radius) &&
           mass != 0 && std::isfinite(mass);
}

}  // namespace

// ---------------------------------------------------------------- history

EditHistory::EditHistory() : states(nullptr), newest(0), count(0) {}

EditHistory::~EditHistory() { std::free(states); }

int EditHistory::Record(const UniverseModel& u) {
    if (!states) {
        states = static_cast<UniverseModel*>(std::malloc(sizeof(UniverseModel) * Depth));
        if (!states) return 0;
        newest = Depth - 1;
        count = 0;
    }
    newest = (newest + 1) % Depth;
    std::memcpy(static_cast<void*>(&states[newest]), &u, sizeof u);
    if (count < Depth) ++count;
    return 1;
}

int EditHistory::Undo(UniverseModel& u) {
    if (count == 0) return 0;
    std::memcpy(static_cast<void*>(&u), &states[newest], sizeof u);
    newest = (newest + Depth - 1) % Depth;
    --count;
    return 1;
}

// ---------------------------------------------------------------- edits

int Weigh(UniverseModel& u, int slot, double factor, EditHistory* history) {
    if (!UsedEditableSlot(u, slot) || !(factor > 0) || !std::isfinite(factor)) return 0;
    const double mass = u.bodies[slot].hmotnost * factor;
    // Halving for ever would at last reach 0, which marks a free slot.
    if (mass == 0 || !std::isfinite(mass)) return 0;
    Remember(history, u);
    BeginChange(u);
    u.bodies[slot].hmotnost = mass;
    EndChange(u);
    return 1;
}

int Remove(UniverseModel& u, int slot, EditHistory* history) {
    if (!UsedEditableSlot(u, slot)) return 0;
    Remember(history, u);
    BeginChange(u);
    std::memset(&u.bodies[slot], 0, sizeof u.bodies[slot]);
    std::memset(&u.traits[slot], 0, sizeof u.traits[slot]);
    for (BodyTraits& t : u.traits) {
        if (t.parent == slot) t.parent = 0;
    }
    EndChange(u);
    return 1;
}

int FreeSlotForAdd(const UniverseModel& u) {
    for (int k = BuiltInSlots; k < UniverseSlots; ++k) {
        if (!BodyInUse(u.bodies[k])) return k;
    }
    for (int k = FirstPlanetSlot; k < BuiltInSlots; ++k) {
        if (!BodyInUse(u.bodies[k])) return k;
    }
    return 0;
}

int NextBodyName(const UniverseModel& u, char* out, size_t size) {
    if (!out || size == 0) return 0;
    const int n = std::snprintf(out, size, "%s%ld", kNamePrefix, HighestAddedNumber(u) + 1);
    if (n < 0 || static_cast<size_t>(n) >= size) {
        out[0] = '\0';
        return 0;
    }
    return n;
}

int BodyDisplayName(const char* meno, char* out, size_t size) {
    if (!out || size == 0) return 0;
    out[0] = '\0';
    if (!meno) return 0;
    const size_t length = std::strlen(meno);
    if (length >= size) return 0;
    for (size_t i = 0; i < length; ++i) out[i] = meno[i] == '_' ? ' ' : meno[i];
    out[length] = '\0';
    return static_cast<int>(length);
}

const char* NewBodyTexture(const UniverseModel& u, TextureAvailable available, void* context) {
    for (const char* path : kTextures) {
        if (!TextureShown(u, path) && (!available || available(path, context))) return path;
    }
    // Every map is shown already (a universe of the real moons): the added
    // bodies at least differ from each other in turn.
    const long start = HighestAddedNumber(u) % kTextureCount;
    for (int i = 0; i < kTextureCount; ++i) {
        const char* path = kTextures[(start + i) % kTextureCount];
        if (!available || available(path, context)) return path;
    }
    return kFallbackTexture;
}

int Add(UniverseModel& u, const double position[3], const double velocity[3], double radius, double mass,
        EditHistory* history, const char* name, const char* texture) {
    const int slot = FreeSlotForAdd(u);
    if (!slot || !UsableBody(position, velocity, radius, mass)) return 0;
    Remember(history, u);
    BeginChange(u);
    PlaceBody(u, slot, position, velocity, radius, mass, name, texture);
    EndChange(u);
    return slot;
}

void AimThrow(const double camera[3], const double forward[3], double hyperspeed, double holdSeconds,
              const double framePosition[3], const double frameVelocity[3], double frameMass, double kapa,
              ThrowAim* out) {
    double f[3] = {forward[0], forward[1], forward[2]};
    const double length = VectorLength(f[0], f[1], f[2]);
    if (length > 0 && std::isfinite(length)) {
        for (double& c : f) c /= length;
    }
    const double ahead = ThrowAheadHyperspeeds * hyperspeed;
    for (int i = 0; i < 3; ++i) out->position[i] = camera[i] + f[i] * ahead;

    const double d = VectorLength(out->position[0] - framePosition[0], out->position[1] - framePosition[1],
                                  out->position[2] - framePosition[2]);
    const double gm = kapa * frameMass;
    out->escapeSpeed = d > 0 && gm > 0 ? std::sqrt(2 * gm / d) : 0;
    if (!std::isfinite(out->escapeSpeed)) out->escapeSpeed = 0;
    // From the end of a tap to the full hold the speed grows evenly; a
    // share of at most 1 keeps it at or below the escape speed.
    double share = (holdSeconds - ThrowTapSeconds) / (ThrowFullSeconds - ThrowTapSeconds);
    if (!(share > 0)) share = 0;
    if (share > 1) share = 1;
    out->speed = out->escapeSpeed * share;
    for (int i = 0; i < 3; ++i) out->velocity[i] = frameVelocity[i] + f[i] * out->speed;
}

int Throw(UniverseModel& u, const double camera[3], const double forward[3], double hyperspeed, double holdSeconds,
          int frameSlot, EditHistory* history, TextureAvailable available, void* context, ThrowAim* aim) {
    const int slot = FreeSlotForAdd(u);
    if (!slot || !camera || !forward) return 0;
    int frame = UsedEditableSlot(u, frameSlot) ? frameSlot : SunSlot;
    const bool absolute = frame != frameSlot;
    if (!BodyInUse(u.bodies[frame])) frame = -1;
    const double nowhere[3] = {0, 0, 0};

    // Checked before anything changes: the same numbers, velocities aside.
    ThrowAim where;
    const Body* f = frame >= 0 ? &u.bodies[frame] : nullptr;
    const double framePosition[3] = {f ? f->x : 0, f ? f->y : 0, f ? f->z : 0};
    AimThrow(camera, forward, hyperspeed, holdSeconds, framePosition, nowhere, f ? f->hmotnost : 0, u.kapa, &where);
    if (!UsableBody(where.position, where.velocity, hyperspeed, kAddedMass)) return 0;

    char name[BodyNameSize];
    NextBodyName(u, name, sizeof name);
    const char* texture = NewBodyTexture(u, available, context);
    Remember(history, u);
    BeginChange(u);
    const double frameVelocity[3] = {f && !absolute ? f->vx : 0, f && !absolute ? f->vy : 0,
                                     f && !absolute ? f->vz : 0};
    AimThrow(camera, forward, hyperspeed, holdSeconds, framePosition, frameVelocity, f ? f->hmotnost : 0, u.kapa,
             &where);
    PlaceBody(u, slot, where.position, where.velocity, hyperspeed, kAddedMass, name, texture);
    EndChange(u);
    if (aim) *aim = where;
    return slot;
}

int Collide(UniverseModel& u, double step, EditHistory* history, MergeRecord* merges, int capacity) {
    if (!FindContact(u, step, nullptr)) return 0;
    Remember(history, u);
    return MergeTouching(u, step, merges, capacity);
}
