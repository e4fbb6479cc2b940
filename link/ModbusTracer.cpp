#include "ModbusTracer.h"

#include "ModbusPoller.h"
#include "SamplerThread.h"
#include "kit/Log.h"
#include "plctrace/chronotrace.h"

#include <algorithm>

namespace {

// The block's registers on the device, through the bus.
class CModbusTraceRegisters : public CTraceRegisters {
public:
    CModbusTraceRegisters(CModbusBus& bus, int header) : m_bus(bus), m_header(header) {}
    tagModbusOutcome ReadHeader(uint16_t offset, uint16_t count, uint16_t* words) override {
        return m_bus.Read(MODBUS_HOLDING_REGISTERS, m_header + offset, count, words);
    }
    tagModbusOutcome WriteHeader(uint16_t offset, uint16_t count, const uint16_t* words) override {
        return m_bus.WriteRegisters(m_header + offset, words, count);
    }
    tagModbusOutcome ReadRing(uint32_t offset, uint16_t count, uint16_t* words) override {
        return m_bus.Read(m_ringTable, m_ringAddress + static_cast<int>(offset), count, words);
    }
    void Wait(std::chrono::milliseconds time) override { std::this_thread::sleep_for(time); }
    // Where the header says the ring is.
    bool LearnRing(std::string& error) {
        uint16_t words[4] = {}; // table, address, registers (32 bits)
        if (const tagModbusOutcome read = ReadHeader(CT_H_RING_TABLE, 4, words); !read.ok()) {
            error = m_bus.Where(read.text);
            return false;
        }
        const uint32_t size = static_cast<uint32_t>(words[2]) | (static_cast<uint32_t>(words[3]) << 16);
        if (words[0] > CT_INPUT_REGISTERS || words[0] < CT_HOLDING_REGISTERS ||
            uint64_t{words[1]} + size > 65536) {
            error = m_bus.Where("the trace block's ring lies outside the registers");
            return false;
        }
        m_ringTable = g_TableOfTraceCode(words[0]);
        m_ringAddress = words[1];
        return true;
    }

private:
    CModbusBus& m_bus;
    int m_header;
    EnumModbusTable m_ringTable = MODBUS_INPUT_REGISTERS;
    int m_ringAddress = 0;
};

} // namespace

bool CModbusTracer::Find(std::string& error) {
    Stop();
    if (!m_map.TraceBlock()) {
        return false;
    }
    auto registers = std::make_unique<CModbusTraceRegisters>(m_bus, *m_map.TraceBlock());
    auto client = std::make_unique<CTraceBlockClient>(*registers);
    switch (client->Find(error)) {
    case CTraceBlockClient::EnumFound::Absent:
        return false;
    case CTraceBlockClient::EnumFound::Unsupported:
    case CTraceBlockClient::EnumFound::Unreadable:
        error = m_bus.Where(error);
        return false;
    case CTraceBlockClient::EnumFound::Found:
        break;
    }
    if (!registers->LearnRing(error)) {
        return false;
    }
    m_registers = std::move(registers);
    m_client = std::move(client);
    return true;
}

bool CModbusTracer::Start(const std::vector<tagTraceChannel>& channels, tagPeriod& period,
                          std::string& error) {
    if (!m_client) {
        error = "no trace block";
        return false;
    }
    if (!m_client->Start(m_map, channels, period, error)) {
        error = m_bus.Where(error);
        return false;
    }
    m_queue.Reset();
    m_queue.Count([&](tagLinkStatistics& s) {
        s.mode = EnumSamplingMode::SampledInController;
        s.controllerPeriodMs = std::chrono::duration<double, std::milli>(period).count();
    });
    m_stop = false;
    const auto slot = std::chrono::duration_cast<std::chrono::microseconds>(period);
    g_Log().info("{}: sampled in the controller every {} us", m_bus.Where(), slot.count());
    m_thread = std::thread([this, slot] {
        g_PrepareSamplerThread();
        Loop(slot);
    });
    return true;
}

void CModbusTracer::Loop(std::chrono::microseconds period) {
    using Clock = std::chrono::steady_clock;
    // Seldom enough to leave the line (and the controller) free: a look when nearly a full read of
    // records waits, at most every 20 ms; often enough that the ring holds four looks' worth.
    const auto fill = period * static_cast<int64_t>(m_client->RecordsPerRead()) * 4 / 5;
    const auto quarterRing = period * static_cast<int64_t>(m_client->Capacity()) / 4;
    const auto pause = std::clamp<std::chrono::microseconds>(
        std::min(fill, quarterRing), std::chrono::microseconds(1000), std::chrono::microseconds(20000));
    std::optional<Clock::time_point> failingSince;
    std::vector<tagTracedSample> samples;
    while (!m_stop) {
        samples.clear();
        const tagModbusOutcome read = m_client->ReadNew(samples);
        for (const tagTracedSample& traced : samples) {
            m_queue.Push(traced.sample, traced.tick);
        }
        const tagTraceStatistics& traced = m_client->Statistics();
        m_queue.Count([&](tagLinkStatistics& s) {
            s.records = traced.records;
            s.ringOverruns = traced.overruns;
            s.polls += read.ok();
            s.failedPolls += !read.ok();
        });
        if (read.ok()) {
            failingSince.reset();
        } else {
            const Clock::time_point now = Clock::now();
            failingSince = failingSince.value_or(now);
            const auto patience = std::max(m_bus.ResponseTimeout(), CModbusPoller::kLeastPatience);
            if (read.kind == tagModbusOutcome::Ended || now - *failingSince >= patience) {
                g_Log().warn("{}: the trace block cannot be read: {}", m_bus.Where(), read.text);
                m_queue.Fail(m_bus.Where(read.text));
                return;
            }
        }
        std::this_thread::sleep_for(pause);
    }
    // The records read last are given once the header shows they stayed.
    samples.clear();
    if (m_client->ReadNew(samples).ok()) {
        for (const tagTracedSample& traced : samples) {
            m_queue.Push(traced.sample, traced.tick);
        }
    }
}

void CModbusTracer::Stop() {
    m_stop = true;
    if (m_thread.joinable()) {
        m_thread.join();
        m_client->Stop();
        const tagTraceStatistics& traced = m_client->Statistics();
        g_Log().info("{}: the controller's sampling stopped: {} records read, the ring lapped {} times",
                     m_bus.Where(), traced.records, traced.overruns);
    }
}
