#include "ChartLegend.h"

#include "ChartCtrl.h"
#include "ChartSerie.h"

#include <algorithm>

CChartLegend::CChartLegend(CChartCtrl* parent) : m_parent(parent) {}

void CChartLegend::UpdatePosition(CChartSurface& surface, tagChartRect& plot) {
    m_rect = {};
    if (!m_visible || !m_parent) {
        return;
    }
    auto font = surface.SelectFont(surface.CreateFont({m_face, m_sizeTenths}));
    int width = 0;
    int height = kPadding;
    for (CChartSerie* serie : m_parent->Series()) {
        if (serie->m_name.empty()) {
            continue;
        }
        const tagChartSize extent = surface.GetTextExtent(serie->m_name);
        width = std::max(width, extent.cx);
        height += extent.cy + kPadding;
    }
    surface.SelectFont(font);
    if (width == 0) {
        return;
    }
    width += kSampleWidth + 3 * kPadding;
    const int top = m_docked ? plot.top : plot.top + kPadding;
    m_rect = {plot.right - width, top, plot.right, top + height};
    plot.right -= width + kPadding;
}

void CChartLegend::Draw(CChartSurface& surface) {
    if (!m_visible || !m_parent || m_rect.Width() <= 0) {
        return;
    }
    surface.FillSolidRect(m_rect, m_background);
    auto font = surface.SelectFont(surface.CreateFont({m_face, m_sizeTenths}));
    surface.SetBkTransparent();
    int y = m_rect.top + kPadding;
    for (CChartSerie* serie : m_parent->Series()) {
        if (serie->m_name.empty()) {
            continue;
        }
        const tagChartSize extent = surface.GetTextExtent(serie->m_name);
        const tagChartRect sample{m_rect.left + kPadding, y, m_rect.left + kPadding + kSampleWidth,
                                  y + extent.cy};
        serie->DrawLegendSample(surface, sample);
        surface.TextOut(sample.right + kPadding, y, serie->m_name);
        y += extent.cy + kPadding;
    }
    surface.SelectFont(font);
}
