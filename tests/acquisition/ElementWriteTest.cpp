#include "acquisition/ElementWrite.h"
#include "acquisition/Trigger.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

tagWriteRequest Prepared(const std::string& address, const std::string& value, int typeIndex) {
    auto request = PrepareWrite(address, value, typeIndex);
    EXPECT_TRUE(request.has_value()) << address;
    return request.value_or(tagWriteRequest{});
}

} // namespace

TEST(ElementWrite, TypeFollowsTheElementFamily) {
    EXPECT_EQ(Prepared("m100", "5", 1), (tagWriteRequest{"M100", "ON", GCM_BOOL}));
    EXPECT_EQ(Prepared("D100", "0", 0), (tagWriteRequest{"D100", "0", GCM_INT}));
    EXPECT_EQ(Prepared("C5", "1", 0), (tagWriteRequest{"C5", "ON", GCM_BOOL}));
    EXPECT_EQ(Prepared("T5", "12", 1), (tagWriteRequest{"T5", "12", GCM_INT}));
    EXPECT_EQ(Prepared("D100.3", "1", 0), (tagWriteRequest{"D100.3", "1", GCM_INT}));
}

TEST(ElementWrite, ValuesAreNormalised) {
    EXPECT_EQ(Prepared("D1", "1.5", 3).value, "1.500000");
    EXPECT_EQ(Prepared("D1", "abc", 3).value, "0.000000");
    EXPECT_EQ(Prepared("Y0", "-1", 0).value, "OFF");
    EXPECT_EQ(Prepared("Y0", "2", 0).value, "ON");
    EXPECT_EQ(Prepared("D1", " 12abc ", 2).value, "12");
    EXPECT_EQ(Prepared("D1", "99999999999", 2).value, "2147483647");
}

TEST(ElementWrite, UnwritableNamesAndEmptyFieldsAreIgnored) {
    for (const char* address : {"X18", "LM10", "V3", "R5.3", "D5.16", "K5", "Q1", "D100Z1", ""}) {
        EXPECT_FALSE(PrepareWrite(address, "1", 1).has_value()) << address;
    }
    EXPECT_TRUE(PrepareWrite("X17", "1", 1).has_value());
    EXPECT_FALSE(PrepareWrite("D1", "   ", 1).has_value());
}

TEST(TriggerCondition, ComparesAsConfigured) {
    EXPECT_TRUE(EvaluateTriggerCondition(5.0, 5.0, TRIGGER_EQUAL));
    EXPECT_TRUE(EvaluateTriggerCondition(5.0, 5.0000000005, TRIGGER_EQUAL));
    EXPECT_FALSE(EvaluateTriggerCondition(5.0, 5.000000002, TRIGGER_EQUAL));
    EXPECT_FALSE(EvaluateTriggerCondition(3, 3, TRIGGER_GREATER));
    EXPECT_TRUE(EvaluateTriggerCondition(3, 3, TRIGGER_GREATER_EQUAL));
    EXPECT_TRUE(EvaluateTriggerCondition(2, 3, TRIGGER_LESS));
    EXPECT_TRUE(EvaluateTriggerCondition(2, 3, TRIGGER_LESS_EQUAL));
    for (uint32_t code = 0; code <= 6; ++code) {
        EXPECT_FALSE(EvaluateTriggerCondition(std::nan(""), 1.0, code)) << code;
        EXPECT_FALSE(EvaluateTriggerCondition(1.0, std::nan(""), code)) << code;
    }
    EXPECT_FALSE(EvaluateTriggerCondition(9, 1, 5));
}
