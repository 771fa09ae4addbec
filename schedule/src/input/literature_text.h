// Text taken apart into numbered lines and words, and the strict reading of
// whole numbers that names the source and the line of every complaint.
// Shared by the published layouts and the layout dispatcher.
#ifndef SCHEDULE_INPUT_LITERATURE_TEXT_H
#define SCHEDULE_INPUT_LITERATURE_TEXT_H

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace schedule::literature_text {

inline constexpr std::string_view blanks = " \t\r\v\f";

struct Line {
    std::string_view text;  // without its line feed (and a carriage return before it)
    int number;             // from 1
};

// The lines of `text`; a last line without a line feed counts.
std::vector<Line> lines_of(std::string_view text);

std::string_view trimmed(std::string_view text);
std::vector<std::string_view> words_of(std::string_view text);

// A line whose first character other than a blank is "#".
bool is_comment(const Line& line);

// The value of a word that is a whole number (an optional sign, digits) in
// the range of long, or nothing.
std::optional<long> whole_number(std::string_view word);

struct Number {
    long value;
    int line;
};

// Where text comes from, for the messages: Error (instance, code 0) reading
// "NAME:LINE: what".
struct Source {
    std::string name;

    [[noreturn]] void reject(int line, const std::string& what) const;

    // The whole number `word` on `line`, in low … high.
    long integer(std::string_view word, int line, long low, long high) const;

    // Every word of lines [begin, end) but comment lines, as whole numbers in
    // low … high.
    std::vector<Number> numbers(const std::vector<Line>& lines, std::size_t begin, std::size_t end, long low,
                                long high) const;
};

}  // namespace schedule::literature_text

#endif  // SCHEDULE_INPUT_LITERATURE_TEXT_H
