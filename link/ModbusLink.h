// The real transports: Modbus RTU on a serial or USB serial device and Modbus TCP. A sampler
// thread polls the configured elements at the period against absolute deadlines and queues samples
// with their tick; a poll that overruns its slot skips the missed ticks. A lost or spoilt reply
// costs its ticks, not the recording: that ends only when no valid reply came for the response
// timeout (at least a second) after a failure. A read the device refuses for an address of its map
// that is missing is split, down to single elements, and the working split kept.
#pragma once

#include "LinkBackend.h"
#include "ModbusMap.h"
#include "ModbusTransport.h"
#include "kit/Period.h"

#include <atomic>
#include <chrono>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

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
    void SetSampleListener(std::function<void()> listener) override;
    Clock::time_point NextSampleDue() const override { return Clock::time_point::max(); }
    bool WriteElements(const CSoftAddrMap& request) override;
    bool ReadElement(const std::string& name, EnumGCMDataType type, uint32_t& raw) override;

    std::string LastError() const override;
    // Skipped ticks and how late polls started against their slots since the run started.
    tagLinkStatistics Statistics() const override;
    // The problem with the map file, if the default map is in force because of one.
    std::string MapError() const override { return m_mapError; }
    uint32_t TcpPortOverride() const override { return m_map.TcpPort(); }

    // Slack the recording is given before a failure ends it.
    static constexpr std::chrono::milliseconds kLeastPatience{1000};

private:
    struct tagPollGroup {
        EnumModbusTable table;
        int start;
        int count;
        std::vector<size_t> members; // channels read by it
    };
    struct tagChannelPlan {
        size_t group;
        tagModbusAddress at;
        EnumGCMDataType type;
        std::string name;
    };

    // One sample of every channel; a refused read of many elements is split first.
    tagModbusOutcome Poll(tagOscilloVal& sample);
    tagModbusOutcome ReadGroup(const tagPollGroup& group, std::vector<uint16_t>& words);
    // Group g in two halves by its members, each read on its own from now on.
    void SplitGroup(size_t g);
    void StopSampler();
    void SamplerLoop(Clock::time_point start, std::chrono::microseconds period);
    bool Fail(const std::string& what);
    // A timeout in words ("no answer in 0.5 s"); the transport's lock is held.
    tagModbusOutcome Worded(tagModbusOutcome outcome) const;
    // What went wrong, prefixed by the port or address and its settings.
    std::string Where(const std::string& what) const;
    std::chrono::milliseconds Patience() const;

    mutable std::mutex m_io; // one request at a time
    std::unique_ptr<CModbusTransport> m_transport;
    std::string m_where; // "COM1 -> /dev/ttyS0, 19200 8N1" or "192.168.1.10:502"; set by Open
    CModbusMap m_map;
    std::string m_mapError;
    mutable std::mutex m_errorMutex;
    std::string m_lastError;

    std::vector<tagPollGroup> m_groups;
    std::vector<tagChannelPlan> m_plan;
    std::vector<std::vector<uint16_t>> m_buffers;
    tagPeriod m_period{};

    std::thread m_sampler;
    std::atomic<bool> m_stop{false};
    std::atomic<bool> m_failed{false};
    std::atomic<uint64_t> m_missedTicks{0};
    mutable std::mutex m_statsMutex;
    tagLinkStatistics m_statistics;
    std::mutex m_queueMutex;
    std::vector<tagOscilloVal> m_queue;
    std::function<void()> m_listener; // under the queue's lock
};
