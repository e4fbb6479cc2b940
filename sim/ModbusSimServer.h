// A PLC simulator on the wire: the simulated controller's machine and element memory served as a
// Modbus TCP or RTU slave with the default element map, and its trace block (header at the map's
// place, ring in input registers from kRingAddress). Its panel delays or spoils its replies, or
// holds them to the end of a scan.
#pragma once

#include "ElementMemory.h"
#include "SimTraceBlock.h"
#include "SimulatorPanel.h"
#include "link/ModbusMap.h"

#include <atomic>
#include <chrono>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

struct _modbus;
struct _modbus_mapping_t;

class CModbusSimServer {
public:
    static constexpr uint16_t kRingAddress = 4096;
    static constexpr uint32_t kRingWords = 16384;

    explicit CModbusSimServer(std::shared_ptr<CSimulatorPanel> panel = {});
    ~CModbusSimServer();
    CModbusSimServer(const CModbusSimServer&) = delete;
    CModbusSimServer& operator=(const CModbusSimServer&) = delete;

    // Port 0 picks a free port; Port() tells which.
    bool ListenTcp(const std::string& address, int port, std::string& error);
    bool OpenRtu(const std::string& device, int baud, char parity, int dataBits, int stopBits,
                 std::string& error);
    int Port() const { return m_port; }

    // Serves on a thread until Stop.
    void Start();
    // Serves on the calling thread until Stop (from another thread or a signal handler flag).
    void Run();
    void Stop();

    // Answers the complete Modbus TCP frames at the front of a connection's bytes on fd and drops
    // them, keeping an unfinished frame; false when the connection must close. Needs ListenTcp.
    bool AnswerFrames(int fd, std::vector<uint8_t>& pending);

private:
    void ServeTcp();
    void ServeRtu();
    // Answers one TCP request cut to the length its function gives.
    bool AnswerTcpRequest(uint8_t* query, int length);
    // The exception a request's counts or addresses call for, or 0.
    static int RequestFault(const uint8_t* pdu);
    // Answers one request (or misbehaves); false when the peer is gone.
    bool Answer(const uint8_t* query, int length);
    // A reply of sent bytes (negative: it failed) in the panel's traffic; whether it went out.
    bool Counted(int sent);
    void ExportRange(int function, int start, int count);
    void ImportRange(int function, int start, int count);
    // The trace block's registers: read over the element map's, and the exception a write into
    // them calls for (0 when it may go in, or touches none of them).
    void ExportTraceRange(EnumModbusTable table, int start, int count);
    int TraceWriteFault(int function, int start, int count) const;
    void ImportTraceRange(int function, int start, int count);
    // With a scan time, waits for the end of the scan the request came in; the controller time
    // (µs since the server started) the request is answered at.
    int64_t AnswerTime();

    std::chrono::steady_clock::time_point m_start;
    std::chrono::steady_clock::time_point m_receivedAt; // of the request being answered
    std::mutex m_memoryMutex;
    CElementMemory m_memory;
    CModbusMap m_map;
    std::unique_ptr<CSimTraceBlock> m_trace;
    _modbus* m_ctx = nullptr;
    _modbus_mapping_t* m_mapping = nullptr;
    bool m_tcp = true;
    int m_listenSocket = -1;
    int m_port = 0;
    std::atomic<bool> m_stop{false};
    const std::shared_ptr<CSimulatorPanel> m_panel;
    std::thread m_thread;
};
