#include "gl/DatedScene.h"

#include <cstdio>

#include "core/sim/BodyData.h"
#include "core/sim/MoonTheories.h"

namespace {

const double kAuKm = 149597870.7;
const char* const kMoonMaps[MoonCount] = {
    "Moon",    "Phobos",  "Deimos",   "Io",      "Europa",  "Ganymede", "Callisto", "Mimas",
    "Enceladus", "Tethys", "Dione",   "Rhea",    "Titan",   "Hyperion", "Iapetus",  "Miranda",
    "Ariel",   "Umbriel", "Titania",  "Oberon",  "Triton",  "Charon",
};

// Ecliptic of J2000 to the model's axes.
void ToModel(const double e[3], double m[3]) {
    m[0] = e[0];
    m[1] = -e[2];
    m[2] = e[1];
}

void SetTraits(UniverseModel& u, int slot, int body, double jdTT) {
    BodyTraits& t = u.traits[slot];
    t.radius = BodyRadiusInAu(body) * 100;
    const BodyData& d = BodyDataTable[body];
    double pole[3];
    if (d.rotates && BodyPole(body, jdTT, pole)) {
        ToModel(pole, t.pole);
        t.w0 = d.w0;
        t.wRate = d.wRate;
    }
    u.bodies[slot].polomer = kDrawnEnlargement * t.radius;
}

}  // namespace

int MakeDatedScene(UniverseModel& u, double jd, bool moons) {
    if (!u.MakeRealSystem(jd)) return 0;
    for (int slot = SunSlot; slot <= LastPlanetSlot; ++slot) SetTraits(u, slot, RealSun + (slot - SunSlot), jd);
    if (!moons) return 1;
    const double jdTT = jd + DeltaTSeconds(jd) / 86400;
    const double unitsPerKm = 100 / kAuKm;
    const double day = u.DayLength();
    for (int moon = 0; moon < MoonCount; ++moon) {
        const int slot = MoonSlot(moon), body = RealMesic + moon, planet = MoonTable[moon].planetSlot;
        double km[3], kmPerDay[3], at[3], v[3];
        if (!MoonState(moon, jdTT, km, kmPerDay)) return 0;
        ToModel(km, at);
        ToModel(kmPerDay, v);
        Body& b = u.bodies[slot];
        std::snprintf(b.meno, sizeof b.meno, "%s", MoonTable[moon].name);
        std::snprintf(b.soubor, sizeof b.soubor, "Data/planety_256x128x24/%s.bmp", kMoonMaps[moon]);
        const Body& p = u.bodies[planet];
        b.x = p.x + at[0] * unitsPerKm, b.y = p.y + at[1] * unitsPerKm, b.z = p.z + at[2] * unitsPerKm;
        b.vx = p.vx + v[0] * unitsPerKm * day, b.vy = p.vy + v[1] * unitsPerKm * day, b.vz = p.vz + v[2] * unitsPerKm * day;
        b.hmotnost = BodyMassInEarths(body);
        SetTraits(u, slot, body, jdTT);
        u.traits[slot].parent = planet;
    }
    return 1;
}
