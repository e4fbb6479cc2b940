// Numbers as text, the one way the program reads and writes them: fields, cells, files, the
// journal, settings and arguments all go through here. Nothing depends on the C library's locale,
// which Qt sets to the desktop's (a German desktop would otherwise read and write "1,5").
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
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

// The C library's strtod on a text, decimal only: blanks, a sign, the longest leading decimal
// number (with exponent; "inf" and "nan" too); 0 without one. "0x10" reads 0, as a decimal reader
// stops at the x.
double g_LeadingNumber(std::string_view text);

// The whole text (blanks around it allowed) as one decimal number; nothing for anything else,
// also for a number beyond the range of a double.
std::optional<double> g_ParseNumber(std::string_view text);

// printf's "%.*f": fixed, the given decimals ("%f" is 6), a point whatever the locale.
std::string g_FixedText(double value, int decimals = 6);
// printf's "%d" of a whole number.
std::string g_IntegerText(int64_t value);
// The same into a buffer of at least kFixedTextBytes or kIntegerTextBytes, for rows of numbers:
// the end of what was written.
constexpr size_t kFixedTextBytes = 384; // 309 integer digits of the largest double, sign, point, decimals
constexpr size_t kIntegerTextBytes = 21;
char* g_PutFixed(char* out, double value, int decimals);
char* g_PutInteger(char* out, int64_t value);
// The shortest text that reads back as exactly this value ("%.17g" without the noise).
std::string g_ShortestText(double value);
std::string g_ShortestText(float value);
