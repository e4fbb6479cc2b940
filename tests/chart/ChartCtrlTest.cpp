#include "ChartFixture.h"

#include <algorithm>
#include <cmath>

namespace {

// Title text height + 4 at 10 pt, plus the tick label height at 8 pt, of the fixed metrics.
constexpr int kTimeAxisHeight = (16 + 4) + 13;

} // namespace

TEST_F(ChartFixture, PlotRectangleFollowsTheClientSize) {
    for (tagChartRect client : {tagChartRect{0, 0, 800, 500}, tagChartRect{0, 0, 1200, 600}}) {
        m_host.client = client;
        m_chart.OnSize();
        const tagChartRect plot = m_chart.GetPlottingRect();
        EXPECT_EQ(plot.left, 33);
        EXPECT_EQ(plot.top, 18);
        EXPECT_EQ(plot.right, client.right - 23);
        EXPECT_EQ(plot.bottom, client.bottom - 9 - kTimeAxisHeight);
    }
}

TEST_F(ChartFixture, DrawsBorderDottedGridAndTimeLabels) {
    m_chart.SetDottedGrid(true);
    m_chart.RedrawChart();
    const tagChartRect p = m_chart.GetPlottingRect();
    const auto ops = LastRedraw();
    auto hasLine = [&](tagChartPoint a, tagChartPoint b) {
        return std::any_of(ops.begin(), ops.end(), [&](const tagSurfaceOp& op) {
            return op.op == EnumSurfaceOp::Line && op.points[0] == a && op.points[1] == b;
        });
    };
    EXPECT_TRUE(hasLine({p.left, p.top}, {p.right, p.top}));
    EXPECT_TRUE(hasLine({p.right, p.bottom}, {p.left, p.bottom}));
    // First dash of the first horizontal grid row.
    const int y1 = p.top + static_cast<int>(0.1 * (p.bottom - p.top));
    EXPECT_TRUE(hasLine({p.left, y1}, {p.left + 3, y1}));
    EXPECT_TRUE(hasLine({p.left + 6, y1}, {p.left + 9, y1}));

    std::vector<std::string> labels;
    for (const tagSurfaceOp& op : ops) {
        if (op.op == EnumSurfaceOp::Text && op.font.sizeTenths == 80) {
            labels.push_back(op.text);
        }
    }
    const std::vector<std::string> expected{"0",    "1000", "2000", "3000", "4000", "5000",
                                            "6000", "7000", "8000", "9000", "10000"};
    EXPECT_EQ(labels, expected);
}

TEST_F(ChartFixture, ZoomByRectangleThenBackThroughTheHistory) {
    const tagChartRect p = m_chart.GetPlottingRect();
    const int x0 = p.left + 100;
    const int x1 = p.left + 300;
    const double a = m_time->PixelToValue(x0);
    const double b = m_time->PixelToValue(x1);
    Drag(x0, p.top + 50, x1, p.top + 150);

    EXPECT_EQ(m_time->GetMinimum(), std::floor(a));
    EXPECT_EQ(m_time->GetStep(), std::ceil((b - std::floor(a)) / 10.0));
    EXPECT_LT(m_value->GetMaximum(), 10000.0);
    EXPECT_EQ(m_viewChanges, 1);
    EXPECT_EQ(m_rangeChanges, 1);

    Drag(x0, p.top + 50, x1, p.top + 150); // a second zoom inside the first
    const double secondMin = m_time->GetMinimum();
    EXPECT_GT(secondMin, std::floor(a));

    // Dragging to the left steps back one zoom at a time, then to the home range.
    Drag(x1, p.top + 150, x0, p.top + 50);
    EXPECT_EQ(m_time->GetMinimum(), std::floor(a));
    Drag(x1, p.top + 150, x0, p.top + 50);
    EXPECT_EQ(m_time->GetMinimum(), 0.0);
    EXPECT_EQ(m_time->GetMaximum(), 10000.0);
    EXPECT_EQ(m_value->GetMaximum(), 10000.0);
    EXPECT_EQ(m_viewChanges, 4);
}

TEST_F(ChartFixture, ClickWithoutMoveOnlyRepaints) {
    const tagChartRect p = m_chart.GetPlottingRect();
    m_chart.OnLButtonDown(p.left + 10, p.top + 10);
    m_chart.OnLButtonUp(p.left + 200, p.top + 200); // the release point does not count
    EXPECT_EQ(m_time->GetMaximum(), 10000.0);
    EXPECT_EQ(m_time->GetZoomDepth(), 0u);
    EXPECT_EQ(m_viewChanges, 0);
    // Nothing is left armed: a later move and release zoom nothing.
    m_chart.OnMouseMove(p.left + 300, p.top + 300);
    m_chart.OnLButtonUp(p.left + 300, p.top + 300);
    EXPECT_EQ(m_time->GetZoomDepth(), 0u);
}

