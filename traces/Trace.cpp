#include "Trace.h"

#include "kit/ArchiveException.h"

#include <algorithm>
#include <cmath>

void CTrace::AddPoints(const SChartXYPoint* points, uint32_t count) {
    std::copy(points, points + count, m_points.AppendSpace(count));
    m_points.CommitAppended(count);
}

void CTrace::RemovePointsUpTo(double x) {
    const uint32_t count = m_points.GetCount();
    if (count == 0 || x < m_points.m_minX || x > m_points.m_maxX) {
        return;
    }
    m_points.RemoveLeading(m_points.LocateInterval(0, count - 1, x) + 1);
}

void CTrace::RemoveLeadingPoints(uint32_t count) {
    m_points.RemoveLeading(std::min(count, m_points.GetCount()));
}

bool CTrace::FindPointIndex(double x, uint32_t& index) const {
    const uint32_t count = m_points.GetCount();
    if (count == 0 || x < m_points.m_minX || x > m_points.m_maxX) {
        return false;
    }
    index = m_points.LocateInterval(0, count - 1, x);
    return true;
}

bool CTrace::GetLastPoint(double* x, double* y) const {
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

bool CTrace::GetYRange(double& min, double& max) const {
    if (!m_visible || m_points.GetCount() == 0) {
        return false;
    }
    min = m_points.m_minY;
    max = m_points.m_maxY;
    return true;
}

bool CTrace::GetXRange(double& min, double& max) const {
    if (!m_visible || m_points.GetCount() == 0) {
        return false;
    }
    min = m_points.m_minX;
    max = m_points.m_maxX;
    return true;
}

void CTrace::Serialize(CBinaryArchive& archive, const double* limitX) {
    if (archive.IsStoring()) {
        uint32_t count = m_points.GetCount();
        uint32_t index = 0;
        if (limitX && FindPointIndex(*limitX, index)) {
            count = index + 1;
        }
        archive.WriteU32(count);
        archive.WriteBytes(m_points.Data(), static_cast<size_t>(count) * sizeof(SChartXYPoint));
        return;
    }
    m_points.Clear();
    const uint32_t count = archive.ReadU32();
    // Never trust the announced count beyond the bytes that are there; what is there is kept.
    const uint64_t present = std::min<uint64_t>(count, archive.Remaining() / sizeof(SChartXYPoint));
    // 1 MiB of points per read: the order and extremes pass finds them still in the cache.
    constexpr uint32_t kChunk = 1u << 16;
    for (uint64_t done = 0; done < present;) {
        const auto n = static_cast<uint32_t>(std::min<uint64_t>(kChunk, present - done));
        SChartXYPoint* space = m_points.AppendSpace(static_cast<uint32_t>(present - done));
        archive.ReadBytes(space, static_cast<size_t>(n) * sizeof(SChartXYPoint));
        m_points.CommitAppended(n);
        done += n;
    }
    if (present < count) {
        throw CArchiveException(CArchiveException::EndOfFile, "a point block ends early");
    }
}

std::optional<tagRangeStatistics> CTrace::StatisticsBetween(double a, double b) const {
    const SChartXYPoint* points = m_points.Data();
    const uint32_t count = m_points.GetCount();
    const SChartXYPoint* firstAt =
        std::lower_bound(points, points + count, a, [](const SChartXYPoint& p, double x) { return p.X < x; });
    const SChartXYPoint* end =
        std::upper_bound(points, points + count, b, [](double x, const SChartXYPoint& p) { return x < p.X; });
    if (firstAt >= end) {
        return std::nullopt;
    }
    const auto first = static_cast<uint32_t>(firstAt - points);
    const auto last = static_cast<uint32_t>(end - points - 1);
    if (!m_sums) {
        m_sums = std::make_unique<ChartBlockSums<SChartXYPoint>>();
    }
    m_sums->Sync(points, count, m_points.Edits());
    const tagRangeSums sums = m_sums->Query(points, first, last);
    const auto extremes = m_points.ExtremesOfY(first, last);
    if (sums.count == 0 || !extremes.Any()) {
        return std::nullopt;
    }
    const double n = static_cast<double>(sums.count);
    return tagRangeStatistics{sums.count, extremes.min, extremes.max, sums.sum.Value() / n,
                              std::sqrt(std::max(0.0, sums.sumOfSquares.Value()) / n)};
}
