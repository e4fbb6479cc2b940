#include "Recorder.h"

#include "ChannelModel.h"
#include "StringIds.h"
#include "kit/Log.h"
#include "kit/TextHelpers.h"
#include "link/Communicater.h"

#include <algorithm>
#include <chrono>
#include <utility>

namespace {

using Clock = std::chrono::steady_clock;

// Between two reads the worker pauses as the original program did: 5 ms on a serial link, 30 ms on
// Ethernet and USB after a quick read (they answer in bigger blocks).
std::chrono::milliseconds PauseAfterRead(uint32_t interfaceType, Clock::duration readTook) {
    const bool quick = readTook < std::chrono::milliseconds(30);
    return std::chrono::milliseconds(interfaceType != INTERFACE_SERIAL && quick ? 30 : 5);
}

// The longest the worker sleeps without looking at the link.
constexpr std::chrono::seconds kLongestSleep{1};

} // namespace

CRecorder::CRecorder(tagMonitorState& state, CTraceSet& traces, CRecorderView& view)
    : m_state(state), m_traces(traces), m_view(view) {}

CRecorder::~CRecorder() {
    m_worker.Stop();
    CCommunicater::OscilloSetListener({});
}

bool CRecorder::StopWorker() {
    if (!m_worker.Stop()) {
        return false;
    }
    DrainAfterStop();
    return true;
}

void CRecorder::DrainAfterStop() {
    if (!m_recording) {
        return;
    }
    ProcessBatch(); // handed over, its posted work not run yet
    tagOscilloData* rest = m_workerBlock.load(std::memory_order_acquire);
    if (rest && !rest->samples.empty()) {
        m_workerBlock.store(m_displayBlock.load(std::memory_order_acquire), std::memory_order_release);
        m_displayBlock.store(rest, std::memory_order_release);
        ProcessBatch();
    }
}

void CRecorder::StopRecording() {
    if (!StopWorker()) {
        return; // the stop in progress sends the command
    }
    m_writePending.store(0, std::memory_order_release);
    if (!m_recording) {
        return;
    }
    m_recording = false;
    m_showingEvent = false;
    m_traces.Display().ShowArmedNotice(false);
    g_Log().info("recording {} stopped", m_run.load());
    m_setting.run = 0;
    CCommunicater::OscilloSetData(OSCILLO_CMD_RUN, &m_setting, 1, 0);
    // An event the stop cut short is saved with what it has.
    if (std::optional<tagCapturedEvent> open = m_capture.TakeOpenEvent()) {
        EventClosed(std::move(*open));
    }
    m_view.RecordingStopped();
    m_view.UpdateRunControls(false);
    m_view.TriggerStateChanged();
}

void CRecorder::OnRun() {
    m_view.SetWaitCursor(true);
    struct tagRestore {
        CRecorderView& view;
        ~tagRestore() { view.SetWaitCursor(false); }
    } restore{m_view};

    if (!StopWorker()) {
        return;
    }
    if (m_recording) {
        StopRecording();
        return;
    }
    const tagResult started = StartRecording();
    if (!started.ok) {
        m_view.ShowResult(started);
    }
}

