// The sandbox's gestures on the model: bodies that collide and merge, ] [
// Delete and Insert, throws, Backspace, and real moons that stay clear of
// their planets. The keys and the window are the scene's; these hold the numbers.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "core/app/Camera.h"
#include "core/sim/BodyData.h"
#include "core/sim/Collisions.h"
#include "core/sim/Edits.h"
#include "core/sim/Ephemeris.h"
#include "core/sim/Integrator.h"
#include "core/sim/MoonTheories.h"
#include "core/sim/UniverseFile.h"

namespace {

std::string FileText(const UniverseModel& u) {
    char* data = nullptr;
    size_t size = 0;
    FILE* stream = open_memstream(&data, &size);
    const int written = stream ? WriteUniverseStream(u, stream) : 0;
    if (stream) std::fclose(stream);
    std::string text = written ? std::string(data, size) : std::string("(not written)");
    std::free(data);
    return text;
}

// The tab-separated field `index` of the body line of `name`; "" without one.
std::string Field(const std::string& text, const std::string& name, int index) {
    const size_t at = text.find("ins\t" + name + "\t");
    if (at == std::string::npos) return "";
    const std::string line = text.substr(at, text.find('\n', at) - at);
    size_t start = 0;
    for (int i = 0; i < index && start != std::string::npos; ++i) start = line.find('\t', start) + 1;
    return line.substr(start, line.find('\t', start) - start);
}

// Velocities as a user measures them: at the positions' time.
UniverseModel Measured(const UniverseModel& u) {
    UniverseModel now = u;
    now.Scheme().ChangeStep(now, now.StepLength(), 0);
    return now;
}

int UsedBodies(const UniverseModel& u) {
    int n = 0;
    for (int k = 1; k < UniverseSlots; ++k) n += BodyInUse(u.bodies[k]);
    return n;
}

UniverseModel Empty() {
    UniverseModel u;
    for (int k = 1; k < UniverseSlots; ++k) std::memset(&u.bodies[k], 0, sizeof u.bodies[k]);
    return u;
}

}  // namespace

TEST(Sandbox, BodiesOnAHeadOnCourseMergeKeepingMassMomentumAndVolume) {
    // The fast pair closes 0.5 units a step with 0.002 of contact: only the
    // sweep over each drift sees it touch.
    const struct {
        const char* name;
        double va, vb, ra, rb, miss;
        bool missedWithoutSweep;
    } rows[] = {{"slow", 1, -2, 0.5, 0.25, 0.3, false}, {"fast", 20, -80, 0.001, 0.001, 0.0015, true}};
    for (const auto& row : rows) {
        UniverseModel u = Empty();
        const double start[2][3] = {{-5, 0, 0}, {5.123, row.miss, 0}};
        const double va[3] = {row.va, 0, 0}, vb[3] = {row.vb, 0, 0};
        ASSERT_EQ(11, Add(u, start[0], va, row.ra, 3, nullptr));
        ASSERT_EQ(12, Add(u, start[1], vb, row.rb, 1, nullptr));
        const double p0 = 3 * u.bodies[11].vx + u.bodies[12].vx;
        UniverseModel staticOnly = u;
        EditHistory history;
        int merges = 0, staticMerges = 0, ticks = 0;
        for (; ticks < 5000 && !merges; ++ticks) {
            u.Step();
            staticOnly.Step();
            merges = Collide(u, u.StepLength(), &history);
            staticMerges += Collide(staticOnly, 0, nullptr);
        }
        ASSERT_EQ(1, merges) << row.name << ": no merge in " << ticks << " ticks";
        EXPECT_EQ(row.missedWithoutSweep, staticMerges == 0) << row.name;
        const Body& m = u.bodies[11];
        EXPECT_EQ(1, UsedBodies(u)) << row.name;
        EXPECT_EQ(4.0, m.hmotnost) << row.name;
        EXPECT_STREQ("Teleso_1", m.meno) << row.name << ": the heavier's name";
        const double p = m.hmotnost * m.vx;
        EXPECT_NEAR(0, (p - p0) / p0, 1e-12) << row.name << ": momentum expected " << p0 << ", got " << p;
        EXPECT_NEAR(0, m.hmotnost * m.vy, 1e-12 * std::fabs(p0)) << row.name;
        const double r = std::cbrt(row.ra * row.ra * row.ra + row.rb * row.rb * row.rb);
        EXPECT_DOUBLE_EQ(r, m.polomer) << row.name;
        ASSERT_EQ(1, history.Undo(u));
        EXPECT_EQ(2, UsedBodies(u)) << row.name << ": Backspace parts them again";
    }
}

