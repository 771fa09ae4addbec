// Tagged files taken apart: the splitter that turns a file's characters into
// tag entries, and the conversions of a content into vectors and matrices.
// Shared by the tag readers and the instance loaders.
#ifndef SCHEDULE_INPUT_TAG_ENTRIES_H
#define SCHEDULE_INPUT_TAG_ENTRIES_H

#include <algorithm>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iterator>
#include <optional>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

#include "schedule/checked.h"
#include "schedule/schedule.h"
#include "support/allocation.h"
#include "support/failure.h"
#include "support/numbers.h"

namespace schedule::tag_entries {

inline constexpr int tag_text_chars = tag_text_size - 2;        // room for "=" and NUL
inline constexpr int content_chars = tag_content_size - 1;      // room for NUL

// What a split stored, and what did not fit the working storage.
struct TagSplit {
    int entries = 0;                          // complete entries stored
    int entries_beyond = 0;                   // complete entries after the last slot
    bool content_cut[tag_entry_slots] = {};  // entry whose content lost characters
};

// Where the stored entries stand in the file, for messages that name a line:
// the line (from 1) of an entry's last "[" before its "=", the line of that
// "=", and the offsets in its content before which a line ended.
struct TagLines {
    int tag_line[tag_entry_slots] = {};
    int content_line[tag_entry_slots] = {};
    std::vector<int> breaks[tag_entry_slots];

    // The line of the character at `offset` of an entry's content.
    int line_of(int entry, int offset) const {
        const std::vector<int>& b = breaks[entry];
        return content_line[entry] + static_cast<int>(std::upper_bound(b.begin(), b.end(), offset) - b.begin());
    }
};

// The character state machine that turns a stream into tag entries. Entries
// past the last slot are still parsed (so that they can be counted) but not
// stored.
class TagSplitter {
public:
    // With `lines`, also records where each stored entry stands.
    TagSplitter(char (*tags)[tag_text_size], char (*contents)[tag_content_size], TagLines* lines = nullptr)
        : tags_(tags), contents_(contents), lines_(lines) {
        start_entry();
    }

    // Feeds `len` characters of the file, in order; a file may come in
    // several blocks. A carriage return directly before a line feed is
    // dropped with it, as text-mode reading does; the last character of a
    // block waits for the first of the next when it is a carriage return.
    // Runs of content characters are copied whole.
    void feed_text(const char* text, std::size_t len) {
        const char* c = text;
        const char* const end = text + len;
        if (pending_cr_ && c != end) {
            pending_cr_ = false;
            if (*c == '\n') {
                ++c;
                feed('\n');
            } else {
                feed('\r');
            }
        }
        while (c != end) {
            if (in_content_) {
                const char* run = c;
                while (c != end && !ends_run(*c)) ++c;
                append_content(run, static_cast<std::size_t>(c - run));
                if (c == end) break;
            }
            const char ch = *c++;
            if (ch == '\r') {
                if (c == end) {
                    pending_cr_ = true;
                    break;
                }
                if (*c == '\n') {
                    ++c;
                    feed('\n');
                    continue;
                }
            }
            feed(ch);
        }
    }

    // The end of the file: a carriage return left waiting is a character.
    TagSplit finish() {
        if (pending_cr_) feed('\r');
        pending_cr_ = false;
        return result();
    }

    void feed(char c) {
        if (c == '\n') {
            ++line_;
            if (lines_ != nullptr && in_content_ && stored()) lines_->breaks[entry_].push_back(content_len_);
            return;
        }
        if (!in_content_) {
            if (c == '=') {
                append_tag('=');
                in_content_ = true;
                if (lines_ != nullptr && stored()) lines_->content_line[entry_] = line_;
            } else if (c == ']') {
                close_entry();
            } else {
                append_tag(c);
            }
        } else {
            if (c == '=') {
                // A second "=" leaves the entry with the tag text "=" alone.
                tag_len_ = 0;
                append_tag('=');
                content_len_ = 0;
                cut_ = false;
                if (lines_ != nullptr && stored()) {
                    lines_->content_line[entry_] = line_;
                    lines_->breaks[entry_].clear();
                }
            } else if (c == ']') {
                close_entry();
            } else if (content_len_ < content_chars) {
                if (stored()) contents_[entry_][content_len_] = c;
                ++content_len_;
            } else {
                cut_ = true;
            }
        }
    }

    TagSplit result() const {
        TagSplit split = report_;
        split.entries = entry_ < tag_entry_slots ? entry_ : tag_entry_slots;
        split.entries_beyond = entry_ - split.entries;
        return split;
    }

private:
    bool stored() const { return entry_ < tag_entry_slots; }

    // The characters that end a run of content characters.
    static bool ends_run(char c) { return c == '\n' || c == '\r' || c == '=' || c == ']'; }

