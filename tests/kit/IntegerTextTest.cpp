#include "kit/IntegerText.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>

TEST(IntegerText, LeadingNumbersReadLikeTheCLibrary) {
    EXPECT_EQ(g_LeadingInteger(" \t-42xyz"), -42);
    EXPECT_EQ(g_LeadingInteger("x1"), 0);
    EXPECT_EQ(g_LeadingInteger("+"), 0);
    EXPECT_EQ(g_LeadingInteger("-"), 0);
    EXPECT_EQ(g_LeadingInteger("12.9"), 12);
    EXPECT_EQ(g_LeadingInteger("99999999999999999999999"), std::numeric_limits<int64_t>::max());
    EXPECT_EQ(g_LeadingInteger("-99999999999999999999999"), std::numeric_limits<int64_t>::min());
    EXPECT_EQ(g_LeadingInteger("-9223372036854775808"), std::numeric_limits<int64_t>::min());
}

TEST(IntegerText, AWholeTextAllowsNothingElse) {
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

TEST(IntegerText, RadixDigitsStopOrRefuse) {
    EXPECT_EQ(g_ParseInteger("17", {8}).value, 15);
    EXPECT_FALSE(g_ParseInteger("18", {8}).ok);
    EXPECT_EQ(g_ParseInteger("18", {8, false, false, true}).value, 1); // reading stops at the 8
    EXPECT_EQ(g_ParseInteger("fF", {16}).value, 255);
    EXPECT_EQ(g_ParseIntegerIn("777", 0, 511, 8), 511);
    EXPECT_EQ(g_ParseIntegerIn("1000", 0, 511, 8), std::nullopt);
}

TEST(IntegerText, RangesBoundWholeNumbers) {
    EXPECT_EQ(g_ParseIntegerIn("200", 1, 200), 200);
    EXPECT_EQ(g_ParseIntegerIn("0", 1, 200), std::nullopt);
    EXPECT_EQ(g_ParseIntegerIn("201", 1, 200), std::nullopt);
    EXPECT_EQ(g_ParseIntegerIn("+5", 1, 200), std::nullopt);
    EXPECT_EQ(g_ParseIntegerIn("99999999999999999999", 0, INT64_MAX), std::nullopt); // overflow is no value
}
