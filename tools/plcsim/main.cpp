// chronoscope-plcsim: the simulated controller served over Modbus, to try the real links without
// hardware, and to misbehave as plant devices do.
//   chronoscope-plcsim --tcp 127.0.0.1:1502
//   chronoscope-plcsim --rtu /dev/ttyUSB0 --baud 115200 --format 8E1
//   chronoscope-plcsim --tcp 127.0.0.1:1502 --hole 60-67 --delay-ms 1500 --freeze-ms 3000
//   chronoscope-plcsim --tcp 127.0.0.1:1502 --scan-ms 5 --no-trace-block
// SIGUSR1 delays the next reply by the --delay-ms; SIGUSR2 freezes the device for --freeze-ms, after
// which the requests that came meanwhile are answered late.
#include "kit/NumberText.h"
#include "sim/ModbusSimServer.h"
#include "sim/SimulatorPanel.h"

#include <csignal>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>

namespace {

CModbusSimServer* g_server = nullptr;
CSimulatorPanel* g_panel = nullptr;
int g_delayMs = 1500;
int g_freezeMs = 3000;

void OnSignal(int) {
    if (g_server) {
        g_server->Stop();
    }
}

// Lock-free atomics only: safe in a signal handler.
void OnDelay(int) {
    g_panel->pauseNextReplyMs = g_delayMs;
}
void OnFreeze(int) {
    g_panel->pauseNextReplyMs = g_freezeMs;
}

int Usage() {
    std::fprintf(stderr,
                 "usage: chronoscope-plcsim --tcp ADDRESS:PORT [faults]\n"
                 "       chronoscope-plcsim --rtu DEVICE [--baud N] [--format 8N1|8E1|8O1|8N2|...] [faults]\n"
                 "faults: --hole FIRST-LAST   holding registers that answer exception 2\n"
                 "        --delay-ms N        what SIGUSR1 delays the next reply by (1500)\n"
                 "        --freeze-ms N       how long SIGUSR2 freezes the device (3000)\n"
                 "        --scan-ms N         answer requests only at the end of each N ms scan\n"
                 "        --no-trace-block    no trace block: the computer has to poll\n");
    return 2;
}

// What the command line asks for.
struct tagOptions {
    std::string tcp, rtu, format = "8N1";
    int baud = 19200;
};

// Reads the options into options and panel; false on anything it does not know.
bool ReadOptions(int argc, char** argv, tagOptions& options, CSimulatorPanel& panel) {
    for (int i = 1; i < argc; i += 2) {
        const std::string option = argv[i];
        if (option == "--no-trace-block") {
            panel.traceBlock = false;
            --i; // a switch without a value
            continue;
        }
        if (i + 1 == argc) {
            return false;
        }
        const std::string value = argv[i + 1];
        if (option == "--tcp") {
            options.tcp = value;
        } else if (option == "--rtu") {
            options.rtu = value;
        } else if (option == "--baud") {
            options.baud = static_cast<int>(g_ParseIntegerIn(value, 50, 4'000'000).value_or(0));
        } else if (option == "--format") {
            options.format = value;
        } else if (option == "--hole") {
            const size_t dash = value.find('-');
            const auto first = g_ParseIntegerIn(value.substr(0, dash), 0, 65535);
            const auto last =
                dash == std::string::npos ? first : g_ParseIntegerIn(value.substr(dash + 1), 0, 65535);
            if (!first || !last || *last < *first) {
                return false;
            }
            panel.holeFirst = static_cast<int>(*first);
            panel.holeLast = static_cast<int>(*last);
        } else if (option == "--delay-ms" || option == "--freeze-ms" || option == "--scan-ms") {
            const auto ms = g_ParseIntegerIn(value, 1, option == "--scan-ms" ? 1000 : 600000);
            if (!ms) {
                return false;
            }
            if (option == "--scan-ms") {
                panel.scanMs = static_cast<int>(*ms);
            } else {
                (option == "--delay-ms" ? g_delayMs : g_freezeMs) = static_cast<int>(*ms);
            }
        } else {
            return false;
        }
    }
    return true;
}

// Opens the TCP port or the serial device and says where; the exit code on failure (2 for
// options that do not fit), 0 when open.
int Open(const tagOptions& options, CModbusSimServer& server) {
    std::string error;
    if (!options.tcp.empty()) {
        const size_t colon = options.tcp.rfind(':');
        const auto port = colon == std::string::npos
                              ? std::nullopt
                              : g_ParseIntegerIn(options.tcp.substr(colon + 1), 0, 65535);
        if (!port) {
            return Usage();
        }
        if (!server.ListenTcp(options.tcp.substr(0, colon), static_cast<int>(*port), error)) {
            std::fprintf(stderr, "chronoscope-plcsim: cannot listen on %s: %s\n", options.tcp.c_str(),
                         error.c_str());
            return 1;
        }
        std::printf("chronoscope-plcsim: Modbus TCP on %s (port %d)\n", options.tcp.c_str(), server.Port());
        return 0;
    }
    const std::string& format = options.format;
    if (options.rtu.empty() || options.baud == 0 || format.size() != 3 || !std::strchr("78", format[0]) ||
        !std::strchr("NEO", format[1]) || !std::strchr("12", format[2])) {
        return Usage();
    }
    if (!server.OpenRtu(options.rtu, options.baud, format[1], format[0] - '0', format[2] - '0', error)) {
        std::fprintf(stderr, "chronoscope-plcsim: cannot open %s: %s\n", options.rtu.c_str(), error.c_str());
        return 1;
    }
    std::printf("chronoscope-plcsim: Modbus RTU on %s at %d %s\n", options.rtu.c_str(), options.baud,
                format.c_str());
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    tagOptions options;
    auto panel = std::make_shared<CSimulatorPanel>();
    if (!ReadOptions(argc, argv, options, *panel)) {
        return Usage();
    }
    CModbusSimServer server(panel);
    if (const int failed = Open(options, server)) {
        return failed;
    }
    if (panel->traceBlock) {
        std::printf(
            "chronoscope-plcsim: trace block at holding register %d, its ring at input registers %u to %u\n",
            CModbusMap::kDefaultTraceBlock, CModbusSimServer::kRingAddress,
            CModbusSimServer::kRingAddress + CModbusSimServer::kRingWords - 1);
    }
    if (panel->scanMs > 0) {
        std::printf("chronoscope-plcsim: requests answered at the end of each %d ms scan\n",
                    panel->scanMs.load());
    }
    std::fflush(stdout);
    g_server = &server;
    g_panel = panel.get();
    std::signal(SIGINT, OnSignal);
    std::signal(SIGTERM, OnSignal);
    std::signal(SIGUSR1, OnDelay);
    std::signal(SIGUSR2, OnFreeze);
    server.Run();
    std::printf("chronoscope-plcsim: %llu requests answered, %llu bytes in, %llu bytes out\n",
                static_cast<unsigned long long>(panel->requestsAnswered.load()),
                static_cast<unsigned long long>(panel->bytesIn.load()),
                static_cast<unsigned long long>(panel->bytesOut.load()));
    return 0;
}
