#include "ChartLineSerie.h"

#include <limits>
#include <optional>

// The pixel-column reduction: a column's first point, then its largest and smallest y and its
// latest point where they differ, and in step mode a level vertex before each jump.
class CColumnReduction {
public:
    CColumnReduction(std::vector<tagChartPoint>& vertices, std::vector<size_t>& pieces,
                     std::vector<std::pair<int, int>>& gaps, bool stepMode)
        : m_vertices(vertices), m_pieces(pieces), m_gaps(gaps), m_stepMode(stepMode) {}

    // A point that opens a column at x; first: the first point of the range.
    void Open(int x, int y, bool first) {
        Close();
        m_columnX = x;
        m_firstY = m_minY = m_maxY = m_latestY = y;
        m_collapsed = false;
        if (m_stepMode && !first && !m_broken && m_lastVertexY != y) {
            Add(x, m_lastVertexY);
        }
        m_broken = false;
        Add(x, y);
    }
    // No samples between the columns at from and to: the line ends, a new one begins at to.
    void Break(int from, int to) {
        Close();
        m_pieces.push_back(m_vertices.size());
        m_gaps.emplace_back(from, to);
        m_broken = true;
    }
    // Further points of the open column: the latest one's y and the extremes of all of them.
    void Join(int latestY, int minY, int maxY) {
        m_collapsed = true;
        m_latestY = latestY;
        m_minY = std::min(m_minY, minY);
        m_maxY = std::max(m_maxY, maxY);
    }
    int ColumnX() const { return m_columnX; }
    void Close() {
        if (!m_collapsed) {
            return;
        }
        if (m_maxY != m_firstY) {
            Add(m_columnX, m_maxY);
        }
        if (m_minY < m_firstY) {
            Add(m_columnX, m_minY);
        }
        if (m_latestY != m_lastVertexY) {
            Add(m_columnX, m_latestY);
        }
        m_collapsed = false;
    }

private:
    void Add(int x, int y) {
        m_vertices.push_back({x, y});
        m_lastVertexY = y;
    }

    std::vector<tagChartPoint>& m_vertices;
    std::vector<size_t>& m_pieces;
    std::vector<std::pair<int, int>>& m_gaps;
    const bool m_stepMode;
    bool m_broken = false;
    int m_columnX = 0;
    int m_firstY = 0, m_minY = 0, m_maxY = 0, m_latestY = 0;
    bool m_collapsed = false;
    int m_lastVertexY = 0;
};

void CChartLineSerie::SetWidth(int width) {
    m_penWidth = width;
    if (m_parent) {
        m_parent->RedrawChart();
    }
}

void CChartLineSerie::SetEveryPointDrawing(bool on) {
    m_everyPoint = on;
    if (m_parent) {
        m_parent->RedrawChart();
    }
}

void CChartLineSerie::DrawLegendSample(CChartSurface& surface, const tagChartRect& rect) {
    if (m_name.empty()) {
        return;
    }
    const tagChartPen previous = surface.SelectPen({m_penWidth, GetColor()});
    const int m = (rect.top + rect.bottom) / 2;
    surface.MoveTo(rect.left, m);
    surface.LineTo(rect.right, m);
    surface.SelectPen(previous);
}

