// The title of an axis: horizontal under or over the plot, turned by 90 degrees beside it.
#pragma once

#include "ChartFontSpec.h"
#include "ChartGeometry.h"

#include <string>

class CChartCtrl;

class CChartAxisLabel {
public:
    explicit CChartAxisLabel(CChartCtrl* parent);

    void SetParent(CChartCtrl* parent) { m_parent = parent; }
    void SetText(const std::string& text);
    void SetVisible(bool visible) { m_visible = visible; }
    void SetColor(COLORREF colour) { m_colour = colour; }
    void SetHorizontal(bool horizontal);
    ChartFontSpec& Font() { return m_font; }

    // Text extent plus 4 in each direction, swapped for turned text; (0, 0) when hidden or empty.
    tagChartSize GetSize(CChartSurface* surface);
    void SetPosition(int x, int y, tagChartSize size) { m_rect = {x, y, x + size.cx, y + size.cy}; }
    const tagChartRect& GetRect() const { return m_rect; }
    void Draw(CChartSurface& surface);

private:
    CChartCtrl* m_parent;
    bool m_visible = true;
    tagChartRect m_rect;
    COLORREF m_colour = 0;
    bool m_horizontal = true;
    ChartFontSpec m_font;
    std::string m_text;
};
