// One batch of samples into long traces, as the window's thread handles it during a recording:
// conversion, six appends per sample, time following and the redraw into a Qt back buffer.
#include "acquisition/ChannelModel.h"
#include "acquisition/Recorder.h"
#include "chart/ChartTraceDisplay.h"
#include "chart/qt/QtChartSurface.h"
#include "support/RecordingSurface.h"

#include <benchmark/benchmark.h>

#include <cmath>

namespace {

class CQtBufferHost : public CFakeChartHost {
public:
    CQtBufferHost() { client = {0, 0, 1200, 600}; }
    std::unique_ptr<CChartBuffer> CreateBuffer(tagChartSize size) override {
        return std::make_unique<CQtChartBuffer>(size);
    }
};

void BM_ProcessBatch(benchmark::State& state) {
    constexpr uint32_t kStored = 3'600'000;
    constexpr uint32_t kBatch = 1000;
    constexpr uint16_t kPeriod = 160; // 20 ms
    CQtBufferHost host;
    CChartCtrl chart;
    chart.SetHost(&host);
    CTraceSet traces(DefaultChannelColours);
    CChartTraceDisplay display(chart, traces, "Timeline(ms)", 1000, true);
    traces.SetDisplay(&display);
    tagOscilloData block;
    for (size_t k = 0; k < kMaxChannels; ++k) {
        const tagOscilloElem channel{"D" + std::to_string(k), 0, k == 5 ? GCM_BOOL : GCM_INT, 0x0000FF};
        traces.ApplyChannel(k, channel.colour, channel.dataType == GCM_BOOL);
        block.types.push_back(channel.dataType);
        for (uint32_t i = 0; i < kStored; ++i) {
            traces.Trace(k).AddPoint(i * 20.0, 1000.0 * std::sin(i * 0.01));
        }
    }
    tagBatchContext context;
    context.period = g_PeriodOfEighths(kPeriod);
    context.timeOffset = kStored * 20.0 + 1000.0;
    CTriggerCapture everything; // no trigger
    uint32_t tick = 0;
    for (auto _ : state) {
        state.PauseTiming();
        block.samples.resize(kBatch);
        for (tagOscilloVal& sample : block.samples) {
            sample.tick = tick++;
            for (size_t k = 0; k < kMaxChannels; ++k) {
                sample.raw[k] = static_cast<uint32_t>(std::lround(1000.0 * std::sin(tick * 0.01 + k)));
            }
        }
        state.ResumeTiming();
        chart.SetRedrawEnabled(false);
        const double t = AddSamplesToTraces(block, everything, context, traces).lastTime;
        display.FollowTime(t);
        chart.RedrawChart();
        chart.SetRedrawEnabled(true);
    }
}
BENCHMARK(BM_ProcessBatch)->Unit(benchmark::kMillisecond);

} // namespace
