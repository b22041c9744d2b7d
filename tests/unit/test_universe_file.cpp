// The universe file: what the writer puts down, what the forgiving reader
// takes back, and that no save loses data or an older file.
#include <gtest/gtest.h>

#include <cfloat>
#include <charconv>
#include <clocale>
#include <cmath>
#include <cstdlib>
#include <cstdio>
#include <cstring>
#include <random>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

#include "core/sim/Keys.h"
#include "core/sim/UniverseModel.h"
#include "core/sim/UniverseFile.h"
#include "support/TestSupport.h"

namespace {

std::string Written(const UniverseModel& u) {
    char* buffer = nullptr;
    size_t size = 0;
    FILE* f = open_memstream(&buffer, &size);
    EXPECT_EQ(1, WriteUniverseStream(u, f));
    std::fclose(f);
    std::string text(buffer, size);
    std::free(buffer);
    return text;
}

int Read(UniverseModel& u, const std::string& text) { return ReadUniverseText(u, text.data(), text.size()); }

std::string Format(double v) {
    char text[UniverseNumberMaxChars];
    EXPECT_GT(FormatUniverseNumber(v, text, sizeof text), 0);
    return text;
}

bool SameBits(double a, double b) { return std::memcmp(&a, &b, sizeof a) == 0; }

void ExpectSameBodies(const UniverseModel& expected, const UniverseModel& actual) {
    for (int i = 0; i < BuiltInSlots; ++i) {
        const Body& e = expected.bodies[i];
        const Body& a = actual.bodies[i];
        EXPECT_STREQ(e.meno, a.meno) << "slot " << i;
        EXPECT_STREQ(e.soubor, a.soubor) << "slot " << i;
        const double ev[] = {e.x, e.y, e.z, e.vx, e.vy, e.vz, e.hmotnost, e.polomer, e.rotace, e.osa_rotace};
        const double av[] = {a.x, a.y, a.z, a.vx, a.vy, a.vz, a.hmotnost, a.polomer, a.rotace, a.osa_rotace};
        for (int f = 0; f < 10; ++f) EXPECT_TRUE(SameBits(ev[f], av[f])) << "slot " << i << " field " << f << ": expected " << ev[f] << ", got " << av[f];
    }
}

const char kHeader[] = "poc_planet\t11\ndeltat\t0.005000\nkapa\t0.010000\n"
                       "//meno\tsoubor\tpolomer\thmotnost\tx\ty\tz\tvx\tvy\tvz\trotace\tosa_rotace\n";

std::string BodyLine(const std::string& name, double mass) {
    return "ins\t" + name + "\t" + name + ".bmp\t1.000000\t" + Format(mass) +
           "\t1.000000\t2.000000\t3.000000\t4.000000\t5.000000\t6.000000\t7.000000\t8.000000\n";
}

void MakeDataDir(const ScratchDir& dir) { ASSERT_EQ(0, mkdir(dir.File("Data").c_str(), 0755)); }

}  // namespace

// ---------------------------------------------------------------- writing

TEST(UniverseFileWriter, BuiltInSystemKeepsTheFamiliarLayout) {
    UniverseModel u;
    const std::string text = Written(u);
    EXPECT_EQ(0u, text.find(kHeader));
    EXPECT_NE(std::string::npos,
              text.find("\nins\tVesmir\tData/planety_256x128x24/Spacea.bmp\t5000.000000\t1.000000\t0.000000\t"));
    EXPECT_NE(std::string::npos, text.find("\nins\tPluto\tData/planety_256x128x24/9Pluto.bmp\t0.018000\t0.002000\t"));
    size_t lines = 0;
    for (char c : text) lines += c == '\n';
    EXPECT_EQ(15u, lines);
}

TEST(UniverseFileWriter, DatedUniverseAddsOneDatumLineThatReadsBack) {
    UniverseModel u;
    EXPECT_EQ(std::string::npos, Written(u).find("datum")) << "undated files stay as they were";
    u.hasDate = 1;
    u.datum = 2451545.0 + 0.1;
    const std::string text = Written(u);
    const size_t kapa = text.find("kapa\t0.010000\n");
    ASSERT_NE(std::string::npos, kapa);
    EXPECT_EQ(kapa + 14, text.find("datum\t2451545.1")) << text;

    UniverseModel back;
    back.elapsed = 5;
    EXPECT_EQ(11, Read(back, text));
    EXPECT_EQ(1, back.hasDate);
    EXPECT_EQ(u.datum, back.datum);
    EXPECT_EQ(0.0, back.elapsed) << "a loaded universe starts its own clock";

    // A file without the line gives a universe without a date.
    EXPECT_EQ(11, Read(back, Written(UniverseModel())));
    EXPECT_EQ(0, back.hasDate);
}

