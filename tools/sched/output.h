// Output formats shared by the commands: objective values as text and as
// JSON (a value that is not finite is null), plain tables.
#ifndef SCHED_TOOL_OUTPUT_H
#define SCHED_TOOL_OUTPUT_H

#include <string>
#include <variant>
#include <vector>

#include <nlohmann/json.hpp>

#include "schedule/checked.h"

namespace sched {

// table, tsv or json; anything else is a usage error.
void check_format(const std::string& format, const std::vector<std::string>& allowed);

std::string value_text(const schedule::Value& value);
nlohmann::json value_json(const schedule::Value& value);
nlohmann::json value_json(double value);

// JSON text, with a final newline.
std::string json_text(const nlohmann::json& json);

// Right-aligns `text` in `width` columns.
std::string pad(const std::string& text, std::size_t width);

}  // namespace sched

#endif
