// The modal message box on X11: a small fixed-size dialog window on its own
// display connection with the text, an optional warning sign and one OK
// button, waiting until it is confirmed or closed. No toolkit: plain ASCII
// with translations off is drawn in an Xlib core font, as the box always
// was; anything else (a translation, a UTF-8 file name) with FreeType in a
// face fontconfig finds for every character of the box, and in the core
// font's Latin-1 only when there is no such face. Without a display nothing
// is shown; the line on standard error that every box writes is then the
// whole notice.

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/keysym.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/FreeTypeFace.h"
#include "platform/NativeMessageBox.h"
#include "platform/Platform.h"
#include "platform/Utf8.h"

namespace {

const int kMaxLines = 64;
const int kMargin = 16;
const int kIconSize = 36;
const int kButtonWidth = 80;
const int kButtonHeight = 26;

// Pixel height of the text; 12 unless the program asks for another.
int g_textSize = 12;
// Whose dialog the boxes are; nobody's until the program says.
MessageBoxOwner g_owner = {0, nullptr, nullptr, nullptr};

struct TextLine {
    const char* start;
    int length;
};

struct Rgb {
    int r, g, b;  // 0..255
};

struct Dialog {
    Display* display;
    Window window;
    GC gc;
    XFontStruct* font;   // the core font, when there is no face
    FreeTypeFace* face;  // else the text's face
    int ascent, descent;
    unsigned long background, foreground, buttonFace, shadow, light, warning;
    Rgb backgroundRgb, foregroundRgb, buttonFaceRgb;
    TextLine lines[kMaxLines];
    int lineCount;
    const char* label;  // the button's
    int labelLength;
    int icon;
    int width, height;
    int textX, textY;
    int buttonX, buttonY;
    int buttonWidth, buttonHeight;  // grow with the text
    int pressed;  // mouse held down on the button
};

int IgnoreXError(Display*, XErrorEvent*) { return 0; }

unsigned long Colour(Display* display, const char* name, unsigned long fallback) {
    XColor exact, screen;
    Colormap map = DefaultColormap(display, DefaultScreen(display));
    if (XAllocNamedColor(display, map, name, &screen, &exact)) return screen.pixel;
    return fallback;
}

// What a pixel value shows, for blending the edges of FreeType's glyphs.
Rgb RgbOf(Display* display, unsigned long pixel) {
    XColor c;
    c.pixel = pixel;
    XQueryColor(display, DefaultColormap(display, DefaultScreen(display)), &c);
    return Rgb{c.red >> 8, c.green >> 8, c.blue >> 8};
}

// The code points of a text, each once, into out (at most `room`); the count.
int CodePointsOf(const char* text, uint32_t* out, int count, int room) {
    for (const unsigned char* p = (const unsigned char*)text; *p && count < room;) {
        const uint32_t cp = NextCodePoint(&p);
        if (cp < 32) continue;
        int seen = 0;
        for (int i = 0; i < count && !seen; ++i) seen = out[i] == cp;
        if (!seen) out[count++] = cp;
    }
    return count;
}

int IsAscii(const char* text) {
    for (const unsigned char* p = (const unsigned char*)text; *p; ++p)
        if (*p >= 0x80) return 0;
    return 1;
}

// UTF-8 as the core font's Latin-1, '?' for what it cannot show; the length.
int ToLatin1(const char* s, int length, char* out, int room) {
    int n = 0;
    const unsigned char* p = (const unsigned char*)s;
    const unsigned char* end = p + length;
    while (p < end && *p && n < room) {
        const uint32_t cp = NextCodePoint(&p);
        if (cp) out[n++] = cp <= 0xFF ? (char)cp : '?';
    }
    return n;
}

int TextWidth(const Dialog& d, const char* s, int length) {
    if (!d.face) {
        char latin[256];
        const int n = ToLatin1(s, length, latin, (int)sizeof latin);
        return XTextWidth(d.font, latin, n);
    }
    int width = 0;
    const unsigned char* p = (const unsigned char*)s;
    const unsigned char* end = p + length;
    while (p < end && *p) {
        FontGlyph g;
        const uint32_t cp = NextCodePoint(&p);
        if (cp >= 32 && RenderFaceGlyph(d.face, cp, 1, &g)) width += g.advance;
    }
    return width;
}

// The pixel value for a mix of two colours on a TrueColor visual; the nearer
// of the two pixels on any other.
struct Blend {
    Visual* visual;
    int trueColour;
    unsigned long fromPixel, toPixel;
    Rgb from, to;
};

unsigned long Channel(int value, unsigned long mask) {
    if (!mask) return 0;
    int shift = 0;
    while (!((mask >> shift) & 1)) ++shift;
    const unsigned long top = mask >> shift;
    return ((unsigned long)(value * (long)top + 127) / 255) << shift;
}

unsigned long Mix(const Blend& b, int coverage) {
    if (coverage <= 0) return b.fromPixel;
    if (coverage >= 255) return b.toPixel;
    if (!b.trueColour) return coverage >= 128 ? b.toPixel : b.fromPixel;
    auto mix = [&](int from, int to) { return from + ((to - from) * coverage + 127) / 255; };
    return Channel(mix(b.from.r, b.to.r), b.visual->red_mask) | Channel(mix(b.from.g, b.to.g), b.visual->green_mask) |
           Channel(mix(b.from.b, b.to.b), b.visual->blue_mask);
}

// A line of text with its baseline at y, over a background of the given colour.
void DrawText(Dialog& d, int x, int y, const char* s, int length, unsigned long background, Rgb backgroundRgb) {
    Display* display = d.display;
    if (!d.face) {
        char latin[256];
        const int n = ToLatin1(s, length, latin, (int)sizeof latin);
        XDrawString(display, d.window, d.gc, x, y, latin, n);
        return;
    }
    const int width = TextWidth(d, s, length) + 4;
    const int height = d.ascent + d.descent;
    if (width <= 4 || height <= 0 || width > 8192 || height > 1024) return;
    // Coverage of the whole line first, so that glyphs whose boxes overlap
    // cannot wipe out each other's edges.
    unsigned char* coverage = (unsigned char*)std::calloc((size_t)width * (size_t)height, 1);
    if (!coverage) return;
    int pen = 2;
    const unsigned char* p = (const unsigned char*)s;
    const unsigned char* end = p + length;
    while (p < end && *p) {
        FontGlyph g;
        const uint32_t cp = NextCodePoint(&p);
        if (cp < 32 || !RenderFaceGlyph(d.face, cp, 1, &g)) continue;
        for (int row = 0; g.bits && row < g.rows; ++row) {
            const int ty = d.ascent - g.top + row;
            if (ty < 0 || ty >= height) continue;
            for (int col = 0; col < g.width; ++col) {
                const int tx = pen + g.left + col;
                if (tx < 0 || tx >= width) continue;
                unsigned char& c = coverage[(size_t)ty * (size_t)width + (size_t)tx];
                const unsigned char v = g.bits[(size_t)row * (size_t)g.pitch + (size_t)col];
                if (v > c) c = v;
            }
        }
        pen += g.advance;
    }
    const int screen = DefaultScreen(display);
    Visual* visual = DefaultVisual(display, screen);
    Blend blend = {visual, visual->c_class == TrueColor, background, d.foreground, backgroundRgb, d.foregroundRgb};
    XImage* image = XCreateImage(display, visual, (unsigned)DefaultDepth(display, screen), ZPixmap, 0, nullptr,
                                 (unsigned)width, (unsigned)height, 32, 0);
    if (image) image->data = (char*)std::malloc((size_t)image->bytes_per_line * (size_t)height);
    if (image && image->data) {
        for (int ty = 0; ty < height; ++ty)
            for (int tx = 0; tx < width; ++tx)
                XPutPixel(image, tx, ty, Mix(blend, coverage[(size_t)ty * (size_t)width + (size_t)tx]));
        XPutImage(display, d.window, d.gc, image, 0, 0, x - 2, y - d.ascent, (unsigned)width, (unsigned)height);
    }
    if (image) XDestroyImage(image);  // frees the data too
    std::free(coverage);
}

// The asked size if the server has it (or can scale a font to it), else the
// nearest smaller bitmap size, else whatever "fixed" is.
XFontStruct* LoadFont(Display* display, int size) {
    const int bitmapSizes[] = {34, 25, 24, 20, 18, 17, 14, 12, 11, 10, 8};
    char name[128];
    std::snprintf(name, sizeof name, "-*-helvetica-bold-r-normal-*-%d-*-*-*-*-*-iso8859-1", size);
    XFontStruct* font = XLoadQueryFont(display, name);
    if (!font) {
        std::snprintf(name, sizeof name, "-*-*-bold-r-normal-*-%d-*-*-*-p-*-iso8859-1", size);
        font = XLoadQueryFont(display, name);
    }
    for (int s : bitmapSizes) {
        if (font || s > size) continue;
        std::snprintf(name, sizeof name, "-*-helvetica-bold-r-*-*-%d-*", s);
        font = XLoadQueryFont(display, name);
    }
    if (!font) font = XLoadQueryFont(display, "fixed");
    return font;
}

void SplitLines(Dialog& d, const char* text) {
    d.lineCount = 0;
    const char* p = text;
    while (d.lineCount < kMaxLines) {
        const char* end = std::strchr(p, '\n');
        int length = end ? (int)(end - p) : (int)std::strlen(p);
        // Two hundred characters a line is far wider than any message we show.
        if (length > 200) length = 200;
        d.lines[d.lineCount].start = p;
        d.lines[d.lineCount].length = length;
        ++d.lineCount;
        if (!end) break;
        p = end + 1;
    }
}

void Layout(Dialog& d, int screenWidth, int screenHeight) {
    const int lineHeight = d.ascent + d.descent;
    int textWidth = 0;
    for (int i = 0; i < d.lineCount; ++i) {
        int w = TextWidth(d, d.lines[i].start, d.lines[i].length);
        if (w > textWidth) textWidth = w;
    }
    const int textHeight = lineHeight * d.lineCount;
    const int iconSpace = d.icon == MessageIconExclamation ? kIconSize + kMargin : 0;
    d.textX = kMargin + iconSpace;
    int contentHeight = textHeight > (iconSpace ? kIconSize : 0) ? textHeight : kIconSize;
    d.textY = kMargin + (contentHeight - textHeight) / 2 + d.ascent;
    d.buttonHeight = lineHeight + 12 > kButtonHeight ? lineHeight + 12 : kButtonHeight;
    const int labelWidth = TextWidth(d, d.label, d.labelLength);
    d.buttonWidth = labelWidth + 3 * lineHeight > kButtonWidth ? labelWidth + 3 * lineHeight : kButtonWidth;
    d.width = d.textX + textWidth + kMargin;
    if (d.width < d.buttonWidth + 2 * kMargin) d.width = d.buttonWidth + 2 * kMargin;
    if (d.width < 240) d.width = 240;
    if (d.width > screenWidth - 20 && screenWidth > 260) d.width = screenWidth - 20;
    d.height = kMargin + contentHeight + kMargin + d.buttonHeight + kMargin;
    if (d.height > screenHeight - 20 && screenHeight > 120) d.height = screenHeight - 20;
    d.buttonX = (d.width - d.buttonWidth) / 2;
    d.buttonY = d.height - kMargin - d.buttonHeight;
}

void DrawWarningSign(Dialog& d) {
    const int x = kMargin, y = kMargin;
    XPoint triangle[3] = {{(short)(x + kIconSize / 2), (short)y},
                          {(short)(x + kIconSize), (short)(y + kIconSize - 2)},
                          {(short)x, (short)(y + kIconSize - 2)}};
    XSetForeground(d.display, d.gc, d.warning);
    XFillPolygon(d.display, d.window, d.gc, triangle, 3, Convex, CoordModeOrigin);
    XSetForeground(d.display, d.gc, d.foreground);
    XPoint outline[4] = {triangle[0], triangle[1], triangle[2], triangle[0]};
    XDrawLines(d.display, d.window, d.gc, outline, 4, CoordModeOrigin);
    const int cx = x + kIconSize / 2;
    XFillRectangle(d.display, d.window, d.gc, cx - 2, y + 11, 4, 13);
    XFillRectangle(d.display, d.window, d.gc, cx - 2, y + 27, 4, 4);
}

void Draw(Dialog& d) {
    Display* display = d.display;
    XSetForeground(display, d.gc, d.background);
    XFillRectangle(display, d.window, d.gc, 0, 0, (unsigned)d.width, (unsigned)d.height);
    if (d.icon == MessageIconExclamation) DrawWarningSign(d);

    XSetForeground(display, d.gc, d.foreground);
    const int lineHeight = d.ascent + d.descent;
    for (int i = 0; i < d.lineCount; ++i) {
        DrawText(d, d.textX, d.textY + i * lineHeight, d.lines[i].start, d.lines[i].length, d.background,
                 d.backgroundRgb);
    }

    // A raised button that sinks while the mouse holds it down.
    const int bx = d.buttonX, by = d.buttonY;
    XSetForeground(display, d.gc, d.buttonFace);
    XFillRectangle(display, d.window, d.gc, bx, by, d.buttonWidth, d.buttonHeight);
    XSetForeground(display, d.gc, d.pressed ? d.shadow : d.light);
    XDrawLine(display, d.window, d.gc, bx, by, bx + d.buttonWidth - 1, by);
    XDrawLine(display, d.window, d.gc, bx, by, bx, by + d.buttonHeight - 1);
    XSetForeground(display, d.gc, d.pressed ? d.light : d.shadow);
    XDrawLine(display, d.window, d.gc, bx, by + d.buttonHeight - 1, bx + d.buttonWidth - 1, by + d.buttonHeight - 1);
    XDrawLine(display, d.window, d.gc, bx + d.buttonWidth - 1, by, bx + d.buttonWidth - 1, by + d.buttonHeight - 1);
    XSetForeground(display, d.gc, d.foreground);
    // Keyboard focus is always on the button: mark it as the default.
    XDrawRectangle(display, d.window, d.gc, bx - 2, by - 2, d.buttonWidth + 3, d.buttonHeight + 3);
    const int labelWidth = TextWidth(d, d.label, d.labelLength);
    const int shift = d.pressed ? 1 : 0;
    DrawText(d, bx + (d.buttonWidth - labelWidth) / 2 + shift, by + (d.buttonHeight + d.ascent - d.descent) / 2 + shift,
             d.label, d.labelLength, d.buttonFace, d.buttonFaceRgb);
    XFlush(display);
}

int OnButton(const Dialog& d, int x, int y) {
    return x >= d.buttonX && x < d.buttonX + d.buttonWidth && y >= d.buttonY && y < d.buttonY + d.buttonHeight;
}

void SetWindowProperties(Dialog& d, const char* title, Window owner) {
    Display* display = d.display;
    // WM_NAME in Latin-1 or compound text, whichever holds the title; the
    // UTF-8 name beside it for managers that read that.
    XTextProperty wmName;
    char* list[1] = {const_cast<char*>(title)};
    if (Xutf8TextListToTextProperty(display, list, 1, XStdICCTextStyle, &wmName) >= Success) {
        XSetWMName(display, d.window, &wmName);
        XFree(wmName.value);
    } else {
        XStoreName(display, d.window, title);
    }
    Atom utf8 = XInternAtom(display, "UTF8_STRING", False);
    Atom netName = XInternAtom(display, "_NET_WM_NAME", False);
    XChangeProperty(display, d.window, netName, utf8, 8, PropModeReplace, (const unsigned char*)title,
                    (int)std::strlen(title));

    Atom windowType = XInternAtom(display, "_NET_WM_WINDOW_TYPE", False);
    Atom dialogType = XInternAtom(display, "_NET_WM_WINDOW_TYPE_DIALOG", False);
    XChangeProperty(display, d.window, windowType, XA_ATOM, 32, PropModeReplace, (const unsigned char*)&dialogType, 1);
    // Keeps the box above a full-screen program window under a compliant manager.
    Atom state = XInternAtom(display, "_NET_WM_STATE", False);
    Atom above[2] = {XInternAtom(display, "_NET_WM_STATE_ABOVE", False),
                     XInternAtom(display, "_NET_WM_STATE_MODAL", False)};
    XChangeProperty(display, d.window, state, XA_ATOM, 32, PropModeReplace, (const unsigned char*)above, 2);
    // A dialog of the program's window: kept above it, no minimise button.
    if (owner != None) XSetTransientForHint(display, d.window, owner);

    XClassHint classHint;
    char name[] = "orrery";
    char className[] = "Orrery";
    classHint.res_name = name;
    classHint.res_class = className;
    XSetClassHint(display, d.window, &classHint);

    XSizeHints* size = XAllocSizeHints();
    if (size) {
        size->flags = PPosition | PSize | PMinSize | PMaxSize;
        size->x = (DisplayWidth(display, DefaultScreen(display)) - d.width) / 2;
        size->y = (DisplayHeight(display, DefaultScreen(display)) - d.height) / 2;
        size->width = size->min_width = size->max_width = d.width;
        size->height = size->min_height = size->max_height = d.height;
        XSetWMNormalHints(display, d.window, size);
        XFree(size);
    }
    XWMHints* hints = XAllocWMHints();
    if (hints) {
        hints->flags = InputHint | StateHint;
        hints->input = True;
        hints->initial_state = NormalState;
        XSetWMHints(display, d.window, hints);
        XFree(hints);
    }
}

void RunDialog(Display* display, const char* title, const char* text, int icon, Window owner) {
    Dialog d;
    std::memset(&d, 0, sizeof d);
    d.display = display;
    d.icon = icon;
    d.label = Translate("OK");
    d.labelLength = (int)std::strlen(d.label);
    if (TranslationsOn() || !IsAscii(text) || !IsAscii(d.label)) {
        uint32_t needs[256];
        int count = CodePointsOf(text, needs, 0, 256);
        count = CodePointsOf(d.label, needs, count, 256);
        d.face = OpenFreeTypeFace("Helvetica:bold", g_textSize, needs, count, nullptr, 0);
        if (d.face) FaceLineMetrics(d.face, &d.ascent, &d.descent, nullptr);
    }
    if (!d.face) {
        d.font = LoadFont(display, g_textSize);
        if (!d.font) return;  // not even "fixed": the stderr line has to do
        d.ascent = d.font->ascent;
        d.descent = d.font->descent;
    }

    const int screen = DefaultScreen(display);
    d.foreground = BlackPixel(display, screen);
    d.background = Colour(display, "#e8e8e8", WhitePixel(display, screen));
    d.buttonFace = Colour(display, "#d4d4d4", WhitePixel(display, screen));
    d.shadow = Colour(display, "#808080", BlackPixel(display, screen));
    d.light = WhitePixel(display, screen);
    d.warning = Colour(display, "#f5c400", WhitePixel(display, screen));
    d.foregroundRgb = RgbOf(display, d.foreground);
    d.backgroundRgb = RgbOf(display, d.background);
    d.buttonFaceRgb = RgbOf(display, d.buttonFace);
    SplitLines(d, text);
    Layout(d, DisplayWidth(display, screen), DisplayHeight(display, screen));

    XSetWindowAttributes attributes;
    attributes.background_pixel = d.background;
    attributes.border_pixel = d.foreground;
    attributes.event_mask = ExposureMask | KeyPressMask | ButtonPressMask | ButtonReleaseMask |
                            StructureNotifyMask | PointerMotionMask;
    const int x = (DisplayWidth(display, screen) - d.width) / 2;
    const int y = (DisplayHeight(display, screen) - d.height) / 2;
    d.window = XCreateWindow(display, RootWindow(display, screen), x, y, (unsigned)d.width, (unsigned)d.height, 1,
                             CopyFromParent, InputOutput, CopyFromParent,
                             CWBackPixel | CWBorderPixel | CWEventMask, &attributes);
    SetWindowProperties(d, title, owner);
    Atom deleteWindow = XInternAtom(display, "WM_DELETE_WINDOW", False);
    XSetWMProtocols(display, d.window, &deleteWindow, 1);

    d.gc = XCreateGC(display, d.window, 0, nullptr);
    if (d.font) XSetFont(display, d.gc, d.font->fid);
    // Where the keyboard was before the box took it: without a window manager
    // nobody else gives it back, and the program would be left deaf to keys.
    Window previousFocus = None;
    int previousRevert = RevertToParent;
    XGetInputFocus(display, &previousFocus, &previousRevert);
    XMapRaised(display, d.window);

    int done = 0;
    while (!done) {
        XEvent event;
        XNextEvent(display, &event);
        switch (event.type) {
        case MapNotify: {
            // There may be no window manager to hand us the focus (Xvfb).
            // Setting it can fail with BadMatch if the manager unmaps us
            // again in between; that must not end the program.
            int (*previous)(Display*, XErrorEvent*) = XSetErrorHandler(IgnoreXError);
            XSetInputFocus(display, d.window, RevertToParent, CurrentTime);
            XSync(display, False);
            XSetErrorHandler(previous);
            break;
        }
        case Expose:
            if (event.xexpose.count == 0) Draw(d);
            break;
        case KeyPress: {
            KeySym key = XLookupKeysym(&event.xkey, 0);
            if (key == XK_Return || key == XK_KP_Enter || key == XK_Escape || key == XK_space) done = 1;
            break;
        }
        case ButtonPress:
            if (event.xbutton.button == Button1 && OnButton(d, event.xbutton.x, event.xbutton.y)) {
                d.pressed = 1;
                Draw(d);
            }
            break;
        case MotionNotify:
            break;
        case ButtonRelease:
            if (event.xbutton.button == Button1 && d.pressed) {
                d.pressed = 0;
                if (OnButton(d, event.xbutton.x, event.xbutton.y))
                    done = 1;
                else
                    Draw(d);
            }
            break;
        case ClientMessage:
            if ((Atom)event.xclient.data.l[0] == deleteWindow) done = 1;
            break;
        case DestroyNotify:
            done = 1;
            d.window = 0;
            break;
        default:
            break;
        }
    }

    XFreeGC(display, d.gc);
    if (d.window) XDestroyWindow(display, d.window);
    if (d.font) XFreeFont(display, d.font);
    CloseFreeTypeFace(d.face);
    if (previousFocus != None && previousFocus != PointerRoot) {
        // The window may be gone or unmapped by now; that is no reason to fail.
        int (*previous)(Display*, XErrorEvent*) = XSetErrorHandler(IgnoreXError);
        XSetInputFocus(display, previousFocus, previousRevert, CurrentTime);
        XSync(display, False);
        XSetErrorHandler(previous);
    }
    XSync(display, False);
}

}  // namespace

void SetMessageBoxTextSize(int pixels) {
    if (pixels >= 6 && pixels <= 128) g_textSize = pixels;
}

void SetMessageBoxOwner(const MessageBoxOwner* owner) {
    g_owner = owner ? *owner : MessageBoxOwner{0, nullptr, nullptr, nullptr};
}

void ShowNativeMessageBox(const char* title, const char* text, int icon) {
    Display* display = XOpenDisplay(nullptr);
    if (!display) return;

    const MessageBoxOwner owner = g_owner;
    if (owner.releaseInput) owner.releaseInput(owner.context);
    RunDialog(display, title, text, icon, (Window)owner.window);
    XCloseDisplay(display);
    if (owner.restoreInput) owner.restoreInput(owner.context);
}
