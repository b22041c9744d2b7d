// The universe as a scene: the per-tick work (time keys, F2, F3, F4, the
// step), the renderer's objects it holds per slot, and the drawing of one
// frame: each used slot at its place in the chosen view, turned by its pole
// and prime meridian where it has them (by its tilt and spin otherwise), its
// label where it stays readable, a marker where it is too small to see; with
// hd the Sun unlit, the night lights, then the rings and the Sun's glow over
// everything solid. The Sun's slot places the light, so the light follows
// whatever body is slot 1.
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <new>

#include "core/app/Labels.h"
#include "core/sim/Ephemeris.h"
#include "core/sim/Integrator.h"
#include "core/sim/Keys.h"
#include "core/sim/Trails.h"
#include "core/sim/UniverseFile.h"
#include "gfx/GlRenderer.h"
#include "gfx/Texture.h"
#include "platform/Platform.h"
#include "sim/Rings.h"
#include "sim/Universe.h"

namespace {

const char kHdFolder[] = "Data/planety_hd/";
// A body's label stands this many radii above its centre.
const double kLabelHeight = 1.5;
// A moon's label closer than this to its planet's centre on the screen is left out.
const double kMoonLabelPixels = 30;
// A body whose disc is narrower than this is drawn as a point this wide.
const double kMarkerPixels = 2;
// The least the brightest channel of a marker's colour may be, so that it shows.
const float kMarkerLeastBrightness = 0.6f;
// The Sun's glow reaches this many of its radii from its centre, from this
// much of its colour at the edge of its disc.
const double kGlowRadii = 3;
const float kGlowStrength = 0.6f;
const double kJ2000 = 2451545.0;

const char* FileName(const char* path) {
    const char* slash = std::strrchr(path, '/');
    return slash ? slash + 1 : path;
}

// The larger map of a body: a file of the same name in Data/planety_hd/.
bool HdMapPath(const char* path, char* out, size_t size) {
    const int n = std::snprintf(out, size, "%s%s", kHdFolder, FileName(path));
    return n > 0 && static_cast<size_t>(n) < size && PathTaken(out);
}

// A file beside a map named after it: "3Earth.bmp" with "Night" is
// "3EarthNight.bmp" in the same folder; with a whole name ("6SaturnRings.bmp")
// that file in the map's folder. 1 when it is there.
bool BesideMap(const char* map, const char* addition, bool wholeName, char* out, size_t size) {
    const char* name = FileName(map);
    const int folder = static_cast<int>(name - map);
    const char* dot = std::strrchr(name, '.');
    const int stem = dot ? static_cast<int>(dot - name) : static_cast<int>(std::strlen(name));
    const int n = wholeName ? std::snprintf(out, size, "%.*s%s", folder, map, addition)
                            : std::snprintf(out, size, "%.*s%.*s%s%s", folder, map, stem, name, addition,
                                            dot ? dot : "");
    return n > 0 && static_cast<size_t>(n) < size && PathTaken(out);
}

// The companion file beside the map in use, else beside the body's own path.
bool Companion(const char* used, const char* own, const char* addition, bool wholeName, char* out, size_t size) {
    return BesideMap(used, addition, wholeName, out, size) ||
           (used != own && BesideMap(own, addition, wholeName, out, size));
}

void Multiply3(const double a[9], const double b[9], double out[9]) {
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 3; ++c) out[3 * r + c] = a[3 * r] * b[c] + a[3 * r + 1] * b[3 + c] + a[3 * r + 2] * b[6 + c];
}

double Distance(const double a[3], const double b[3]) { return VectorLength(a[0] - b[0], a[1] - b[1], a[2] - b[2]); }

}  // namespace

