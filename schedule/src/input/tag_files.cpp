// Tagged files: splitting a file into tag entries and the tag readers.
#include <cstring>

#include "input/tag_entries.h"
#include "schedule/schedule.h"
#include "support/failure.h"

namespace schedule {

using namespace tag_entries;

int load_tag_content(const char* filename, char tag_parameter[][tag_text_size],
                     char content_parameter[][tag_content_size]) {
    return or_end_process([&] { return split_tag_file(filename, tag_parameter, content_parameter).entries; });
}

int load_int_tag(const char* tag, const char tag_parameter[][tag_text_size],
                 const char content_parameter[][tag_content_size], int useful_lines) {
    const int entry = find_entry(tag, tag_parameter, useful_lines);
    return entry < 0 ? -1 : to_int(content_parameter[entry]);
}

int load_long_vector_tag(const char* tag, const char tag_parameter[][tag_text_size],
                         const char content_parameter[][tag_content_size], int useful_lines,
                         long** return_vector) {
    return or_end_process([&] { return read_vector_tag(tag, tag_parameter, content_parameter, useful_lines, return_vector); });
}

int load_double_vector_tag(const char* tag, const char tag_parameter[][tag_text_size],
                           const char content_parameter[][tag_content_size], int useful_lines,
                           double** return_vector) {
    return or_end_process([&] { return read_vector_tag(tag, tag_parameter, content_parameter, useful_lines, return_vector); });
}

int load_int_vector_tag(const char* tag, const char tag_parameter[][tag_text_size],
                        const char content_parameter[][tag_content_size], int useful_lines,
                        int** return_vector) {
    return or_end_process([&] { return read_vector_tag(tag, tag_parameter, content_parameter, useful_lines, return_vector); });
}

int string_to_VECTOR_INT(const char* string, int** return_vector) {
    return or_end_process([&] { return list_to_vector(string, return_vector); });
}

int load_int_matrix_tag(const char* tag, const char tag_parameter[][tag_text_size],
                        const char content_parameter[][tag_content_size], int useful_lines,
                        int** return_matrix, int n_rows, int n_cols) {
    const int entry = find_entry(tag, tag_parameter, useful_lines);
    if (entry < 0) return matrix_absent;
    return parse_matrix(content_parameter[entry], return_matrix, n_rows, n_cols);
}

int count_chars(const char* string, char ch) { return count_in(string, string + std::strlen(string), ch); }

void clear_string(char* string, int len) {
    if (len > 0) std::memset(string, '\0', static_cast<std::size_t>(len));
}

}  // namespace schedule
