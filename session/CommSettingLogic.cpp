#include "CommSettingLogic.h"

#include "acquisition/StringIds.h"
#include "kit/KitHelpers.h"
#include "kit/NumberText.h"
#include "link/Communicater.h"

#include <algorithm>
#include <cctype>

namespace {

constexpr uint32_t kMainModulePort = 9016;
constexpr uint32_t kEthernetModulePort = 502;
constexpr double kSettleSeconds = 0.1; // after closing the link, before opening another

// An integer field as the platform reads one: blanks around an optional sign and at most ten
// digits.
bool ParseInteger(const std::string& text, int64_t& value) {
    const tagParsedInteger parsed = g_ParseInteger(text, {10, true, true, false});
    constexpr int64_t kTenDigits = 9'999'999'999;
    if (!parsed.ok || parsed.overflow || parsed.value > kTenDigits || parsed.value < -kTenDigits) {
        return false;
    }
    value = parsed.value;
    return true;
}

// The number that follows the three letters of a port name (COM12, USB1).
uint32_t PortNumber(const std::string& name) {
    const int64_t number = name.size() > 3 ? g_LeadingInteger(name.substr(3)) : 0;
    return number > 0 && number <= UINT32_MAX ? static_cast<uint32_t>(number) : 0;
}

std::string Selected(const std::vector<std::string>& items, int index) {
    return index >= 0 && static_cast<size_t>(index) < items.size() ? items[static_cast<size_t>(index)]
                                                                   : std::string();
}

} // namespace

std::string tagCommControls::SerialPortName() const {
    return Selected(serialPorts, serialIndex);
}

std::string tagCommControls::UsbPortName() const {
    return Selected(usbPorts, usbIndex);
}

CCommSettingLogic::CCommSettingLogic(CCommSettingView& view, tagSerialInfo& settings, uint32_t& interfaceType)
    : m_view(view), m_settings(settings), m_interfaceType(interfaceType) {}

std::vector<tagSerialTestEntry> CCommSettingLogic::TestList(const tagSerialInfo& settings) {
    std::vector<tagSerialTestEntry> list;
    list.push_back({settings.baudRate, settings.dataBits, settings.stopBits, settings.parity, 150});
    constexpr std::pair<uint32_t, int> kRates[] = {{115200, 100}, {9600, 100}, {57600, 100}, {38400, 100},
                                                   {19200, 100},  {1200, 400}, {2400, 200},  {4800, 150}};
    constexpr std::pair<uint32_t, uint32_t> kFrames[] = {{1, 0}, {1, 2}, {1, 1}, {2, 0}, {2, 2}, {2, 1}};
    for (const auto& [baud, wait] : kRates) {
        for (const auto& [stopBits, parity] : kFrames) {
            list.push_back({baud, 8, stopBits, parity, wait});
        }
    }
    return list;
}

void CCommSettingLogic::OnInitDialog() {
    m_controls.peerDevices = {IDS_PEER_MAIN_MODULE, IDS_PEER_ETHERNET_MODULE};
    m_testRunning = false;
    if (m_settings.timeout != 0) {
        m_controls.highDelay = true;
        m_timeout = m_settings.timeout;
    }
    m_controls.timeoutText = std::to_string(m_timeout);
    SetTcpPort(m_tcpPort);
    m_controls.timeoutEnabled = m_controls.highDelay;
    m_controls.peerEnabled = false;
    m_controls.peerIndex = 0;
    m_controls.ipAddress = m_settings.ipAddress; // shown greyed while another interface is chosen
    m_controls.serialPorts = m_view.FillPortList();
    // The list is for display: it shows the link's own rate (the original program showed its second
    // entry, 2400, whatever the link ran at), and during a test the rate tried.
    m_controls.baudIndex = 1;
    SelectBaudRate(m_settings.baudRate);
    ShowSettings(m_interfaceType);
    Show();
    OnInterfaceChanged();
    OnPeerDeviceChanged();
}

void CCommSettingLogic::OnDropDownPorts() {
    m_view.ReadControls(m_controls);
    const std::string selected = m_controls.SerialPortName();
    m_controls.serialPorts = m_view.FillPortList();
    const auto at = std::find(m_controls.serialPorts.begin(), m_controls.serialPorts.end(), selected);
    m_controls.serialIndex =
        at == m_controls.serialPorts.end() ? -1 : static_cast<int>(at - m_controls.serialPorts.begin());
    Show();
}

bool CCommSettingLogic::ReadControls() {
    m_view.ReadControls(m_controls);
    int64_t port = 0, timeout = 0;
    if (!ParseInteger(m_controls.tcpPortText, port) || port < 0 || port > UINT32_MAX ||
        !ParseInteger(m_controls.timeoutText, timeout)) {
        m_view.ShowNotAnInteger();
        return false;
    }
    if (CCommunicater::TcpPortOverride() == 0) { // otherwise the field shows the map file's port
        m_tcpPort = static_cast<uint32_t>(port);
    }
    m_timeout = timeout;
    return true;
}

