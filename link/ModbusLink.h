// The real transports: Modbus RTU on a serial or USB serial device and Modbus TCP, through
// libmodbus. A sampler thread polls the configured elements at the period against a monotonic
// clock and queues samples with their tick; a poll that overruns its slot skips the missed ticks.
#pragma once

#include "LinkBackend.h"
#include "ModbusMap.h"

#include <atomic>
#include <chrono>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

struct _modbus;

class CModbusLink : public CLinkBackend {
public:
    using Clock = std::chrono::steady_clock;

    CModbusLink();
    ~CModbusLink() override;

    bool Open(EnumInterfaceType type, const tagSerialInfo& info) override;
    void Close() override;
    bool IsOpen() const override;
    bool QueryState(uint32_t& state) override;
    int UsbCount() override;
    bool ProbeSerialFormat(int waitMs, std::vector<uint8_t>& reply) override;
    bool SetOscillo(int command, tagOscilloSetting& setting) override;
    bool GetOscillo(tagOscilloData& data) override;
    bool WriteElements(const CSoftAddrMap& request) override;

    std::string LastError() const override;
    // Skipped ticks and how late polls started against their slots since the run started.
    tagLinkStatistics Statistics() const override;
    // The problem with the map file, if the default map is in force because of one.
    const std::string& MapError() const { return m_mapError; }

private:
    struct tagPollGroup {
        EnumModbusTable table;
        int start;
        int count;
    };
    struct tagChannelPlan {
        size_t group;
        tagModbusAddress at;
        EnumGCMDataType type;
    };

    bool Poll(tagOscilloVal& sample);
    bool ReadGroup(const tagPollGroup& group, std::vector<uint16_t>& words);
    void StopSampler();
    void SamplerLoop(Clock::time_point start, uint64_t periodMicros);
    bool Fail(const std::string& what);

    mutable std::mutex m_io; // the libmodbus context is not thread safe
    _modbus* m_ctx = nullptr;
    CModbusMap m_map;
    std::string m_mapError;
    mutable std::mutex m_errorMutex;
    std::string m_lastError;

    std::vector<tagPollGroup> m_groups;
    std::vector<tagChannelPlan> m_plan;
    std::vector<std::vector<uint16_t>> m_buffers;
    uint16_t m_period = 0;

    std::thread m_sampler;
    std::atomic<bool> m_stop{false};
    std::atomic<bool> m_failed{false};
    std::atomic<uint64_t> m_missedTicks{0};
    mutable std::mutex m_statsMutex;
    tagLinkStatistics m_statistics;
    std::mutex m_queueMutex;
    std::vector<tagOscilloVal> m_queue;
};
