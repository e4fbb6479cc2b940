#include "IntegerText.h"

#include <cctype>
#include <limits>

namespace {

bool IsBlank(char c) {
    return std::isspace(static_cast<unsigned char>(c)) != 0;
}

// The digit's value in the radix, or -1.
int DigitValue(char c, int radix) {
    int value = -1;
    if (c >= '0' && c <= '9') {
        value = c - '0';
    } else if (c >= 'a' && c <= 'f') {
        value = c - 'a' + 10;
    } else if (c >= 'A' && c <= 'F') {
        value = c - 'A' + 10;
    }
    return value < radix ? value : -1;
}

} // namespace

tagParsedInteger g_ParseInteger(std::string_view text, const tagIntegerRule& rule) {
    tagParsedInteger parsed;
    size_t i = 0;
    if (rule.blanks) {
        while (i < text.size() && IsBlank(text[i])) {
            ++i;
        }
    }
    bool negative = false;
    if (rule.sign && i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    constexpr uint64_t kLargest = static_cast<uint64_t>(std::numeric_limits<int64_t>::max());
    const uint64_t limit = negative ? kLargest + 1 : kLargest;
    uint64_t magnitude = 0;
    const size_t firstDigit = i;
    for (int digit = 0; i < text.size() && (digit = DigitValue(text[i], rule.radix)) >= 0; ++i) {
        const auto d = static_cast<uint64_t>(digit);
        if (magnitude > (limit - d) / static_cast<uint64_t>(rule.radix)) {
            parsed.overflow = true;
            magnitude = limit;
        } else if (!parsed.overflow) {
            magnitude = magnitude * static_cast<uint64_t>(rule.radix) + d;
        }
    }
    if (i == firstDigit) {
        return {};
    }
    if (!rule.leading) {
        size_t end = i;
        if (rule.blanks) {
            while (end < text.size() && IsBlank(text[end])) {
                ++end;
            }
        }
        if (end != text.size()) {
            return {};
        }
    }
    parsed.ok = true;
    parsed.value = negative ? static_cast<int64_t>(0 - magnitude) : static_cast<int64_t>(magnitude);
    return parsed;
}

std::optional<int64_t> g_ParseIntegerIn(std::string_view text, int64_t low, int64_t high, int radix) {
    const tagParsedInteger parsed = g_ParseInteger(text, {radix, false, false, false});
    if (!parsed.ok || parsed.overflow || parsed.value < low || parsed.value > high) {
        return std::nullopt;
    }
    return parsed.value;
}

int64_t g_LeadingInteger(std::string_view text) {
    return g_ParseInteger(text, {10, true, true, true}).value;
}
