#include "NumberText.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>
#include <utility>

namespace {

// The C locale's white space, whatever the locale in force.
bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
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

namespace {

// Where the sign and the blanks before a number end, and the sign's factor.
size_t SkipBlanksAndSign(std::string_view text, double& sign) {
    size_t i = 0;
    while (i < text.size() && IsBlank(text[i])) {
        ++i;
    }
    sign = 1.0;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        sign = text[i] == '-' ? -1.0 : 1.0;
        ++i;
    }
    return i;
}

struct tagUnsignedNumber {
    double value = 0.0;
    size_t length = 0;
    bool outOfRange = false; // beyond a double: value is what strtod gives (HUGE_VAL or 0)
};

// A decimal number at the start of text, without a sign.
std::optional<tagUnsignedNumber> UnsignedNumberAt(std::string_view text) {
    if (text.empty() || text[0] == '+' || text[0] == '-') {
        return std::nullopt; // from_chars would take a second sign
    }
    const char* first = text.data();
    const char* last = first + text.size();
    // Times and integer values are most cells: whole numbers read faster as integers.
    uint64_t whole = 0;
    const auto [wholeEnd, wholeError] = std::from_chars(first, last, whole);
    const bool plain = wholeEnd == last || (*wholeEnd != '.' && *wholeEnd != 'e' && *wholeEnd != 'E');
    if (wholeError == std::errc{} && plain && whole < (uint64_t{1} << 53)) {
        return tagUnsignedNumber{static_cast<double>(whole), static_cast<size_t>(wholeEnd - first), false};
    }
    double value = 0.0;
    const auto [end, error] = std::from_chars(first, last, value, std::chars_format::general);
    const std::string_view matched(first, static_cast<size_t>(end - first));
    if (error == std::errc::result_out_of_range) {
        // Too small is a negative exponent, or no exponent and nothing but zeros before the point.
        const size_t e = matched.find_first_of("eE");
        const bool tiny = e != std::string_view::npos
                              ? e + 1 < matched.size() && matched[e + 1] == '-'
                              : matched.find_first_not_of('0') == std::string_view::npos ||
                                    matched[matched.find_first_not_of('0')] == '.';
        return tagUnsignedNumber{tiny ? 0.0 : HUGE_VAL, matched.size(), true};
    }
    if (error != std::errc{}) {
        return std::nullopt;
    }
    return tagUnsignedNumber{value, matched.size(), false};
}

} // namespace

double g_LeadingNumber(std::string_view text) {
    double sign = 1.0;
    const size_t at = SkipBlanksAndSign(text, sign);
    const auto number = UnsignedNumberAt(text.substr(at));
    return number ? sign * number->value : 0.0;
}

std::optional<double> g_ParseNumber(std::string_view text) {
    double sign = 1.0;
    const size_t at = SkipBlanksAndSign(text, sign);
    const auto number = UnsignedNumberAt(text.substr(at));
    if (!number || number->outOfRange) {
        return std::nullopt;
    }
    size_t end = at + number->length;
    while (end < text.size() && IsBlank(text[end])) {
        ++end;
    }
    if (end != text.size()) {
        return std::nullopt;
    }
    return sign * number->value;
}

char* g_PutFixed(char* out, double value, int decimals) {
    return std::to_chars(out, out + kFixedTextBytes, value, std::chars_format::fixed,
                         std::clamp(decimals, 0, 60))
        .ptr;
}

char* g_PutInteger(char* out, int64_t value) {
    return std::to_chars(out, out + kIntegerTextBytes, value).ptr;
}

std::string g_FixedText(double value, int decimals) {
    char text[kFixedTextBytes];
    return std::string(text, g_PutFixed(text, value, decimals));
}

std::string g_IntegerText(int64_t value) {
    char text[kIntegerTextBytes];
    return std::string(text, g_PutInteger(text, value));
}

std::string g_ShortestText(double value) {
    char text[32];
    return std::string(text, std::to_chars(text, text + sizeof text, value).ptr);
}

std::string g_ShortestText(float value) {
    char text[32];
    return std::string(text, std::to_chars(text, text + sizeof text, value).ptr);
}
