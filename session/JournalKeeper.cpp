#include "JournalKeeper.h"

#include "StatusTexts.h"

#include "acquisition/StringIds.h"
#include "files/DataFile.h"
#include "files/WorkspacePaths.h"
#include "kit/Log.h"

#include <cstdio>
#include <ctime>

void CJournalKeeper::Use(const std::string& path) {
    m_journal.reset();
    m_path = path;
    m_leftOver = CRecordingJournal::Inspect(path); // before anything is written to it
    m_leftOverPending = m_leftOver.samples > 0 || !m_leftOver.error.empty();
    m_journal = std::make_unique<CRecordingJournal>(path);
    m_written = false;
    m_failureShown = false;
}

void CJournalKeeper::Recovered() {
    m_leftOverPending = false;
    m_loadedFrom.clear();
    m_written = true; // what it holds is the chart's now
    m_lastLook.reset();
    LookChanged();
}

tagResult CJournalKeeper::SetAside() {
    const size_t dot = m_path.rfind(".journal");
    const std::string stem = dot == std::string::npos ? m_path : m_path.substr(0, dot);
    const std::string aside = stem + "-" + g_TimeStampName(std::time(nullptr)) + ".journal";
    std::string error;
    m_leftOverPending = false;
    if (!CRecordingJournal::SetAside(m_path, aside, &error)) {
        return tagResult::Failed(IDS_EXPORT_FAILED, error);
    }
    tagResult done = tagResult::Done();
    done.detail = aside; // where it is now
    return done;
}

std::string CJournalKeeper::BaseForFirstRecording() {
    if (!m_loadedFrom.empty()) {
        return m_loadedFrom;
    }
    bool empty = true;
    for (size_t k = 0; k < m_state.channels.size(); ++k) {
        empty = empty && m_traces.Trace(k).GetPointCount() == 0;
    }
    if (empty) {
        return {};
    }
    std::string error;
    if (!WriteDataFile(SnapshotPath(), m_state, m_traces, nullptr, &error)) {
        // Only the recording from now on can come back.
        m_view.ShowResult(tagResult::Failed(IDS_JOURNAL_FAILED, error));
        return {};
    }
    return SnapshotPath();
}

void CJournalKeeper::Started(const tagRecordingStart& start) {
    if (m_journal) {
        if (m_leftOverPending) {
            SetAside(); // never written over before the user had a say
        }
        if (!m_written) {
            m_journal->Reset(BaseForFirstRecording());
            m_lastLook.reset();
            m_written = true;
        }
        m_journal->BeginRecording(start, m_state.trigger, g_LinkText(m_state));
        LookChanged();
        m_failureShown = false; // a failure in this recording is told again
    }
}

void CJournalKeeper::Plotted(std::span<const tagOscilloVal> samples) {
    if (m_journal) {
        m_journal->Append(samples);
        ReportFailure();
    }
}

void CJournalKeeper::EventStarted(const tagRecordingStart& start) {
    if (m_journal) {
        // The events before are in their files; nothing else of the traces is left.
        m_journal->Reset({});
        m_lastLook.reset();
        m_loadedFrom.clear();
        m_written = true;
        m_journal->BeginRecording(start, m_state.trigger, g_LinkText(m_state));
        LookChanged();
    }
}

void CJournalKeeper::LookChanged() {
    if (!m_journal || !m_written) {
        return; // nothing the journal holds would come back with it
    }
    tagChartLook look = g_ChartLookOf(m_state, m_traces);
    if (look != m_lastLook) {
        m_journal->SaveLook(look);
        m_lastLook = std::move(look);
    }
}

void CJournalKeeper::Stopped() {
    if (m_journal) {
        LookChanged();
        m_journal->Commit();
        ReportFailure();
    }
}

void CJournalKeeper::Trimmed(double cut) {
    if (!m_journal || !m_written) {
        return;
    }
    std::vector<uint32_t> keptAtCut;
    for (size_t k = 0; k < m_state.channels.size(); ++k) {
        const CTrace& serie = m_traces.Trace(k);
        uint32_t n = 0;
        while (n < serie.GetPointCount() && serie.GetXValue(n) == cut) {
            ++n;
        }
        keptAtCut.push_back(n);
    }
    m_journal->DropUpTo(cut, keptAtCut);
}

void CJournalKeeper::Rebase(const std::string& path) {
    m_loadedFrom = path;
    if (m_journal && m_written) {
        m_journal->Reset({}); // nothing left to recover until the next recording
        m_lastLook.reset();
        m_written = false;
    }
}

void CJournalKeeper::Retire() {
    if (m_journal) {
        m_journal->Retire();
        std::remove(SnapshotPath().c_str());
        m_lastLook.reset();
        m_written = false;
    }
}

void CJournalKeeper::ReportFailure() {
    if (!m_failureShown && m_journal->Failed()) {
        m_failureShown = true;
        g_Log().error("the journal {} cannot be written: {}", m_path, m_journal->Error());
        // Told outside the batch, which a message box would hold up.
        m_view.Post([this] { ShowFailure(); });
    }
}

void CJournalKeeper::ShowFailure() {
    if (m_journal) {
        m_view.ShowResult(tagResult::Failed(IDS_JOURNAL_FAILED, m_journal->Error()));
    }
}
