// The window's posted messages for a view that has no window: the recording worker posts, the
// thread that owns the session takes them in order. Tests and the command-line recorder use it.
#pragma once

#include <chrono>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <utility>

class CNotifyQueue {
public:
    void Post(int wParam, int lParam) {
        {
            std::lock_guard lock(m_mutex);
            m_queue.emplace_back(wParam, lParam);
        }
        m_posted.notify_one();
    }
    // Hands every message to handle(wParam, lParam), also those posted while it runs; the lock is
    // not held meanwhile, so that the worker can post.
    template <class Handler> void Dispatch(Handler&& handle) {
        for (;;) {
            std::pair<int, int> message;
            {
                std::lock_guard lock(m_mutex);
                if (m_queue.empty()) {
                    return;
                }
                message = m_queue.front();
                m_queue.pop_front();
            }
            handle(message.first, message.second);
        }
    }
    // Returns once a message is waiting or the time is up.
    void Wait(std::chrono::milliseconds longest) {
        std::unique_lock lock(m_mutex);
        m_posted.wait_for(lock, longest, [this] { return !m_queue.empty(); });
    }

private:
    std::mutex m_mutex;
    std::condition_variable m_posted;
    std::deque<std::pair<int, int>> m_queue;
};
