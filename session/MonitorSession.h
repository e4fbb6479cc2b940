// The program's state and every operation of the main window that needs no screen, split by job:
// the channel list, the fields and their rules, the link settings, the recording, its files, the
// cache trimming and the readouts. The window owns one and calls it; the command-line recorder
// calls the same operations. State changes only through the operations.
#pragma once

#include "CacheTrimmer.h"
#include "ChannelEditor.h"
#include "EventFiles.h"
#include "FieldRules.h"
#include "JournalKeeper.h"
#include "LinkSettings.h"
#include "Readouts.h"
#include "RecordingFiles.h"
#include "SessionView.h"
#include "StatusTexts.h"
#include "acquisition/MonitorState.h"
#include "acquisition/Recorder.h"
#include "traces/TraceSet.h"

#include <chrono>
#include <memory>
#include <optional>
#include <string>

class CMonitorSession : private CRecorderView, private CTraceDisplayListener {
public:
    explicit CMonitorSession(CSessionView& view);
    ~CMonitorSession() override;
    CMonitorSession(const CMonitorSession&) = delete;
    CMonitorSession& operator=(const CMonitorSession&) = delete;

    const tagMonitorState& State() const { return m_state; }
    CTraceSet& Traces() { return *m_traces; }
    // What shows the traces from now on (the window's chart); the session hears what the user
    // does on it. Without one, nothing is shown.
    void AttachDisplay(CTraceDisplay& display);
    const CRecorder& Recorder() const { return *m_recorder; }
    bool IsRecording() const { return m_recorder->IsRecording(); }

    CChannelEditor& Channels() { return *m_channels; }
    CFieldRules& Fields() { return *m_fields; }
    CLinkSettings& Link() { return *m_link; }
    CRecordingFiles& Files() { return *m_files; }
    CCacheTrimmer& Trimmer() { return *m_trimmer; }
    CJournalKeeper& Journal() { return *m_journal; }
    CReadouts& Readouts() { return *m_readouts; }
    CEventFiles& Events() { return *m_events; }
    // The trigger's state, with the events saved in this recording.
    tagTriggerStatus TriggerStatus() const;

    // Recording without the Run button's toggle: a failed start says why, a stop never starts.
    tagResult StartRecording() { return m_recorder->StartRecording(); }
    void StopRecording() { m_recorder->StopRecording(); }
    // No more than this many samples into the traces from now on (the recorder tool's --samples).
    void LimitSamples(std::optional<uint64_t> limit) { m_recorder->LimitSamples(limit); }
    // Stops the worker for the window's close; false while a stop is in progress.
    bool StopWorker() { return m_recorder->StopWorker(); }

    // The window's handlers that need no widget. The channel dialog opens only when one more
    // channel fits (otherwise the user is told).
    bool BeginAddChannel();
    void OnRun() { m_recorder->OnRun(); }
    void OnWrite() { m_recorder->OnWrite(); }
    // Asks first.
    void OnClearTracks();
    // Ask for the path, then export or import it and show the result; nothing while recording.
    void OnExportData();
    void OnImportData();
    void OnChartMouseMoved() { m_readouts->UpdateChartTooltip(IsRecording()); }
    // At start, once the window shows: the workspace, then a journal that a run left without ending
    // cleanly (brought back if the user says so, otherwise set aside for chronoscope-record
    // --recover), then the link's problems.
    void LoadWorkspaceAtStart();
    // The end: the workspace is written and the journal retires. When it cannot be written the
    // user chooses to try again, to save elsewhere or to discard; with nobody to ask (a signal,
    // a logout) the journal stays for the next start. Not ok when nothing was saved.
    tagResult EndSession(bool canAsk);
    void OfferRecovery();
    // The errors of the link's map file, once: the default map is in force because of them.
    void ReportLinkProblems();
    // The status line's session part again (after the link settings changed, say).
    void ShowStatus();

private:
    // CRecorderView
    void Post(std::function<void()> work) override { m_view.Post(std::move(work)); }
    void ShowResult(const tagResult& result) override { m_view.ShowResult(result); }
    void UpdateRunControls(bool recording) override { m_view.UpdateRunControls(recording); }
    void ShowPeriod(uint32_t period) override { m_view.ShowPeriod(period); }
    void SetWaitCursor(bool on) override { m_view.SetWaitCursor(on); }
    void AfterBatch() override;
    // What the window shows of the traces beside the chart: the table, scales and status.
    void ShowBatchReadouts();
    void ShowPacedReadouts();
    void TrimCache() override { m_trimmer->TrimCache(); }
    void RecordingStarted(const tagRecordingStart& start) override;
    void ElementWritten(const tagWriteOutcome& outcome) override {
        m_lastWrite = outcome;
        ShowStatus();
    }
    void EventStarted(const tagRecordingStart& start) override { m_journal->EventStarted(start); }
    void EventCaptured(const tagEventRecord& event) override { m_events->Save(event); }
    void TriggerStateChanged() override {
        m_view.ShowTriggerStatus(TriggerStatus());
        ShowStatus();
    }
    void SamplesPlotted(std::span<const tagOscilloVal> samples) override { m_journal->Plotted(samples); }
    void RecordingStopped() override {
        m_journal->Stopped();
        ShowStatus();
    }

    // CTraceDisplayListener
    void OnViewChanged() override;
    void OnMouseMoved() override { OnChartMouseMoved(); }
    void OnTimeStepChanged(uint32_t step) override;
    void OnCursorMoved() override;

    CSessionView& m_view;
    tagMonitorState m_state;
    std::unique_ptr<CTraceSet> m_traces;
    std::unique_ptr<CRecorder> m_recorder;
    std::unique_ptr<CReadouts> m_readouts;
    std::unique_ptr<CJournalKeeper> m_journal;
    std::unique_ptr<CLinkSettings> m_link;
    std::unique_ptr<CChannelEditor> m_channels;
    std::unique_ptr<CFieldRules> m_fields;
    std::unique_ptr<CRecordingFiles> m_files;
    std::unique_ptr<CCacheTrimmer> m_trimmer;
    std::unique_ptr<CEventFiles> m_events;
    bool m_linkProblemsShown = false;
    std::chrono::steady_clock::time_point m_readoutsShownAt;
    std::optional<tagWriteOutcome> m_lastWrite;
};
