// Point storage and trace drawing at recording sizes.
#include "ProcessMemory.h"
#include "chart/ChartCustomAxisX.h"
#include "chart/ChartCustomAxisY.h"
#include "chart/ChartLineSerie.h"
#include "chart/qt/QtChartSurface.h"
#include "support/RecordingSurface.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <vector>

namespace {

void BM_AppendPoints(benchmark::State& state) {
    const auto n = static_cast<uint32_t>(state.range(0));
    for (auto _ : state) {
        CChartCtrl chart;
        CChartLineSerie* serie = chart.CreateLineSerie(false, false);
        for (uint32_t i = 0; i < n; ++i) {
            serie->AddPoint(i * 20.0, static_cast<double>(i % 1000));
        }
        benchmark::DoNotOptimize(serie->GetPointCount());
    }
    state.SetItemsProcessed(state.iterations() * n);
}
BENCHMARK(BM_AppendPoints)->Arg(10'000'000)->Unit(benchmark::kMillisecond);

// What a full cache takes per point: the points, their min/max index and the rest of the series,
// as the resident memory of the process grows with them.
void BM_MemoryPerPoint(benchmark::State& state) {
    const auto n = static_cast<uint32_t>(state.range(0));
    for (auto _ : state) {
        const uint64_t before = StatusBytes("VmRSS:");
        CChartCtrl chart;
        chart.AttachAxis(new CChartCustomAxisX, BottomAxis);
        CChartLineSerie* serie = chart.CreateLineSerie(false, false);
        for (uint32_t i = 0; i < n; ++i) {
            serie->AddPoint(i * 20.0, 1.0);
        }
        // Every level of the min/max index built, as the first draw builds it.
        double min = 0, max = 0;
        serie->GetYRangeOfVisiblePoints(min, max);
        const double bytes = static_cast<double>(StatusBytes("VmRSS:") - before);
        state.counters["bytes_per_point"] = bytes / n;
    }
}
BENCHMARK(BM_MemoryPerPoint)->Arg(7'200'000)->Iterations(1)->Unit(benchmark::kMillisecond);

// Half of a full cache cut off the front of a trace, the index kept up to date with it.
void BM_TrimHalfTheCache(benchmark::State& state) {
    constexpr uint32_t kCache = 7'200'000;
    std::vector<SChartXYPoint> points(kCache);
    for (uint32_t i = 0; i < kCache; ++i) {
        points[i] = {static_cast<double>(i), 8000.0 * std::sin(i * 0.001)};
    }
    CChartCtrl chart;
    CChartLineSerie* serie = chart.CreateLineSerie(false, false);
    for (auto _ : state) {
        state.PauseTiming();
        serie->ClearSerie();
        serie->AddPoints(points.data(), kCache);
        state.ResumeTiming();
        serie->RemovePointsUpTo(kCache / 2 - 1);
        benchmark::DoNotOptimize(serie->GetPointCount());
    }
}
BENCHMARK(BM_TrimHalfTheCache)->Unit(benchmark::kMillisecond);

class CSizedHost : public CFakeChartHost {
public:
    // A Qt back buffer of scale device pixels per pixel, or the recording surface without scale.
    CSizedHost(bool qt, double scale) : m_qt(qt), m_scale(scale) { client = {0, 0, 1200, 600}; }
    std::unique_ptr<CChartBuffer> CreateBuffer(tagChartSize size) override {
        if (m_qt) {
            return std::make_unique<CQtChartBuffer>(size, m_scale);
        }
        return CFakeChartHost::CreateBuffer(size);
    }

private:
    bool m_qt;
    double m_scale;
};

// Six traces of a full cache, 7.2 million points (1 ms samples, 2 hours), the whole range in 1200
// columns, drawn with the stride of the sampled drawing or every point through the index; through
// Qt at 1x, 1.5x and 2x device pixels per pixel (range 1 in percent).
void RedrawSixSeries(benchmark::State& state, bool qt) {
    const bool everyPoint = state.range(0) != 0;
    CSizedHost host(qt, qt ? static_cast<double>(state.range(1)) / 100.0 : 1.0);
    CChartCtrl chart;
    chart.SetHost(&host);
    chart.SetDottedGrid(true);
    auto* time = new CChartCustomAxisX;
    chart.AttachAxis(time, BottomAxis);
    time->GetLabel().SetText("Timeline(ms)");
    chart.AttachAxis(new CChartCustomAxisY, LeftAxis);
    constexpr uint32_t kPoints = 7'200'000;
    time->SetBaseStep(kPoints / 10.0);
    for (int s = 0; s < 6; ++s) {
        CChartLineSerie* serie = chart.CreateLineSerie(false, false);
        serie->SetWidth(2);
        serie->SetEveryPointDrawing(everyPoint);
        serie->SetStepMode(s == 5);
        for (uint32_t i = 0; i < kPoints; ++i) {
            const double y = s == 5 ? ((i / 500) % 2) * 5000.0 : 8000.0 * std::sin(i * 0.001 * (s + 1));
            serie->AddPoint(i, y);
        }
    }
    for (auto _ : state) {
        chart.RedrawChart();
        if (!qt) {
            host.Buffer()->ops.clear();
        }
    }
}

void BM_RedrawSixSeriesRecording(benchmark::State& state) {
    RedrawSixSeries(state, false);
}
void BM_RedrawSixSeriesQt(benchmark::State& state) {
    RedrawSixSeries(state, true);
}
BENCHMARK(BM_RedrawSixSeriesRecording)->ArgName("every_point")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RedrawSixSeriesQt)
    ->ArgNames({"every_point", "scale_percent"})
    ->ArgsProduct({{0, 1}, {100, 150, 200}})
    ->Unit(benchmark::kMillisecond);

} // namespace

namespace {

// The columns of one trace while recording: the last 10 s of 1 ms samples in 1200 columns at 1x
// and 2x device pixels per pixel (a few points per column).
void BM_ReduceTenSecondView(benchmark::State& state) {
    const double scale = static_cast<double>(state.range(0)) / 100.0;
    CSizedHost host(false, 1.0);
    CChartCtrl chart;
    chart.SetHost(&host);
    auto* time = new CChartCustomAxisX;
    chart.AttachAxis(time, BottomAxis);
    chart.AttachAxis(new CChartCustomAxisY, LeftAxis);
    CChartLineSerie* serie = chart.CreateLineSerie(false, false);
    serie->SetEveryPointDrawing(true);
    constexpr uint32_t kPoints = 600'000;
    for (uint32_t i = 0; i < kPoints; ++i) {
        serie->AddPoint(i, 8000.0 * std::sin(i * 0.003));
    }
    time->SetRange(kPoints - 10'000, kPoints);
    chart.RedrawChart(); // lays the plot out
    for (auto _ : state) {
        benchmark::DoNotOptimize(serie->BuildVertices(scale).size());
    }
}
BENCHMARK(BM_ReduceTenSecondView)
    ->ArgName("scale_percent")
    ->Arg(100)
    ->Arg(200)
    ->Unit(benchmark::kMicrosecond);

} // namespace
