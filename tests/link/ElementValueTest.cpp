#include "link/ElementValue.h"

#include <gtest/gtest.h>

#include <bit>

namespace {

void ExpectWord(EnumGCMDataType type, bool bit, const char* text, uint32_t word) {
    const tagElementValue value = g_ElementValue(type, bit, text);
    EXPECT_TRUE(value.ok) << text << ": " << value.reason;
    EXPECT_EQ(value.word, word) << text;
}

void ExpectRefused(EnumGCMDataType type, bool bit, const char* text, const char* range) {
    const tagElementValue value = g_ElementValue(type, bit, text);
    EXPECT_FALSE(value.ok) << text;
    EXPECT_NE(value.reason.find(range), std::string::npos) << value.reason;
}

} // namespace

TEST(ElementValue, IntegersFitTheirTypeOrAreRefusedNamingTheRange) {
    ExpectWord(GCM_INT, false, "32767", 32767);
    ExpectWord(GCM_INT, false, " -32768 ", 0xFFFF8000u);
    ExpectWord(GCM_INT, false, "+5", 5);
    for (const char* text : {"32768", "70000", "-40000", "65535", "1.5", "abc", "", "0x10", "1e3"}) {
        ExpectRefused(GCM_INT, false, text, "INT (-32768..32767)");
    }
    ExpectWord(GCM_DINT, false, "-2147483648", 0x80000000u);
    ExpectWord(GCM_DINT, false, "2147483647", 0x7FFFFFFFu);
    for (const char* text : {"2147483648", "-2147483649", "99999999999999999999999"}) {
        ExpectRefused(GCM_DINT, false, text, "DINT (-2147483648..2147483647)");
    }
}

TEST(ElementValue, RealsAreFiniteSinglePrecisionNumbers) {
    ExpectWord(GCM_REAL, false, "1.5", std::bit_cast<uint32_t>(1.5f));
    ExpectWord(GCM_REAL, false, "-3.4e38", std::bit_cast<uint32_t>(-3.4e38f));
    for (const char* text : {"1e39", "inf", "-inf", "nan", "abc", "1,5", ""}) {
        ExpectRefused(GCM_REAL, false, text, "REAL");
    }
}

TEST(ElementValue, BitsAreZeroOneOnOrOff) {
    ExpectWord(GCM_BOOL, false, "on", 1);
    ExpectWord(GCM_BOOL, false, "OFF", 0);
    ExpectWord(GCM_INT, true, "1", 1); // a dotted bit of a word, written as the word's type
    ExpectWord(GCM_REAL, true, "0", 0);
    for (const char* text : {"2", "-1", "yes", "1.0", ""}) {
        ExpectRefused(GCM_BOOL, false, text, "a bit (0, 1, ON or OFF)");
        ExpectRefused(GCM_INT, true, text, "a bit");
    }
}
