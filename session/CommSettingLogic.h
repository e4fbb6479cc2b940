// The communication dialog without its widgets: which interface, which port, the search for the
// controller's serial format, and OK only once the controller answered over the chosen link.
#pragma once

#include "CommSettingView.h"
#include "link/OscilloTypes.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

// One serial format the Test button tries, with how long to wait for an answer (ms).
struct tagSerialTestEntry {
    uint32_t baudRate;
    uint32_t dataBits;
    uint32_t stopBits;
    uint32_t parity;
    int wait;
};

class CCommSettingLogic {
public:
    static constexpr std::array<uint32_t, 8> kBaudRates{1200, 2400, 4800, 9600, 19200, 38400, 57600, 115200};
    static constexpr int kTestEntryCount = 49;
    static constexpr int kHighestTimeout = 10;

    // Edits settings and interfaceType in place: the caller hands in copies of its own.
    CCommSettingLogic(CCommSettingView& view, tagSerialInfo& settings, uint32_t& interfaceType);

    void OnInitDialog();
    // The serial list is filled again each time it drops down; the selection stays when the
    // port is still there.
    void OnDropDownPorts();
    void OnInterfaceChanged();
    void OnPeerDeviceChanged();
    void OnHighDelay();
    void OnTest();
    void OnOK();
    // False while a test runs: the dialog stays open.
    bool CanCancel() const { return !m_testRunning; }

    const tagCommControls& Controls() const { return m_controls; }
    bool TestRunning() const { return m_testRunning; }
    // The formats Test tries, entry 0 being the settings' own.
    static std::vector<tagSerialTestEntry> TestList(const tagSerialInfo& settings);

private:
    // Controls into the state; false (after telling the user) when a field holds no integer.
    bool ReadControls();
    void ShowSettings(uint32_t interfaceType);
    void EnableForInterface();
    void SelectBaudRate(uint32_t baudRate);
    // 0 with the high-delay check clear; else the field limited to 0 and 1..10.
    uint32_t TimeoutValue() const;
    std::string ProgressText() const;
    void Show();
    void SetTcpPort(uint32_t port);
    bool OkSerial();
    bool OkEthernet();
    bool OkUsb();
    // Open with the settings and ask the controller for its state; closes again on failure.
    bool OpenAndAsk();
    // Ethernet and USB: the link on that interface, opened and asked; on failure the library goes
    // back to the interface it had. Tells the user either way.
    bool SwitchAndAsk(uint32_t interfaceType, int okId, int failedId);

    CCommSettingView& m_view;
    tagSerialInfo& m_settings;
    uint32_t& m_interfaceType;
    tagCommControls m_controls;
    uint32_t m_tcpPort = 9016;
    int64_t m_timeout = 1;
    bool m_testRunning = false;
};
