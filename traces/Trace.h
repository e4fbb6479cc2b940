// One recorded trace: its points in time order, with their extremes and min/max index, and how it
// is shown (visible, colour, display scale and offset, a staircase for bits, the channel number it
// carries). The chart's series show traces; the recording, the files and the journal fill and read
// them without a chart.
#pragma once

#include "ChartBlockSums.h"
#include "ChartPointsArray.h"
#include "ChartXYPoint.h"
#include "kit/BinaryArchive.h"

#include <cstdint>
#include <memory>
#include <optional>

// What the points with a <= X <= b hold: how many values (NaN not counted), their extremes, mean
// and root mean square.
struct tagRangeStatistics {
    uint64_t count = 0;
    double min = 0.0;
    double max = 0.0;
    double mean = 0.0;
    double rms = 0.0;
};

class CTrace {
public:
    using Points = ChartPointsArray<SChartXYPoint>;

    uint32_t GetPointCount() const { return m_points.GetCount(); }
    // One point, or many at once (in one copy when they continue the order).
    void AddPoint(double x, double y) { m_points.AddPoint({x, y}); }
    void AddPoints(const SChartXYPoint* points, uint32_t count);
    void Clear() { m_points.Clear(); }
    // The leading points up to the one the search finds for x; nothing when x lies outside the
    // stored X range. A trace of two or more points keeps its last.
    void RemovePointsUpTo(double x);
    // The first count points (all when there are fewer).
    void RemoveLeadingPoints(uint32_t count);
    // False when empty or x lies outside [min X, max X]; otherwise the search's index.
    bool FindPointIndex(double x, uint32_t& index) const;
    bool GetLastPoint(double* x, double* y) const;
    double GetXValue(uint32_t index) const { return m_points.At(index).X; }
    double GetYValue(uint32_t index) const { return m_points.At(index).Y; }
    // The extremes of the stored values; false when the trace is hidden or empty.
    bool GetYRange(double& min, double& max) const;
    bool GetXRange(double& min, double& max) const;
    // Nothing when no value lies between the times. The first call builds sums beside the points
    // (about a third of a byte a point); later ones cost a few hundred sums whatever the range.
    std::optional<tagRangeStatistics> StatisticsBetween(double a, double b) const;
    // Stores the points up to the point found for *limitX (all when limitX is null or outside the
    // stored range), or replaces them by those of the stream, bounded by what the stream holds.
    // Stream errors pass to the caller; what was read stays.
    void Serialize(CBinaryArchive& archive, const double* limitX);

    const Points& GetPoints() const { return m_points; }
    Points& GetPoints() { return m_points; }

    // How it is shown; plain stores, the owner redraws.
    bool IsVisible() const { return m_visible; }
    void SetVisible(bool visible) { m_visible = visible; }
    uint32_t GetColor() const { return m_colour; } // 0x00BBGGRR
    void SetColor(uint32_t colour) { m_colour = colour; }
    double GetYScale() const { return m_yScale; }
    void SetYScale(double scale) { m_yScale = scale; }
    double GetYOffset() const { return m_yOffset; }
    void SetYOffset(double offset) { m_yOffset = offset; }
    int GetStepMode() const { return m_stepMode; }
    void SetStepMode(int stepMode) { m_stepMode = stepMode; }
    int GetChannelNumber() const { return m_channelNumber; }
    void SetChannelNumber(int number) { m_channelNumber = number; }

private:
    Points m_points;
    mutable std::unique_ptr<ChartBlockSums<SChartXYPoint>> m_sums;
    bool m_visible = true;
    uint32_t m_colour = 0;
    double m_yScale = 1.0;
    double m_yOffset = 0.0;
    int m_stepMode = 0;
    int m_channelNumber = 0;
};
