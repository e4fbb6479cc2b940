#include "HeadlessView.h"

#include <algorithm>

void CHeadlessView::PostNotify(int wParam, int lParam) {
    {
        std::lock_guard lock(m_mutex);
        m_queue.emplace_back(wParam, lParam);
    }
    m_posted.notify_one();
}

void CHeadlessView::PumpMessages() {
    for (;;) {
        std::pair<int, int> message;
        {
            std::lock_guard lock(m_mutex);
            if (m_queue.empty() || !session) {
                return;
            }
            message = m_queue.front();
            m_queue.pop_front();
        }
        session->OnAcquisitionNotify(message.first, message.second);
    }
}

void CHeadlessView::WaitAndPump(std::chrono::milliseconds longest) {
    {
        std::unique_lock lock(m_mutex);
        m_posted.wait_for(lock, longest, [this] { return !m_queue.empty(); });
    }
    PumpMessages();
}

bool CHeadlessView::Said(int stringId) const {
    return std::find(messages.begin(), messages.end(), stringId) != messages.end();
}
