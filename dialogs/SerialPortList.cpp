#include "SerialPortList.h"

#include "link/SerialDevices.h"

#include <QSerialPortInfo>

#include <algorithm>

namespace {

QString ComName(uint32_t port) {
    return QStringLiteral("COM%1").arg(port);
}

} // namespace

QString tagSerialPortItem::Tooltip() const {
    QStringList lines{device};
    for (const QString& text : {description, maker}) {
        if (!text.isEmpty()) {
            lines << text;
        }
    }
    return lines.join(QLatin1Char('\n'));
}

std::vector<tagSerialPortItem> g_SerialPortsPresent() {
    std::vector<std::pair<uint32_t, tagSerialPortItem>> found;
    // Devices in a folder of the program's own choosing (pseudo-terminals in tests) are not the
    // system's ports: they are listed from the folder.
    if (g_SerialDirectory() != "/dev") {
        for (uint32_t port : g_ComPortsInDirectory()) {
            found.push_back(
                {port, {ComName(port), QString::fromStdString(g_SerialDeviceOfComPort(port)), {}, {}}});
        }
    } else {
        for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts()) {
            const uint32_t port = g_ComPortOfDevice(info.portName().toStdString());
            if (port != 0) {
                found.push_back(
                    {port, {ComName(port), info.systemLocation(), info.description(), info.manufacturer()}});
            }
        }
    }
    std::sort(found.begin(), found.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    std::vector<tagSerialPortItem> items;
    for (auto& [port, item] : found) {
        items.push_back(std::move(item));
    }
    return items;
}
