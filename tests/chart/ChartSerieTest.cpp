#include "ChartFixture.h"

#include "chart/ChartLineSerie.h"

namespace {

class SerieFixture : public ChartFixture {
protected:
    void SetUp() override {
        ChartFixture::SetUp();
        m_serie = m_chart.CreateLineSerie(false, false);
    }
    void Fill(int n) {
        for (int i = 0; i < n; ++i) {
            m_serie->AddPoint(i, i * 10.0);
        }
    }
    std::vector<double> Xs() const {
        std::vector<double> xs;
        for (uint32_t i = 0; i < m_serie->GetPointCount(); ++i) {
            xs.push_back(m_serie->GetXValue(i));
        }
        return xs;
    }
    CChartLineSerie* m_serie = nullptr;
};

} // namespace

TEST_F(SerieFixture, OutOfOrderPointsGoAfterEqualXInArrivalOrder) {
    m_serie->AddPoint(5, 1);
    m_serie->AddPoint(3, 2);
    m_serie->AddPoint(5, 3);
    m_serie->AddPoint(4, 4);
    EXPECT_EQ(Xs(), (std::vector<double>{3, 4, 5, 5}));
    EXPECT_EQ(m_serie->GetYValue(2), 1.0);
    EXPECT_EQ(m_serie->GetYValue(3), 3.0);
    double min = 0, max = 0;
    ASSERT_TRUE(m_serie->GetYRange(min, max));
    EXPECT_EQ(min, 1.0);
    EXPECT_EQ(max, 4.0);
}

TEST_F(SerieFixture, SearchNeverExaminesTheUpperIndex) {
    Fill(10);
    uint32_t index = 99;
    ASSERT_TRUE(m_serie->FindPointIndex(9, index));
    EXPECT_EQ(index, 8u);
    ASSERT_TRUE(m_serie->FindPointIndex(3.5, index));
    EXPECT_EQ(index, 3u);
    ASSERT_TRUE(m_serie->FindPointIndex(0, index));
    EXPECT_EQ(index, 0u);
    EXPECT_FALSE(m_serie->FindPointIndex(9.5, index));
    EXPECT_FALSE(m_serie->FindPointIndex(-1, index));
    ChartPointsArray<SChartXYPoint> points;
    for (int i = 0; i < 10; ++i) {
        points.AddPoint({double(i), 0});
    }
    EXPECT_EQ(points.LocateInterval(0, 9, -1.0), 0u);
    EXPECT_EQ(points.LocateInterval(0, 1, 1.0), 0u);
}

TEST_F(SerieFixture, TrimmingKeepsTheLastPointAndRecomputesExtremes) {
    Fill(10);
    m_serie->RemovePointsUpTo(4);
    EXPECT_EQ(Xs(), (std::vector<double>{5, 6, 7, 8, 9}));
    double min = 0, max = 0;
    ASSERT_TRUE(m_serie->GetXRange(min, max));
    EXPECT_EQ(min, 5.0);
    ASSERT_TRUE(m_serie->GetYRange(min, max));
    EXPECT_EQ(min, 50.0);
    m_serie->RemovePointsUpTo(100); // outside: nothing happens
    EXPECT_EQ(m_serie->GetPointCount(), 5u);
    m_serie->RemovePointsUpTo(9); // the search never returns the last index
    EXPECT_EQ(Xs(), (std::vector<double>{9}));
    m_serie->RemovePointsUpTo(9); // a single point equal to the value goes
    EXPECT_EQ(m_serie->GetPointCount(), 0u);
}

TEST_F(SerieFixture, HiddenSeriesReportNoRanges) {
    Fill(3);
    m_serie->SetVisible(false);
    double min = 0, max = 0;
    EXPECT_FALSE(m_serie->GetXRange(min, max));
    EXPECT_FALSE(m_serie->GetYRange(min, max));
    uint32_t index = 0;
    EXPECT_TRUE(m_serie->FindPointIndex(1, index)); // searching does not care
}

TEST_F(SerieFixture, GrowthAndClearLeaveZeroedSlots) {
    ChartPointsArray<SChartXYPoint> points(4);
    for (int i = 0; i < 5; ++i) {
        points.AddPoint({double(i + 1), 1.0});
    }
    EXPECT_EQ(points.GetCapacity(), 8u);
    EXPECT_EQ(points.Data()[7], (SChartXYPoint{0, 0}));
    points.Clear();
    EXPECT_EQ(points.GetCapacity(), 4u);
    EXPECT_EQ(points.GetCount(), 0u);
    EXPECT_EQ(points.Data()[0], (SChartXYPoint{0, 0}));

    // Storage of one step is kept by a clear, and zeroed wherever anything was written: by
    // adding, by a removal that moved points, and by a bulk append that was never taken in.
    points.AddPoint({1, 2});
    points.AddPoint({3, 4});
    points.AddPoint({5, 6});
    points.RemoveLeading(1);
    SChartXYPoint* space = points.AppendSpace(1);
    space[0] = {7, 8};
    const SChartXYPoint* kept = points.Data();
    points.Clear();
    EXPECT_EQ(points.Data(), kept);
    for (uint32_t i = 0; i < points.GetCapacity(); ++i) {
        EXPECT_EQ(points.Data()[i], (SChartXYPoint{0, 0})) << i;
    }
}

TEST_F(SerieFixture, VisibleRangeFollowsTheTimeAxis) {
    for (int i = 0; i <= 100; ++i) {
        m_serie->AddPoint(i * 200.0, 0); // 0 .. 20000 ms
    }
    uint32_t first = 0, last = 0;
    ASSERT_TRUE(m_serie->GetVisibleRange(first, last));
    EXPECT_EQ(first, 0u);
    EXPECT_EQ(last, 50u); // exact match at 10000
    m_time->FollowTime(15100.0);
    ASSERT_TRUE(m_serie->GetVisibleRange(first, last));
    EXPECT_EQ(first, 25u); // 5000 < 5100
    EXPECT_EQ(last, 75u);
    EXPECT_EQ(m_serie->ValueToPixelPoint(5100.0, 0).x, m_time->GetStartPixel());
}

TEST_F(SerieFixture, DisplayTransformScalesThenOffsets) {
    m_serie->SetYScale(2.0);
    m_serie->SetYOffset(1000.0);
    EXPECT_EQ(m_serie->ValueToPixelPoint(0, 2000.0).y, m_value->ValueToPixel(5000.0));
}
