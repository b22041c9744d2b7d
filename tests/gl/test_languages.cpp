// The program's text in the user's language. With translate 0 (the default)
// the start screen and the help screen are, pixel for pixel, what they were
// before there were translations; with translate 1 the language the
// environment names, each one's help screen and status lines whole and inside
// a 640 x 480 window, and the texts as written where no catalog fits.
#include <gtest/gtest.h>

#include <dirent.h>
#include <sys/stat.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include <clocale>
#include <fstream>

#include "app/Application.h"
#include "core/app/InfoLine.h"
#include "core/gfx/BmpWriter.h"
#include "core/sim/UniverseModel.h"
#include "gfx/Gl.h"
#include "gfx/GlRenderer.h"
#include "gl/GlTestContext.h"
#include "platform/Platform.h"
#include "support/PngRead.h"
#include "support/TestSupport.h"

namespace {

// A working folder with the given configure.txt and textures of our own, one
// dark colour each, so that the frames depend on no shipped image; a home
// whose Pictures folder receives F12's pictures.
class ScreenFolder {
public:
    explicit ScreenFolder(const std::string& config)
        : home("HOME", dir.File("home").c_str()), xdgConfig("XDG_CONFIG_HOME", dir.File("home").c_str()),
          xdgPictures("XDG_PICTURES_DIR", nullptr) {
        WriteWholeFile(dir.File("configure.txt"), config);
        EXPECT_EQ(0, std::system(("mkdir -p '" + dir.File("home/Pictures") + "' '" +
                                  dir.File("Data/planety_256x128x24") + "'").c_str()));
        const char* names[] = {"Spacea", "0Sun", "1Mercury", "2Venus", "3Earth", "4Mars",
                               "5Jupiter", "6Saturn", "7Uran", "8Neptun", "9Pluto"};
        int shade = 0;
        for (const char* name : names) {
            std::vector<unsigned char> rgb(8 * 4 * 3);
            for (size_t i = 0; i < rgb.size(); i += 3) {
                rgb[i] = (unsigned char)(20 + 9 * shade);
                rgb[i + 1] = (unsigned char)(60 - 4 * shade);
                rgb[i + 2] = (unsigned char)(40 + 3 * (i % 7));
            }
            ++shade;
            const std::string path = dir.File(std::string("Data/planety_256x128x24/") + name + ".bmp");
            EXPECT_EQ(1, WriteBmpFile(path.c_str(), EncodeBmp24(8, 4, rgb.data())));
        }
    }
    // The one picture F12 left in the Pictures folder, removed after reading.
    bool TakePicture(PngPicture* out) {
        const std::string folder = dir.File("home/Pictures");
        DIR* d = opendir(folder.c_str());
        if (!d) return false;
        std::string name;
        while (dirent* e = readdir(d))
            if (e->d_name[0] != '.') name = e->d_name;
        closedir(d);
        if (name.empty()) return false;
        const bool ok = ReadPng(folder + "/" + name, out);
        std::remove((folder + "/" + name).c_str());
        return ok;
    }
    ScratchDir dir;

private:
    ScopedEnv home, xdgConfig, xdgPictures;
};

uint64_t Fnv1a(const std::vector<unsigned char>& bytes) {
    uint64_t h = 1469598103934665603ull;
    for (unsigned char b : bytes) {
        h ^= b;
        h *= 1099511628211ull;
    }
    return h;
}

// The languages of po/LINGUAS.
std::vector<std::string> Languages() {
    std::vector<std::string> out;
    std::ifstream in(ORRERY_SOURCE_DIR "/po/LINGUAS");
    for (std::string word; in >> word;) out.push_back(word);
    return out;
}

// Characters, not bytes: what a fixed-pitch font gives a column each.
int Columns(const std::string& text) {
    int n = 0;
    for (unsigned char c : text) n += (c & 0xC0) != 0x80;
    return n;
}

// The environment a user sets to choose, and the catalogs of this build;
// afterwards the texts as written and the C locale's messages again.
class InLanguage {
public:
    InLanguage(const char* language, const char* lang = "C.UTF-8", const char* lcAll = nullptr)
        : languageEnv("LANGUAGE", language), langEnv("LANG", lang), allEnv("LC_ALL", lcAll),
          messagesEnv("LC_MESSAGES", nullptr) {}
    ~InLanguage() {
        StopTranslations();
        std::setlocale(LC_MESSAGES, "C");
    }
    int Start() { return StartTranslations(ORRERY_CATALOG_DIR); }

private:
    ScopedEnv languageEnv, langEnv, allEnv, messagesEnv;
};

// What the window shows after one frame, through F12 as a user would keep it.
bool DrawnFrame(Application& app, ScreenFolder& folder, PngPicture* out) {
    app.pictureDue = 1;
    app.Render();
    return folder.TakePicture(out);
}

}  // namespace

// The frames of the program without translations, before any tick: the start
// screen and the help screen at 640 x 480. The hashes were taken from the
// program as it was before it had translations, on the machine the tests run
// on (the help screen's since with the F11 line below the others, which alone
// changed it); another renderer or font draws other pixels, so elsewhere this
// skips.
// ORRERY_PRINT_FRAME_HASHES=1 prints the hashes of this build.
TEST(TranslateOff, StartAndHelpScreensArePixelForPixelAsBefore) {
    const char* kRenderer = "llvmpipe (LLVM 15.0.6, 256 bits)";
    const char* kFont = "/usr/share/fonts/truetype/liberation/LiberationMono-Bold.ttf";
    const long kFontBytes = 105460;
    const uint64_t kStartScreen = 0x3e13066301767b51ull;
    // The help screen since its lines below the classic twelve became
    // eight, a little closer (v, selection and the sandbox's keys).
    const uint64_t kHelpScreen = 0x748b1892e74e44d0ull;

    ScreenFolder folder("width 640 height 480\n");
    WorkingDir cd(folder.dir.Path());
    MessageRecorder messages;
    Application app;
    ASSERT_EQ(1, app.Init());
    EXPECT_TRUE(messages.Messages().empty()) << messages.Messages()[0].title << ": " << messages.Messages()[0].text;

    PngPicture start, help;
    ASSERT_TRUE(DrawnFrame(app, folder, &start));
    app.showHelp = 1;
    ASSERT_TRUE(DrawnFrame(app, folder, &help));
    ASSERT_EQ(640, start.width);
    ASSERT_EQ(480, help.height);
    const uint64_t startHash = Fnv1a(start.rgb), helpHash = Fnv1a(help.rgb);
    if (std::getenv("ORRERY_PRINT_FRAME_HASHES"))
        std::printf("start screen 0x%016llx\nhelp screen 0x%016llx\n", (unsigned long long)startHash,
                    (unsigned long long)helpHash);

    const std::string renderer = (const char*)glGetString(GL_RENDERER);
    const std::string font = RunCommand("fc-match -f '%{file}' 'Courier New:bold'");
    struct stat fontStat;
    if (renderer != kRenderer || font != kFont || stat(kFont, &fontStat) != 0 || fontStat.st_size != kFontBytes)
        GTEST_SKIP() << "the reference frames were drawn by " << kRenderer << " with " << kFont << "; here "
                     << renderer << " with " << font;
    EXPECT_EQ(kStartScreen, startHash) << "the start screen differs from the program's before translations";
    EXPECT_EQ(kHelpScreen, helpHash) << "the help screen differs from the program's before translations";
}

