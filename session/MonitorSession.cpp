#include "MonitorSession.h"

#include "acquisition/ChannelModel.h"
#include "acquisition/StringIds.h"
#include "files/JournalSql.h"
#include "files/WorkspacePaths.h"
#include "kit/DocPath.h"
#include "kit/Log.h"
#include "link/Communicater.h"

#include <chrono>
#include <ctime>

CMonitorSession::CMonitorSession(CSessionView& view) : m_view(view) {
    m_traces = std::make_unique<CTraceSet>(DefaultChannelColours);
    CRecorderView& recorderView = *this;
    m_recorder = std::make_unique<CRecorder>(m_state, *m_traces, recorderView);
    m_readouts = std::make_unique<CReadouts>(m_state, *m_traces, m_view);
    m_journal = std::make_unique<CJournalKeeper>(m_state, *m_traces, m_view);
    m_link = std::make_unique<CLinkSettings>(m_state);
    m_channels =
        std::make_unique<CChannelEditor>(m_state, *m_traces, *m_recorder, *m_readouts, *m_journal, m_view);
    m_fields =
        std::make_unique<CFieldRules>(m_state, *m_traces, *m_recorder, *m_readouts, *m_journal, m_view);
    m_files = std::make_unique<CRecordingFiles>(m_state, *m_traces, *m_link, *m_readouts, *m_journal, m_view);
    m_trimmer = std::make_unique<CCacheTrimmer>(m_state, *m_traces, *m_files, *m_journal,
                                                m_fields->Settings(), m_view);
    m_events = std::make_unique<CEventFiles>(m_state, m_view);
}

void CMonitorSession::AfterBatch() {
    // Paced like the chart's redraws: batches come hundreds of times a second at 1 ms, the screen
    // shows sixty of them.
    if (!m_fields->Settings().paceRedraws || !m_view.AtNextFrame([this] { ShowPacedReadouts(); })) {
        ShowBatchReadouts();
    }
}

void CMonitorSession::ShowPacedReadouts() {
    // The numbers change ten times a second at most: faster, nobody reads them, and the table's
    // repaints would cost more than the chart's.
    constexpr auto kEvery = std::chrono::milliseconds(100);
    const auto now = std::chrono::steady_clock::now();
    if (now - m_readoutsShownAt < kEvery && m_view.AtNextFrame([this] { ShowPacedReadouts(); })) {
        return;
    }
    m_readoutsShownAt = now;
    // New scales and the like redraw the chart with a frame's redraw, not once more.
    m_traces->Display().BeginChanges();
    ShowBatchReadouts();
    m_traces->Display().EndBatch();
}

void CMonitorSession::ShowBatchReadouts() {
    m_readouts->SetLiveLatest(m_recorder->LiveLatest());
    m_readouts->UpdateAll();
    m_journal->LookChanged(); // adaptive scales, the trigger's marker
    m_view.ShowLinkStatistics(CCommunicater::Statistics());
    ShowStatus();
}

void CMonitorSession::ShowStatus() {
    tagSessionStatus status;
    status.interfaceType = m_state.interfaceType;
    status.link = g_LinkAddressText(m_state);
    status.recording = IsRecording();
    if (status.recording) {
        status.elapsed = std::chrono::duration_cast<std::chrono::seconds>(std::chrono::steady_clock::now() -
                                                                          m_recorder->StartedAt());
    }
    status.lastWrite = m_lastWrite;
    status.journal = m_journal->InUse();
    status.journalFailure = m_journal->Failure();
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

void CMonitorSession::RecordingStarted(const tagRecordingStart& start) {
    m_events->RecordingStarted();
    m_journal->Started(start);
    // Traces that begin with this recording begin now; traces it continues began when they did.
    bool empty = true;
    for (size_t k = 0; k < m_state.channels.size(); ++k) {
        empty = empty && m_traces->Trace(k).GetPointCount() == 0;
    }
    if (empty) {
        m_files->NoteStart(g_JournalUtcNow());
    }
}

void CMonitorSession::OnClearTracks() {
    if (!m_view.AskYesNo(IDS_CLEAR_CONFIRM)) {
        return;
    }
    m_recorder->ClearTracks();
    m_files->NoteStart({});
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

void CMonitorSession::AttachDisplay(CTraceDisplay& display) {
    m_traces->SetDisplay(&display);
    display.SetListener(this);
}

void CMonitorSession::OnViewChanged() {
    m_readouts->UpdateCursorReadouts();
    m_readouts->UpdateStatistics();
    m_journal->LookChanged(); // an offset dragged
}

void CMonitorSession::OnTimeStepChanged(uint32_t step) {
    m_fields->FollowTimeAxisStep(step);
}

void CMonitorSession::OnCursorMoved() {
    m_readouts->UpdateCursorReadouts();
    m_journal->LookChanged();
}

void CMonitorSession::LoadWorkspaceAtStart() {
    m_view.SetWaitCursor(true);
    if (m_files->LoadWorkspace().ok && m_traces->Trace(0).GetPointCount() > 0) {
        m_traces->SetTriggerMark(m_fields->Settings().triggerMark);
        m_traces->Display().Redraw();
    }
    m_view.SetWaitCursor(false);
    OfferRecovery();
    ReportLinkProblems();
}

tagResult CMonitorSession::EndSession(bool canAsk) {
    m_fields->KeepTriggerMark(m_traces->TriggerMark());
    for (;;) {
        const tagResult saved = m_files->SaveWorkspace();
        if (saved.ok) {
            m_journal->Retire();
            return saved;
        }
        g_Log().error("the workspace cannot be saved: {}", saved.detail);
        if (!canAsk) {
            return saved;
        }
        switch (m_view.AskExitChoice(saved)) {
        case CSessionView::EnumExitChoice::Retry:
            continue;
        case CSessionView::EnumExitChoice::SaveAs: {
            const std::string path = m_view.AskSavePath(g_TimeStampName(std::time(nullptr)));
            if (path.empty()) {
                continue;
            }
            const tagResult elsewhere = m_files->ExportRecording(path);
            if (elsewhere.ok) {
                m_journal->Retire();
                return elsewhere;
            }
            m_view.ShowResult(elsewhere);
            continue;
        }
        case CSessionView::EnumExitChoice::Discard:
            m_journal->Retire();
            return saved;
        }
    }
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
    m_view.ShowResult(aside.ok ? tagResult::Done(IDS_JOURNAL_KEPT_ASIDE, {aside.detail, aside.detail})
                               : aside);
}