TEST(Sandbox, LookingForContactsLeavesTheBuiltInRunAsItWasToTheBit) {
    const struct {
        double deltat;
        int ticks;
    } rows[] = {{0.005, 2000}, {-0.3, 300}, {10.242, 100}};
    for (const auto& row : rows) {
        UniverseModel plain, searched;
        plain.deltat = searched.deltat = row.deltat;
        EditHistory history;
        int merges = 0;
        for (int i = 0; i < row.ticks; ++i) {
            plain.Step();
            searched.Step();
            merges += Collide(searched, searched.StepLength(), &history);
        }
        EXPECT_EQ(0, merges) << "deltat " << row.deltat;
        EXPECT_EQ(0, history.Count()) << "deltat " << row.deltat;
        EXPECT_EQ(0, std::memcmp(plain.bodies, searched.bodies, sizeof plain.bodies)) << "deltat " << row.deltat;
    }
}

TEST(Sandbox, EditsShowInTheSavedFileAndBackspaceRestoresItByteForByte) {
    const struct {
        const char* name;
        int slot;
        double factor;  // 0: Delete
        const char* mass;
    } rows[] = {{"] on Jupiter", 6, 2, "636.000000"},
                {"[ on the Sun", 1, 0.5, "166400.000000"},
                {"Delete Mars", 5, 0, ""}};
    for (const auto& row : rows) {
        UniverseModel u;
        for (int i = 0; i < 300; ++i) u.Step();
        const std::string before = FileText(u);
        const std::string body = u.bodies[row.slot].meno;
        EditHistory history;
        ASSERT_EQ(1, row.factor ? Weigh(u, row.slot, row.factor, &history) : Remove(u, row.slot, &history))
            << row.name;
        EXPECT_EQ(row.mass, Field(FileText(u), body, 4)) << row.name;
        for (int i = 0; i < 50; ++i) u.Step();  // Backspace comes a while later
        ASSERT_EQ(1, history.Undo(u)) << row.name;
        EXPECT_EQ(before, FileText(u)) << row.name;
        EXPECT_EQ(0, history.Undo(u)) << row.name << ": one edit, one undo";
    }
}

TEST(Sandbox, InsertPlacesBodiesAheadThatMoveWithTheFrameAndSurviveF2F3) {
    UniverseModel u;
    for (int i = 0; i < 100; ++i) u.Step();
    // Riding with Zeme (frame 4), a little above it, looking down and left.
    const CameraPose pose = {0.3, 0.2, 0.4, -20, 30, 0};
    const Body& zeme = u.bodies[4];
    const double camera[3] = {zeme.x + pose.x, zeme.y + pose.y, zeme.z + pose.z};
    double forward[3];
    CameraForward(pose, forward);
    const double hyperspeed = 0.01;
    EditHistory history;
    ThrowAim aim;
    ASSERT_EQ(11, Throw(u, camera, forward, hyperspeed, 0.1, 4, &history, nullptr, nullptr, &aim));
    ASSERT_EQ(12, Throw(u, camera, forward, hyperspeed, 0.1, 4, &history));

    const UniverseModel now = Measured(u);
    const Body& added = now.bodies[11];
    for (int i = 0; i < 3; ++i) {
        const double want = camera[i] + 20 * hyperspeed * forward[i];
        EXPECT_NEAR(want, (&added.x)[i], 1e-12) << "axis " << i;
        EXPECT_NEAR((&now.bodies[4].vx)[i], (&added.vx)[i], 1e-9) << "axis " << i << ": the frame's velocity";
    }
    EXPECT_EQ(1.0, added.hmotnost);
    EXPECT_EQ(hyperspeed, added.polomer);
    char shown[BodyNameSize];
    BodyDisplayName(now.bodies[12].meno, shown, sizeof shown);
    EXPECT_STREQ("Teleso 2", shown);
    EXPECT_STRNE(added.soubor, now.bodies[12].soubor) << "each added body has a map of its own";

    UniverseModel loaded;
    const std::string saved = FileText(u);
    ASSERT_EQ(13, ReadUniverseText(loaded, saved.data(), saved.size()));
    EXPECT_EQ(saved, FileText(loaded));
    EXPECT_STREQ("Teleso_2", loaded.bodies[12].meno);
}

