// Saving and loading a full cache (6 traces x 7 200 000 points, 691 MB of points) against a plain
// sequential write and read of the same number of bytes in the same folder.
#include "ProcessMemory.h"
#include "TempFolder.h"
#include "files/CsvFile.h"
#include "files/DataFile.h"
#include "files/Hdf5File.h"
#include "support/HeadlessTraces.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <sys/mman.h>
#include <sys/resource.h>
#include <unistd.h>
#include <vector>

namespace {

constexpr uint32_t kPoints = 7'200'000;

struct tagFullCache {
    tagFullCache() {
        for (size_t k = 0; k < kMaxChannels; ++k) {
            state.channels.push_back({"D" + std::to_string(k), 0, GCM_INT, DefaultColour(k)});
            traces->ApplyChannel(k, state.channels.back().colour, state.channels.back().dataType == GCM_BOOL);
            for (uint32_t i = 0; i < kPoints; ++i) {
                traces->Trace(k).AddPoint(i, static_cast<double>((i * 7 + k) % 1000));
            }
        }
    }
    static uint32_t DefaultColour(size_t k) { return static_cast<uint32_t>(0x102030 * (k + 1)); }
    tagHeadlessTraces traces;
    tagMonitorState state;
};

tagFullCache& Cache() {
    static tagFullCache cache;
    return cache;
}

CTempFolder& Folder() {
    static CTempFolder folder;
    return folder;
}

uint64_t FileBytes() {
    return static_cast<uint64_t>(kMaxChannels) * kPoints * 16;
}

void BM_SaveFullCache(benchmark::State& s) {
    tagFullCache& cache = Cache();
    const std::string path = Folder().File("full.data");
    for (auto _ : s) {
        s.PauseTiming();
        ::sync(); // both writers start without dirty pages of earlier runs in flight
        s.ResumeTiming();
        if (!WriteDataFile(path, cache.state, *cache.traces, nullptr)) {
            s.SkipWithError("save failed");
        }
    }
    s.SetBytesProcessed(static_cast<int64_t>(s.iterations() * FileBytes()));
}
BENCHMARK(BM_SaveFullCache)->Unit(benchmark::kMillisecond)->Iterations(3);

// What an automatic save holds the window's thread for: three traces of 600 000 points.
void BM_AutoSaveThreeHalfCaches(benchmark::State& s) {
    tagHeadlessTraces traces;
    tagMonitorState state;
    for (size_t k = 0; k < 3; ++k) {
        state.channels.push_back({"D" + std::to_string(k), 0, GCM_INT, 1});
        for (uint32_t i = 0; i < 1'200'000; ++i) {
            traces->Trace(k).AddPoint(i, i % 1000);
        }
    }
    const double limit = 599'999.0;
    const std::string path = Folder().File("half.data");
    for (auto _ : s) {
        WriteDataFile(path, state, *traces, &limit);
    }
}
BENCHMARK(BM_AutoSaveThreeHalfCaches)->Unit(benchmark::kMillisecond)->Iterations(10);

void BM_PlainSequentialWrite(benchmark::State& s) {
    const std::string path = Folder().File("plain.bin");
    std::vector<char> block(1 << 20, 'x');
    for (auto _ : s) {
        s.PauseTiming();
        ::sync();
        s.ResumeTiming();
        std::FILE* f = std::fopen(path.c_str(), "wb");
        for (uint64_t done = 0; done < FileBytes(); done += block.size()) {
            std::fwrite(block.data(), 1, block.size(), f);
        }
        std::fclose(f);
    }
    s.SetBytesProcessed(static_cast<int64_t>(s.iterations() * FileBytes()));
}
BENCHMARK(BM_PlainSequentialWrite)->Unit(benchmark::kMillisecond)->Iterations(3);

// The same bytes written from memory as large as the file, as a save's traces are: the source
// comes from main memory instead of a block that stays in the processor's cache.
void BM_PlainWriteFromMemory(benchmark::State& s) {
    const std::string path = Folder().File("plain.bin");
    std::vector<char> memory(FileBytes(), 'x');
    for (auto _ : s) {
        s.PauseTiming();
        ::sync();
        s.ResumeTiming();
        std::FILE* f = std::fopen(path.c_str(), "wb");
        std::fwrite(memory.data(), 1, memory.size(), f);
        std::fclose(f);
    }
    s.SetBytesProcessed(static_cast<int64_t>(s.iterations() * FileBytes()));
}
BENCHMARK(BM_PlainWriteFromMemory)->Unit(benchmark::kMillisecond)->Iterations(3);

// Exports of the same full cache for analysis tools: HDF5 streams it chunk by chunk, so the
// memory beyond the traces stays flat; CSV for comparison.
template <class Export> void ExportFullCache(benchmark::State& s, const std::string& name, Export write) {
    tagFullCache& cache = Cache();
    const std::string path = Folder().File(name);
    double extra = 0;
    for (auto _ : s) {
        s.PauseTiming();
        ::sync();
        const uint64_t before = StatusBytes("VmRSS:");
        ResetPeak();
        s.ResumeTiming();
        if (!write(path, cache)) {
            s.SkipWithError("export failed");
        }
        extra = static_cast<double>(StatusBytes("VmHWM:")) - static_cast<double>(before);
    }
    s.counters["peak_beyond_traces_MiB"] = extra / (1 << 20);
    s.counters["file_MB"] = static_cast<double>(std::filesystem::file_size(path)) / 1e6;
    s.SetItemsProcessed(static_cast<int64_t>(s.iterations() * kMaxChannels * kPoints));
}

void BM_ExportHdf5FullCache(benchmark::State& s) {
    ExportFullCache(s, "full.h5", [](const std::string& path, tagFullCache& cache) {
        return WriteHdf5File(path, cache.state, *cache.traces, "2026-12-07T12:00:00.000Z", nullptr);
    });
}
BENCHMARK(BM_ExportHdf5FullCache)->Unit(benchmark::kMillisecond)->Iterations(2);

void BM_ExportCsvFullCache(benchmark::State& s) {
    ExportFullCache(s, "full.csv", [](const std::string& path, tagFullCache& cache) {
        return WriteCsvFile(path, cache.state, *cache.traces, nullptr);
    });
}
BENCHMARK(BM_ExportCsvFullCache)->Unit(benchmark::kMillisecond)->Iterations(1);

void BM_LoadFullCache(benchmark::State& s) {
    const std::string path = Folder().File("full.data");
    if (!WriteDataFile(path, Cache().state, *Cache().traces, nullptr)) {
        s.SkipWithError("save failed");
        return;
    }
    Cache().traces->ResetAll(); // only the loaded traces in memory
    tagHeadlessTraces traces;
    tagMonitorState state;
    // The first read after writing pays for the page cache settling (over a second here); the
    // loads of the program read files written long before, so one untimed load goes first.
    ReadDataFile(path, state, *traces);
    double extra = 0;
    double faults = 0;
    for (auto _ : s) {
        s.PauseTiming();
        for (size_t k = 0; k < kMaxChannels; ++k) {
            traces->Trace(k).Clear();
        }
        const uint64_t before = StatusBytes("VmRSS:");
        ResetPeak();
        rusage start{};
        getrusage(RUSAGE_SELF, &start);
        s.ResumeTiming();
        if (ReadDataFile(path, state, *traces) != EnumDataFileRead::Read) {
            s.SkipWithError("load failed");
        }
        rusage stop{};
        getrusage(RUSAGE_SELF, &stop);
        faults = static_cast<double>(stop.ru_minflt - start.ru_minflt);
        const uint64_t peak = StatusBytes("VmHWM:");
        extra = static_cast<double>(peak) - static_cast<double>(before) - static_cast<double>(FileBytes());
    }
    s.counters["peak_beyond_traces_MiB"] = extra / (1 << 20);
    s.counters["page_faults"] = faults;
    s.SetBytesProcessed(static_cast<int64_t>(s.iterations() * FileBytes()));
}
BENCHMARK(BM_LoadFullCache)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_PlainSequentialRead(benchmark::State& s) {
    const std::string path = Folder().File("full.data");
    std::vector<char> block(1 << 20);
    for (auto _ : s) {
        std::FILE* f = std::fopen(path.c_str(), "rb");
        uint64_t total = 0;
        size_t got = 0;
        while ((got = std::fread(block.data(), 1, block.size(), f)) > 0) {
            total += got;
        }
        std::fclose(f);
        benchmark::DoNotOptimize(total);
    }
    s.SetBytesProcessed(static_cast<int64_t>(s.iterations() * FileBytes()));
}
BENCHMARK(BM_PlainSequentialRead)->Unit(benchmark::kMillisecond)->Iterations(3);

// The same read into memory that is new each time, as a load's traces are: the floor for any
// loader, since the kernel must hand out and clear every page.
void BM_PlainReadIntoFreshMemory(benchmark::State& s) {
    const std::string path = Folder().File("full.data");
    for (auto _ : s) {
        std::FILE* f = std::fopen(path.c_str(), "rb");
        char* memory = static_cast<char*>(std::malloc(FileBytes()));
#ifdef MADV_HUGEPAGE
        const auto first = (reinterpret_cast<uintptr_t>(memory) + 0x1FFFFF) & ~uintptr_t{0x1FFFFF};
        const auto end = (reinterpret_cast<uintptr_t>(memory) + FileBytes()) & ~uintptr_t{0x1FFFFF};
        madvise(reinterpret_cast<void*>(first), end - first, MADV_HUGEPAGE);
#endif
        benchmark::DoNotOptimize(std::fread(memory, 1, FileBytes(), f));
        std::fclose(f);
        s.PauseTiming();
        std::free(memory);
        s.ResumeTiming();
    }
    s.SetBytesProcessed(static_cast<int64_t>(s.iterations() * FileBytes()));
}
BENCHMARK(BM_PlainReadIntoFreshMemory)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace
