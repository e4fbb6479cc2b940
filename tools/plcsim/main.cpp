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

} // namespace

int main(int argc, char** argv) {
    std::string tcp, rtu, format = "8N1";
    int baud = 19200;
    auto panel = std::make_shared<CSimulatorPanel>();
    for (int i = 1; i < argc; i += 2) {
        const std::string option = argv[i];
        if (option == "--no-trace-block") {
            panel->traceBlock = false;
            --i; // a switch without a value
            continue;
        }
        if (i + 1 == argc) {
            return Usage();
        }
        if (option == "--tcp") {
            tcp = argv[i + 1];
        } else if (option == "--rtu") {
            rtu = argv[i + 1];
        } else if (option == "--baud") {
            baud = static_cast<int>(g_ParseIntegerIn(argv[i + 1], 50, 4'000'000).value_or(0));
        } else if (option == "--format") {
            format = argv[i + 1];
        } else if (option == "--hole") {
            const std::string range = argv[i + 1];
            const size_t dash = range.find('-');
            const auto first = g_ParseIntegerIn(range.substr(0, dash), 0, 65535);
            const auto last =
                dash == std::string::npos ? first : g_ParseIntegerIn(range.substr(dash + 1), 0, 65535);
            if (!first || !last || *last < *first) {
                return Usage();
            }
            panel->holeFirst = static_cast<int>(*first);
            panel->holeLast = static_cast<int>(*last);
        } else if (option == "--delay-ms" || option == "--freeze-ms") {
            const auto ms = g_ParseIntegerIn(argv[i + 1], 1, 600000);
            if (!ms) {
                return Usage();
            }
            (option == "--delay-ms" ? g_delayMs : g_freezeMs) = static_cast<int>(*ms);
        } else if (option == "--scan-ms") {
            const auto ms = g_ParseIntegerIn(argv[i + 1], 1, 1000);
            if (!ms) {
                return Usage();
            }
            panel->scanMs = static_cast<int>(*ms);
        } else {
            return Usage();
        }
    }
    CModbusSimServer server(panel);
    std::string error;
    if (!tcp.empty()) {
        const size_t colon = tcp.rfind(':');
        if (colon == std::string::npos) {
            return Usage();
        }
        const auto port = g_ParseIntegerIn(tcp.substr(colon + 1), 0, 65535);
        if (!port) {
            return Usage();
        }
        if (!server.ListenTcp(tcp.substr(0, colon), static_cast<int>(*port), error)) {
            std::fprintf(stderr, "chronoscope-plcsim: cannot listen on %s: %s\n", tcp.c_str(), error.c_str());
            return 1;
        }
        std::printf("chronoscope-plcsim: Modbus TCP on %s (port %d)\n", tcp.c_str(), server.Port());
    } else if (!rtu.empty()) {
        if (baud == 0 || format.size() != 3 || !std::strchr("78", format[0]) ||
            !std::strchr("NEO", format[1]) || !std::strchr("12", format[2])) {
            return Usage();
        }
        if (!server.OpenRtu(rtu, baud, format[1], format[0] - '0', format[2] - '0', error)) {
            std::fprintf(stderr, "chronoscope-plcsim: cannot open %s: %s\n", rtu.c_str(), error.c_str());
            return 1;
        }
        std::printf("chronoscope-plcsim: Modbus RTU on %s at %d %s\n", rtu.c_str(), baud, format.c_str());
    } else {
        return Usage();
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