namespace {

// How near a pixel's edge, in pixels, a time may map to either side of it: the map's product and
// division differ there, and the edge's own time is rounded.
constexpr double kEdgeRounding = 1e-5;
// Columns of at most this many points are walked point by point rather than searched.
constexpr uint32_t kShortColumn = 16;

// The last index of the column that begins at i (every index to it maps to the same pixel x): a
// probe where the last column's width puts it, a gallop from there to a bracket, then halving. The
// probes stay near the column's end, in the cache lines the index reads anyway.
template <class InColumn> uint32_t ColumnEnd(uint32_t i, uint32_t last, uint32_t guess, InColumn inColumn) {
    uint32_t lo = i, hi = last; // lo is in the column; its end lies in [lo, hi]
    const auto expected = static_cast<uint32_t>(std::min<uint64_t>(last, uint64_t{i} + guess));
    if (inColumn(expected)) {
        lo = expected;
        for (uint32_t step = 1; lo < hi; step *= 2) {
            const uint32_t probe = hi - lo > step ? lo + step : hi;
            if (!inColumn(probe)) {
                hi = probe - 1;
                break;
            }
            lo = probe;
        }
    } else {
        hi = expected - 1;
        for (uint32_t step = 1; lo < hi; step *= 2) {
            const uint32_t probe = hi - lo > step ? hi - step : lo;
            if (inColumn(probe)) {
                lo = probe;
                break;
            }
            hi = probe - 1;
        }
    }
    while (lo < hi) {
        const uint32_t mid = lo + (hi - lo + 1) / 2;
        if (inColumn(mid)) {
            lo = mid;
        } else {
            hi = mid - 1;
        }
    }
    return lo;
}

} // namespace

CChartLineSerie::tagPixelMap CChartLineSerie::PixelMap(double device) const {
    // The axes' mapping once per draw instead of two virtual calls per point.
    tagPixelMap map{m_horizontalAxis ? m_horizontalAxis->GetLinearMap() : CChartAxis::tagLinearMap{},
                    m_verticalAxis ? m_verticalAxis->GetLinearMap() : CChartAxis::tagLinearMap{},
                    m_horizontalAxis,
                    m_verticalAxis,
                    GetYScale(),
                    GetYOffset(),
                    device,
                    false};
    map.fast = map.x_.linear && map.y_.linear;
    // On a denser surface the same maps reach its device pixels: a column per device pixel.
    for (CChartAxis::tagLinearMap* axis : {&map.x_, &map.y_}) {
        axis->start = map.Device(axis->start);
        axis->SetLength(map.Device(axis->length));
    }
    return map;
}

void CChartLineSerie::SetGapsShown(bool on) {
    m_gapsShown = on;
    if (m_parent) {
        m_parent->RedrawChart();
    }
}

bool CChartLineSerie::IsGap(uint32_t a, uint32_t b) const {
    // The sampling's step near the two points: the shortest of the steps before a and after b that
    // take time (a recording's hold point repeats the time of its first sample).
    const SChartXYPoint* points = Points().Data();
    const uint32_t count = Points().GetCount();
    double step = std::numeric_limits<double>::infinity();
    const auto consider = [&](uint64_t k) {
        if (k < 1 || k >= count) {
            return true;
        }
        const double d = points[k].X - points[k - 1].X;
        if (d > 0) {
            step = std::min(step, d);
        }
        return d > 0;
    };
    if (!consider(a) && a > 0) {
        consider(uint64_t{a} - 1);
    }
    if (!consider(uint64_t{b} + 1)) {
        consider(uint64_t{b} + 2);
    }
    return std::isfinite(step) && points[b].X - points[a].X > kGapSteps * step * (b - a);
}

const std::vector<tagChartPoint>& CChartLineSerie::BuildVertices(double scale) {
    m_vertices.clear();
    m_pieces.assign(1, 0);
    m_gaps.clear();
    uint32_t first = 0;
    uint32_t last = 0;
    if (!GetVisibleRange(first, last)) {
        return m_vertices;
    }
    const uint32_t count = Points().GetCount();
    // One point beyond each edge, so that lines entering and leaving the plot are drawn.
    if (first > 0) {
        --first;
    }
    if (last < count - 1) {
        ++last;
    }
    if (last - first < 1) {
        return m_vertices;
    }
    CColumnReduction columns(m_vertices, m_pieces, m_gaps, GetStepMode() != 0);
    const tagPixelMap map = PixelMap(scale);
    if (m_everyPoint) {
        ReduceEveryPoint(first, last, map, columns);
    } else {
        ReduceSampled(first, last, map, columns);
    }
    columns.Close();
    return m_vertices;
}

struct CChartLineSerie::tagColumnExtent {
    uint32_t end = 0;
    bool walked = false; // then the extremes hold those of the points i..end
    ChartMinMaxIndex<SChartXYPoint>::tagValues extremes;
    std::optional<int> nextX; // the next column's pixel, where the walk found it
};