Universe::Universe()
    : paused(0),
      generation(0),
      hd(0),
      trueSizes(0),
      selected(-1),
      collisions(&history),
      afterStep(nullptr),
      edits(0),
      hasCamera(0),
      viewCopy(nullptr) {
    // Nothing GL exists yet; zero makes an early ReleaseGlResources harmless.
    renderer = nullptr;
    std::memset(textures, 0, sizeof textures);
    listBase = 0;
    std::memset(shapes, 0, sizeof shapes);
    std::memset(nightTextures, 0, sizeof nightTextures);
    std::memset(ringTextures, 0, sizeof ringTextures);
    std::memset(labelDrawn, 0, sizeof labelDrawn);
    std::memset(markerDrawn, 0, sizeof markerDrawn);
    std::memset(labelRect, 0, sizeof labelRect);
    std::memset(cameraOrigin, 0, sizeof cameraOrigin);
    std::memset(&camera, 0, sizeof camera);
    std::memset(made, 0, sizeof made);
    std::memset(madeMap, 0, sizeof madeMap);
    std::memset(madeRadius, 0, sizeof madeRadius);
}

Universe::~Universe() {
    ReleaseGlResources();
    delete viewCopy;
}

void Universe::Update(unsigned char* keys) {
    ApplyTimeKeys(keys);
    if (keys && keys[KeyF2]) {
        keys[KeyF2] = 0;
        Save();
    }
    if (keys && keys[KeyF3]) {
        keys[KeyF3] = 0;
        Load();
    }
    if (keys && keys[KeyF4]) {
        keys[KeyF4] = 0;
        LoadRealSystem(JulianDayFromUnixSeconds(static_cast<double>(std::time(nullptr))));
    }
    if (paused) return;
    // The window's budget keeps a crowded universe's tick within its 10 ms;
    // what touches merges after the step that brought it together.
    const int merged = collisions.merges;
    StepListeners both(&collisions, afterStep);
    Step(afterStep ? static_cast<StepListener*>(&both) : &collisions, WindowTickWork);
    if (collisions.merges != merged) {
        FollowBodies();
        ++edits;
    }
}

void Universe::Save() { WriteUniverseFile(*this, UniverseFileName); }

void Universe::Load() {
    if (!ReadUniverseFile(*this, UniverseFileName)) return;
    history.Clear();
    // Textures, radii in the display lists and the quadric follow the new bodies.
    ReleaseGlResources();
    Init(renderer, 2);
    ++generation;
}

int Universe::LoadRealSystem(double jd) {
    if (!MakeRealSystem(jd)) {
        char when[DateTimeMaxChars] = "?";
        FormatDateTime(jd, when, sizeof when);
        char text[128], shown[256];
        std::snprintf(text, sizeof text, "Datum %s UT je mimo roky 1800 az 2050.", when);
        std::snprintf(shown, sizeof shown, Translate("Datum %s UT je mimo roky 1800 az 2050."), when);
        ShowMessageBoxAs("Nepodarilo se nastavit datum", text, Translate("Nepodarilo se nastavit datum"), shown,
                         MessageIconNone);
        return 0;
    }
    history.Clear();
    ReleaseGlResources();
    Init(renderer, 2);
    ++generation;
    return 1;
}

int Universe::Init(GlRenderer* r, int /*option*/) {
    SceneObject::Init(r, 2);
    LoadMaps();
    if (renderer && !renderer->HasSpheres())
        ShowMessageBox("Error", TRANSLATABLE("Neni dost pameti pro nacteni \"Quadratic Object\""), MessageIconNone);
    // Without a quadric the program goes on with labels and light, and
    // never draws a sphere it lacks.
    BuildLists();
    return 1;
}

void Universe::LoadMaps() {
    if (!renderer) return;
    for (int i = 0; i < UniverseSlots; ++i) {
        if (BodyInUse(bodies[i])) LoadMap(i);
    }
}

