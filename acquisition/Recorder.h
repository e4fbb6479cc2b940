// Recording: configures the controller, runs the worker that reads sample blocks, hands blocks to
// the window's thread through two swapped buffers and turns samples into chart points.
#pragma once

#include "CustomThread.h"
#include "ElementWrite.h"
#include "MonitorState.h"
#include "TraceSet.h"
#include "kit/Result.h"
#include "link/OscilloTypes.h"

#include <atomic>
#include <functional>
#include <optional>
#include <vector>

// Posted message of the main window, and its parameters.
constexpr int WM_ACQUISITION_NOTIFY = 0x5A4;
constexpr int NOTIFY_BATCH = 1;
constexpr int NOTIFY_FAILURE = 2;
constexpr int FAILURE_READ = 0;
constexpr int FAILURE_WRITE = 1;
constexpr int FAILURE_LOAD_WORKSPACE = 2;
constexpr int FAILURE_JOURNAL = 3; // told outside the batch, which a message box would hold up

// Where a recording starts: what the journal needs to turn its samples into the same points.
struct tagRecordingStart {
    std::vector<tagOscilloElem> channels;
    uint16_t actualPeriod = 0; // 1/8 ms
    double timeOffset = 0.0;
    // Each trace's last value before the recording, which a first sample that differs repeats.
    std::vector<std::optional<double>> hold;
};

// What the recording needs from the window.
class CRecorderView {
public:
    virtual ~CRecorderView() = default;
    // Posts WM_ACQUISITION_NOTIFY to the window; called from the worker thread.
    virtual void PostNotify(int wParam, int lParam) = 0;
    // Dispatches the window thread's pending messages once.
    virtual void PumpMessages() = 0;
    // A message with its reason (the result's detail), for what happens while recording.
    virtual void ShowResult(const tagResult& result) = 0;
    virtual void UpdateRunControls(bool recording) = 0;
    virtual void ShowPeriod(uint32_t period) = 0;
    // After each batch: adaptive scaling, cursor readouts and statistics of the table.
    virtual void AfterBatch() {}
    // After each batch's points are added: the cache trim.
    virtual void TrimCache() {}
    virtual void LoadWorkspace() {}
    virtual void SetWaitCursor(bool /*on*/) {}
    // The recording's life, for its journal: the start, the samples that became points (those of
    // the block from index first on) and the stop.
    virtual void RecordingStarted(const tagRecordingStart& /*start*/) {}
    virtual void SamplesPlotted(const std::vector<tagOscilloVal>& /*samples*/, size_t /*first*/) {}
    virtual void RecordingStopped() {}
    virtual void JournalFailed() {}
};

// Where a block's samples land on the time axis and whether the trigger has fired.
struct tagBatchContext {
    uint16_t actualPeriod = 0; // 1/8 ms
    double timeOffset = 0.0;
    int holdPointPending = 0;
    int triggered = 0;
};

// Turns a block's samples into one point per channel (after the trigger has fired). The time of
// the block's last sample (also when the trigger dropped every sample) and the first sample that
// became points (the block's size when none did).
struct tagBatchResult {
    double lastTime = 0.0;
    size_t firstPlotted = 0;
};
tagBatchResult AddSamplesToTraces(const tagOscilloData& block, const tagTriggerSettings& trigger,
                                  tagBatchContext& context, CTraceSet& traces);

class CRecorder {
public:
    CRecorder(tagMonitorState& state, CTraceSet& traces, CRecorderView& view);
    ~CRecorder();
    CRecorder(const CRecorder&) = delete;
    CRecorder& operator=(const CRecorder&) = delete;

    // Run button: starts when idle, stops when recording; tells the user why a start failed.
    void OnRun();
    // Configures the controller and starts the worker; what failed when it could not (153 without
    // channels, 154 and 155 for the two commands, with the link's reason). Nothing happens while a
    // stop is in progress or a recording runs.
    tagResult StartRecording();
    // Sends the stop command when a recording runs; never starts one.
    void StopRecording();
    void OnAcquisitionNotify(int wParam, int lParam);
    void ProcessBatch();
    // Clear Tracks after the user agreed.
    void ClearTracks();
    // Write button: writes at once when idle, hands the write to the worker while recording.
    void OnWrite();
    // Stops the worker (pumping messages meanwhile); false when a stop is already in progress.
    bool StopWorker();

    bool IsRecording() const { return m_recording; }
    double TimeOffset() const { return m_batch.timeOffset; }
    bool IsTriggered() const { return m_batch.triggered; }
    bool IsWritePending() const { return m_writePending.load(std::memory_order_acquire) != 0; }
    const tagOscilloSetting& Setting() const { return m_setting; }

private:
    static void AcquisitionThreadProc(CCustomThread::tagParams& params);
    bool AcquireStep();

    tagMonitorState& m_state;
    CTraceSet& m_traces;
    CRecorderView& m_view;

    bool m_recording = false;
    tagOscilloSetting m_setting;
    tagOscilloData m_blockA;
    tagOscilloData m_blockB;
    std::atomic<tagOscilloData*> m_workerBlock{nullptr};
    std::atomic<tagOscilloData*> m_displayBlock{nullptr};
    std::atomic<int> m_batchReady{0};
    tagBatchContext m_batch;
    std::atomic<int> m_writePending{0};
    int m_writeBusy = 0;
    tagWriteRequest m_write; // read by the worker while a write is pending
    std::atomic<uint32_t> m_interfaceType{INTERFACE_SERIAL};
    CCustomThread m_worker;
};
