// The smallest and largest Y, and the index where each lies, of every block of 64 points and of
// every group of 16 blocks (and groups of groups), kept beside a series' point storage: the
// extremes of any index range come from a few summaries and the points of at most two partial
// blocks, so that a million points in one pixel column cost little more than a hundred. NaN is
// never an extreme; a range only says whether it holds one. 24 bytes per 64 points of 16, and
// about a sixteenth of that again for the groups.
#pragma once

#include "ChartZeroedPages.h"

#include <algorithm>
#include <cstdint>
#include <limits>
#include <vector>

template <class PointType> class ChartMinMaxIndex {
public:
    static constexpr uint32_t kBlock = 64; // points per leaf
    static constexpr uint32_t kGroup = 16; // summaries per summary of the level above
    static constexpr uint32_t kNone = UINT32_MAX;

    // The extremes of a block or of a range of points; the first of equal extremes counts.
    struct tagExtremes {
        double min = 0.0;
        double max = 0.0;
        uint32_t minIndex = kNone; // kNone: no value that is not NaN
        uint32_t maxIndex = kNone;

        bool Any() const { return minIndex != kNone; }
        // A value at index at, after every one folded so far.
        void Fold(double v, uint32_t at) {
            if (v != v) {
                return;
            }
            if (!Any()) {
                min = max = v;
                minIndex = maxIndex = at;
                return;
            }
            if (v < min) {
                min = v;
                minIndex = at;
            }
            if (v > max) {
                max = v;
                maxIndex = at;
            }
        }
        // The extremes of a range after every one folded so far.
        void Fold(const tagExtremes& later) {
            if (!later.Any()) {
                return;
            }
            if (!Any()) {
                *this = later;
                return;
            }
            if (later.min < min) {
                min = later.min;
                minIndex = later.minIndex;
            }
            if (later.max > max) {
                max = later.max;
                maxIndex = later.maxIndex;
            }
        }
    };
    static_assert(sizeof(tagExtremes) == 24);

    // A range's extremes, and whether it holds a NaN.
    struct tagRange : tagExtremes {
        bool nan = false;
    };

    // Room for the summaries of capacity points: the leaves grow in step with the storage, by
    // remapping like it.
    void Reserve(uint32_t capacity) {
        const size_t leaves = capacity / kBlock + 1;
        if (leaves > m_leafCapacity) {
            m_leafPages.Resize(leaves * sizeof(tagLeaf));
            m_leafCapacity = leaves;
        }
    }
    void Clear() {
        m_leafCount = 0;
        m_upper.clear();
        m_upperFrom = 0;
    }

    // The point just stored at index `at`, the last one (with room reserved for it).
    void Append(double y, uint32_t at) {
        tagLeaf& leaf = Leaves()[at / kBlock];
        if (at % kBlock == 0) {
            leaf = tagLeaf{};
            m_leafCount = at / kBlock + 1;
        }
        leaf.Fold(y, static_cast<uint8_t>(at % kBlock));
    }

    // The points from index `from` on changed (appended in bulk, inserted, moved): their blocks
    // are summarised again from the storage, which holds count points.
    void Rebuild(const PointType* points, uint32_t count, uint32_t from) {
        const uint32_t firstBlock = std::min(from / kBlock, m_leafCount);
        Reserve(count);
        m_leafCount = (count + kBlock - 1) / kBlock;
        for (uint32_t block = firstBlock; block < m_leafCount; ++block) {
            tagLeaf leaf;
            const uint32_t end = std::min(count, (block + 1) * kBlock);
            for (uint32_t i = block * kBlock; i < end; ++i) {
                leaf.Fold(points[i].Y, static_cast<uint8_t>(i % kBlock));
            }
            Leaves()[block] = leaf;
        }
        m_upperFrom = std::min(m_upperFrom, firstBlock);
    }

    // The extremes of points first..last (inclusive) of the count stored.
    tagRange Query(const PointType* points, uint32_t count, uint32_t first, uint32_t last) const {
        tagRange e;
        if (first > last || last >= count) {
            return e;
        }
        SyncUpper();
        // The partial blocks at both ends point by point, the whole blocks between them through
        // their summaries, all in index order so that the first of equal extremes stays.
        const uint32_t lo = first, hi = last + 1;
        const uint32_t loBlock = (lo + kBlock - 1) / kBlock, hiBlock = hi / kBlock;
        if (loBlock >= hiBlock) {
            FoldPoints(points, lo, hi, e);
            return e;
        }
        FoldPoints(points, lo, loBlock * kBlock, e);
        FoldSummaries(0, loBlock, hiBlock, e);
        FoldPoints(points, hiBlock * kBlock, hi, e);
        return e;
    }

    // Only the extreme values of points first..last (inclusive), for drawing: the same min and max
    // as Query, found without keeping track of where they lie.
    struct tagValues {
        double min = std::numeric_limits<double>::infinity();
        double max = -std::numeric_limits<double>::infinity();
        bool nan = false;
        bool Any() const { return min <= max; }
    };
    tagValues QueryValues(const PointType* points, uint32_t count, uint32_t first, uint32_t last) const {
        tagValues v;
        if (first > last || last >= count) {
            return v;
        }
        SyncUpper();
        const uint32_t lo = first, hi = last + 1;
        const uint32_t loBlock = (lo + kBlock - 1) / kBlock, hiBlock = hi / kBlock;
        if (loBlock >= hiBlock) {
            FoldValues(points, lo, hi, v);
            return v;
        }
        FoldValues(points, lo, loBlock * kBlock, v);
        FoldValues(points, hiBlock * kBlock, hi, v);
        tagRange e;
        FoldSummaries(0, loBlock, hiBlock, e);
        v.nan = v.nan || e.nan;
        if (e.Any()) {
            v.min = std::min(v.min, e.min);
            v.max = std::max(v.max, e.max);
        }
        return v;
    }

private:
    // Branch-free, so that the compiler can use vector instructions: a NaN fails both comparisons
    // and never becomes an extreme.
    static void FoldValues(const PointType* points, uint32_t lo, uint32_t hi, tagValues& v) {
        double min = v.min, max = v.max;
        bool nan = false;
        for (uint32_t i = lo; i < hi; ++i) {
            const double y = points[i].Y;
            min = y < min ? y : min;
            max = y > max ? y : max;
            nan |= y != y;
        }
        v.min = min;
        v.max = max;
        v.nan = v.nan || nan;
    }

    // A leaf: the extremes of 64 points, where in the block each lies, and whether one is NaN.
    struct tagLeaf {
        static constexpr uint8_t kNoOffset = 0xFF;
        double min = 0.0;
        double max = 0.0;
        uint8_t minAt = kNoOffset; // kNoOffset: no value that is not NaN
        uint8_t maxAt = kNoOffset;
        bool nan = false;

        void Fold(double v, uint8_t at) {
            if (v != v) {
                nan = true;
            } else if (minAt == kNoOffset) {
                min = max = v;
                minAt = maxAt = at;
            } else {
                if (v < min) {
                    min = v;
                    minAt = at;
                }
                if (v > max) {
                    max = v;
                    maxAt = at;
                }
            }
        }
    };
    static_assert(sizeof(tagLeaf) == 24);

    // The summaries of a level above the leaves, and whether each covers a NaN.
    struct tagLevel {
        std::vector<tagExtremes> extremes;
        std::vector<uint8_t> nan;
    };

    tagLeaf* Leaves() const { return static_cast<tagLeaf*>(m_leafPages.Data()); }

    static void FoldPoints(const PointType* points, uint32_t lo, uint32_t hi, tagRange& e) {
        for (uint32_t i = lo; i < hi; ++i) {
            const double y = points[i].Y;
            e.nan = e.nan || y != y;
            e.Fold(y, i);
        }
    }

    // Leaves lo..hi-1 into e.
    void FoldLeaves(uint32_t lo, uint32_t hi, tagRange& e) const {
        const tagLeaf* leaves = Leaves();
        for (uint32_t i = lo; i < hi; ++i) {
            const tagLeaf& leaf = leaves[i];
            e.nan = e.nan || leaf.nan;
            if (leaf.minAt != tagLeaf::kNoOffset) {
                e.Fold({leaf.min, leaf.max, i * kBlock + leaf.minAt, i * kBlock + leaf.maxAt});
            }
        }
    }

    // Summaries lo..hi-1 of a level (0: the leaves): the partial groups at both ends one by one,
    // the whole groups between them through the level above.
    void FoldSummaries(size_t level, uint32_t lo, uint32_t hi, tagRange& e) const {
        auto fold = [&](uint32_t from, uint32_t to) {
            if (level == 0) {
                FoldLeaves(from, to, e);
                return;
            }
            const tagLevel& summaries = m_upper[level - 1];
            for (; from < to; ++from) {
                e.nan = e.nan || summaries.nan[from];
                e.Fold(summaries.extremes[from]);
            }
        };
        const uint32_t loGroup = (lo + kGroup - 1) / kGroup, hiGroup = hi / kGroup;
        if (level >= m_upper.size() || loGroup >= hiGroup) {
            fold(lo, hi);
            return;
        }
        fold(lo, loGroup * kGroup);
        FoldSummaries(level + 1, loGroup, hiGroup, e);
        fold(hiGroup * kGroup, hi);
    }

    // The levels above the leaves follow them lazily: appends touch only their leaf, and the
    // groups from the first changed leaf on are summarised again when a query needs them.
    void SyncUpper() const {
        if (m_upperFrom >= m_leafCount && m_upper.size() == UpperLevelsFor(m_leafCount)) {
            return;
        }
        m_upper.resize(UpperLevelsFor(m_leafCount));
        uint32_t from = m_upperFrom;
        uint32_t below = m_leafCount;
        for (size_t level = 0; level < m_upper.size(); ++level) {
            tagLevel& summaries = m_upper[level];
            const size_t size = (below + kGroup - 1) / kGroup;
            summaries.extremes.resize(size);
            summaries.nan.resize(size);
            const uint32_t firstGroup = std::min(from / kGroup, static_cast<uint32_t>(size));
            for (uint32_t group = firstGroup; group < size; ++group) {
                tagRange e;
                const uint32_t end = std::min(below, (group + 1) * kGroup);
                if (level == 0) {
                    FoldLeaves(group * kGroup, end, e);
                } else {
                    const tagLevel& children = m_upper[level - 1];
                    for (uint32_t i = group * kGroup; i < end; ++i) {
                        e.nan = e.nan || children.nan[i];
                        e.Fold(children.extremes[i]);
                    }
                }
                summaries.extremes[group] = e;
                summaries.nan[group] = e.nan;
            }
            from = firstGroup;
            below = static_cast<uint32_t>(size);
        }
        m_upperFrom = m_leafCount;
    }

    // Levels above the leaves until one summary covers everything.
    static size_t UpperLevelsFor(size_t leaves) {
        size_t levels = 0;
        for (size_t n = leaves; n > 1; n = (n + kGroup - 1) / kGroup) {
            ++levels;
        }
        return levels;
    }

    CChartZeroedPages m_leafPages;
    size_t m_leafCapacity = 0;
    uint32_t m_leafCount = 0;
    mutable std::vector<tagLevel> m_upper;
    mutable uint32_t m_upperFrom = 0; // the first leaf whose groups above may be out of date
};
