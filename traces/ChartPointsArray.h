// Contiguous point storage kept in X (or Y) order, with cached extremes and a min/max index of
// Y. Grows in fixed steps.
#pragma once

#include "ChartMinMaxIndex.h"
#include "ChartXYPoint.h"
#include "ChartZeroedPages.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <vector>

enum SerieOrdering { OrderingNone = 0, OrderingByX = 1, OrderingByY = 2 };

template <class PointType> class ChartPointsArray {
public:
    explicit ChartPointsArray(uint32_t growStep = 100000) : m_growStep(growStep) { Reset(); }
    ChartPointsArray(const ChartPointsArray&) = delete;
    ChartPointsArray& operator=(const ChartPointsArray&) = delete;

    // Adds one point; throws std::bad_alloc (and adds nothing) when the storage cannot grow.
    void AddPoint(const PointType& point) {
        // Time-ordered samples, every point of a recording: straight to the end. Times are in
        // order, so the newest is the largest and the smallest stays.
        if (m_count != 0 && m_count < m_capacity && m_ordering == OrderingByX &&
            m_points[m_count - 1].X <= point.X) {
            m_maxX = point.X;
            m_minY = point.Y < m_minY ? point.Y : m_minY; // a NaN never becomes an extreme
            m_maxY = point.Y > m_maxY ? point.Y : m_maxY;
            m_index.Append(point.Y, m_count);
            m_points[m_count] = point;
            m_written = m_written > m_count ? m_written : m_count + 1;
            ++m_count;
            return;
        }
        AddPointInOrder(point);
    }
    // Makes room for count points in all without changing the stored ones.
    void Reserve(uint32_t count);
    // Bulk loading straight into the storage: room for count more points past the stored ones,
    // to be filled by the caller and then taken in (in order, or point by point if not).
    PointType* AppendSpace(uint32_t count);
    void CommitAppended(uint32_t count);
    // Drops points [0, count) and recomputes the extremes.
    void RemoveLeading(uint32_t count);
    // Starts again with one zeroed step of capacity. Storage of that size is kept and only its
    // written part zeroed, so that clearing an empty series costs nothing.
    void Clear();
    void SetOrdering(SerieOrdering ordering);
    SerieOrdering GetOrdering() const { return m_ordering; }

    // Binary search on the ordering coordinate: an exact match met on the way, else the left end
    // of the final bracket. Index hi itself is never examined.
    uint32_t LocateInterval(uint32_t lo, uint32_t hi, double value) const;
    double OrderingValue(uint32_t index) const;

    // The extremes of Y over points first..last (inclusive), from the index: with where they
    // lie, or only their values.
    typename ChartMinMaxIndex<PointType>::tagRange ExtremesOfY(uint32_t first, uint32_t last) const {
        return m_index.Query(m_points, m_count, first, last);
    }
    typename ChartMinMaxIndex<PointType>::tagValues ExtremeValuesOfY(uint32_t first, uint32_t last) const {
        return m_index.QueryValues(m_points, m_count, first, last);
    }

    uint32_t GetCount() const { return m_count; }
    uint32_t GetCapacity() const { return m_capacity; }
    // Counts every change other than points appended at the end: what summarises the points
    // beside the index (the statistics sums) starts again when it changes.
    uint64_t Edits() const { return m_edits; }
    const PointType& At(uint32_t index) const { return m_points[index]; }
    const PointType* Data() const { return m_points; }

    double m_minX = 0.0, m_maxX = 0.0, m_minY = 0.0, m_maxY = 0.0;

private:
    void Reset();
    void Grow();
    // AddPoint for the first point, a full storage, another ordering or a point out of order.
    void AddPointInOrder(const PointType& point);
    // The storage for capacity points; what is new reads as zero.
    void Resize(uint32_t capacity);
    void FoldExtremes(const PointType& p);
    void RecomputeExtremes();

    CChartZeroedPages m_pages{true};
    PointType* m_points = nullptr; // in m_pages
    uint32_t m_capacity = 0;
    uint32_t m_count = 0;
    uint32_t m_written = 0; // slots that may be non-zero: the most ever stored since zeroing
    uint32_t m_growStep;
    uint64_t m_edits = 0;
    SerieOrdering m_ordering = OrderingByX;
    ChartMinMaxIndex<PointType> m_index;
};

