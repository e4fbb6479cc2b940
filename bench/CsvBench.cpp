// CSV export and import of 6 channels (INT, DINT, REAL, BOOL, REAL, INT) x 1 000 000 points,
// against reference code that formats each cell with snprintf and writes through fprintf, and
// reads lines with std::getline and cells with std::stringstream and strtod.
#include "ProcessMemory.h"
#include "TempFolder.h"
#include "acquisition/ChannelModel.h"
#include "files/CsvFile.h"
#include "support/HeadlessTraces.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

constexpr uint32_t kPoints = 1'000'000;
const std::vector<EnumGCMDataType> kTypes{GCM_INT, GCM_DINT, GCM_REAL, GCM_BOOL, GCM_REAL, GCM_INT};

struct tagRecording {
    tagRecording() {
        for (size_t k = 0; k < kTypes.size(); ++k) {
            state.channels.push_back({"D" + std::to_string(k * 10), 0, kTypes[k], 1});
            traces->ApplyChannel(k, state.channels.back().colour, state.channels.back().dataType == GCM_BOOL);
            for (uint32_t i = 0; i < kPoints; ++i) {
                const double v = kTypes[k] == GCM_REAL   ? 25.0 + 5.0 * std::sin(i * 0.001)
                                 : kTypes[k] == GCM_BOOL ? (i / 50) % 2
                                                         : static_cast<double>((i * 37) % 200000) - 100000;
                traces->Trace(k).AddPoint(i, v);
            }
        }
    }
    tagHeadlessTraces traces;
    tagMonitorState state;
};

tagRecording& Recording() {
    static tagRecording recording;
    return recording;
}

CTempFolder& Folder() {
    static CTempFolder folder;
    return folder;
}

void BM_ExportCsv(benchmark::State& s) {
    tagRecording& r = Recording();
    const std::string path = Folder().File("export.csv");
    double extra = 0;
    for (auto _ : s) {
        const uint64_t before = StatusBytes("VmRSS:");
        ResetPeak();
        if (!WriteCsvFile(path, r.state, *r.traces)) {
            s.SkipWithError("export failed");
        }
        extra = static_cast<double>(StatusBytes("VmHWM:")) - static_cast<double>(before);
    }
    s.counters["peak_beyond_recording_MiB"] = extra / (1 << 20);
    s.SetItemsProcessed(s.iterations() * kPoints * 6);
}
BENCHMARK(BM_ExportCsv)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_ExportCsvReference(benchmark::State& s) {
    tagRecording& r = Recording();
    const std::string path = Folder().File("reference.csv");
    for (auto _ : s) {
        std::FILE* f = std::fopen(path.c_str(), "wb");
        std::fprintf(f, "\xEF\xBB\xBF");
        for (size_t k = 0; k < kTypes.size(); ++k) {
            std::fprintf(f, "%sTime(ms),%s", k ? "," : "", CsvChannelHeading(r.state.channels[k]).c_str());
        }
        std::fprintf(f, "\r\n");
        char cell[64];
        for (uint32_t i = 0; i < kPoints; ++i) {
            for (size_t k = 0; k < kTypes.size(); ++k) {
                const CTrace& serie = r.traces->Trace(k);
                std::snprintf(cell, sizeof cell, "%d", TruncateToInt32(serie.GetXValue(i)));
                std::fprintf(f, "%s%s,", k ? "," : "", cell);
                const double v = serie.GetYValue(i);
                if (kTypes[k] == GCM_BOOL) {
                    std::snprintf(cell, sizeof cell, "%s", v > 0 ? "ON" : "OFF");
                } else if (kTypes[k] == GCM_REAL) {
                    std::snprintf(cell, sizeof cell, "%f", v);
                } else {
                    std::snprintf(cell, sizeof cell, "%d", TruncateToInt32(v));
                }
                std::fprintf(f, "%s", cell);
            }
            std::fprintf(f, "\r\n");
        }
        std::fclose(f);
    }
    s.SetItemsProcessed(s.iterations() * kPoints * 6);
}
BENCHMARK(BM_ExportCsvReference)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_ImportCsv(benchmark::State& s) {
    const std::string path = Folder().File("export.csv");
    WriteCsvFile(path, Recording().state, *Recording().traces);
    tagHeadlessTraces traces;
    tagMonitorState state;
    for (auto _ : s) {
        if (!ReadCsvFile(path, state, *traces) || traces->Trace(5).GetPointCount() != kPoints) {
            s.SkipWithError("import failed");
        }
    }
    s.SetItemsProcessed(s.iterations() * kPoints * 6);
}
BENCHMARK(BM_ImportCsv)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_ImportCsvReference(benchmark::State& s) {
    const std::string path = Folder().File("export.csv");
    for (auto _ : s) {
        std::ifstream in(path, std::ios::binary);
        std::string line;
        std::getline(in, line); // header
        std::vector<std::vector<std::pair<double, double>>> points(kTypes.size());
        while (std::getline(in, line)) {
            if (!line.empty() && line.back() == '\r') {
                line.pop_back();
            }
            std::stringstream cells(line);
            std::string time, value;
            for (size_t k = 0;
                 k < kTypes.size() && std::getline(cells, time, ',') && std::getline(cells, value, ',');
                 ++k) {
                const double y =
                    kTypes[k] == GCM_BOOL ? (value == "ON" ? 1.0 : 0.0) : std::strtod(value.c_str(), nullptr);
                points[k].emplace_back(std::strtod(time.c_str(), nullptr), y);
            }
        }
        benchmark::DoNotOptimize(points[5].size());
    }
    s.SetItemsProcessed(s.iterations() * kPoints * 6);
}
BENCHMARK(BM_ImportCsvReference)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace
