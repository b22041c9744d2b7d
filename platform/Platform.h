// The few services that stand in for the operating system: the modal message
// box, the glyphs of the screen font, the on-screen texts in the user's
// language, read-only file access, replacing a file whole, the local time,
// the folder for saved pictures, where the program lies, and two process-wide
// settings. Above platform/ no file calls the system beyond the
// C and C++ standard libraries and the libraries its layer is built on
// (libpng; GL and GLU; SDL): what the system adds comes through this header.
//
// Two implementations: the X11 one the program runs on (platform/*X11.cpp,
// *Posix.cpp, FontFreeType.cpp) and a null one (platform/Null*.cpp) for tests,
// fuzzers and tools: boxes recorded, no font, plain file reads. Both write
// files and read the clock through the same POSIX code (FileReplacePosix.cpp,
// LocalTimePosix.cpp), since tests and tools need real files too.
#ifndef ORRERY_PLATFORM_PLATFORM_H
#define ORRERY_PLATFORM_PLATFORM_H

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <ctime>

// ---- Message box -------------------------------------------------------
enum MessageBoxIcon {
    MessageIconNone = 0,
    MessageIconExclamation = 1
};

// Shows a modal notice with one confirmation and waits for it. The title and
// text also go to standard error. While the notice is up its owner's input is
// released (see below). Without a display only the standard-error line is
// written and nothing waits. The box shows title and text in the user's
// language (Translate); standard error keeps them as given.
void ShowMessageBox(const char* title, const char* text, int icon);
// The same for a text made up of parts (a name, a number): standard error
// gets title and text, the box shownTitle and shownText, already translated.
void ShowMessageBoxAs(const char* title, const char* text, const char* shownTitle, const char* shownText, int icon);

// The program's window as the boxes need it: its native handle (the X11
// window id here; 0 for none), so that a box stands as that window's dialog,
// and two calls around every box that is shown: the first lets go of the
// pointer grab and shows the cursor, which would otherwise leave the box's
// button out of reach, and the second puts both back as they were. Either
// call may be null.
struct MessageBoxOwner {
    uintptr_t window;
    void (*releaseInput)(void* context);
    void (*restoreInput)(void* context);
    void* context;
};
// Boxes shown from now on belong to *owner (copied); null: to nobody, as at start.
void SetMessageBoxOwner(const MessageBoxOwner* owner);

// Pixel height of the boxes' text (12 unless set; 6..128, anything else is
// ignored), so that it can follow the size of the program's own text.
void SetMessageBoxTextSize(int pixels);

// ---- Font --------------------------------------------------------------
// One character of the screen font as a 1-bit picture: `rows` rows from the
// top, `pitch` bytes apart, the leftmost pixel in the highest bit of its byte
// and the bits past `width` clear. `left` runs from the pen to the first
// column and `top` from the baseline up to the top row, in pixels; `advance`
// is how far the pen then moves right. A glyph with nothing to draw (or one
// larger than FontGlyphMaxSide either way) has width and rows 0 and no bits,
// and still its advance.
struct FontGlyph {
    int width;
    int rows;
    int pitch;
    int left;
    int top;
    int advance;
    const unsigned char* bits;
};
enum { FontGlyphMaxSide = 256 };

// Opens a bold fixed-pitch face ("Courier New", or what fontconfig substitutes
// for it) at the given character height in pixels (20 unless configure.txt
// says otherwise). 1 when a font was found; 0, with a line on standard error
// where there should have been one, when there is none: text then draws nothing.
int OpenFont(int pixelHeight);
// The glyph of one Unicode code point in the open font; its bits stay valid
// until the next call or CloseFont. 0 when no font is open, the face has no
// glyph for the character (never its box for a missing one), or it cannot be
// rendered.
int RenderGlyph(uint32_t codePoint, FontGlyph* out);
void CloseFont();

// ---- Translations --------------------------------------------------------
// The texts on the screen and in the boxes are written in the program as
// they appear without translations; each is its own message id. After
// StartTranslations they come from the gettext catalogs in
// folder/<language>/LC_MESSAGES/orrery.mo, as UTF-8, in the language that
// LANGUAGE, LC_ALL, LC_MESSAGES and LANG choose, as gettext chooses it. Only
// the messages category of the locale follows the user, so numbers keep the
// C locale's decimal point. Before that, after StopTranslations, and on the
// null platform every text is its own translation.
// 1 when the catalogs are in use (whether or not one fits the language).
int StartTranslations(const char* folder);
void StopTranslations();
// 1 while translations are in use.
int TranslationsOn();

