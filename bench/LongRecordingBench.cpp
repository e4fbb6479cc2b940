// A 24-hour recording at 1 ms with six channels on the simulated controller's fast clock, through
// cache trimming and automatic saving, run to the end. Every saved file is checked as it comes
// (consecutive ticks, six equal traces) and deleted; the counters report wall time, the peak
// memory of the recording against its cache bound, the files and the ticks accounted for.
#include "ProcessMemory.h"
#include "TempFolder.h"
#include "files/DataFile.h"
#include "files/WorkspacePaths.h"
#include "link/Communicater.h"
#include "link/LinkBackend.h"
#include "link/SimulatedController.h"
#include "support/HeadlessTraces.h"
#include "support/LinkTestHelpers.h"
#include "support/RecordingSurface.h"
#include "support/TestSessionView.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sys/statvfs.h>

namespace {

using namespace std::chrono_literals;

constexpr uint32_t kCache = 1'200'000;
constexpr uint64_t kTicks = 24ull * 3600 * 1000;
// One cut per 600 000 ticks; at this speed cuts stay more than a second apart, so no file name
// repeats (a second cut in the same second would replace the first file).
constexpr int kSpeed = 400;

void BM_DayAtOneMillisecond(benchmark::State& s) {
    CTempFolder documents;
    struct statvfs disk {};
    if (statvfs(documents.Path().c_str(), &disk) == 0 &&
        static_cast<uint64_t>(disk.f_bavail) * disk.f_frsize < (2ull << 30)) {
        s.SkipWithError("less than 2 GiB free for the automatic save files");
        return;
    }
    setenv("CHRONOSCOPE_SIMULATOR", "1", 1);
    setenv("CHRONOSCOPE_SIM_SPEED", std::to_string(kSpeed).c_str(), 1);
    for (auto _ : s) {
        CCommunicater::Instance();
        CFakeChartHost host;
        CChartCtrl chart;
        chart.SetHost(&host);
        // The recording surface keeps every drawing command; drawing is measured elsewhere.
        chart.SetRedrawEnabled(false);
        CTestSessionView view;
        auto session = std::make_unique<CMonitorSession>(chart, "Timeline(ms)", view);
        view.session = session.get();
        session->ApplyLinkSettings();
        for (const tagOscilloElem& c :
             {Channel("D0", GCM_INT), Channel("D1", GCM_INT), Channel("D2", GCM_INT),
              Channel("D10", GCM_DINT), Channel("D20", GCM_REAL), Channel("M3", GCM_BOOL)}) {
            session->AddChannel(c);
        }
        session->State().period = 1;
        session->State().cacheSize = kCache;
        session->State().autoSave = 1;
        session->State().adaptive = false;

        const uint64_t baseline = StatusBytes("VmRSS:");
        uint64_t peak = 0;
        uint64_t nextTick = 0;
        uint64_t files = 0;
        bool intact = true;
        auto checkFiles = [&] {
            std::vector<std::filesystem::path> names;
            std::error_code ec;
            for (const auto& entry : std::filesystem::directory_iterator(AutoSaveFolder(), ec)) {
                names.push_back(entry.path());
            }
            std::sort(names.begin(), names.end());
            if (names.empty()) {
                return;
            }
            peak = std::max(peak, StatusBytes("VmHWM:"));
            for (const auto& path : names) {
                tagHeadlessTraces traces(false);
                tagMonitorState state;
                intact = intact && ReadDataFile(path.string(), state, *traces) == EnumDataFileRead::Read;
                const uint32_t n = traces->Serie(0).GetPointCount();
                intact = intact && n > 0 && traces->Serie(0).GetXValue(0) == static_cast<double>(nextTick) &&
                         traces->Serie(0).GetXValue(n - 1) == static_cast<double>(nextTick + n - 1);
                for (size_t k = 1; k < 6; ++k) {
                    intact = intact && traces->Serie(k).GetPointCount() == n;
                }
                nextTick += n;
                ++files;
                std::filesystem::remove(path, ec);
            }
            ResetPeak();
        };
        const auto start = std::chrono::steady_clock::now();
        ResetPeak();
        session->OnRun();
        while (session->IsRecording() && nextTick + session->Traces().Serie(0).GetPointCount() < kTicks) {
            view.Pump(100ms);
            checkFiles();
        }
        session->OnRun();
        view.PumpMessages();
        checkFiles();
        peak = std::max(peak, StatusBytes("VmHWM:"));
        const double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        const CChartLineSerie& rest = session->Traces().Serie(0);
        intact = intact && rest.GetPointCount() > 0 && rest.GetXValue(0) == static_cast<double>(nextTick);
        const uint64_t total = nextTick + rest.GetPointCount();
        for (uint32_t i = 1; intact && i < rest.GetPointCount(); ++i) {
            intact = rest.GetXValue(i) == rest.GetXValue(i - 1) + 1.0;
        }
        const double bound = 6.0 * kCache * 16.0;
        s.counters["wall_s"] = wall;
        s.counters["messages"] = static_cast<double>(view.messages.size());
        s.counters["ticks"] = static_cast<double>(total);
        s.counters["files"] = static_cast<double>(files);
        s.counters["every_tick_once"] = intact ? 1 : 0;
        s.counters["peak_MiB"] = static_cast<double>(peak - baseline) / (1 << 20);
        s.counters["cache_bound_MiB"] = bound / (1 << 20);
        session.reset();
        CCommunicater::Destroy();
    }
    unsetenv("CHRONOSCOPE_SIM_SPEED");
    unsetenv("CHRONOSCOPE_SIMULATOR");
}
BENCHMARK(BM_DayAtOneMillisecond)->Unit(benchmark::kSecond)->Iterations(1);

} // namespace
