// A series drawn as a connected line, reduced to a few vertices per pixel column.
#pragma once

#include "ChartXYSerie.h"

#include <vector>

class CChartLineSerie : public CChartXYSerie {
public:
    // Beyond this many visible points only every n-th is considered (unless every point is drawn).
    static constexpr uint32_t kStrideThreshold = 50000;

    explicit CChartLineSerie(CChartCtrl* parent) : CChartXYSerie(parent) {}

    void SetWidth(int width);

    // Every point, however many: each pixel column's first, largest, smallest and latest point
    // are found through the min/max index instead of a stride over the points, so that the cost
    // grows with the plot's width and not with the points. Off by default.
    void SetEveryPointDrawing(bool on);
    bool IsEveryPointDrawing() const { return m_everyPoint; }

    void DrawAll(CChartSurface& surface) override;
    void DrawLegendSample(CChartSurface& surface, const tagChartRect& rect) override;
    // Nothing of this chart asks a line where it is hit or draws incrementally.
    virtual bool HitTest(tagChartPoint, uint32_t&) const { return false; }
    virtual void DrawNewPoints(CChartSurface&) {}

    // The vertices one full draw hands to the surface (for the visible range and current axes).
    const std::vector<tagChartPoint>& BuildVertices();

private:
    int m_penWidth = 1;
    bool m_everyPoint = false;
    std::vector<tagChartPoint> m_vertices; // reused between draws to save allocations
};
