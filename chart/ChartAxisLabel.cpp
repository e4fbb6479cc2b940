#include "ChartAxisLabel.h"

#include "ChartCtrl.h"

CChartAxisLabel::CChartAxisLabel(CChartCtrl* parent) : m_parent(parent) {}

void CChartAxisLabel::SetText(const std::string& text) {
    m_text = text;
    if (m_parent) {
        m_parent->RedrawChart();
    }
}

void CChartAxisLabel::SetHorizontal(bool horizontal) {
    m_horizontal = horizontal;
    m_font.SetVertical(!horizontal);
}

tagChartSize CChartAxisLabel::GetSize(CChartSurface* surface) {
    if (!m_visible || !surface || m_text.empty()) {
        return {};
    }
    m_font.SelectInto(*surface);
    const tagChartSize extent = surface->GetTextExtent(m_text);
    m_font.RestoreFrom(*surface);
    return m_horizontal ? tagChartSize{extent.cx + 4, extent.cy + 4}
                        : tagChartSize{extent.cy + 4, extent.cx + 4};
}

void CChartAxisLabel::Draw(CChartSurface& surface) {
    if (!m_visible || m_text.empty()) {
        return;
    }
    m_font.SelectInto(surface);
    surface.SetBkTransparent();
    const COLORREF previous = surface.SetTextColor(m_colour);
    if (m_horizontal) {
        surface.TextOut(m_rect.left, m_rect.top + 2, m_text);
    } else {
        surface.TextOut(m_rect.left + 2, m_rect.top, m_text);
    }
    surface.SetTextColor(previous);
    m_font.RestoreFrom(surface);
}
