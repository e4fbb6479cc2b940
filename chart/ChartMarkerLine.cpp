#include "ChartMarkerLine.h"

#include "ChartAxis.h"
#include "ChartCtrl.h"

CChartMarkerLine::CChartMarkerLine(CChartCtrl* parent, CChartAxis* axis)
    : CChartCursor(parent), m_axis(axis) {
    m_shown = false;
}

void CChartMarkerLine::Draw(CChartSurface& surface) {
    if (!m_shown || m_value < m_axis->GetMinimum() || m_value > m_axis->GetMaximum()) {
        return;
    }
    const tagChartRect& plot = m_parent->GetPlottingRect();
    const tagChartPen previousPen = surface.SelectPen({1, m_colour});
    const tagChartBrush previousBrush = surface.SelectBrush({m_colour});
    if (m_axis->IsHorizontal()) {
        const int x = m_axis->ValueToPixel(m_value);
        surface.MoveTo(x, plot.top);
        surface.LineTo(x, plot.bottom);
        surface.Polygon({{x, plot.top + 7}, {x - 5, plot.top}, {x + 5, plot.top}});
    } else {
        const int y = m_axis->ValueToPixel(m_value);
        surface.MoveTo(plot.left, y);
        surface.LineTo(plot.right, y);
        surface.Polygon({{plot.left + 7, y}, {plot.left, y - 5}, {plot.left, y + 5}});
    }
    surface.SelectBrush(previousBrush);
    surface.SelectPen(previousPen);
}
