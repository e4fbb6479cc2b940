#include "KitHelpers.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cctype>
#include <chrono>
#include <thread>
#include <utility>

void g_Delay(double seconds) {
    if (seconds > 0) {
        std::this_thread::sleep_for(std::chrono::duration<double>(seconds));
    }
}

float g_IntToFloat(uint32_t word) {
    return std::bit_cast<float>(word);
}

uint32_t g_FloatToInt(float value) {
    return std::bit_cast<uint32_t>(value);
}

namespace {

// IEC 61131 names; the unsigned axis-parameter codes get their own so that they read back exactly.
constexpr std::array<std::pair<EnumGCMDataType, std::string_view>, 7> kTypeNames{{
    {GCM_BOOL, "BOOL"},
    {GCM_UINT, "UINT"},
    {GCM_INT, "INT"},
    {GCM_UDINT, "UDINT"},
    {GCM_DINT, "DINT"},
    {GCM_REAL, "REAL"},
    {GCM_USINT, "USINT"},
}};

} // namespace

std::string g_DataTypeToStr(EnumGCMDataType type) {
    for (const auto& [code, name] : kTypeNames) {
        if (code == type) {
            return std::string(name);
        }
    }
    return "INT";
}

EnumGCMDataType g_StrToDataType(std::string_view text) {
    std::string upper(text);
    std::transform(upper.begin(), upper.end(), upper.begin(),
                   [](unsigned char c) { return std::toupper(c); });
    for (const auto& [code, name] : kTypeNames) {
        if (name == upper) {
            return code;
        }
    }
    return GCM_INT;
}

std::string g_FormatText(std::string_view format, const std::vector<std::string>& args) {
    std::string text;
    auto next = args.begin();
    for (size_t i = 0; i < format.size(); ++i) {
        const char c = format[i];
        if (c == '%' && i + 1 < format.size()) {
            const char kind = format[i + 1];
            if (kind == '%') {
                text += '%';
                ++i;
                continue;
            }
            if (kind == 'd' || kind == 'u' || kind == 's') {
                if (next != args.end()) {
                    text += *next++;
                }
                ++i;
                continue;
            }
        }
        text += c;
    }
    return text;
}
