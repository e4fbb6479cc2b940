// Recording: configures the controller, runs the worker that reads sample blocks, hands blocks to
// the window's thread through two swapped buffers and turns samples into chart points.
#pragma once

#include "BatchPoints.h"
#include "CustomThread.h"
#include "ElementWrite.h"
#include "MonitorState.h"
#include "TriggerCapture.h"
#include "kit/Result.h"
#include "link/OscilloTypes.h"
#include "traces/TraceSet.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <optional>
#include <span>
#include <stop_token>
#include <vector>

// Where a recording starts: what the journal needs to turn its samples into the same points.
struct tagRecordingStart {
    std::vector<tagOscilloElem> channels;
    tagPeriod period{}; // as the controller took it
    double timeOffset = 0.0;
    // Each trace's last value before the recording, which a first sample that differs repeats.
    std::vector<std::optional<double>> hold;
};

// An event of a repeating trigger, with what it takes to turn its samples into points.
struct tagEventRecord {
    tagRecordingStart start; // no hold values: an event stands alone
    tagCapturedEvent event;
    std::chrono::system_clock::time_point triggeredAt; // the trigger sample's wall-clock time
};

// Where the trigger stands, for the window's status.
struct tagTriggerStatus {
    EnumTriggerPhase phase = EnumTriggerPhase::Off;
    bool repeat = false;
    bool recording = false;
    std::optional<std::chrono::system_clock::time_point> triggeredAt; // the latest trigger
    uint32_t eventsClosed = 0;
    uint32_t eventsSaved = 0; // of those, the ones in a file (the session's)
};

// What the recording needs from the window.
class CRecorderView {
public:
    virtual ~CRecorderView() = default;
    // Runs work on the window's thread later, in the order posted; called from the worker.
    virtual void Post(std::function<void()> work) = 0;
    // A message with its reason (the result's detail), for what happens while recording.
    virtual void ShowResult(const tagResult& result) = 0;
    virtual void UpdateRunControls(bool recording) = 0;
    virtual void ShowPeriod(uint32_t period) = 0;
    // After each batch: adaptive scaling, cursor readouts and statistics of the table.
    virtual void AfterBatch() {}
    // After each batch's points are added: the cache trim.
    virtual void TrimCache() {}
    virtual void SetWaitCursor(bool /*on*/) {}
    // The recording's life, for its journal: the start, the samples that became points (those of
    // the block from index first on) and the stop.
    virtual void RecordingStarted(const tagRecordingStart& /*start*/) {}
    virtual void SamplesPlotted(std::span<const tagOscilloVal> /*samples*/) {}
    virtual void RecordingStopped() {}
    // With repeat: a new event replaced the traces (its samples follow), and an event ended.
    virtual void EventStarted(const tagRecordingStart& /*start*/) {}
    virtual void EventCaptured(const tagEventRecord& /*event*/) {}
    // The trigger fired, an event ended, or the recording started or stopped.
    virtual void TriggerStateChanged() {}
    // What became of an element write: taken (and read back), failed or refused.
    virtual void ElementWritten(const tagWriteOutcome& /*outcome*/) {}
};

class CRecorder : private CBatchSink {
public:
    CRecorder(tagMonitorState& state, CTraceSet& traces, CRecorderView& view);
    ~CRecorder() override;
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
    // The batch the worker handed over: points, trim, time axis, one redraw, table.
    void ProcessBatch();
    // Clear Tracks after the user agreed.
    void ClearTracks();
    // Write button: writes at once when idle, hands the write to the worker while recording. With
    // checking on, a value the element's type does not take is refused with the reason.
    void OnWrite();
    void SetCheckWrites(bool on) { m_checkWrites = on; }
    // The least time between two batches handed to the window's thread (zero: one per read). The
    // samples of the reads in between wait in the worker's block; set before a recording starts.
    void SetBatchSpacing(std::chrono::milliseconds spacing) { m_batchSpacing = spacing; }
    // With a repeating trigger between events: the latest event fills the time axis, the armed
    // notice shows and LiveLatest gives the newest samples. Off: the time axis scrolls.
    void SetEventView(bool on) { m_eventView = on; }
    // The newest sample's values while the event view waits for the next event, else none.
    std::optional<std::vector<double>> LiveLatest() const;
    bool CheckWrites() const { return m_checkWrites; }
    // Stops the worker, then shows what it read before it ended; false when a stop is already in
    // progress.
    bool StopWorker();

