#include "CustomThread.h"

#include <chrono>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace {

// A nicer value for this thread alone; without the right to raise it the thread runs normally.
void RaiseThreadPriority() {
    const auto tid = static_cast<id_t>(syscall(SYS_gettid));
    setpriority(PRIO_PROCESS, tid, -20);
}

} // namespace

CCustomThread::~CCustomThread() {
    if (m_thread.joinable()) {
        m_params.stop.store(1, std::memory_order_release);
        m_thread.join();
    }
}

bool CCustomThread::Start(ThreadProc proc, void* owner, const Pump& pump) {
    Stop(pump);
    m_params.owner = owner;
    m_params.stop.store(0, std::memory_order_release);
    m_finished.store(false, std::memory_order_release);
    try {
        m_thread = std::thread([this, proc] {
            RaiseThreadPriority();
            proc(m_params);
            m_finished.store(true, std::memory_order_release);
        });
    } catch (const std::system_error&) {
        return false;
    }
    return true;
}

bool CCustomThread::Stop(const Pump& pump) {
    if (m_params.stop.load(std::memory_order_acquire) != 0) {
        return false;
    }
    if (!m_thread.joinable()) {
        return true;
    }
    m_params.stop.store(1, std::memory_order_release);
    while (!m_finished.load(std::memory_order_acquire)) {
        if (pump) {
            pump();
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    m_thread.join();
    m_params.owner = nullptr;
    m_params.stop.store(0, std::memory_order_release);
    return true;
}
