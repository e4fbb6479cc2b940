// The one integer reader of the program. Every field, file and argument that holds a whole number
// goes through it; the callers differ only in the rule they ask for.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

struct tagIntegerRule {
    int radix = 10;       // 8, 10 or 16
    bool sign = false;    // an optional + or - before the digits
    bool blanks = false;  // white space before (and, for a whole text, after) the number
    bool leading = false; // only the leading number counts; whatever follows it is ignored
};

struct tagParsedInteger {
    bool ok = false;       // digits were found (and, unless leading, nothing else)
    bool overflow = false; // beyond 64 bits: the value is saturated
    int64_t value = 0;     // 0 when no digits were found
};

tagParsedInteger g_ParseInteger(std::string_view text, const tagIntegerRule& rule = {});

// A whole number of the radix, no sign, no blanks, within [low, high]; nothing otherwise.
std::optional<int64_t> g_ParseIntegerIn(std::string_view text, int64_t low, int64_t high, int radix = 10);

// The C library's strtol on a text: blanks, a sign, the leading decimal digits, saturated;
// 0 without digits.
int64_t g_LeadingInteger(std::string_view text);
