#include "ModbusLink.h"

#include "ElementValue.h"
#include "ModbusRtuClient.h"
#include "ModbusTcpClient.h"
#include "SerialDevices.h"
#include "kit/Log.h"

#include <algorithm>

namespace {

// Probe address for the state query: D0 in the default map.
const tagElementRef kProbeElement{KIND_D, 0, -1, -1, 0};

bool IsBitTable(EnumModbusTable table) {
    return table == MODBUS_COILS || table == MODBUS_DISCRETE_INPUTS;
}

} // namespace

CModbusLink::CModbusLink() {
    std::string error;
    if (!m_map.LoadFile(g_ModbusMapPath(), error)) {
        m_mapError = error;
        g_Log().warn("the Modbus map file is not used: {}", error);
    }
}

CModbusLink::~CModbusLink() {
    Close();
}

bool CModbusLink::Fail(const std::string& what) {
    std::lock_guard lock(m_errorMutex);
    m_lastError = what;
    return false;
}

std::string CModbusLink::LastError() const {
    std::lock_guard lock(m_errorMutex);
    return m_lastError;
}

bool CModbusLink::Open(EnumInterfaceType type, const tagSerialInfo& info) {
    Close();
    std::unique_ptr<CModbusTransport> transport;
    std::string where; // the port or address and the settings, for every message
    if (type == INTERFACE_ETHERNET) {
        // A map file may name the port of devices that listen elsewhere than the dialog's ports.
        const uint32_t port = m_map.TcpPort() ? m_map.TcpPort() : info.tcpPort;
        where = g_IpAddressText(info.ipAddress) + ":" + std::to_string(port);
        transport = std::make_unique<CModbusTcpClient>(g_IpAddressText(info.ipAddress),
                                                       static_cast<int>(port), m_map.Unit());
    } else {
        std::string device;
        std::string port;
        if (type == INTERFACE_USB) {
            const std::vector<std::string> devices = g_UsbSerialDevices();
            if (info.usbPort < devices.size()) {
                device = devices[info.usbPort];
            }
            port = "USB" + std::to_string(info.usbPort);
        } else {
            device = g_SerialDeviceOfComPort(info.comPort);
            port = "COM" + std::to_string(info.comPort);
        }
        if (device.empty()) {
            return Fail(port + ": no serial device for this port");
        }
        where = port + " \u2192 " + device + ", " + g_SerialFormatText(info);
        transport = std::make_unique<CModbusRtuClient>(
            device, static_cast<int>(info.baudRate), g_ParityLetter(info.parity),
            static_cast<int>(info.dataBits), static_cast<int>(info.stopBits), m_map.Unit());
    }
    if (info.timeout > 0) {
        transport->SetResponseTimeout(std::chrono::seconds(info.timeout));
    }
    std::string error;
    return m_bus.Open(std::move(transport), where, error) || Fail(error);
}

void CModbusLink::Close() {
    m_poller.Stop();
    m_tracer.Stop();
    m_bus.Close();
}

bool CModbusLink::QueryState(uint32_t& state) {
    const auto probe = m_map.Locate(kProbeElement, GCM_INT);
    if (!probe) {
        return Fail("the probe element has no address");
    }
    uint16_t word = 0;
    const tagModbusOutcome read = m_bus.Read(probe->table, probe->address, 1, &word);
    if (!read.ok()) {
        return Fail(m_bus.Where(read.text));
    }
    state = 1;
    return true;
}

int CModbusLink::UsbCount() {
    return static_cast<int>(g_UsbSerialDevices().size());
}

bool CModbusLink::ProbeSerialFormat(int waitMs, std::vector<uint8_t>& reply) {
    // Modbus has no report of the slave's own serial format: an answer at all is the result. The
    // wait is the probe's own response timeout, so that a walk through many formats over a silent
    // line takes the sum of the waits and not the link's timeout each time.
    reply.clear();
    if (!m_bus.IsOpen()) {
        return Fail("the link is not open");
    }
    const std::chrono::milliseconds timeout = m_bus.ResponseTimeout();
    if (waitMs > 0) {
        m_bus.SetResponseTimeout(std::chrono::milliseconds(waitMs));
    }
    m_bus.Flush(); // what a probe at another format left on the line
    uint32_t state = 0;
    const bool answered = QueryState(state);
    m_bus.SetResponseTimeout(timeout);
    return answered;
}

