// The trigger's pre-trigger history: what a minute of it at 1 ms with six channels costs in memory
// and per sample while the trigger waits, and what repeated events cost.
#include "ProcessMemory.h"
#include "acquisition/TriggerCapture.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <vector>

namespace {

constexpr uint16_t kOneMs = 8; // 1/8 ms
const std::vector<EnumGCMDataType> kSixChannels(6, GCM_INT);

tagOscilloVal Sample(uint32_t tick) {
    tagOscilloVal sample;
    sample.tick = tick;
    for (size_t k = 0; k < kSixChannels.size(); ++k) {
        sample.raw[k] = tick / 10 % 1000 + static_cast<uint32_t>(k);
    }
    return sample;
}

// Waiting with a minute of history: ten minutes of samples that never meet the condition.
void BM_WaitingWithAMinuteOfHistory(benchmark::State& run) {
    const auto preTriggerMs = static_cast<uint32_t>(run.range(0));
    constexpr uint32_t kSamples = 600'000;
    double grown = 0;
    size_t held = 0;
    for (auto _ : run) {
        run.PauseTiming();
        const uint64_t before = StatusBytes("VmRSS:");
        run.ResumeTiming();
        CTriggerCapture capture;
        capture.Start({1, 0, TRIGGER_GREATER, 5000.0}, {preTriggerMs, false, 1000}, kSixChannels,
                      g_PeriodOfEighths(kOneMs));
        for (uint32_t tick = 0; tick < kSamples; ++tick) {
            benchmark::DoNotOptimize(capture.Offer(Sample(tick), tick));
        }
        run.PauseTiming();
        held = capture.HistorySize();
        grown =
            std::max(grown, static_cast<double>(StatusBytes("VmRSS:") - before)); // the first run allocates
        run.ResumeTiming();
    }
    run.counters["history_samples"] = static_cast<double>(held);
    run.counters["resident_growth_MB"] = grown / 1e6;
    run.counters["ns_per_sample"] =
        benchmark::Counter(static_cast<double>(kSamples) * static_cast<double>(run.iterations()),
                           benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_WaitingWithAMinuteOfHistory)->Arg(0)->Arg(60000)->Unit(benchmark::kMillisecond)->Iterations(3);

// An hour at 1 ms of a 10 s cycle with repeat, 100 ms before and 300 ms after each trigger.
void BM_RepeatedEventsForAnHour(benchmark::State& run) {
    constexpr uint32_t kSamples = 3'600'000;
    size_t events = 0;
    for (auto _ : run) {
        CTriggerCapture capture;
        capture.Start({1, 0, TRIGGER_GREATER_EQUAL, 900.0}, {100, true, 300}, kSixChannels,
                      g_PeriodOfEighths(kOneMs));
        events = 0;
        for (uint32_t tick = 0; tick < kSamples; ++tick) {
            if (capture.Offer(Sample(tick), tick) == EnumSampleFate::Close) {
                benchmark::DoNotOptimize(capture.TakeEvent());
                ++events;
            }
        }
    }
    run.counters["events"] = static_cast<double>(events);
}
BENCHMARK(BM_RepeatedEventsForAnHour)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace
