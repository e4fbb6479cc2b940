#include "ElementValue.h"

#include "kit/KitHelpers.h"
#include "kit/NumberText.h"
#include "kit/TextHelpers.h"

#include <cmath>
#include <limits>

namespace {

struct tagIntegerRange {
    int64_t low;
    int64_t high;
};

tagIntegerRange RangeOf(EnumGCMDataType type) {
    switch (type) {
    case GCM_DINT:
        return {INT32_MIN, INT32_MAX};
    case GCM_UINT:
    case GCM_USINT:
        return {0, UINT16_MAX};
    case GCM_UDINT:
        return {0, UINT32_MAX};
    default:
        return {INT16_MIN, INT16_MAX};
    }
}

tagElementValue Refused(std::string_view text, EnumGCMDataType type, bool bit) {
    const std::string shown = text.empty() ? "an empty value" : "\"" + std::string(text) + "\"";
    return {false, 0, shown + " does not fit " + g_ElementRangeText(type, bit)};
}

} // namespace

std::string g_ElementRangeText(EnumGCMDataType type, bool bit) {
    if (bit || type == GCM_BOOL) {
        return "a bit (0, 1, ON or OFF)";
    }
    if (type == GCM_REAL) {
        return "REAL (a finite number within +-3.4e38)";
    }
    const tagIntegerRange range = RangeOf(type);
    return g_DataTypeToStr(type) + " (" + g_IntegerText(range.low) + ".." + g_IntegerText(range.high) + ")";
}

tagElementValue g_ElementValue(EnumGCMDataType type, bool bit, std::string_view text) {
    const std::string_view value = g_Trim(text);
    if (bit || type == GCM_BOOL) {
        const std::string upper = g_Upper(value);
        if (upper == "ON" || upper == "1") {
            return {true, 1, {}};
        }
        if (upper == "OFF" || upper == "0") {
            return {true, 0, {}};
        }
        return Refused(value, type, true);
    }
    if (type == GCM_REAL) {
        const std::optional<double> number = g_ParseNumber(value);
        if (!number || !std::isfinite(*number)) {
            return Refused(value, type, false);
        }
        const auto single = static_cast<float>(*number);
        if (!std::isfinite(single)) {
            return Refused(value, type, false); // beyond what 32 bits hold
        }
        return {true, g_FloatToInt(single), {}};
    }
    const tagParsedInteger number = g_ParseInteger(value, {.sign = true});
    const tagIntegerRange range = RangeOf(type);
    if (!number.ok || number.overflow || number.value < range.low || number.value > range.high) {
        return Refused(value, type, false);
    }
    return {true, static_cast<uint32_t>(number.value), {}};
}
