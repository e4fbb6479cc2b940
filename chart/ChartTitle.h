// Lines of text centred above the plot.
#pragma once

#include "ChartFontSpec.h"
#include "ChartGeometry.h"

#include <map>
#include <string>
#include <vector>

class CChartCtrl;

class CChartTitle {
public:
    explicit CChartTitle(CChartCtrl* parent);
    virtual ~CChartTitle() = default;

    void AddString(const std::string& line);
    void RemoveAll();
    void SetFont(size_t line, const ChartFontSpec& font) { m_lineFonts[line] = font; }
    void SetVisible(bool visible) { m_visible = visible; }
    void SetColor(COLORREF colour) { m_colour = colour; }

    // (0, 0) when hidden or empty; else the widest line and the sum of the line heights.
    tagChartSize GetSize(CChartSurface& surface);
    void SetPosition(const tagChartRect& rect) { m_rect = rect; }
    void Draw(CChartSurface& surface);

private:
    ChartFontSpec& FontOfLine(size_t line);

    CChartCtrl* m_parent;
    std::vector<std::string> m_lines;
    std::map<size_t, ChartFontSpec> m_lineFonts;
    bool m_visible = true;
    ChartFontSpec m_font;
    COLORREF m_colour = 0;
    tagChartRect m_rect;
};
