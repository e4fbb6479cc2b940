// What the recording journal costs: the CPU of the window's and the journal's threads for ten
// seconds of six channels at 1 ms, with and without the journal (the redraw left out, so that the
// difference is the journal's), the journal's bytes per sample, and a day at 10 ms through a
// cache of 1 200 000 points per channel, whose trims keep the journal small.
#include "acquisition/Recorder.h"
#include "files/RecordingJournal.h"
#include "support/HeadlessTraces.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <ctime>
#include <filesystem>

namespace fs = std::filesystem;

namespace {

double ProcessCpuSeconds() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

uint64_t JournalBytes(const std::string& path) {
    uint64_t bytes = 0;
    for (const char* suffix : {"", "-wal"}) {
        std::error_code ec;
        const auto size = fs::file_size(path + suffix, ec);
        bytes += ec ? 0 : size;
    }
    return bytes;
}

// Six channels of the simulated machine's kind: a sine, a ramp, a bit.
tagOscilloData Block(uint32_t firstTick, uint32_t samples) {
    tagOscilloData block;
    for (size_t k = 0; k < kMaxChannels; ++k) {
        block.types.push_back(k == 5 ? GCM_BOOL : GCM_INT);
    }
    for (uint32_t s = 0; s < samples; ++s) {
        tagOscilloVal sample;
        sample.tick = firstTick + s;
        for (size_t k = 0; k < 5; ++k) {
            sample.raw[k] =
                static_cast<uint32_t>(static_cast<int32_t>(1000 * std::sin((sample.tick + k * 97) * 0.003)));
        }
        sample.raw[5] = (sample.tick / 50) & 1;
        block.samples.push_back(sample);
    }
    return block;
}

struct tagRecording {
    tagRecording() {
        for (size_t k = 0; k < kMaxChannels; ++k) {
            traces.AddChannel(state, {"D" + std::to_string(k), 0, k == 5 ? GCM_BOOL : GCM_INT, 0}, {});
        }
    }
    tagHeadlessTraces traces;
    tagMonitorState state;
};

// Ten seconds at 1 ms in batches of 30 samples (the window takes one batch per worker pause).
void BM_TenSecondsAtOneMs(benchmark::State& run) {
    const bool journaling = run.range(0) != 0;
    const std::string path = (fs::temp_directory_path() / "chronoscope-bench.journal").string();
    constexpr uint32_t kSamples = 10'000, kBatch = 30;
    double cpu = 0, bytesPerSample = 0;
    for (auto _ : run) {
        fs::remove(path);
        fs::remove(path + "-wal");
        tagRecording recording;
        std::unique_ptr<CRecordingJournal> journal;
        if (journaling) {
            journal = std::make_unique<CRecordingJournal>(path);
            journal->Reset({});
            journal->BeginRecording({recording.state.channels, g_PeriodOfEighths(8), 0.0, {}}, {}, "sim");
        }
        tagBatchContext context{g_PeriodOfEighths(8), 0.0, 0};
        CTriggerCapture everything;
        const double start = ProcessCpuSeconds();
        for (uint32_t tick = 0; tick < kSamples; tick += kBatch) {
            const tagOscilloData block = Block(tick, kBatch);
            AddSamplesToTraces(block, everything, context, *recording.traces);
            if (journal) {
                journal->Append(block.samples);
                if (tick % 500 < kBatch) {
                    journal->Commit(); // the writer commits every half second
                }
            }
        }
        if (journal) {
            journal->Commit();
        }
        cpu += ProcessCpuSeconds() - start;
        if (journal) {
            bytesPerSample = static_cast<double>(JournalBytes(path)) / kSamples;
        }
    }
    // CPU for ten seconds of recording, as a share of one core.
    run.counters["cpu_percent_of_a_core"] = cpu / static_cast<double>(run.iterations()) / 10.0 * 100.0;
    run.counters["journal_bytes_per_sample"] = bytesPerSample;
    fs::remove(path);
    fs::remove(path + "-wal");
}
BENCHMARK(BM_TenSecondsAtOneMs)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();

// A day at 10 ms (8.64 million samples) through a cache of 1 200 000 points per channel: the
// trim cuts the older half, and the journal drops it with it.
void BM_ADayAtTenMsWithTrimming(benchmark::State& run) {
    const std::string path = (fs::temp_directory_path() / "chronoscope-day.journal").string();
    constexpr uint32_t kSamples = 8'640'000, kBatch = 1000, kCache = 1'200'000;
    uint64_t largest = 0;
    for (auto _ : run) {
        fs::remove(path);
        fs::remove(path + "-wal");
        tagRecording recording;
        CRecordingJournal journal(path);
        journal.Reset({});
        journal.BeginRecording({recording.state.channels, g_PeriodOfEighths(80), 0.0, {}}, {}, "sim");
        tagBatchContext context{g_PeriodOfEighths(80), 0.0, 0};
        CTriggerCapture everything;
        for (uint32_t tick = 0; tick < kSamples; tick += kBatch) {
            const tagOscilloData block = Block(tick, kBatch);
            AddSamplesToTraces(block, everything, context, *recording.traces);
            journal.Append(block.samples);
            CTrace& first = recording.traces->Trace(0);
            if (first.GetPointCount() >= kCache) {
                const double cut = first.GetXValue(kCache / 2 - 1);
                for (size_t k = 0; k < kMaxChannels; ++k) {
                    recording.traces->Trace(k).RemovePointsUpTo(cut);
                }
                journal.DropUpTo(cut, std::vector<uint32_t>(kMaxChannels, 0));
            }
            if (tick % 50'000 == 0) {
                journal.Commit();
                largest = std::max(largest, JournalBytes(path));
            }
        }
        journal.Commit();
        largest = std::max(largest, JournalBytes(path));
    }
    run.counters["largest_journal_MB"] = static_cast<double>(largest) / 1e6;
    run.counters["cache_MB"] = kCache * 16.0 * kMaxChannels / 1e6; // 16 bytes a point
    fs::remove(path);
    fs::remove(path + "-wal");
}
BENCHMARK(BM_ADayAtTenMsWithTrimming)->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();

} // namespace
