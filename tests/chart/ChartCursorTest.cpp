#include "ChartFixture.h"

#include "chart/ChartCustomLineCursor.h"

namespace {

class CursorFixture : public ChartFixture {
protected:
    void SetUp() override {
        ChartFixture::SetUp();
        m_cursor = new CChartCustomLineCursor(&m_chart, m_time);
        m_chart.AddCursor(m_cursor);
        m_cursor->SetCallback([](void* n) { ++*static_cast<int*>(n); }, &m_moves);
        m_cursor->SetPositionByRatio(0.3);
    }
    CChartCustomLineCursor* m_cursor = nullptr;
    int m_moves = 0;
};

} // namespace

TEST_F(CursorFixture, PressWithinThreePixelsGrabs) {
    const int x = m_cursor->GetPosition();
    const int y = m_chart.GetPlottingRect().top + 50;
    m_chart.OnLButtonDown(x - 4, y);
    EXPECT_FALSE(m_cursor->IsDragging());
    m_chart.OnMouseMove(x + 100, y + 100);
    m_chart.OnLButtonUp(x + 100, y + 100);
    EXPECT_EQ(m_time->GetZoomDepth(), 1u);      // the press went to the plot instead: a zoom
    const int zoomed = m_cursor->GetPosition(); // the cursor keeps its time, on a new pixel
    m_chart.OnLButtonDown(zoomed - 3, y);
    EXPECT_TRUE(m_cursor->IsDragging());
    m_chart.OnMouseMove(zoomed + 100, y + 100);
    m_chart.OnLButtonUp(zoomed + 100, y + 100);
    EXPECT_FALSE(m_cursor->IsDragging());
    EXPECT_EQ(m_time->GetZoomDepth(), 1u); // a cursor drag zooms nothing
}

TEST_F(CursorFixture, DragIsClampedToThePlotAndReportsEveryStep) {
    const tagChartRect p = m_chart.GetPlottingRect();
    const int x = m_cursor->GetPosition();
    m_chart.OnLButtonDown(x, p.top + 10);
    m_chart.OnMouseMove(x + 20, p.top + 10);
    EXPECT_EQ(m_cursor->GetPosition(), x + 20);
    EXPECT_FALSE(m_cursor->GetPositionValue() == 3000.0);
    m_chart.OnMouseMove(p.right + 200, p.top + 10);
    EXPECT_EQ(m_cursor->GetPosition(), p.right);
    EXPECT_EQ(m_cursor->GetPositionValue(), 10000.0);
    EXPECT_EQ(m_moves, 2);
    EXPECT_EQ(m_host.pointer, EnumChartPointer::SizeAll); // hover stays set during the drag
    m_chart.OnLButtonUp(p.right + 200, p.top + 10);
}

TEST_F(CursorFixture, SetByValueSnapsAndClamps) {
    m_time->SetBaseStep(10.0); // 0 .. 100
    m_cursor->SetPositionValue(12.7);
    EXPECT_EQ(m_cursor->GetPosition(), m_time->ValueToPixel(12.0));
    m_cursor->SetPositionValue(250.0);
    EXPECT_EQ(m_cursor->GetPosition(), m_time->ValueToPixel(100.0));
}

TEST_F(CursorFixture, StaysAtItsScreenXAcrossAZoom) {
    const int x = m_cursor->GetPosition();
    const double before = m_cursor->GetPositionValue();
    const tagChartRect p = m_chart.GetPlottingRect();
    Drag(p.left + 100, p.top + 10, p.left + 500, p.top + 100);
    EXPECT_EQ(m_cursor->GetPosition(), x);
    EXPECT_NE(m_cursor->GetPositionValue(), before);
    EXPECT_EQ(m_cursor->GetPositionValue(), m_time->PixelToValue(x));
}

TEST_F(CursorFixture, HiddenCursorIgnoresTheMouseAndDrawsNothing) {
    m_cursor->SetVisible(false);
    const int x = m_cursor->GetPosition();
    m_chart.OnLButtonDown(x, m_chart.GetPlottingRect().top + 10);
    EXPECT_FALSE(m_cursor->IsDragging());
    m_chart.OnLButtonUp(x, m_chart.GetPlottingRect().top + 10);
    CRecordingSurface screen;
    m_cursor->Draw(screen);
    EXPECT_TRUE(screen.ops.empty());
}

TEST_F(CursorFixture, DrawsDashesAndAHandleAbovePlot) {
    CRecordingSurface screen;
    m_cursor->Draw(screen);
    const tagChartRect p = m_chart.GetPlottingRect();
    const int x = m_cursor->GetPosition();
    ASSERT_FALSE(screen.ops.empty());
    EXPECT_EQ(screen.ops[0].points, (std::vector<tagChartPoint>{{x, p.top}, {x, p.top + 5}}));
    EXPECT_EQ(screen.ops[0].pen, (tagChartPen{2, ChartRGB(255, 0, 0)}));
    const tagSurfaceOp& handle = screen.ops.back();
    EXPECT_EQ(handle.op, EnumSurfaceOp::Polygon);
    EXPECT_EQ(handle.points,
              (std::vector<tagChartPoint>{{x, p.top}, {x - 8, p.top - 12}, {x + 8, p.top - 12}}));
}

TEST_F(CursorFixture, OfTwoCloseCursorsTheLowerIdIsDragged) {
    auto* second = new CChartCustomLineCursor(&m_chart, m_time);
    m_chart.AddCursor(second);
    m_time->SetBaseStep(1000.0);
    second->SetPositionValue(m_cursor->GetPositionValue() + 20.0); // a pixel or two away
    ASSERT_LE(std::abs(second->GetPosition() - m_cursor->GetPosition()), 3);
    m_chart.OnLButtonDown(second->GetPosition(), m_chart.GetPlottingRect().top + 10);
    EXPECT_TRUE(m_cursor->IsDragging());
    EXPECT_FALSE(second->IsDragging());
}