TEST_F(ChartFixture, DoubleClickStartsNoZoom) {
    const tagChartRect p = m_chart.GetPlottingRect();
    m_chart.OnLButtonDown(p.left + 10, p.top + 10);
    m_chart.OnLButtonUp(p.left + 10, p.top + 10);
    m_chart.OnLButtonDblClk(p.left + 10, p.top + 10);
    m_chart.OnMouseMove(p.left + 300, p.top + 300);
    m_chart.OnLButtonUp(p.left + 300, p.top + 300);
    EXPECT_EQ(m_time->GetZoomDepth(), 0u);
    EXPECT_EQ(m_viewChanges, 0);
}

TEST_F(ChartFixture, TimePanAccumulatesMovesBelowOneMillisecond) {
    m_time->SetBaseStep(10.0); // 100 ms over the plot width
    m_time->FollowTime(1000.0);
    const tagChartRect p = m_chart.GetPlottingRect();
    const double msPerPixel = 100.0 / (p.right - p.left);
    ASSERT_LT(msPerPixel, 1.0);
    const int y = p.top + 100;
    int x = p.left + 400;
    m_chart.OnRButtonDown(x, y);
    // Pixel by pixel to the left: the window moves only once a whole millisecond has gathered.
    const int pixelsPerMs = static_cast<int>(std::ceil(1.0 / msPerPixel));
    for (int i = 1; i < pixelsPerMs - 1; ++i) {
        m_chart.OnMouseMove(x - i, y);
        EXPECT_EQ(m_time->GetMinimum(), 900.0) << i;
    }
    for (int i = pixelsPerMs - 1; i <= pixelsPerMs + 1; ++i) {
        m_chart.OnMouseMove(x - i, y);
    }
    EXPECT_EQ(m_time->GetMinimum(), 901.0);
    m_chart.OnRButtonUp(x, y);
    m_chart.OnMouseMove(x - 200, y); // released: the window stays
    EXPECT_EQ(m_time->GetMinimum(), 901.0);
}

TEST_F(ChartFixture, PanEmptiesTheZoomHistoryAndStopsAtZero) {
    const tagChartRect p = m_chart.GetPlottingRect();
    Drag(p.left + 100, p.top + 10, p.left + 300, p.top + 200);
    ASSERT_EQ(m_time->GetZoomDepth(), 1u);
    m_chart.OnRButtonDown(p.left + 10, p.top + 10);
    m_chart.OnMouseMove(p.right - 1, p.bottom - 1); // right and down: earlier times, higher values
    m_chart.OnRButtonUp(p.right - 1, p.bottom - 1);
    EXPECT_EQ(m_time->GetZoomDepth(), 0u);
    EXPECT_EQ(m_value->GetZoomDepth(), 0u);
    EXPECT_EQ(m_time->GetMinimum(), 0.0);
    EXPECT_GT(m_value->GetMinimum(), -10000.0);
    // The next zoom-back goes straight home.
    Drag(p.left + 300, p.top + 200, p.left + 100, p.top + 10);
    EXPECT_EQ(m_time->GetMaximum(), 10000.0);
    EXPECT_EQ(m_value->GetMinimum(), -10000.0);
}

TEST_F(ChartFixture, ManyChangesInsideASuspensionGiveOneRedraw) {
    const int before = Redraws();
    m_chart.SetRedrawEnabled(false);
    m_chart.SetRedrawEnabled(false); // nested
    for (int i = 0; i < 20; ++i) {
        m_time->FollowTime(20000.0 + i * 100);
        m_chart.RedrawChart();
    }
    m_chart.SetRedrawEnabled(true);
    EXPECT_EQ(Redraws(), before);
    m_chart.SetRedrawEnabled(true);
    EXPECT_EQ(Redraws(), before + 1);
    m_chart.SetRedrawEnabled(false);
    m_chart.SetRedrawEnabled(true); // nothing changed meanwhile: nothing to draw
    EXPECT_EQ(Redraws(), before + 1);
}

