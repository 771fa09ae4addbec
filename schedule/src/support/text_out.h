// Text output for console printing and for the readers' echo: characters
// collected in a block and written at once, to a stream or to a string.
// Integers are formatted here by hand, exactly as printf's "%<width>d" would,
// and fixed-point numbers by std::to_chars, exactly as printf's "%<width>f"
// would, since an echo is mostly numbers and printf costs far more per
// element than reading them did. Other elements go through printf.
#ifndef SCHEDULE_SUPPORT_TEXT_OUT_H
#define SCHEDULE_SUPPORT_TEXT_OUT_H

#include <cfenv>
#include <charconv>
#include <cmath>
#include <cstdarg>
#include <cstddef>
#include <cstdio>
#include <cstring>
#include <string>
#include <system_error>
#include <type_traits>

#include "support/numbers.h"

namespace schedule {

class TextOut {
public:
    // To `file` (nothing at all when it is null), or to the end of `text`.
    explicit TextOut(std::FILE* file) : file_(file) {}
    explicit TextOut(std::string& text) : text_(&text) {}
    TextOut(const TextOut&) = delete;
    TextOut& operator=(const TextOut&) = delete;
    ~TextOut() { flush(); }

    void put(char c) {
        if (used_ == sizeof block_) flush();
        block_[used_++] = c;
    }

    void write(const char* s) {
        while (*s != '\0') put(*s++);
    }

#if defined(__GNUC__)
    __attribute__((format(printf, 2, 3)))
#endif
    void printf(const char* format, ...) {
        va_list args;
        va_start(args, format);
        char small[512];
        va_list again;
        va_copy(again, args);
        const int len = std::vsnprintf(small, sizeof small, format, args);
        va_end(args);
        if (len >= 0 && static_cast<std::size_t>(len) < sizeof small) {
            write(small);
        } else if (len >= 0) {
            std::string large(static_cast<std::size_t>(len) + 1, '\0');
            std::vsnprintf(large.data(), large.size(), format, again);
            write(large.c_str());
        }
        va_end(again);
    }

    // `value` in the format `element_format`: "%<width>d" (or "ld") for an
    // integer, anything printf takes for the other types. The format is a
    // constant, so that an integer's width is known when this is compiled.
    template <const char* (*element_format)(), class T>
    void element(T value) {
        if constexpr (std::is_integral_v<T>) {
            integer<width_of(element_format())>(static_cast<long>(value));
        } else {
            constexpr int width = fixed_width(element_format());
            if (width < 0 || !fixed_as_printf() || !fixed(static_cast<double>(value), width)) printf(element_format(), value);
        }
    }

    void flush() {
        if (used_ == 0) return;
        if (text_ != nullptr) {
            text_->append(block_, used_);
        } else if (file_ != nullptr) {
            std::fwrite(block_, 1, used_, file_);
        }
        used_ = 0;
    }

private:
    // The digits between "%" and the conversion of an integer format.
    static constexpr int width_of(const char* format) {
        int width = 0;
        for (const char* c = format + 1; *c >= '0' && *c <= '9'; ++c) width = width * 10 + (*c - '0');
        return width;
    }

    // The width of a format "%<width>f" or "%<width>lf", -1 for any other.
    static constexpr int fixed_width(const char* format) {
        if (format[0] != '%') return -1;
        const char* c = format + 1;
        int width = 0;
        for (; *c >= '0' && *c <= '9' && width < 100; ++c) width = width * 10 + (*c - '0');
        if (*c == 'l') ++c;
        return c[0] == 'f' && c[1] == '\0' ? width : -1;
    }

    // Whether std::to_chars writes a fixed-point number as printf does here:
    // it writes "." and rounds to nearest, printf follows the locale's
    // decimal point and the rounding mode. Asked once per TextOut.
    bool fixed_as_printf() {
        if (fixed_as_printf_ < 0) fixed_as_printf_ = numbers::point_is_dot() && std::fegetround() == FE_TONEAREST;
        return fixed_as_printf_ == 1;
    }

    // Makes room for `len` characters in the block and returns where they go.
    char* room(std::size_t len) {
        if (used_ + len > sizeof block_) flush();
        return block_ + used_;
    }

