#include "MonitorSession.h"

#include "acquisition/ChannelModel.h"
#include "acquisition/StringIds.h"
#include "files/CsvFile.h"
#include "files/DataFile.h"
#include "files/WorkspacePaths.h"
#include "kit/CsvStream.h"
#include "kit/DocPath.h"
#include "link/Communicater.h"

#include <algorithm>
#include <ctime>

#include <charconv>
#include <limits>

namespace {

// An unsigned field as the window's digit-only edits hold it; empty reads as 0, too many digits
// as the largest value.
uint32_t ParseField(std::string_view text) {
    uint32_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error == std::errc::result_out_of_range) {
        return std::numeric_limits<uint32_t>::max();
    }
    return error == std::errc{} ? value : 0;
}

} // namespace

CMonitorSession::CMonitorSession(CChartCtrl& chart, const std::string& timeAxisTitle, CSessionView& view)
    : m_view(view) {
    tagTraceCallbacks callbacks;
    callbacks.owner = this;
    callbacks.viewChanged = &CMonitorSession::OnViewChanged;
    callbacks.mouseMoved = &CMonitorSession::OnMouseMoved;
    callbacks.timeRangeChanged = &CMonitorSession::OnTimeAxisRangeChanged;
    callbacks.cursorMoved = &CMonitorSession::OnCursorMoved;
    m_traces = std::make_unique<CTraceSet>(chart, timeAxisTitle, m_state.timeAxisStep, m_state.measurement,
                                           callbacks);
    CRecorderView& recorderView = *this;
    m_recorder = std::make_unique<CRecorder>(m_state, *m_traces, recorderView);
}

CMonitorSession::~CMonitorSession() {
    m_recorder.reset();
    m_traces.reset();
}

void CMonitorSession::ApplyLinkSettings() {
    CCommunicater::SetInterface(m_state.interfaceType);
    CCommunicater::SetCommunicatCPPCfg(&m_state.link, nullptr);
}

void CMonitorSession::EndCommSettings(bool accepted, const tagLinkFields& fields) {
    if (accepted) {
        m_state.link = fields.link;
        m_state.interfaceType = fields.interfaceType;
    }
    CCommunicater::SetCommunicatCPPCfg(&m_state.link, nullptr);
}

bool CMonitorSession::BeginAddChannel() {
    if (m_state.channels.size() >= kMaxChannels) {
        m_view.ShowMessage(IDS_TOO_MANY_CHANNELS);
        return false;
    }
    return true;
}

uint32_t CMonitorSession::NextChannelColour() const {
    const size_t k = m_state.channels.size();
    return k < kMaxChannels ? m_traces->Serie(k).GetColor() : DefaultChannelColours[0];
}

void CMonitorSession::AddChannel(const tagOscilloElem& channel) {
    if (m_state.channels.size() >= kMaxChannels) {
        return;
    }
    const size_t k = m_state.channels.size();
    m_state.channels.push_back(channel);
    m_traces->Serie(k).SetYScale(1.0);
    m_traces->ApplyChannel(k, channel);
    m_view.RefreshTable();
}

void CMonitorSession::ModifyChannel(size_t k, const tagOscilloElem& record) {
    if (k >= m_state.channels.size() || IsRecording()) {
        return;
    }
    m_state.channels[k] = record;
    CChartCtrl& chart = m_traces->Chart();
    chart.SetRedrawEnabled(false);
    m_traces->Serie(k).ClearSerie(); // the old points belong to the old element
    m_traces->ApplyChannel(k, record);
    chart.SetRedrawEnabled(true);
    m_view.RefreshTable();
}

void CMonitorSession::RequestDeleteChannel(size_t k) {
    if (k >= m_state.channels.size() || IsRecording() || !m_view.AskYesNo(IDS_DELETE_CONFIRM)) {
        return;
    }
    DeleteChannel(k);
}