TEST_F(ChartFixture, OffsetMarkerDragClampsToTheAxisRange) {
    auto* serie = new CProbeSerie(&m_chart);
    m_chart.AddSerie(serie, false, false);
    serie->m_offsetMarkerShown = true;
    serie->SetChannelNumber(2);
    m_chart.RedrawChart();
    const tagChartRect p = m_chart.GetPlottingRect();
    const int markerY = p.top + (p.bottom - p.top) / 2; // offset 0 in -10000..10000

    // The marker is drawn as an arrow with the channel number plus one.
    const auto ops = LastRedraw();
    EXPECT_TRUE(std::any_of(ops.begin(), ops.end(), [&](const tagSurfaceOp& op) {
        return op.op == EnumSurfaceOp::Polygon && op.points.front() == tagChartPoint{p.left - 1, markerY};
    }));
    EXPECT_TRUE(std::any_of(ops.begin(), ops.end(), [](const tagSurfaceOp& op) {
        return op.op == EnumSurfaceOp::Text && op.text == "3" && op.colour == ChartRGB(255, 255, 255);
    }));

    EXPECT_EQ(m_chart.HitTestOffsetMarker(p.left - 12, markerY + 10), static_cast<int>(serie->GetSerieId()));
    EXPECT_EQ(m_chart.HitTestOffsetMarker(p.left - 12, markerY + 11), -1);
    EXPECT_EQ(m_chart.HitTestOffsetMarker(p.left, markerY), -1);

    m_chart.OnLButtonDown(p.left - 12, markerY); // outside the plot: no zoom starts
    m_chart.OnMouseMove(p.left - 12, p.top - 40);
    EXPECT_EQ(serie->GetYOffset(), 10000.0);
    EXPECT_FALSE(m_chart.IsMouseFree());
    m_chart.OnMouseMove(p.left - 12, p.bottom + 40);
    EXPECT_EQ(serie->GetYOffset(), -10000.0);
    EXPECT_EQ(m_viewChanges, 2);
    m_chart.OnLButtonUp(p.left - 12, p.bottom + 40);
    EXPECT_EQ(m_time->GetZoomDepth(), 0u);
    m_chart.OnMouseMove(p.left - 12, markerY); // released: the marker stays
    EXPECT_EQ(serie->GetYOffset(), -10000.0);

    // Out of range: no marker, nothing to grab. Hidden: the same.
    serie->SetYOffset(20000.0);
    EXPECT_EQ(m_chart.HitTestOffsetMarker(p.left - 12, p.top), -1);
    serie->SetYOffset(0.0);
    serie->SetVisible(false);
    EXPECT_EQ(m_chart.HitTestOffsetMarker(p.left - 12, markerY), -1);
}

TEST_F(ChartFixture, SeriesTakePaletteColoursInTurnAndSeeMouseEvents) {
    std::vector<CProbeSerie*> series;
    for (int i = 0; i < 11; ++i) {
        series.push_back(new CProbeSerie(&m_chart));
        m_chart.AddSerie(series.back(), false, false);
    }
    EXPECT_EQ(series[1]->GetColor(), CChartCtrl::kPalette[1]);
    EXPECT_EQ(series[10]->GetColor(), CChartCtrl::kPalette[0]);
    EXPECT_EQ(m_value->Series().size(), 11u);
    m_chart.OnRButtonDblClk(40, 40);
    EXPECT_EQ(series[0]->events, std::vector<EnumMouseEvent>{MOUSE_RBUTTON_DBLCLK});

    m_chart.RemoveAllSeries();
    EXPECT_TRUE(m_value->Series().empty());
    EXPECT_TRUE(m_time->Series().empty());
}

TEST_F(ChartFixture, FreeMouseNeedsMeasurementMode) {
    const tagChartRect p = m_chart.GetPlottingRect();
    m_chart.OnMouseMove(p.left + 50, p.top + 50);
    EXPECT_FALSE(m_chart.IsMouseFree());
    m_chart.SetMeasurementMode(1);
    m_chart.OnMouseMove(p.left + 60, p.top + 50);
    EXPECT_TRUE(m_chart.IsMouseFree());
    EXPECT_EQ(m_chart.GetLastMousePoint(), (tagChartPoint{p.left + 60, p.top + 50}));
    m_chart.OnLButtonDown(p.left + 60, p.top + 50);
    m_chart.OnMouseMove(p.left + 70, p.top + 60);
    EXPECT_FALSE(m_chart.IsMouseFree()); // zooming
    EXPECT_EQ(m_mouseMoves, 3);
}

TEST_F(ChartFixture, PaintCopiesTheBufferThenDrawsTheZoomRectangle) {
    CRecordingSurface screen;
    m_chart.SetZoomRectColor(ChartRGB(255, 255, 0));
    m_chart.SetZoomRectPenWidth(2);
    const tagChartRect p = m_chart.GetPlottingRect();
    m_chart.OnLButtonDown(p.left + 10, p.top + 10);
    m_chart.OnMouseMove(p.left + 50, p.top + 40);
    m_chart.OnPaint(screen);
    ASSERT_GE(screen.ops.size(), 5u);
    EXPECT_EQ(screen.ops[0].op, EnumSurfaceOp::Buffer);
    EXPECT_EQ(screen.ops[1].pen, (tagChartPen{2, ChartRGB(255, 255, 0)}));
    EXPECT_EQ(screen.ops[2].points[1], (tagChartPoint{p.left + 50, p.top + 40}));
}
