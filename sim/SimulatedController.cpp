#include "SimulatedController.h"

#include "SimulatedMachine.h"
#include "kit/KitHelpers.h"
#include "link/Communicater.h"
#include "link/ModbusLink.h"
#include "link/SerialDevices.h"

#include <algorithm>
#include <thread>

namespace {

constexpr uint32_t kStateRun = 1;

} // namespace

CSimulatedController::CSimulatedController(const tagSimulatorOptions& options)
    : m_powerOn(Clock::now()), m_speed(std::clamp(options.speed, 1.0, 10000.0)),
      m_panel(options.panel ? options.panel : std::make_shared<CSimulatorPanel>()),
      m_trace(m_memory, m_map, kRingWords, 0, [this](double ms) { CSimulatedMachine::Apply(ms, m_memory); }),
      m_registers(m_trace, [this] { return MicrosSincePowerOn(Now()); }) {
    for (int axis = 2; axis < kAxisCount; ++axis) {
        m_memory.SetAxis(axis, 16, 0x0250); // switch on disabled
    }
    CSimulatedMachine::Apply(0.0, m_memory);
}

CSimulatedController::Clock::time_point CSimulatedController::Now() const {
    const auto real = Clock::now() - m_powerOn;
    return m_powerOn + std::chrono::duration_cast<Clock::duration>(real * m_speed);
}

int64_t CSimulatedController::MicrosSincePowerOn(Clock::time_point t) const {
    return std::chrono::duration_cast<std::chrono::microseconds>(t - m_powerOn).count();
}

bool CSimulatedController::Fail(const std::string& why) {
    m_lastError = why;
    return false;
}

std::string CSimulatedController::Where() const {
    switch (m_interface) {
    case INTERFACE_ETHERNET:
        return g_IpAddressText(m_port.ipAddress) + ":" + std::to_string(m_port.tcpPort);
    case INTERFACE_USB:
        return "USB" + std::to_string(m_port.usbPort);
    default:
        return "COM" + std::to_string(m_port.comPort) + ", " + g_SerialFormatText(m_port);
    }
}

std::string CSimulatedController::LastError() const {
    std::lock_guard lock(m_mutex);
    return m_lastError;
}

void CSimulatedController::Pause() const {
    const int delay = m_panel->answerDelayMs;
    if (delay > 0) {
        std::this_thread::sleep_for(std::chrono::milliseconds(delay));
    }
}

bool CSimulatedController::Answers() const {
    if (!m_open || m_panel->offline) {
        return false;
    }
    if (m_interface != INTERFACE_SERIAL) {
        return true;
    }
    const CSimulatorPanel& p = *m_panel;
    return m_port.baudRate == p.baudRate && m_port.dataBits == p.dataBits && m_port.stopBits == p.stopBits &&
           m_port.parity == p.parity;
}

bool CSimulatedController::Open(EnumInterfaceType type, const tagSerialInfo& info) {
    std::lock_guard lock(m_mutex);
    m_open = false;
    switch (type) {
    case INTERFACE_SERIAL:
        m_open = info.comPort >= 1;
        break;
    case INTERFACE_ETHERNET:
        m_open = info.ipAddress != 0 && info.tcpPort != 0 && info.tcpPort <= 65535;
        break;
    case INTERFACE_USB:
        m_open = static_cast<int>(info.usbPort) < m_panel->usbCount;
        break;
    }
    m_interface = type;
    m_port = info;
    return m_open;
}

void CSimulatedController::Close() {
    std::lock_guard lock(m_mutex);
    m_open = false;
}

bool CSimulatedController::IsOpen() const {
    std::lock_guard lock(m_mutex);
    return m_open;
}

bool CSimulatedController::QueryState(uint32_t& state) {
    Pause();
    std::lock_guard lock(m_mutex);
    if (!Answers()) {
        return false;
    }
    state = kStateRun;
    return true;
}

int CSimulatedController::UsbCount() {
    return m_panel->usbCount;
}

bool CSimulatedController::ProbeSerialFormat(int waitMs, std::vector<uint8_t>& reply) {
    Pause();
    bool answered = false;
    {
        std::lock_guard lock(m_mutex);
        answered = m_interface == INTERFACE_SERIAL && Answers();
        if (answered) {
            // bit 3 valid, bits 4-5 parity, bit 6 two stop bits, bit 7 eight data bits
            const CSimulatorPanel& p = *m_panel;
            uint8_t format = 0x08 | static_cast<uint8_t>((p.parity & 3u) << 4);
            if (p.stopBits == 2) {
                format |= 0x40;
            }
            if (p.dataBits == 8) {
                format |= 0x80;
            }
            if (p.formatReport >= 0) {
                format = static_cast<uint8_t>(p.formatReport);
            }
            reply.assign({format, 0x00});
        }
    }
    if (!answered && m_panel->probeWaits && waitMs > 0) {
        std::this_thread::sleep_for(std::chrono::milliseconds(waitMs)); // the probe's reply timeout
    }
    return answered;
}

