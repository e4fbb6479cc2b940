#include "ChartLineSerie.h"

void CChartLineSerie::SetWidth(int width) {
    m_penWidth = width;
    if (m_parent) {
        m_parent->RedrawChart();
    }
}

void CChartLineSerie::DrawLegendSample(CChartSurface& surface, const tagChartRect& rect) {
    if (m_name.empty()) {
        return;
    }
    const tagChartPen previous = surface.SelectPen({m_penWidth, m_colour});
    const int m = (rect.top + rect.bottom) / 2;
    surface.MoveTo(rect.left, m);
    surface.LineTo(rect.right, m);
    surface.SelectPen(previous);
}

const std::vector<tagChartPoint>& CChartLineSerie::BuildVertices() {
    m_vertices.clear();
    uint32_t first = 0;
    uint32_t last = 0;
    if (!GetVisibleRange(first, last)) {
        return m_vertices;
    }
    const uint32_t count = m_points.GetCount();
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
    const uint32_t n = last - first;
    const uint32_t stride = n > kStrideThreshold ? n / kStrideThreshold : 1;

    // The column being collapsed: its x, first, extreme and latest y.
    int columnX = 0;
    int firstY = 0, minY = 0, maxY = 0, latestY = 0;
    bool collapsed = false;
    int lastVertexY = 0;
    auto add = [&](int x, int y) {
        m_vertices.push_back({x, y});
        lastVertexY = y;
    };
    auto closeColumn = [&] {
        if (!collapsed) {
            return;
        }
        if (maxY != firstY) {
            add(columnX, maxY);
        }
        if (minY < firstY) {
            add(columnX, minY);
        }
        if (latestY != lastVertexY) {
            add(columnX, latestY);
        }
    };

    // The axes' mapping once per draw instead of two virtual calls per point.
    const CChartAxis::tagLinearMap mapX =
        m_horizontalAxis ? m_horizontalAxis->GetLinearMap() : CChartAxis::tagLinearMap{};
    const CChartAxis::tagLinearMap mapY =
        m_verticalAxis ? m_verticalAxis->GetLinearMap() : CChartAxis::tagLinearMap{};
    const bool fast = mapX.linear && mapY.linear;
    for (uint64_t index = first; index <= last; index += stride) {
        const auto i = static_cast<uint32_t>(index);
        // Strided points lie pages apart, beyond the reach of the hardware prefetcher.
        if (stride > 1 && index + 8 * stride <= last) {
            __builtin_prefetch(&m_points.At(static_cast<uint32_t>(index + 8 * stride)));
        }
        const SChartXYPoint& point = m_points.At(i);
        const tagChartPoint p =
            fast ? tagChartPoint{mapX.Map(point.X), mapY.Map(point.Y * m_yScale + m_yOffset)}
                 : ValueToPixelPoint(point.X, point.Y);
        if (i != first && p.x == columnX) {
            collapsed = true;
            latestY = p.y;
            maxY = std::max(maxY, p.y);
            minY = std::min(minY, p.y);
            continue;
        }
        closeColumn();
        columnX = p.x;
        firstY = minY = maxY = latestY = p.y;
        collapsed = false;
        if (m_stepMode && i != first && lastVertexY != p.y) {
            add(p.x, lastVertexY);
        }
        add(p.x, p.y);
    }
    closeColumn();
    return m_vertices;
}

void CChartLineSerie::DrawAll(CChartSurface& surface) {
    if (!m_visible) {
        return;
    }
    const std::vector<tagChartPoint>& vertices = BuildVertices();
    if (vertices.size() < 2) {
        return;
    }
    surface.SetBkTransparent();
    surface.SetClipRect(m_clipRect);
    const tagChartPen previous = surface.SelectPen({m_penWidth, m_colour});
    surface.Polyline(vertices);
    surface.ResetClip();
    surface.SelectPen(previous);
}
