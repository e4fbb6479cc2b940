// A series with point storage: adding, searching, trimming, ranges and storing its points, all
// on the trace it shows.
#pragma once

#include "ChartAxis.h"
#include "ChartCtrl.h"
#include "ChartSerie.h"
#include "kit/BinaryArchive.h"
#include "traces/ChartPointsArray.h"

#include <algorithm>
#include <type_traits>

template <class PointType> class CChartSerieBase : public CChartSerie {
    static_assert(std::is_same_v<PointType, SChartXYPoint>, "traces hold XY points");

public:
    explicit CChartSerieBase(CChartCtrl* parent) : CChartSerie(parent) {}

    virtual uint32_t GetPointCount() const { return Points().GetCount(); }
    virtual tagChartPoint GetPointPixelPosition(uint32_t index) const {
        return ValueToPixelPoint(Points().At(index).X, Points().At(index).Y);
    }
    bool GetYRange(double& min, double& max) const override { return m_trace->GetYRange(min, max); }
    bool GetXRange(double& min, double& max) const override { return m_trace->GetXRange(min, max); }
    virtual bool GetXRangeOfVisiblePoints(double& min, double& max) const;
    virtual bool GetYRangeOfVisiblePoints(double& min, double& max) const;
    virtual bool GetVisibleRange(uint32_t& first, uint32_t& last) const;
    void DrawPointLabels(CChartSurface&) override {}
    bool OnMouseEvent(EnumMouseEvent, tagChartPoint) override { return false; }
    virtual void SetOrdering(SerieOrdering ordering) { Points().SetOrdering(ordering); }

    void AddPoint(double x, double y) { m_trace->AddPoint(x, y); }
    void AddPoints(const PointType* points, uint32_t count) { m_trace->AddPoints(points, count); }
    void ClearSerie() {
        m_trace->Clear();
        RefreshAutoAxes(true);
    }
    void RemovePointsUpTo(double x) { m_trace->RemovePointsUpTo(x); }
    void RemoveLeadingPoints(uint32_t count) { m_trace->RemoveLeadingPoints(count); }
    bool FindPointIndex(double x, uint32_t& index) const { return m_trace->FindPointIndex(x, index); }
    bool GetLastPoint(double* x, double* y) const { return m_trace->GetLastPoint(x, y); }
    double GetXValue(uint32_t index) const { return m_trace->GetXValue(index); }
    double GetYValue(uint32_t index) const { return m_trace->GetYValue(index); }
    tagChartPoint ValueToPixelPoint(double x, double y) const;
    void RefreshAutoAxes(bool redraw);
    void Serialize(CBinaryArchive& archive, const double* limitX) { m_trace->Serialize(archive, limitX); }

protected:
    const ChartPointsArray<PointType>& Points() const { return m_trace->GetPoints(); }
    ChartPointsArray<PointType>& Points() { return m_trace->GetPoints(); }
};

template <class P> bool CChartSerieBase<P>::GetVisibleRange(uint32_t& first, uint32_t& last) const {
    const uint32_t count = Points().GetCount();
    if (count == 0) {
        return false;
    }
    const SerieOrdering ordering = Points().GetOrdering();
    if (ordering == OrderingNone) {
        first = 0;
        last = count - 1;
        return true;
    }
    const CChartAxis* axis = ordering == OrderingByX   ? m_horizontalAxis
                             : ordering == OrderingByY ? m_verticalAxis
                                                       : nullptr;
    if (!axis) {
        return false;
    }
    first = Points().LocateInterval(0, count - 1, axis->GetMinimum());
    last = Points().LocateInterval(first, count - 1, axis->GetMaximum());
    return true;
}

template <class P> bool CChartSerieBase<P>::GetYRangeOfVisiblePoints(double& min, double& max) const {
    uint32_t first = 0, last = 0;
    if (!IsVisible() || Points().GetOrdering() != OrderingByX || !GetVisibleRange(first, last)) {
        return false;
    }
    // From the min/max index; a NaN first value stays the extreme, as a scan from it would leave it.
    const double start = Points().At(first).Y;
    const auto extremes = Points().ExtremesOfY(first, last);
    min = start != start || !extremes.Any() ? start : extremes.min;
    max = start != start || !extremes.Any() ? start : extremes.max;
    return true;
}

template <class P> bool CChartSerieBase<P>::GetXRangeOfVisiblePoints(double& min, double& max) const {
    uint32_t first = 0, last = 0;
    if (!IsVisible() || Points().GetOrdering() != OrderingByY || !GetVisibleRange(first, last)) {
        return false;
    }
    min = max = Points().At(first).X;
    for (uint32_t i = first + 1; i <= last; ++i) {
        min = std::min(min, Points().At(i).X);
        max = std::max(max, Points().At(i).X);
    }
    return true;
}

template <class P> tagChartPoint CChartSerieBase<P>::ValueToPixelPoint(double x, double y) const {
    return {m_horizontalAxis ? m_horizontalAxis->ValueToPixel(x) : 0,
            m_verticalAxis ? m_verticalAxis->ValueToPixel(y * GetYScale() + GetYOffset()) : 0};
}

template <class P> void CChartSerieBase<P>::RefreshAutoAxes(bool redraw) {
    if (!m_parent) {
        return;
    }
    m_parent->SetRedrawEnabled(false);
    if (m_horizontalAxis) {
        m_horizontalAxis->RecomputeAutoRange();
    }
    if (m_verticalAxis) {
        m_verticalAxis->RecomputeAutoRange();
    }
    if (redraw) {
        m_parent->RedrawChart();
    }
    m_parent->SetRedrawEnabled(true);
}
