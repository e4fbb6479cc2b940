// An in-process controller with element memory, a running machine and a sampler, for trying the
// program without hardware and for tests. Its panel sets it up and switches its faults.
#pragma once

#include "ElementMemory.h"
#include "SimulatorPanel.h"
#include "kit/ProgramOptions.h"
#include "link/LinkBackend.h"

#include <chrono>
#include <deque>
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

    // Samples kept while nobody reads; older ones are dropped and the ticks show the gap.
    static constexpr size_t kFifoLimit = 1'000'000;

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

private:
    bool Answers() const;
    void Pause() const;
    void CatchUp(Clock::time_point now);
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

    // Sampling.
    std::vector<tagOscilloElem> m_channels;
    std::vector<tagElementRef> m_refs;
    tagPeriod m_period{};
    bool m_running = false;
    Clock::time_point m_runStart;
    int64_t m_runStartMicros = 0; // controller time of tick 0
    uint64_t m_nextTick = 0;
    std::deque<tagOscilloVal> m_fifo;
};

// The device link as the program's options choose it: the simulated controller at its speed, or the
// real transports with their serial devices in the options' folder.
void g_InstallLink(const tagProgramOptions& options);
