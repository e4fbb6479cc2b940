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
        return std::make_unique<CQtChartBuffer>(size, scale);
    }
    double scale = 1.0;
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

// Ten seconds of a 1 ms recording of six channels through the window's batch path, as the link
// hands it over: a batch of five samples every 5 ms, each drawn at once (paced 0: one redraw per
// batch), or drawn once a frame of a 60 Hz screen (paced 1), at 1x and 2x device pixels. One
// iteration is the whole ten seconds: its CPU time against them is the share of a core.
void BM_PlayTenSecondsAtOneMs(benchmark::State& state) {
    const bool paced = state.range(0) != 0;
    const double scale = static_cast<double>(state.range(1)) / 100.0;
    for (auto _ : state) {
        state.PauseTiming();
        CQtBufferHost host;
        host.scale = scale;
        CChartCtrl chart;
        chart.SetHost(&host);
        CTraceSet traces(DefaultChannelColours);
        CChartTraceDisplay display(chart, traces, "Timeline(ms)", 1000, true);
        traces.SetDisplay(&display);
        display.SetEveryPointDrawing(true);
        tagOscilloData block;
        for (size_t k = 0; k < kMaxChannels; ++k) {
            traces.ApplyChannel(k, DefaultChannelColours[k], k == 5);
            block.types.push_back(k == 5 ? GCM_BOOL : GCM_INT);
        }
        tagBatchContext context;
        context.period = g_PeriodOfEighths(8);
        CTriggerCapture everything;
        state.ResumeTiming();
        double nextFrame = 0.0;
        for (uint32_t tick = 0; tick < 10'000; tick += 5) {
            block.samples.resize(5);
            for (uint32_t s = 0; s < 5; ++s) {
                block.samples[s].tick = tick + s;
                for (size_t k = 0; k < kMaxChannels; ++k) {
                    block.samples[s].raw[k] = k == 5 ? ((tick + s) / 50) % 2
                                                     : static_cast<uint32_t>(std::lround(
                                                           1000.0 * std::sin((tick + s) * 0.003 * (k + 1))));
                }
            }
            chart.SetRedrawEnabled(false);
            const double t = AddSamplesToTraces(block, everything, context, traces).lastTime;
            display.FollowTime(t);
            if (!paced || t >= nextFrame) {
                chart.RedrawChart();
                nextFrame = t + 1000.0 / 60.0;
            }
            chart.SetRedrawEnabled(true);
        }
    }
}
BENCHMARK(BM_PlayTenSecondsAtOneMs)
    ->ArgNames({"paced", "scale_percent"})
    ->ArgsProduct({{0, 1}, {100, 200}})
    ->Iterations(3)
    ->Unit(benchmark::kMillisecond);

} // namespace