void CMonitorSession::DeleteChannel(size_t k) {
    if (k >= m_state.channels.size() || IsRecording()) {
        return;
    }
    ::DeleteChannel(m_state, *m_traces, k);
    m_view.RefreshTable();
    UpdateStatistics();
    UpdateCursorReadouts();
}

void CMonitorSession::ToggleVisibility(size_t k) {
    if (k >= m_state.channels.size()) {
        return;
    }
    CChartLineSerie& serie = m_traces->Serie(k);
    serie.SetVisible(!serie.IsVisible());
    m_view.ShowVisibility(k, serie.IsVisible());
    UpdateCursorReadouts();
    UpdateStatistics();
}

void CMonitorSession::SetChannelColour(size_t k, uint32_t colour) {
    if (k >= m_state.channels.size()) {
        return;
    }
    m_state.channels[k].colour = colour;
    m_traces->Serie(k).SetColor(colour);
    m_view.ShowColour(k, colour);
}

void CMonitorSession::SetScaleText(size_t k, const std::string& text) {
    if (k >= m_state.channels.size()) {
        return;
    }
    const double scale = ParseScale(text);
    m_traces->Serie(k).SetYScale(scale);
    m_view.ShowScale(k, ScaleText(scale));
}

void CMonitorSession::OnPeriodChanged(std::string_view text) {
    const uint32_t typed = ParseField(text);
    m_state.period = ClampPeriod(typed);
    if (m_state.period != typed || text.empty()) {
        m_view.ShowPeriod(m_state.period);
    }
}

void CMonitorSession::OnTimeAxisChanged(std::string_view text) {
    m_state.timeAxisStep = ParseField(text);
    if (m_state.timeAxisStep == 0) {
        m_state.timeAxisStep = CorrectTimeAxisStep(0);
        m_view.ShowTimeAxisStep(m_state.timeAxisStep);
    }
    m_traces->TimeAxis().SetBaseStep(m_state.timeAxisStep);
}

void CMonitorSession::OnMeasurement(bool on) {
    m_state.measurement = on;
    m_traces->SetMeasurement(on);
    UpdateCursorReadouts();
}

std::optional<tagTriggerDialogFields> CMonitorSession::BeginTriggerSetting() {
    const size_t n = m_state.channels.size();
    if (n == 0) {
        m_view.ShowMessage(IDS_NO_CHANNEL);
        return std::nullopt;
    }
    tagTriggerSettings& trigger = m_state.trigger;
    if (trigger.channel >= n) {
        trigger.enable = 0;
        trigger.channel = 0;
    }
    tagTriggerDialogFields fields;
    for (const tagOscilloElem& channel : m_state.channels) {
        fields.channelNames.push_back(ChannelDisplayName(channel));
    }
    fields.enable = trigger.enable;
    fields.channel = trigger.channel;
    fields.condition = trigger.condition;
    const EnumGCMDataType type = m_state.channels[trigger.channel].dataType;
    fields.valueText = FormatValue(trigger.value, type == GCM_BOOL ? GCM_INT : type);
    return fields;
}

void CMonitorSession::ApplyTriggerSetting(const tagTriggerDialogFields& fields) {
    m_state.trigger.channel = fields.channel;
    m_state.trigger.enable = fields.enable;
    m_state.trigger.condition = fields.condition;
    m_state.trigger.value = g_ParseLeadingNumber(fields.valueText);
}

void CMonitorSession::OnRun() {
    m_recorder->OnRun();
}

void CMonitorSession::OnWrite() {
    m_recorder->OnWrite();
}

void CMonitorSession::OnClearTracks() {
    if (!m_view.AskYesNo(IDS_CLEAR_CONFIRM)) {
        return;
    }
    m_recorder->ClearTracks();
    m_view.RefreshTable();
}

void CMonitorSession::OnAcquisitionNotify(int wParam, int lParam) {
    m_recorder->OnAcquisitionNotify(wParam, lParam);
}

void CMonitorSession::UpdateStatistics() {
    m_view.ShowStatistics(ComputeStatistics(m_state.channels, *m_traces));
}

