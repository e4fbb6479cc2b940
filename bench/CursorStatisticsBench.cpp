// Statistics between the cursors over six traces of 7.2 M points each, as a cursor drag asks for
// them, against a plain pass over the same points in the same run.
#include "traces/Trace.h"

#include <benchmark/benchmark.h>

#include <array>
#include <cmath>
#include <memory>

namespace {

constexpr uint32_t kPoints = 7'200'000;
constexpr size_t kTraces = 6;

std::array<std::unique_ptr<CTrace>, kTraces>& Traces() {
    static std::array<std::unique_ptr<CTrace>, kTraces> traces = [] {
        std::array<std::unique_ptr<CTrace>, kTraces> made;
        for (size_t k = 0; k < kTraces; ++k) {
            made[k] = std::make_unique<CTrace>();
            for (uint32_t i = 0; i < kPoints; ++i) {
                made[k]->AddPoint(i, 1000.0 * std::sin(i * 0.001 * static_cast<double>(k + 1)));
            }
            made[k]->StatisticsBetween(0.0, 1.0); // the sums are built once, as the first drag does
        }
        return made;
    }();
    return traces;
}

// A cursor dragged across the recording: each step a slightly different stretch.
std::pair<double, double> Stretch(int64_t step) {
    const double a = 1000.0 + static_cast<double>(step % 997);
    return {a, kPoints - 1000.0 - static_cast<double>(step % 991)};
}

void BM_StatisticsFromTheSums(benchmark::State& state) {
    auto& traces = Traces();
    int64_t step = 0;
    for (auto _ : state) {
        const auto [a, b] = Stretch(step++);
        for (const auto& trace : traces) {
            benchmark::DoNotOptimize(trace->StatisticsBetween(a, b));
        }
    }
    state.counters["points"] = static_cast<double>(kPoints) * kTraces;
}
BENCHMARK(BM_StatisticsFromTheSums)->Unit(benchmark::kMicrosecond);

void BM_StatisticsByAPlainPass(benchmark::State& state) {
    auto& traces = Traces();
    int64_t step = 0;
    for (auto _ : state) {
        const auto [a, b] = Stretch(step++);
        for (const auto& trace : traces) {
            double sum = 0, squares = 0, min = INFINITY, max = -INFINITY;
            uint64_t n = 0;
            for (uint32_t i = 0; i < trace->GetPointCount(); ++i) {
                const double x = trace->GetXValue(i), y = trace->GetYValue(i);
                if (x >= a && x <= b && y == y) {
                    sum += y;
                    squares += y * y;
                    min = std::min(min, y);
                    max = std::max(max, y);
                    ++n;
                }
            }
            benchmark::DoNotOptimize(sum + squares + min + max + static_cast<double>(n));
        }
    }
}
BENCHMARK(BM_StatisticsByAPlainPass)->Unit(benchmark::kMicrosecond);

void BM_BuildingTheSums(benchmark::State& state) {
    CTrace trace;
    for (uint32_t i = 0; i < kPoints; ++i) {
        trace.AddPoint(i, static_cast<double>(i % 1000));
    }
    for (auto _ : state) {
        trace.AddPoint(kPoints, 0.0); // an edit-free append keeps them; a trim would rebuild
        trace.RemoveLeadingPoints(1);
        benchmark::DoNotOptimize(trace.StatisticsBetween(0.0, kPoints));
    }
}
BENCHMARK(BM_BuildingTheSums)->Unit(benchmark::kMillisecond);

} // namespace