    // `text` of `len` characters right-aligned in at least `width`.
    void aligned(const char* text, int len, int width) {
        const int pad = width > len ? width - len : 0;
        if (static_cast<std::size_t>(pad + len) > sizeof block_ / 2) {
            for (int k = 0; k < pad; ++k) put(' ');
            for (int k = 0; k < len; ++k) put(text[k]);
            return;
        }
        char* to = room(static_cast<std::size_t>(pad + len));
        std::memset(to, ' ', static_cast<std::size_t>(pad));
        std::memcpy(to + pad, text, static_cast<std::size_t>(len));
        used_ += static_cast<std::size_t>(pad + len);
    }

    // Right-aligned in at least `width` characters, a minus sign in front of
    // the digits of a negative value: `width` blanks, then the digits written
    // from the right over them and beyond them when they are wider.
    template <int width>
    void integer(long value) {
        static_assert(width >= 0 && width <= 64);
        if constexpr (width >= 2) {
            // 0 … 99, most of an instance's numbers: the last two characters
            // from a table, with no branch on the number of digits.
            if (static_cast<unsigned long>(value) < 100) {
                static constexpr char two[] =
                    " 0 1 2 3 4 5 6 7 8 9101112131415161718192021222324252627282930313233343536373839404142434445464748"
                    "49505152535455565758596061626364656667686970717273747576777879808182838485868788899091929394959697"
                    "9899";
                char* to = room(width);
                std::memset(to, ' ', width - 2);
                std::memcpy(to + width - 2, two + 2 * value, 2);
                used_ += width;
                return;
            }
        }
        unsigned long magnitude = value < 0 ? 0UL - static_cast<unsigned long>(value) : static_cast<unsigned long>(value);
        int len = 1 + (value < 0);
        for (unsigned long rest = magnitude; rest >= 10; rest /= 10) ++len;
        const int total = len > width ? len : width;
        char* to = room(static_cast<std::size_t>(width) + 21);
        std::memset(to, ' ', static_cast<std::size_t>(width));
        char* digit = to + total;
        do {
            *--digit = static_cast<char>('0' + magnitude % 10);
            magnitude /= 10;
        } while (magnitude != 0);
        if (value < 0) *--digit = '-';
        used_ += static_cast<std::size_t>(total);
    }

    // printf's "%<width>f" of a finite value: six decimals, rounded as
    // printf rounds the exact binary value (std::to_chars promises the same
    // text). False, having written nothing, for infinities and NaN.
    bool fixed(double value, int width) {
        if (!std::isfinite(value)) return false;
        char text[320];  // DBL_MAX has 309 digits before the point
        const auto [end, ec] = std::to_chars(text, text + sizeof text, value, std::chars_format::fixed, 6);
        if (ec != std::errc{}) return false;
        aligned(text, static_cast<int>(end - text), width);
        return true;
    }

    std::FILE* file_ = nullptr;
    std::string* text_ = nullptr;
    char block_[4096];
    std::size_t used_ = 0;
    int fixed_as_printf_ = -1;  // unknown
};

// The element formats of the printers, by type.
template <class T>
constexpr const char* vector_format() {
    if constexpr (std::is_same_v<T, int>) return "%5d";
    if constexpr (std::is_same_v<T, long>) return "%8ld";
    if constexpr (std::is_same_v<T, float>) return "%5f";
    if constexpr (std::is_same_v<T, double>) return "%5lf";
}
template <class T>
constexpr const char* matrix_format() {
    if constexpr (std::is_same_v<T, int>) return "%5d";
    if constexpr (std::is_same_v<T, long>) return "%5ld";
    if constexpr (std::is_same_v<T, float>) return "%5f";
    if constexpr (std::is_same_v<T, double>) return "%5lf";
}

// "(" e0 "," e1 "," … e(len-1) ")\n"; "()\n" for no elements.
template <class T>
void put_vector(TextOut& out, const T* vector, int len) {
    out.put('(');
    for (int i = 0; i < len; ++i) {
        out.element<vector_format<T>>(vector[i]);
        out.put(i + 1 < len ? ',' : ')');
    }
    if (len <= 0) out.put(')');
    out.put('\n');
}

// One line per row, elements back to back.
template <class T>
void put_matrix(TextOut& out, const T* const* matrix, int rows, int cols) {
    for (int i = 0; i < rows; ++i) {
        for (int j = 0; j < cols; ++j) out.element<matrix_format<T>>(matrix[i][j]);
        out.put('\n');
    }
}

}  // namespace schedule

#endif  // SCHEDULE_SUPPORT_TEXT_OUT_H
