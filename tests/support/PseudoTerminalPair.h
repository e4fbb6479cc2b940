// Two linked pseudo-terminals made by socat, as a serial cable between two programs of a test.
// A pseudo-terminal passes bytes whatever baud rate and parity each side sets.
#pragma once

#include <chrono>
#include <csignal>
#include <filesystem>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

class CPseudoTerminalPair {
public:
    // Links folder/first and folder/second; Ready() tells whether socat made them.
    CPseudoTerminalPair(const std::string& folder, const std::string& first, const std::string& second)
        : m_first(folder + "/" + first), m_second(folder + "/" + second) {
        m_pid = fork();
        if (m_pid == 0) {
            const std::string a = "pty,raw,echo=0,link=" + m_first;
            const std::string b = "pty,raw,echo=0,link=" + m_second;
            execlp("socat", "socat", a.c_str(), b.c_str(), static_cast<char*>(nullptr));
            _exit(127);
        }
        for (int i = 0; i < 100 && !Ready(); ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
    }
    ~CPseudoTerminalPair() {
        if (m_pid > 0) {
            kill(m_pid, SIGTERM);
            waitpid(m_pid, nullptr, 0);
        }
    }
    CPseudoTerminalPair(const CPseudoTerminalPair&) = delete;
    CPseudoTerminalPair& operator=(const CPseudoTerminalPair&) = delete;

    bool Ready() const {
        return m_pid > 0 && std::filesystem::exists(m_first) && std::filesystem::exists(m_second);
    }
    const std::string& First() const { return m_first; }
    const std::string& Second() const { return m_second; }

private:
    std::string m_first;
    std::string m_second;
    pid_t m_pid = -1;
};
