#include "Duration.h"
#include "NumberText.h"

#include <cmath>
#include <cstdlib>
#include <string>

std::optional<double> g_ParseDuration(std::string_view text) {
    const size_t unitAt = text.find_first_not_of("0123456789.");
    const std::string_view number = text.substr(0, unitAt);
    const std::string_view unit = unitAt == std::string_view::npos ? "s" : text.substr(unitAt);
    const std::optional<double> parsed = number.empty() ? std::nullopt : g_ParseNumber(number);
    if (!parsed || !std::isfinite(*parsed) || *parsed <= 0) {
        return std::nullopt;
    }
    const double value = *parsed;
    const double scale = unit == "ms"  ? 0.001
                         : unit == "s" ? 1
                         : unit == "m" ? 60
                         : unit == "h" ? 3600
                         : unit == "d" ? 86400
                                       : 0;
    return scale > 0 ? std::optional<double>(value * scale) : std::nullopt;
}
