#include "ChartFixture.h"

#include "chart/ChartLineSerie.h"

#include <cmath>
#include <numbers>

namespace {

class LineFixture : public ChartFixture {
protected:
    void SetUp() override {
        ChartFixture::SetUp();
        m_serie = m_chart.CreateLineSerie(false, false);
    }
    tagChartPoint Pixel(double x, double y) const { return m_serie->ValueToPixelPoint(x, y); }
    CChartLineSerie* m_serie = nullptr;
};

} // namespace

TEST_F(LineFixture, ASinglePointOrAHiddenSeriesDrawsNothing) {
    m_serie->AddPoint(100, 100);
    EXPECT_TRUE(m_serie->BuildVertices().empty());
    m_serie->AddPoint(200, 100);
    EXPECT_EQ(m_serie->BuildVertices().size(), 2u);
    m_serie->SetVisible(false);
    CRecordingSurface surface;
    m_serie->DrawAll(surface);
    EXPECT_TRUE(surface.ops.empty());
}

TEST_F(LineFixture, BurstInsideOnePixelColumnBecomesAVerticalStroke) {
    m_serie->AddPoint(4000, 0);
    double minY = 1e9, maxY = -1e9, lastY = 0;
    for (int i = 0; i < 1000; ++i) {
        const double y = 5000.0 * std::sin(i * 2.0 * std::numbers::pi / 100.0);
        m_serie->AddPoint(5000.0 + i * 0.01, y);
        minY = std::min(minY, y);
        maxY = std::max(maxY, y);
        lastY = y;
    }
    m_serie->AddPoint(6000, 0);
    const int column = Pixel(5000, 0).x;
    ASSERT_EQ(Pixel(5009.99, 0).x, column);

    const std::vector<tagChartPoint> expected{
        Pixel(4000, 0),
        Pixel(5000, 0),              // the column's first point
        {column, Pixel(0, minY).y},  // largest y (lowest value)
        {column, Pixel(0, maxY).y},  // smallest y (highest value)
        {column, Pixel(0, lastY).y}, // where the line goes on from
        Pixel(6000, 0),
    };
    EXPECT_EQ(m_serie->BuildVertices(), expected);
}

TEST_F(LineFixture, AllPointsInOneColumnStillDrawTheirExtent) {
    m_time->SetBaseStep(1000.0);
    for (int i = 0; i < 10; ++i) {
        m_serie->AddPoint(3000.0 + i * 0.1, i % 2 ? 4000.0 : -4000.0);
    }
    m_time->SetBaseStep(100000.0); // 0 .. 1,000,000 ms: the burst is far below one pixel
    const auto& vertices = m_serie->BuildVertices();
    ASSERT_GE(vertices.size(), 2u);
    int top = 1 << 30, bottom = -(1 << 30);
    for (const tagChartPoint& v : vertices) {
        EXPECT_EQ(v.x, vertices[0].x);
        top = std::min(top, v.y);
        bottom = std::max(bottom, v.y);
    }
    EXPECT_EQ(top, Pixel(0, 4000.0).y);
    EXPECT_EQ(bottom, Pixel(0, -4000.0).y);
}

TEST_F(LineFixture, StepModeRunsLevelThenJumps) {
    m_serie->SetStepMode(1);
    m_serie->AddPoint(1000, 0);
    m_serie->AddPoint(2000, 0);
    m_serie->AddPoint(3000, 1000);
    m_serie->AddPoint(4000, 1000);
    const std::vector<tagChartPoint> expected{
        Pixel(1000, 0),    Pixel(2000, 0),    {Pixel(3000, 0).x, Pixel(0, 0).y},
        Pixel(3000, 1000), Pixel(4000, 1000),
    };
    EXPECT_EQ(m_serie->BuildVertices(), expected);
}

TEST_F(LineFixture, PointsStraddlingAnEmptyWindowAreStillJoined) {
    m_serie->AddPoint(1000, -5000);
    m_serie->AddPoint(50000, 5000);
    m_time->FollowTime(30000.0); // window 20000 .. 30000, no point inside
    const std::vector<tagChartPoint> expected{Pixel(1000, -5000), Pixel(50000, 5000)};
    EXPECT_EQ(m_serie->BuildVertices(), expected);

    m_chart.RedrawChart(); // drawn clipped to the plot
    const auto ops = LastRedraw();
    auto clip = std::find_if(ops.begin(), ops.end(),
                             [](const tagSurfaceOp& op) { return op.op == EnumSurfaceOp::Clip; });
    ASSERT_NE(clip, ops.end());
    const tagChartRect p = m_chart.GetPlottingRect();
    EXPECT_EQ(clip->rect, (tagChartRect{p.left, p.top, p.right + 1, p.bottom + 1}));
    EXPECT_EQ((clip + 1)->op, EnumSurfaceOp::Polyline);
}

