// Resident memory of the benchmark process, from /proc/self/status.
#pragma once

#include <cstdint>
#include <fstream>
#include <string>

// VmRSS (now) or VmHWM (peak) in bytes.
inline uint64_t StatusBytes(const char* key) {
    std::ifstream in("/proc/self/status");
    std::string line;
    while (std::getline(in, line)) {
        if (line.rfind(key, 0) == 0) {
            return std::stoull(line.substr(std::string(key).size())) * 1024;
        }
    }
    return 0;
}

// Starts the VmHWM peak again from the present resident set.
inline void ResetPeak() {
    std::ofstream("/proc/self/clear_refs") << "5";
}
