// The cursor under both text readers (configure.txt and the universe file):
// words separated by white space as scanf sees them, integers and numbers read
// without the locale, and never a step past the end of the buffer it was given.
// A NUL byte counts as white space: kept inside a word it would cut a name
// short when the word is later used as C text.
#ifndef ORRERY_CORE_SIM_WORDCURSOR_H
#define ORRERY_CORE_SIM_WORDCURSOR_H

#include <cstddef>
#include <cstdint>

struct WordCursor {
    const char* p;
    const char* end;

    WordCursor(const char* data, size_t size) : p(data), end(data ? data + size : data) {}

    void SkipSpace();

    // The next run of non-white characters; false at the end of the text.
    bool Word(const char*& start, size_t& length);

    // Reads a word into a text field of `size` bytes, keeping what fits; the
    // rest of the word is consumed with it, so it can never spill into
    // whatever is read next.
    bool WordInto(char* field, size_t size);

    // Past the next line break (or to the end).
    void SkipLine();

    // An optionally signed decimal integer after optional white space,
    // clamped to the 32-bit range. On failure nothing is consumed, so the
    // text is met again as a word. `out` may be null.
    bool Integer(int32_t* out);

    // A number as strtod reads it in the C locale: decimal, hexadecimal
    // ("0x1.8p+3"), "inf" or "nan"; too large reads as infinity, too small as
    // zero. On failure nothing is consumed.
    bool Number(double& value);
};

#endif
