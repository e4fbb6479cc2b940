// The session's view for a program without a window: the worker's messages queue up until the
// main thread pumps them, messages are kept, questions are answered Yes and the file dialogs
// answer with the paths set beforehand.
#pragma once

#include "acquisition/NotifyQueue.h"
#include "session/MonitorSession.h"

#include <chrono>
#include <string>
#include <vector>

class CHeadlessView : public CSessionView {
public:
    void PostNotify(int wParam, int lParam) override { m_queue.Post(wParam, lParam); }
    void PumpMessages() override;
    // Waits until a message is posted or the time is up, then pumps.
    void WaitAndPump(std::chrono::milliseconds longest);

    void ShowMessage(int stringId) override { messages.push_back(stringId); }
    bool AskYesNo(int) override { return true; }
    void SetWaitCursor(bool) override {}
    std::string AskSavePath(const std::string&) override { return savePath; }
    std::string AskOpenPath() override { return openPath; }
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

    // Whether the session said this since the messages were last cleared.
    bool Said(int stringId) const;

    CMonitorSession* session = nullptr;
    std::string savePath;
    std::string openPath;
    std::vector<int> messages;

private:
    CNotifyQueue m_queue;
};
