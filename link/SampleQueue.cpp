#include "SampleQueue.h"

void CSampleQueue::Reset() {
    std::lock_guard lock(m_mutex);
    m_queue.clear();
    m_nextTick = 0;
    m_statistics = {};
    m_failed = false;
    m_why.clear();
}

void CSampleQueue::SetListener(std::function<void()> listener) {
    std::lock_guard lock(m_mutex);
    m_listener = std::move(listener);
}

void CSampleQueue::Push(const tagOscilloVal& sample, uint64_t tick) {
    std::lock_guard lock(m_mutex);
    if (m_queue.size() >= kLimit) {
        m_queue.erase(m_queue.begin());
    }
    m_queue.push_back(sample);
    // Counted with the sample that follows them: every tick up to the last sample is either a
    // sample or skipped.
    m_statistics.skippedTicks += tick - m_nextTick;
    m_nextTick = tick + 1;
    if (m_listener) {
        m_listener();
    }
}

void CSampleQueue::Skip(uint64_t ticks) {
    std::lock_guard lock(m_mutex);
    m_statistics.skippedTicks += ticks;
    m_nextTick += ticks;
}

void CSampleQueue::TakeInto(std::vector<tagOscilloVal>& samples) {
    std::lock_guard lock(m_mutex);
    samples.insert(samples.end(), m_queue.begin(), m_queue.end());
    m_queue.clear();
}

void CSampleQueue::Fail(const std::string& why) {
    std::lock_guard lock(m_mutex);
    m_why = why;
    m_failed = true;
}

std::string CSampleQueue::Why() const {
    std::lock_guard lock(m_mutex);
    return m_why;
}

tagLinkStatistics CSampleQueue::Statistics() const {
    std::lock_guard lock(m_mutex);
    return m_statistics;
}
