// A box listing the named series; hidden unless switched on.
#pragma once

#include "ChartGeometry.h"
#include "ChartSurface.h"

#include <string>

class CChartCtrl;

class CChartLegend {
public:
    explicit CChartLegend(CChartCtrl* parent);
    virtual ~CChartLegend() = default;

    void SetVisible(bool visible) { m_visible = visible; }
    bool IsVisible() const { return m_visible; }

    // Places the legend at the right of the plot and takes its width from the plot rectangle.
    void UpdatePosition(CChartSurface& surface, tagChartRect& plot);
    void Draw(CChartSurface& surface);
    const tagChartRect& GetRect() const { return m_rect; }

private:
    static constexpr int kSampleWidth = 20;
    static constexpr int kPadding = 4;

    CChartCtrl* m_parent;
    tagChartRect m_rect;
    std::string m_face = "Times New Roman";
    int m_sizeTenths = 100;
    bool m_visible = false;
    bool m_docked = true;
    COLORREF m_background = 0xFFFFFF;
};
