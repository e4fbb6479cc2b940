#include "kit/ElementName.h"
#include "kit/Duration.h"
#include "kit/ElementKinds.h"

#include <gtest/gtest.h>

namespace {

std::optional<int> Address(const std::string& text, bool octalXY = true) {
    const auto name = g_SplitElementName(text);
    return name ? g_ElementAddress(*name, octalXY) : std::nullopt;
}

} // namespace

TEST(ElementName, SplitsKindsBitsAndAxes) {
    const auto d = g_SplitElementName(" d100.3 ");
    ASSERT_TRUE(d.has_value());
    EXPECT_EQ(d->prefix, "D");
    EXPECT_EQ(d->digits, "100");
    EXPECT_EQ(d->kind, KIND_D);
    EXPECT_EQ(d->bit, 3);
    EXPECT_EQ(g_SplitElementName("SM12")->kind, KIND_SM);
    EXPECT_EQ(g_SplitElementName("LM3")->kind, -1); // a name, but no kind of this controller
    EXPECT_TRUE(g_SplitElementName("axis7")->IsAxis());
    for (const char* none : {"", "K5", "H1F", "-3", "D100Z2", "M1.2", "D", "AXIS", "AXIS3.17", "D1x"}) {
        EXPECT_FALSE(g_SplitElementName(none).has_value()) << none;
    }
}

TEST(ElementName, AddressesFollowTheKindsDigitsAndRanges) {
    EXPECT_EQ(Address("X17"), 15);
    EXPECT_EQ(Address("X17", false), 17);
    EXPECT_EQ(Address("X18"), std::nullopt);
    EXPECT_EQ(Address("Y777"), 511);
    EXPECT_EQ(Address("Y1000"), std::nullopt);
    EXPECT_EQ(Address("D7999"), 7999);
    EXPECT_EQ(Address("D8000"), std::nullopt);
    EXPECT_EQ(Address("D5.15"), 5);
    EXPECT_EQ(Address("D5.16"), std::nullopt);
    EXPECT_EQ(Address("C263"), 263);
    EXPECT_EQ(Address("C264"), std::nullopt);
    EXPECT_EQ(Address("AXIS31"), 31);
    EXPECT_EQ(Address("AXIS32"), std::nullopt);
    EXPECT_EQ(Address("V3"), std::nullopt);
    EXPECT_EQ(g_ElementNameText(KIND_X, 15), "X17");
    EXPECT_EQ(g_ElementNameText(KIND_D, 200), "D200");
}

TEST(Duration, UnitsAndRefusals) {
    EXPECT_EQ(g_ParseDuration("8h"), 28800);
    EXPECT_DOUBLE_EQ(g_ParseDuration("1500ms").value_or(0), 1.5);
    EXPECT_EQ(g_ParseDuration("2.5"), 2.5);
    EXPECT_EQ(g_ParseDuration("2d"), 172800);
    EXPECT_EQ(g_ParseDuration("0s"), std::nullopt);
    EXPECT_EQ(g_ParseDuration("3 weeks"), std::nullopt);
    EXPECT_EQ(g_ParseDuration("h"), std::nullopt);
}
