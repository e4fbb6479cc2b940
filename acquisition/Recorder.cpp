#include "Recorder.h"

#include "ChannelModel.h"
#include "StringIds.h"
#include "kit/KitHelpers.h"
#include "kit/TextHelpers.h"
#include "link/Communicater.h"

#include <chrono>

namespace {

uint32_t NowMs() {
    using namespace std::chrono;
    return static_cast<uint32_t>(duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

} // namespace

CRecorder::CRecorder(tagMonitorState& state, CTraceSet& traces, CRecorderView& view)
    : m_state(state), m_traces(traces), m_view(view) {}

CRecorder::~CRecorder() {
    m_worker.Stop(nullptr);
}

bool CRecorder::StopWorker() {
    return m_worker.Stop([this] { m_view.PumpMessages(); });
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
        return tagResult::Failed(IDS_SET_CHANNELS_FAILED, CCommunicater::LastError());
    }
    if (CCommunicater::OscilloSetData(OSCILLO_CMD_RUN, &m_setting, 1, 0) != LINK_OK) {
        return tagResult::Failed(IDS_RUN_COMMAND_FAILED, CCommunicater::LastError());
    }
    m_batch.actualPeriod = m_setting.actualPeriod;
    if (m_setting.actualPeriod != m_setting.requestedPeriod) {
        m_state.period = std::max<uint32_t>(1, m_setting.actualPeriod / 8);
        m_view.ShowPeriod(m_state.period);
    }
    m_interfaceType.store(m_state.interfaceType, std::memory_order_release);
    tagRecordingStart start{m_state.channels, m_batch.actualPeriod, m_batch.timeOffset, {}};
    for (size_t k = 0; k < m_state.channels.size(); ++k) {
        double lastY = 0.0;
        const bool held = m_batch.holdPointPending && m_traces.Trace(k).GetLastPoint(nullptr, &lastY);
        start.hold.push_back(held ? std::optional<double>(lastY) : std::nullopt);
    }
    m_view.RecordingStarted(start);
    m_start = start;
    m_start.hold.assign(start.hold.size(), std::nullopt);
    m_capture.Start(m_state.trigger, m_captureSettings, m_blockA.types, m_batch.actualPeriod);
    m_clockAnchor.reset();
    m_triggeredAt.reset();
    m_eventsClosed = 0;
    m_startedAt = std::chrono::steady_clock::now();
    m_traces.SetTriggerMark(std::nullopt);
    m_recording = true;
    m_worker.Start(&CRecorder::AcquisitionThreadProc, this, [this] { m_view.PumpMessages(); });
    m_view.UpdateRunControls(true);
    m_view.TriggerStateChanged();
    return tagResult::Done();
}

void CRecorder::AcquisitionThreadProc(CCustomThread::tagParams& params) {
    auto* self = static_cast<CRecorder*>(params.owner);
    if (params.stop.load(std::memory_order_acquire)) {
        return;
    }
    bool ok = true;
    while (params.stop.load(std::memory_order_acquire) == 0) {
        ok = self->AcquireStep();
        if (!ok) {
            break;
        }
    }
    if (!ok) {
        self->m_view.PostNotify(NOTIFY_FAILURE, FAILURE_READ);
    }
}

bool CRecorder::AcquireStep() {
    if (m_writePending.load(std::memory_order_acquire)) {
        tagWriteOutcome outcome = WriteElement(m_write);
        const bool written = outcome.written;
        {
            std::lock_guard lock(m_outcomeMutex);
            m_outcome = std::move(outcome);
        }
        m_view.PostNotify(NOTIFY_FAILURE, written ? NOTICE_WRITE_DONE : FAILURE_WRITE);
        m_writePending.store(0, std::memory_order_release);
    }
    const uint32_t start = NowMs();
    tagOscilloData* block = m_workerBlock.load(std::memory_order_acquire);
    if (CCommunicater::OscilloGetData(block, nullptr, 1, 0) != LINK_OK) {
        return false;
    }
    if (m_batchReady.load(std::memory_order_acquire) == 0 && !block->samples.empty()) {
        m_workerBlock.store(m_displayBlock.load(std::memory_order_acquire), std::memory_order_release);
        m_displayBlock.store(block, std::memory_order_release);
        m_batchReady.store(1, std::memory_order_release);
        m_view.PostNotify(NOTIFY_BATCH, 0);
    }
    // Serial links are polled often; Ethernet and USB answer in bigger blocks.
    const uint32_t type = m_interfaceType.load(std::memory_order_acquire);
    const bool quick = NowMs() - start < 30;
    g_Delay(type != INTERFACE_SERIAL && quick ? 0.03 : 0.005);
    return true;
}

void CRecorder::OnAcquisitionNotify(int wParam, int lParam) {
    if (wParam == NOTIFY_BATCH) {
        ProcessBatch();
        return;
    }
    switch (lParam) {
    case FAILURE_READ: {
        // Stops the recording it came from; one that already ended stays ended.
        const bool recording = m_recording;
        StopRecording();
        if (recording) {
            m_view.ShowResult(tagResult::Failed(IDS_READ_FAILED, CCommunicater::LastError()));
        }
        break;
    }
    case FAILURE_WRITE: {
        const tagWriteOutcome outcome = LastOutcome();
        m_view.ElementWritten(outcome);
        m_view.ShowResult(tagResult::Failed(IDS_WRITE_FAILED, outcome.reason));
        break;
    }
    case FAILURE_JOURNAL:
        m_view.JournalFailed();
        break;
    case NOTICE_WRITE_DONE:
        m_view.ElementWritten(LastOutcome());
        break;
    case FAILURE_LOAD_WORKSPACE:
        m_view.SetWaitCursor(true);
        m_view.LoadWorkspace();
        m_view.SetWaitCursor(false);
        break;
    default:
        break;
    }
}

namespace {

// Period times tick in 32 bits, as the controller counts.
double SampleTime(const tagBatchContext& context, const tagOscilloVal& sample) {
    return static_cast<uint32_t>(context.actualPeriod * sample.tick) * 0.125 + context.timeOffset;
}

void PlotSample(const tagOscilloVal& sample, double t, const std::vector<EnumGCMDataType>& types,
                tagBatchContext& context, CTraceSet& traces) {
    for (size_t k = 0; k < types.size(); ++k) {
        const double v = ConvertRawValue(sample.raw[k], types[k]);
        CTrace& serie = traces.Trace(k);
        double lastY = 0.0;
        // The trace holds its old value up to the new recording's first sample.
        if (context.holdPointPending && serie.GetLastPoint(nullptr, &lastY) && lastY != v) {
            serie.AddPoint(t, lastY);
        }
        serie.AddPoint(t, v);
    }
    context.holdPointPending = 0;
}

} // namespace

tagBatchResult AddSamplesToTraces(const tagOscilloData& block, CTriggerCapture& capture,
                                  tagBatchContext& context, CTraceSet& traces, CBatchSink* sink) {
    const std::span<const tagOscilloVal> samples(block.samples);
    tagBatchResult result;
    size_t run = 0; // the first sample of the run of plotted ones not told yet
    auto tell = [&](size_t end) {
        if (sink && end > run) {
            sink->Plotted(samples.subspan(run, end - run));
        }
    };
    for (size_t s = 0; s < samples.size(); ++s) {
        const tagOscilloVal& sample = samples[s];
        const double t = SampleTime(context, sample);
        result.lastTime = t; // for every sample, plotted or not
        switch (capture.Offer(sample, t)) {
        case EnumSampleFate::Skip:
            tell(s);
            run = s + 1;
            continue;
        case EnumSampleFate::Close:
            tell(s);
            run = s + 1;
            if (sink) {
                sink->EventClosed(capture.TakeEvent());
            }
            continue;
        case EnumSampleFate::Fire: {
            tell(s);
            run = s;
            if (capture.Repeat()) {
                // The window shows the latest event alone.
                for (size_t k = 0; k < block.types.size(); ++k) {
                    traces.Trace(k).Clear();
                }
                context.holdPointPending = 0;
            }
            if (sink) {
                sink->Fired(t);
            }
            const std::vector<tagOscilloVal> history = capture.TakeHistory();
            for (const tagOscilloVal& h : history) {
                PlotSample(h, SampleTime(context, h), block.types, context, traces);
            }
            if (sink && !history.empty()) {
                sink->Plotted(history);
            }
            break;
        }
        case EnumSampleFate::Plot:
            break;
        }
        PlotSample(sample, t, block.types, context, traces);
        result.lastPlotted = t;
    }
    tell(samples.size());
    return result;
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
        m_clockAnchor.emplace(SampleTime(m_batch, block->samples.back()), std::chrono::system_clock::now());
    }
    CTraceDisplay& display = m_traces.Display();
    display.BeginChanges();
    const tagBatchResult added = AddSamplesToTraces(*block, m_capture, m_batch, m_traces, this);
    m_view.TrimCache();
    // With repeat, the latest event stays in view while the trigger waits for the next.
    const bool holdView =
        m_capture.Repeat() && m_triggeredAt && m_capture.Phase() != EnumTriggerPhase::Triggered;
    if (!holdView) {
        display.FollowTime(added.lastTime);
    } else if (added.lastPlotted) {
        display.FollowTime(*added.lastPlotted);
    }
    display.Redraw();
    m_view.AfterBatch();
    display.EndChanges();
    block->samples = {};
    m_batchReady.store(0, std::memory_order_release);
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

tagWriteOutcome CRecorder::LastOutcome() const {
    std::lock_guard lock(m_outcomeMutex);
    return m_outcome;
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
        m_writeBusy = 0;
        return;
    }
    tagWriteOutcome outcome = WriteElement(m_write);
    const bool written = outcome.written;
    {
        std::lock_guard lock(m_outcomeMutex);
        m_outcome = std::move(outcome);
    }
    if (!written) {
        m_view.PostNotify(NOTIFY_FAILURE, FAILURE_WRITE);
    } else {
        m_view.ElementWritten(LastOutcome());
    }
    m_writeBusy = 0;
}
