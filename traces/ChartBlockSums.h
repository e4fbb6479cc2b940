// Sums of Y and of Y squared over blocks of 64 points and over groups of 64 blocks, kept beside a
// trace once something asks for the mean or RMS of a stretch of it: a range of millions of points
// costs a few hundred sums and the points of at most two partial blocks. Built on first use,
// extended as points are appended, built again after any other change. NaN counts nowhere.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

// A sum that keeps the low-order bits a plain double sum loses (Neumaier's compensation).
struct tagCompensatedSum {
    double sum = 0.0;
    double carry = 0.0;
    void Add(double v) {
        const double t = sum + v;
        carry += std::abs(sum) >= std::abs(v) ? (sum - t) + v : (v - t) + sum;
        sum = t;
    }
    double Value() const { return sum + carry; }
};

// What a range's statistics are made of.
struct tagRangeSums {
    uint64_t count = 0; // values that are not NaN
    tagCompensatedSum sum;
    tagCompensatedSum sumOfSquares;
};

template <class PointType> class ChartBlockSums {
public:
    static constexpr uint32_t kBlock = 64;
    static constexpr uint32_t kGroup = 64; // blocks per group

    // Brings the sums up to the count points stored, given the storage's edit count.
    void Sync(const PointType* points, uint32_t count, uint64_t edits) {
        if (edits != m_edits || count < m_blocks.size() * kBlock) {
            m_blocks.clear();
            m_groups.clear();
            m_edits = edits;
        }
        while ((m_blocks.size() + 1) * kBlock <= count) {
            tagBlock block;
            const size_t first = m_blocks.size() * kBlock;
            for (size_t i = first; i < first + kBlock; ++i) {
                block.Add(points[i].Y);
            }
            m_blocks.push_back(block);
            if (m_blocks.size() % kGroup == 0) {
                tagBlock group;
                for (size_t b = m_blocks.size() - kGroup; b < m_blocks.size(); ++b) {
                    group.Add(m_blocks[b]);
                }
                m_groups.push_back(group);
            }
        }
    }

    // The sums of points first..last (inclusive); Sync first.
    tagRangeSums Query(const PointType* points, uint32_t first, uint32_t last) const {
        tagRangeSums r;
        uint64_t i = first;
        const uint64_t end = static_cast<uint64_t>(last) + 1;
        const uint64_t whole = std::min<uint64_t>(end, m_blocks.size() * kBlock); // summarised points
        const auto blockFits = [&](uint64_t at) { return at % kBlock == 0 && at + kBlock <= whole; };
        const uint64_t groupSpan = uint64_t{kBlock} * kGroup;
        // Points up to a block boundary, blocks up to a group boundary, groups, and down again.
        for (; i < end && !blockFits(i); ++i) {
            AddPoint(r, points[i].Y);
        }
        for (; blockFits(i) && (i / kBlock) % kGroup != 0; i += kBlock) {
            AddBlock(r, m_blocks[i / kBlock]);
        }
        for (; i % groupSpan == 0 && i / groupSpan < m_groups.size() && i + groupSpan <= end;
             i += groupSpan) {
            AddBlock(r, m_groups[i / groupSpan]);
        }
        for (; blockFits(i); i += kBlock) {
            AddBlock(r, m_blocks[i / kBlock]);
        }
        for (; i < end; ++i) {
            AddPoint(r, points[i].Y);
        }
        return r;
    }

private:
    struct tagBlock {
        double sum = 0.0;
        double sumOfSquares = 0.0;
        uint32_t count = 0;
        void Add(double y) {
            if (y == y) {
                sum += y;
                sumOfSquares += y * y;
                ++count;
            }
        }
        void Add(const tagBlock& b) {
            sum += b.sum;
            sumOfSquares += b.sumOfSquares;
            count += b.count;
        }
    };
    static void AddPoint(tagRangeSums& r, double y) {
        if (y == y) {
            r.sum.Add(y);
            r.sumOfSquares.Add(y * y);
            ++r.count;
        }
    }
    static void AddBlock(tagRangeSums& r, const tagBlock& b) {
        r.sum.Add(b.sum);
        r.sumOfSquares.Add(b.sumOfSquares);
        r.count += b.count;
    }

    std::vector<tagBlock> m_blocks; // complete blocks only
    std::vector<tagBlock> m_groups; // complete groups only
    uint64_t m_edits = UINT64_MAX;
};
