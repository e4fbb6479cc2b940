#include "HeadlessView.h"

void CHeadlessView::PumpMessages() {
    if (session) {
        m_queue.Dispatch([this](int wParam, int lParam) { session->OnAcquisitionNotify(wParam, lParam); });
    }
}

void CHeadlessView::WaitAndPump(std::chrono::milliseconds longest) {
    m_queue.Wait(longest);
    PumpMessages();
}
