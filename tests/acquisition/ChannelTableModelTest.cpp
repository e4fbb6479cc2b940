#include "acquisition/ChannelTableModel.h"
#include "acquisition/ChannelModel.h"
#include "support/HeadlessTraces.h"

#include <gtest/gtest.h>

namespace {

class TableModelTest : public ::testing::Test {
protected:
    void Add(const tagOscilloElem& channel, const std::vector<std::pair<double, double>>& points) {
        m_traces.AddChannel(m_state, channel, points);
    }
    tagHeadlessTraces m_traces;
    tagMonitorState m_state;
};

} // namespace

TEST_F(TableModelTest, StatisticsPerTypeAndHiddenChannels) {
    Add({"M8", 0, GCM_BOOL, 1}, {{0, 0}, {10, 1}, {20, 0}});
    Add({"D100", 0, GCM_INT, 2}, {{0, -3.7}, {10, 12}, {20, 5}});
    Add({"D200", 0, GCM_REAL, 3}, {{0, 1.5}});
    Add({"D300", 0, GCM_INT, 4}, {});
    auto rows = ComputeStatistics(m_state.channels, *m_traces);
    EXPECT_EQ(rows[0], (tagStatistics{"OFF", "OFF", "ON"}));
    EXPECT_EQ(rows[1], (tagStatistics{"5", "-3", "12"}));
    EXPECT_EQ(rows[2], (tagStatistics{"1.500000", "1.500000", "1.500000"}));
    EXPECT_EQ(rows[3], (tagStatistics{}));
    m_traces->Trace(1).SetVisible(false);
    rows = ComputeStatistics(m_state.channels, *m_traces);
    EXPECT_EQ(rows[1], (tagStatistics{"5", "", ""})); // hidden: latest stays
}

TEST_F(TableModelTest, CursorReadoutsUseTheLeftCursorFirst) {
    Add({"M8", 0, GCM_BOOL, 1}, {{0, 1}, {10, 0}, {20, 1}, {30, 1}});
    Add({"D1", 0, GCM_DINT, 2}, {{0, 100}, {10, 250}, {20, 50}, {30, 60}});
    const auto rows = ComputeCursorReadouts(true, 25.0, 10.0, m_state.channels, *m_traces);
    EXPECT_EQ(rows[0], (tagCursorReadout{"10", "20", "10", "1"})); // a bit's difference is a number
    EXPECT_EQ(rows[1], (tagCursorReadout{"10", "20", "10", "-200"}));

    const auto beyond = ComputeCursorReadouts(true, 10.0, 99.0, m_state.channels, *m_traces);
    EXPECT_EQ(beyond[1], (tagCursorReadout{"10", "", "", ""}));

    m_traces->Trace(1).SetVisible(false);
    const auto hidden = ComputeCursorReadouts(true, 10.0, 20.0, m_state.channels, *m_traces);
    EXPECT_EQ(hidden[1], tagCursorReadout{});
    const auto off = ComputeCursorReadouts(false, 10.0, 20.0, m_state.channels, *m_traces);
    EXPECT_EQ(off[0], tagCursorReadout{});
}

TEST_F(TableModelTest, AdaptiveScalingFitsNinetyPercentOfTheAxis) {
    Add({"D1", 0, GCM_INT, 1}, {{0, -300}, {10, 150}});
    Add({"D2", 0, GCM_INT, 2}, {{0, 0}}); // all zero: unchanged
    Add({"D3", 0, GCM_INT, 3}, {{0, 10}});
    m_traces->Trace(2).SetVisible(false); // hidden: unchanged
    const auto changed = ApplyAdaptiveScaling(true, m_state.channels, *m_traces);
    EXPECT_EQ(changed, std::vector<size_t>{0});
    EXPECT_DOUBLE_EQ(m_traces->Trace(0).GetYScale(), 30.0);
    EXPECT_EQ(m_traces->Trace(2).GetYScale(), 1.0);
    EXPECT_TRUE(ApplyAdaptiveScaling(true, m_state.channels, *m_traces).empty()); // already fitted
    EXPECT_TRUE(ApplyAdaptiveScaling(false, m_state.channels, *m_traces).empty());
}

TEST_F(TableModelTest, TooltipListsEveryChannelAtTheMouseTime) {
    Add({"D100", 0, GCM_INT, 1}, {{1200, 14}, {1230, 15}, {1260, 16}});
    Add({"M8", 0, GCM_BOOL, 2}, {{1200, 1}, {1260, 1}});
    m_traces->Trace(1).SetVisible(false);
    EXPECT_EQ(ChartTooltipText(1230.0, {"D100", "M8"}, m_state.channels, *m_traces),
              "X=1230.000\r\nD100=15\r\nM8=--");
    EXPECT_EQ(ChartTooltipText(5000.0, {"D100", "M8"}, m_state.channels, *m_traces), "");
}

TEST_F(TableModelTest, ScaleEditsAreKeptPositive) {
    EXPECT_EQ(ParseScale("2.5"), 2.5);
    EXPECT_EQ(ParseScale("0"), 1e-6);
    EXPECT_EQ(ParseScale("-5"), 1e-6);
    EXPECT_EQ(ParseScale("abc"), 1e-6);
    EXPECT_EQ(ScaleText(ParseScale("abc")), "0.000001");
}

TEST_F(TableModelTest, DeletingMovesTheTraceAndKeepsTheTriggerOnItsChannel) {
    Add({"D1", 0, GCM_INT, 1}, {{0, 1}});
    Add({"D2", 0, GCM_INT, 2}, {{0, 2}});
    Add({"D3", 0, GCM_INT, 3}, {{0, 3}});
    CTrace* second = &m_traces->Trace(1);
    CTrace* first = &m_traces->Trace(0);
    m_state.trigger = {1, 2, TRIGGER_GREATER, 5.0};
    DeleteChannel(m_state, *m_traces, 0);
    EXPECT_EQ(m_state.channels.size(), 2u);
    EXPECT_EQ(m_state.channels[0].name, "D2");
    EXPECT_EQ(&m_traces->Trace(0), second);
    EXPECT_EQ(m_traces->Trace(0).GetChannelNumber(), 0);
    EXPECT_EQ(&m_traces->Trace(5), first);
    EXPECT_EQ(first->GetPointCount(), 0u);
    EXPECT_FALSE(first->IsVisible());
    EXPECT_EQ(m_state.trigger.channel, 1u);
    DeleteChannel(m_state, *m_traces, 1); // the trigger's channel
    EXPECT_EQ(m_state.trigger, tagTriggerSettings{});
}

TEST(TableModel, PureBlackIsStoredAsNearlyBlack) {
    EXPECT_EQ(PickedColour(0), 0x010101u);
    EXPECT_EQ(PickedColour(0x00FF00), 0x00FF00u);
}