template <class P> void ChartPointsArray<P>::Resize(uint32_t capacity) {
    // Grown pages are the kernel's fresh ones: every new slot reads as (0, 0) without clearing.
    m_pages.Resize(static_cast<size_t>(capacity) * sizeof(P));
    m_points = static_cast<P*>(m_pages.Data());
    m_capacity = capacity;
    m_index.Reserve(m_capacity);
}

template <class P> void ChartPointsArray<P>::Reset() {
    m_pages.Release();
    Resize(m_growStep);
    m_count = 0;
    m_written = 0;
    m_index.Clear();
    ++m_edits;
}

template <class P> void ChartPointsArray<P>::Clear() {
    if (m_capacity != m_growStep) {
        Reset();
        return;
    }
    m_pages.Zero(static_cast<size_t>(m_written) * sizeof(P));
    m_count = 0;
    m_written = 0;
    m_index.Clear();
    ++m_edits;
}

template <class P> void ChartPointsArray<P>::Grow() {
    Resize(static_cast<uint32_t>(
        std::min<uint64_t>(UINT32_MAX, static_cast<uint64_t>(m_capacity) + m_growStep)));
}

template <class P> void ChartPointsArray<P>::Reserve(uint32_t count) {
    if (count > m_capacity) {
        Resize(count);
    }
}

template <class P> P* ChartPointsArray<P>::AppendSpace(uint32_t count) {
    // One spare point beyond the block keeps room for the fallback below.
    const auto room =
        static_cast<uint32_t>(std::min<uint64_t>(UINT32_MAX, static_cast<uint64_t>(m_count) + count + 1));
    Reserve(room);
    m_written = std::max(m_written, room); // the caller may fill any of it
    return m_points + m_count;
}

template <class P> void ChartPointsArray<P>::CommitAppended(uint32_t count) {
    if (count == 0) {
        return;
    }
    P* block = m_points + m_count;
    // One pass for the order and the extremes, in locals: the block is read once, while a chunk
    // just read is still in the cache.
    const bool byX = m_ordering == OrderingByX;
    const bool ordered = m_ordering != OrderingNone;
    double minX = m_count ? m_minX : block[0].X, maxX = m_count ? m_maxX : block[0].X;
    double minY = m_count ? m_minY : block[0].Y, maxY = m_count ? m_maxY : block[0].Y;
    const P& first = m_count ? block[-1] : block[0];
    double last = byX ? first.X : first.Y;
    bool inOrder = true;
    for (uint32_t i = 0; i < count; ++i) {
        const P& p = block[i];
        const double key = byX ? p.X : p.Y;
        inOrder &= !ordered || last <= key;
        last = key;
        // As FoldExtremes: a NaN never becomes an extreme.
        maxX = maxX < p.X ? p.X : maxX;
        minX = minX > p.X ? p.X : minX;
        maxY = maxY < p.Y ? p.Y : maxY;
        minY = minY > p.Y ? p.Y : minY;
    }
    if (!inOrder) {
        // Out of order (a damaged file): take them in one by one, as AddPoint places them.
        std::vector<P> copy(block, block + count);
        for (const P& p : copy) {
            AddPoint(p);
        }
        return;
    }
    m_minX = minX;
    m_maxX = maxX;
    m_minY = minY;
    m_maxY = maxY;
    m_index.Rebuild(m_points, m_count + count, m_count);
    m_count += count;
    m_written = std::max(m_written, m_count);
}

template <class P> void ChartPointsArray<P>::FoldExtremes(const P& p) {
    if (m_maxX < p.X) {
        m_maxX = p.X;
    }
    if (m_minX > p.X) {
        m_minX = p.X;
    }
    if (m_maxY < p.Y) {
        m_maxY = p.Y;
    }
    if (m_minY > p.Y) {
        m_minY = p.Y;
    }
}

