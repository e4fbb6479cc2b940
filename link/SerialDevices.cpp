#include "SerialDevices.h"

#include "kit/NumberText.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>

namespace fs = std::filesystem;

namespace {

struct tagFamily {
    const char* prefix;
    uint32_t firstCom;
    uint32_t count;
};
constexpr tagFamily kFamilies[] = {
    {"ttyS", 1, 99},        {"ttyUSB", 100, 100},  {"ttyACM", 200, 100},  {"ttyAMA", 300, 100},
    {"ttymxc", 400, 100},   {"ttyO", 500, 100},    {"ttyTHS", 600, 100},  {"rfcomm", 700, 100},
    {"ttyXRUSB", 800, 100}, {"ttySAC", 900, 100},  {"ttyPS", 1000, 100},  {"ttySC", 1100, 100},
    {"ttyLP", 1200, 100},   {"ttyMSM", 1300, 100}, {"ttyAML", 1400, 100}, {"pts/", 2000, 1000},
};
constexpr uint32_t kOtherFirstCom = 5000;
constexpr uint32_t kOtherCount = 1000;

std::string& SerialDirectory() {
    static std::string folder = "/dev";
    return folder;
}

// The n of <prefix>n within the family's count, or -1.
int DeviceNumber(const std::string& name, const tagFamily& family) {
    const std::string prefix = family.prefix;
    if (name.rfind(prefix, 0) != 0 || name.size() == prefix.size() || name.size() > prefix.size() + 3) {
        return -1;
    }
    const std::string digits = name.substr(prefix.size());
    if (digits.size() > 1 && digits[0] == '0') {
        return -1; // ttyS01 is not ttyS1
    }
    const auto n = g_ParseIntegerIn(digits, 0, family.count - 1);
    return n ? static_cast<int>(*n) : -1;
}

uint32_t FamilyComPort(const std::string& name) {
    for (const tagFamily& family : kFamilies) {
        if (const int n = DeviceNumber(name, family); n >= 0) {
            return family.firstCom + static_cast<uint32_t>(n);
        }
    }
    return 0;
}

bool IsCharacterDevice(const fs::path& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && S_ISCHR(info.st_mode);
}

// tty1..tty63 are the virtual consoles and tty the process's own terminal: never a serial line.
bool IsOtherSerialName(const std::string& name) {
    return name.size() > 3 && name.rfind("tty", 0) == 0 && !(name[3] >= '0' && name[3] <= '9') &&
           FamilyComPort(name) == 0;
}

// Names of the folder's character devices, with pts/N for the pseudo-terminals below it.
std::vector<std::string> DeviceNames(const std::string& folder) {
    std::vector<std::string> names;
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(folder, ec)) {
        if (IsCharacterDevice(entry.path())) {
            names.push_back(entry.path().filename().string());
        }
    }
    for (const auto& entry : fs::directory_iterator(fs::path(folder) / "pts", ec)) {
        if (IsCharacterDevice(entry.path())) {
            names.push_back("pts/" + entry.path().filename().string());
        }
    }
    std::sort(names.begin(), names.end());
    return names;
}

std::vector<std::string> OtherSerialNames(const std::string& folder) {
    std::vector<std::string> names = DeviceNames(folder);
    std::erase_if(names, [](const std::string& name) { return !IsOtherSerialName(name); });
    if (names.size() > kOtherCount) {
        names.resize(kOtherCount);
    }
    return names;
}

uint32_t ComPortIn(const std::string& folder, const std::string& name) {
    if (const uint32_t port = FamilyComPort(name)) {
        return port;
    }
    const std::vector<std::string> others = OtherSerialNames(folder);
    const auto at = std::find(others.begin(), others.end(), name);
    return at == others.end() ? 0 : kOtherFirstCom + static_cast<uint32_t>(at - others.begin());
}

