#include "HeadlessView.h"

#include <algorithm>

void CHeadlessView::PumpMessages() {
    if (session) {
        m_queue.Dispatch([this](int wParam, int lParam) { session->OnAcquisitionNotify(wParam, lParam); });
    }
}

void CHeadlessView::WaitAndPump(std::chrono::milliseconds longest) {
    m_queue.Wait(longest);
    PumpMessages();
}

bool CHeadlessView::Said(int stringId) const {
    return std::find(messages.begin(), messages.end(), stringId) != messages.end();
}
