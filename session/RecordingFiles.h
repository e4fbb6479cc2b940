// The recording as files: data files (also the workspace, written at every close and read at
// start) and CSV tables, written by Export Data and read by Import Data.
#pragma once

#include "JournalKeeper.h"
#include "LinkSettings.h"
#include "Readouts.h"
#include "SessionView.h"
#include "acquisition/MonitorState.h"
#include "kit/Result.h"
#include "traces/TraceSet.h"

#include <string>

class CRecordingFiles {
public:
    CRecordingFiles(tagMonitorState& state, CTraceSet& traces, CLinkSettings& link, CReadouts& readouts,
                    CJournalKeeper& journal, CSessionView& view)
        : m_state(state), m_traces(traces), m_link(link), m_readouts(readouts), m_journal(journal),
          m_view(view) {}

    // Writes the whole state (each trace up to *limitX when given).
    tagResult SaveDataFile(const std::string& path, const double* limitX);
    // Replaces the state and refreshes the view, also when the file was damaged (keeping what was
    // read); a missing file touches nothing.
    tagResult LoadDataFile(const std::string& path);
    tagResult SaveWorkspace();
    // When the traces' first recording began (ISO 8601 UTC), for the HDF5 export; empty when the
    // traces came from a file or no recording made them.
    const std::string& StartUtc() const { return m_startUtc; }
    void NoteStart(std::string utc) { m_startUtc = std::move(utc); }
    tagResult LoadWorkspace();
    // A data file when IsDataFilePath says so, HDF5 for .h5, else a CSV table. Message 145 or 146, 147 or
    // 148.
    tagResult ExportRecording(const std::string& path);
    tagResult ImportRecording(const std::string& path);
    // Channels and traces as the journal's recordings left them after a run that did not end
    // cleanly, as after an import (message 147 or 148 with the reason).
    tagResult RecoverJournal();

private:
    tagResult ImportCsv(const std::string& path);
    // Ends a load that suspended drawing: view, table, link and controls from the new state.
    void RefreshAfterLoad();
    // Both axes home, the time axis on the latest visible point: the view after any load.
    void ShowLoadedTraces();
    // The time the view follows after a load: the latest point of the visible channels, >= 0.
    double LatestVisibleTime() const;

    tagMonitorState& m_state;
    CTraceSet& m_traces;
    CLinkSettings& m_link;
    CReadouts& m_readouts;
    std::string m_startUtc;
    CJournalKeeper& m_journal;
    CSessionView& m_view;
};
