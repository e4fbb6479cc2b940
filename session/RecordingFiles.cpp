#include "RecordingFiles.h"

#include "acquisition/StringIds.h"
#include "files/CsvFile.h"
#include "files/DataFile.h"
#include "files/Hdf5File.h"
#include "files/WorkspacePaths.h"
#include "kit/Log.h"

#include <algorithm>

namespace {

// Shows the wait cursor for as long as it lives.
class CWaitCursor {
public:
    explicit CWaitCursor(CSessionView& view) : m_view(view) { m_view.SetWaitCursor(true); }
    ~CWaitCursor() { m_view.SetWaitCursor(false); }
    CWaitCursor(const CWaitCursor&) = delete;
    CWaitCursor& operator=(const CWaitCursor&) = delete;

private:
    CSessionView& m_view;
};

} // namespace

tagResult CRecordingFiles::SaveDataFile(const std::string& path, const double* limitX) {
    const CWaitCursor wait(m_view);
    std::string error;
    if (!WriteDataFile(path, m_state, m_traces, limitX, &error)) {
        g_Log().error("not saved: {}", error);
        return tagResult::Failed(IDS_EXPORT_FAILED, error);
    }
    return tagResult::Done();
}

tagResult CRecordingFiles::LoadDataFile(const std::string& path) {
    const CWaitCursor wait(m_view);
    CTraceDisplay& display = m_traces.Display();
    display.BeginChanges();
    std::string error;
    const EnumDataFileRead read = ReadDataFile(path, m_state, m_traces, &error);
    if (read == EnumDataFileRead::Missing) {
        display.EndChanges();
        return tagResult::Failed(IDS_IMPORT_FAILED, error);
    }
    if (read == EnumDataFileRead::Read) {
        m_journal.Rebase(path);
    } else {
        m_journal.Reset(); // only part of the file is in the traces
    }
    RefreshAfterLoad();
    return read == EnumDataFileRead::Read ? tagResult::Done() : tagResult::Failed(IDS_IMPORT_FAILED, error);
}

tagResult CRecordingFiles::SaveWorkspace() {
    return SaveDataFile(WorkspaceFilePath(), nullptr);
}

tagResult CRecordingFiles::LoadWorkspace() {
    return LoadDataFile(WorkspaceFilePath());
}

tagResult CRecordingFiles::ExportRecording(const std::string& path) {
    const CWaitCursor wait(m_view);
    std::string error;
    const bool ok = IsDataFilePath(path) ? WriteDataFile(path, m_state, m_traces, nullptr, &error)
                    : IsHdf5Path(path)   ? WriteHdf5File(path, m_state, m_traces, m_startUtc, &error)
                                         : WriteCsvFile(path, m_state, m_traces, &error);
    return ok ? tagResult::Done(IDS_EXPORT_OK) : tagResult::Failed(IDS_EXPORT_FAILED, error);
}

tagResult CRecordingFiles::ImportRecording(const std::string& path) {
    const CWaitCursor wait(m_view);
    m_startUtc.clear(); // the file's recording began some other time
    const tagResult read = IsDataFilePath(path) ? LoadDataFile(path) : ImportCsv(path);
    return read.ok ? tagResult::Done(IDS_IMPORT_OK) : read;
}

tagResult CRecordingFiles::RecoverJournal() {
    const CWaitCursor wait(m_view);
    m_startUtc.clear();
    m_traces.Display().BeginChanges();
    std::string error;
    std::optional<tagChartLook> look;
    const uint64_t samples = CRecordingJournal::Inspect(m_journal.Path()).samples;
    const bool ok = CRecordingJournal::Replay(m_journal.Path(), m_state, m_traces, &error, &look);
    RefreshAfterLoad();
    if (look) { // the view and the cursors where they were
        m_traces.Display().SetMeasurement(m_state.measurement);
        if (look->view.timeMin < look->view.timeMax) {
            m_traces.Display().ShowRange(look->view);
        }
        m_traces.Display().PlaceCursors(look->cursors.first, look->cursors.second);
        m_readouts.UpdateCursorReadouts();
    }
    m_journal.Recovered();
    if (!ok) {
        return tagResult::Failed(IDS_IMPORT_FAILED, error);
    }
    return tagResult::Done(IDS_JOURNAL_RECOVERED,
                           {std::to_string(samples), std::to_string(m_state.channels.size())});
}

tagResult CRecordingFiles::ImportCsv(const std::string& path) {
    CTraceDisplay& display = m_traces.Display();
    display.BeginChanges();
    std::string error;
    const bool ok = ReadCsvFile(path, m_state, m_traces, &error);
    if (ok) {
        ShowLoadedTraces();
    }
    display.EndChanges();
    if (!ok) {
        return tagResult::Failed(IDS_IMPORT_FAILED, error);
    }
    m_journal.Rebase(path);
    m_view.RefreshTable();
    m_readouts.UpdateAll();
    return tagResult::Done();
}

double CRecordingFiles::LatestVisibleTime() const {
    double latest = 0.0;
    for (size_t k = 0; k < m_state.channels.size(); ++k) {
        double min = 0.0, max = 0.0;
        if (m_traces.Trace(k).GetXRange(min, max)) { // visible and holding points
            latest = std::max(latest, max);
        }
    }
    return latest;
}

void CRecordingFiles::ShowLoadedTraces() {
    m_traces.Display().ResetZoom();
    m_traces.Display().FollowTime(LatestVisibleTime());
}

void CRecordingFiles::RefreshAfterLoad() {
    // Drawing is suspended since the load began; it resumes once the view is set.
    // A damaged step must not leave the time axis without divisions.
    m_traces.Display().SetTimeStep(CorrectTimeAxisStep(m_state.timeAxisStep));
    ShowLoadedTraces();
    m_traces.Display().Redraw();
    m_traces.Display().EndChanges();
    m_view.RefreshTable();
    m_readouts.UpdateCursorReadouts();
    m_readouts.UpdateStatistics();
    m_link.Apply();
    m_view.PushStateToControls();
}