bool CSimulatedController::SetOscillo(int command, tagOscilloSetting& setting) {
    Pause();
    std::lock_guard lock(m_mutex);
    if (!Answers()) {
        return Fail(Where() + ": the controller does not answer");
    }
    if (m_panel->refusedCommand == -1 || m_panel->refusedCommand == command) {
        return Fail("the controller refused the command");
    }
    if (command == OSCILLO_CMD_LOAD) {
        if (setting.channels.size() > static_cast<size_t>(kMaxChannels)) {
            return false;
        }
        std::vector<tagTraceChannel> channels;
        for (const tagOscilloElem& channel : setting.channels) {
            auto ref = g_ResolveElement(channel.name, channel.paramCode, true);
            auto at = ref && m_memory.Read(*ref, channel.dataType) ? m_map.Locate(*ref, channel.dataType)
                                                                   : std::nullopt;
            if (!at) {
                return Fail("the controller has no such element");
            }
            channels.push_back({*at, channel.dataType, channel.name});
        }
        StopRun();
        m_channels = std::move(channels);
        m_period = std::max(g_PeriodOfEighths(setting.requestedPeriod), m_panel->minimumPeriod.load());
        setting.actualPeriod = g_EighthsOfPeriod(m_period);
        return true;
    }
    if (command == OSCILLO_CMD_RUN) {
        StopRun();
        return setting.run == 0 || StartRun(setting);
    }
    return false;
}

bool CSimulatedController::StartRun(tagOscilloSetting& setting) {
    if (m_channels.empty()) {
        return false; // nothing loaded
    }
    std::string error;
    tagPeriod period = m_period;
    if (!m_client.Start(m_map, m_channels, period, error)) {
        return Fail(error);
    }
    setting.actualPeriod = g_EighthsOfPeriod(period);
    m_running = true;
    m_panel->runStartMicros = m_trace.StartMicros();
    m_panel->period = period;
    return true;
}

void CSimulatedController::StopRun() {
    if (m_running) {
        m_client.Stop();
        m_trace.CatchUp(MicrosSincePowerOn(Now()));
        m_running = false;
    }
}

void CSimulatedController::CatchUp(Clock::time_point now) {
    if (m_trace.Running()) {
        m_trace.CatchUp(MicrosSincePowerOn(now));
    } else {
        // The machine runs on between recordings.
        CSimulatedMachine::Apply(static_cast<double>(MicrosSincePowerOn(now)) / 1000.0, m_memory);
    }
}

CSimulatedController::Clock::time_point CSimulatedController::NextSampleDue() const {
    std::lock_guard lock(m_mutex);
    const ct_block& block = const_cast<CSimTraceBlock&>(m_trace).Block();
    if (!m_trace.Running()) {
        return Clock::now();
    }
    // The controller's clock runs speed times faster than the real one.
    const auto controllerTime =
        m_powerOn + std::chrono::microseconds(static_cast<int64_t>(
                        block.start_us + static_cast<uint64_t>(block.next_tick) * block.period_us));
    return m_powerOn + std::chrono::duration_cast<Clock::duration>((controllerTime - m_powerOn) / m_speed);
}

tagLinkStatistics CSimulatedController::Statistics() const {
    std::lock_guard lock(m_mutex);
    tagLinkStatistics statistics;
    const tagTraceStatistics& traced = m_client.Statistics();
    if (traced.period.count() > 0) { // the latest run's, as a link keeps them after it
        statistics.mode = EnumSamplingMode::SampledInController;
        statistics.records = traced.records;
        statistics.ringOverruns = traced.overruns;
        statistics.controllerPeriodMs = std::chrono::duration<double, std::milli>(traced.period).count();
    }
    return statistics;
}

bool CSimulatedController::GetOscillo(tagOscilloData& data) {
    Pause();
    std::lock_guard lock(m_mutex);
    if (m_panel->failReads > 0) {
        --m_panel->failReads;
        return Fail("the read failed");
    }
    if (!Answers()) {
        return Fail(Where() + ": the controller does not answer");
    }
    if (!m_running) {
        return true;
    }
    CatchUp(Now());
    // A read takes what the client's last look at the header showed and looks again; the second
    // takes what that look found, so that every tick sampled up to now is given now.
    std::vector<tagTracedSample> traced;
    for (int i = 0; i < 2; ++i) {
        if (const tagModbusOutcome read = m_client.ReadNew(traced); !read.ok()) {
            return Fail(read.text);
        }
    }
    for (const tagTracedSample& sample : traced) {
        data.samples.push_back(sample.sample);
    }
    return true;
}

bool CSimulatedController::WriteElements(const CSoftAddrMap& request) {
    Pause();
    std::lock_guard lock(m_mutex);
    if (!Answers()) {
        return Fail(Where() + ": the controller does not answer");
    }
    if (request.GetCount() == 0) {
        return Fail("nothing to write");
    }
    // Samples due before the write must still show the old value.
    CatchUp(Now());
    for (const auto& [key, entry] : request.GetEntries()) {
        auto ref = g_ResolveElement(entry->name, 0, false);
        std::string why = "no such element";
        if (!ref || !m_memory.Write(*ref, entry->dataType, entry->valueText, &why)) {
            m_lastError = entry->name + ": " + why;
            return false;
        }
    }
    return true;
}

bool CSimulatedController::ReadElement(const std::string& name, EnumGCMDataType type, uint32_t& raw) {
    Pause();
    std::lock_guard lock(m_mutex);
    if (!Answers()) {
        return Fail(Where() + ": the controller does not answer");
    }
    CatchUp(Now());
    const auto ref = g_ResolveElement(name, 0, false);
    const std::optional<uint32_t> word = ref ? m_memory.Read(*ref, type) : std::nullopt;
    if (!word) {
        m_lastError = name + ": no such element for " + g_DataTypeToStr(type);
        return false;
    }
    raw = *word;
    return true;
}

void g_InstallLink(const tagProgramOptions& options) {
    g_SetSerialDirectory(options.serialFolder);
    if (options.simulator) {
        CCommunicater::Instance(
            std::make_unique<CSimulatedController>(tagSimulatorOptions{options.simulatorSpeed, {}}));
    } else {
        CCommunicater::Instance(std::make_unique<CModbusLink>());
    }
}
