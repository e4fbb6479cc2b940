#include "sim/ElementMemory.h"
#include "kit/ElementKinds.h"
#include "kit/KitHelpers.h"

#include "support/ElementRefHelpers.h"

#include <gtest/gtest.h>

TEST(ElementMemory, WideValuesSpanTwoWordsLowWordFirst) {
    CElementMemory memory;
    ASSERT_TRUE(memory.Write(Ref("D100"), GCM_DINT, "-100000"));
    EXPECT_EQ(memory.GetWord(KIND_D, 100), static_cast<uint16_t>(static_cast<uint32_t>(-100000) & 0xFFFF));
    EXPECT_EQ(memory.GetWord(KIND_D, 101), static_cast<uint16_t>(static_cast<uint32_t>(-100000) >> 16));
    EXPECT_EQ(memory.Read(Ref("D100"), GCM_DINT), static_cast<uint32_t>(-100000));

    ASSERT_TRUE(memory.Write(Ref("D200"), GCM_REAL, "1.5"));
    EXPECT_EQ(g_IntToFloat(*memory.Read(Ref("D200"), GCM_REAL)), 1.5f);
    // A 32-bit value cannot start at the last word.
    EXPECT_FALSE(memory.Write(Ref("D7999"), GCM_DINT, "1"));
    EXPECT_FALSE(memory.Read(Ref("D7999"), GCM_DINT).has_value());
}

TEST(ElementMemory, IntReadsSignExtendAndBitsOfWordsAreAddressable) {
    CElementMemory memory;
    ASSERT_TRUE(memory.Write(Ref("D5"), GCM_INT, "-2"));
    EXPECT_EQ(memory.Read(Ref("D5"), GCM_INT), 0xFFFFFFFEu);
    ASSERT_TRUE(memory.Write(Ref("D6.15"), GCM_BOOL, "ON"));
    EXPECT_EQ(memory.GetWord(KIND_D, 6), 0x8000);
    EXPECT_EQ(memory.Read(Ref("D6.15"), GCM_BOOL), 1u);
    ASSERT_TRUE(memory.Write(Ref("D6.15"), GCM_BOOL, "OFF"));
    EXPECT_EQ(memory.GetWord(KIND_D, 6), 0);
}

TEST(ElementMemory, CountersBelow200Are16BitAndAbove32Bit) {
    CElementMemory memory;
    ASSERT_TRUE(memory.Write(Ref("C10"), GCM_INT, "-30000"));
    EXPECT_EQ(static_cast<int32_t>(*memory.Read(Ref("C10"), GCM_INT)), -30000);
    EXPECT_FALSE(memory.Write(Ref("C10"), GCM_INT, "40000")); // never wrapped into 16 bits
    EXPECT_EQ(static_cast<int32_t>(*memory.Read(Ref("C10"), GCM_INT)), -30000);
    ASSERT_TRUE(memory.Write(Ref("C200"), GCM_DINT, "40000"));
    EXPECT_EQ(memory.Read(Ref("C200"), GCM_DINT), 40000u);
    ASSERT_TRUE(memory.Write(Ref("C200"), GCM_BOOL, "ON"));
    EXPECT_EQ(memory.Read(Ref("C200"), GCM_BOOL), 1u);
    EXPECT_EQ(memory.Read(Ref("C200"), GCM_DINT), 40000u); // the contact is separate from the value
}

TEST(ElementMemory, RefusesWritesThatMakeNoSense) {
    CElementMemory memory;
    EXPECT_FALSE(memory.Write(Ref("D1"), GCM_INT, "abc"));
    EXPECT_FALSE(memory.Write(Ref("M1"), GCM_BOOL, "maybe"));
    EXPECT_FALSE(memory.Write(Ref("T1"), GCM_DINT, "5"));
    EXPECT_FALSE(memory.Write(Ref("AXIS0", true, 17), GCM_DINT, "5"));
    std::string why;
    EXPECT_FALSE(memory.Write(Ref("M1"), GCM_BOOL, "2", &why));
    EXPECT_NE(why.find("a bit (0, 1, ON or OFF)"), std::string::npos) << why;
    EXPECT_TRUE(memory.Write(Ref("M1"), GCM_BOOL, "1"));
    EXPECT_EQ(memory.Read(Ref("M1"), GCM_BOOL), 1u);
}
