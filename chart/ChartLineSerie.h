// A series drawn as a connected line, reduced to a few vertices per pixel column.
#pragma once

#include "ChartXYSerie.h"

#include <cmath>
#include <vector>

class CColumnReduction;

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

    // Where no sample exists for longer than the sampling's step leaves between two (between
    // recordings, skipped ticks, outages): the line is broken there and a bar under the plot marks
    // the gap. Off by default: the line joins every two neighbouring points.
    void SetGapsShown(bool on);
    bool IsGapsShown() const { return m_gapsShown; }
    // A step this many times the sampling's is a gap.
    static constexpr double kGapSteps = 1.5;
    static constexpr int kGapMarkHeight = 3;
    static constexpr COLORREF kGapMarkColour = ChartRGB(128, 128, 128);
    // The gaps of the last BuildVertices, in its pixels: the columns before and after each.
    const std::vector<std::pair<int, int>>& Gaps() const { return m_gaps; }

    void DrawAll(CChartSurface& surface) override;
    void DrawLegendSample(CChartSurface& surface, const tagChartRect& rect) override;

    // The vertices one full draw hands to the surface (for the visible range and current axes), in
    // pixels of a surface with scale device pixels to each of the chart's.
    const std::vector<tagChartPoint>& BuildVertices(double scale = 1.0);

private:
    // Values to pixels with the axes' linear maps where they have them.
    struct tagPixelMap {
        CChartAxis::tagLinearMap x_, y_;
        const CChartAxis* horizontal;
        const CChartAxis* vertical;
        double scale, offset;
        double device; // device pixels per pixel
        bool fast;     // both axes linear: no virtual call per point
        int X(double x) const {
            return fast ? x_.Map(x) : Device(horizontal ? horizontal->ValueToPixel(x) : 0);
        }
        int Y(double y) const {
            const double shown = y * scale + offset;
            return fast ? y_.Map(shown) : Device(vertical ? vertical->ValueToPixel(shown) : 0);
        }
        int Device(int pixel) const { return ChartRound(pixel * device); }
    };
    tagPixelMap PixelMap(double scale) const;
    // Where the column at pixel x that begins at point i ends, and what finding it learnt.
    struct tagColumnExtent;
    tagColumnExtent FindColumn(uint32_t i, uint32_t last, int x, uint32_t guess,
                               const tagPixelMap& map) const;
    // The columns of points first..last: every point through the min/max index, or a stride.
    void ReduceEveryPoint(uint32_t first, uint32_t last, const tagPixelMap& map,
                          CColumnReduction& columns) const;
    void ReduceSampled(uint32_t first, uint32_t last, const tagPixelMap& map,
                       CColumnReduction& columns) const;

    // Whether no sample lies between points a < b for longer than the sampling leaves.
    bool IsGap(uint32_t a, uint32_t b) const;
    void DrawGapMarks(CChartSurface& surface, double scale) const;

    int m_penWidth = 1;
    bool m_everyPoint = false;
    bool m_gapsShown = false;
    std::vector<tagChartPoint> m_vertices; // reused between draws to save allocations
    std::vector<size_t> m_pieces;          // where each line of the vertices begins
    std::vector<std::pair<int, int>> m_gaps;
    std::vector<tagChartPoint> m_piece;
};
