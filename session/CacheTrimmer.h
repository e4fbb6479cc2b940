// Keeps long recordings within the cache: when a trace reaches the cache size, the older half of
// every trace goes, saved first to a time-stamped data file when automatic saving is on.
#pragma once

#include "JournalKeeper.h"
#include "RecordingFiles.h"
#include "acquisition/MonitorState.h"
#include "traces/TraceSet.h"

#include <cstdint>
#include <string>
#include <vector>

class CCacheTrimmer {
public:
    CCacheTrimmer(tagMonitorState& state, CTraceSet& traces, CRecordingFiles& files, CJournalKeeper& journal)
        : m_state(state), m_traces(traces), m_files(files), m_journal(journal) {}

    // After each batch's points are added.
    void TrimCache();
    // Where the automatic saves go: the program's own folder unless a tool chose another.
    void SetAutoSaveFolder(const std::string& folder) { m_autoSaveFolder = folder; }
    // Points of the first channel that cuts removed, and the files they were saved to (a file
    // written twice in one second counts once), since the session began.
    uint64_t TrimmedPoints() const { return m_trimmedPoints; }
    const std::vector<std::string>& AutoSavedFiles() const { return m_autoSavedFiles; }

private:
    tagMonitorState& m_state;
    CTraceSet& m_traces;
    CRecordingFiles& m_files;
    CJournalKeeper& m_journal;
    std::string m_autoSaveFolder;
    uint64_t m_trimmedPoints = 0;
    std::vector<std::string> m_autoSavedFiles;
};