// Empty when the path is a terminal; otherwise why not (a device that cannot be opened, say for
// want of the dialout group, is told as such rather than as no terminal).
std::string WhyNotATerminal(const fs::path& path) {
    if (!IsCharacterDevice(path)) {
        return "is not a terminal (tty) device";
    }
    const int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        return std::string("cannot be opened: ") + std::strerror(errno);
    }
    const bool terminal = ::isatty(fd) == 1;
    ::close(fd);
    return terminal ? std::string() : "is not a terminal (tty) device";
}

} // namespace

void g_SetSerialDirectory(const std::string& folder) {
    SerialDirectory() = folder.empty() ? std::string("/dev") : folder;
}

std::string g_SerialDirectory() {
    return SerialDirectory();
}

std::string g_SerialDeviceOfComPort(uint32_t comPort) {
    for (const tagFamily& family : kFamilies) {
        if (comPort >= family.firstCom && comPort < family.firstCom + family.count) {
            return g_SerialDirectory() + "/" + family.prefix + std::to_string(comPort - family.firstCom);
        }
    }
    if (comPort >= kOtherFirstCom && comPort < kOtherFirstCom + kOtherCount) {
        const std::vector<std::string> others = OtherSerialNames(g_SerialDirectory());
        if (comPort - kOtherFirstCom < others.size()) {
            return g_SerialDirectory() + "/" + others[comPort - kOtherFirstCom];
        }
    }
    return {};
}

std::vector<std::string> g_UsbSerialDevices() {
    std::vector<std::pair<uint32_t, std::string>> usb;
    for (const std::string& name : DeviceNames(g_SerialDirectory())) {
        const uint32_t port = FamilyComPort(name);
        if (port >= 100 && port < 300) {
            usb.emplace_back(port, g_SerialDirectory() + "/" + name);
        }
    }
    std::sort(usb.begin(), usb.end());
    std::vector<std::string> devices;
    for (auto& [port, device] : usb) {
        devices.push_back(std::move(device));
    }
    return devices;
}

uint32_t g_ComPortOfDevice(const std::string& name) {
    return ComPortIn(g_SerialDirectory(), name);
}

std::vector<uint32_t> g_ComPortsInDirectory() {
    std::vector<uint32_t> ports;
    uint32_t other = kOtherFirstCom;
    for (const std::string& name : DeviceNames(g_SerialDirectory())) {
        if (const uint32_t port = FamilyComPort(name)) {
            ports.push_back(port);
        } else if (IsOtherSerialName(name) && other < kOtherFirstCom + kOtherCount) {
            ports.push_back(other++);
        }
    }
    std::sort(ports.begin(), ports.end());
    return ports;
}

bool g_PlaceOfSerialDevice(const std::string& path, tagSerialDevicePlace& place, std::string& error) {
    std::error_code ec;
    const fs::path given = fs::absolute(path, ec);
    if (ec || !fs::exists(given, ec)) {
        error = "no serial device " + path;
        return false;
    }
    if (const std::string why = WhyNotATerminal(given); !why.empty()) {
        error = path + " " + why;
        return false;
    }
    // The name as given first, so that a link named ttyAMA0 is reached under that name; then
    // the device the link leads to.
    std::vector<fs::path> candidates{given};
    if (const fs::path real = fs::canonical(given, ec); !ec && real != given) {
        candidates.push_back(real);
    }
    for (const fs::path& candidate : candidates) {
        const fs::path parent = candidate.parent_path();
        const std::string name = candidate.filename().string();
        if (parent.filename() == "pts") {
            const std::string relative = "pts/" + name;
            if (const uint32_t port = FamilyComPort(relative)) {
                place = {parent.parent_path().string(), port};
                return true;
            }
        }
        if (const uint32_t port = ComPortIn(parent.string(), name)) {
            place = {parent.string(), port};
            return true;
        }
    }
    error = path + " is a terminal whose name the port numbering does not cover; reach it through a "
                   "link named like ttyAMA0";
    return false;
}
