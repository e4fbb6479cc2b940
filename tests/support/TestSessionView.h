// The window's side of a session in tests: work posted by the worker runs on the test thread when
// it pumps, and a record of what the session showed.
#pragma once

#include "kit/PostQueue.h"
#include "session/MonitorSession.h"

#include <chrono>
#include <map>
#include <thread>
#include <vector>

class CTestSessionView : public CSessionView {
public:
    void Post(std::function<void()> work) override { m_queue.Post(std::move(work)); }
    // Runs what was posted, as the window's event loop would.
    void PumpMessages() { m_queue.RunPosted(); }
    // What was posted and never ran belongs to a session that is gone.
    void Forget() { m_queue.Clear(); }
    // Runs the message loop for a while, as the window's thread would.
    void Pump(std::chrono::milliseconds duration) {
        const auto end = std::chrono::steady_clock::now() + duration;
        while (std::chrono::steady_clock::now() < end) {
            PumpMessages();
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        PumpMessages();
    }
    void ShowResult(const tagResult& result) override {
        messages.push_back(result.stringId);
        details.push_back(result.detail);
        messageArguments.push_back(result.arguments);
    }
    bool AskYesNo(int stringId, const std::vector<std::string>& arguments = {}) override {
        questions.push_back(stringId);
        questionArguments.push_back(arguments);
        return answer;
    }
    void SetWaitCursor(bool) override {}
    std::string AskSavePath(const std::string& proposedName) override {
        proposedNames.push_back(proposedName);
        return savePath;
    }
    std::string AskOpenPath() override { return openPath; }
    EnumExitChoice AskExitChoice(const tagResult& failure) override {
        exitFailures.push_back(failure.detail);
        const EnumExitChoice choice = exitChoices.empty() ? EnumExitChoice::Discard : exitChoices.front();
        if (!exitChoices.empty()) {
            exitChoices.erase(exitChoices.begin());
        }
        return choice;
    }
    void ShowPeriod(uint32_t period) override { shownPeriod = static_cast<int>(period); }
    void ShowTimeAxisStep(uint32_t step) override { shownStep = static_cast<int>(step); }
    void UpdateRunControls(bool recording) override { runControls = recording; }
    void PushStateToControls() override { ++pushes; }
    void RefreshTable() override { ++tableRefreshes; }
    void ShowStatistics(const std::vector<tagStatistics>& rows) override { statistics = rows; }
    void ShowCursorReadouts(const std::vector<tagCursorReadout>& rows) override { readouts = rows; }
    void ShowScale(size_t channel, const std::string& text) override { scales[channel] = text; }
    void ShowVisibility(size_t channel, bool visible) override { visibility[channel] = visible; }
    void ShowColour(size_t channel, uint32_t colour) override { colours[channel] = colour; }
    void ShowTooltip(const std::string& text) override { tooltip = text; }
    void ShowTriggerStatus(const tagTriggerStatus& status) override { triggerStatus.push_back(status); }
    void ShowSessionStatus(const tagSessionStatus& status) override { sessionStatus.push_back(status); }

    CMonitorSession* session = nullptr;
    bool answer = true;
    std::vector<EnumExitChoice> exitChoices; // answered in turn, then Discard
    std::vector<std::string> exitFailures;
    std::string savePath; // what the file dialogs return; empty is Cancel
    std::string openPath;
    std::vector<std::string> proposedNames;
    std::vector<int> messages;
    std::vector<std::string> details; // beside each message
    std::vector<int> questions;
    std::vector<std::vector<std::string>> questionArguments;
    std::vector<std::vector<std::string>> messageArguments;
    int shownPeriod = -1;
    int shownStep = -1;
    bool runControls = false;
    int pushes = 0;
    int tableRefreshes = 0;
    std::vector<tagStatistics> statistics;
    std::vector<tagCursorReadout> readouts;
    std::map<size_t, std::string> scales;
    std::map<size_t, bool> visibility;
    std::map<size_t, uint32_t> colours;
    std::string tooltip;
    std::vector<tagTriggerStatus> triggerStatus;
    std::vector<tagSessionStatus> sessionStatus;

private:
    CPostQueue m_queue;
};
