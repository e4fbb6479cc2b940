#include "MonitorSession.h"

#include "acquisition/StringIds.h"
#include "files/WorkspacePaths.h"
#include "kit/DocPath.h"
#include "link/Communicater.h"

#include <chrono>
#include <ctime>

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
    m_readouts = std::make_unique<CReadouts>(m_state, *m_traces, m_view);
    m_journal = std::make_unique<CJournalKeeper>(m_state, *m_traces, m_view);
    m_link = std::make_unique<CLinkSettings>(m_state);
    m_channels =
        std::make_unique<CChannelEditor>(m_state, *m_traces, *m_recorder, *m_readouts, *m_journal, m_view);
    m_fields = std::make_unique<CFieldRules>(m_state, *m_traces, *m_recorder, *m_readouts, m_view);
    m_files = std::make_unique<CRecordingFiles>(m_state, *m_traces, *m_link, *m_readouts, *m_journal, m_view);
    m_trimmer = std::make_unique<CCacheTrimmer>(m_state, *m_traces, *m_files, *m_journal);
    m_events = std::make_unique<CEventFiles>(m_state, m_view);
}

void CMonitorSession::AfterBatch() {
    m_readouts->UpdateAll();
    m_view.ShowLinkStatistics(CCommunicater::Statistics());
    ShowStatus();
}

void CMonitorSession::ShowStatus() {
    tagSessionStatus status;
    status.link = g_LinkText(m_state);
    status.recording = IsRecording();
    if (status.recording) {
        status.elapsed = std::chrono::duration_cast<std::chrono::seconds>(std::chrono::steady_clock::now() -
                                                                          m_recorder->StartedAt());
    }
    status.lastWrite = m_lastWrite;
    status.journal = m_journal->InUse();
    m_view.ShowSessionStatus(status);
}

void CMonitorSession::ReportLinkProblems() {
    const std::string error = CCommunicater::MapError();
    if (!m_linkProblemsShown && !error.empty()) {
        m_linkProblemsShown = true;
        m_view.ShowResult(tagResult::Failed(IDS_MAP_FILE_ERRORS, error));
    }
}

tagTriggerStatus CMonitorSession::TriggerStatus() const {
    tagTriggerStatus status = m_recorder->TriggerStatus();
    status.eventsSaved = m_events->Saved();
    return status;
}

CMonitorSession::~CMonitorSession() {
    // The worker goes first: it posts to the parts.
    m_recorder.reset();
}

bool CMonitorSession::BeginAddChannel() {
    const tagResult fits = m_channels->CanAdd();
    if (!fits.ok) {
        m_view.ShowResult(fits);
    }
    return fits.ok;
}

void CMonitorSession::OnClearTracks() {
    if (!m_view.AskYesNo(IDS_CLEAR_CONFIRM)) {
        return;
    }
    m_recorder->ClearTracks();
    m_journal->Reset();
    m_view.RefreshTable();
}

void CMonitorSession::OnExportData() {
    if (IsRecording()) {
        return;
    }
    if (m_state.channels.empty()) {
        m_view.ShowResult(tagResult::Failed(IDS_NO_CHANNEL));
        return;
    }
    const std::string path = m_view.AskSavePath(g_TimeStampName(std::time(nullptr)));
    if (path.empty()) {
        return;
    }
    if (g_fFileExists(path) && !m_view.AskYesNo(IDS_FILE_EXISTS)) {
        return;
    }
    m_view.ShowResult(m_files->ExportRecording(path));
}

void CMonitorSession::OnImportData() {
    if (IsRecording()) {
        return;
    }
    const std::string path = m_view.AskOpenPath();
    if (path.empty()) {
        return;
    }
    m_view.ShowResult(m_files->ImportRecording(path));
}

void CMonitorSession::OnViewChanged(void* owner) {
    auto* self = static_cast<CMonitorSession*>(owner);
    self->m_readouts->UpdateCursorReadouts();
    self->m_readouts->UpdateStatistics();
}

void CMonitorSession::OnMouseMoved(void* owner) {
    static_cast<CMonitorSession*>(owner)->OnChartMouseMoved();
}

void CMonitorSession::OnTimeAxisRangeChanged(void* owner) {
    auto* self = static_cast<CMonitorSession*>(owner);
    self->m_fields->FollowTimeAxisStep(static_cast<uint32_t>(self->m_traces->TimeAxis().GetStep()));
}

void CMonitorSession::OnCursorMoved(void* owner) {
    static_cast<CMonitorSession*>(owner)->m_readouts->UpdateCursorReadouts();
}

void CMonitorSession::OfferRecovery() {
    const tagJournalSummary left = m_journal->LeftOver();
    if (!left.error.empty()) {
        // Unreadable: kept aside for a closer look, and the user learns why nothing came back.
        m_journal->SetAside();
        m_view.ShowResult(tagResult::Failed(IDS_IMPORT_FAILED, left.error));
        return;
    }
    if (left.samples == 0) {
        return;
    }
    std::string when = "--:--:--";
    if (left.lastCommit) {
        const std::time_t seconds = std::chrono::system_clock::to_time_t(*left.lastCommit);
        std::tm local{};
        localtime_r(&seconds, &local);
        char text[16];
        std::strftime(text, sizeof text, "%H:%M:%S", &local);
        when = text;
    }
    if (m_view.AskYesNo(IDS_JOURNAL_RECOVER, {when, std::to_string(left.samples)})) {
        m_view.ShowResult(m_files->RecoverJournal());
        return;
    }
    const tagResult aside = m_journal->SetAside();
    if (!aside.ok) {
        m_view.ShowResult(aside);
    }
}
