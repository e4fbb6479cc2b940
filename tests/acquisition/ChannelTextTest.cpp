#include "acquisition/ChannelText.h"

#include <gtest/gtest.h>

namespace {

tagOscilloElem Parsed(const std::string& text) {
    tagOscilloElem channel;
    std::string error;
    EXPECT_TRUE(g_ParseChannelText(text, 0, channel, error)) << text << ": " << error;
    return channel;
}

std::string Refused(const std::string& text) {
    tagOscilloElem channel;
    std::string error;
    EXPECT_FALSE(g_ParseChannelText(text, 0, channel, error)) << text;
    return error;
}

} // namespace

TEST(ChannelText, TypesAndNamesFollowTheChannelDialog) {
    EXPECT_EQ(Parsed("D0").dataType, GCM_INT);
    EXPECT_EQ(Parsed("d10:dint").name, "D10");
    EXPECT_EQ(Parsed("D10:DINT").dataType, GCM_DINT);
    EXPECT_EQ(Parsed("D20:REAL").dataType, GCM_REAL);
    EXPECT_EQ(Parsed("M3").dataType, GCM_BOOL);
    EXPECT_EQ(Parsed("X17").name, "X17");         // octal as written
    EXPECT_EQ(Parsed("C210").dataType, GCM_BOOL); // the contact comes first, as in the dialog
    EXPECT_EQ(Parsed("C210:INT").dataType, GCM_DINT);
    const tagOscilloElem axis = Parsed("AXIS0.Input1-ActPosition");
    EXPECT_EQ(axis.name, "AXIS0");
    EXPECT_EQ(axis.paramCode, 17);
    EXPECT_EQ(axis.dataType, GCM_DINT);
    EXPECT_EQ(Parsed("axis31.18").paramCode, 18);
    tagOscilloElem third;
    std::string error;
    ASSERT_TRUE(g_ParseChannelText("D1", 2, third, error));
    EXPECT_NE(third.colour, Parsed("D1").colour); // each list position its own colour
}

TEST(ChannelText, RefusalsSayWhatIsWrong) {
    EXPECT_EQ(Refused("D8000"), "D8000: Out of element address range, please re-enter");
    EXPECT_EQ(Refused("X18"), "X18: X and Y addresses are octal");
    EXPECT_EQ(Refused("M3:REAL"), "M3: the type is one of BOOL");
    EXPECT_EQ(Refused("D1:WORD"), "D1: the type is one of INT, DINT, REAL");
    EXPECT_EQ(Refused("D1.3"), "D1.3: the address is a number");
    EXPECT_NE(Refused("Q5").find("unknown element"), std::string::npos);
    EXPECT_NE(Refused("LM5").find("unknown element"), std::string::npos);
    EXPECT_NE(Refused("D").find("unknown element"), std::string::npos);
    EXPECT_NE(Refused("AXIS32.17").find("n from 0 to 31"), std::string::npos);
    EXPECT_NE(Refused("AXIS1").find("n from 0 to 31"), std::string::npos);
    EXPECT_NE(Refused("AXIS1.Input99").find("unknown axis parameter"), std::string::npos);
}