TEST(Sandbox, ThrowsLeaveFasterTheLongerInsertIsHeldButNeverAboveEscape) {
    const double holds[] = {0, 0.1, 0.2, 0.5, 1, 1.5, 2, 3, 60};
    for (int frame : {0, 4, 6}) {
        double last = -1, tap = -1;
        for (double hold : holds) {
            UniverseModel u;
            const Body& f = u.bodies[frame ? frame : 1];
            const double camera[3] = {f.x + 3, f.y + 1, f.z + 25}, forward[3] = {0, 0, -1};
            ThrowAim aim;
            const int slot = Throw(u, camera, forward, 0.1, hold, frame, nullptr, nullptr, nullptr, &aim);
            ASSERT_EQ(11, slot);
            const UniverseModel now = Measured(u);
            const Body &b = now.bodies[slot], &fb = now.bodies[frame ? frame : 1];
            const double fv[3] = {frame ? fb.vx : 0, frame ? fb.vy : 0, frame ? fb.vz : 0};
            const double speed = VectorLength(b.vx - fv[0], b.vy - fv[1], b.vz - fv[2]);
            const double d = VectorLength(b.x - fb.x, b.y - fb.y, b.z - fb.z);
            const double escape = std::sqrt(2 * u.kapa * fb.hmotnost / d);
            EXPECT_LE(speed, escape * (1 + 1e-9)) << "frame " << frame << ", held " << hold << " s";
            EXPECT_GE(speed, last * (1 - 1e-9)) << "frame " << frame << ", held " << hold << " s";
            if (hold <= ThrowTapSeconds) tap = speed;
            if (hold >= 2) {
                EXPECT_NEAR(escape, speed, 1e-9 * escape) << "frame " << frame << ", held " << hold << " s";
            }
            last = speed;
        }
        EXPECT_LT(tap * 10, last) << "frame " << frame << ": a tap at " << tap << ", two seconds at " << last;
    }
}

TEST(Sandbox, RealMoonsOnADateNeverTouchTheirPlanetsThoughTheirEnlargedSpheresWould) {
    const double kmToModel = 100 * BodyRadiusInAu(RealSun) / BodyDataTable[RealSun].radius;
    for (int year : {1850, 1969, 2000, 2026, 2049}) {
        const double jd = JulianDayFromCalendar(year, 7, 20, 20, 17);
        UniverseModel u;
        ASSERT_EQ(1, u.MakeRealSystem(jd));
        for (int slot = 1; slot < BuiltInSlots; ++slot) u.traits[slot].radius = 100 * BodyRadiusInAu(slot - 1);
        for (int moon = 0; moon < MoonCount; ++moon) {
            const int slot = BuiltInSlots + moon, planet = MoonTable[moon].planetSlot;
            double r[3], v[3];
            ASSERT_EQ(1, MoonState(moon, jd, r, v));
            Body& b = u.bodies[slot];
            std::snprintf(b.meno, sizeof b.meno, "%s", MoonTable[moon].name);
            b.hmotnost = BodyMassInEarths(RealMesic + moon);
            b.polomer = u.bodies[planet].polomer / 4;
            b.x = u.bodies[planet].x + r[0] * kmToModel;
            b.y = u.bodies[planet].y - r[2] * kmToModel;
            b.z = u.bodies[planet].z + r[1] * kmToModel;
            u.traits[slot].radius = 100 * BodyRadiusInAu(RealMesic + moon);
            u.traits[slot].parent = planet;
        }
        ContactPair pair = {0, 0};
        EXPECT_EQ(0, FindContact(u, 0, &pair)) << year << ": " << u.bodies[pair.a].meno << " touches "
                                               << u.bodies[pair.b].meno;
        UniverseModel enlarged = u;
        for (BodyTraits& t : enlarged.traits) t.radius = 0;
        EXPECT_EQ(1, FindContact(enlarged, 0, &pair)) << year << ": no moon inside its enlarged planet";
    }
}