void CMonitorSession::UpdateCursorReadouts() {
    m_view.ShowCursorReadouts(
        ComputeCursorReadouts(m_state.measurement, m_traces->CursorX1().GetPositionValue(),
                              m_traces->CursorX2().GetPositionValue(), m_state.channels, *m_traces));
}

void CMonitorSession::ApplyAdaptiveScaling() {
    for (size_t k : ::ApplyAdaptiveScaling(m_state.adaptive, m_state.channels, *m_traces)) {
        m_view.ShowScale(k, ScaleText(m_traces->Serie(k).GetYScale()));
    }
}

std::string CMonitorSession::ChartTooltip() {
    CChartCtrl& chart = m_traces->Chart();
    if (!chart.IsMouseFree() || IsRecording()) {
        return {};
    }
    std::vector<std::string> names;
    for (const tagOscilloElem& channel : m_state.channels) {
        names.push_back(ChannelDisplayName(channel));
    }
    const double t = m_traces->TimeAxis().PixelToValue(chart.GetLastMousePoint().x);
    return ChartTooltipText(t, names, m_state.channels, *m_traces);
}

void CMonitorSession::UpdateChartTooltip() {
    std::string text = ChartTooltip();
    if (text != m_tooltip) {
        m_tooltip = std::move(text);
        m_view.ShowTooltip(m_tooltip);
    }
}

void CMonitorSession::AfterBatch() {
    ApplyAdaptiveScaling();
    UpdateCursorReadouts();
    UpdateStatistics();
}

bool CMonitorSession::SaveDataFile(const std::string& path, const double* limitX) {
    m_view.SetWaitCursor(true);
    const bool ok = WriteDataFile(path, m_state, *m_traces, limitX);
    m_view.SetWaitCursor(false);
    return ok;
}

bool CMonitorSession::LoadDataFile(const std::string& path) {
    m_view.SetWaitCursor(true);
    CChartCtrl& chart = m_traces->Chart();
    chart.SetRedrawEnabled(false);
    const EnumDataFileRead read = ReadDataFile(path, m_state, *m_traces);
    if (read == EnumDataFileRead::Missing) {
        chart.SetRedrawEnabled(true);
        m_view.SetWaitCursor(false);
        return false;
    }
    RefreshAfterLoad();
    m_view.SetWaitCursor(false);
    return read == EnumDataFileRead::Read;
}

double CMonitorSession::LatestVisibleTime() const {
    double latest = 0.0;
    for (size_t k = 0; k < m_state.channels.size(); ++k) {
        double min = 0.0, max = 0.0;
        if (m_traces->Serie(k).GetXRange(min, max)) { // visible and holding points
            latest = std::max(latest, max);
        }
    }
    return latest;
}

void CMonitorSession::ShowLoadedTraces() {
    m_traces->TimeAxis().ResetZoom();
    m_traces->ValueAxis().ResetZoom();
    m_traces->TimeAxis().FollowTime(LatestVisibleTime());
}

void CMonitorSession::RefreshAfterLoad() {
    // Drawing is suspended since the load began; it resumes once the view is set.
    CChartCtrl& chart = m_traces->Chart();
    // A damaged step must not leave the time axis without divisions.
    m_traces->TimeAxis().SetBaseStep(CorrectTimeAxisStep(m_state.timeAxisStep));
    ShowLoadedTraces();
    chart.SetRedrawEnabled(true);
    m_view.RefreshTable();
    UpdateCursorReadouts();
    UpdateStatistics();
    ApplyLinkSettings();
    m_view.PushStateToControls();
}

void CMonitorSession::SaveWorkspace() {
    SaveDataFile(WorkspaceFilePath(), nullptr);
}

bool CMonitorSession::IsDataFilePath(const std::string& path) {
    return path.size() >= 4 && path.compare(path.size() - 4, 4, "data") == 0;
}

