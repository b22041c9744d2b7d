// The universe as a scene: one texture and one display list per slot, the
// quadric that builds the spheres, the drawing of every used slot, and the
// per-tick work. The Sun's list carries the light, so the light follows
// whatever body is slot 1.
#include <cstdio>
#include <cstring>
#include <ctime>

#include "core/sim/Ephemeris.h"
#include "core/sim/Keys.h"
#include "core/sim/UniverseFile.h"
#include "gfx/Gl.h"
#include "gfx/GlRenderer.h"
#include "gfx/Texture.h"
#include "platform/Platform.h"
#include "sim/Universe.h"

namespace {

const int kSphereSlices = 16;
const int kSphereStacks = 16;

}  // namespace

Universe::Universe() : quadric(nullptr), paused(0), generation(0) {
    // Nothing GL exists yet; zero makes an early ReleaseGlResources harmless.
    renderer = nullptr;
    std::memset(textures, 0, sizeof textures);
    listBase = 0;
}

Universe::~Universe() { ReleaseGlResources(); }

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
    if (!paused) Step();
}

void Universe::Save() { WriteUniverseFile(*this, UniverseFileName); }

void Universe::Load() {
    if (!ReadUniverseFile(*this, UniverseFileName)) return;
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
    ReleaseGlResources();
    Init(renderer, 2);
    ++generation;
    return 1;
}

int Universe::Init(GlRenderer* r, int /*option*/) {
    SceneObject::Init(r, 2);
    glGenTextures(UniverseSlots, textures);

    for (int i = 0; i < UniverseSlots; ++i) {
        const Body& b = bodies[i];
        if (!BodyInUse(b)) continue;
        if (!renderer->LoadTexture(textures[i], b.soubor, FilterMipmap)) {
            // Standard error keeps the stored name; the box shows it in the user's language.
            char text[BodyNameSize + BodyFileSize + 64], shown[2 * (BodyNameSize + BodyFileSize) + 256];
            std::snprintf(text, sizeof text, "%s c.: %d ze souboru: %s!", b.meno, i, b.soubor);
            std::snprintf(shown, sizeof shown, Translate("%s c.: %d ze souboru: %s!"), TranslateIn("body", b.meno),
                          i, b.soubor);
            ShowMessageBoxAs("Nepodarilo se nacist texturu", text, Translate("Nepodarilo se nacist texturu"), shown,
                             MessageIconNone);
        }
    }

    quadric = gluNewQuadric();
    if (!quadric) {
        ShowMessageBox("Error", TRANSLATABLE("Neni dost pameti pro nacteni \"Quadratic Object\""), MessageIconNone);
    } else {
        gluQuadricNormals(quadric, GLU_SMOOTH);
        gluQuadricTexture(quadric, GL_TRUE);
    }
    // Without a quadric the lists are still built, only without spheres: the
    // program goes on with labels and light, and never calls a list it lacks.
    BuildLists();
    return 1;
}

void Universe::BuildLists() {
    listBase = glGenLists(UniverseSlots);
    if (listBase == 0) return;

    for (int i = 0; i < UniverseSlots; ++i) {
        glNewList(listBase + i, GL_COMPILE);
        if (i == SunSlot) {
            const GLfloat diffuse[4] = {1.0f, 1.0f, 1.0f, 1.0f};
            const GLfloat position[4] = {0.0f, 0.0f, 0.0f, 1.0f};
            glLightfv(GL_LIGHT1, GL_DIFFUSE, diffuse);
            glLightfv(GL_LIGHT1, GL_POSITION, position);
        }
        glBindTexture(GL_TEXTURE_2D, textures[i]);
        // GLU builds spheres about +z; turn the poles onto +y, the spin axis.
        glRotated(90, -1, 0, 0);
        if (quadric) {
            // The sky is seen from inside, and the Sun is lit by the light at
            // its own centre: both face inwards.
            bool inside = i == SkySlot || i == SunSlot;
            if (inside) gluQuadricOrientation(quadric, GLU_INSIDE);
            gluSphere(quadric, bodies[i].polomer, kSphereSlices, kSphereStacks);
            if (inside) gluQuadricOrientation(quadric, GLU_OUTSIDE);
        }
        glEndList();
    }
}

void Universe::Draw() {
    // Nothing to draw with before Init.
    if (!renderer) return;
    for (int i = 0; i < UniverseSlots; ++i) {
        const Body& b = bodies[i];
        if (!BodyInUse(b)) continue;
        renderer->PushMatrix();
        renderer->Translate(b.x, b.y, b.z);
        renderer->Print(0, static_cast<float>(1.5 * b.polomer), 0, 1, 1, 1, "%d. %s", i, TranslateIn("body", b.meno));
        renderer->Rotate(b.osa_rotace, 0, 0, 1);
        renderer->Rotate(b.rotace * simTime, 0, 1, 0);
        if (listBase) renderer->CallList(listBase + i);
        renderer->PopMatrix();
    }
}

// Safe to call twice: what was released is forgotten, so a second call never
// deletes names that GL may since have handed to someone else.
void Universe::ReleaseGlResources() {
    if (listBase) glDeleteLists(listBase, UniverseSlots);
    listBase = 0;
    bool anyTexture = false;
    for (int i = 0; i < UniverseSlots; ++i) anyTexture = anyTexture || textures[i] != 0;
    if (anyTexture) glDeleteTextures(UniverseSlots, textures);
    for (int i = 0; i < UniverseSlots; ++i) textures[i] = 0;
    if (quadric) gluDeleteQuadric(quadric);
    quadric = nullptr;
}
