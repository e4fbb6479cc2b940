// The session's view for a program without a window: the worker's messages queue up until the
// main thread pumps them; there is nothing to show and nobody to ask.
#pragma once

#include "acquisition/NotifyQueue.h"
#include "session/MonitorSession.h"

#include <chrono>
#include <functional>
#include <string>
#include <vector>

class CHeadlessView : public CSessionView {
public:
    void PostNotify(int wParam, int lParam) override { m_queue.Post(wParam, lParam); }
    void PumpMessages() override;
    // Waits until a message is posted or the time is up, then pumps.
    void WaitAndPump(std::chrono::milliseconds longest);

    // What the session reports goes to onResult, when there is one.
    void ShowResult(const tagResult& result) override {
        if (onResult) {
            onResult(result);
        }
    }
    bool AskYesNo(int, const std::vector<std::string>& = {}) override { return true; }
    void SetWaitCursor(bool) override {}
    std::string AskSavePath(const std::string&) override { return {}; }
    std::string AskOpenPath() override { return {}; }
    void ShowPeriod(uint32_t) override {}
    void ShowTimeAxisStep(uint32_t) override {}
    void UpdateRunControls(bool) override {}
    void PushStateToControls() override {}
    void RefreshTable() override {}
    void ShowStatistics(const std::vector<tagStatistics>&) override {}
    void ShowCursorReadouts(const std::vector<tagCursorReadout>&) override {}
    void ShowScale(size_t, const std::string&) override {}
    void ShowVisibility(size_t, bool) override {}
    void ShowColour(size_t, uint32_t) override {}
    void ShowTooltip(const std::string&) override {}

    CMonitorSession* session = nullptr;
    std::function<void(const tagResult&)> onResult;

private:
    CNotifyQueue m_queue;
};
