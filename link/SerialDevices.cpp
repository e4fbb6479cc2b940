#include "SerialDevices.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>

namespace fs = std::filesystem;

namespace {

struct tagFamily {
    const char* prefix;
    uint32_t firstCom;
};
constexpr tagFamily kFamilies[] = {{"ttyS", 1}, {"ttyUSB", 100}, {"ttyACM", 200}};

// Numbers n of the devices <prefix>n present, in order.
std::vector<int> Present(const std::string& prefix) {
    std::vector<int> numbers;
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(g_SerialDirectory(), ec)) {
        const std::string name = entry.path().filename().string();
        if (name.rfind(prefix, 0) != 0 || name.size() == prefix.size()) {
            continue;
        }
        const std::string digits = name.substr(prefix.size());
        if (digits.find_first_not_of("0123456789") == std::string::npos && digits.size() < 4) {
            numbers.push_back(std::stoi(digits));
        }
    }
    std::sort(numbers.begin(), numbers.end());
    return numbers;
}

} // namespace

std::string g_SerialDirectory() {
    const char* dir = std::getenv("CHRONOSCOPE_SERIAL_DIR");
    return dir && *dir ? std::string(dir) : std::string("/dev");
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
