#include "SerialDevices.h"

#include "kit/NumberText.h"

#include <algorithm>
#include <filesystem>

namespace fs = std::filesystem;

namespace {

struct tagFamily {
    const char* prefix;
    uint32_t firstCom;
};
constexpr tagFamily kFamilies[] = {{"ttyS", 1}, {"ttyUSB", 100}, {"ttyACM", 200}};

// The n of <prefix>n, or -1.
int DeviceNumber(const std::string& name, const std::string& prefix) {
    if (name.rfind(prefix, 0) != 0 || name.size() == prefix.size()) {
        return -1;
    }
    const std::string digits = name.substr(prefix.size());
    return digits.size() > 2 ? -1 : static_cast<int>(g_ParseIntegerIn(digits, 0, 99).value_or(-1));
}

// Numbers n of the devices <prefix>n present, in order.
std::vector<int> Present(const std::string& prefix) {
    std::vector<int> numbers;
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(g_SerialDirectory(), ec)) {
        const int n = DeviceNumber(entry.path().filename().string(), prefix);
        if (n >= 0) {
            numbers.push_back(n);
        }
    }
    std::sort(numbers.begin(), numbers.end());
    return numbers;
}

} // namespace

namespace {

std::string& SerialDirectory() {
    static std::string folder = "/dev";
    return folder;
}

} // namespace

void g_SetSerialDirectory(const std::string& folder) {
    SerialDirectory() = folder.empty() ? std::string("/dev") : folder;
}

std::string g_SerialDirectory() {
    return SerialDirectory();
}

std::string g_SerialDeviceOfComPort(uint32_t comPort) {
    for (int i = static_cast<int>(std::size(kFamilies)) - 1; i >= 0; --i) {
        const tagFamily& family = kFamilies[i];
        if (comPort >= family.firstCom && comPort < family.firstCom + 100 - (i == 0 ? 1 : 0)) {
            return g_SerialDirectory() + "/" + family.prefix + std::to_string(comPort - family.firstCom);
        }
    }
    return {};
}

std::vector<std::string> g_UsbSerialDevices() {
    std::vector<std::string> devices;
    for (const char* prefix : {"ttyUSB", "ttyACM"}) {
        for (int n : Present(prefix)) {
            devices.push_back(g_SerialDirectory() + "/" + prefix + std::to_string(n));
        }
    }
    return devices;
}

uint32_t g_ComPortOfDevice(const std::string& name) {
    for (const tagFamily& family : kFamilies) {
        const int n = DeviceNumber(name, family.prefix);
        // ttyS0 is COM1: the family of ttyS has one number fewer.
        if (n >= 0 && (family.firstCom != 1 || n < 99)) {
            return family.firstCom + static_cast<uint32_t>(n);
        }
    }
    return 0;
}

std::vector<uint32_t> g_ComPortsInDirectory() {
    std::vector<uint32_t> ports;
    for (const tagFamily& family : kFamilies) {
        for (int n : Present(family.prefix)) {
            if (const uint32_t port = g_ComPortOfDevice(family.prefix + std::to_string(n))) {
                ports.push_back(port);
            }
        }
    }
    return ports;
}
