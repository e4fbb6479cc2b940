#include "ChartFixture.h"

#include "chart/ChartFontSpec.h"
#include "chart/ChartTitle.h"

#include <algorithm>
#include <cmath>

TEST(TimeAxis, ZoomNormalisesToWholeMillisecondsNeverBeforeZero) {
    CChartCustomAxisX axis;
    axis.SetBaseStep(1000.0);
    axis.ZoomToRange(1234.6, 1239.2);
    EXPECT_EQ(axis.GetMinimum(), 1234.0);
    EXPECT_EQ(axis.GetStep(), 1.0);
    EXPECT_EQ(axis.GetMaximum(), 1244.0);
    axis.ZoomToRange(-50.0, 450.0);
    EXPECT_EQ(axis.GetMinimum(), 0.0);
    EXPECT_EQ(axis.GetStep(), 45.0);
    EXPECT_EQ(axis.GetMaximum(), 450.0);
    EXPECT_EQ(axis.GetZoomDepth(), 2u);
}

TEST(TimeAxis, ZoomBackWalksTheHistoryThenGoesHome) {
    CChartCustomAxisX axis;
    axis.SetBaseStep(500.0);
    int changes = 0;
    axis.SetRangeChangedCallback([](void* n) { ++*static_cast<int*>(n); }, &changes);
    const double ranges[][2] = {{100, 3000}, {200, 900}, {300, 400}};
    std::vector<std::pair<double, double>> before;
    for (const auto& r : ranges) {
        before.emplace_back(axis.GetMinimum(), axis.GetMaximum());
        axis.ZoomToRange(r[0], r[1]);
    }
    for (int i = 2; i >= 0; --i) {
        axis.ZoomBack();
        EXPECT_EQ(axis.GetMinimum(), before[i].first);
        EXPECT_EQ(axis.GetMaximum(), before[i].second);
    }
    axis.FollowTime(20000.0);
    axis.ZoomBack(); // empty history: home range
    EXPECT_EQ(axis.GetMinimum(), 0.0);
    EXPECT_EQ(axis.GetMaximum(), 5000.0);
    EXPECT_EQ(changes, 7);
}

TEST(TimeAxis, EmptyRangeIgnoresZoom) {
    CChartCustomAxisX axis; // 0..0 until a base step is set
    axis.ZoomToRange(10.0, 20.0);
    EXPECT_EQ(axis.GetZoomDepth(), 0u);
    EXPECT_EQ(axis.GetMaximum(), 0.0);
}

TEST(TimeAxis, BaseStepFollowAndSetRange) {
    CChartCustomAxisX axis;
    axis.SetBaseStep(0.0);
    EXPECT_EQ(axis.GetStep(), 1.0);
    axis.SetBaseStep(0.5);
    EXPECT_EQ(axis.GetStep(), 1.0);
    axis.SetBaseStep(1000.0);
    axis.FollowTime(5000.0);
    EXPECT_EQ(axis.GetMinimum(), 0.0);
    axis.FollowTime(10250.0);
    EXPECT_EQ(axis.GetMinimum(), 250.0);
    EXPECT_EQ(axis.GetMaximum(), 10250.0);
    EXPECT_EQ(axis.GetStep(), 1000.0);
    axis.SetRange(-3.5, 41.0);
    EXPECT_EQ(axis.GetMinimum(), 0.0);
    EXPECT_EQ(axis.GetStep(), 5.0);
    EXPECT_EQ(axis.GetZoomDepth(), 0u);
}

TEST(ValueAxis, ZoomRaisesTinyStepsAndGoesHomeWithAnEmptyHistory) {
    CChartCustomAxisY axis;
    EXPECT_EQ(axis.GetStep(), 2000.0);
    axis.ZoomToRange(1.000, 1.05);
    EXPECT_DOUBLE_EQ(axis.GetStep(), 0.01);
    EXPECT_DOUBLE_EQ(axis.GetMaximum(), 1.1);
    axis.ZoomBack();
    EXPECT_EQ(axis.GetMinimum(), -10000.0);
    axis.ZoomBack();
    EXPECT_EQ(axis.GetMaximum(), 10000.0);
    EXPECT_EQ(axis.GetStep(), 2000.0);
}

