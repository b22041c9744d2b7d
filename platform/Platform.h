// The few services that stand in for the operating system: the modal message
// box, the font glyphs for GL bitmap lists, read-only file access, the folder
// for saved pictures, and two process-wide settings. app/, sim/ and gfx/ reach
// X11 only through this header.
//
// Two implementations: the X11 one the program runs on (platform/*X11.cpp,
// *Posix.cpp, FontFreeType.cpp) and a null one (platform/Null*.cpp) for tests,
// fuzzers and tools: boxes recorded, no font, plain file reads.
#ifndef ORRERY_PLATFORM_PLATFORM_H
#define ORRERY_PLATFORM_PLATFORM_H

#include <cstddef>
#include <cstdint>

// ---- Message box -------------------------------------------------------
enum MessageBoxIcon {
    MessageIconNone = 0,
    MessageIconExclamation = 1
};

// Shows a modal notice with one confirmation and waits for it. The title and
// text also go to standard error. While the notice is up the SDL input grab is
// released and the cursor shown; both come back after. Without a display only
// the standard-error line is written and nothing waits.
void ShowMessageBox(const char* title, const char* text, int icon);

// Pixel height of the boxes' text (12 unless set; 6..128, anything else is
// ignored), so that it can follow the size of the program's own text.
void SetMessageBoxTextSize(int pixels);

// ---- Font --------------------------------------------------------------
// Fills the 96 display lists listBase .. listBase+95 with the glyphs of
// characters 32..127 of a bold fixed-pitch face ("Courier New", or what
// fontconfig substitutes for it) at the given character height in pixels (20
// unless configure.txt says otherwise). Each list draws its glyph with
// glBitmap and advances the raster position. Returns 1 when a font was found;
// 0 leaves the lists empty (text then draws nothing).
int RasteriseFontLists(uint32_t listBase, int pixelHeight);

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

// ---- Pictures ------------------------------------------------------------
// The folder where the user keeps pictures: the desktop's configured pictures
// folder, else $HOME/Pictures, else "." (the working folder). Only existing
// folders are named; none is created. 1 when the name fits in `size` bytes
// with its terminator; 0 otherwise, `out` then holding an empty string when
// size > 0.
int PicturesFolder(char* out, size_t size);

// ---- The SDL window ----------------------------------------------------
// Nothing happens without an SDL window.
// Lets go of the keyboard where SDL's input grab took it along with the
// pointer, so that the window manager's keys (Alt+Tab) still work; the
// pointer stays held.
void ReleaseKeyboardGrab();
// Without a window manager, moves the program's top-level window to the
// screen's top-left corner, where a full-screen window belongs.
void PlaceFullScreenWindow();

// ---- Process -------------------------------------------------------------
// Keeps the libraries loaded so far (the GL driver among them) until the
// process ends, so that leak reports can name them.
void KeepLoadedLibraries();

// When the connection to the display is lost, end the process at once with
// status 1 instead of running exit handlers against a dead connection.
void ExitOnDisplayLoss();

#endif
