#include "acquisition/ChannelModel.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

TEST(ChannelModel, RawWordsConvertByType) {
    EXPECT_EQ(FormatValue(ConvertRawValue(0x3F800000u, GCM_REAL), GCM_REAL), "1.000000");
    EXPECT_EQ(ConvertRawValue(0xFFFFFFFFu, GCM_INT), -1.0);
    EXPECT_EQ(ConvertRawValue(0xFFFFFFFFu, GCM_DINT), -1.0);
    EXPECT_EQ(ConvertRawValue(0xFFFFFFFFu, GCM_BOOL), -1.0);
    EXPECT_EQ(ConvertRawValue(0xFFFFFFFFu, GCM_UINT), 4294967295.0);
    EXPECT_EQ(ConvertRawValue(0xFFFFFFFFu, GCM_UDINT), 4294967295.0);
    EXPECT_EQ(ConvertRawValue(0xFFFFFFFFu, GCM_USINT), 4294967295.0);
    EXPECT_EQ(ConvertRawValue(0x80000000u, static_cast<EnumGCMDataType>(3)), -2147483648.0);
}

TEST(ChannelModel, BoolFormatsAsOnOff) {
    EXPECT_EQ(FormatValue(0.5, GCM_BOOL), "ON");
    EXPECT_EQ(FormatValue(0.0, GCM_BOOL), "OFF");
    EXPECT_EQ(FormatValue(-3.0, GCM_BOOL), "OFF");
    EXPECT_EQ(FormatValue(std::nan(""), GCM_BOOL), "OFF");
}

TEST(ChannelModel, IntegersTruncateTowardZeroWithTheIndefiniteValueOutOfRange) {
    EXPECT_EQ(FormatValue(-2.9, GCM_INT), "-2");
    EXPECT_EQ(FormatValue(2.9, GCM_DINT), "2");
    EXPECT_EQ(FormatValue(3000000000.0, GCM_UDINT), "-2147483648");
    EXPECT_EQ(FormatValue(2147483647.9, GCM_UDINT), "2147483647");
    EXPECT_EQ(FormatValue(-2147483648.5, GCM_INT), "-2147483648");
    EXPECT_EQ(FormatValue(-2147483649.0, GCM_INT), "-2147483648");
    EXPECT_EQ(FormatValue(std::numeric_limits<double>::quiet_NaN(), GCM_INT), "-2147483648");
    EXPECT_EQ(FormatValue(1.5, GCM_REAL), "1.500000");
    EXPECT_EQ(FormatValue(-1e20, GCM_REAL), "-100000000000000000000.000000");
}

TEST(ChannelModel, TypeTextsCollapseUnsignedCodes) {
    EXPECT_EQ(DataTypeText(GCM_BOOL), "BOOL");
    EXPECT_EQ(DataTypeText(GCM_UDINT), "DINT");
    EXPECT_EQ(DataTypeText(GCM_DINT), "DINT");
    EXPECT_EQ(DataTypeText(GCM_REAL), "REAL");
    EXPECT_EQ(DataTypeText(GCM_UINT), "INT");
    EXPECT_EQ(DataTypeText(GCM_USINT), "INT");
    EXPECT_EQ(DataTypeText(static_cast<EnumGCMDataType>(99)), "INT");
}

TEST(ChannelModel, AxisChannelsDisplayWithTheirParameter) {
    tagOscilloElem axis{"AXIS12", 26, GCM_UDINT, 0};
    EXPECT_EQ(ChannelDisplayName(axis), "Axis12(Input10-DigitalInput)");
    axis.paramCode = 9; // not a parameter
    EXPECT_EQ(ChannelDisplayName(axis), "AXIS12");
    tagOscilloElem element{"D100", 17, GCM_INT, 0};
    EXPECT_EQ(ChannelDisplayName(element), "D100"); // the code only counts for axis names
}

TEST(ChannelModel, AxisParameterTableHasNoGapsInItsTwoRuns) {
    for (uint16_t code = 0; code <= 27; ++code) {
        const bool exists = code <= 8 || code >= 16;
        EXPECT_EQ(FindAxisParameter(code) != nullptr, exists) << code;
    }
    EXPECT_EQ(FindAxisParameter(17)->name, "Input1-ActPosition");
    EXPECT_EQ(FindAxisParameter(4)->type, GCM_USINT);
}

TEST(ChannelModel, TypesOfferedPerElementKind) {
    EXPECT_EQ(TypesOfferedForKind(KIND_X), (std::vector<EnumGCMDataType>{GCM_BOOL}));
    EXPECT_EQ(TypesOfferedForKind(KIND_C),
              (std::vector<EnumGCMDataType>{GCM_BOOL, GCM_INT, GCM_DINT, GCM_REAL}));
    EXPECT_EQ(TypesOfferedForKind(KIND_T), (std::vector<EnumGCMDataType>{GCM_BOOL, GCM_INT}));
    EXPECT_EQ(TypesOfferedForKind(KIND_W), (std::vector<EnumGCMDataType>{GCM_INT, GCM_DINT, GCM_REAL}));
}
