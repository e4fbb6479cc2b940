// The session's view for a program without a window: the worker's messages queue up until the
// main thread pumps them; there is nothing to show and nobody to ask.
#pragma once

#include "kit/PostQueue.h"
#include "session/MonitorSession.h"

#include <chrono>
#include <functional>
#include <string>
#include <vector>

class CHeadlessView : public CSessionView {
public:
    void Post(std::function<void()> work) override { m_queue.Post(std::move(work)); }
    // Runs what the worker posted.
    void PumpMessages() { m_queue.RunPosted(); }
    // Waits until something is posted or the time is up, then runs it.
    void WaitAndPump(std::chrono::milliseconds longest) {
        m_queue.Wait(longest);
        m_queue.RunPosted();
    }

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
    CPostQueue m_queue;
};
