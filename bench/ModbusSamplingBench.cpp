// Sustained sampling over real Modbus links to the PLC simulator, polled by this computer or sampled
// in the controller's trace block: loopback TCP at 1, 2 and 5 ms with six channels, and RTU at
// 115200 baud over a pseudo-terminal pair (polled at 5 and 10 ms; traced for a minute at 2 ms with
// six INT channels and at 1 ms with three). Reported: the achieved period, ticks skipped, ticks
// filed at another time than the controller's (D10), how late polls started, and the traffic:
// requests a second, records (samples) per request and bytes on the wire per sample.
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

// Six channels in four tables (four requests a tick when polled), six registers (one request),
// and INT registers only; D10 first in each.
const std::vector<tagOscilloElem> kMixedChannels{
    {"D10", 0, GCM_DINT, 0}, {"D0", 0, GCM_INT, 0},  {"D1", 0, GCM_INT, 0},
    {"M1", 0, GCM_BOOL, 0},  {"X3", 0, GCM_BOOL, 0}, {"AXIS0", 17, GCM_DINT, 0},
};
const std::vector<tagOscilloElem> kRegisterChannels{
    {"D10", 0, GCM_DINT, 0}, {"D0", 0, GCM_INT, 0},   {"D1", 0, GCM_INT, 0},
    {"D2", 0, GCM_INT, 0},   {"D20", 0, GCM_REAL, 0}, {"D100", 0, GCM_INT, 0},
};
std::vector<tagOscilloElem> IntChannels(size_t count) {
    std::vector<tagOscilloElem> channels;
    for (const char* name : {"D10", "D0", "D1", "D2", "D100", "D101"}) {
        if (channels.size() < count) {
            channels.push_back({name, 0, GCM_INT, 0});
        }
    }
    return channels;
}

// A panel for a server with or without the trace block.
std::shared_ptr<CSimulatorPanel> Panel(bool traced) {
    auto panel = std::make_shared<CSimulatorPanel>();
    panel->traceBlock = traced;
    return panel;
}

void Sample(benchmark::State& state, CModbusLink& link, const CSimulatorPanel& panel,
            const std::vector<tagOscilloElem>& channels, int periodMs, std::chrono::seconds duration) {
    tagOscilloSetting setting;
    setting.channels = channels;
    setting.requestedPeriod = static_cast<uint16_t>(periodMs * 8);
    setting.run = 1;
    if (!link.SetOscillo(OSCILLO_CMD_LOAD, setting) || !link.SetOscillo(OSCILLO_CMD_RUN, setting)) {
        state.SkipWithError(link.LastError().c_str());
        return;
    }
    const uint64_t requestsBefore = panel.requestsAnswered, bytesBefore = panel.bytesIn + panel.bytesOut;
    tagOscilloData data;
    const auto start = std::chrono::steady_clock::now();
    for (auto _ : state) {
        for (const auto end = start + duration; std::chrono::steady_clock::now() < end;) {
            std::this_thread::sleep_for(100ms);
            link.GetOscillo(data);
        }
    }
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    setting.run = 0;
    link.SetOscillo(OSCILLO_CMD_RUN, setting);
    const tagLinkStatistics statistics = link.Statistics();
    const auto samples = static_cast<double>(std::max<size_t>(1, data.samples.size()));
    const auto requests = static_cast<double>(panel.requestsAnswered - requestsBefore);
    // The controller's millisecond (D10) against the tick each sample is filed under.
    size_t misfiled = 0;
    for (const tagOscilloVal& sample : data.samples) {
        const int64_t expected =
            static_cast<int64_t>(data.samples.front().raw[0]) +
            (static_cast<int64_t>(sample.tick) - data.samples.front().tick) * setting.actualPeriod / 8;
        misfiled += static_cast<int16_t>(sample.raw[0]) != static_cast<int16_t>(expected);
    }
    state.counters["actual_period_ms"] = setting.actualPeriod / 8.0;
    state.counters["achieved_period_ms"] = seconds * 1000.0 / samples;
    state.counters["missed_ticks"] = static_cast<double>(statistics.skippedTicks);
    state.counters["missed_percent"] = 100.0 * static_cast<double>(statistics.skippedTicks) /
                                       (static_cast<double>(statistics.skippedTicks) + samples);
    state.counters["misfiled"] = static_cast<double>(misfiled);
    state.counters["overruns"] = static_cast<double>(statistics.ringOverruns);
    state.counters["requests_per_s"] = requests / seconds;
    state.counters["samples_per_request"] = samples / std::max(1.0, requests);
    state.counters["wire_bytes_per_sample"] =
        static_cast<double>(panel.bytesIn + panel.bytesOut - bytesBefore) / samples;
    if (statistics.mode != EnumSamplingMode::SampledInController) {
        state.counters["late_mean_us"] = statistics.meanLateMicros;
        state.counters["late_max_us"] = statistics.maxLateMicros;
        state.counters["poll_mean_us"] = statistics.meanPollMicros;
    }
}

