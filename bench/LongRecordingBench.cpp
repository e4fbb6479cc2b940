// A 24-hour recording at 1 ms with six channels, run to the end by chronoscope-record on the
// simulated controller's fast clock, through cache trimming and automatic saving. This process
// checks every saved file as it comes (consecutive ticks, six equal traces) and deletes it; the
// counters report wall time, the recorder's peak memory against its cache bound, the files and
// the ticks accounted for. The recorder being a process of its own, its peak is its own.
#include "TempFolder.h"
#include "files/DataFile.h"
#include "support/HeadlessTraces.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <sys/resource.h>
#include <sys/statvfs.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

using namespace std::chrono_literals;

constexpr uint32_t kCache = 1'200'000;
constexpr uint64_t kTicks = 24ull * 3600 * 1000;
// One cut per 600 000 ticks; at 400 times real time cuts stay more than a second apart, so no
// file name repeats. CHRONOSCOPE_BENCH_SPEED sets a slower clock (50 takes half an hour): the
// samples that arrive while a cut is saved wait in the hand-over blocks, 400 times more of them
// on the fast clock than in real time, and the peak shows it.
int Speed() {
    const char* text = std::getenv("CHRONOSCOPE_BENCH_SPEED");
    const int speed = text ? std::atoi(text) : 0;
    return speed >= 1 && speed <= 400 ? speed : 400;
}
const std::vector<std::string> kChannels{"--channels", "D0,D1,D2,D10:DINT,D20:REAL,M3", "--period", "1"};

// Runs the recorder; its exit code and peak resident memory.
struct tagRun {
    int exitCode = -1;
    uint64_t peakBytes = 0;
};

tagRun WaitFor(pid_t pid) {
    int status = 0;
    rusage usage{};
    wait4(pid, &status, 0, &usage);
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, static_cast<uint64_t>(usage.ru_maxrss) * 1024};
}

pid_t Start(const std::vector<std::string>& arguments) {
    const pid_t pid = fork();
    if (pid == 0) {
        std::vector<char*> argv{const_cast<char*>(CHRONOSCOPE_RECORD)};
        for (const std::string& a : arguments) {
            argv.push_back(const_cast<char*>(a.c_str()));
        }
        argv.push_back(nullptr);
        execv(CHRONOSCOPE_RECORD, argv.data());
        _exit(127);
    }
    return pid;
}

// Checks the saved files in name (= time) order against the ticks so far, and deletes them.
class CCutChecker {
public:
    void Check(const std::vector<fs::path>& files) {
        for (const fs::path& path : files) {
            tagHeadlessTraces traces;
            tagMonitorState state;
            intact = intact && ReadDataFile(path.string(), state, *traces) == EnumDataFileRead::Read;
            const CTrace& first = traces->Trace(0);
            const uint32_t n = first.GetPointCount();
            intact = intact && n > 0 && first.GetXValue(0) == static_cast<double>(ticks);
            for (uint32_t i = 1; intact && i < n; ++i) {
                intact = first.GetXValue(i) == first.GetXValue(i - 1) + 1.0;
            }
            for (size_t k = 1; k < 6; ++k) {
                intact = intact && traces->Trace(k).GetPointCount() == n;
            }
            ticks += n;
            std::error_code ec;
            fs::remove(path, ec);
        }
    }
    uint64_t ticks = 0;
    bool intact = true;
};

std::vector<fs::path> DataFiles(const std::string& folder, const fs::path& except) {
    std::vector<fs::path> names;
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(folder, ec)) {
        if (entry.path().extension() == ".data" && entry.path() != except) {
            names.push_back(entry.path());
        }
    }
    std::sort(names.begin(), names.end());
    return names;
}

void BM_DayAtOneMillisecond(benchmark::State& s) {
    CTempFolder folder;
    struct statvfs disk {};
    if (statvfs(folder.Path().c_str(), &disk) == 0 &&
        static_cast<uint64_t>(disk.f_bavail) * disk.f_frsize < (2ull << 30)) {
        s.SkipWithError("less than 2 GiB free for the automatic save files");
        return;
    }
    setenv("CHRONOSCOPE_SIM_SPEED", std::to_string(Speed()).c_str(), 1);
    for (auto _ : s) {
        // What the recorder takes with the same channels and nothing recorded worth speaking of.
        std::vector<std::string> idle{"--link", "sim", "--samples", "10", "--out", folder.File("idle.data")};
        idle.insert(idle.end(), kChannels.begin(), kChannels.end());
        const tagRun baseline = WaitFor(Start(idle));
        fs::remove(folder.File("idle.data"));

        const fs::path out = folder.File("day.data");
        std::vector<std::string> day{
            "--link", "sim",       "--cache", std::to_string(kCache), "--samples", std::to_string(kTicks),
            "--out",  out.string()};
        day.insert(day.end(), kChannels.begin(), kChannels.end());
        const auto start = std::chrono::steady_clock::now();
        const pid_t recorder = Start(day);
        CCutChecker checker;
        uint64_t files = 0;
        // A file is complete once a newer one exists; the newest waits for the next round.
        auto running = [recorder] {
            siginfo_t info{};
            return waitid(P_PID, static_cast<id_t>(recorder), &info, WEXITED | WNOHANG | WNOWAIT) == 0 &&
                   info.si_pid == 0;
        };
        while (running()) {
            std::this_thread::sleep_for(200ms);
            std::vector<fs::path> cuts = DataFiles(folder.Path(), out);
            if (cuts.size() > 1) {
                cuts.pop_back();
                files += cuts.size();
                checker.Check(cuts);
            }
        }
        const tagRun run = WaitFor(recorder);
        const double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        const std::vector<fs::path> rest = DataFiles(folder.Path(), out);
        files += rest.size();
        checker.Check(rest);
        checker.Check({out}); // what was still in memory at the end
        const double bound = 6.0 * kCache * 16.0;
        s.counters["wall_s"] = wall;
        s.counters["clock_speed"] = Speed();
        s.counters["exit_code"] = run.exitCode;
        s.counters["ticks"] = static_cast<double>(checker.ticks);
        s.counters["files"] = static_cast<double>(files + 1);
        s.counters["every_tick_once"] = checker.intact && checker.ticks >= kTicks ? 1 : 0;
        s.counters["peak_MiB"] = static_cast<double>(run.peakBytes - baseline.peakBytes) / (1 << 20);
        s.counters["idle_MiB"] = static_cast<double>(baseline.peakBytes) / (1 << 20);
        s.counters["cache_bound_MiB"] = bound / (1 << 20);
    }
    unsetenv("CHRONOSCOPE_SIM_SPEED");
}
BENCHMARK(BM_DayAtOneMillisecond)->Unit(benchmark::kSecond)->Iterations(1);

} // namespace
