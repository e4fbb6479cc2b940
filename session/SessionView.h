// What the session needs from the window that shows it. The window implements it with widgets,
// the tests with plain records.
#pragma once

#include "StatusTexts.h"
#include "acquisition/ChannelTableModel.h"
#include "acquisition/CursorStatistics.h"
#include "acquisition/Recorder.h"
#include "kit/Result.h"
#include "link/LinkBackend.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

class CSessionView {
public:
    virtual ~CSessionView() = default;

    // Runs work on the window's thread later, in the order posted; called from any thread.
    virtual void Post(std::function<void()> work) = 0;
    // Runs work on the window's thread at the screen's next frame, the latest work asked for before
    // it once; false when the view has no frames (the caller does the work at once).
    virtual bool AtNextFrame(std::function<void()> /*work*/) { return false; }
    virtual bool HasFrames() const { return false; }
    // The result's message with its reason below it.
    virtual void ShowResult(const tagResult& result) = 0;
    // A Yes/No question, its %s, %d and %u filled from arguments in order; true only for Yes.
    virtual bool AskYesNo(int stringId, const std::vector<std::string>& arguments = {}) = 0;
    virtual void SetWaitCursor(bool on) = 0;
    // The file dialogs of Export Data and Import Data; an empty path when the user cancelled.
    virtual std::string AskSavePath(const std::string& proposedName) = 0;
    virtual std::string AskOpenPath() = 0;
    // The workspace could not be written at the end (the result says why): what now.
    enum class EnumExitChoice { Retry, SaveAs, Discard };
    virtual EnumExitChoice AskExitChoice(const tagResult& /*failure*/) { return EnumExitChoice::Discard; }

    virtual void ShowPeriod(uint32_t period) = 0;
    virtual void ShowTimeAxisStep(uint32_t step) = 0;
    virtual void UpdateRunControls(bool recording) = 0;
    // Every field of the state into its control, after the state changed as a whole.
    virtual void PushStateToControls() = 0;

    // The channel table: the rows again from the session's channels and traces.
    virtual void RefreshTable() = 0;
    virtual void ShowStatistics(const std::vector<tagStatistics>& rows) = 0;
    virtual void ShowCursorReadouts(const std::vector<tagCursorReadout>& rows) = 0;
    // Only while some set of statistics between the cursors is switched on.
    virtual void ShowCursorStatistics(const std::vector<tagCursorStatistics>& /*rows*/) {}
    virtual void ShowScale(size_t channel, const std::string& text) = 0;
    virtual void ShowVisibility(size_t channel, bool visible) = 0;
    virtual void ShowColour(size_t channel, uint32_t colour) = 0;
    // The chart's tooltip; empty hides it.
    virtual void ShowTooltip(const std::string& text) = 0;
    // The status line's parts (StatusTexts.h words them): the trigger's state, and how the link's
    // sampling of the recording goes.
    virtual void ShowTriggerStatus(const tagTriggerStatus& /*status*/) {}
    virtual void ShowLinkStatistics(const tagLinkStatistics& /*statistics*/) {}
    virtual void ShowSessionStatus(const tagSessionStatus& /*status*/) {}
};