    // Content characters beyond the room of an entry are lost, and the
    // entry is marked cut.
    void append_content(const char* run, std::size_t len) {
        const std::size_t room = static_cast<std::size_t>(content_chars - content_len_);
        const std::size_t kept = len < room ? len : room;
        if (stored()) std::memcpy(contents_[entry_] + content_len_, run, kept);
        content_len_ += static_cast<int>(kept);
        if (kept < len) cut_ = true;
    }

    void start_entry() {
        if (lines_ != nullptr && stored()) {
            lines_->tag_line[entry_] = line_;
            lines_->breaks[entry_].clear();
        }
        tag_len_ = 0;
        content_len_ = 0;
        cut_ = false;
        in_content_ = false;
    }

    // A tag text keeps its last tag_text_chars characters before the "=", so
    // a long heading in front of a tag cannot hide the tag.
    void append_tag(char c) {
        if (!stored()) return;
        if (c == '[' && lines_ != nullptr) lines_->tag_line[entry_] = line_;
        char* text = tags_[entry_];
        if (c == '=' || tag_len_ < tag_text_chars) {
            text[tag_len_++] = c;
        } else {
            std::memmove(text, text + 1, tag_text_chars - 1);
            text[tag_text_chars - 1] = c;
        }
    }

    void close_entry() {
        if (stored()) {
            tags_[entry_][tag_len_] = '\0';
            contents_[entry_][content_len_] = '\0';
            report_.content_cut[entry_] = cut_;
        }
        ++entry_;
        start_entry();
    }