void Universe::LoadMap(int i) {
    const Body& b = bodies[i];
    made[i] = 1;
    std::memcpy(madeMap[i], b.soubor, sizeof madeMap[i]);
    char larger[BodyFileSize + sizeof kHdFolder];
    const bool useLarger = hd && HdMapPath(b.soubor, larger, sizeof larger);
    const char* map = useLarger ? larger : b.soubor;
    // The larger maps' levels are made by the renderer: GLU takes
    // several times as long, which the start would feel.
    textures[i] = renderer->MakeTexture(map, FilterMipmap, useLarger ? LevelsByMean : LevelsByGlu);
    if (!textures[i]) {
        // Standard error keeps the stored name; the box shows it in the user's language.
        char text[BodyNameSize + sizeof larger + 64], shown[2 * (BodyNameSize + sizeof larger) + 256];
        char name[LabelChars];
        std::snprintf(text, sizeof text, "%s c.: %d ze souboru: %s!", b.meno, i, map);
        std::snprintf(shown, sizeof shown, Translate("%s c.: %d ze souboru: %s!"),
                      ShownBodyName(b.meno, name, sizeof name), i, map);
        ShowMessageBoxAs("Nepodarilo se nacist texturu", text, Translate("Nepodarilo se nacist texturu"), shown,
                         MessageIconNone);
    }
    if (!hd) return;
    // What comes with a map is looked for beside it, silently: without
    // it the body is drawn as it always was.
    char extra[sizeof larger + 64];
    if (Companion(map, b.soubor, "Night", false, extra, sizeof extra))
        nightTextures[i] = renderer->MakeTexture(extra, FilterMipmap, LevelsOfLights);
    const RingSystem* rings = RingSystemForMap(b.soubor);
    char alpha[sizeof extra];
    if (rings && rings->ringMap && Companion(map, b.soubor, rings->ringMap, true, extra, sizeof extra) &&
        Companion(map, b.soubor, rings->ringAlphaMap, true, alpha, sizeof alpha))
        ringTextures[i] = renderer->MakeAlphaTexture(extra, alpha);
}

void Universe::BuildLists() {
    if (!renderer) return;
    for (int i = 0; i < UniverseSlots; ++i) {
        if (BodyInUse(bodies[i])) MakeShape(i);
    }
}

void Universe::MakeShape(int i) {
    madeRadius[i] = bodies[i].polomer;
    // The sky is seen from inside, and the Sun is lit by the light at its
    // own centre: both face inwards.
    shapes[i] = renderer->MakeSphere(bodies[i].polomer, i == SkySlot || i == SunSlot);
}

void Universe::FollowBodies() {
    if (!renderer) return;
    for (int i = 0; i < UniverseSlots; ++i) {
        const Body& b = bodies[i];
        const bool used = BodyInUse(b);
        if (used && made[i] && madeRadius[i] == b.polomer && std::memcmp(madeMap[i], b.soubor, sizeof b.soubor) == 0)
            continue;
        if (!used && !made[i]) continue;
        ReleaseSlot(i);
        if (!used) continue;
        LoadMap(i);
        MakeShape(i);
    }
}

// Safe to call twice: what was released is forgotten, so a second call never
// releases handles that the renderer may since have handed to someone else.
void Universe::ReleaseGlResources() {
    for (int i = 0; i < UniverseSlots; ++i) ReleaseSlot(i);
}

void Universe::ReleaseSlot(int i) {
    if (renderer) {
        renderer->ReleaseShape(shapes[i]);
        renderer->ReleaseTexture(textures[i]);
        renderer->ReleaseTexture(nightTextures[i]);
        renderer->ReleaseTexture(ringTextures[i]);
    }
    shapes[i] = textures[i] = nightTextures[i] = ringTextures[i] = 0;
    made[i] = 0;
}

void Universe::SetCamera(const CameraPose& pose, int width, int height, const double origin[3]) {
    MakeCameraView(pose, width, height, &camera);
    std::memcpy(cameraOrigin, origin, sizeof cameraOrigin);
    hasCamera = 1;
}

void Universe::ViewPlace(int slot, double out[3]) const { ViewPosition(slot, !trueSizes, out); }

double Universe::ViewRadius(int slot) const { return trueSizes ? TrueRadius(slot) : bodies[slot].polomer; }

const UniverseModel& Universe::ViewModel() {
    if (trueSizes) return *this;
    bool moved = false;
    for (int i = FirstSimulatedSlot; i < UniverseSlots && !moved; ++i) moved = BodyInUse(bodies[i]) && IsMoon(i);
    if (!moved) return *this;
    if (!viewCopy) viewCopy = new (std::nothrow) UniverseModel;
    if (!viewCopy) return *this;
    *viewCopy = *this;
    for (int i = 0; i < UniverseSlots; ++i) {
        double p[3];
        ViewPlace(i, p);
        viewCopy->bodies[i].x = p[0], viewCopy->bodies[i].y = p[1], viewCopy->bodies[i].z = p[2];
    }
    return *viewCopy;
}

