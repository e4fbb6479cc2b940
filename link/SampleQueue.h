// Where a link's sampling thread puts its samples until the recording reads them: each tick
// either a sample or counted as skipped, the reader told when samples come, and what the sampling
// went through.
#pragma once

#include "LinkBackend.h"
#include "OscilloTypes.h"

#include <atomic>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

class CSampleQueue {
public:
    // Older samples are dropped beyond this many unread ones.
    static constexpr size_t kLimit = 1'000'000;

    // A new run: nothing queued, counted or failed.
    void Reset();
    void SetListener(std::function<void()> listener);

    // The sample of tick; the ticks between the last sample and this one were skipped.
    void Push(const tagOscilloVal& sample, uint64_t tick);
    // Ticks skipped beyond the last sample (a lapped ring); they count now.
    void Skip(uint64_t ticks);
    // Moves everything queued to the end of samples.
    void TakeInto(std::vector<tagOscilloVal>& samples);

    // The sampling gave up; the reader is told why at its next read.
    void Fail(const std::string& why);
    bool Failed() const { return m_failed; }
    std::string Why() const;

    // Changed under the queue's lock, read as a whole.
    template <class Change> void Count(Change change) {
        std::lock_guard lock(m_mutex);
        change(m_statistics);
    }
    tagLinkStatistics Statistics() const;

private:
    mutable std::mutex m_mutex;
    std::vector<tagOscilloVal> m_queue;
    std::function<void()> m_listener;
    uint64_t m_nextTick = 0; // the tick after the last one sampled
    tagLinkStatistics m_statistics;
    std::atomic<bool> m_failed{false};
    std::string m_why;
};
