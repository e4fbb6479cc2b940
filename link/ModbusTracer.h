// Sampling in the controller over Modbus: the trace block found at the map's place is given the
// channels and the period, and a thread reads its records as they come, filing each sample under
// the controller's own tick. A lost reply costs nothing while the ring holds the records; the
// recording ends only when no valid reply came for the response timeout (at least a second).
#pragma once

#include "ModbusBus.h"
#include "ModbusMap.h"
#include "SampleQueue.h"
#include "TraceBlockClient.h"

#include <atomic>
#include <memory>
#include <thread>

class CModbusTracer {
public:
    CModbusTracer(CModbusBus& bus, const CModbusMap& map, CSampleQueue& queue)
        : m_bus(bus), m_map(map), m_queue(queue) {}
    ~CModbusTracer() { Stop(); }
    CModbusTracer(const CModbusTracer&) = delete;
    CModbusTracer& operator=(const CModbusTracer&) = delete;

    // Whether the device has a trace block this program speaks (why not, when its version is
    // another); false without error when it has none.
    bool Find(std::string& error);
    bool Start(const std::vector<tagTraceChannel>& channels, tagPeriod& period, std::string& error);
    // Takes the last records in and stops the controller's sampling.
    void Stop();

private:
    void Loop(std::chrono::microseconds period);

    CModbusBus& m_bus;
    const CModbusMap& m_map;
    CSampleQueue& m_queue;
    std::unique_ptr<CTraceRegisters> m_registers;
    std::unique_ptr<CTraceBlockClient> m_client;
    std::thread m_thread;
    std::atomic<bool> m_stop{false};
};
