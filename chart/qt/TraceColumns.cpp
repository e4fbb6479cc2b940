#include "TraceColumns.h"

#include "PixelRuns.h"

#include <algorithm>
#include <climits>
#include <cmath>

namespace {

constexpr int kEmptyTop = INT_MAX, kEmptyBottom = INT_MIN;
// Columns written together (a kilobyte of each row): rows that all of them cover are written whole,
// which streams through memory; narrower tiles hop between rows more, wider ones have fewer such
// rows (measured with the redraw benchmark).
constexpr int kTile = 256;

} // namespace

void CTraceColumns::Include(int x, double y) {
    if (!Inside(x) || std::isnan(y)) {
        return;
    }
    // Rows far beyond the plot are drawn at its edge; a run never has to reach past it.
    const double near = std::clamp(y, m_rowTop - 1.0, m_rowBottom + 1.0);
    const int row = static_cast<int>(near + (near >= 0 ? 0.5 : -0.5)); // as lround, without the call
    const size_t i = Index(x);
    m_top[i] = std::min(m_top[i], row);
    m_bottom[i] = std::max(m_bottom[i], row);
}

void CTraceColumns::Build(const std::vector<tagChartPoint>& vertices, int width, const QRect& clip) {
    const int lead = (width - 1) / 2;
    // A column beyond each side of the clip, so that the thickening sees the line entering it.
    m_left = clip.left() - width;
    const auto columns = static_cast<size_t>(clip.width() + 2 * width);
    m_rowTop = clip.top();
    m_rowBottom = clip.bottom();
    m_top.assign(columns, kEmptyTop);
    m_bottom.assign(columns, kEmptyBottom);
    const int right = m_left + static_cast<int>(columns) - 1;
    for (size_t v = 0; v < vertices.size(); ++v) {
        const tagChartPoint& a = vertices[v];
        Include(a.x, a.y);
        if (v + 1 == vertices.size()) {
            break;
        }
        const tagChartPoint& b = vertices[v + 1];
        if (b.x - a.x < 2 && a.x - b.x < 2) {
            continue; // neighbouring or the same column: the join below connects them
        }
        // The columns the segment crosses between its ends, at the row the line passes through.
        const int from = std::max(std::min(a.x, b.x) + 1, m_left);
        const int to = std::min(std::max(a.x, b.x) - 1, right);
        const double slope = static_cast<double>(b.y - a.y) / (b.x - a.x);
        for (int x = from; x <= to; ++x) {
            Include(x, a.y + slope * (x - a.x));
        }
    }
    Join();
    Thicken(width);
    // Within the clip's rows and columns only.
    m_pixels = 0;
    for (size_t i = 0; i < columns; ++i) {
        const int x = m_left + static_cast<int>(i);
        if (x < clip.left() || x > clip.right()) {
            m_top[i] = kEmptyTop;
            m_bottom[i] = kEmptyBottom;
            continue;
        }
        m_top[i] = std::max(m_top[i] - lead, m_rowTop);
        m_bottom[i] = std::min(m_bottom[i] + (width - 1 - lead), m_rowBottom);
        m_pixels += static_cast<size_t>(std::max(m_bottom[i] - m_top[i] + 1, 0));
    }
}

void CTraceColumns::Join() {
    // Where a column's run stops short of its neighbour's, the two meet half way.
    for (size_t i = 1; i < m_top.size(); ++i) {
        if (m_top[i] == kEmptyTop || m_top[i - 1] == kEmptyTop) {
            continue;
        }
        if (m_top[i] > m_bottom[i - 1] + 1) {
            const int gap = m_top[i] - m_bottom[i - 1] - 1;
            m_bottom[i - 1] += gap / 2;
            m_top[i] -= gap - gap / 2;
        } else if (m_bottom[i] < m_top[i - 1] - 1) {
            const int gap = m_top[i - 1] - m_bottom[i] - 1;
            m_top[i - 1] -= gap / 2;
            m_bottom[i] += gap - gap / 2;
        }
    }
}

