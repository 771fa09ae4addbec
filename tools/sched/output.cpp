#include "output.h"

#include <algorithm>
#include <cmath>

#include "common.h"

namespace sched {

void check_format(const std::string& format, const std::vector<std::string>& allowed) {
    if (std::find(allowed.begin(), allowed.end(), format) != allowed.end()) return;
    std::string list;
    for (std::size_t k = 0; k < allowed.size(); ++k)
        list += (k == 0 ? "" : k + 1 == allowed.size() ? " or " : ", ") + allowed[k];
    usage_error("unknown format '" + format + "' (" + list + ")");
}

std::string value_text(const schedule::Value& value) {
    return std::visit(
        [](auto v) {
            if constexpr (std::is_same_v<decltype(v), long>)
                return std::to_string(v);
            else
                return format_double(v);
        },
        value);
}

nlohmann::json value_json(double value) {
    return std::isfinite(value) ? nlohmann::json(value) : nlohmann::json();
}

nlohmann::json value_json(const schedule::Value& value) {
    return std::visit(
        [](auto v) {
            if constexpr (std::is_same_v<decltype(v), long>)
                return nlohmann::json(v);
            else
                return value_json(v);
        },
        value);
}

std::string json_text(const nlohmann::json& json) {
    return json.dump(2) + "\n";
}

std::string pad(const std::string& text, std::size_t width) {
    return std::string(width > text.size() ? width - text.size() : 0, ' ') + text;
}

}  // namespace sched
