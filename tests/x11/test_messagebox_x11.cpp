// The real message box on an X server: found by its title, waiting until it
// is confirmed, a dialog of the SDL window the application lends it that
// leaves its caption alone, and releasing that window's grab while it is up.
#include <gtest/gtest.h>

#include <SDL.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <cstdio>
#include <string>
#include <thread>

#include "app/MessageBoxWindow.h"
#include "platform/Platform.h"
#include "support/TestSupport.h"

namespace {

// The id of the window with exactly this title, waiting up to ten seconds.
std::string FindWindow(const std::string& title) {
    for (int i = 0; i < 100; ++i) {
        std::string id = RunCommand("xdotool search --name '^" + title + "$' 2>/dev/null");
        if (!id.empty()) return id.substr(0, id.find('\n'));
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    return "";
}

// Waits up to ten seconds for the child; -1 if it is still running.
int WaitChild(pid_t pid) {
    for (int i = 0; i < 100; ++i) {
        int status = 0;
        if (waitpid(pid, &status, WNOHANG) == pid) return WIFEXITED(status) ? WEXITSTATUS(status) : 128;
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
    return -1;
}

bool StillRunning(pid_t pid) { return waitpid(pid, nullptr, WNOHANG) == 0; }

// True when no other client holds the pointer grab.
bool PointerFree() {
    Display* d = XOpenDisplay(nullptr);
    if (!d) return false;
    int result = XGrabPointer(d, DefaultRootWindow(d), False, ButtonPressMask, GrabModeAsync, GrabModeAsync,
                              None, None, CurrentTime);
    if (result == GrabSuccess) XUngrabPointer(d, CurrentTime);
    XCloseDisplay(d);
    return result == GrabSuccess;
}

// The window a box is a dialog of; None when it is nobody's.
Window TransientFor(const std::string& id) {
    Display* d = XOpenDisplay(nullptr);
    if (!d) return None;
    Window owner = None;
    if (!XGetTransientForHint(d, (Window)std::stoul(id), &owner)) owner = None;
    XCloseDisplay(d);
    return owner;
}

std::string WindowName(const std::string& id) {
    return RunCommand("xdotool getwindowname " + id + " 2>/dev/null");
}

}  // namespace

TEST(MessageBoxX11, WaitsUntilReturnIsPressed) {
    const char* title = "Nepodarilo se nacist texturu";
    pid_t pid = fork();
    if (pid == 0) {
        ShowMessageBox(title, "Zeme c.: 4 ze souboru: Data/planety_256x128x24/3Earth.bmp!", MessageIconNone);
        _exit(0);
    }
    ASSERT_GT(pid, 0);
    const std::string id = FindWindow(title);
    ASSERT_FALSE(id.empty()) << "no window titled \"" << title << "\"";
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    EXPECT_TRUE(StillRunning(pid)) << "the box returned before it was confirmed";
    EXPECT_EQ(id + "\n", RunCommand("xdotool getwindowfocus")) << "the box should hold the keyboard focus";
    EXPECT_EQ(None, TransientFor(id)) << "without a program window the box is nobody's dialog";
    RunCommand("xdotool key Return");
    EXPECT_EQ(0, WaitChild(pid)) << "the box did not return after Return";
}

TEST(MessageBoxX11, ClosingTheWindowCountsAsConfirmation) {
    const char* title = "ERROR";
    pid_t pid = fork();
    if (pid == 0) {
        ShowMessageBox(title, "Chyba inicializace objektu", MessageIconExclamation);
        _exit(0);
    }
    ASSERT_GT(pid, 0);
    const std::string id = FindWindow(title);
    ASSERT_FALSE(id.empty());
    // What a window manager sends for the close button.
    Display* d = XOpenDisplay(nullptr);
    ASSERT_NE(nullptr, d);
    XEvent event = {};
    event.xclient.type = ClientMessage;
    event.xclient.window = (Window)std::stoul(id);
    event.xclient.message_type = XInternAtom(d, "WM_PROTOCOLS", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = (long)XInternAtom(d, "WM_DELETE_WINDOW", False);
    event.xclient.data.l[1] = CurrentTime;
    XSendEvent(d, event.xclient.window, False, NoEventMask, &event);
    XCloseDisplay(d);
    EXPECT_EQ(0, WaitChild(pid)) << "the box kept waiting after its window was closed";
}

TEST(MessageBoxX11, IsADialogOfTheSdlWindowAndReleasesItsGrabWhileShown) {
    int ready[2], go[2];
    ASSERT_EQ(0, pipe(ready));
    ASSERT_EQ(0, pipe(go));
    pid_t pid = fork();
    if (pid == 0) {
        if (SDL_Init(SDL_INIT_VIDEO) != 0 || !SDL_SetVideoMode(320, 240, 0, 0)) _exit(10);
        LendWindowToMessageBoxes();
        SDL_WM_SetCaption("fps: 42 (100)", nullptr);
        SDL_WM_GrabInput(SDL_GRAB_ON);
        SDL_ShowCursor(SDL_DISABLE);
        for (int i = 0; i < 20; ++i) {
            SDL_PumpEvents();
            SDL_Delay(10);
        }
        char c = 'g';
        if (write(ready[1], &c, 1) != 1 || read(go[0], &c, 1) != 1) _exit(11);
        ShowMessageBox("Grab test", "OK?", MessageIconNone);
        int code = 0;
        if (SDL_WM_GrabInput(SDL_GRAB_QUERY) != SDL_GRAB_ON) code |= 1;
        if (SDL_ShowCursor(SDL_QUERY) != SDL_DISABLE) code |= 2;
        TakeWindowFromMessageBoxes();
        SDL_Quit();
        _exit(code);
    }
    ASSERT_GT(pid, 0);
    char c = 0;
    ASSERT_EQ(1, read(ready[0], &c, 1));
    const bool grabbedBefore = !PointerFree();
    const std::string program = FindWindow("fps: 42 \\(100\\)");
    ASSERT_FALSE(program.empty()) << "no SDL window with the caption";
    ASSERT_EQ(1, write(go[1], "c", 1));
    const std::string box = FindWindow("Grab test");
    ASSERT_FALSE(box.empty());
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    EXPECT_EQ((Window)std::stoul(program), TransientFor(box)) << "the box is not marked as the SDL window's dialog";
    EXPECT_EQ("fps: 42 (100)\n", WindowName(program)) << "the program's caption changed while the box is up";
    if (grabbedBefore) {
        EXPECT_TRUE(PointerFree()) << "the pointer is still grabbed while the box is up";
    }
    RunCommand("xdotool key Return");
    const int status = WaitChild(pid);
    EXPECT_EQ(0, status) << "1: grab not restored, 2: cursor not hidden again, 10/11: set-up failed";
    if (!grabbedBefore) GTEST_SKIP() << "SDL did not grab the pointer on this server; release not checked";
}

TEST(MessageBoxX11, GivesTheKeyboardFocusBackAfterwards) {
    // A window of "the program" holding the focus before the box comes up.
    Display* d = XOpenDisplay(nullptr);
    ASSERT_NE(nullptr, d);
    Window mine = XCreateSimpleWindow(d, DefaultRootWindow(d), 0, 0, 100, 100, 0, 0, 0);
    XMapWindow(d, mine);
    XSync(d, False);
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    XSetInputFocus(d, mine, RevertToParent, CurrentTime);
    XSync(d, False);

    pid_t pid = fork();
    if (pid == 0) {
        ShowMessageBox("Error", "Image file conversion error.", MessageIconNone);
        _exit(0);
    }
    ASSERT_GT(pid, 0);
    ASSERT_FALSE(FindWindow("Error").empty());
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    RunCommand("xdotool key Return");
    ASSERT_EQ(0, WaitChild(pid));

    Window focus = None;
    int revert = 0;
    XGetInputFocus(d, &focus, &revert);
    EXPECT_EQ(mine, focus) << "the keyboard focus was not given back";
    XDestroyWindow(d, mine);
    XCloseDisplay(d);
}

TEST(MessageBoxX11, TextSizeFollowsTheProgramsFontSize) {
    // Height of the box showing the same text at a given text size.
    auto boxHeight = [](int size) {
        pid_t pid = fork();
        if (pid == 0) {
            SetMessageBoxTextSize(size);
            ShowMessageBox("Size test", "Zeme c.: 4 ze souboru: Data/planety_256x128x24/3Earth.bmp!", MessageIconNone);
            _exit(0);
        }
        const std::string id = FindWindow("Size test");
        int height = 0;
        if (!id.empty()) {
            const std::string geometry = RunCommand("xdotool getwindowgeometry --shell " + id);
            const size_t at = geometry.find("HEIGHT=");
            if (at != std::string::npos) height = std::atoi(geometry.c_str() + at + 7);
            RunCommand("xdotool key Return");
        }
        EXPECT_EQ(0, WaitChild(pid));
        return height;
    };
    const int normal = boxHeight(12);
    const int large = boxHeight(24);
    EXPECT_GT(normal, 0);
    EXPECT_GT(large, normal + 12) << "a 24-pixel text needs a taller box than a 12-pixel one";
}

// A box in the user's language: title, text and button translated and drawn,
// in Cyrillic as well as ASCII, while standard error keeps the texts as written.
TEST(MessageBoxX11, ATranslatedBoxShowsTheUsersLanguage) {
    // The box as a user sees it: its picture, and how many pixels are text-dark.
    auto darkPixels = [](const std::string& id, int* width) {
        const std::string out =
            RunCommand("import -window " + id + " png:- 2>/dev/null | convert - -colorspace Gray -threshold 40% -negate -format '%w %[fx:round(mean*w*h)]' info:");
        int dark = -1;
        if (std::sscanf(out.c_str(), "%d %d", width, &dark) != 2) dark = -1;
        return dark;
    };
    auto show = [&](const char* language, const char* title, int* width, std::string* err) {
        const std::string errFile = "/tmp/orrery-box-" + std::to_string(getpid()) + ".txt";
        pid_t pid = fork();
        if (pid == 0) {
            if (!std::freopen(errFile.c_str(), "w", stderr)) _exit(10);
            setenv("LANG", "C.UTF-8", 1);
            if (language) {
                setenv("LANGUAGE", language, 1);
                if (!StartTranslations(ORRERY_CATALOG_DIR)) _exit(11);
            }
            ShowMessageBox("Error", "Image file conversion error.", MessageIconNone);
            _exit(0);
        }
        const std::string id = FindWindow(title);
        int dark = -1;
        if (!id.empty()) {
            std::this_thread::sleep_for(std::chrono::milliseconds(300));
            dark = darkPixels(id, width);
            RunCommand("xdotool key Return");
        }
        EXPECT_FALSE(id.empty()) << "no box titled \"" << title << "\"";
        EXPECT_EQ(0, WaitChild(pid));
        *err = ReadWholeFile(errFile);
        std::remove(errFile.c_str());
        return dark;
    };
    const std::string asWritten = "orrery: Error: Image file conversion error.\n";
    int plainWidth = 0, russianWidth = 0;
    std::string err;
    const int plain = show(nullptr, "Error", &plainWidth, &err);
    EXPECT_EQ(asWritten, err);
    const int russian = show("ru", "Ошибка", &russianWidth, &err);
    EXPECT_EQ(asWritten, err) << "standard error keeps the texts as written";
    // Text in FreeType's face is as dark as in the core font: within a half
    // of the plain box's, never a box with its text left out.
    EXPECT_GT(plain, 200);
    EXPECT_GT(russian, plain / 2) << "the Cyrillic text was not drawn";
    // The Russian text is longer than the English; the box grows with it.
    EXPECT_GT(russianWidth, plainWidth + 40);
}