TEST_F(LineFixture, LongRangesAreThinnedByAStride) {
    // A plot wide enough for every point to get a column of its own, so each considered point
    // becomes one vertex.
    m_host.client = {0, 0, 250000, 500};
    m_chart.OnSize();
    m_time->SetBaseStep(16000.0); // 0 .. 160000 ms
    auto vertices = [&](uint32_t n) {
        m_serie->ClearSerie();
        for (uint32_t i = 0; i < n; ++i) {
            m_serie->AddPoint(i, 0.0);
        }
        return m_serie->BuildVertices().size();
    };
    EXPECT_EQ(vertices(50000), 50000u);  // 49999 steps: every point
    EXPECT_EQ(vertices(50002), 50002u);  // 50001 steps: 50001 / 50000 is still stride 1
    EXPECT_EQ(vertices(100001), 50001u); // stride 2
    EXPECT_EQ(vertices(150001), 50001u); // 150000 steps: stride 3
    EXPECT_EQ(vertices(149999), 75000u); // 149998 steps: stride 2
}

// Found by fuzzing the data file reader: a value far outside the axis (1.9e303 from a damaged
// file, an infinite or NaN REAL from the controller) overflowed the pixel conversion.
TEST_F(LineFixture, RegressionHugeAndNotANumberValuesStayWithinThePixelRange) {
    m_serie->AddPoint(0, 1.9e303);
    m_serie->AddPoint(100, std::nan(""));
    m_serie->AddPoint(200, -HUGE_VAL);
    m_serie->AddPoint(300, 0);
    const auto vertices = m_serie->BuildVertices();
    ASSERT_FALSE(vertices.empty());
    for (const tagChartPoint& p : vertices) {
        EXPECT_LE(std::abs(p.y), 200000000);
    }
    CRecordingSurface surface;
    m_serie->DrawAll(surface);
    EXPECT_FALSE(surface.ops.empty());
}

// Two recordings five seconds apart, the first with fifty ticks the link skipped: broken at both
// gaps and marked under the plot with gaps shown, one line across them (the held value) without.
TEST_F(LineFixture, GapsBreakTheLineAndAreMarkedOnlyWhenShown) {
    m_time->SetRange(0.0, 8000.0);
    for (int t = 0; t < 1000; ++t) {
        if (t < 400 || t >= 450) {
            m_serie->AddPoint(t, t % 100);
        }
    }
    m_serie->AddPoint(6000, 99); // the hold point: the old value at the new recording's start
    for (int t = 6000; t < 7000; ++t) {
        m_serie->AddPoint(t, 50);
    }
    for (const bool everyPoint : {false, true}) {
        SCOPED_TRACE(everyPoint ? "every point" : "sampled");
        m_serie->SetEveryPointDrawing(everyPoint);
        for (const bool shown : {false, true}) {
            m_serie->SetGapsShown(shown);
            CRecordingSurface surface;
            m_serie->DrawAll(surface);
            std::vector<std::vector<tagChartPoint>> lines;
            std::vector<tagChartRect> marks;
            for (const tagSurfaceOp& op : surface.ops) {
                if (op.op == EnumSurfaceOp::Polyline) {
                    lines.push_back(op.points);
                } else if (op.op == EnumSurfaceOp::Fill) {
                    marks.push_back(op.rect);
                }
            }
            if (!shown) {
                EXPECT_EQ(lines.size(), 1u);
                EXPECT_TRUE(marks.empty());
                continue;
            }
            ASSERT_EQ(lines.size(), 3u);
            ASSERT_EQ(marks.size(), 2u);
            EXPECT_EQ(lines[0].back().x, Pixel(399, 0).x);
            EXPECT_EQ(lines[1].front().x, Pixel(450, 0).x);
            EXPECT_EQ(lines[1].back().x, Pixel(999, 0).x);
            EXPECT_EQ(lines[2].front(), Pixel(6000, 99)); // the new line starts at the held value
            EXPECT_EQ(marks[0].left, Pixel(399, 0).x);
            EXPECT_EQ(marks[1].left, Pixel(999, 0).x);
            EXPECT_EQ(marks[1].right, Pixel(6000, 0).x + 1);
        }
    }
}