TEST(UniverseFileWriter, NumbersAreFixedPointWithAtLeastSixDecimalsAndExact) {
    EXPECT_EQ("0.005000", Format(0.005));
    EXPECT_EQ("5000.000000", Format(5000));
    EXPECT_EQ("-23.500000", Format(-23.5));
    EXPECT_EQ("0.000000001", Format(1e-9));
    EXPECT_EQ("0.30000000000000004", Format(0.1 + 0.2));
    EXPECT_EQ("-0.000000", Format(-0.0));
    EXPECT_EQ("inf", Format(HUGE_VAL));
    EXPECT_EQ("-inf", Format(-HUGE_VAL));
    EXPECT_EQ("nan", Format(std::nan("")));
    EXPECT_EQ("-nan", Format(-std::nan("")));

    std::mt19937_64 bits(12345);
    std::vector<double> values = {DBL_MAX, -DBL_MAX, DBL_MIN, DBL_TRUE_MIN, -DBL_TRUE_MIN, 2.2250738585072009e-308};
    for (int i = 0; i < 20000; ++i) {
        uint64_t b = bits();
        double v;
        std::memcpy(&v, &b, sizeof v);
        if (std::isfinite(v)) values.push_back(v);
    }
    for (double v : values) {
        const std::string s = Format(v);
        ASSERT_EQ(std::string::npos, s.find_first_of("eE,")) << s;
        const size_t dot = s.find('.');
        ASSERT_NE(std::string::npos, dot) << s;
        ASSERT_GE(s.size() - dot - 1, 6u) << s;
        double back = 0;
        std::from_chars(s.data(), s.data() + s.size(), back);
        ASSERT_TRUE(SameBits(v, back)) << "expected " << v << " back from " << s;
    }
    char small[8];
    EXPECT_EQ(0, FormatUniverseNumber(12345.5, small, sizeof small)) << "too small a buffer is refused";
}

TEST(UniverseFileWriter, NoLocaleChangesTheDecimalPoint) {
    const char* commaLocales[] = {"de_DE.UTF-8", "cs_CZ.UTF-8", "fr_FR.UTF-8"};
    const char* found = nullptr;
    for (const char* name : commaLocales)
        if (std::setlocale(LC_ALL, name)) {
            found = name;
            break;
        }
    if (!found) GTEST_SKIP() << "no locale with a decimal comma installed";
    UniverseModel u, back;
    const std::string text = Written(u);
    Read(back, text);
    std::setlocale(LC_ALL, "C");
    EXPECT_NE(std::string::npos, text.find("deltat\t0.005000\n"));
    ExpectSameBodies(u, back);
}

// ---------------------------------------------------------------- round trips

TEST(UniverseFileRoundTrip, EveryBodyComesBackBitForBit) {
    UniverseModel u;
    for (int i = 0; i < 321; ++i) u.Step();
    u.bodies[9].hmotnost = 1e-9;
    u.deltat = 0.1 + 0.2;
    u.kapa = 1.0 / 3;
    UniverseModel back;
    for (Body& b : back.bodies) b.x = b.vz = 77;
    EXPECT_EQ(11, Read(back, Written(u)));
    EXPECT_TRUE(SameBits(u.deltat, back.deltat));
    EXPECT_TRUE(SameBits(u.kapa, back.kapa));
    ExpectSameBodies(u, back);
    EXPECT_EQ(1e-9, back.bodies[9].hmotnost) << "a tiny mass must not vanish";
}

