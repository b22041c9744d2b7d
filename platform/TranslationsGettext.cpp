// Translations through the C library's gettext: the program's own domain,
// its catalogs bound to the folder the program names, their texts always
// handed out as UTF-8 whatever the locale's character set, and only the
// messages category of the locale taken from the environment.
#include <libintl.h>
#include <locale.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/Platform.h"

// Counts changes of the loaded catalogs; gettext keeps what it looked up until
// it moves. Part of the C library's gettext since its beginning.
extern "C" int _nl_msg_cat_cntr;

namespace {

const char kDomain[] = "orrery";
int g_on = 0;

const char* NonEmptyEnv(const char* name) {
    const char* value = std::getenv(name);
    return value && *value ? value : nullptr;
}

// gettext reads LANGUAGE only while the messages locale is not "C". Two
// cases would lose the user's choice for no good reason, since our texts
// come out as UTF-8 in any locale: LANGUAGE alone, with no locale named at
// all, and a locale named whose data is not installed (setlocale fails,
// though the catalog for its language is there). Both go to C.UTF-8, which
// the C library always has, and the second names the language through
// LANGUAGE when that is not set already. A locale named "C" on purpose keeps
// the texts untranslated, as gettext would.
void TakeMessagesLocale() {
    const char* named = NonEmptyEnv("LC_ALL");
    if (!named) named = NonEmptyEnv("LC_MESSAGES");
    if (!named) named = NonEmptyEnv("LANG");
    const char* set = setlocale(LC_MESSAGES, "");
    if (set && std::strcmp(set, "C") != 0 && std::strcmp(set, "POSIX") != 0) return;
    if (set && named) return;  // "C" or "POSIX" asked for by name
    if (!setlocale(LC_MESSAGES, "C.UTF-8")) return;
    if (!set && named && !NonEmptyEnv("LANGUAGE")) setenv("LANGUAGE", named, 1);
}

// One printf conversion at p (just past its '%'): moves p past it and
// describes what it takes from the arguments in `out` ("*" for each star,
// then length modifiers and the conversion letter). 0 for what the program
// never writes and will not trust: positional arguments, %n, a cut-off end.
int Conversion(const char** p, char* out, size_t size) {
    const char* s = *p;
    size_t n = 0;
    auto put = [&](char c) {
        if (n + 1 >= size) return false;
        out[n++] = c;
        return true;
    };
    while (*s && std::strchr("-+ #0'", *s)) ++s;
    const char* digits = s;
    while (*s >= '0' && *s <= '9') ++s;
    if (*s == '$' && s > digits) return 0;
    if (*s == '*') {
        if (!put('*')) return 0;
        ++s;
    }
    if (*s == '.') {
        ++s;
        if (*s == '*') {
            if (!put('*')) return 0;
            ++s;
        }
        while (*s >= '0' && *s <= '9') ++s;
    }
    while (*s && std::strchr("hlLqjzt", *s)) {
        if (!put(*s)) return 0;
        ++s;
    }
    if (!*s || *s == 'n' || !std::strchr("diouxXeEfFgGaAcsp", *s)) return 0;
    if (!put(*s)) return 0;
    out[n] = '\0';
    *p = s + 1;
    return 1;
}

// 1 when both texts take the same arguments in the same order; flags, widths
// and precisions may differ, and so may the text around them.
int SameConversions(const char* a, const char* b) {
    for (;;) {
        while (*a && !(a[0] == '%' && a[1] != '%')) a += (a[0] == '%') ? 2 : 1;
        while (*b && !(b[0] == '%' && b[1] != '%')) b += (b[0] == '%') ? 2 : 1;
        if (!*a || !*b) return !*a && !*b;
        ++a;
        ++b;
        char ca[16], cb[16];
        if (!Conversion(&a, ca, sizeof ca) || !Conversion(&b, cb, sizeof cb)) return 0;
        if (std::strcmp(ca, cb) != 0) return 0;
    }
}

}  // namespace

int StartTranslations(const char* folder) {
    if (!folder || !*folder) return 0;
    TakeMessagesLocale();
    if (!bindtextdomain(kDomain, folder)) return 0;
    bind_textdomain_codeset(kDomain, "UTF-8");
    // A second start (another folder, another LANGUAGE) must not answer from
    // what the first one looked up.
    ++_nl_msg_cat_cntr;
    g_on = 1;
    return 1;
}

void StopTranslations() { g_on = 0; }

int TranslationsOn() { return g_on; }

const char* Translate(const char* text) {
    if (!g_on || !text || !*text) return text;
    const char* shown = dgettext(kDomain, text);
    if (!shown || shown == text) return text;
    if (std::strchr(text, '%') && !SameConversions(text, shown)) return text;
    return shown;
}

const char* TranslateIn(const char* context, const char* text) {
    if (!g_on || !context || !text || !*text) return text;
    // How gettext's catalogs store a text with its context.
    char key[256];
    const int n = std::snprintf(key, sizeof key, "%s\004%s", context, text);
    if (n < 0 || (size_t)n >= sizeof key) return text;
    const char* shown = dgettext(kDomain, key);
    if (!shown || shown == key || std::strchr(shown, '\004')) return text;
    return shown;
}
