// The real transports: Modbus RTU on a serial or USB serial device and Modbus TCP, with the
// element map. The recording's samples are taken by the controller where it has a trace block at
// the map's place (ModbusTracer.h), else polled by this computer (ModbusPoller.h), timed by the
// controller's millisecond counter when the map names one.
#pragma once

#include "LinkBackend.h"
#include "ModbusBus.h"
#include "ModbusMap.h"
#include "ModbusPoller.h"
#include "ModbusTracer.h"
#include "SampleQueue.h"
#include "kit/Period.h"

#include <chrono>
#include <mutex>
#include <string>
#include <vector>

class CModbusLink : public CLinkBackend {
public:
    using Clock = std::chrono::steady_clock;

    CModbusLink();
    ~CModbusLink() override;

    bool Open(EnumInterfaceType type, const tagSerialInfo& info) override;
    void Close() override;
    bool IsOpen() const override { return m_bus.IsOpen(); }
    bool QueryState(uint32_t& state) override;
    int UsbCount() override;
    bool ProbeSerialFormat(int waitMs, std::vector<uint8_t>& reply) override;
    bool SetOscillo(int command, tagOscilloSetting& setting) override;
    bool GetOscillo(tagOscilloData& data) override;
    void SetSampleListener(std::function<void()> listener) override {
        m_queue.SetListener(std::move(listener));
    }
    Clock::time_point NextSampleDue() const override { return Clock::time_point::max(); }
    bool WriteElements(const CSoftAddrMap& request) override;
    bool ReadElement(const std::string& name, EnumGCMDataType type, uint32_t& raw) override;

    std::string LastError() const override;
    // Skipped ticks and how late polls started against their slots since the run started.
    tagLinkStatistics Statistics() const override { return m_queue.Statistics(); }
    // The problem with the map file, if the default map is in force because of one.
    std::string MapError() const override { return m_mapError; }
    uint32_t TcpPortOverride() const override { return m_map.TcpPort(); }

    static constexpr std::chrono::milliseconds kLeastPatience = CModbusPoller::kLeastPatience;

private:
    bool Fail(const std::string& what);
    bool Run(tagOscilloSetting& setting);
    bool WriteElement(const tagSoftAddr& entry);

    CModbusMap m_map;
    std::string m_mapError;
    CModbusBus m_bus;
    CSampleQueue m_queue;
    CModbusPoller m_poller{m_bus, m_map, m_queue};
    CModbusTracer m_tracer{m_bus, m_map, m_queue};
    // The channels as the trace block takes them.
    std::vector<tagTraceChannel> m_traceChannels;
    tagPeriod m_period{};
    mutable std::mutex m_errorMutex;
    std::string m_lastError;
};
