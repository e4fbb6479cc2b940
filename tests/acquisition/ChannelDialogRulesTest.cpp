#include "acquisition/ChannelDialogRules.h"
#include "acquisition/ChannelModel.h"

#include <gtest/gtest.h>

namespace {

tagOscilloElem Record(const tagChannelFields& fields, const std::string& type) {
    tagOscilloElem record;
    EXPECT_TRUE(RecordFromFields(fields, type, 0x123456, record));
    return record;
}

bool Refused(const tagChannelFields& fields, const std::string& type = "BOOL") {
    tagOscilloElem record{"kept", 0, GCM_BOOL, 0};
    const bool ok = RecordFromFields(fields, type, 0, record);
    EXPECT_EQ(record.name, ok ? record.name : "kept");
    return !ok;
}

} // namespace

TEST(ChannelDialogRules, KindListShowsRangesOctalForXAndY) {
    const auto texts = KindListTexts("Axis Parameters");
    ASSERT_EQ(texts.size(), 12u);
    EXPECT_EQ(texts[0], "X(0~777)");
    EXPECT_EQ(texts[2], "M(0~10239)");
    EXPECT_EQ(texts[4], "SM(0~1023)");
    EXPECT_EQ(texts[10], "W(0~32767)");
    EXPECT_EQ(texts[11], "Axis Parameters");
}

TEST(ChannelDialogRules, OctalAndDecimalAddresses) {
    EXPECT_EQ(Record({KIND_X, "777"}, "BOOL").name, "X777");
    EXPECT_TRUE(Refused({KIND_X, "1000"}));               // octal 1000 is 512
    EXPECT_EQ(Record({KIND_X, "18"}, "BOOL").name, "X1"); // reading stops at the 8
    EXPECT_TRUE(Refused({KIND_D, "08000"}, "INT"));
    EXPECT_EQ(Record({KIND_D, "0100"}, "INT").name, "D100");
    EXPECT_EQ(Record({KIND_D, ""}, "INT").name, "D0");
    const tagOscilloElem added = Record({KIND_X, "0"}, "BOOL");
    EXPECT_EQ(added, (tagOscilloElem{"X0", 0, GCM_BOOL, 0x123456}));
}

TEST(ChannelDialogRules, CounterTypesFollowTheAddress) {
    EXPECT_EQ(Record({KIND_C, "199"}, "DINT").dataType, GCM_INT);
    EXPECT_EQ(Record({KIND_C, "199"}, "REAL").dataType, GCM_INT);
    EXPECT_EQ(Record({KIND_C, "200"}, "INT").dataType, GCM_DINT);
    EXPECT_EQ(Record({KIND_C, "200"}, "REAL").dataType, GCM_REAL);
    EXPECT_EQ(Record({KIND_C, "250"}, "BOOL").dataType, GCM_BOOL);
    EXPECT_TRUE(Refused({KIND_C, "264"}));
}

TEST(ChannelDialogRules, ShownRecordsFindTheirKind) {
    EXPECT_EQ(FieldsOfRecord({"SM12", 0, GCM_BOOL, 0}), (tagChannelFields{KIND_SM, "12"}));
    EXPECT_EQ(FieldsOfRecord({"S12", 0, GCM_BOOL, 0}), (tagChannelFields{KIND_S, "12"}));
    EXPECT_EQ(FieldsOfRecord({"SD3", 0, GCM_INT, 0}), (tagChannelFields{KIND_SD, "3"}));
    EXPECT_EQ(FieldsOfRecord({"x17", 0, GCM_BOOL, 0}), (tagChannelFields{KIND_X, "17"}));
    EXPECT_EQ(FieldsOfRecord({"Q5", 0, GCM_BOOL, 0}), (tagChannelFields{KIND_X, "0"}));
}

TEST(ChannelDialogRules, AxisChannelsRoundTrip) {
    const tagChannelFields fields = FieldsOfRecord({"AXIS3", 26, GCM_UDINT, 0});
    EXPECT_EQ(fields.kind, kAxisKind);
    EXPECT_EQ(fields.axis, 3);
    EXPECT_EQ(AxisParameterTable[static_cast<size_t>(fields.parameterRow)].name, "Input10-DigitalInput");
    EXPECT_EQ(DataTypeTexts(kAxisKind, fields.parameterRow), std::vector<std::string>{"DINT"});
    const tagOscilloElem back = Record(fields, "ignored");
    EXPECT_EQ(back, (tagOscilloElem{"AXIS3", 26, GCM_UDINT, 0x123456}));
    // An unknown code shows the first parameter.
    EXPECT_EQ(FieldsOfRecord({"AXIS3", 9, GCM_INT, 0}).parameterRow, 0);
    EXPECT_EQ(DataTypeTexts(kAxisKind, 0), std::vector<std::string>{"INT"});
}

TEST(ChannelDialogRules, KindSwitchKeepsOrResetsTheType) {
    // The type list is refilled and the entry that begins with the remembered text is selected.
    auto reselect = [](int kind, const std::string& remembered) {
        const auto texts = DataTypeTexts(kind, 0);
        const int entry = FindEntryStartingWith(texts, remembered);
        return texts[static_cast<size_t>(entry < 0 ? 0 : entry)];
    };
    EXPECT_EQ(reselect(KIND_C, "DINT"), "DINT"); // D with DINT to C
    EXPECT_EQ(reselect(KIND_T, "DINT"), "BOOL"); // T offers no DINT
    EXPECT_EQ(reselect(KIND_D, "BOOL"), "INT");
    EXPECT_EQ(reselect(KIND_W, "REAL"), "REAL");
    EXPECT_EQ(DataTypeFromText("BOOL"), GCM_BOOL);
    EXPECT_EQ(DataTypeFromText("anything"), GCM_INT);
}
