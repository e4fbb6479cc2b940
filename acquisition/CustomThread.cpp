#include "CustomThread.h"

#include <sys/resource.h>
#include <sys/syscall.h>
#include <system_error>
#include <unistd.h>

namespace {

// A nicer value for this thread alone; without the right to raise it the thread runs normally.
void RaiseThreadPriority() {
    const auto tid = static_cast<id_t>(syscall(SYS_gettid));
    setpriority(PRIO_PROCESS, tid, -20);
}

} // namespace

CCustomThread::~CCustomThread() {
    Stop();
}

bool CCustomThread::Start(ThreadProc proc, void* owner) {
    Stop();
    try {
        m_thread = std::jthread([proc, owner](std::stop_token stop) {
            RaiseThreadPriority();
            proc({owner, std::move(stop)});
        });
    } catch (const std::system_error&) {
        return false;
    }
    return true;
}

bool CCustomThread::Stop() {
    if (m_stopping) {
        return false;
    }
    if (!m_thread.joinable()) {
        return true;
    }
    m_stopping = true;
    m_thread.request_stop();
    m_thread.join();
    m_stopping = false;
    return true;
}
