// The recording worker thread. Stopping asks the thread to end and waits for it; nothing on the
// window's thread runs meanwhile, and the worker never waits for the window's thread.
#pragma once

#include <stop_token>
#include <thread>

class CCustomThread {
public:
    struct tagParams {
        void* owner = nullptr;
        std::stop_token stop; // the request to end, which also wakes the worker's waits
    };
    using ThreadProc = void (*)(const tagParams& params);

    CCustomThread() = default;
    virtual ~CCustomThread();
    CCustomThread(const CCustomThread&) = delete;
    CCustomThread& operator=(const CCustomThread&) = delete;

    // Stops any earlier thread, then starts proc at the highest priority the process may set;
    // false only when no thread can be made.
    bool Start(ThreadProc proc, void* owner);
    // False only when a stop is already in progress.
    bool Stop();

private:
    std::jthread m_thread;
    bool m_stopping = false;
};