// Inlined: it runs once per column of every trace at every frame.
[[gnu::always_inline]] inline CChartLineSerie::tagColumnExtent
CChartLineSerie::FindColumn(uint32_t i, uint32_t last, int x, uint32_t guess, const tagPixelMap& map) const {
    const SChartXYPoint* points = Points().Data();
    const auto inColumn = [&](uint32_t k) { return map.X(points[k].X) == x; };
    tagColumnExtent column;
    if (!map.fast || map.x_.direction != 1) {
        column.end = ColumnEnd(i, last, guess, inColumn);
        return column;
    }
    // Times are compared with the column's right edge instead of mapping each one; times within a
    // rounding of the edge are settled by the map itself.
    const double unitTime = 1.0 / map.x_.perUnit; // a column's width in time
    const double rounding = kEdgeRounding * unitTime;
    const double edge = map.x_.minimum + (x + 1 - map.x_.start) * unitTime;
    if (guess > kShortColumn) {
        column.end = ColumnEnd(i, last, guess, [&](uint32_t k) { return points[k].X < edge; });
        // Far from the edge (most times) the comparison is the map's answer.
        while (column.end < last && points[column.end + 1].X < edge + rounding && inColumn(column.end + 1)) {
            ++column.end;
        }
        while (column.end > i && points[column.end].X > edge - rounding && !inColumn(column.end)) {
            --column.end;
        }
        return column;
    }
    // A few points per column (a dense recording in a short view): a walk along them costs less
    // than the search and the index's query. The first point joins the extremes: it is drawn anyway.
    column.walked = true;
    auto& extremes = column.extremes;
    uint32_t& end = column.end = i;
    if (points[i].Y == points[i].Y) {
        extremes.min = extremes.max = points[i].Y;
    }
    while (end < last) {
        const double t = points[end + 1].X;
        if (t >= edge + rounding || (t > edge - rounding && !inColumn(end + 1))) {
            if (t >= edge + rounding && t < edge + unitTime - rounding) {
                column.nextX = x + 1; // well inside the next column
            }
            break;
        }
        const double y = points[++end].Y;
        if (y != y) {
            extremes.nan = true;
        } else {
            extremes.min = std::min(extremes.min, y);
            extremes.max = std::max(extremes.max, y);
        }
    }
    return column;
}

void CChartLineSerie::ReduceEveryPoint(uint32_t first, uint32_t last, const tagPixelMap& map,
                                       CColumnReduction& columns) const {
    // Column by column: the pixel of x never decreases along the points, so each column is a run
    // of indices whose end a search (or a walk) finds, and its extremes come from the index. The
    // pixel of y is monotonic in y, so the extremes' pixels are the column's.
    const SChartXYPoint* points = Points().Data();
    const int nanY = map.Y(std::numeric_limits<double>::quiet_NaN());
    uint32_t guess = 1; // points in the column before: the next one is likely as wide
    std::optional<int> knownX;
    for (uint32_t i = first; i <= last;) {
        // In wide columns the next column's end lies a column's width further on, far beyond the
        // hardware's prefetching: its block of points is asked for now, to arrive while this
        // column is done. Short columns read on in order, which the hardware foresees.
        const uint64_t ahead = (uint64_t{i} + 2 * uint64_t{guess}) / 64 * 64;
        if (guess > kShortColumn && ahead + 64 <= last) {
            for (uint32_t line = 0; line < 64; line += 4) {
                __builtin_prefetch(&points[ahead + line]);
            }
        }
        const int x = knownX ? *knownX : map.X(points[i].X);
        tagColumnExtent column = FindColumn(i, last, x, guess, map);
        const uint32_t end = column.end;
        knownX = column.nextX;
        if (m_gapsShown && i != first && IsGap(i - 1, i)) {
            columns.Break(map.X(points[i - 1].X), x);
        }
        const double firstValue = points[i].Y;
        const int firstY = map.Y(firstValue);
        columns.Open(x, firstY, i == first);
        if (end > i) {
            const auto& extremes = column.walked ? column.extremes : Points().ExtremeValuesOfY(i + 1, end);
            const double latest = points[end].Y;
            const int latestY = map.Y(latest);
            int minY = latestY, maxY = latestY;
            if (extremes.Any()) {
                // In a short column the first or the latest point is often an extreme (always
                // both where the column rises or falls): their pixels are known.
                const auto pixel = [&](double v) {
                    return v == latest ? latestY : v == firstValue ? firstY : map.Y(v);
                };
                const int a = pixel(extremes.min);
                const int b = pixel(extremes.max);
                minY = std::min({minY, a, b});
                maxY = std::max({maxY, a, b});
            }
            if (extremes.nan) {
                minY = std::min(minY, nanY);
                maxY = std::max(maxY, nanY);
            }
            columns.Join(latestY, minY, maxY);
        }
        guess = std::max<uint32_t>(1, end - i);
        i = end + 1;
    }
}