// Every language's help screen and status lines as they are drawn at the
// default text size: in the window, every character with its glyph, and the
// key names right-aligned before the dashes.
TEST(Translations, EveryLanguageFitsA640x480WindowWithEveryCharacterDrawn) {
    GlTestContext context(640, 480);
    ASSERT_TRUE(context.Ok()) << context.Error();
    GlRenderer renderer;
    renderer.Resize(640, 480);
    ASSERT_EQ(1, renderer.InitGl());
    const int column = renderer.TextWidth("M");
    ASSERT_GT(column, 0);
    auto rasterX = [] {
        GLfloat raster[4];
        glGetFloatv(GL_CURRENT_RASTER_POSITION, raster);
        return raster[0];
    };
    // Drawn at a screen position: where the text starts and ends, in pixels.
    auto draw = [&](float x, float y, int shift, const std::string& text, float* start, float* end) {
        renderer.PrintScreenShifted(x, y, shift, 1, 1, 1, "%s", "");
        *start = rasterX();
        renderer.PrintScreenShifted(x, y, shift, 1, 1, 1, "%s", text.c_str());
        *end = rasterX();
    };
    auto fits = [&](float x, float y, int shift, const std::string& text, const std::string& lang) {
        float start = 0, end = 0;
        draw(x, y, shift, text, &start, &end);
        EXPECT_GE(start, 0) << lang << ": \"" << text << "\" starts outside the window";
        EXPECT_LE(end, 640) << lang << ": \"" << text << "\" runs past the right edge";
        EXPECT_EQ(Columns(text) * column, end - start) << lang << ": a character of \"" << text << "\" has no glyph";
    };

    const std::vector<std::string> languages = Languages();
    ASSERT_GE(languages.size(), 8u);
    for (const std::string& lang : languages) {
        InLanguage choice(lang.c_str());
        ASSERT_EQ(1, choice.Start());
        ASSERT_STRNE("help - F1", Translate("hyperrychlost: %i")) << lang << ": no catalog";
        float y = 0;
        for (int i = 0; const char* id = HelpScreenLine(i, &y); ++i) {
            const std::string line = Translate(id);
            fits(-1, y, 0, line, lang);
            EXPECT_LE(Columns(line), 52) << lang << ": " << line;
            // Key names end in column 21, the dashes follow, as in the lines as written.
            const std::string idLine = id;
            if (idLine.find(" - ") == 21) {
                const size_t dash = line.find(" - ");
                ASSERT_NE(std::string::npos, dash) << lang << ": " << line;
                EXPECT_EQ(21, Columns(line.substr(0, dash))) << lang << ": " << line;
                EXPECT_NE(' ', line[dash - 1]) << lang << ": " << line;
            } else if (!idLine.empty()) {
                EXPECT_EQ(idLine.find_first_not_of(' '), line.find_first_not_of(' ')) << lang << ": the heading moved";
            }
        }

        // The status lines with the longest body name, the widest numbers and
        // the hint where the application puts it.
        std::string longest;
        UniverseModel universe;
        for (const Body& b : universe.bodies)
            if (Columns(TranslateIn("body", b.meno)) > Columns(longest)) longest = TranslateIn("body", b.meno);
        char text[256];
        std::snprintf(text, sizeof text, "%d/%d %s", 10, 10, longest.c_str());
        fits(-1, -1, 0, text, lang);
        std::snprintf(text, sizeof text, Translate("hyperrychlost: %i"), -324);
        fits(-1, 0.94f, 0, text, lang);
        const char* hint = Translate("help - F1");
        fits(0.65f, -1, renderer.TextWidth("help - F1") - renderer.TextWidth(hint), hint, lang);
        universe.hasDate = 1;
        universe.datum = 2469807.5;  // 2050-01-01
        FormatInfoLine(universe, 0, text, sizeof text);
        fits(-1, 0.88f, 0, text, lang);
        FormatInfoLine(universe, 1, text, sizeof text);
        fits(-1, 0.88f, 0, text, lang);
    }
    EXPECT_EQ(0, renderer.missingGlyphs);
    renderer.ReleaseFont();
}

// translate 1 through configure.txt: the language the environment names, in
// the help screen and in a box (whose standard-error line keeps the text as
// written); a language without a catalog, the texts as written, pixel for pixel.
TEST(Translations, TranslateOneFollowsTheEnvironmentAndFallsBackToTheTextsAsWritten) {
    PngPicture asWritten, german, unknown;
    {
        ScreenFolder folder("translate 0\n");
        WorkingDir cd(folder.dir.Path());
        Application app;
        ASSERT_EQ(1, app.Init());
        app.showHelp = 1;
        ASSERT_TRUE(DrawnFrame(app, folder, &asWritten));
    }
    {
        InLanguage choice("xx");
        ScreenFolder folder("translate 1\n");
        WorkingDir cd(folder.dir.Path());
        Application app;
        app.catalogFolder = ORRERY_CATALOG_DIR;
        ASSERT_EQ(1, app.Init());
        EXPECT_EQ(1, TranslationsOn());
        app.showHelp = 1;
        ASSERT_TRUE(DrawnFrame(app, folder, &unknown));
    }
    EXPECT_TRUE(asWritten.rgb == unknown.rgb) << "LANGUAGE=xx has no catalog: the help screen as written";
    {
        InLanguage choice("de");
        ScreenFolder folder("translate 1\n");
        std::remove(folder.dir.File("Data/planety_256x128x24/3Earth.bmp").c_str());
        WorkingDir cd(folder.dir.Path());
        MessageRecorder messages;
        Application app;
        app.catalogFolder = ORRERY_CATALOG_DIR;
        ASSERT_EQ(1, app.Init());
        ASSERT_EQ(1u, messages.Messages().size());
        EXPECT_EQ("Textur konnte nicht geladen werden", messages.Messages()[0].title);
        EXPECT_EQ("Erde (Nr. 4) aus der Datei Data/planety_256x128x24/3Earth.bmp", messages.Messages()[0].text);
        float y;
        EXPECT_STREQ("                   F1 - diese Hilfe anzeigen", Translate(HelpScreenLine(2, &y)));
        app.showHelp = 1;
        ASSERT_TRUE(DrawnFrame(app, folder, &german));
        EXPECT_FALSE(german.rgb == asWritten.rgb);
        EXPECT_EQ(0, app.renderer.missingGlyphs);
    }
}