// A body with a pole is turned by its frame at the universe's date: GLU's
// sphere, as the list turns it, has the map's prime meridian (its left
// edge) at -z and east at -x, north at +y; Q carries that onto the
// body-fixed axes (x to the prime meridian, z to the north pole). An
// inside-out sphere has its north at -y, so its Q mirrors it back, which
// keeps the map unmirrored seen from outside.
void Universe::Orient(int slot) {
    double frame[9];
    const double jd = hasDate ? datum : kJ2000 + elapsed * DayLength();
    if (BodyFrame(slot, jd, frame)) {
        static const double kOutside[9] = {0, 0, -1, -1, 0, 0, 0, 1, 0};
        static const double kInside[9] = {0, 0, -1, -1, 0, 0, 0, -1, 0};
        double m[9];
        Multiply3(frame, slot == SkySlot || slot == SunSlot ? kInside : kOutside, m);
        renderer->MultiplyMatrix3(m);
        return;
    }
    const Body& b = bodies[slot];
    renderer->Rotate(b.osa_rotace, 0, 0, 1);
    renderer->Rotate(b.rotace * simTime, 0, 1, 0);
}

void Universe::ChooseLabelsAndMarkers(const double places[][3], const double radii[], const char names[][LabelChars]) {
    const int end = UsedSlotEnd(bodies);
    for (int i = 0; i < UniverseSlots; ++i) {
        labelDrawn[i] = i < end && BodyInUse(bodies[i]);
        markerDrawn[i] = 0;
        labelRect[i] = ScreenRect{0, 0, 0, 0};
    }
    if (!hasCamera) return;
    double sx[UniverseSlots], sy[UniverseSlots];
    bool front[UniverseSlots];
    bool anyMoon = false;
    const double eye[3] = {cameraOrigin[0] + camera.position[0], cameraOrigin[1] + camera.position[1],
                           cameraOrigin[2] + camera.position[2]};
    for (int i = 0; i < end; ++i) {
        front[i] = false;
        if (!labelDrawn[i]) continue;
        const double p[3] = {places[i][0] - cameraOrigin[0], places[i][1] - cameraOrigin[1],
                             places[i][2] - cameraOrigin[2]};
        front[i] = ProjectPoint(camera, p, &sx[i], &sy[i], nullptr) != 0;
        if (i != SkySlot && IsMoon(i)) anyMoon = true;
        // Whatever hd says, the true view keeps every body findable.
        if ((hd || trueSizes) && i != SkySlot) {
            const double disc = DiscRadiusPixels(camera, Distance(places[i], eye), radii[i]);
            markerDrawn[i] = front[i] && 2 * disc < kMarkerPixels;
        }
    }
    for (int i = FirstSimulatedSlot; i < end; ++i) {
        if (!labelDrawn[i] || !IsMoon(i)) continue;
        const int p = ParentSlot(i);
        if (front[i] && front[p] && std::hypot(sx[i] - sx[p], sy[i] - sy[p]) < kMoonLabelPixels) labelDrawn[i] = 0;
    }
    if (!renderer) return;
    // Where each label lies on the screen: for the choice below, and for
    // picking a body by its label.
    bool placed[UniverseSlots];
    for (int i = 0; i < end; ++i) {
        placed[i] = false;
        if (!labelDrawn[i]) continue;
        const double at[3] = {places[i][0] - cameraOrigin[0], places[i][1] + kLabelHeight * radii[i] - cameraOrigin[1],
                              places[i][2] - cameraOrigin[2]};
        double x, y;
        if (!ProjectPoint(camera, at, &x, &y, nullptr)) continue;
        const double height = renderer->fontSize;
        labelRect[i] = ScreenRect{x, y - 0.25 * height, x + renderer->TextWidth(names[i]), y + 0.85 * height};
        placed[i] = true;
    }
    // Where moons crowd in, or in the new look, no label is drawn over another.
    if (!(hd || trueSizes || anyMoon)) return;
    LabelBox boxes[UniverseSlots] = {};
    int slotOf[UniverseSlots];
    int count = 0;
    for (int i = 0; i < end; ++i) {
        if (!labelDrawn[i]) continue;
        // A label whose point is behind the camera is not drawn by GL either.
        if (!placed[i]) {
            labelDrawn[i] = 0;
            continue;
        }
        LabelBox& box = boxes[count];
        box.rect = labelRect[i];
        // Nor is a moon's label drawn across its planet's disc.
        const int p = i != SkySlot && IsMoon(i) ? ParentSlot(i) : -1;
        if (p >= 0 && front[p]) {
            const double disc = DiscRadiusPixels(camera, Distance(places[p], eye), radii[p]);
            const double dx = std::fmax(std::fmax(box.rect.x0 - sx[p], 0.0), sx[p] - box.rect.x1);
            const double dy = std::fmax(std::fmax(box.rect.y0 - sy[p], 0.0), sy[p] - box.rect.y1);
            if (dx * dx + dy * dy < disc * disc) {
                labelDrawn[i] = 0;
                continue;
            }
        }
        box.level = i == SkySlot ? 3 : i == SunSlot ? 0 : IsMoon(i) ? 2 : 1;
        box.size = radii[i];
        slotOf[count++] = i;
    }
    unsigned char shown[UniverseSlots];
    ChooseLabels(boxes, count, shown);
    for (int k = 0; k < count; ++k) labelDrawn[slotOf[k]] = shown[k];
    for (int i = 0; i < end; ++i)
        if (!labelDrawn[i]) labelRect[i] = ScreenRect{0, 0, 0, 0};
}