tagResult CRecorder::StartRecording() {
    if (!StopWorker()) {
        return tagResult::Failed(0, "a stop is in progress");
    }
    if (m_state.channels.empty()) {
        return tagResult::Failed(IDS_NO_CHANNEL);
    }
    m_writePending.store(0, std::memory_order_release);
    if (m_recording) {
        return tagResult::Done();
    }

    m_batch = {};
    m_capture = {}; // not triggered
    if (m_state.trigger.enable && m_state.trigger.channel >= m_state.channels.size()) {
        m_state.trigger.Reset();
    }
    m_batchReady.store(0, std::memory_order_release);
    m_blockA = {};
    m_blockB = {};
    for (size_t k = 0; k < m_state.channels.size(); ++k) {
        m_blockA.types.push_back(m_state.channels[k].dataType);
        m_blockB.types.push_back(m_state.channels[k].dataType);
        double lastX = 0.0;
        // A new recording continues one second after the latest point of any trace.
        if (m_traces.Trace(k).GetLastPoint(&lastX, nullptr) && lastX + 1000.0 > m_batch.timeOffset) {
            m_batch.timeOffset = lastX + 1000.0;
            m_batch.holdPointPending = 1;
        }
    }
    m_workerBlock.store(&m_blockA, std::memory_order_release);
    m_displayBlock.store(&m_blockB, std::memory_order_release);

    m_state.period = ClampPeriod(m_state.period); // a loaded file may hold anything
    m_setting.channels = m_state.channels;
    m_setting.run = 1;
    m_setting.requestedPeriod = static_cast<uint16_t>(m_state.period * 8);
    m_setting.actualPeriod = m_setting.requestedPeriod;
    if (CCommunicater::OscilloSetData(OSCILLO_CMD_LOAD, &m_setting, 1, 0) != LINK_OK) {
        g_Log().warn("a recording could not start: {}", CCommunicater::LastError());
        return tagResult::Failed(IDS_SET_CHANNELS_FAILED, CCommunicater::LastError());
    }
    if (CCommunicater::OscilloSetData(OSCILLO_CMD_RUN, &m_setting, 1, 0) != LINK_OK) {
        g_Log().warn("a recording could not start: {}", CCommunicater::LastError());
        return tagResult::Failed(IDS_RUN_COMMAND_FAILED, CCommunicater::LastError());
    }
    m_batch.period = g_PeriodOfEighths(m_setting.actualPeriod);
    if (m_setting.actualPeriod != m_setting.requestedPeriod) {
        m_state.period = std::max<uint32_t>(1, m_setting.actualPeriod / 8);
        m_view.ShowPeriod(m_state.period);
    }
    m_interfaceType.store(m_state.interfaceType, std::memory_order_release);
    tagRecordingStart start{m_state.channels, m_batch.period, m_batch.timeOffset, {}};
    for (size_t k = 0; k < m_state.channels.size(); ++k) {
        double lastY = 0.0;
        const bool held = m_batch.holdPointPending && m_traces.Trace(k).GetLastPoint(nullptr, &lastY);
        start.hold.push_back(held ? std::optional<double>(lastY) : std::nullopt);
    }
    m_view.RecordingStarted(start);
    m_start = start;
    m_start.hold.assign(start.hold.size(), std::nullopt);
    m_capture.Start(m_state.trigger, m_captureSettings, m_blockA.types, m_batch.period);
    m_clockAnchor.reset();
    m_triggeredAt.reset();
    m_eventsClosed = 0;
    m_startedAt = std::chrono::steady_clock::now();
    m_traces.SetTriggerMark(std::nullopt);
    m_recording = true;
    ++m_run;
    g_Log().info("recording {} started: {} channels every {} us{}", m_run.load(), m_state.channels.size(),
                 std::chrono::duration_cast<std::chrono::microseconds>(m_batch.period).count(),
                 m_state.trigger.enable ? ", on a trigger" : "");
    CCommunicater::OscilloSetListener([this] { Wake(); });
    m_worker.Start(&CRecorder::AcquisitionThreadProc, this);
    m_view.UpdateRunControls(true);
    m_view.TriggerStateChanged();
    return tagResult::Done();
}

void CRecorder::AcquisitionThreadProc(const CCustomThread::tagParams& params) {
    auto* self = static_cast<CRecorder*>(params.owner);
    const uint64_t run = self->m_run.load();
    while (!params.stop.stop_requested()) {
        if (!self->AcquireStep(params.stop)) {
            self->m_view.Post([self, run] { self->OnReadFailed(run); });
            return;
        }
    }
}