void CTraceColumns::Thicken(int width) {
    // A pen of several pixels: each column takes the runs of the columns from width - 1 - lead to
    // its left up to lead to its right. Joined runs overlap, so the union is one run.
    if (width <= 1) {
        return;
    }
    const auto lead = static_cast<size_t>((width - 1) / 2);
    const auto behind = static_cast<size_t>(width - 1) - lead;
    const size_t n = m_top.size();
    m_scratchTop.resize(n);
    m_scratchBottom.resize(n);
    const int* top = m_top.data();
    const int* bottom = m_bottom.data();
    for (size_t i = 0; i < n; ++i) {
        const size_t to = std::min(n - 1, i + lead);
        int t = kEmptyTop, b = kEmptyBottom;
        for (size_t k = i >= behind ? i - behind : 0; k <= to; ++k) {
            t = std::min(t, top[k]);
            b = std::max(b, bottom[k]);
        }
        m_scratchTop[i] = t;
        m_scratchBottom[i] = b;
    }
    m_top.swap(m_scratchTop);
    m_bottom.swap(m_scratchBottom);
}

void CTraceColumns::Fill(QImage& image, QRgb pixel) const {
    const int first = std::max(m_left, 0);
    const int last = std::min(m_left + static_cast<int>(m_top.size()), image.width()) - 1;
    uchar* bits = image.bits(); // once: each scanLine() call checks for sharing
    const qsizetype stride = image.bytesPerLine();
    const int height = image.height();
    const auto column = [&](int x, int from, int to) { g_WriteColumn(bits, stride, x, from, to, pixel); };
    // A tile of columns at a time keeps the cache lines they share in the cache. The rows every
    // column of the tile covers (a dense trace's) are written as whole rows, the rest column by
    // column, so that only the runs' own pixels are written.
    for (int tile = first; tile <= last; tile += kTile) {
        const int end = std::min(tile + kTile - 1, last);
        int coreTop = 0, coreBottom = height - 1;
        for (int x = tile; x <= end; ++x) {
            coreTop = std::max(coreTop, m_top[Index(x)]);
            coreBottom = std::min(coreBottom, m_bottom[Index(x)]);
        }
        g_WriteRows(bits, stride, tile, coreTop, end + 1, coreBottom + 1, pixel);
        for (int x = tile; x <= end; ++x) {
            const int top = std::max(m_top[Index(x)], 0), bottom = std::min(m_bottom[Index(x)], height - 1);
            if (coreTop > coreBottom) {
                column(x, top, bottom);
            } else {
                column(x, top, coreTop - 1);
                column(x, coreBottom + 1, bottom);
            }
        }
    }
}

void CTraceColumns::FillBeneath(QImage& image, QRgb pixel,
                                const std::vector<const CTraceColumns*>& above) const {
    // A thin line is written whole: the few pixels a later one covers cost less than the looking.
    constexpr size_t kBandPixelsPerColumn = 8;
    if (above.empty() || m_pixels < kBandPixelsPerColumn * m_top.size()) {
        Fill(image, pixel);
        return;
    }
    const int first = std::max(m_left, 0);
    const int last = std::min(m_left + static_cast<int>(m_top.size()), image.width()) - 1;
    const int height = image.height();
    uchar* bits = image.bits();
    const qsizetype stride = image.bytesPerLine();
    const auto column = [&](int x, int from, int to) { g_WriteColumn(bits, stride, x, from, to, pixel); };
    for (int x = first; x <= last; ++x) {
        const int t = std::max(m_top[Index(x)], 0), b = std::min(m_bottom[Index(x)], height - 1);
        if (t > b) {
            continue;
        }
        // The run less each run above it: at most one more piece for each (mostly none meets it).
        std::vector<std::pair<int, int>>& pieces = m_pieces;
        pieces.assign(1, {t, b});
        for (const CTraceColumns* over : above) {
            if (!over->Inside(x)) {
                continue;
            }
            const int top = over->m_top[over->Index(x)], bottom = over->m_bottom[over->Index(x)];
            const size_t count = pieces.size();
            for (size_t k = 0; k < count; ++k) {
                const auto [from, to] = pieces[k];
                if (bottom < from || top > to) {
                    continue;
                }
                pieces[k].second = top - 1; // what is left above the run over it (maybe nothing)
                if (bottom < to) {
                    pieces.emplace_back(bottom + 1, to);
                }
            }
        }
        for (const auto& [from, to] : pieces) {
            column(x, from, to);
        }
    }
}