void Universe::Draw() {
    // Nothing to draw with before Init.
    if (!renderer) return;
    const int end = UsedSlotEnd(bodies);
    static double places[UniverseSlots][3], radii[UniverseSlots];
    static char names[UniverseSlots][LabelChars];
    for (int i = 0; i < end; ++i) {
        if (!BodyInUse(bodies[i])) continue;
        ViewPlace(i, places[i]);
        radii[i] = ViewRadius(i);
        char shown[LabelChars];
        std::snprintf(names[i], sizeof names[i], "%d. %s", i, ShownBodyName(bodies[i].meno, shown, sizeof shown));
    }
    ChooseLabelsAndMarkers(places, radii, names);
    const bool sunUsed = BodyInUse(bodies[SunSlot]);

    for (int i = 0; i < end; ++i) {
        const Body& b = bodies[i];
        if (!BodyInUse(b)) continue;
        renderer->PushMatrix();
        renderer->Translate(places[i][0], places[i][1], places[i][2]);
        if (labelDrawn[i] && i == selected)
            DrawSelectedLabel(static_cast<float>(kLabelHeight * radii[i]), names[i]);
        else if (labelDrawn[i])
            renderer->Print(0, static_cast<float>(kLabelHeight * radii[i]), 0, 1, 1, 1, "%s", names[i]);
        const bool night = hd && nightTextures[i] && sunUsed && i != SunSlot;
        if (night) {
            double away[3] = {places[i][0] - places[SunSlot][0], places[i][1] - places[SunSlot][1],
                              places[i][2] - places[SunSlot][2]};
            renderer->PlaceNightLight(away);
        }
        if (markerDrawn[i]) {
            float rgb[3] = {0.7f, 0.7f, 0.7f};
            renderer->TextureMean(textures[i], rgb);
            // A dark map's mean (Callisto's is a dim grey) would leave its
            // point all but lost on the black sky: the same hue, brighter.
            const float brightest = std::fmax(rgb[0], std::fmax(rgb[1], rgb[2]));
            if (brightest > 0 && brightest < kMarkerLeastBrightness)
                for (float& c : rgb) c *= kMarkerLeastBrightness / brightest;
            renderer->DrawMarker(rgb, static_cast<float>(kMarkerPixels));
            if (i == SunSlot) renderer->PlaceSunLight();
            renderer->PopMatrix();
            continue;
        }
        Orient(i);
        if (i == SunSlot) renderer->PlaceSunLight();
        const double scale = b.polomer > 0 && radii[i] != b.polomer ? radii[i] / b.polomer : 1;
        if (hd && i == SunSlot)
            renderer->DrawShapeUnlit(shapes[i], textures[i], scale);
        else
            renderer->DrawShape(shapes[i], textures[i], scale);
        if (night) renderer->DrawShapeNightLights(shapes[i], nightTextures[i], scale);
        renderer->PopMatrix();
    }
    if (hd) DrawTranslucent(places, radii);
}

