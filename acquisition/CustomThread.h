// The recording worker thread. Stopping waits for the thread while the caller keeps its own
// messages flowing, so that batches the worker posts while winding down are still drawn.
#pragma once

#include <atomic>
#include <functional>
#include <thread>

class CCustomThread {
public:
    struct tagParams {
        void* owner = nullptr;
        std::atomic<int> stop{0};
    };
    using ThreadProc = void (*)(tagParams& params);
    using Pump = std::function<void()>;

    CCustomThread() = default;
    virtual ~CCustomThread();
    CCustomThread(const CCustomThread&) = delete;
    CCustomThread& operator=(const CCustomThread&) = delete;

    // Stops any earlier thread, then starts proc at the highest priority the process may set.
    bool Start(ThreadProc proc, void* owner, const Pump& pump);
    // False only when a stop is already in progress (for instance re-entered from pump).
    bool Stop(const Pump& pump);

private:
    std::thread m_thread;
    std::atomic<bool> m_finished{false};
    tagParams m_params;
};
