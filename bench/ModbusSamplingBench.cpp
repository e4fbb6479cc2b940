// Sustained sampling of six channels over real Modbus links to the PLC simulator: loopback TCP at
// 1, 2 and 5 ms, and RTU at 115200 baud over a pseudo-terminal pair. Reported: the achieved period,
// ticks skipped by overrunning polls, and how late polls started against their slots.
#include "link/ModbusLink.h"
#include "link/SerialDevices.h"
#include "sim/ModbusSimServer.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace {

using namespace std::chrono_literals;

// Six channels in four tables (four requests a tick), and six registers (one request).
const std::vector<tagOscilloElem> kMixedChannels{
    {"D0", 0, GCM_INT, 0},  {"D1", 0, GCM_INT, 0},  {"D10", 0, GCM_DINT, 0},
    {"M1", 0, GCM_BOOL, 0}, {"X3", 0, GCM_BOOL, 0}, {"AXIS0", 17, GCM_DINT, 0},
};
const std::vector<tagOscilloElem> kRegisterChannels{
    {"D0", 0, GCM_INT, 0}, {"D1", 0, GCM_INT, 0},   {"D10", 0, GCM_DINT, 0},
    {"D2", 0, GCM_INT, 0}, {"D20", 0, GCM_REAL, 0}, {"D100", 0, GCM_INT, 0},
};

void Sample(benchmark::State& state, CModbusLink& link, int periodMs) {
    tagOscilloSetting setting;
    setting.channels = state.range(1) ? kMixedChannels : kRegisterChannels;
    setting.requestedPeriod = static_cast<uint16_t>(periodMs * 8);
    setting.run = 1;
    if (!link.SetOscillo(OSCILLO_CMD_LOAD, setting) || !link.SetOscillo(OSCILLO_CMD_RUN, setting)) {
        state.SkipWithError(link.LastError().c_str());
        return;
    }
    tagOscilloData data;
    const auto start = std::chrono::steady_clock::now();
    for (auto _ : state) {
        std::this_thread::sleep_for(3s);
        link.GetOscillo(data);
    }
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    setting.run = 0;
    link.SetOscillo(OSCILLO_CMD_RUN, setting);
    const tagLinkStatistics statistics = link.Statistics();
    state.counters["actual_period_ms"] = setting.actualPeriod / 8.0;
    state.counters["achieved_period_ms"] = data.samples.empty() ? 0 : seconds * 1000.0 / data.samples.size();
    state.counters["missed_ticks"] = static_cast<double>(statistics.skippedTicks);
    state.counters["missed_percent"] =
        100.0 * static_cast<double>(statistics.skippedTicks) /
        static_cast<double>(std::max<uint64_t>(1, statistics.skippedTicks + data.samples.size()));
    state.counters["late_mean_us"] = statistics.meanLateMicros;
    state.counters["late_max_us"] = statistics.maxLateMicros;
    state.counters["poll_mean_us"] = statistics.meanPollMicros;
    state.counters["poll_max_us"] = statistics.maxPollMicros;
}

void BM_ModbusTcp(benchmark::State& state) {
    CModbusSimServer server;
    std::string error;
    if (!server.ListenTcp("127.0.0.1", 0, error)) {
        state.SkipWithError(error.c_str());
        return;
    }
    server.Start();
    CModbusLink link;
    tagSerialInfo info;
    info.ipAddress = 0x0100007F;
    info.tcpPort = static_cast<uint32_t>(server.Port());
    if (!link.Open(INTERFACE_ETHERNET, info)) {
        state.SkipWithError(link.LastError().c_str());
        return;
    }
    Sample(state, link, static_cast<int>(state.range(0)));
}
BENCHMARK(BM_ModbusTcp)
    ->ArgsProduct({{1, 2, 5}, {0, 1}})
    ->ArgNames({"period_ms", "four_tables"})
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);

void BM_ModbusRtu115200(benchmark::State& state) {
    const std::string dir = std::filesystem::temp_directory_path() / "chronoscope-bench-pty";
    std::filesystem::create_directories(dir);
    const pid_t socat = fork();
    if (socat == 0) {
        const std::string a = "pty,raw,echo=0,link=" + dir + "/ttyS0";
        const std::string b = "pty,raw,echo=0,link=" + dir + "/plc";
        execlp("socat", "socat", a.c_str(), b.c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
    std::this_thread::sleep_for(300ms);
    {
        CModbusSimServer server;
        std::string error;
        if (!server.OpenRtu(dir + "/plc", 115200, 'E', 8, 1, error)) {
            state.SkipWithError(error.c_str());
        } else {
            server.Start();
            g_SetSerialDirectory(dir);
            CModbusLink link;
            tagSerialInfo info;
            info.baudRate = 115200;
            info.parity = 2;
            if (!link.Open(INTERFACE_SERIAL, info)) {
                state.SkipWithError(link.LastError().c_str());
            } else {
                Sample(state, link, static_cast<int>(state.range(0)));
            }
        }
    }
    kill(socat, SIGTERM);
    waitpid(socat, nullptr, 0);
}
BENCHMARK(BM_ModbusRtu115200)
    ->ArgsProduct({{5, 10}, {0, 1}})
    ->ArgNames({"period_ms", "four_tables"})
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);

} // namespace