// A body's traits (what a real body has beyond the columns) follow its line
// and come back bit for bit, the parent by slot even when slots before it
// were unused; a file without them clears them, and a traits line with no
// body line before it belongs to nobody.
TEST(UniverseFileRoundTrip, TraitsComeBackWithTheirBodies) {
    UniverseModel u;
    u.bodies[3].hmotnost = 0;  // Venuse gone: Zeme is the third body line
    u.bodies[20] = u.bodies[5];
    BodyTraits& moon = u.traits[20];
    moon.parent = 4;
    moon.radius = 1.0 / 3;
    moon.j2 = 1e-3, moon.j4 = -2e-6, moon.jRadius = 0.0042;
    moon.pole[0] = 0.1, moon.pole[1] = -0.9, moon.pole[2] = std::sqrt(0.18);
    moon.w0 = 190.147, moon.wRate = 360.9856235, moon.moonStep = 0.07;
    u.traits[4].moonStep = 0.25;
    const std::string text = Written(u);
    EXPECT_NE(std::string::npos, text.find("//vlastnosti\trodic")) << text;

    UniverseModel back;
    ASSERT_EQ(11, Read(back, text));
    BodyTraits expected = moon;
    expected.parent = 3;  // Zeme is slot 3 once Venuse is gone
    EXPECT_EQ(0, std::memcmp(&expected, &back.traits[10], sizeof moon)) << "the moon, now slot 10";
    EXPECT_EQ(0.25, back.traits[3].moonStep);
    BodyTraits none = {};
    EXPECT_EQ(0, std::memcmp(&none, &back.traits[5], sizeof none)) << "a body without traits has none";

    EXPECT_EQ(UniverseModel().bodies[4].hmotnost, (Read(back, Written(UniverseModel())), back.bodies[4].hmotnost));
    EXPECT_EQ(0, std::memcmp(&none, &back.traits[10], sizeof none)) << "a file without traits clears them";
    Read(back, std::string(kHeader) + "vlastnosti\t0\t5\n" + BodyLine("A", 1));
    EXPECT_EQ(0.0, back.traits[0].radius) << "traits before any body line";
    EXPECT_EQ(std::string::npos, Written(UniverseModel()).find("vlastnosti")) << "the built-in file is as it was";
}

// What a save writes right after the time keys moved the rate (and with it
// the velocities to the new step) is what the next tick goes on from: the
// file loaded back runs on exactly as the universe that wrote it, at a
// single step and at many steps a tick.
TEST(UniverseFileRoundTrip, ASaveRightAfterARateChangeRunsOnAsTheSaver) {
    unsigned char keys[512] = {};
    for (int held : {KeyKeypadMinus, KeyKeypadPlus}) {
        UniverseModel u;
        for (int i = 0; i < 100; ++i) u.Step();
        keys[held] = 1;
        for (int i = 0; i < 40; ++i) u.ApplyTimeKeys(keys), u.Step();
        u.ApplyTimeKeys(keys);
        keys[held] = 0;
        UniverseModel back;
        Read(back, Written(u));
        for (int i = 0; i < 50; ++i) u.Step(), back.Step();
        ExpectSameBodies(u, back);
    }
}

TEST(UniverseFileRoundTrip, SunsSmallVelocityComesBackExactly) {
    UniverseModel u, back;
    back.bodies[1].vx = back.bodies[1].vz = 0;
    Read(back, Written(u));
    EXPECT_EQ(u.bodies[1].vx, back.bodies[1].vx);
    EXPECT_EQ(u.bodies[1].vz, back.bodies[1].vz);
}

TEST(UniverseFileRoundTrip, UnusedSlotsAreLeftOutAndLaterBodiesMoveDown) {
    UniverseModel u, back;
    u.bodies[3].hmotnost = 0;
    EXPECT_EQ(10, Read(back, Written(u)));
    EXPECT_STREQ("Zeme", back.bodies[3].meno);
    EXPECT_EQ(0.0, back.bodies[10].hmotnost);
    EXPECT_STREQ("", back.bodies[10].meno);
}

TEST(UniverseFileRoundTrip, OldSixDecimalFilesStillRead) {
    UniverseModel u, back;
    std::string text = "poc_planet\t11\ndeltat\t0.005000\nkapa\t0.010000\n//c\n";
    char line[1024];
    for (int i = 0; i < BuiltInSlots; ++i) {
        const Body& b = u.bodies[i];
        std::snprintf(line, sizeof line, "ins\t%s\t%s\t%f\t%f\t%f\t%f\t%f\t%f\t%f\t%f\t%f\t%f\n", b.meno, b.soubor,
                      b.polomer, b.hmotnost, b.x, b.y, b.z, b.vx, b.vy, b.vz, b.rotace, b.osa_rotace);
        text += line;
    }
    EXPECT_EQ(11, Read(back, text));
    EXPECT_EQ(-0.002341, back.bodies[1].vx);
    EXPECT_EQ(0.000497, back.bodies[1].vz);
    EXPECT_EQ(-5.768873, back.bodies[4].vx);
    EXPECT_STREQ("Pluto", back.bodies[10].meno);
}