void CMonitorSession::OnExportData() {
    if (IsRecording()) {
        return;
    }
    if (m_state.channels.empty()) {
        m_view.ShowMessage(IDS_NO_CHANNEL);
        return;
    }
    const std::string path = m_view.AskSavePath(g_TimeStampName(std::time(nullptr)));
    if (path.empty()) {
        return;
    }
    if (g_fFileExists(path) && !m_view.AskYesNo(IDS_FILE_EXISTS)) {
        return;
    }
    m_view.SetWaitCursor(true);
    const bool ok = IsDataFilePath(path) ? SaveDataFile(path, nullptr) : ExportCsv(path);
    m_view.SetWaitCursor(false);
    m_view.ShowMessage(ok ? IDS_EXPORT_OK : IDS_EXPORT_FAILED);
}

void CMonitorSession::OnImportData() {
    if (IsRecording()) {
        return;
    }
    const std::string path = m_view.AskOpenPath();
    if (path.empty()) {
        return;
    }
    m_view.SetWaitCursor(true);
    const bool ok = IsDataFilePath(path) ? LoadDataFile(path) : ImportCsv(path);
    m_view.SetWaitCursor(false);
    m_view.ShowMessage(ok ? IDS_IMPORT_OK : IDS_IMPORT_FAILED);
}

bool CMonitorSession::ExportCsv(const std::string& path) {
    return WriteCsvFile(path, m_state, *m_traces);
}

bool CMonitorSession::ImportCsv(const std::string& path) {
    CChartCtrl& chart = m_traces->Chart();
    chart.SetRedrawEnabled(false);
    const bool ok = ReadCsvFile(path, m_state, *m_traces);
    if (ok) {
        ShowLoadedTraces();
    }
    chart.SetRedrawEnabled(true);
    if (ok) {
        m_view.RefreshTable();
        ApplyAdaptiveScaling();
        UpdateCursorReadouts();
        UpdateStatistics();
    }
    return ok;
}

void CMonitorSession::TrimCache() {
    const uint32_t cache = m_state.cacheSize;
    if (cache < 2) {
        return;
    }
    for (size_t k = 0; k < m_state.channels.size(); ++k) {
        const CChartLineSerie& serie = m_traces->Serie(k);
        if (serie.GetPointCount() < cache) {
            continue;
        }
        const double cut = serie.GetXValue(cache / 2 - 1);
        if (m_state.autoSave) {
            const std::string folder = m_autoSaveFolder.empty() ? AutoSaveFolder() : m_autoSaveFolder;
            const std::string path = folder + g_TimeStampName(std::time(nullptr)) + ".data";
            SaveDataFile(path, &cut);
            if (m_autoSavedFiles.empty() || m_autoSavedFiles.back() != path) {
                m_autoSavedFiles.push_back(path);
            }
        }
        const uint32_t before = m_traces->Serie(0).GetPointCount();
        for (size_t j = 0; j < m_state.channels.size(); ++j) {
            m_traces->Serie(j).RemovePointsUpTo(cut);
        }
        m_trimmedPoints += before - m_traces->Serie(0).GetPointCount();
        return;
    }
}

void CMonitorSession::LoadWorkspace() {
    LoadDataFile(WorkspaceFilePath());
}

void CMonitorSession::OnViewChanged(void* owner) {
    auto* self = static_cast<CMonitorSession*>(owner);
    self->UpdateCursorReadouts();
    self->UpdateStatistics();
}

void CMonitorSession::OnMouseMoved(void* owner) {
    static_cast<CMonitorSession*>(owner)->UpdateChartTooltip();
}

void CMonitorSession::OnTimeAxisRangeChanged(void* owner) {
    auto* self = static_cast<CMonitorSession*>(owner);
    self->m_state.timeAxisStep = static_cast<uint32_t>(self->m_traces->TimeAxis().GetStep());
    self->m_view.ShowTimeAxisStep(self->m_state.timeAxisStep);
}

void CMonitorSession::OnCursorMoved(void* owner) {
    static_cast<CMonitorSession*>(owner)->UpdateCursorReadouts();
}
