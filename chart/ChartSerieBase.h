// A series with point storage: adding, searching, trimming, ranges and storing its points.
#pragma once

#include "ChartAxis.h"
#include "ChartCtrl.h"
#include "ChartPointsArray.h"
#include "ChartSerie.h"
#include "kit/BinaryArchive.h"

#include <algorithm>
#include <vector>

template <class PointType> class CChartSerieBase : public CChartSerie {
public:
    explicit CChartSerieBase(CChartCtrl* parent) : CChartSerie(parent) {}

    virtual uint32_t GetPointCount() const { return m_points.GetCount(); }
    virtual tagChartPoint GetPointPixelPosition(uint32_t index) const {
        return ValueToPixelPoint(m_points.At(index).X, m_points.At(index).Y);
    }
    bool GetYRange(double& min, double& max) const override;
    bool GetXRange(double& min, double& max) const override;
    virtual bool GetXRangeOfVisiblePoints(double& min, double& max) const;
    virtual bool GetYRangeOfVisiblePoints(double& min, double& max) const;
    virtual bool GetVisibleRange(uint32_t& first, uint32_t& last) const;
    void DrawPointLabels(CChartSurface&) override {}
    bool OnMouseEvent(EnumMouseEvent, tagChartPoint) override { return false; }
    virtual void SetOrdering(SerieOrdering ordering) { m_points.SetOrdering(ordering); }

    void AddPoint(double x, double y) { m_points.AddPoint({x, y}); }
    // Many points at once, in one copy when they continue the order.
    void AddPoints(const PointType* points, uint32_t count) {
        std::copy(points, points + count, m_points.AppendSpace(count));
        m_points.CommitAppended(count);
    }
    void ClearSerie();
    void RemovePointsUpTo(double x);
    // The first count points (all when there are fewer) go.
    void RemoveLeadingPoints(uint32_t count) { m_points.RemoveLeading(std::min(count, m_points.GetCount())); }
    bool FindPointIndex(double x, uint32_t& index) const;
    bool GetLastPoint(double* x, double* y) const;
    double GetXValue(uint32_t index) const { return m_points.At(index).X; }
    double GetYValue(uint32_t index) const { return m_points.At(index).Y; }
    tagChartPoint ValueToPixelPoint(double x, double y) const;
    void RefreshAutoAxes(bool redraw);
    // Stores the points up to the point found for *limitX (all when limitX is null or outside the
    // stored range), or replaces them by those of the stream. Stream errors pass to the caller.
    void Serialize(CBinaryArchive& archive, const double* limitX);

protected:
    ChartPointsArray<PointType> m_points;
};

template <class P> bool CChartSerieBase<P>::GetYRange(double& min, double& max) const {
    if (!m_visible || m_points.GetCount() == 0) {
        return false;
    }
    min = m_points.m_minY;
    max = m_points.m_maxY;
    return true;
}

template <class P> bool CChartSerieBase<P>::GetXRange(double& min, double& max) const {
    if (!m_visible || m_points.GetCount() == 0) {
        return false;
    }
    min = m_points.m_minX;
    max = m_points.m_maxX;
    return true;
}

template <class P> bool CChartSerieBase<P>::GetVisibleRange(uint32_t& first, uint32_t& last) const {
    const uint32_t count = m_points.GetCount();
    if (count == 0) {
        return false;
    }
    const SerieOrdering ordering = m_points.GetOrdering();
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
    first = m_points.LocateInterval(0, count - 1, axis->GetMinimum());
    last = m_points.LocateInterval(first, count - 1, axis->GetMaximum());
    return true;
}

template <class P> bool CChartSerieBase<P>::GetYRangeOfVisiblePoints(double& min, double& max) const {
    uint32_t first = 0, last = 0;
    if (!m_visible || m_points.GetOrdering() != OrderingByX || !GetVisibleRange(first, last)) {
        return false;
    }
    // From the min/max index; a NaN first value stays the extreme, as a scan from it would leave it.
    const double start = m_points.At(first).Y;
    const auto extremes = m_points.ExtremesOfY(first, last);
    min = start != start || !extremes.Any() ? start : extremes.min;
    max = start != start || !extremes.Any() ? start : extremes.max;
    return true;
}

template <class P> bool CChartSerieBase<P>::GetXRangeOfVisiblePoints(double& min, double& max) const {
    uint32_t first = 0, last = 0;
    if (!m_visible || m_points.GetOrdering() != OrderingByY || !GetVisibleRange(first, last)) {
        return false;
    }
    min = max = m_points.At(first).X;
    for (uint32_t i = first + 1; i <= last; ++i) {
        min = std::min(min, m_points.At(i).X);
        max = std::max(max, m_points.At(i).X);
    }
    return true;
}

template <class P> void CChartSerieBase<P>::ClearSerie() {
    m_points.Clear();
    RefreshAutoAxes(true);
}

template <class P> bool CChartSerieBase<P>::FindPointIndex(double x, uint32_t& index) const {
    const uint32_t count = m_points.GetCount();
    if (count == 0 || x < m_points.m_minX || x > m_points.m_maxX) {
        return false;
    }
    index = m_points.LocateInterval(0, count - 1, x);
    return true;
}

template <class P> void CChartSerieBase<P>::RemovePointsUpTo(double x) {
    const uint32_t count = m_points.GetCount();
    if (count == 0 || x < m_points.m_minX || x > m_points.m_maxX) {
        return;
    }
    m_points.RemoveLeading(m_points.LocateInterval(0, count - 1, x) + 1);
}

template <class P> bool CChartSerieBase<P>::GetLastPoint(double* x, double* y) const {
    const uint32_t count = m_points.GetCount();
    if (count == 0) {
        return false;
    }
    if (x) {
        *x = m_points.At(count - 1).X;
    }
    if (y) {
        *y = m_points.At(count - 1).Y;
    }
    return true;
}

template <class P> tagChartPoint CChartSerieBase<P>::ValueToPixelPoint(double x, double y) const {
    return {m_horizontalAxis ? m_horizontalAxis->ValueToPixel(x) : 0,
            m_verticalAxis ? m_verticalAxis->ValueToPixel(y * m_yScale + m_yOffset) : 0};
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

template <class P> void CChartSerieBase<P>::Serialize(CBinaryArchive& archive, const double* limitX) {
    if (archive.IsStoring()) {
        uint32_t count = m_points.GetCount();
        uint32_t index = 0;
        if (limitX && FindPointIndex(*limitX, index)) {
            count = index + 1;
        }
        archive.WriteU32(count);
        archive.WriteBytes(m_points.Data(), static_cast<size_t>(count) * sizeof(P));
        return;
    }
    ClearSerie();
    const uint32_t count = archive.ReadU32();
    // Never trust the announced count beyond the bytes that are there; what is there is kept.
    const uint64_t present = std::min<uint64_t>(count, archive.Remaining() / sizeof(P));
    // 1 MiB of points per read: the order and extremes pass finds them still in the cache.
    constexpr uint32_t kChunk = 1u << 16;
    for (uint64_t done = 0; done < present;) {
        const auto n = static_cast<uint32_t>(std::min<uint64_t>(kChunk, present - done));
        P* space = m_points.AppendSpace(static_cast<uint32_t>(present - done));
        archive.ReadBytes(space, static_cast<size_t>(n) * sizeof(P));
        m_points.CommitAppended(n);
        done += n;
    }
    if (present < count) {
        throw CArchiveException(CArchiveException::EndOfFile, "a point block ends early");
    }
}