// The selected body's label at full brightness whatever the lighting and hd
// say, in a warm white: it stands out from the others even where they too
// are drawn full bright.
void Universe::DrawSelectedLabel(float height, const char* name) {
    const int bright = renderer->TextFullBright();
    renderer->SetTextFullBright(1);
    renderer->PrintShifted(0, height, 0, 0, 1.0f, 1.0f, 0.55f, "%s", name);
    renderer->SetTextFullBright(bright);
}

// Rings and the glow over everything solid, the farthest first, so that
// what lies behind them shows through.
void Universe::DrawTranslucent(const double places[][3], const double radii[]) {
    struct Item {
        int slot;
        double distance;
    } items[UniverseSlots];
    int count = 0;
    const double eye[3] = {cameraOrigin[0] + camera.position[0], cameraOrigin[1] + camera.position[1],
                           cameraOrigin[2] + camera.position[2]};
    const int end = UsedSlotEnd(bodies);
    const bool sunUsed = BodyInUse(bodies[SunSlot]);
    for (int i = FirstSimulatedSlot; i < end; ++i) {
        if (!BodyInUse(bodies[i]) || markerDrawn[i]) continue;
        const bool glow = i == SunSlot;
        const bool rings = sunUsed && i != SunSlot && RingSystemForMap(bodies[i].soubor);
        if (!glow && !rings) continue;
        items[count].slot = i;
        items[count].distance = Distance(places[i], eye);
        ++count;
    }
    for (int a = 1; a < count; ++a)
        for (int k = a; k > 0 && items[k - 1].distance < items[k].distance; --k) {
            const Item t = items[k];
            items[k] = items[k - 1];
            items[k - 1] = t;
        }
    for (int k = 0; k < count; ++k) {
        const int i = items[k].slot;
        if (i == SunSlot) {
            float rgb[3] = {1.0f, 0.85f, 0.6f};
            renderer->TextureMean(textures[i], rgb);
            renderer->PushMatrix();
            renderer->Translate(places[i][0], places[i][1], places[i][2]);
            renderer->DrawGlow(radii[i], kGlowRadii * radii[i], rgb, kGlowStrength);
            renderer->PopMatrix();
            continue;
        }
        RingView view;
        std::memcpy(view.centre, places[i], sizeof view.centre);
        std::memcpy(view.sun, places[SunSlot], sizeof view.sun);
        std::memcpy(view.eye, eye, sizeof view.eye);
        view.planetRadius = radii[i];
        double frame[9];
        const double jd = hasDate ? datum : kJ2000 + elapsed * DayLength();
        if (BodyFrame(i, jd, frame)) {
            view.pole[0] = frame[2], view.pole[1] = frame[5], view.pole[2] = frame[8];
        } else {
            // The built-in tilt turns the spin axis, +y, about z.
            const double tilt = bodies[i].osa_rotace * 3.14159265358979323846 / 180;
            view.pole[0] = -std::sin(tilt), view.pole[1] = std::cos(tilt), view.pole[2] = 0;
        }
        DrawRingSystem(renderer, *RingSystemForMap(bodies[i].soubor), ringTextures[i], view);
    }
}

const char* ShownBodyName(const char* meno, char* out, size_t size) {
    // Names in a file are one word: Edits stores "Teleso N" with an underscore.
    static const char kAdded[] = "Teleso_";
    const size_t prefix = sizeof kAdded - 1;
    if (size > 0 && std::strncmp(meno, kAdded, prefix) == 0) {
        const char* digits = meno + prefix;
        const size_t count = std::strspn(digits, "0123456789");
        if (count > 0 && count <= 9 && digits[count] == '\0') {
            std::snprintf(out, size, Translate("Teleso %d"), std::atoi(digits));
            return out;
        }
    }
    return TranslateIn("body", meno);
}