// Which language the environment chooses, as gettext chooses it, with the
// two cases where gettext alone would drop a choice the user made; the
// numbers keep their decimal point in a language that writes a comma.
TEST(Translations, TheEnvironmentChoosesTheLanguageAndNumbersKeepTheirPoint) {
    const struct {
        const char* language;
        const char* lang;
        const char* lcAll;
        const char* text;
        const char* expected;
    } cases[] = {
        {"de", "C.UTF-8", nullptr, "Error", "Fehler"},
        {"xx:pl:de", "C.UTF-8", nullptr, "Error", "Błąd"},     // the first language with a catalog
        {nullptr, "C.UTF-8", nullptr, "Error", "Error"},       // none named: as written
        {"ru", nullptr, nullptr, "Error", "Ошибка"},           // LANGUAGE alone
        {nullptr, "de_AT.UTF-8", nullptr, "Error", "Fehler"},  // a locale not installed: its language
        {"fr", "C.UTF-8", "C", "Error", "Error"},              // "C" on purpose: as written
        {nullptr, "C.UTF-8", "es_ES.UTF-8", "OK", "Aceptar"},  // LC_ALL before LANG
        {nullptr, "cs_CZ.UTF-8", nullptr, "Error", "Chyba"},   // an installed locale
    };
    for (const auto& c : cases) {
        InLanguage choice(c.language, c.lang, c.lcAll);
        ASSERT_EQ(1, choice.Start());
        EXPECT_STREQ(c.expected, Translate(c.text)) << "LANGUAGE=" << (c.language ? c.language : "")
                                                   << " LANG=" << (c.lang ? c.lang : "")
                                                   << " LC_ALL=" << (c.lcAll ? c.lcAll : "");
    }

    InLanguage czech(nullptr, "cs_CZ.UTF-8");
    ASSERT_EQ(1, czech.Start());
    if (!std::setlocale(LC_MESSAGES, nullptr) || std::string(std::setlocale(LC_MESSAGES, nullptr)) == "C")
        GTEST_SKIP() << "no cs_CZ.UTF-8 locale (tools/install-deps.sh test makes one)";
    EXPECT_STREQ("C", std::setlocale(LC_NUMERIC, nullptr)) << "numbers keep the C locale";
    UniverseModel universe;
    char line[128];
    FormatInfoLine(universe, 0, line, sizeof line);
    EXPECT_STREQ("čas: 0.0 dne  +1.68 dne/s", line);
}

// A catalog is input from outside: one whose translation of a format takes
// other arguments than the program passes (or reorders them, or writes with
// %n) is not used for that text; the texts around it still are.
TEST(Translations, AFormatWhoseConversionsDifferIsNotUsed) {
    ScratchDir dir;
    ASSERT_EQ(0, std::system(("mkdir -p '" + dir.File("xx/LC_MESSAGES") + "'").c_str()));
    WriteWholeFile(dir.File("xx.po"),
                   "msgid \"\"\nmsgstr \"Content-Type: text/plain; charset=UTF-8\\n\"\n\n"
                   "msgid \"hyperrychlost: %i\"\nmsgstr \"speed: %s\"\n\n"
                   "msgid \"datum: %s UT\"\nmsgstr \"%2$s %1$s\"\n\n"
                   "msgid \"%s  pauza\"\nmsgstr \"%s%n paused\"\n\n"
                   "msgid \"cas: %.1f dne\"\nmsgstr \"time %.3f d\"\n\n"
                   "msgid \"%s c.: %d ze souboru: %s!\"\nmsgstr \"%s %d\"\n\n"
                   "msgid \"help - F1\"\nmsgstr \"F1: help 100%\"\n");
    // Without --check, as a careless or hostile catalog would be made.
    ASSERT_EQ(0, std::system(("msgfmt -o '" + dir.File("xx/LC_MESSAGES/orrery.mo") + "' '" + dir.File("xx.po") + "'")
                                 .c_str()));
    ScopedEnv language("LANGUAGE", "xx"), lang("LANG", "C.UTF-8");
    ASSERT_EQ(1, StartTranslations(dir.Path().c_str()));
    EXPECT_STREQ("hyperrychlost: %i", Translate("hyperrychlost: %i")) << "%s for %i";
    EXPECT_STREQ("datum: %s UT", Translate("datum: %s UT")) << "positional arguments";
    EXPECT_STREQ("%s  pauza", Translate("%s  pauza")) << "%n";
    EXPECT_STREQ("%s c.: %d ze souboru: %s!", Translate("%s c.: %d ze souboru: %s!")) << "an argument fewer";
    EXPECT_STREQ("time %.3f d", Translate("cas: %.1f dne")) << "another precision takes the same argument";
    EXPECT_STREQ("F1: help 100%", Translate("help - F1")) << "no format: drawn as it stands";
    StopTranslations();
    std::setlocale(LC_MESSAGES, "C");
}