// At a high rate a moon goes a quarter of its orbit in a step: run back
// along straight lines, Enceladus crossed Dione's path and Io Jupiter's.
TEST(Sandbox, RealMoonsNeverMergeAtTheWindowsRatesThoughTheirStepsAreLong) {
    for (double deltat : {1.0, 10.242, -3.0}) {
        UniverseModel u;
        ASSERT_EQ(1, u.MakeRealSystem(JulianDayFromCalendar(2000, 1, 1, 12, 0)));
        u.deltat = deltat;
        MergeOnContact collisions;
        for (int i = 0; i < 300; ++i) u.Step(&collisions, WindowTickWork);
        EXPECT_EQ(0, collisions.merges) << "expected no merge at deltat " << deltat << ", got " << collisions.merges;
    }
}

TEST(Sandbox, AMergeKeepsTheHeaviersIdentityAndFreesTheLightersSlot) {
    const struct {
        double ma, mb;
        int survivor;
    } rows[] = {{5, 3, 11}, {3, 5, 12}, {4, 4, 11}};
    for (const auto& row : rows) {
        UniverseModel u;
        const double at[3] = {0, 0, 400}, still[3] = {0, 0, 0};
        ASSERT_EQ(11, Add(u, at, still, 0.5, row.ma, nullptr));
        ASSERT_EQ(12, Add(u, at, still, 0.5, row.mb, nullptr));
        ASSERT_EQ(13, Add(u, at, still, 0.5, 0.01, nullptr));
        const int lighter = 23 - row.survivor;
        // A dated universe's survivor: drawn 20 times its true radius.
        u.traits[row.survivor].radius = 0.5, u.bodies[row.survivor].polomer = 10;
        u.traits[row.survivor].pole[1] = 1;
        u.traits[13].parent = lighter;
        const Body before = u.bodies[row.survivor];
        ASSERT_EQ(row.survivor, MergePair(u, 11, 12));
        const Body& s = u.bodies[row.survivor];
        EXPECT_STREQ(before.meno, s.meno);
        EXPECT_STREQ(before.soubor, s.soubor);
        EXPECT_EQ(1.0, u.traits[row.survivor].pole[1]);
        EXPECT_DOUBLE_EQ(std::cbrt(0.25), u.traits[row.survivor].radius);
        EXPECT_DOUBLE_EQ(20 * std::cbrt(0.25), s.polomer) << "the enlargement kept";
        EXPECT_FALSE(BodyInUse(u.bodies[lighter]));
        EXPECT_EQ(row.survivor, u.ParentSlot(13)) << "what circled the lighter circles the survivor";
    }
}

TEST(Sandbox, AddedBodiesTakeFreeSlotsAndAFullUniverseRefuses) {
    UniverseModel u;
    EditHistory history;
    const double at[3] = {0, 50, 0}, still[3] = {0, 0, 0};
    for (int want = BuiltInSlots; want < UniverseSlots; ++want) ASSERT_EQ(want, Add(u, at, still, 1, 1, &history));
    ASSERT_EQ(1, Remove(u, 5, &history));
    EXPECT_EQ(5, Add(u, at, still, 1, 1, &history)) << "Mars's slot, freed";
    const std::string full = FileText(u);
    const int edits = history.Count();
    EXPECT_EQ(0, Add(u, at, still, 1, 1, &history));
    EXPECT_EQ(0, Throw(u, at, still, 1, 1, 0, &history));
    EXPECT_EQ(full, FileText(u));
    EXPECT_EQ(edits, history.Count()) << "a refused edit takes no place in the history";
}

TEST(Sandbox, BackspaceGoesBackAHundredEditsAndNoFurther) {
    UniverseModel u;
    EditHistory history;
    for (int i = 0; i < 101; ++i) ASSERT_EQ(1, Weigh(u, 4, 2, &history));
    int undone = 0;
    while (history.Undo(u)) ++undone;
    EXPECT_EQ(100, undone);
    EXPECT_EQ(2.0, u.bodies[4].hmotnost) << "the state after the first edit, the oldest kept";
}