bool CRecorder::AcquireStep(const std::stop_token& stop) {
    if (m_writePending.load(std::memory_order_acquire)) {
        tagWriteOutcome outcome = WriteElement(m_write);
        m_view.Post([this, outcome = std::move(outcome)] { OnWriteDone(outcome); });
        m_writePending.store(0, std::memory_order_release);
    }
    const Clock::time_point start = Clock::now();
    tagOscilloData* block = m_workerBlock.load(std::memory_order_acquire);
    if (CCommunicater::OscilloGetData(block, nullptr, 1, 0) != LINK_OK) {
        return false;
    }
    if (m_batchReady.load(std::memory_order_acquire) == 0 && !block->samples.empty() &&
        start - m_lastHandOff >= m_batchSpacing) {
        m_lastHandOff = start;
        m_workerBlock.store(m_displayBlock.load(std::memory_order_acquire), std::memory_order_release);
        m_displayBlock.store(block, std::memory_order_release);
        m_batchReady.store(1, std::memory_order_release);
        m_view.Post([this] { ProcessBatch(); });
    }
    const Clock::time_point read = Clock::now();
    WaitUntil(read + PauseAfterRead(m_interfaceType.load(std::memory_order_acquire), read - start), stop,
              false);
    // Then asleep until the link has samples again (or a write is to be done).
    WaitUntil(std::min(CCommunicater::OscilloNextDue(), Clock::now() + kLongestSleep), stop, true);
    return true;
}

void CRecorder::WaitUntil(Clock::time_point until, const std::stop_token& stop, bool wakeOnNews) {
    std::unique_lock lock(m_wakeMutex);
    m_wake.wait_until(lock, stop, until, [&] { return wakeOnNews && m_news; });
    if (wakeOnNews) {
        m_news = false;
    }
}

void CRecorder::Wake() {
    {
        std::lock_guard lock(m_wakeMutex);
        m_news = true;
    }
    m_wake.notify_one();
}

void CRecorder::OnReadFailed(uint64_t run) {
    // Stops the recording it came from; one that already ended stays ended.
    if (run != m_run.load() || !m_recording) {
        return;
    }
    const std::string why = CCommunicater::LastError();
    g_Log().warn("recording {} ended: the link failed: {}", run, why);
    StopRecording();
    m_view.ShowResult(tagResult::Failed(IDS_READ_FAILED, why));
}

void CRecorder::OnWriteDone(const tagWriteOutcome& outcome) {
    m_view.ElementWritten(outcome);
    if (!outcome.written) {
        m_view.ShowResult(tagResult::Failed(IDS_WRITE_FAILED, outcome.reason));
    }
}

std::chrono::system_clock::time_point CRecorder::WallClockOf(double t) const {
    const auto now = std::chrono::system_clock::now();
    if (!m_clockAnchor) {
        return now;
    }
    const auto since = std::chrono::duration<double, std::milli>(t - m_clockAnchor->first);
    return m_clockAnchor->second + std::chrono::duration_cast<std::chrono::system_clock::duration>(since);
}

void CRecorder::Fired(double t) {
    m_triggeredAt = WallClockOf(t);
    m_traces.SetTriggerMark(tagTriggerMark{t, m_traces.Trace(m_state.trigger.channel).GetColor()});
    if (m_capture.Repeat()) {
        m_view.EventStarted(m_start);
    }
    m_view.TriggerStateChanged();
}

void CRecorder::EventClosed(tagCapturedEvent&& event) {
    ++m_eventsClosed;
    const auto at = WallClockOf(event.triggerTime);
    m_view.EventCaptured({m_start, std::move(event), at});
    m_view.TriggerStateChanged();
}

tagTriggerStatus CRecorder::TriggerStatus() const {
    return {m_capture.Phase(), m_capture.Repeat(), m_recording, m_triggeredAt, m_eventsClosed};
}

