#include "link/ElementRef.h"

#include "support/ElementRefHelpers.h"

#include <gtest/gtest.h>

TEST(ElementRef, ResolvesNamesWithinTheControllerRanges) {
    EXPECT_EQ(Ref("X17").address, 15);
    EXPECT_EQ(Ref("X15", false).address, 15);
    EXPECT_EQ(Ref("Y777").address, 511);
    EXPECT_EQ(Ref("D7999").address, 7999);
    EXPECT_EQ(Ref("d100.3").bit, 3);
    EXPECT_EQ(Ref("AXIS31", true, 27).axis, 31);
    for (const char* bad :
         {"X8", "X1000", "D8000", "M10240", "C264", "LM1", "V3", "D100.16", "K5", "AXIS32"}) {
        EXPECT_FALSE(g_ResolveElement(bad, 0, true).has_value()) << bad;
    }
    EXPECT_FALSE(g_ResolveElement("AXIS3", 9, true).has_value()); // no parameter 9
}