// ---------------------------------------------------------------- reading

TEST(UniverseFileReader, TakesAsManyBodiesAsTheTableHoldsAndCountsTheRest) {
    std::string text = kHeader;
    for (int i = 0; i < UniverseSlots; ++i) text += BodyLine("B" + std::to_string(i), 1 + i);
    text += "ins\tkapa\t0.5\n";  // one body line too many: its words stand on their own
    text += BodyLine("C", 2);
    UniverseModel u;
    int leftOut = -1;
    EXPECT_EQ(UniverseSlots, ReadUniverseText(u, text.data(), text.size(), &leftOut));
    EXPECT_EQ(2, leftOut);
    EXPECT_STREQ("B63", u.bodies[UniverseSlots - 1].meno);
    EXPECT_EQ(64.0, u.bodies[UniverseSlots - 1].hmotnost);
    EXPECT_EQ(0.5, u.kapa);
}

TEST(UniverseFileReader, BodyCountKeywordIsIgnored) {
    std::string text = "poc_planet 3\n";
    for (int i = 0; i < 5; ++i) text += BodyLine("B" + std::to_string(i), 2);
    UniverseModel u;
    EXPECT_EQ(5, Read(u, text));
    EXPECT_STREQ("B4", u.bodies[4].meno);
    for (int i = 5; i < UniverseSlots; ++i) {
        EXPECT_EQ(0.0, u.bodies[i].hmotnost) << "slot " << i;
        EXPECT_STREQ("", u.bodies[i].meno) << "slot " << i;
    }
    EXPECT_NE(0.0, u.bodies[7].polomer) << "other fields of a cleared slot stay";
}

TEST(UniverseFileReader, MissingSettingsKeepTheirValues) {
    UniverseModel u;
    u.deltat = -0.75;
    u.kapa = 0.02;
    Read(u, "poc_planet\t11\n" + BodyLine("A", 1));
    EXPECT_EQ(-0.75, u.deltat);
    EXPECT_EQ(0.02, u.kapa);
    EXPECT_EQ(0, Read(u, " \t\r\n"));
    EXPECT_EQ(0.0, u.bodies[0].hmotnost);
    EXPECT_EQ(-0.75, u.deltat);
}

TEST(UniverseFileReader, AcceptsAnyLayoutOfWhiteSpace) {
    const std::string crlf = "poc_planet\t11\r\ndeltat\t0.25\r\nkapa\t0.5\r\n//comment\r\n"
                             "ins\tA\ta.bmp\t1\t2\t3\t4\t5\t6\t7\t8\t9\t10\r\n";
    const std::string scattered = "deltat\n\n 0.25 kapa\t\t\n0.5\n//comment\n"
                                  "ins A\na.bmp 1 2\n3\n4 5 6 7\v8\f9    10";
    const std::string trailingComment = "deltat 0.25 kapa 0.5 ins A a.bmp 1 2 3 4 5 6 7 8 9 10\n// no newline";
    for (const std::string& text : {crlf, scattered, trailingComment}) {
        UniverseModel u;
        EXPECT_EQ(1, Read(u, text)) << text;
        EXPECT_EQ(0.25, u.deltat);
        EXPECT_EQ(0.5, u.kapa);
        EXPECT_STREQ("A", u.bodies[0].meno);
        EXPECT_STREQ("a.bmp", u.bodies[0].soubor);
        EXPECT_EQ(1.0, u.bodies[0].polomer);
        EXPECT_EQ(2.0, u.bodies[0].hmotnost);
        EXPECT_EQ(10.0, u.bodies[0].osa_rotace);
    }
}

TEST(UniverseFileReader, CommentLineSkipsToItsEnd) {
    UniverseModel u;
    EXPECT_EQ(0, Read(u, "//deltat 7 ins A b 1 2 3 4 5 6 7 8 9 10\ndeltat 0.5"));
    EXPECT_EQ(0.5, u.deltat);
    Read(u, "Deltat 3 DELTAT 4 deltat2 5 /x 6");
    EXPECT_EQ(0.5, u.deltat) << "keywords match exactly and with case";
}

