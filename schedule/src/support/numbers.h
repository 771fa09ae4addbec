// Reading numbers from text as strtol (base 10) and strtod read them, fast for
// the spellings files are made of. Plain decimals ("17", "-3", "0.25") are
// converted here; anything else (white space, "+", exponents, hexadecimal,
// "inf", "nan", long digit strings, a locale whose decimal point is not
// ".") goes to strtol or strtod themselves, so that every text gives exactly
// the value it always gave.
#ifndef SCHEDULE_SUPPORT_NUMBERS_H
#define SCHEDULE_SUPPORT_NUMBERS_H

#include <langinfo.h>

#include <cstdint>
#include <cstdlib>

namespace schedule::numbers {

// Whether the C library reads and writes "." as the decimal point in this
// thread's locale, as the conversions written here do.
inline bool point_is_dot() noexcept {
    const char* point = nl_langinfo(RADIXCHAR);
    return point[0] == '.' && point[1] == '\0';
}

inline bool is_digit(char c) noexcept { return static_cast<unsigned char>(c - '0') <= 9; }

// Whether strtod could read on after a plain decimal ending before `c`: a
// further digit, a point, an exponent, the "x" of "0x", or any other letter.
inline bool may_continue(char c) noexcept {
    const unsigned char u = static_cast<unsigned char>(c);
    return is_digit(c) || c == '.' || ((u | 0x20) >= 'a' && (u | 0x20) <= 'z');
}

// strtol(text, …, 10). `*next` is where the search for the separator after
// the number may start: past the number when it was read here, `text` when
// strtol read it.
inline long parse_long(const char* text, const char** next) noexcept {
    const char* c = text;
    const bool negative = *c == '-';
    c += negative;
    if (!is_digit(*c)) {
        *next = text;
        return std::strtol(text, nullptr, 10);
    }
    // These many digits cannot overflow a long; a longer run goes to strtol.
    constexpr int safe_digits = sizeof(long) >= 8 ? 18 : 9;
    long value = 0;
    const char* const limit = c + safe_digits;
    do {
        value = value * 10 + (*c - '0');
        ++c;
    } while (is_digit(*c) && c != limit);
    if (is_digit(*c)) {
        *next = text;
        return std::strtol(text, nullptr, 10);
    }
    *next = c;
    return negative ? -value : value;
}

// strtod(text, nullptr). A decimal of at most 15 digits without exponent is
// an integer below 2^53 over a power of ten up to 10^15, both exact in a
// double, so their one division is rounded exactly as strtod rounds the
// decimal. `point_is_dot` is point_is_dot(), asked once by the caller;
// `*next` as for parse_long.
inline double parse_double(const char* text, const char** next, bool point_is_dot) noexcept {
    static constexpr double powers[] = {1e0, 1e1, 1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                        1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15};
    const char* c = text;
    const bool negative = *c == '-';
    c += negative;
    if (point_is_dot && is_digit(*c)) {
        std::uint64_t mantissa = 0;
        int digits = 0;
        int decimals = 0;
        for (; is_digit(*c) && digits <= 15; ++c, ++digits) mantissa = mantissa * 10 + static_cast<unsigned>(*c - '0');
        if (*c == '.') {
            for (++c; is_digit(*c) && digits <= 15; ++c, ++digits, ++decimals)
                mantissa = mantissa * 10 + static_cast<unsigned>(*c - '0');
        }
        if (digits <= 15 && !may_continue(*c)) {
            *next = c;
            // Converted as a signed integer: the conversion of an unsigned
            // one may go through a subtraction, which gives -0 for 0 when
            // the rounding mode is downward.
            const double value = static_cast<double>(static_cast<std::int64_t>(mantissa)) / powers[decimals];
            return negative ? -value : value;
        }
    }
    *next = text;
    return std::strtod(text, nullptr);
}

}  // namespace schedule::numbers

#endif  // SCHEDULE_SUPPORT_NUMBERS_H
