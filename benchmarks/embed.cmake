# Writes OUTPUT, a C++ source holding every file of DATA_DIR (given in FILES,
# relative paths) as a byte array, and a table of them by path.
#   cmake -DDATA_DIR=… -DOUTPUT=… -DFILES="a;b" -P embed.cmake
set(body "// Generated from benchmarks/data by embed.cmake; do not edit.\n#include <cstddef>\n#include <string_view>\n\nnamespace zurududo::benchmarks::embedded {\nnamespace {\n")
set(table "")
set(index 0)
foreach(file IN LISTS FILES)
  file(READ "${DATA_DIR}/${file}" hex HEX)
  string(LENGTH "${hex}" digits)
  math(EXPR bytes "${digits} / 2")
  string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," hex "${hex}")
  string(REGEX REPLACE "((0x..,){32})" "\\1\n" hex "${hex}")
  string(APPEND body "const unsigned char file_${index}[] = {\n${hex}0};\n")
  string(APPEND table "    {\"${file}\", file_${index}, ${bytes}},\n")
  math(EXPR index "${index} + 1")
endforeach()
string(APPEND body "}  // namespace\n\nstruct File {\n    const char* path;\n    const unsigned char* bytes;\n    std::size_t size;\n};\n\nextern const File files[] = {\n${table}};\nextern const std::size_t file_count = ${index};\n\n}  // namespace zurududo::benchmarks::embedded\n")
file(WRITE "${OUTPUT}.tmp" "${body}")
file(RENAME "${OUTPUT}.tmp" "${OUTPUT}")