TEST(UniverseFileReader, OverlongWordsAreCutToTheirFields) {
    const std::string longName(2000, 'N'), longPath(2000, 'P'), longWord(5000, 'w');
    UniverseModel u;
    EXPECT_EQ(1, Read(u, longWord + " ins " + longName + " " + longPath + " 1 2 3 4 5 6 7 8 9 10"));
    EXPECT_EQ(std::string(49, 'N'), u.bodies[0].meno);
    EXPECT_EQ(std::string(261, 'P'), u.bodies[0].soubor);
    EXPECT_EQ(1.0, u.bodies[0].polomer) << "the cut-off rest must not become the next field";
    EXPECT_EQ(10.0, u.bodies[0].osa_rotace);
}

TEST(UniverseFileReader, UnreadableValueKeepsItsFieldAndIsMetAgainAsAWord) {
    UniverseModel u;
    u.deltat = 0.125;
    Read(u, "deltat kapa 0.5");
    EXPECT_EQ(0.125, u.deltat);
    EXPECT_EQ(0.5, u.kapa);
    Read(u, "poc_planet deltat 2");
    EXPECT_EQ(2.0, u.deltat);

    UniverseModel v;
    const Body before = v.bodies[0];
    EXPECT_EQ(2, Read(v, "ins A a.bmp 7 heavy 1 2 3 ins B b.bmp 9 9 deltat 0.5"));
    EXPECT_STREQ("A", v.bodies[0].meno);
    EXPECT_EQ(7.0, v.bodies[0].polomer);
    EXPECT_EQ(before.hmotnost, v.bodies[0].hmotnost) << "the line stopped at \"heavy\"";
    EXPECT_EQ(before.x, v.bodies[0].x);
    EXPECT_STREQ("B", v.bodies[1].meno);
    EXPECT_EQ(9.0, v.bodies[1].hmotnost);
    EXPECT_EQ(0.5, v.deltat) << "\"deltat\" ended body B's numbers and was read as a keyword";
}

TEST(UniverseFileReader, NulByteSeparatesWordsSoNamesNeverComeOutEmpty) {
    UniverseModel u;
    const char text[] = "ins A\0B \0c.bmp 1 2";
    EXPECT_EQ(1, Read(u, std::string(text, sizeof text - 1)));
    EXPECT_STREQ("A", u.bodies[0].meno);
    EXPECT_STREQ("B", u.bodies[0].soubor);
    EXPECT_EQ(5000.0, u.bodies[0].polomer) << "\"c.bmp\" is no number";
}

TEST(UniverseFileReader, LineCutShortStillCountsAndKeepsOldFields) {
    UniverseModel u;
    EXPECT_EQ(1, Read(u, "ins Nove"));
    EXPECT_STREQ("Nove", u.bodies[0].meno);
    EXPECT_STREQ("Data/planety_256x128x24/Spacea.bmp", u.bodies[0].soubor);
    EXPECT_EQ(5000.0, u.bodies[0].polomer);
    EXPECT_EQ(0.0, u.bodies[1].hmotnost);
}

TEST(UniverseFileReader, NumbersReadLikeStrtodInTheCLocale) {
    struct Case {
        const char* text;
        double value;
    };
    const Case cases[] = {{"+5", 5},       {".5", 0.5},         {"5.", 5},           {"-1.5e3", -1500},
                          {"1e999", HUGE_VAL}, {"-1e999", -HUGE_VAL}, {"1e-999", 0},     {"0.000e99999", 0},
                          {"inf", HUGE_VAL}, {"-Infinity", -HUGE_VAL}, {"12abc", 12}, {"1e", 1},
                          // Hexadecimal, as peers writing with %a produce it.
                          {"0x1.8p+3", 12}, {"-0X1P-2", -0.25}, {"0x10", 16}, {"0x.8", 0.5}, {"0x1.8", 1.5},
                          {"0x1p99999", HUGE_VAL}, {"-0x1p-99999", -0.0}, {"0x", 0}, {"0xg", 0}, {"0x1p", 1}};
    for (const Case& c : cases) {
        UniverseModel u;
        Read(u, std::string("deltat ") + c.text);
        EXPECT_EQ(c.value, u.deltat) << c.text;
        EXPECT_EQ(std::strtod(c.text, nullptr), u.deltat) << c.text << " as strtod reads it";
    }
    {
        UniverseModel u;
        Read(u, "deltat 0x1p-3 kapa 0x1.8p1");
        EXPECT_EQ(0.125, u.deltat);
        EXPECT_EQ(3.0, u.kapa) << "the word after a hexadecimal number is read as usual";
    }
    for (const char* bad : {"--5", "+-5", "-", ".", "e5", "x1"}) {
        UniverseModel u;
        Read(u, std::string("deltat ") + bad);
        EXPECT_EQ(0.005, u.deltat) << bad;
    }
    UniverseModel u;
    Read(u, "deltat nan");
    EXPECT_TRUE(std::isnan(u.deltat));
}

