// chronoscope-record sampling in the controller over Modbus TCP, as a machine PC would run it:
// chronoscope-plcsim and the recorder as processes of their own, six channels of four types at
// 1 ms for ten minutes (CHRONOSCOPE_BENCH_SECONDS for another length). The CSV it writes is
// checked: every tick once, D10 advancing exactly 1 ms a tick. Reported: samples, ticks missed,
// the recorder's share of a core, and the simulator's traffic per sample.
#include "TempFolder.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

int Seconds() {
    const char* text = std::getenv("CHRONOSCOPE_BENCH_SECONDS");
    const int seconds = text ? std::atoi(text) : 0;
    return seconds > 0 ? seconds : 600;
}

// A program with its standard output in a pipe.
struct tagChild {
    pid_t pid = -1;
    FILE* out = nullptr;
};

tagChild Spawn(const char* program, const std::vector<std::string>& arguments) {
    int pipeFds[2];
    if (pipe(pipeFds) != 0) {
        return {};
    }
    const pid_t pid = fork();
    if (pid == 0) {
        dup2(pipeFds[1], STDOUT_FILENO);
        close(pipeFds[0]);
        std::vector<char*> argv{const_cast<char*>(program)};
        for (const std::string& a : arguments) {
            argv.push_back(const_cast<char*>(a.c_str()));
        }
        argv.push_back(nullptr);
        execv(program, argv.data());
        _exit(127);
    }
    close(pipeFds[1]);
    return {pid, fdopen(pipeFds[0], "r")};
}

std::string Line(FILE* in) {
    char buffer[512];
    return in && std::fgets(buffer, sizeof buffer, in) ? buffer : "";
}

// Every tick once and the controller's millisecond (the first column's value) a tick apart.
struct tagCsvCheck {
    uint64_t rows = 0;
    uint64_t missed = 0;
    uint64_t misfiled = 0;
};

tagCsvCheck CheckCsv(const std::string& path) {
    tagCsvCheck check;
    std::ifstream in(path);
    std::string row;
    std::getline(in, row); // the heading
    long long firstTime = 0, firstMs = 0, lastTime = -1;
    while (std::getline(in, row)) {
        const long long time = std::atoll(row.c_str());
        const long long ms = std::atoll(row.c_str() + row.find(',') + 1);
        if (check.rows == 0) {
            firstTime = time;
            firstMs = ms;
        } else if (time != lastTime + 1) {
            check.missed += static_cast<uint64_t>(time - lastTime - 1);
        }
        check.misfiled += ms - firstMs != time - firstTime;
        lastTime = time;
        ++check.rows;
    }
    return check;
}

void BM_RecorderOverTcpAt1ms(benchmark::State& state) {
    CTempFolder folder;
    tagChild plc = Spawn(CHRONOSCOPE_PLCSIM, {"--tcp", "127.0.0.1:0"});
    const std::string banner = Line(plc.out);
    Line(plc.out); // where the trace block is
    const size_t at = banner.find("(port ");
    if (at == std::string::npos) {
        state.SkipWithError("chronoscope-plcsim did not start");
        return;
    }
    const std::string port = std::to_string(std::atoi(banner.c_str() + at + 6));
    const std::string out = folder.File("run.csv");
    rusage usage{};
    int status = 0;
    for (auto _ : state) {
        const tagChild recorder =
            Spawn(CHRONOSCOPE_RECORD,
                  {"--link", "tcp:127.0.0.1:" + port, "--channels", "D10:DINT,D1,D20:REAL,M3,C200:DINT,X5",
                   "--period", "1", "--duration", std::to_string(Seconds()) + "s", "--out", out});
        wait4(recorder.pid, &status, 0, &usage);
        if (recorder.out) {
            std::fclose(recorder.out);
        }
    }
    kill(plc.pid, SIGTERM);
    const std::string traffic = Line(plc.out); // "N requests answered, X bytes in, Y bytes out"
    waitpid(plc.pid, nullptr, 0);
    std::fclose(plc.out);
    const tagCsvCheck check = CheckCsv(out);
    const double cpu = static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
                       static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
    const size_t requestsAt = traffic.find(": ") + 2;
    const double requests = std::atof(traffic.c_str() + requestsAt);
    const double bytesIn = std::atof(traffic.c_str() + traffic.find("answered, ") + 10);
    const double bytesOut = std::atof(traffic.c_str() + traffic.find("in, ") + 4);
    const auto rows = static_cast<double>(std::max<uint64_t>(check.rows, 1));
    state.counters["exit_code"] = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    state.counters["samples"] = static_cast<double>(check.rows);
    state.counters["missed_ticks"] = static_cast<double>(check.missed);
    state.counters["misfiled"] = static_cast<double>(check.misfiled);
    state.counters["recorder_core_percent"] = 100.0 * cpu / Seconds();
    state.counters["samples_per_request"] = rows / std::max(requests, 1.0);
    state.counters["wire_bytes_per_sample"] = (bytesIn + bytesOut) / rows;
}
BENCHMARK(BM_RecorderOverTcpAt1ms)->Iterations(1)->Unit(benchmark::kSecond);

} // namespace