bool CModbusLink::SetOscillo(int command, tagOscilloSetting& setting) {
    if (command == OSCILLO_CMD_LOAD) {
        m_poller.Stop();
        m_tracer.Stop();
        if (setting.channels.size() > static_cast<size_t>(kMaxChannels)) {
            return Fail("too many channels");
        }
        std::string error;
        if (!m_poller.Load(setting.channels, error)) {
            return Fail(error);
        }
        m_traceChannels.clear();
        for (const tagOscilloElem& channel : setting.channels) { // the poller's plan found them all
            const auto at =
                m_map.Locate(*g_ResolveElement(channel.name, channel.paramCode, true), channel.dataType);
            m_traceChannels.push_back({*at, channel.dataType, channel.name});
        }
        m_period = std::max(g_PeriodOfEighths(setting.requestedPeriod), tagPeriod(1));
        setting.actualPeriod = g_EighthsOfPeriod(m_period);
        return true;
    }
    if (command != OSCILLO_CMD_RUN) {
        return Fail("unknown command");
    }
    m_poller.Stop();
    m_tracer.Stop();
    return setting.run == 0 || Run(setting);
}

bool CModbusLink::Run(tagOscilloSetting& setting) {
    if (!m_poller.Loaded()) {
        return Fail("no channels loaded");
    }
    std::string error;
    // The controller samples when it has a trace block; one it cannot use is a failure, never a
    // quiet change to polling.
    if (m_tracer.Find(error)) {
        if (!m_tracer.Start(m_traceChannels, m_period, error)) {
            return Fail(error);
        }
        setting.actualPeriod = g_EighthsOfPeriod(m_period);
        return true;
    }
    if (!error.empty()) {
        return Fail(error);
    }
    if (!m_poller.Start(m_period, error)) {
        return Fail(error);
    }
    setting.actualPeriod = g_EighthsOfPeriod(m_period); // a longer one when the link cannot keep up
    return true;
}

bool CModbusLink::GetOscillo(tagOscilloData& data) {
    if (m_queue.Failed()) {
        // Drop the broken connection; the next command opens a fresh one.
        const std::string why = m_queue.Why();
        Close();
        m_queue.Reset();
        return Fail("the controller stopped answering: " + why);
    }
    if (!IsOpen()) {
        return Fail("the link is not open");
    }
    m_queue.TakeInto(data.samples);
    return true;
}

bool CModbusLink::ReadElement(const std::string& name, EnumGCMDataType type, uint32_t& raw) {
    auto ref = g_ResolveElement(name, 0, false);
    auto at = ref ? m_map.Locate(*ref, type) : std::nullopt;
    if (!at) {
        return Fail(name + " has no Modbus address in the map");
    }
    uint16_t words[2] = {};
    const tagModbusOutcome read = m_bus.Read(at->table, at->address, at->count, words);
    if (!read.ok()) {
        return Fail(m_bus.Where(name + ": " + read.text));
    }
    raw = g_RawWord(m_map, *at, words, type);
    return true;
}

bool CModbusLink::WriteElements(const CSoftAddrMap& request) {
    if (request.GetCount() == 0) {
        return Fail("nothing to write");
    }
    for (const auto& [key, entry] : request.GetEntries()) {
        if (!WriteElement(*entry)) {
            return false;
        }
    }
    return true;
}

bool CModbusLink::WriteElement(const tagSoftAddr& entry) {
    auto ref = g_ResolveElement(entry.name, 0, false);
    auto at = ref ? m_map.Locate(*ref, entry.dataType) : std::nullopt;
    if (!at || at->table == MODBUS_DISCRETE_INPUTS || at->table == MODBUS_INPUT_REGISTERS) {
        return Fail(entry.name + " cannot be written");
    }
    const bool bit = IsBitTable(at->table) || at->bit >= 0;
    const tagElementValue value = g_ElementValue(entry.dataType, bit, entry.valueText);
    if (!value.ok) {
        return Fail(entry.name + ": " + value.reason);
    }
    tagModbusOutcome written;
    if (IsBitTable(at->table)) {
        written = m_bus.WriteBit(at->address, value.word != 0);
    } else if (at->bit >= 0) {
        written = m_bus.WriteRegisterBit(at->address, at->bit, value.word != 0);
    } else {
        uint16_t words[2] = {static_cast<uint16_t>(value.word), 0};
        if (at->count == 2) {
            m_map.Split(value.word, words[0], words[1]);
        }
        written = m_bus.WriteRegisters(at->address, words, at->count == 2 ? 2 : 1);
    }
    return written.ok() || Fail(m_bus.Where(entry.name + ": " + written.text));
}