    bool IsRecording() const { return m_recording; }
    // When the running recording started (steady clock).
    std::chrono::steady_clock::time_point StartedAt() const { return m_startedAt; }
    double TimeOffset() const { return m_batch.timeOffset; }
    bool IsTriggered() const { return m_capture.Phase() == EnumTriggerPhase::Triggered; }
    // Pre-trigger history and repeat, for the recordings started from now on.
    void SetCaptureSettings(const tagCaptureSettings& settings) { m_captureSettings = settings.Clamped(); }
    const tagCaptureSettings& CaptureSettings() const { return m_captureSettings; }
    const CTriggerCapture& Capture() const { return m_capture; }
    // With a limit, no more than this many samples become points, counted from here on across
    // recordings (with a trigger from its history on, with repeat over all events).
    void LimitSamples(std::optional<uint64_t> limit) {
        m_sampleLimit = limit;
        m_samplesTaken = 0;
    }
    uint64_t SamplesTaken() const { return m_samplesTaken; }
    bool SampleLimitReached() const { return m_sampleLimit && m_samplesTaken >= *m_sampleLimit; }
    tagTriggerStatus TriggerStatus() const;
    bool IsWritePending() const { return m_writePending.load(std::memory_order_acquire) != 0; }
    const tagOscilloSetting& Setting() const { return m_setting; }

private:
    void ShowLatestEvent(CTraceDisplay& display);
    // CBatchSink
    void Plotted(std::span<const tagOscilloVal> samples) override {
        m_samplesTaken += samples.size();
        m_view.SamplesPlotted(samples);
    }
    void Fired(double t) override;
    void EventClosed(tagCapturedEvent&& event) override;
    // Wall-clock time of a sample time, counted on the controller's clock from the first batch.
    std::chrono::system_clock::time_point WallClockOf(double t) const;

    static void AcquisitionThreadProc(const CCustomThread::tagParams& params);
    bool AcquireStep(const std::stop_token& stop);
    // Waits until the time, a stop, or (wakeOnNews) samples from the link or a write to do.
    void WaitUntil(std::chrono::steady_clock::time_point until, const std::stop_token& stop, bool wakeOnNews);
    void Wake();
    // What the worker posts back.
    void OnReadFailed(uint64_t run);
    void OnWriteDone(const tagWriteOutcome& outcome);
    // After the worker ended: the batch it handed over and the samples it read since, shown now
    // rather than by posted work that comes after the stop.
    void DrainAfterStop();

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
    tagRecordingStart m_start;
    tagCaptureSettings m_captureSettings;
    CTriggerCapture m_capture;
    std::optional<uint64_t> m_sampleLimit;
    uint64_t m_samplesTaken = 0;
    std::optional<std::pair<double, std::chrono::system_clock::time_point>> m_clockAnchor;
    std::optional<std::chrono::system_clock::time_point> m_triggeredAt;
    uint32_t m_eventsClosed = 0;
    std::chrono::steady_clock::time_point m_startedAt;
    std::atomic<int> m_writePending{0};
    int m_writeBusy = 0;
    tagWriteRequest m_write; // read by the worker while a write is pending
    bool m_checkWrites = true;
    bool m_eventView = false;
    bool m_showingEvent = false;
    std::vector<double> m_liveLatest;
    std::chrono::milliseconds m_batchSpacing{0};
    std::chrono::steady_clock::time_point m_lastHandOff; // the worker's
    std::atomic<uint32_t> m_interfaceType{INTERFACE_SERIAL};
    // Counts recordings: what a worker posts belongs to the recording it read for.
    std::atomic<uint64_t> m_run{0};
    // The worker sleeps on this between reads; the link's samples and a write to do wake it.
    std::mutex m_wakeMutex;
    std::condition_variable_any m_wake;
    bool m_news = false;
    CCustomThread m_worker;
};
