// Work handed to the thread that owns a session, for programs and tests without a window: the
// recording worker posts, the owning thread runs what was posted, in order.
#pragma once

#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <utility>

class CPostQueue {
public:
    void Post(std::function<void()> work) {
        {
            std::lock_guard lock(m_mutex);
            m_queue.push_back(std::move(work));
        }
        m_posted.notify_one();
    }
    // Runs everything posted, also what is posted meanwhile; the lock is not held while work
    // runs, so that the worker can post.
    void RunPosted() {
        for (;;) {
            std::function<void()> work;
            {
                std::lock_guard lock(m_mutex);
                if (m_queue.empty()) {
                    return;
                }
                work = std::move(m_queue.front());
                m_queue.pop_front();
            }
            work();
        }
    }
    // Returns once something is posted or the time is up.
    void Wait(std::chrono::milliseconds longest) {
        std::unique_lock lock(m_mutex);
        m_posted.wait_for(lock, longest, [this] { return !m_queue.empty(); });
    }
    // Drops what was posted and not run: its owner is gone.
    void Clear() {
        std::lock_guard lock(m_mutex);
        m_queue.clear();
    }

private:
    std::mutex m_mutex;
    std::condition_variable m_posted;
    std::deque<std::function<void()>> m_queue;
};
