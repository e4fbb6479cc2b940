// A series drawn as a connected line, reduced to a few vertices per pixel column.
#pragma once

#include "ChartXYSerie.h"

#include <vector>

class CChartLineSerie : public CChartXYSerie {
public:
    // Beyond this many visible points only every n-th is considered.
    static constexpr uint32_t kStrideThreshold = 50000;

    explicit CChartLineSerie(CChartCtrl* parent) : CChartXYSerie(parent) {}

    void SetWidth(int width);

    void DrawAll(CChartSurface& surface) override;
    void DrawLegendSample(CChartSurface& surface, const tagChartRect& rect) override;
    // Nothing of this chart asks a line where it is hit or draws incrementally.
    virtual bool HitTest(tagChartPoint, uint32_t&) const { return false; }
    virtual void DrawNewPoints(CChartSurface&) {}

    // The vertices one full draw hands to the surface (for the visible range and current axes).
    const std::vector<tagChartPoint>& BuildVertices();

private:
    int m_penWidth = 1;
    std::vector<tagChartPoint> m_vertices; // reused between draws to save allocations
};