void CCommSettingLogic::Show() {
    m_view.ShowControls(m_controls);
}

void CCommSettingLogic::SetTcpPort(uint32_t port) {
    m_tcpPort = port;
    // The field shows the port the link will really use: a map file's tcp_port overrides it.
    const uint32_t used = CCommunicater::TcpPortOverride();
    m_controls.tcpPortText = std::to_string(used ? used : port);
}

void CCommSettingLogic::ShowSettings(uint32_t interfaceType) {
    switch (interfaceType) {
    case INTERFACE_ETHERNET:
        m_controls.ipAddress = m_settings.ipAddress;
        SetTcpPort(m_settings.tcpPort);
        m_controls.interfaceChoice = INTERFACE_ETHERNET;
        m_controls.peerIndex = m_settings.tcpPort == kMainModulePort ? 0 : 1;
        break;
    case INTERFACE_USB: {
        m_controls.usbPorts.clear();
        const int count = CCommunicater::GetUSBCount();
        for (int i = 0; i < count; ++i) {
            m_controls.usbPorts.push_back(g_FormatText("USB%d", {std::to_string(i)}));
        }
        m_controls.usbIndex =
            m_settings.usbPort < m_controls.usbPorts.size() ? static_cast<int>(m_settings.usbPort) : -1;
        m_controls.interfaceChoice = INTERFACE_USB;
        break;
    }
    default: {
        const std::string name = g_FormatText("COM%d", {std::to_string(m_settings.comPort)});
        const auto at = std::find(m_controls.serialPorts.begin(), m_controls.serialPorts.end(), name);
        if (at != m_controls.serialPorts.end()) {
            m_controls.serialIndex = static_cast<int>(at - m_controls.serialPorts.begin());
        }
        m_controls.interfaceChoice = INTERFACE_SERIAL;
        break;
    }
    }
}

void CCommSettingLogic::EnableForInterface() {
    const uint32_t choice = m_controls.interfaceChoice;
    m_controls.serialPortsEnabled = choice == INTERFACE_SERIAL;
    m_controls.testEnabled = choice == INTERFACE_SERIAL;
    m_controls.ipEnabled = choice == INTERFACE_ETHERNET;
    m_controls.tcpPortEnabled = choice == INTERFACE_ETHERNET;
    m_controls.peerEnabled = false;
    m_controls.usbPortsEnabled = choice == INTERFACE_USB;
}

void CCommSettingLogic::OnInterfaceChanged() {
    if (m_testRunning || !ReadControls()) {
        return;
    }
    EnableForInterface();
    if (m_controls.interfaceChoice != m_interfaceType) {
        // The link follows the radio buttons at once; Cancel does not take this back.
        CCommunicater::CloseCPPSerialPort();
        m_interfaceType = m_controls.interfaceChoice;
        CCommunicater::SetInterface(m_interfaceType);
    }
    ShowSettings(m_interfaceType);
    Show();
}

void CCommSettingLogic::OnPeerDeviceChanged() {
    m_view.ReadControls(m_controls);
    SetTcpPort(m_controls.peerIndex != 0 ? kEthernetModulePort : kMainModulePort);
    Show();
}

void CCommSettingLogic::OnHighDelay() {
    if (!ReadControls()) {
        return;
    }
    m_controls.timeoutEnabled = m_controls.highDelay;
    Show();
}

uint32_t CCommSettingLogic::TimeoutValue() const {
    if (!m_controls.highDelay || m_timeout < 1) {
        return 0;
    }
    return static_cast<uint32_t>(std::min<int64_t>(m_timeout, kHighestTimeout));
}

void CCommSettingLogic::SelectBaudRate(uint32_t baudRate) {
    const std::string text = std::to_string(baudRate);
    for (size_t i = 0; i < kBaudRates.size(); ++i) {
        if (std::to_string(kBaudRates[i]).rfind(text, 0) == 0) {
            m_controls.baudIndex = static_cast<int>(i);
            return;
        }
    }
}

std::string CCommSettingLogic::ProgressText() const {
    return g_FormatText(m_view.LoadText(IDS_TEST_PROGRESS),
                        {std::to_string(m_settings.comPort), std::to_string(m_settings.baudRate),
                         std::string(1, g_ParityLetter(m_settings.parity)),
                         std::to_string(m_settings.dataBits), std::to_string(m_settings.stopBits)});
}

