#include "ChartTitle.h"

#include <algorithm>

CChartTitle::CChartTitle(CChartCtrl* parent) : m_parent(parent) {}

void CChartTitle::AddString(const std::string& line) {
    m_lines.push_back(line);
}

void CChartTitle::RemoveAll() {
    m_lines.clear();
    m_lineFonts.clear();
}

ChartFontSpec& CChartTitle::FontOfLine(size_t line) {
    auto it = m_lineFonts.find(line);
    return it == m_lineFonts.end() ? m_font : it->second;
}

tagChartSize CChartTitle::GetSize(CChartSurface& surface) {
    tagChartSize size;
    if (!m_visible || m_lines.empty()) {
        return size;
    }
    for (size_t i = 0; i < m_lines.size(); ++i) {
        ChartFontSpec& font = FontOfLine(i);
        font.SelectInto(surface);
        const tagChartSize extent = surface.GetTextExtent(m_lines[i]);
        font.RestoreFrom(surface);
        size.cx = std::max(size.cx, extent.cx);
        size.cy += extent.cy;
    }
    return size;
}

void CChartTitle::Draw(CChartSurface& surface) {
    if (!m_visible || m_lines.empty()) {
        return;
    }
    surface.SetBkTransparent();
    const COLORREF previous = surface.SetTextColor(m_colour);
    int y = m_rect.top;
    for (size_t i = 0; i < m_lines.size(); ++i) {
        ChartFontSpec& font = FontOfLine(i);
        font.SelectInto(surface);
        const tagChartSize extent = surface.GetTextExtent(m_lines[i]);
        surface.TextOut(m_rect.left + (m_rect.Width() - extent.cx) / 2, y, m_lines[i]);
        font.RestoreFrom(surface);
        y += extent.cy;
    }
    surface.SetTextColor(previous);
}
