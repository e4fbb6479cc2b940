// An in-process controller with element memory, a running machine and a sampler, for trying the
// program without hardware and for tests. Its panel sets it up and switches its faults.
#pragma once

#include "ElementMemory.h"
#include "SimTraceBlock.h"
#include "SimulatorPanel.h"
#include "kit/ProgramOptions.h"
#include "link/LinkBackend.h"

#include <chrono>
#include <memory>
#include <mutex>

struct tagSimulatorOptions {
    // The controller's clock runs this many times faster than real time (1 to 10000), ticks and
    // values exact, so that hours are recorded in minutes.
    double speed = 1.0;
    // Shared with whoever drives the controller; one of its own when none is given.
    std::shared_ptr<CSimulatorPanel> panel;
};

class CSimulatedController : public CLinkBackend {
public:
    using Clock = std::chrono::steady_clock;

    // Registers of the trace block's ring: with the widest records, over four minutes at 1 ms.
    static constexpr uint32_t kRingWords = 1u << 22;

    explicit CSimulatedController(const tagSimulatorOptions& options = {});

    bool Open(EnumInterfaceType type, const tagSerialInfo& info) override;
    void Close() override;
    bool IsOpen() const override;
    bool QueryState(uint32_t& state) override;
    int UsbCount() override;
    bool ProbeSerialFormat(int waitMs, std::vector<uint8_t>& reply) override;
    bool SetOscillo(int command, tagOscilloSetting& setting) override;
    bool GetOscillo(tagOscilloData& data) override;
    // The time of the next tick: samples are taken when they are read.
    Clock::time_point NextSampleDue() const override;
    bool WriteElements(const CSoftAddrMap& request) override;
    bool ReadElement(const std::string& name, EnumGCMDataType type, uint32_t& raw) override;
    std::string LastError() const override;
    // The controller samples in its own trace block: its records read and ring overruns.
    tagLinkStatistics Statistics() const override;

private:
    bool Answers() const;
    void Pause() const;
    // The controller's clock on to now: the sampling task's ticks, or the machine between runs.
    void CatchUp(Clock::time_point now);
    bool StartRun(tagOscilloSetting& setting);
    void StopRun();
    int64_t MicrosSincePowerOn(Clock::time_point t) const;
    // The controller's own clock: real time, or the speed times faster.
    Clock::time_point Now() const;
    bool Fail(const std::string& why);
    // The port or address and the settings the controller is reached at, for messages.
    std::string Where() const;

    mutable std::mutex m_mutex;
    const Clock::time_point m_powerOn;
    const double m_speed;
    const std::shared_ptr<CSimulatorPanel> m_panel;
    CElementMemory m_memory;
    std::string m_lastError;

    bool m_open = false;
    EnumInterfaceType m_interface = INTERFACE_SERIAL;
    tagSerialInfo m_port;

    // Sampling: the controller's own trace block, read as the computer reads one over Modbus.
    CModbusMap m_map; // the default one
    std::vector<tagTraceChannel> m_channels;
    tagPeriod m_period{};
    CSimTraceBlock m_trace;
    CSimTraceRegisters m_registers;
    CTraceBlockClient m_client{m_registers};
    bool m_running = false;
};

// The device link as the program's options choose it: the simulated controller at its speed, or the
// real transports with their serial devices in the options' folder.
void g_InstallLink(const tagProgramOptions& options);
