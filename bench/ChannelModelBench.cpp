// Conversion and formatting cost per sample word, as the table and the CSV export pay it.
#include "acquisition/ChannelModel.h"

#include <benchmark/benchmark.h>

#include <random>

namespace {

std::vector<uint32_t> Words(size_t n) {
    std::mt19937 random(42);
    std::vector<uint32_t> words(n);
    for (uint32_t& w : words) {
        w = random();
    }
    return words;
}

void BM_ConvertRawValue(benchmark::State& state) {
    const auto type = static_cast<EnumGCMDataType>(state.range(0));
    const std::vector<uint32_t> words = Words(1'000'000);
    for (auto _ : state) {
        double sum = 0;
        for (uint32_t w : words) {
            sum += ConvertRawValue(w, type);
        }
        benchmark::DoNotOptimize(sum);
    }
    state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(words.size()));
}
BENCHMARK(BM_ConvertRawValue)->Arg(GCM_INT)->Arg(GCM_UDINT)->Arg(GCM_REAL)->Unit(benchmark::kMillisecond);

void BM_FormatValue(benchmark::State& state) {
    const auto type = static_cast<EnumGCMDataType>(state.range(0));
    const std::vector<uint32_t> words = Words(1'000'000);
    for (auto _ : state) {
        size_t length = 0;
        for (uint32_t w : words) {
            length += FormatValue(ConvertRawValue(w, type), type).size();
        }
        benchmark::DoNotOptimize(length);
    }
    state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(words.size()));
}
BENCHMARK(BM_FormatValue)->Arg(GCM_BOOL)->Arg(GCM_INT)->Arg(GCM_REAL)->Unit(benchmark::kMillisecond);

} // namespace
