#include "ChartGrid.h"

#include "ChartCtrl.h"

CChartGrid::CChartGrid(CChartCtrl* parent, bool horizontal) : m_parent(parent), m_horizontal(horizontal) {}

void CChartGrid::Draw(CChartSurface& surface) {
    if (!m_visible || !m_parent) {
        return;
    }
    const tagChartRect plot = m_parent->GetPlottingRect();
    const tagChartPen previous = surface.SelectPen({0, m_colour});
    for (int tick : m_ticks) {
        if (m_horizontal && tick > plot.left && tick < plot.right) {
            surface.MoveTo(tick, plot.top);
            surface.LineTo(tick, plot.bottom);
        } else if (!m_horizontal && tick > plot.top && tick < plot.bottom) {
            surface.MoveTo(plot.left, tick);
            surface.LineTo(plot.right, tick);
        }
    }
    surface.SelectPen(previous);
}