#if defined(__GNUC__)
#define ORRERY_FORMAT_ARG(index) __attribute__((format_arg(index)))
#else
#define ORRERY_FORMAT_ARG(index)
#endif
// The text in the user's language, or the text itself when the catalog has
// none. A text with printf conversions is a format: a translation whose
// conversions are not the same, in the same order, is not used. The empty
// text stays empty. The result lives as long as the program.
const char* Translate(const char* text) ORRERY_FORMAT_ARG(1);
// The same among the texts of one context only: the names of bodies
// ("body"), which come from files and must not pick up the translation of a
// word of the interface that happens to be spelt the same.
const char* TranslateIn(const char* context, const char* text);
// Marks a text for the catalogs where it is written, when it is translated
// elsewhere (Translate of a table's entry, TranslateIn of a stored name).
#define TRANSLATABLE(text) text
#define TRANSLATABLE_IN(context, text) text

// ---- Read-only files -----------------------------------------------------
struct MappedFile {
    const unsigned char* data;
    size_t size;
    void* handle;   // platform bookkeeping
};

// 1 and a filled MappedFile on success, 0 on failure (no such file, not a
// regular file, unreadable). An empty file gives data == nullptr with size 0
// and still succeeds.
int MapFileReadOnly(const char* path, MappedFile* out);
void UnmapFile(MappedFile* file);

// ---- Writing files ---------------------------------------------------------
// Replaces path whole or not at all: write fills a new file beside it (path +
// ".tmp", in the same folder so that the rename cannot cross file systems),
// which reaches the disk and is renamed over path only when every step
// succeeded; otherwise it is removed and whatever stood at path is left as
// it was. write returns 1 when every write succeeded; 1 when path now holds
// what write wrote, else 0.
int ReplaceFile(const char* path, int (*write)(FILE* f, const void* context), const void* context);

// 1 when anything stands at path, a dangling link included: a rename to that
// name would replace it.
int PathTaken(const char* path);

// ---- Clock -----------------------------------------------------------------
// The present time in the user's time zone, which is looked up afresh, so a
// zone changed while the program runs counts. 1 with *out filled; 0 when the
// clock cannot be read.
int LocalTimeNow(std::tm* out);

// ---- Pictures ------------------------------------------------------------
// The folder where the user keeps pictures: the desktop's configured pictures
// folder, else $HOME/Pictures, else "." (the working folder). Only existing
// folders are named; none is created. 1 when the name fits in `size` bytes
// with its terminator; 0 otherwise, `out` then holding an empty string when
// size > 0.
int PicturesFolder(char* out, size_t size);

// ---- The program ---------------------------------------------------------
// The folder that holds the running program file, links resolved. 1 when
// its name fits in `size` bytes; 0 otherwise, `out` then empty when size > 0.
int ProgramFolder(char* out, size_t size);

// ---- The program's window ------------------------------------------------
// The window as the window system knows it, lent by its owner (the
// application has it from SDL): the connection it was made on (X11: the
// Display*), its top-level window, and the lock the owner wants held around
// every use of that connection (either may be null).
struct NativeWindow {
    void* display;
    uintptr_t window;
    void (*lock)();
    void (*unlock)();
};
// Lets go of the keyboard where the window's input grab took it along with
// the pointer, so that the window manager's keys (Alt+Tab) still work; the
// pointer stays held. A grab belongs to the connection that made it.
void ReleaseKeyboardGrab(const NativeWindow& window);
// Without a window manager, moves the window to the screen's top-left
// corner, where a full-screen window belongs; with one, does nothing.
void PlaceFullScreenWindow(const NativeWindow& window);

// ---- Process -------------------------------------------------------------
// Keeps the libraries loaded so far (the GL driver among them) until the
// process ends, so that leak reports can name them.
void KeepLoadedLibraries();

// When the connection to the display is lost, end the process at once with
// status 1 instead of running exit handlers against a dead connection.
void ExitOnDisplayLoss();

#endif