void BM_ModbusTcp(benchmark::State& state) {
    const auto panel = Panel(state.range(2) != 0);
    CModbusSimServer server(panel);
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
    Sample(state, link, *panel, state.range(1) ? kMixedChannels : kRegisterChannels,
           static_cast<int>(state.range(0)), 5s);
}
BENCHMARK(BM_ModbusTcp)
    ->ArgsProduct({{1, 2, 5}, {0, 1}, {0, 1}})
    ->ArgNames({"period_ms", "four_tables", "traced"})
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);

// A pseudo-terminal cable made by socat for as long as the object lives.
class CBenchCable {
public:
    CBenchCable() : m_dir(std::filesystem::temp_directory_path() / "chronoscope-bench-pty") {
        std::filesystem::create_directories(m_dir);
        m_socat = fork();
        if (m_socat == 0) {
            const std::string a = "pty,raw,echo=0,link=" + m_dir + "/ttyS0";
            const std::string b = "pty,raw,echo=0,link=" + m_dir + "/plc";
            execlp("socat", "socat", a.c_str(), b.c_str(), static_cast<char*>(nullptr));
            _exit(127);
        }
        std::this_thread::sleep_for(300ms);
    }
    ~CBenchCable() {
        kill(m_socat, SIGTERM);
        waitpid(m_socat, nullptr, 0);
    }
    const std::string& Dir() const { return m_dir; }

private:
    std::string m_dir;
    pid_t m_socat = -1;
};

void SampleOverRtu(benchmark::State& state, bool traced, const std::vector<tagOscilloElem>& channels,
                   int periodMs, std::chrono::seconds duration) {
    CBenchCable cable;
    const auto panel = Panel(traced);
    CModbusSimServer server(panel);
    std::string error;
    if (!server.OpenRtu(cable.Dir() + "/plc", 115200, 'E', 8, 1, error)) {
        state.SkipWithError(error.c_str());
        return;
    }
    server.Start();
    g_SetSerialDirectory(cable.Dir());
    CModbusLink link;
    tagSerialInfo info;
    info.baudRate = 115200;
    info.parity = 2;
    if (!link.Open(INTERFACE_SERIAL, info)) {
        state.SkipWithError(link.LastError().c_str());
        return;
    }
    Sample(state, link, *panel, channels, periodMs, duration);
}

void BM_ModbusRtu115200Polled(benchmark::State& state) {
    SampleOverRtu(state, false, state.range(1) ? kMixedChannels : kRegisterChannels,
                  static_cast<int>(state.range(0)), 5s);
}
BENCHMARK(BM_ModbusRtu115200Polled)
    ->ArgsProduct({{5, 10}, {0, 1}})
    ->ArgNames({"period_ms", "four_tables"})
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);

// A minute each: six INT channels at 2 ms, three at 1 ms.
void BM_ModbusRtu115200Traced(benchmark::State& state) {
    SampleOverRtu(state, true, IntChannels(static_cast<size_t>(state.range(1))),
                  static_cast<int>(state.range(0)), 60s);
}
BENCHMARK(BM_ModbusRtu115200Traced)
    ->Args({2, 6})
    ->Args({1, 3})
    ->ArgNames({"period_ms", "int_channels"})
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);

} // namespace
