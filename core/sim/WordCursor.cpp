#include "core/sim/WordCursor.h"

#include <charconv>
#include <cmath>
#include <cstring>

namespace {

bool IsSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r' || c == '\0';
}
bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsHexDigit(char c) { return IsDigit(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F'); }

// Whether a number that did not fit a double was too large rather than too
// small: where its first significant digit stands, in decimal digits or, for
// hexadecimal text, in bits. The exponent is read with a cap so that no text
// can overflow the sum.
bool Overflows(const char* q, const char* end, bool hex) {
    const int digitWeight = hex ? 4 : 1;
    long magnitude = 0;
    bool significant = false;
    auto isDigit = hex ? IsHexDigit : IsDigit;
    while (q < end && isDigit(*q)) {
        if (*q != '0' || significant) {
            significant = true;
            if (magnitude < 100000) magnitude += digitWeight;
        }
        ++q;
    }
    if (q < end && *q == '.') {
        ++q;
        while (q < end && isDigit(*q)) {
            if (!significant) {
                if (*q != '0')
                    significant = true;
                else if (magnitude > -100000)
                    magnitude -= digitWeight;
            }
            ++q;
        }
    }
    long exponent = 0;
    const char mark = hex ? 'p' : 'e';
    if (q < end && (*q == mark || *q == mark - 32)) {
        ++q;
        bool negativeExponent = false;
        if (q < end && (*q == '+' || *q == '-')) negativeExponent = *(q++) == '-';
        while (q < end && IsDigit(*q)) {
            if (exponent < 100000000) exponent = exponent * 10 + (*q - '0');
            ++q;
        }
        if (negativeExponent) exponent = -exponent;
    }
    return magnitude + exponent > 0;
}

}  // namespace

void WordCursor::SkipSpace() {
    while (p < end && IsSpace(*p)) ++p;
}

bool WordCursor::Word(const char*& start, size_t& length) {
    SkipSpace();
    if (p >= end) return false;
    start = p;
    while (p < end && !IsSpace(*p)) ++p;
    length = static_cast<size_t>(p - start);
    return true;
}

bool WordCursor::WordInto(char* field, size_t size) {
    const char* start;
    size_t length;
    if (!Word(start, length)) return false;
    if (size == 0) return true;
    if (length > size - 1) length = size - 1;
    std::memcpy(field, start, length);
    field[length] = '\0';
    return true;
}

void WordCursor::SkipLine() {
    while (p < end && *p != '\n') ++p;
    if (p < end) ++p;
}

bool WordCursor::Integer(int32_t* out) {
    const char* q = p;
    while (q < end && IsSpace(*q)) ++q;
    bool negative = false;
    if (q < end && (*q == '+' || *q == '-')) negative = *(q++) == '-';
    if (q >= end || !IsDigit(*q)) return false;
    long long value = 0;
    const long long limit = 2147483648LL;
    while (q < end && IsDigit(*q)) {
        if (value < limit) value = value * 10 + (*q - '0');
        ++q;
    }
    if (value > limit) value = limit;
    if (negative)
        value = -value;
    else if (value > limit - 1)
        value = limit - 1;
    if (out) *out = static_cast<int32_t>(value);
    p = q;
    return true;
}

bool WordCursor::Number(double& value) {
    const char* q = p;
    while (q < end && IsSpace(*q)) ++q;
    bool negative = false;
    if (q < end && (*q == '+' || *q == '-')) negative = *(q++) == '-';
    if (q >= end || *q == '+' || *q == '-') return false;
    double v = 0;
    std::from_chars_result r{q, std::errc::invalid_argument};
    bool hex = false;
    // from_chars takes hexadecimal digits only without their "0x"; strtod
    // reads "0x" with nothing hexadecimal after it as the number 0.
    if (end - q > 2 && q[0] == '0' && (q[1] == 'x' || q[1] == 'X') &&
        (IsHexDigit(q[2]) || (q[2] == '.' && end - q > 3 && IsHexDigit(q[3])))) {
        r = std::from_chars(q + 2, end, v, std::chars_format::hex);
        hex = r.ec != std::errc::invalid_argument;
    }
    if (!hex) r = std::from_chars(q, end, v, std::chars_format::general);
    if (r.ec == std::errc::invalid_argument) return false;
    if (r.ec == std::errc::result_out_of_range) v = Overflows(hex ? q + 2 : q, r.ptr, hex) ? HUGE_VAL : 0.0;
    p = r.ptr;
    value = negative ? -v : v;
    return true;
}
