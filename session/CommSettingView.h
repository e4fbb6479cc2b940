// What the communication dialog's logic needs from the dialog that shows it: its controls as a
// plain record, messages, the wait cursor and a repaint while a test runs.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// The controls of the communication dialog.
struct tagCommControls {
    uint32_t interfaceChoice = 0; // radio group: 0 serial, 1 Ethernet, 2 USB
    std::vector<std::string> serialPorts;
    int serialIndex = -1;
    int baudIndex = -1; // into the baud rate list, which is for display only
    std::vector<std::string> usbPorts;
    int usbIndex = -1;
    std::vector<int> peerDevices; // string ids
    int peerIndex = 0;
    uint32_t ipAddress = 0; // network byte order
    std::string tcpPortText;
    bool highDelay = false;
    std::string timeoutText = "1";
    std::string progress;

    bool serialPortsEnabled = true;
    bool testEnabled = true;
    bool ipEnabled = false;
    bool peerEnabled = false;
    bool tcpPortEnabled = false;
    bool usbPortsEnabled = false;
    bool timeoutEnabled = false;

    // The name the serial or USB list shows; empty when nothing is selected.
    std::string SerialPortName() const;
    std::string UsbPortName() const;
};

class CCommSettingView {
public:
    virtual ~CCommSettingView() = default;

    // Fills the serial port list with the ports present, each with the port icon; their names.
    virtual std::vector<std::string> FillPortList() = 0;
    // What the user set in the controls into the record (selections, address, fields).
    virtual void ReadControls(tagCommControls& controls) = 0;
    virtual void ShowControls(const tagCommControls& controls) = 0;
    // Paints what ShowControls changed now, while the window's thread is busy with a test.
    virtual void Repaint() = 0;
    virtual void ShowMessage(int stringId) = 0;
    // A message that says something failed or is missing (the warning icon in the window).
    virtual void ShowProblem(int stringId) { ShowMessage(stringId); }
    // A field that must hold an integer does not.
    virtual void ShowNotAnInteger() = 0;
    // A message format in the language in effect.
    virtual std::string LoadText(int stringId) = 0;
    virtual void SetWaitCursor(bool on) = 0;
    // Closes the dialog with OK.
    virtual void Accept() = 0;
};
