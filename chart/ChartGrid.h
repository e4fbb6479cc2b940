// Grid lines through the ticks of one axis.
#pragma once

#include "ChartGeometry.h"
#include "ChartSurface.h"

#include <vector>

class CChartCtrl;

class CChartGrid {
public:
    CChartGrid(CChartCtrl* parent, bool horizontal);
    virtual ~CChartGrid() = default;

    void SetParent(CChartCtrl* parent) { m_parent = parent; }
    void ClearTicks() { m_ticks.clear(); }
    void AddTick(int pixel) { m_ticks.push_back(pixel); }

    void SetVisible(bool visible) { m_visible = visible; }
    bool IsVisible() const { return m_visible; }
    void SetHorizontal(bool horizontal) { m_horizontal = horizontal; }
    void SetColor(COLORREF colour) { m_colour = colour; }

    // Lines across the plot of the parent at every tick inside it.
    void Draw(CChartSurface& surface);

private:
    CChartCtrl* m_parent;
    COLORREF m_colour = ChartRGB(128, 128, 128);
    bool m_visible = true;
    bool m_horizontal;
    std::vector<int> m_ticks;
};