TEST_F(ChartFixture, PixelMappingIsExactAtTheEndsAndNeverRoundsUp) {
    EXPECT_EQ(m_time->ValueToPixel(0.0), m_time->GetStartPixel());
    EXPECT_EQ(m_time->ValueToPixel(10000.0), m_time->GetEndPixel());
    EXPECT_EQ(m_value->ValueToPixel(-10000.0), m_value->GetStartPixel());
    EXPECT_EQ(m_value->ValueToPixel(10000.0), m_value->GetEndPixel());
    EXPECT_LT(m_value->ValueToPixel(5000.0), m_value->ValueToPixel(0.0)); // upwards
    EXPECT_GT(m_time->ValueToPixel(10500.0), m_time->GetEndPixel());
    for (double v = 0.0; v <= 10000.0; v += 37.3) {
        EXPECT_LE(m_time->PixelToValue(m_time->LinearPixel(v)), v + 1e-9) << v;
        const double y = v * 2 - 10000.0;
        EXPECT_LE(m_value->PixelToValue(m_value->LinearPixel(y)), y + 1e-9) << y;
    }
}

// The arithmetic that drawing uses per point agrees with the axis, also left of it and above it,
// and device pixels round half away from zero like std::lround.
TEST_F(ChartFixture, FastPixelArithmeticAgreesWithTheAxis) {
    const CChartAxis::tagLinearMap time = m_time->GetLinearMap();
    const CChartAxis::tagLinearMap value = m_value->GetLinearMap();
    for (double v = -20000.0; v <= 20000.0; v += 13.7) {
        ASSERT_EQ(time.Map(v), m_time->ValueToPixel(v)) << v;
        ASSERT_EQ(value.Map(v), m_value->ValueToPixel(v)) << v;
    }
    for (double v = -6.0; v <= 6.0; v += 0.125) {
        ASSERT_EQ(ChartRound(v), std::lround(v)) << v;
        ASSERT_EQ(ChartRound(v * 1.1), std::lround(v * 1.1)) << v * 1.1;
    }
}

TEST_F(ChartFixture, TimeAxisPanNeedsAWholeMillisecond) {
    m_time->SetBaseStep(1.0); // 10 ms over the plot
    const int start = m_time->GetStartPixel();
    EXPECT_FALSE(m_time->PanStepAllowed(start, start + 5));
    EXPECT_TRUE(m_time->PanStepAllowed(start + 200, start));
    m_time->FollowTime(100.0);
    m_time->PanByPixels(start + 200, start); // to later times
    EXPECT_EQ(m_time->GetMinimum(), 92.0);
    m_time->PanByPixels(start, start + 700); // far to earlier times
    EXPECT_EQ(m_time->GetMinimum(), 83.0);
}

TEST_F(ChartFixture, AnEmptyTitleClaimsNoRoomAndAVerticalTitleTurns) {
    EXPECT_EQ(m_value->GetMargin(), 30);
    m_value->GetLabel().SetText("Value");
    m_chart.RedrawChart();
    // Turned label: width is the text height + 4.
    EXPECT_EQ(m_chart.GetPlottingRect().left, 3 + (16 + 4) + 30);
    const auto ops = LastRedraw();
    auto title =
        std::find_if(ops.begin(), ops.end(), [](const tagSurfaceOp& op) { return op.text == "Value"; });
    ASSERT_NE(title, ops.end());
    EXPECT_TRUE(title->font.vertical);
    auto timeline = std::find_if(ops.begin(), ops.end(),
                                 [](const tagSurfaceOp& op) { return op.text == "Timeline(ms)"; });
    ASSERT_NE(timeline, ops.end());
    EXPECT_FALSE(timeline->font.vertical);
}

TEST(ChartFontSpec, MakesTheFontOnceUntilTheDescriptionChanges) {
    CRecordingSurface surface;
    ChartFontSpec font;
    font.SelectInto(surface);
    font.RestoreFrom(surface);
    font.SelectInto(surface);
    font.RestoreFrom(surface);
    EXPECT_EQ(surface.fontsCreated, 1);
    EXPECT_EQ(surface.CurrentFont().face, "System"); // restored to the default
    font.SetVertical(true);
    font.SelectInto(surface);
    EXPECT_EQ(surface.fontsCreated, 2);
    EXPECT_TRUE(surface.CurrentFont().vertical);
    EXPECT_EQ(surface.CurrentFont().face, "Microsoft Sans Serif");
}

TEST(ChartTitle, EmptyOrHiddenTitleHasNoSize) {
    CRecordingSurface surface;
    CChartTitle title(nullptr);
    EXPECT_EQ(title.GetSize(surface), (tagChartSize{0, 0}));
    title.AddString("Run 3");
    EXPECT_EQ(title.GetSize(surface), (tagChartSize{5 * 7, 16}));
    title.SetVisible(false);
    EXPECT_EQ(title.GetSize(surface), (tagChartSize{0, 0}));
}

TEST_F(ChartFixture, TitleLinesPushThePlotDown) {
    m_chart.GetTitle().AddString("Line");
    m_chart.RedrawChart();
    EXPECT_EQ(m_chart.GetPlottingRect().top, 18 + 16);
}