// ---------------------------------------------------------------- the file itself

TEST(UniverseFileSaveLoad, SaveWritesTheFileAndLeavesNoTemporary) {
    ScratchDir dir;
    MakeDataDir(dir);
    WorkingDir cwd(dir.Path());
    WriteWholeFile(dir.File("Data/vesmir.ves"), "old");
    UniverseModel u;
    WriteUniverseFile(u, UniverseFileName);
    EXPECT_EQ(Written(u), ReadWholeFile(dir.File("Data/vesmir.ves")));
    EXPECT_NE(0, access(dir.File("Data/vesmir.ves.tmp").c_str(), F_OK));
}

TEST(UniverseFileSaveLoad, FailedSaveLeavesTheOldFileAsItWas) {
    ScratchDir dir;
    MakeDataDir(dir);
    const std::string file = dir.File("Data/vesmir.ves"), temp = file + ".tmp";
    ASSERT_TRUE(WriteWholeFile(file, "old contents"));
    UniverseModel u;

    // The disk fills up while writing.
    ASSERT_EQ(0, symlink("/dev/full", temp.c_str()));
    EXPECT_EQ(0, WriteUniverseFile(u, file.c_str()));
    EXPECT_EQ("old contents", ReadWholeFile(file));
    struct stat st;
    EXPECT_NE(0, lstat(temp.c_str(), &st)) << "the temporary file is removed";

    // The temporary file cannot be created.
    ASSERT_EQ(0, mkdir(temp.c_str(), 0755));
    EXPECT_EQ(0, WriteUniverseFile(u, file.c_str()));
    EXPECT_EQ("old contents", ReadWholeFile(file));
    rmdir(temp.c_str());

    // The old file cannot be replaced.
    const std::string blocked = dir.File("Data/blocked");
    ASSERT_EQ(0, mkdir(blocked.c_str(), 0755));
    ASSERT_TRUE(WriteWholeFile(blocked + "/inside", "kept"));
    EXPECT_EQ(0, WriteUniverseFile(u, blocked.c_str()));
    EXPECT_EQ("kept", ReadWholeFile(blocked + "/inside"));
    EXPECT_NE(0, access((blocked + ".tmp").c_str(), F_OK));
}

TEST(UniverseFileSaveLoad, SaveWithDataBeingAFileDoesNothing) {
    ScratchDir dir;
    ASSERT_TRUE(WriteWholeFile(dir.File("Data"), "not a folder"));
    WorkingDir cwd(dir.Path());
    UniverseModel u;
    WriteUniverseFile(u, UniverseFileName);
    EXPECT_EQ("not a folder", ReadWholeFile(dir.File("Data")));
}

TEST(UniverseFileSaveLoad, OversizedFileIsLeftAlone) {
    ScratchDir dir;
    const std::string path = dir.File("big.ves");
    std::string text = "deltat 0.25 ";
    text.resize(static_cast<size_t>(UniverseFileMaxBytes) + 1, ' ');
    ASSERT_TRUE(WriteWholeFile(path, text));
    UniverseModel u;
    EXPECT_EQ(0, ReadUniverseFile(u, path.c_str()));
    EXPECT_EQ(0.005, u.deltat);
    EXPECT_STREQ("Vesmir", u.bodies[0].meno);

    text.resize(static_cast<size_t>(UniverseFileMaxBytes));
    ASSERT_TRUE(WriteWholeFile(path, text));
    EXPECT_EQ(1, ReadUniverseFile(u, path.c_str()));
    EXPECT_EQ(0.25, u.deltat);
}
