// A trace drawn column by column in device pixels. Each column holds one vertical run, from the
// highest to the lowest row the line reaches in it, stretched to meet its neighbours' runs: the
// line has no holes and no doubled strokes at any pixel density, and it keeps every extreme that
// falls in a column.
#pragma once

#include "chart/ChartGeometry.h"

#include <QImage>
#include <QRect>

#include <vector>

class CTraceColumns {
public:
    // The runs of a polyline given in device pixels, as thick as width device pixels, inside clip.
    void Build(const std::vector<tagChartPoint>& vertices, int width, const QRect& clip);
    // Writes the runs into a 32-bit image.
    void Fill(QImage& image, QRgb pixel) const;
    // Writes the runs except where the traces above (drawn later) have theirs: the same picture as
    // writing this one and then those, without writing the covered pixels twice.
    void FillBeneath(QImage& image, QRgb pixel, const std::vector<const CTraceColumns*>& above) const;

private:
    bool Inside(int x) const { return x >= m_left && x < m_left + static_cast<int>(m_top.size()); }
    size_t Index(int x) const { return static_cast<size_t>(x - m_left); }
    void Include(int x, double y);
    void Join();
    void Thicken(int width);

    int m_left = 0;
    int m_rowTop = 0, m_rowBottom = 0; // the clip's rows
    std::vector<int> m_top, m_bottom;  // per column from m_left
    size_t m_pixels = 0;               // in all the runs
    std::vector<int> m_scratchTop, m_scratchBottom;
    mutable std::vector<std::pair<int, int>> m_pieces; // FillBeneath's, kept for their storage
};
