#include "SimulatedController.h"

#include "SimulatedMachine.h"

#include <cstdlib>
#include <thread>

namespace {

constexpr int64_t kMicrosPerPeriodUnit = 125;
constexpr uint32_t kStateRun = 1;

} // namespace

namespace {

double SpeedFromEnvironment() {
    const char* text = std::getenv("CHRONOSCOPE_SIM_SPEED");
    const double speed = text ? std::atof(text) : 1.0;
    return speed >= 1.0 && speed <= 10000.0 ? speed : 1.0;
}

} // namespace

CSimulatedController::CSimulatedController() : m_powerOn(Clock::now()), m_speed(SpeedFromEnvironment()) {
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

void CSimulatedController::Pause() const {
    const int delay = m_answerDelayMs;
    if (delay > 0) {
        std::this_thread::sleep_for(std::chrono::milliseconds(delay));
    }
}

bool CSimulatedController::Answers() const {
    if (!m_open || m_offline) {
        return false;
    }
    if (m_interface != INTERFACE_SERIAL) {
        return true;
    }
    return m_port.baudRate == m_controllerFormat.baudRate && m_port.dataBits == m_controllerFormat.dataBits &&
           m_port.stopBits == m_controllerFormat.stopBits && m_port.parity == m_controllerFormat.parity;
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
        m_open = static_cast<int>(info.usbPort) < m_usbCount;
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
    return m_usbCount;
}

void CSimulatedController::SetSerialFormat(uint32_t baud, uint32_t dataBits, uint32_t stopBits,
                                           uint32_t parity) {
    std::lock_guard lock(m_mutex);
    m_controllerFormat.baudRate = baud;
    m_controllerFormat.dataBits = dataBits;
    m_controllerFormat.stopBits = stopBits;
    m_controllerFormat.parity = parity;
}

bool CSimulatedController::ProbeSerialFormat(int waitMs, std::vector<uint8_t>& reply) {
    Pause();
    bool answered = false;
    {
        std::lock_guard lock(m_mutex);
        answered = m_interface == INTERFACE_SERIAL && Answers();
        if (answered) {
            // bit 3 valid, bits 4-5 parity, bit 6 two stop bits, bit 7 eight data bits
            uint8_t format = 0x08 | static_cast<uint8_t>((m_controllerFormat.parity & 3u) << 4);
            if (m_controllerFormat.stopBits == 2) {
                format |= 0x40;
            }
            if (m_controllerFormat.dataBits == 8) {
                format |= 0x80;
            }
            if (m_formatReport >= 0) {
                format = static_cast<uint8_t>(m_formatReport);
            }
            reply.assign({format, 0x00});
        }
    }
    if (!answered && m_probeWaits && waitMs > 0) {
        std::this_thread::sleep_for(std::chrono::milliseconds(waitMs)); // the probe's reply timeout
    }
    return answered;
}

bool CSimulatedController::SetOscillo(int command, tagOscilloSetting& setting) {
    Pause();
    std::lock_guard lock(m_mutex);
    if (!Answers() || m_refusedCommand == -1 || m_refusedCommand == command) {
        return false;
    }
    if (command == OSCILLO_CMD_LOAD) {
        if (setting.channels.size() > static_cast<size_t>(kMaxChannels)) {
            return false;
        }
        std::vector<tagElementRef> refs;
        for (const tagOscilloElem& channel : setting.channels) {
            auto ref = g_ResolveElement(channel.name, channel.paramCode, true);
            if (!ref || !m_memory.Read(*ref, channel.dataType)) {
                return false;
            }
            refs.push_back(*ref);
        }
        m_running = false;
        m_fifo.clear();
        m_channels = setting.channels;
        m_refs = std::move(refs);
        m_period = std::max<uint16_t>(setting.requestedPeriod, m_minPeriod);
        setting.actualPeriod = m_period;
        return true;
    }
    if (command == OSCILLO_CMD_RUN) {
        if (setting.run == 0) {
            m_running = false;
            m_fifo.clear();
            return true;
        }
        if (m_refs.empty()) {
            return false; // nothing loaded
        }
        setting.actualPeriod = m_period;
        m_running = true;
        m_runStart = Now();
        m_runStartMicros = MicrosSincePowerOn(m_runStart);
        m_nextTick = 0;
        m_fifo.clear();
        return true;
    }
    return false;
}

void CSimulatedController::CatchUp(Clock::time_point now) {
    if (!m_running) {
        // The machine runs on between recordings.
        CSimulatedMachine::Apply(static_cast<double>(MicrosSincePowerOn(now)) / 1000.0, m_memory);
        return;
    }
    const int64_t periodMicros = m_period * kMicrosPerPeriodUnit;
    const int64_t elapsed = std::chrono::duration_cast<std::chrono::microseconds>(now - m_runStart).count();
    const uint64_t due = static_cast<uint64_t>(elapsed / periodMicros); // last tick whose time has come
    if (due + 1 > m_nextTick + kFifoLimit) {
        m_nextTick = due + 1 - kFifoLimit; // an unread backlog beyond the buffer is lost
    }
    for (; m_nextTick <= due; ++m_nextTick) {
        const int64_t micros = m_runStartMicros + static_cast<int64_t>(m_nextTick) * periodMicros;
        CSimulatedMachine::Apply(static_cast<double>(micros) / 1000.0, m_memory);
        tagOscilloVal sample;
        sample.tick = static_cast<uint32_t>(m_nextTick);
        for (size_t k = 0; k < m_refs.size(); ++k) {
            sample.raw[k] = m_memory.Read(m_refs[k], m_channels[k].dataType).value_or(0);
        }
        if (m_fifo.size() == kFifoLimit) {
            m_fifo.pop_front();
        }
        m_fifo.push_back(sample);
    }
}

bool CSimulatedController::GetOscillo(tagOscilloData& data) {
    Pause();
    std::lock_guard lock(m_mutex);
    if (m_failReads > 0) {
        --m_failReads;
        return false;
    }
    if (!Answers()) {
        return false;
    }
    CatchUp(Now());
    data.samples.insert(data.samples.end(), m_fifo.begin(), m_fifo.end());
    m_fifo.clear();
    return true;
}

bool CSimulatedController::WriteElements(const CSoftAddrMap& request) {
    Pause();
    std::lock_guard lock(m_mutex);
    if (!Answers() || request.GetCount() == 0) {
        return false;
    }
    // Samples due before the write must still show the old value.
    CatchUp(Now());
    for (const auto& [key, entry] : request.GetEntries()) {
        auto ref = g_ResolveElement(entry->name, 0, false);
        if (!ref || !m_memory.Write(*ref, entry->dataType, entry->valueText)) {
            return false;
        }
    }
    return true;
}

double CSimulatedController::MachineTimeOfTick(uint32_t tick) const {
    std::lock_guard lock(m_mutex);
    const int64_t micros = m_runStartMicros + static_cast<int64_t>(tick) * m_period * kMicrosPerPeriodUnit;
    return static_cast<double>(micros) / 1000.0;
}

std::optional<uint32_t> CSimulatedController::Peek(const std::string& name, EnumGCMDataType type,
                                                   uint16_t paramCode) {
    std::lock_guard lock(m_mutex);
    CatchUp(Now());
    auto ref = g_ResolveElement(name, paramCode, true);
    return ref ? m_memory.Read(*ref, type) : std::nullopt;
}
