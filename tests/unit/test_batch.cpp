// The run without a window: how a span becomes ticks, and a year of it. The
// real program's options and exit codes are in tests/e2e/test_options.sh,
// its equality with F2 in tests/gl/test_application.cpp.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <string>

#include "core/app/Batch.h"
#include "core/sim/Ephemeris.h"
#include "core/sim/UniverseFile.h"
#include "core/sim/UniverseModel.h"
#include "support/TestSupport.h"

TEST(BatchSpan, WholeTicksOrDaysToTheNearestTickElseRefused) {
    const uint64_t No = ~0ull;
    // A tick of the built-in system is 0.005 model units of 3.35359 days.
    const struct {
        const char* span;
        double deltat, kapa;
        uint64_t ticks;
    } cases[] = {
        {"306t", 0.005, 0.01, 306},          {"0t", 0.005, 0.01, 0},
        {"1d", 0.005, 0.01, 60},             {"1y", 0.005, 0.01, 21783},  // 59.64, 21782.61
        {"100y", 0.005, 0.01, 2178261},      {"1y", -0.005, 0.01, 21783},  // backwards: as much time
        {"1y", 0.05, 0.01, 2178},            {"007d", 0.005, 0.01, 417},
        {"1000000000000t", 0.005, 0.01, 1000000000000ull},
        {"1000000000001t", 0.005, 0.01, No}, {"99999999999999999999999999t", 0.005, 0.01, No},
        {"50000000y", 0.005, 0.01, No},      {"1d", 1e-300, 0.01, No},  // 1.09e12 and 3e299 ticks
        {"5t", 0, 0.01, 5},                  {"1d", 0, 0.01, No},  // a tick with no length in days
        {"1d", NAN, 0.01, No},               {"1d", INFINITY, 0.01, No},
        {"1d", 0.005, 0, No},                {"1d", 0.005, -0.01, No},
        {"", 0.005, 0.01, No},               {"5", 0.005, 0.01, No},
        {"-5d", 0.005, 0.01, No},            {"5 d", 0.005, 0.01, No},
        {"5dd", 0.005, 0.01, No},            {"1.5y", 0.005, 0.01, No},
        {"1e3t", 0.005, 0.01, No},           {"inft", 0.005, 0.01, No},
    };
    for (const auto& c : cases) {
        UniverseModel u;
        u.deltat = c.deltat;
        u.kapa = c.kapa;
        const std::string what = std::string("\"") + c.span + "\" at deltat " + std::to_string(c.deltat);
        SimulationSpan span;
        uint64_t ticks = No;
        char message[512] = "";
        const int ok = ParseSimulationSpan(c.span, &span) && SpanToTicks(span, u, &ticks, message, sizeof message);
        EXPECT_EQ(c.ticks, ok ? ticks : No) << what << ": " << message;
    }
}

TEST(BatchRun, ZemeGoesOnceRoundTheSunInAYearFromARealDate) {
    ScratchDir dir;
    const std::string out = dir.File("year.ves");
    CommandLine options;
    ASSERT_EQ(1, ParseDateArgument("2024-01-01", &options.date));
    options.hasDate = 1;
    options.simulate = 1;
    ASSERT_EQ(1, ParseSimulationSpan("1y", &options.span));
    options.savePath = out.c_str();
    char message[512];
    ASSERT_EQ(BatchDone, RunBatch(options, message, sizeof message)) << message;

    UniverseModel start, end;
    ASSERT_EQ(1, start.MakeRealSystem(options.date));
    ASSERT_EQ(1, ReadUniverseFile(end, out.c_str()));
    // Zeme's direction from the Sun in the plane of the orbits, in degrees.
    auto angle = [](const UniverseModel& u) {
        return std::atan2(u.bodies[4].z - u.bodies[1].z, u.bodies[4].x - u.bodies[1].x) * 180 / M_PI;
    };
    EXPECT_LT(std::fabs(std::remainder(angle(end) - angle(start), 360.0)), 1.0);
    // It went round rather than stood still: its date moved on a year, to
    // within half a tick.
    EXPECT_NEAR(options.date + 365.25, end.datum, 0.5 * 0.005 * start.DayLength());
}

TEST(BatchRun, ALongerUniverseLoadsRunsAndSavesEveryBody) {
    // The built-in system and 49 small bodies on circular orbits between
    // Mars and Jupiter: 60 bodies, more than the built-in eleven.
    UniverseModel many;
    for (int k = BuiltInSlots; k < 60; ++k) {
        Body& b = many.bodies[k];
        b = many.bodies[5];
        std::snprintf(b.meno, sizeof b.meno, "Teleso%d", k);
        const double r = 200 + 5 * k, angle = 0.37 * k;
        const double speed = std::sqrt(many.kapa * many.bodies[SunSlot].hmotnost / r);
        b.hmotnost = 1e-3;
        b.x = r * std::cos(angle), b.y = 0, b.z = r * std::sin(angle);
        b.vx = -speed * std::sin(angle), b.vy = 0, b.vz = speed * std::cos(angle);
    }
    ScratchDir dir;
    const std::string in = dir.File("many.ves"), out = dir.File("year.ves");
    ASSERT_EQ(1, WriteUniverseFile(many, in.c_str()));
    CommandLine options;
    options.loadPath = in.c_str();
    options.simulate = 1;
    ASSERT_EQ(1, ParseSimulationSpan("1y", &options.span));
    options.savePath = out.c_str();
    char message[512];
    ASSERT_EQ(BatchDone, RunBatch(options, message, sizeof message)) << message;
    UniverseModel end;
    ASSERT_EQ(1, ReadUniverseFile(end, out.c_str()));
    EXPECT_EQ(60, UsedSlotEnd(end.bodies));
    for (int k = BuiltInSlots; k < 60; ++k) {
        const Body& b = end.bodies[k];
        const double r = VectorLength(b.x - end.bodies[SunSlot].x, b.y, b.z - end.bodies[SunSlot].z);
        EXPECT_NEAR(200 + 5 * k, r, 0.02 * r) << b.meno << " left its orbit";
    }
}