template <class P> void ChartPointsArray<P>::AddPointInOrder(const P& point) {
    if (m_count == m_capacity) {
        Grow();
    }
    if (m_count == 0) {
        m_minX = m_maxX = point.X;
        m_minY = m_maxY = point.Y;
    } else {
        FoldExtremes(point);
    }
    m_written = std::max(m_written, m_count + 1);
    auto key = [this](const P& p) { return m_ordering == OrderingByX ? p.X : p.Y; };
    if (m_ordering == OrderingNone || m_count == 0 || key(m_points[m_count - 1]) <= key(point)) {
        m_index.Append(point.Y, m_count);
        m_points[m_count++] = point; // time-ordered samples after a growth take this path
        return;
    }
    const double k = key(point);
    uint32_t at = 0;
    while (at < m_count && key(m_points[at]) <= k) {
        ++at;
    }
    std::memmove(static_cast<void*>(m_points + at + 1), m_points + at, (m_count - at) * sizeof(P));
    m_points[at] = point;
    ++m_count;
    m_index.Rebuild(m_points, m_count, at);
    ++m_edits;
}

template <class P> void ChartPointsArray<P>::RecomputeExtremes() {
    if (m_count == 0) {
        return;
    }
    const P& first = m_points[0];
    const P& last = m_points[m_count - 1];
    m_minX = m_maxX = first.X;
    m_minY = m_maxY = first.Y;
    if (m_ordering == OrderingByX && first.X <= last.X) {
        // Ordered times: the ends are the extremes.
        m_maxX = last.X;
    } else {
        for (uint32_t i = 1; i < m_count; ++i) {
            m_minX = m_minX > m_points[i].X ? m_points[i].X : m_minX;
            m_maxX = m_maxX < m_points[i].X ? m_points[i].X : m_maxX;
        }
    }
    // A NaN first value stays the extreme, as folding point by point would leave it.
    if (first.Y == first.Y) {
        const auto extremes = m_index.Query(m_points, m_count, 0, m_count - 1);
        m_minY = extremes.min;
        m_maxY = extremes.max;
    }
}

template <class P> void ChartPointsArray<P>::RemoveLeading(uint32_t count) {
    ++m_edits;
    if (count >= m_count) {
        m_count = 0;
        m_index.Clear();
        return;
    }
    std::memmove(static_cast<void*>(m_points), m_points + count, (m_count - count) * sizeof(P));
    m_count -= count;
    m_index.Rebuild(m_points, m_count, 0);
    RecomputeExtremes();
}

template <class P> void ChartPointsArray<P>::SetOrdering(SerieOrdering ordering) {
    m_ordering = ordering;
    if (ordering != OrderingByX && ordering != OrderingByY) {
        return;
    }
    std::sort(m_points, m_points + m_count,
              [ordering](const P& a, const P& b) { return ordering == OrderingByX ? a.X < b.X : a.Y < b.Y; });
    m_index.Rebuild(m_points, m_count, 0);
    ++m_edits;
}

template <class P> double ChartPointsArray<P>::OrderingValue(uint32_t index) const {
    switch (m_ordering) {
    case OrderingByX:
        return m_points[index].X;
    case OrderingByY:
        return m_points[index].Y;
    default:
        return 0.0;
    }
}

template <class P>
uint32_t ChartPointsArray<P>::LocateInterval(uint32_t lo, uint32_t hi, double value) const {
    uint32_t mid = lo + (hi - lo) / 2;
    if (mid == lo) {
        return lo;
    }
    for (;;) {
        const double c = OrderingValue(mid);
        if (c == value) {
            return mid;
        }
        if (c < value) {
            lo = mid;
        } else {
            hi = mid;
        }
        mid = lo + (hi - lo) / 2;
        if (mid == lo) {
            return lo;
        }
    }
}
