#include "Duration.h"

#include <cmath>
#include <cstdlib>
#include <string>

std::optional<double> g_ParseDuration(std::string_view text) {
    const size_t unitAt = text.find_first_not_of("0123456789.");
    const std::string number(text.substr(0, unitAt));
    const std::string_view unit = unitAt == std::string_view::npos ? "s" : text.substr(unitAt);
    char* end = nullptr;
    const double value = std::strtod(number.c_str(), &end);
    if (number.empty() || *end != '\0' || !std::isfinite(value) || value <= 0) {
        return std::nullopt;
    }
    const double scale = unit == "ms"  ? 0.001
                         : unit == "s" ? 1
                         : unit == "m" ? 60
                         : unit == "h" ? 3600
                         : unit == "d" ? 86400
                                       : 0;
    return scale > 0 ? std::optional<double>(value * scale) : std::nullopt;
}
