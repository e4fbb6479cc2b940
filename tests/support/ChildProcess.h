// A program of ours run as its own process by a test: its standard output's first line, its
// standard error, signals and its exit code.
#pragma once

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

class CChildProcess {
public:
    // Standard error goes to errorFile when one is given.
    CChildProcess(const std::string& program, const std::vector<std::string>& arguments,
                  const std::string& errorFile = {}) {
        int out[2];
        if (pipe(out) != 0) {
            return;
        }
        m_pid = fork();
        if (m_pid == 0) {
            dup2(out[1], STDOUT_FILENO);
            close(out[0]);
            if (!errorFile.empty()) {
                const int fd = open(errorFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
                dup2(fd, STDERR_FILENO);
            }
            std::vector<char*> argv{const_cast<char*>(program.c_str())};
            for (const std::string& a : arguments) {
                argv.push_back(const_cast<char*>(a.c_str()));
            }
            argv.push_back(nullptr);
            execv(program.c_str(), argv.data());
            _exit(127);
        }
        close(out[1]);
        m_out = out[0];
    }
    ~CChildProcess() {
        if (m_pid > 0 && !m_reaped) {
            kill(m_pid, SIGTERM);
            waitpid(m_pid, nullptr, 0);
        }
        if (m_out >= 0) {
            close(m_out);
        }
    }
    CChildProcess(const CChildProcess&) = delete;
    CChildProcess& operator=(const CChildProcess&) = delete;

    // The first line the program prints (waits for it).
    std::string FirstLine() {
        std::string line;
        char c = 0;
        while (read(m_out, &c, 1) == 1 && c != '\n') {
            line += c;
        }
        return line;
    }
    void Signal(int signal) { kill(m_pid, signal); }
    // The exit code, or 128 + the signal that ended it.
    int Wait() {
        int status = 0;
        waitpid(m_pid, &status, 0);
        m_reaped = true;
        return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    }

private:
    pid_t m_pid = -1;
    int m_out = -1;
    bool m_reaped = false;
};
