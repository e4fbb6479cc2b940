#include "Recorder.h"

#include "ChannelModel.h"
#include "StringIds.h"
#include "kit/KitHelpers.h"
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
    m_view.RecordingStopped();
    m_view.UpdateRunControls(false);
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
        if (m_traces.Serie(k).GetLastPoint(&lastX, nullptr) && lastX + 1000.0 > m_batch.timeOffset) {
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
        const bool held = m_batch.holdPointPending && m_traces.Serie(k).GetLastPoint(nullptr, &lastY);
        start.hold.push_back(held ? std::optional<double>(lastY) : std::nullopt);
    }
    m_view.RecordingStarted(start);
    m_recording = true;
    m_worker.Start(&CRecorder::AcquisitionThreadProc, this, [this] { m_view.PumpMessages(); });
    m_view.UpdateRunControls(true);
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
        if (!WriteElement(m_write)) {
            m_view.PostNotify(NOTIFY_FAILURE, FAILURE_WRITE);
        }
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
    case FAILURE_WRITE:
        m_view.ShowResult(tagResult::Failed(IDS_WRITE_FAILED, CCommunicater::LastError()));
        break;
    case FAILURE_JOURNAL:
        m_view.JournalFailed();
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

tagBatchResult AddSamplesToTraces(const tagOscilloData& block, const tagTriggerSettings& trigger,
                                  tagBatchContext& context, CTraceSet& traces) {
    const size_t channels = block.types.size();
    tagBatchResult result{0.0, block.samples.size()};
    double& t = result.lastTime;
    for (size_t s = 0; s < block.samples.size(); ++s) {
        const tagOscilloVal& sample = block.samples[s];
        // Period times tick in 32 bits, as the controller counts.
        t = static_cast<uint32_t>(context.actualPeriod * sample.tick) * 0.125 + context.timeOffset;
        if (trigger.enable && !context.triggered) {
            const size_t k = trigger.channel;
            if (k >= channels || !EvaluateTriggerCondition(ConvertRawValue(sample.raw[k], block.types[k]),
                                                           trigger.value, trigger.condition)) {
                continue;
            }
            context.triggered = 1;
        }
        result.firstPlotted = std::min(result.firstPlotted, s);
        for (size_t k = 0; k < channels; ++k) {
            const double v = ConvertRawValue(sample.raw[k], block.types[k]);
            CChartLineSerie& serie = traces.Serie(k);
            double lastY = 0.0;
            // The trace holds its old value up to the new recording's first sample.
            if (context.holdPointPending && serie.GetLastPoint(nullptr, &lastY) && lastY != v) {
                serie.AddPoint(t, lastY);
            }
            serie.AddPoint(t, v);
        }
        context.holdPointPending = 0;
    }
    return result;
}

void CRecorder::ProcessBatch() {
    tagOscilloData* block = m_displayBlock.load(std::memory_order_acquire);
    if (!block || block->samples.empty()) {
        m_batchReady.store(0, std::memory_order_release);
        return;
    }
    CChartCtrl& chart = m_traces.Chart();
    chart.SetRedrawEnabled(false);
    const tagBatchResult added = AddSamplesToTraces(*block, m_state.trigger, m_batch, m_traces);
    if (added.firstPlotted < block->samples.size()) {
        m_view.SamplesPlotted(block->samples, added.firstPlotted);
    }
    m_view.TrimCache();
    m_traces.TimeAxis().FollowTime(added.lastTime);
    chart.RedrawChart();
    m_view.AfterBatch();
    chart.SetRedrawEnabled(true);
    block->samples = {};
    m_batchReady.store(0, std::memory_order_release);
}

void CRecorder::ClearTracks() {
    CChartCtrl& chart = m_traces.Chart();
    chart.SetRedrawEnabled(false);
    for (size_t k = 0; k < kMaxChannels; ++k) {
        m_traces.Serie(k).ClearSerie();
    }
    m_traces.TimeAxis().ResetZoom();
    m_traces.ValueAxis().ResetZoom();
    chart.SetRedrawEnabled(true);
}

void CRecorder::OnWrite() {
    if (m_writeBusy || IsWritePending()) {
        return;
    }
    m_writeBusy = 1;
    const std::optional<tagWriteRequest> request =
        PrepareWrite(m_state.writeAddress, m_state.writeValue, m_state.writeTypeIndex);
    if (!request) {
        m_writeBusy = 0;
        return;
    }
    m_write = *request;
    if (m_recording) {
        m_writePending.store(1, std::memory_order_release);
        m_writeBusy = 0;
        return;
    }
    if (!WriteElement(m_write)) {
        m_view.PostNotify(NOTIFY_FAILURE, FAILURE_WRITE);
    }
    m_writeBusy = 0;
}