    char (*tags_)[tag_text_size];
    char (*contents_)[tag_content_size];
    TagLines* lines_;
    TagSplit report_;
    int line_ = 1;
    int entry_ = 0;
    int tag_len_ = 0;
    int content_len_ = 0;
    bool cut_ = false;
    bool in_content_ = false;
    bool pending_cr_ = false;
};

// A file that opened but could not be read, such as a directory: taking it
// for an empty file would misreport its content.
[[noreturn]] inline void unreadable(const char* filename) {
    fail(ErrorKind::file, 999, std::string("The file ") + filename + " could not be read");
}

// Reads the file in blocks and splits it.
inline TagSplit split_tag_file(const char* filename, char (*tags)[tag_text_size],
                               char (*contents)[tag_content_size], TagLines* lines = nullptr) {
    std::FILE* file = std::fopen(filename, "r");
    if (file == nullptr) fail(ErrorKind::file, 2, filename);
    TagSplitter splitter(tags, contents, lines);
    char block[1 << 16];
    std::size_t got;
    while ((got = std::fread(block, 1, sizeof block, file)) > 0) splitter.feed_text(block, got);
    const bool failed = std::ferror(file) != 0;
    std::fclose(file);
    if (failed) unreadable(filename);
    return splitter.finish();
}

// Splits the text of a file held in memory.
inline TagSplit split_tag_text(std::string_view text, char (*tags)[tag_text_size],
                               char (*contents)[tag_content_size], TagLines* lines = nullptr) {
    TagSplitter splitter(tags, contents, lines);
    splitter.feed_text(text.data(), text.size());
    return splitter.finish();
}

// Every tag a tagged instance file may hold, whatever its environment.
inline constexpr const char* known_tags[] = {"JOBS", "MACHINES", "PT", "RT", "V", "R", "DD", "W"};

// The name of an entry's tag: what stands between the last "[" of its tag
// text and the "=" that ends it; nothing for an entry without a "[".
inline std::optional<std::string_view> tag_name(std::string_view tag_text) {
    const auto open = tag_text.rfind('[');
    if (open == std::string_view::npos || tag_text.empty() || tag_text.back() != '=') return std::nullopt;
    return tag_text.substr(open + 1, tag_text.size() - open - 2);
}

// Nothing for a known tag; for another, what to say of it: "unknown tag
// JBOS (did you mean JOBS?)".
inline std::optional<std::string> unknown_tag(std::string_view name) {
    for (const char* known : known_tags)
        if (name == known) return std::nullopt;
    const std::vector<std::string> names(std::begin(known_tags), std::end(known_tags));
    const auto guess = closest_name(name, names);
    return "unknown tag " + std::string(name) + (guess ? " (did you mean " + *guess + "?)" : "");
}

// The first of the first `useful_lines` entries whose tag text holds `tag`.
inline int find_entry(const char* tag, const char tag_parameter[][tag_text_size], int useful_lines) {
    for (int i = 0; i < useful_lines; ++i) {
        if (std::strstr(tag_parameter[i], tag) != nullptr) return i;
    }
    return -1;
}

// Element conversions with the rules of atoi, atol and atof (leading white
// space, optional sign, as many characters as fit the number, 0 for no
// number). Each reads from the start of an element and stops at its
// separator, since neither "," nor ";" can continue a number (unless a
// locale makes "," the decimal point). Integers beyond their type's range
// saturate. `*next` is where the search for the element's separator may
// start (see numbers.h); `point_is_dot` is numbers::point_is_dot().
inline int saturated_int(long v) {
    if (v > INT_MAX) return INT_MAX;
    if (v < INT_MIN) return INT_MIN;
    return static_cast<int>(v);
}
inline int to_int(const char* text) { return saturated_int(std::strtol(text, nullptr, 10)); }

inline void convert(const char* text, long* out, const char** next, bool) { *out = numbers::parse_long(text, next); }
inline void convert(const char* text, int* out, const char** next, bool) {
    *out = saturated_int(numbers::parse_long(text, next));
}
inline void convert(const char* text, double* out, const char** next, bool point_is_dot) {
    *out = numbers::parse_double(text, next, point_is_dot);
}

// How many times `ch` occurs in begin … end, eight characters at a time: a
// byte of x = word ^ pattern is zero where the word holds `ch`, and only then
// does adding 0x7f to its low seven bits leave its high bit clear.
inline int count_in(const char* begin, const char* end, char ch) {
    constexpr std::uint64_t ones = 0x0101010101010101ULL;
    constexpr std::uint64_t low7 = 0x7f7f7f7f7f7f7f7fULL;
    const std::uint64_t pattern = ones * static_cast<unsigned char>(ch);
    std::uint64_t n = 0;
    for (; end - begin >= 8; begin += 8) {
        std::uint64_t word;
        std::memcpy(&word, begin, 8);
        const std::uint64_t x = word ^ pattern;
        const std::uint64_t marks = ~(((x & low7) + low7) | x) & ~low7;  // 0x80 in each byte equal to ch
        n += ((marks >> 7) * ones) >> 56;
    }
    for (; begin != end; ++begin) n += *begin == ch;
    return static_cast<int>(n);
}

// Converts the elements of a comma list that ends at `end` (a NUL or ";")
// into out[0], out[1], …; returns how many it wrote.
template <class T>
int convert_list(const char* text, const char* end, T* out) {
    const bool point_is_dot = !std::is_floating_point_v<T> || numbers::point_is_dot();
    int n = 0;
    for (const char* element = text;; ++n) {
        const char* c;
        convert(element, &out[n], &c, point_is_dot);
        while (c != end && *c != ',') ++c;
        if (c == end) return n + 1;
        element = c + 1;
    }
}

template <class T>
int list_to_vector(const char* text, T** return_vector) {
    const char* const end = text + std::strlen(text);
    const int len = count_in(text, end, ',') + 1;
    T* v = vector_or_throw<T>(len);
    convert_list(text, end, v);
    *return_vector = v;
    return len;
}

template <class T>
int read_vector_tag(const char* tag, const char tag_parameter[][tag_text_size],
                    const char content_parameter[][tag_content_size], int useful_lines,
                    T** return_vector) {
    const int entry = find_entry(tag, tag_parameter, useful_lines);
    if (entry < 0) return -1;
    return list_to_vector(content_parameter[entry], return_vector);
}

// Statuses of a matrix content.
inline constexpr int matrix_filled = 0;
inline constexpr int matrix_rows_differ = -1;
inline constexpr int matrix_row_length_differs = -2;
inline constexpr int matrix_absent = -10;

// The end of the row that starts at `text`: its ";" or the end of the text.
inline const char* row_end(const char* text) {
    const char* end = std::strchr(text, ';');
    return end != nullptr ? end : text + std::strlen(text);
}

inline int elements_in(const char* text, const char* end) { return count_in(text, end, ',') + 1; }

// Fills the n_rows × n_cols matrix from ";"-separated comma lists; rows before
// a row of the wrong length stay written. With a null matrix it only tells
// whether the text has that shape.
inline int parse_matrix(const char* text, int** matrix, int n_rows, int n_cols) {
    if (count_in(text, text + std::strlen(text), ';') + 1 != n_rows) return matrix_rows_differ;
    for (int row = 0; row < n_rows; ++row) {
        const char* end = row_end(text);
        if (elements_in(text, end) != n_cols) return matrix_row_length_differs;
        if (matrix != nullptr) convert_list(text, end, matrix[row]);
        text = end + 1;
    }
    return matrix_filled;
}

// Fills the n_rows × n_cols matrix from a text that parse_matrix has found to
// have that shape, as parse_matrix would, without counting again: the
// separator after an element is the next "," or ";" (or the end).
inline void fill_matrix(const char* text, int** matrix, int n_rows, int n_cols) {
    for (int row = 0; row < n_rows; ++row) {
        for (int col = 0; col < n_cols; ++col) {
            const char* c;
            convert(text, &matrix[row][col], &c, true);
            while (*c != ',' && *c != ';' && *c != '\0') ++c;
            text = c + 1;
        }
    }
}
}  // namespace schedule::tag_entries

#endif  // SCHEDULE_INPUT_TAG_ENTRIES_H
