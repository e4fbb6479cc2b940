// chronoscope-plcsim: the simulated controller served over Modbus, to try the real links without
// hardware.
//   chronoscope-plcsim --tcp 127.0.0.1:1502
//   chronoscope-plcsim --rtu /dev/ttyUSB0 --baud 115200 --format 8E1
#include "kit/IntegerText.h"
#include "sim/ModbusSimServer.h"

#include <csignal>
#include <cstdio>
#include <cstring>
#include <string>

namespace {

CModbusSimServer* g_server = nullptr;

void OnSignal(int) {
    if (g_server) {
        g_server->Stop();
    }
}

int Usage() {
    std::fprintf(stderr,
                 "usage: chronoscope-plcsim --tcp ADDRESS:PORT\n"
                 "       chronoscope-plcsim --rtu DEVICE [--baud N] [--format 8N1|8E1|8O1|8N2|...]\n");
    return 2;
}

} // namespace

int main(int argc, char** argv) {
    std::string tcp, rtu, format = "8N1";
    int baud = 19200;
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string option = argv[i];
        if (option == "--tcp") {
            tcp = argv[i + 1];
        } else if (option == "--rtu") {
            rtu = argv[i + 1];
        } else if (option == "--baud") {
            baud = static_cast<int>(g_ParseIntegerIn(argv[i + 1], 50, 4'000'000).value_or(0));
        } else if (option == "--format") {
            format = argv[i + 1];
        } else {
            return Usage();
        }
    }
    CModbusSimServer server;
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
    std::fflush(stdout);
    g_server = &server;
    std::signal(SIGINT, OnSignal);
    std::signal(SIGTERM, OnSignal);
    server.Run();
    return 0;
}
