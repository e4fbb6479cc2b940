#include "kit/NumberText.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>

#include <cstdint>
#include <limits>

TEST(NumberText, LeadingNumbersReadLikeTheCLibrary) {
    EXPECT_EQ(g_LeadingInteger(" \t-42xyz"), -42);
    EXPECT_EQ(g_LeadingInteger("x1"), 0);
    EXPECT_EQ(g_LeadingInteger("+"), 0);
    EXPECT_EQ(g_LeadingInteger("-"), 0);
    EXPECT_EQ(g_LeadingInteger("12.9"), 12);
    EXPECT_EQ(g_LeadingInteger("99999999999999999999999"), std::numeric_limits<int64_t>::max());
    EXPECT_EQ(g_LeadingInteger("-99999999999999999999999"), std::numeric_limits<int64_t>::min());
    EXPECT_EQ(g_LeadingInteger("-9223372036854775808"), std::numeric_limits<int64_t>::min());
}

TEST(NumberText, AWholeTextAllowsNothingElse) {
    EXPECT_FALSE(g_ParseInteger("").ok);
    EXPECT_FALSE(g_ParseInteger("12a").ok);
    EXPECT_FALSE(g_ParseInteger(" 12").ok);
    EXPECT_FALSE(g_ParseInteger("-3").ok); // no sign unless asked for
    EXPECT_EQ(g_ParseInteger(" -3 ", {10, true, true, false}).value, -3);
    EXPECT_TRUE(g_ParseInteger(" -3 ", {10, true, true, false}).ok);
    EXPECT_FALSE(g_ParseInteger("- 3", {10, true, true, false}).ok);
    const tagParsedInteger huge = g_ParseInteger("123456789012345678901234567890");
    EXPECT_TRUE(huge.ok);
    EXPECT_TRUE(huge.overflow);
    EXPECT_EQ(huge.value, std::numeric_limits<int64_t>::max());
}

TEST(NumberText, RadixDigitsStopOrRefuse) {
    EXPECT_EQ(g_ParseInteger("17", {8}).value, 15);
    EXPECT_FALSE(g_ParseInteger("18", {8}).ok);
    EXPECT_EQ(g_ParseInteger("18", {8, false, false, true}).value, 1); // reading stops at the 8
    EXPECT_EQ(g_ParseInteger("fF", {16}).value, 255);
    EXPECT_EQ(g_ParseIntegerIn("777", 0, 511, 8), 511);
    EXPECT_EQ(g_ParseIntegerIn("1000", 0, 511, 8), std::nullopt);
}

TEST(NumberText, RangesBoundWholeNumbers) {
    EXPECT_EQ(g_ParseIntegerIn("200", 1, 200), 200);
    EXPECT_EQ(g_ParseIntegerIn("0", 1, 200), std::nullopt);
    EXPECT_EQ(g_ParseIntegerIn("201", 1, 200), std::nullopt);
    EXPECT_EQ(g_ParseIntegerIn("+5", 1, 200), std::nullopt);
    EXPECT_EQ(g_ParseIntegerIn("99999999999999999999", 0, INT64_MAX), std::nullopt); // overflow is no value
}

TEST(NumberText, DecimalNumbersReadLikeStrtodInTheCLocale) {
    EXPECT_EQ(g_LeadingNumber("12abc"), 12.0);
    EXPECT_EQ(g_LeadingNumber(" \t-3.5"), -3.5);
    EXPECT_EQ(g_LeadingNumber("+7"), 7.0);
    EXPECT_EQ(g_LeadingNumber("1e3"), 1000.0);
    EXPECT_EQ(g_LeadingNumber("1.5,25"), 1.5); // a comma ends the number, whatever the locale
    EXPECT_EQ(g_LeadingNumber("0x10"), 0.0);   // decimal only
    for (const char* none : {"", "abc", "+", "-", "+-3", ".", "e5"}) {
        EXPECT_EQ(g_LeadingNumber(none), 0.0) << none;
    }
    EXPECT_TRUE(std::isinf(g_LeadingNumber("1e999")));
    EXPECT_EQ(g_LeadingNumber("1e-999"), 0.0);
    EXPECT_EQ(g_LeadingNumber("9007199254740993"), 9007199254740992.0); // beyond 2^53: the nearest
    EXPECT_EQ(g_LeadingNumber("0.1"), 0.1);
}

TEST(NumberText, AWholeNumberTextAllowsBlanksAroundAndNothingElse) {
    EXPECT_EQ(g_ParseNumber(" 1.5 "), 1.5);
    EXPECT_EQ(g_ParseNumber("-2e-3"), -0.002);
    for (const char* bad : {"", " ", "1.5x", "1,5", "0x10", "1e999", "- 1", "1 2"}) {
        EXPECT_EQ(g_ParseNumber(bad), std::nullopt) << bad;
    }
    EXPECT_TRUE(std::isnan(g_ParseNumber("nan").value_or(0))); // the caller decides about these
}

TEST(NumberText, NumbersAreWrittenAsPrintfWritesThemInTheCLocale) {
    EXPECT_EQ(g_FixedText(1.5), "1.500000");
    EXPECT_EQ(g_FixedText(-0.0000004), "-0.000000");
    EXPECT_EQ(g_FixedText(2.0005, 3), "2.001"); // 2.0005 is 2.000500000000000078 as a double
    EXPECT_EQ(g_FixedText(1e300).size(), 301u + 7u);
    EXPECT_EQ(g_IntegerText(-2147483648LL), "-2147483648");
    EXPECT_EQ(g_ShortestText(0.1), "0.1");
    EXPECT_EQ(g_ShortestText(1.5f), "1.5");
    EXPECT_EQ(g_ShortestText(0.1f), "0.1");
    EXPECT_EQ(g_LeadingNumber(g_ShortestText(1.0 / 3.0)), 1.0 / 3.0);
}

// Runs under the C locale and again under German and French ones (the suite's main takes the
// locale from LC_ALL as the window does): the C library then writes commas, this module never.
TEST(NumberText, TheDesktopLocaleChangesTheCLibraryButNotOurNumbers) {
    const char* wanted = std::getenv("LC_ALL");
    const std::string locale = wanted ? wanted : "";
    char text[32];
    std::snprintf(text, sizeof text, "%.1f", 1.5);
    const bool commaLocale = locale.rfind("de_", 0) == 0 || locale.rfind("fr_", 0) == 0;
    EXPECT_STREQ(text, commaLocale ? "1,5" : "1.5") << "the locale " << locale << " is not in force";
    EXPECT_EQ(g_FixedText(1.5, 1), "1.5");
    EXPECT_EQ(g_LeadingNumber("1.5"), 1.5);
    EXPECT_EQ(g_ParseNumber("0.5"), 0.5);
}
