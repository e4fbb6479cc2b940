// The window's fields and the rules they follow: the period (1..200 ms), the time axis' division,
// the two check boxes, the trigger dialog's fields, the cache choice, the element-write fields and
// whether the window is maximized. Corrections are shown back in the field.
#pragma once

#include "JournalKeeper.h"
#include "Readouts.h"
#include "SessionView.h"
#include "acquisition/MonitorState.h"
#include "acquisition/Recorder.h"
#include "files/ProgramSettings.h"
#include "traces/TraceSet.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

// What the trigger dialog shows and gives back.
struct tagTriggerDialogFields {
    std::vector<std::string> channelNames;
    uint32_t enable = 0;
    uint32_t channel = 0;
    uint32_t condition = 0;
    std::string valueText;
    // Beyond the trigger of the data file: kept in the program's settings file.
    uint32_t preTriggerMs = 0;
    bool repeat = false;
    uint32_t postTriggerMs = 1000;
};

class CFieldRules {
public:
    CFieldRules(tagMonitorState& state, CTraceSet& traces, CRecorder& recorder, CReadouts& readouts,
                CJournalKeeper& journal, CSessionView& view)
        : m_state(state), m_traces(traces), m_recorder(recorder), m_readouts(readouts), m_journal(journal),
          m_view(view) {}

    // A period outside 1..200 and a time axis step of 0 are corrected and shown.
    void OnPeriodChanged(std::string_view text);
    void OnTimeAxisChanged(std::string_view text);
    // The step the time axis took by zooming, into the field.
    void FollowTimeAxisStep(uint32_t step);
    void OnMeasurement(bool on);
    void OnAdaptive(bool on) { m_state.adaptive = on; }
    // What the element-write group holds (type index 0 BOOL, 1 INT, 2 DINT, 3 REAL).
    void SetWriteFields(const std::string& address, const std::string& value, int typeIndex);
    // The cache size dialog's choice: a cache of 0 keeps every point.
    void SetCache(bool autoSave, uint32_t cacheSize);
    void SetMaximized(bool maximized) { m_state.maximized = maximized ? 1 : 0; }

    // The Trigger button: message 153 without channels; a stored channel that no longer exists is
    // switched off first. The value is shown as its channel's type shows it (bits as numbers); on
    // OK the leading number of the text is stored. The pre-trigger time, repeat and post-trigger
    // time are brought into their ranges and written to the settings file.
    std::optional<tagTriggerDialogFields> BeginTriggerSetting();
    void ApplyTriggerSetting(const tagTriggerDialogFields& fields);
    // The trigger as a whole, for callers without the dialog.
    void SetTrigger(const tagTriggerSettings& trigger) {
        m_state.trigger = trigger;
        m_journal.LookChanged();
    }
    // Pre-trigger history and repeat for the recordings from now on, not kept in the settings.
    void SetCapture(const tagCaptureSettings& capture) { m_recorder.SetCaptureSettings(capture); }

    // The program's own settings: read from the settings file and applied (the window at start),
    // and each change applied and written back.
    const tagProgramSettings& Settings() const { return m_settings; }
    void LoadSettings();
    // The sets of statistics between the cursors, kept as cursor_statistics.
    void SetCursorStatistics(const tagCursorStatisticsSets& sets);
    // The workspace's trigger marker, kept in the settings (the data file has no place for it).
    void KeepTriggerMark(const std::optional<tagTriggerMark>& mark);
    void SetEverySample(bool on);
    void SetShowGaps(bool on);
    void SetCheckWrites(bool on);

private:
    tagMonitorState& m_state;
    CTraceSet& m_traces;
    CRecorder& m_recorder;
    CReadouts& m_readouts;
    CJournalKeeper& m_journal;
    CSessionView& m_view;
    tagProgramSettings m_settings;
};