void CCommSettingLogic::OnTest() {
    if (m_testRunning || !ReadControls()) {
        return;
    }
    m_testRunning = true;
    m_view.SetWaitCursor(true);
    const tagSerialInfo before = m_settings;
    m_settings.timeout = TimeoutValue();
    const std::string port = m_controls.SerialPortName();
    if (!port.empty()) {
        m_settings.comPort = PortNumber(port);
    }
    for (const tagSerialTestEntry& entry : TestList(m_settings)) {
        m_settings.baudRate = entry.baudRate;
        m_settings.dataBits = entry.dataBits;
        m_settings.stopBits = entry.stopBits;
        m_settings.parity = entry.parity;
        m_controls.progress = ProgressText();
        SelectBaudRate(entry.baudRate);
        Show();
        m_view.Repaint();

        CCommunicater::OpenCPPSerialPort(&m_settings);
        std::vector<uint8_t> reply;
        uint8_t first = 0;
        if (CCommunicater::TestBauteRate(&first, entry.wait, &reply, nullptr, 1, 0) != LINK_OK) {
            continue;
        }
        // The controller may describe its own format: bit 3 valid, bits 4-5 parity, bit 6 two
        // stop bits, bit 7 eight data bits.
        if (!reply.empty() && (reply[0] & 0x08) != 0) {
            m_settings.parity = (reply[0] >> 4) & 3u;
            m_settings.stopBits = (reply[0] & 0x40) != 0 ? 2 : 1;
            m_settings.dataBits = (reply[0] & 0x80) != 0 ? 8 : 7;
            CCommunicater::OpenCPPSerialPort(&m_settings);
        }
        m_testRunning = false;
        m_controls.progress = g_FormatText(
            m_view.LoadText(IDS_TEST_SUCCESS),
            {std::to_string(m_settings.baudRate), std::string(1, g_ParityLetter(m_settings.parity)),
             std::to_string(m_settings.dataBits), std::to_string(m_settings.stopBits)});
        Show();
        m_view.SetWaitCursor(false);
        return;
    }
    m_controls.progress = m_view.LoadText(IDS_TEST_FAILED_PROGRESS);
    Show();
    m_view.ShowProblem(IDS_TEST_FAILED);
    const uint32_t testedPort = m_settings.comPort;
    m_settings = before;
    m_settings.comPort = testedPort;
    m_interfaceType = INTERFACE_SERIAL;
    m_testRunning = false;
    m_view.SetWaitCursor(false);
}

bool CCommSettingLogic::OpenAndAsk() {
    uint32_t state = 0;
    if (CCommunicater::OpenCPPSerialPort(&m_settings) != 0 &&
        CCommunicater::GetGCMState(&state, nullptr, 1, 0) == LINK_OK) {
        return true;
    }
    CCommunicater::CloseCPPSerialPort();
    return false;
}

bool CCommSettingLogic::OkSerial() {
    CCommunicater::CloseCPPSerialPort();
    g_Delay(kSettleSeconds);
    const std::string port = m_controls.SerialPortName();
    if (port.empty()) {
        m_view.ShowProblem(IDS_SELECT_SERIAL_PORT);
        return false;
    }
    m_settings.comPort = PortNumber(port);
    CCommunicater::SetInterface(INTERFACE_SERIAL);
    if (!OpenAndAsk()) {
        m_view.ShowProblem(IDS_SERIAL_SETUP_FAILED);
        return false;
    }
    m_interfaceType = INTERFACE_SERIAL;
    m_view.ShowMessage(IDS_SERIAL_SETUP_OK);
    return true;
}

bool CCommSettingLogic::SwitchAndAsk(uint32_t interfaceType, int okId, int failedId) {
    CCommunicater::CloseCPPSerialPort();
    g_Delay(kSettleSeconds);
    const uint32_t previousType = m_interfaceType;
    CCommunicater::SetInterface(interfaceType);
    if (!OpenAndAsk()) {
        CCommunicater::SetInterface(previousType);
        m_view.ShowProblem(failedId);
        return false;
    }
    m_interfaceType = interfaceType;
    m_view.ShowMessage(okId);
    return true;
}

bool CCommSettingLogic::OkEthernet() {
    const uint32_t previousAddress = m_settings.ipAddress;
    const uint32_t previousPort = m_settings.tcpPort;
    m_settings.ipAddress = m_controls.ipAddress;
    m_settings.tcpPort = m_tcpPort;
    if (!SwitchAndAsk(INTERFACE_ETHERNET, IDS_ETHERNET_OK, IDS_ETHERNET_FAILED)) {
        m_settings.ipAddress = previousAddress;
        m_settings.tcpPort = previousPort;
        return false;
    }
    return true;
}

bool CCommSettingLogic::OkUsb() {
    const std::string port = m_controls.UsbPortName();
    if (port.empty()) {
        m_view.ShowProblem(IDS_SELECT_USB_PORT);
        return false;
    }
    m_settings.usbPort = PortNumber(port);
    return SwitchAndAsk(INTERFACE_USB, IDS_USB_OK, IDS_USB_FAILED);
}

void CCommSettingLogic::OnOK() {
    if (m_testRunning || !ReadControls()) {
        return;
    }
    m_view.SetWaitCursor(true);
    bool accepted = false;
    switch (m_controls.interfaceChoice) {
    case INTERFACE_ETHERNET:
        accepted = OkEthernet();
        break;
    case INTERFACE_USB:
        accepted = OkUsb();
        break;
    default:
        accepted = OkSerial();
        break;
    }
    if (accepted) {
        m_settings.timeout = TimeoutValue();
    }
    m_view.SetWaitCursor(false);
    if (accepted) {
        m_view.Accept();
    }
}
