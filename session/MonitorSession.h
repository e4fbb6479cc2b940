// The program's state and every operation of the main window that needs no screen: the channel
// list, the sampling fields, the link configuration, the recording and the table's numbers. The
// window owns one, forwards the user's actions and shows what the session reports to its view.
#pragma once

#include "SessionView.h"
#include "acquisition/MonitorState.h"
#include "acquisition/Recorder.h"
#include "acquisition/TraceSet.h"

#include <memory>
#include <optional>
#include <string>
#include <string_view>

// What the trigger dialog shows and gives back.
struct tagTriggerDialogFields {
    std::vector<std::string> channelNames;
    uint32_t enable = 0;
    uint32_t channel = 0;
    uint32_t condition = 0;
    std::string valueText;
};

// What the communication dialog edits: copies of the window's link settings.
struct tagLinkFields {
    tagSerialInfo link;
    uint32_t interfaceType = INTERFACE_SERIAL;
};

class CMonitorSession : private CRecorderView {
public:
    CMonitorSession(CChartCtrl& chart, const std::string& timeAxisTitle, CSessionView& view);
    ~CMonitorSession() override;
    CMonitorSession(const CMonitorSession&) = delete;
    CMonitorSession& operator=(const CMonitorSession&) = delete;

    tagMonitorState& State() { return m_state; }
    const tagMonitorState& State() const { return m_state; }
    CTraceSet& Traces() { return *m_traces; }
    CRecorder& Recorder() { return *m_recorder; }
    bool IsRecording() const { return m_recorder->IsRecording(); }

    // The link: the interface first, then the settings.
    void ApplyLinkSettings();
    // The Communicate button: the dialog works on copies and OK takes them back; afterwards the
    // library gets the window's settings whatever the answer (the interface it may have switched
    // stays switched).
    tagLinkFields BeginCommSettings() const { return {m_state.link, m_state.interfaceType}; }
    void EndCommSettings(bool accepted, const tagLinkFields& fields);

    // Channels. BeginAddChannel tells the user when six are there already.
    bool BeginAddChannel();
    uint32_t NextChannelColour() const;
    // Series k takes the channel's type, colour and scale 1.
    void AddChannel(const tagOscilloElem& channel);
    // Modify and delete are refused while recording.
    bool CanEditChannels() const { return !IsRecording(); }
    void ModifyChannel(size_t k, const tagOscilloElem& record);
    // Asks first; keeps the trigger on the channel it watched.
    void RequestDeleteChannel(size_t k);
    void DeleteChannel(size_t k);
    void ToggleVisibility(size_t k);
    void SetChannelColour(size_t k, uint32_t colour);
    void SetScaleText(size_t k, const std::string& text);

    // Fields. A period outside 1..200 and a time axis step of 0 are corrected and shown.
    void OnPeriodChanged(std::string_view text);
    void OnTimeAxisChanged(std::string_view text);
    void OnMeasurement(bool on);
    void OnAdaptive(bool on) { m_state.adaptive = on; }

    // The Trigger button: nothing (after telling the user) without channels; a stored channel
    // that no longer exists is switched off first. The value is shown as its channel's type
    // shows it (bits as numbers); on OK the leading number of the text is stored.
    std::optional<tagTriggerDialogFields> BeginTriggerSetting();
    void ApplyTriggerSetting(const tagTriggerDialogFields& fields);

    // Recording.
    void OnRun();
    void OnWrite();
    // Asks first.
    void OnClearTracks();
    void OnAcquisitionNotify(int wParam, int lParam);
    // Stops the worker for the window's close; false while a stop is in progress.
    bool StopWorker() { return m_recorder->StopWorker(); }

    // Data files. Saving writes the whole state (traces up to *limitX when given); loading
    // replaces it and refreshes the view also when the file was damaged (keeping what was read).
    bool SaveDataFile(const std::string& path, const double* limitX);
    bool LoadDataFile(const std::string& path);
    // The workspace: saved whenever the window closes, loaded when it opens.
    void SaveWorkspace();
    // The Export Data and Import Data buttons.
    void OnExportData();
    void OnImportData();
    // A path whose last four characters are "data" names a data file; anything else is CSV.
    static bool IsDataFilePath(const std::string& path);

    // After each batch: when a trace reached the cache size, its older half goes (saved first
    // when auto-save is on) from every channel's trace.
    void TrimCache() override;
    // Where the automatic saves go: the program's own folder unless a tool chose another.
    void SetAutoSaveFolder(const std::string& folder) { m_autoSaveFolder = folder; }
    // Points of the first channel that cuts removed, and the files they were saved to (a file
    // written twice in one second counts once), since the session began.
    uint64_t TrimmedPoints() const { return m_trimmedPoints; }
    const std::vector<std::string>& AutoSavedFiles() const { return m_autoSavedFiles; }

    // The table's numbers, pushed to the view.
    void UpdateStatistics();
    void UpdateCursorReadouts();
    void ApplyAdaptiveScaling();
    // The tooltip at the chart's last mouse position (empty while recording or dragging).
    std::string ChartTooltip();
    void UpdateChartTooltip();

private:
    // CRecorderView
    void PostNotify(int wParam, int lParam) override { m_view.PostNotify(wParam, lParam); }
    void PumpMessages() override { m_view.PumpMessages(); }
    void ShowMessage(int stringId) override { m_view.ShowMessage(stringId); }
    void UpdateRunControls(bool recording) override { m_view.UpdateRunControls(recording); }
    void ShowPeriod(uint32_t period) override { m_view.ShowPeriod(period); }
    void SetWaitCursor(bool on) override { m_view.SetWaitCursor(on); }
    void AfterBatch() override;
    void LoadWorkspace() override;

    // Ends a load that suspended drawing: view, table, link and controls from the new state.
    void RefreshAfterLoad();
    // Both axes home, the time axis on the latest visible point: the view after any load.
    void ShowLoadedTraces();
    // The time the view follows after a load: the latest point of the visible channels, >= 0.
    double LatestVisibleTime() const;
    bool ExportCsv(const std::string& path);
    bool ImportCsv(const std::string& path);

    static void OnViewChanged(void* owner);
    static void OnMouseMoved(void* owner);
    static void OnTimeAxisRangeChanged(void* owner);
    static void OnCursorMoved(void* owner);

    CSessionView& m_view;
    tagMonitorState m_state;
    std::unique_ptr<CTraceSet> m_traces;
    std::unique_ptr<CRecorder> m_recorder;
    std::string m_tooltip;
    std::string m_autoSaveFolder;
    uint64_t m_trimmedPoints = 0;
    std::vector<std::string> m_autoSavedFiles;
};
