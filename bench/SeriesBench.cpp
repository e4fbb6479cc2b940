// Point storage and trace drawing at recording sizes.
#include "chart/ChartCustomAxisX.h"
#include "chart/ChartCustomAxisY.h"
#include "chart/ChartLineSerie.h"
#include "chart/qt/QtChartSurface.h"
#include "support/RecordingSurface.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <malloc.h>

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

void BM_MemoryPerPoint(benchmark::State& state) {
    const auto n = static_cast<uint32_t>(state.range(0));
    for (auto _ : state) {
        const struct mallinfo2 before = mallinfo2();
        CChartCtrl chart;
        CChartLineSerie* serie = chart.CreateLineSerie(false, false);
        for (uint32_t i = 0; i < n; ++i) {
            serie->AddPoint(i * 20.0, 1.0);
        }
        const struct mallinfo2 after = mallinfo2();
        const double bytes =
            static_cast<double>((after.uordblks + after.hblkhd) - (before.uordblks + before.hblkhd));
        state.counters["bytes_per_point"] = bytes / n;
    }
}
BENCHMARK(BM_MemoryPerPoint)->Arg(7'200'000)->Iterations(1)->Unit(benchmark::kMillisecond);

class CSizedHost : public CFakeChartHost {
public:
    explicit CSizedHost(bool qt) : m_qt(qt) { client = {0, 0, 1200, 600}; }
    std::unique_ptr<CChartBuffer> CreateBuffer(tagChartSize size) override {
        if (m_qt) {
            return std::make_unique<CQtChartBuffer>(size);
        }
        return CFakeChartHost::CreateBuffer(size);
    }

private:
    bool m_qt;
};

// Six traces of 3.6 million points (20 ms samples, 20 hours), the whole range in view.
void RedrawSixSeries(benchmark::State& state, bool qt) {
    CSizedHost host(qt);
    CChartCtrl chart;
    chart.SetHost(&host);
    chart.SetDottedGrid(true);
    auto* time = new CChartCustomAxisX;
    chart.AttachAxis(time, BottomAxis);
    time->GetLabel().SetText("Timeline(ms)");
    chart.AttachAxis(new CChartCustomAxisY, LeftAxis);
    constexpr uint32_t kPoints = 3'600'000;
    time->SetBaseStep(kPoints * 20.0 / 10.0);
    for (int s = 0; s < 6; ++s) {
        CChartLineSerie* serie = chart.CreateLineSerie(false, false);
        serie->SetWidth(2);
        serie->m_stepMode = s == 5;
        for (uint32_t i = 0; i < kPoints; ++i) {
            const double y = s == 5 ? ((i / 500) % 2) * 5000.0 : 8000.0 * std::sin(i * 0.001 * (s + 1));
            serie->AddPoint(i * 20.0, y);
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
BENCHMARK(BM_RedrawSixSeriesRecording)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RedrawSixSeriesQt)->Unit(benchmark::kMillisecond);

} // namespace