void CChartLineSerie::ReduceSampled(uint32_t first, uint32_t last, const tagPixelMap& map,
                                    CColumnReduction& columns) const {
    const uint32_t n = last - first;
    const uint32_t stride = n > kStrideThreshold ? n / kStrideThreshold : 1;
    for (uint64_t index = first; index <= last; index += stride) {
        const auto i = static_cast<uint32_t>(index);
        // Strided points lie pages apart, beyond the reach of the hardware prefetcher.
        if (stride > 1 && index + 8 * stride <= last) {
            __builtin_prefetch(&Points().At(static_cast<uint32_t>(index + 8 * stride)));
        }
        const SChartXYPoint& point = Points().At(i);
        const tagChartPoint p{map.X(point.X), map.Y(point.Y)};
        if (i != first && p.x == columns.ColumnX()) {
            columns.Join(p.y, p.y, p.y);
            continue;
        }
        if (m_gapsShown && i != first && IsGap(i - stride, i)) {
            columns.Break(map.X(Points().At(i - stride).X), p.x);
        }
        columns.Open(p.x, p.y, i == first);
    }
}

void CChartLineSerie::DrawAll(CChartSurface& surface) {
    if (!IsVisible()) {
        return;
    }
    const double scale = surface.DeviceScale();
    const std::vector<tagChartPoint>& vertices = BuildVertices(scale);
    if (vertices.size() < 2) {
        return;
    }
    surface.SetBkTransparent();
    surface.SetClipRect(m_clipRect);
    const tagChartPen previous = surface.SelectPen({m_penWidth, GetColor()});
    if (m_pieces.size() == 1) {
        surface.DrawTrace(vertices);
    } else {
        // Each stretch of samples as a line of its own; a lone sample between two gaps is a dot.
        for (size_t k = 0; k < m_pieces.size(); ++k) {
            const size_t end = k + 1 < m_pieces.size() ? m_pieces[k + 1] : vertices.size();
            m_piece.assign(vertices.begin() + static_cast<std::ptrdiff_t>(m_pieces[k]),
                           vertices.begin() + static_cast<std::ptrdiff_t>(end));
            if (m_piece.size() == 1) {
                m_piece.push_back(m_piece.front());
            }
            surface.DrawTrace(m_piece);
        }
    }
    surface.ResetClip();
    surface.SelectPen(previous);
    DrawGapMarks(surface, scale);
}

void CChartLineSerie::DrawGapMarks(CChartSurface& surface, double scale) const {
    // A thin bar under the plot from the last sample before each gap to the first after it.
    const int top = m_clipRect.bottom;
    for (const auto& [from, to] : m_gaps) {
        const int left = std::max(static_cast<int>(std::floor(from / scale)), m_clipRect.left);
        const int right = std::min(static_cast<int>(std::ceil(to / scale)) + 1, m_clipRect.right);
        if (left < right) {
            surface.FillSolidRect({left, top, right, top + kGapMarkHeight}, kGapMarkColour);
        }
    }
}
