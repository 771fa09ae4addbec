// Text output for console printing and for the readers' echo: characters
// collected in a block and written at once, to a stream or to a string.
// Integers are formatted here by hand, exactly as printf's "%<width>d" would,
// since an echo is mostly integers and printf costs far more per element than
// reading them did. Other elements go through printf's formatting.
#ifndef SCHEDULE_SUPPORT_TEXT_OUT_H
#define SCHEDULE_SUPPORT_TEXT_OUT_H

#include <cstdarg>
#include <cstddef>
#include <cstdio>
#include <string>
#include <type_traits>

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
    // integer, anything printf takes for the other types.
    template <class T>
    void element(const char* element_format, T value) {
        if constexpr (std::is_integral_v<T>) {
            integer(static_cast<long>(value), width_of(element_format));
        } else {
            printf(element_format, value);
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
    static int width_of(const char* format) {
        int width = 0;
        for (const char* c = format + 1; *c >= '0' && *c <= '9'; ++c) width = width * 10 + (*c - '0');
        return width;
    }

    // Right-aligned in at least `width` characters, a minus sign in front of
    // the digits of a negative value.
    void integer(long value, int width) {
        char digits[24];
        int len = 0;
        unsigned long magnitude = value < 0 ? 0UL - static_cast<unsigned long>(value) : static_cast<unsigned long>(value);
        do {
            digits[len++] = static_cast<char>('0' + magnitude % 10);
            magnitude /= 10;
        } while (magnitude != 0);
        if (value < 0) digits[len++] = '-';
        for (int pad = width - len; pad > 0; --pad) put(' ');
        while (len > 0) put(digits[--len]);
    }

    std::FILE* file_ = nullptr;
    std::string* text_ = nullptr;
    char block_[4096];
    std::size_t used_ = 0;
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
        out.element(vector_format<T>(), vector[i]);
        out.put(i + 1 < len ? ',' : ')');
    }
    if (len <= 0) out.put(')');
    out.put('\n');
}

// One line per row, elements back to back.
template <class T>
void put_matrix(TextOut& out, const T* const* matrix, int rows, int cols) {
    for (int i = 0; i < rows; ++i) {
        for (int j = 0; j < cols; ++j) out.element(matrix_format<T>(), matrix[i][j]);
        out.put('\n');
    }
}

}  // namespace schedule

#endif  // SCHEDULE_SUPPORT_TEXT_OUT_H
