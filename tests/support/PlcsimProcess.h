// chronoscope-plcsim as its own process; the first line it prints says where it serves.
#pragma once

#include "support/ChildProcess.h"

#include <cstdlib>
#include <string>
#include <vector>

class CPlcsimProcess {
public:
    CPlcsimProcess(const std::string& program, const std::vector<std::string>& arguments)
        : m_process(program, arguments), m_banner(m_process.FirstLine()) {}
    const std::string& Banner() const { return m_banner; }
    int Port() const {
        const size_t at = m_banner.find("(port ");
        return at == std::string::npos ? 0 : std::atoi(m_banner.c_str() + at + 6);
    }
    // SIGUSR1 delays the next reply, SIGUSR2 freezes the device.
    void Signal(int signal) { m_process.Signal(signal); }

private:
    CChildProcess m_process;
    std::string m_banner;
};
