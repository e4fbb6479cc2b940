// An in-process controller with element memory, a running machine and a sampler, for trying the
// program without hardware and for tests. Chosen with CHRONOSCOPE_SIMULATOR=1.
#pragma once

#include "ElementMemory.h"
#include "LinkBackend.h"

#include <atomic>
#include <chrono>
#include <deque>
#include <mutex>

class CSimulatedController : public CLinkBackend {
public:
    using Clock = std::chrono::steady_clock;

    // Samples kept while nobody reads; older ones are dropped and the ticks show the gap.
    static constexpr size_t kFifoLimit = 1'000'000;

    CSimulatedController();

    bool Open(EnumInterfaceType type, const tagSerialInfo& info) override;
    void Close() override;
    bool IsOpen() const override;
    bool QueryState(uint32_t& state) override;
    int UsbCount() override;
    bool ProbeSerialFormat(int waitMs, std::vector<uint8_t>& reply) override;
    bool SetOscillo(int command, tagOscilloSetting& setting) override;
    bool GetOscillo(tagOscilloData& data) override;
    bool WriteElements(const CSoftAddrMap& request) override;

    // The serial format the controller listens at (default 19200, 8 data bits, 1 stop bit, no parity).
    void SetSerialFormat(uint32_t baud, uint32_t dataBits, uint32_t stopBits, uint32_t parity);
    void SetUsbCount(int count) { m_usbCount = count; }
    // The shortest period (1/8 ms) the controller accepts; shorter requests are raised to it.
    void SetMinimumPeriod(uint16_t period) { m_minPeriod = period; }
    // Whether a failed format probe waits the given time as a real one would (default on).
    void SetProbeWaits(bool wait) { m_probeWaits = wait; }
    // The first byte a probe answers with instead of the description of the controller's own
    // format; -1 for the description.
    void SetFormatReport(int byte) { m_formatReport = byte; }

    // Fault switches.
    void FailNextReads(int count) { m_failReads = count; }
    // Refuses the given oscilloscope command (146, 148), every command with -1, none with 0.
    void RefuseCommand(int command) { m_refusedCommand = command; }
    // Every call waits this long before it answers.
    void SetAnswerDelay(int ms) { m_answerDelayMs = ms; }
    // The controller stops answering altogether (cable pulled).
    void SetOffline(bool offline) { m_offline = offline; }

    // Controller time (ms since power-on) at which the sample with this tick of the current run
    // was taken.
    double MachineTimeOfTick(uint32_t tick) const;
    // What the element holds now, read as the given type (names as in channel lists).
    std::optional<uint32_t> Peek(const std::string& name, EnumGCMDataType type, uint16_t paramCode = 0);

private:
    bool Answers() const;
    void Pause() const;
    void CatchUp(Clock::time_point now);
    int64_t MicrosSincePowerOn(Clock::time_point t) const;
    // The controller's own clock: real time, or CHRONOSCOPE_SIM_SPEED times faster, so that tests
    // and benchmarks record hours in minutes with real ticks and values.
    Clock::time_point Now() const;

    mutable std::mutex m_mutex;
    const Clock::time_point m_powerOn;
    const double m_speed;
    CElementMemory m_memory;

    bool m_open = false;
    EnumInterfaceType m_interface = INTERFACE_SERIAL;
    tagSerialInfo m_port;
    tagSerialInfo m_controllerFormat;
    std::atomic<int> m_usbCount{1};
    std::atomic<bool> m_probeWaits{true};
    std::atomic<int> m_formatReport{-1};
    std::atomic<uint16_t> m_minPeriod{8}; // 1 ms

    std::atomic<int> m_failReads{0};
    std::atomic<int> m_refusedCommand{0};
    std::atomic<int> m_answerDelayMs{0};
    std::atomic<bool> m_offline{false};

    // Sampling.
    std::vector<tagOscilloElem> m_channels;
    std::vector<tagElementRef> m_refs;
    uint16_t m_period = 0; // 1/8 ms
    bool m_running = false;
    Clock::time_point m_runStart;
    int64_t m_runStartMicros = 0; // controller time of tick 0
    uint64_t m_nextTick = 0;
    std::deque<tagOscilloVal> m_fifo;
};
