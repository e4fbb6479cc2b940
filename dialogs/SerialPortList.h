// The machine's serial ports under the COMn names the link maps to devices, with what the system
// says about each adapter.
#pragma once

#include <QString>

#include <vector>

struct tagSerialPortItem {
    QString name;   // COM3
    QString device; // /dev/ttyS2
    QString description;
    QString maker;
    // The item's tooltip: device, and the adapter's description and maker where known.
    QString Tooltip() const;
};

// In COM number order. With CHRONOSCOPE_SERIAL_DIR set, the devices in that folder (tests link
// pseudo-terminals there); otherwise the ports Qt Serial Port finds.
std::vector<tagSerialPortItem> g_SerialPortsPresent();