void CRecorder::ProcessBatch() {
    tagOscilloData* block = m_displayBlock.load(std::memory_order_acquire);
    if (!block || block->samples.empty()) {
        m_batchReady.store(0, std::memory_order_release);
        return;
    }
    if (!m_clockAnchor) {
        // The newest sample was taken about now; later ones are timed by the controller's ticks.
        m_clockAnchor.emplace(g_SampleTimeMs(m_batch.period, block->samples.back().tick, m_batch.timeOffset),
                              std::chrono::system_clock::now());
    }
    CTraceDisplay& display = m_traces.Display();
    display.BeginChanges();
    std::optional<uint64_t> left;
    if (m_sampleLimit) {
        left = *m_sampleLimit - std::min(m_samplesTaken, *m_sampleLimit);
    }
    const tagBatchResult added = AddSamplesToTraces(*block, m_capture, m_batch, m_traces, this, left);
    m_view.TrimCache();
    // With repeat, while the trigger waits for the next event the latest one fills the plot and
    // the table's latest values go on from the samples; without the event view, the plot scrolls.
    const bool betweenEvents =
        m_capture.Repeat() && m_triggeredAt && m_capture.Phase() != EnumTriggerPhase::Triggered;
    m_showingEvent = betweenEvents && m_eventView;
    if (m_showingEvent) {
        ShowLatestEvent(display);
    } else {
        display.FollowTime(added.lastTime);
    }
    display.ShowArmedNotice(m_showingEvent);
    if (!block->samples.empty()) {
        const tagOscilloVal& newest = block->samples.back();
        m_liveLatest.resize(block->types.size());
        for (size_t k = 0; k < block->types.size(); ++k) {
            m_liveLatest[k] = ConvertRawValue(newest.raw[k], block->types[k]);
        }
    }
    display.Redraw();
    m_view.AfterBatch();
    display.EndBatch();
    block->samples = {};
    m_batchReady.store(0, std::memory_order_release);
}

void CRecorder::ShowLatestEvent(CTraceDisplay& display) {
    // The traces hold the latest event alone: from its history's first sample to its last.
    double from = 0.0, to = 0.0;
    bool any = false;
    for (size_t k = 0; k < m_state.channels.size(); ++k) {
        const CTrace& trace = m_traces.Trace(k);
        double last = 0.0;
        if (trace.GetLastPoint(&last, nullptr)) {
            from = any ? std::min(from, trace.GetXValue(0)) : trace.GetXValue(0);
            to = any ? std::max(to, last) : last;
            any = true;
        }
    }
    if (any) {
        display.ShowTimeRange(from, std::max(to, from + 1.0));
    }
}

std::optional<std::vector<double>> CRecorder::LiveLatest() const {
    if (!m_showingEvent || m_liveLatest.empty()) {
        return std::nullopt;
    }
    return m_liveLatest;
}

void CRecorder::ClearTracks() {
    CTraceDisplay& display = m_traces.Display();
    display.BeginChanges();
    for (size_t k = 0; k < kMaxChannels; ++k) {
        m_traces.Trace(k).Clear();
    }
    m_traces.SetTriggerMark(std::nullopt);
    display.ResetZoom();
    display.Redraw();
    display.EndChanges();
}

void CRecorder::OnWrite() {
    if (m_writeBusy || IsWritePending()) {
        return;
    }
    m_writeBusy = 1;
    const tagWritePlan plan =
        PrepareWrite(m_state.writeAddress, m_state.writeValue, m_state.writeTypeIndex, m_checkWrites);
    if (!plan.request) {
        m_writeBusy = 0;
        if (!plan.refusal.empty()) {
            tagWriteOutcome refused;
            refused.request = {g_Upper(g_Trim(m_state.writeAddress)), std::string(g_Trim(m_state.writeValue)),
                               GCM_INT};
            refused.reason = plan.refusal;
            m_view.ElementWritten(refused);
            const std::string& address = refused.request.address;
            m_view.ShowResult(tagResult::Failed(
                IDS_WRITE_REFUSED, address.empty() ? plan.refusal : address + ": " + plan.refusal));
        }
        return;
    }
    m_write = *plan.request;
    if (m_recording) {
        m_writePending.store(1, std::memory_order_release);
        Wake();
        m_writeBusy = 0;
        return;
    }
    tagWriteOutcome outcome = WriteElement(m_write);
    if (outcome.written) {
        m_view.ElementWritten(outcome);
    } else {
        // The failure is told once the handler is done, as the original program posted it.
        m_view.Post([this, outcome = std::move(outcome)] { OnWriteDone(outcome); });
    }
    m_writeBusy = 0;
}
