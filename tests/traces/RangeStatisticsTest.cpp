// Statistics between two times against a plain pass in long double: random traces near a large
// offset (where plain sums lose digits), NaN among the values, appends after a query, trims, bulk
// loads and points out of order.
#include "traces/Trace.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>
#include <vector>

namespace {

struct tagReference {
    uint64_t count = 0;
    long double sum = 0, sumOfSquares = 0;
    double min = std::numeric_limits<double>::infinity(), max = -std::numeric_limits<double>::infinity();
};

tagReference BruteForce(const CTrace& trace, double a, double b) {
    tagReference r;
    for (uint32_t i = 0; i < trace.GetPointCount(); ++i) {
        const double x = trace.GetXValue(i), y = trace.GetYValue(i);
        if (x < a || x > b || std::isnan(y)) {
            continue;
        }
        ++r.count;
        r.sum += y;
        r.sumOfSquares += static_cast<long double>(y) * y;
        r.min = std::min(r.min, y);
        r.max = std::max(r.max, y);
    }
    return r;
}

void ExpectSame(const CTrace& trace, double a, double b, double scale) {
    const tagReference want = BruteForce(trace, a, b);
    const std::optional<tagRangeStatistics> got = trace.StatisticsBetween(a, b);
    if (want.count == 0) {
        ASSERT_FALSE(got) << a << ".." << b;
        return;
    }
    ASSERT_TRUE(got) << a << ".." << b;
    const auto n = static_cast<long double>(want.count);
    ASSERT_EQ(got->count, want.count) << a << ".." << b;
    ASSERT_EQ(got->min, want.min);
    ASSERT_EQ(got->max, want.max);
    ASSERT_NEAR(got->mean, static_cast<double>(want.sum / n), scale * 1e-12) << a << ".." << b;
    ASSERT_NEAR(got->rms, static_cast<double>(std::sqrt(want.sumOfSquares / n)), scale * 1e-12)
        << a << ".." << b;
}

} // namespace

TEST(RangeStatistics, EqualABruteForcePassThroughAppendsTrimsLoadsAndDisorder) {
    std::mt19937_64 random(20261207);
    for (int round = 0; round < 12; ++round) {
        CTrace trace;
        const double offset = round % 2 ? 1e6 : 0.0; // a large level with small swings
        std::normal_distribution<double> noise(0.0, round % 3 == 0 ? 1e-3 : 500.0);
        double t = 0.0;
        const auto append = [&](uint32_t n) {
            for (uint32_t i = 0; i < n; ++i) {
                const double y = random() % 997 == 0 ? std::nan("") : offset + noise(random);
                trace.AddPoint(t, y);
                t += (random() % 4 == 0) ? 0.0 : 1.0; // equal times, as hold points make
            }
        };
        append(static_cast<uint32_t>(random() % 300'000));
        const double scale = offset + 2000.0;
        const auto check = [&](int queries) {
            for (int q = 0; q < queries; ++q) {
                const double a = std::uniform_real_distribution<double>(-10.0, t + 10.0)(random);
                const double b = a + std::uniform_real_distribution<double>(0.0, t)(random);
                ExpectSame(trace, a, b, scale);
            }
            ExpectSame(trace, -1.0, t + 1.0, scale); // everything
        };
        check(20);
        append(static_cast<uint32_t>(random() % 70'000)); // the sums extend
        check(10);
        if (trace.GetPointCount() > 10) {
            trace.RemovePointsUpTo(trace.GetXValue(trace.GetPointCount() / 3)); // a cache trim
            check(10);
        }
        std::vector<SChartXYPoint> loaded(5'000);
        for (auto& p : loaded) {
            p = {t, offset + noise(random)};
            t += 1.0;
        }
        trace.AddPoints(loaded.data(), static_cast<uint32_t>(loaded.size())); // a file's bulk load
        trace.AddPoint(t / 2, offset);                                        // out of order
        check(10);
    }
}

TEST(RangeStatistics, EmptyRangesAndNaNOnly) {
    CTrace trace;
    EXPECT_FALSE(trace.StatisticsBetween(0.0, 10.0));
    trace.AddPoint(1.0, std::nan(""));
    trace.AddPoint(2.0, 4.0);
    EXPECT_FALSE(trace.StatisticsBetween(0.0, 1.5)); // a NaN alone is no value
    EXPECT_FALSE(trace.StatisticsBetween(2.5, 9.0));
    const auto one = trace.StatisticsBetween(2.0, 2.0);
    ASSERT_TRUE(one);
    EXPECT_EQ(one->count, 1u);
    EXPECT_EQ(one->mean, 4.0);
    EXPECT_EQ(one->rms, 4.0);
}
