// Keeps long recordings within the cache: when a trace reaches the cache size, the older half of
// every trace goes, saved first to a time-stamped data file when automatic saving is on. A half
// that cannot be saved (a full disk) stays in memory, is told once, and its save is tried again
// every few seconds; with keep_unsaved_cache off it goes unsaved, as it always did.
#pragma once

#include "JournalKeeper.h"
#include "RecordingFiles.h"
#include "SessionView.h"
#include "acquisition/MonitorState.h"
#include "files/ProgramSettings.h"
#include "traces/TraceSet.h"

#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

// A file an automatic save wrote, and the times of the samples it holds.
struct tagSavedPart {
    std::string path;
    double firstMs = 0.0;
    double lastMs = 0.0;
};

class CCacheTrimmer {
public:
    CCacheTrimmer(tagMonitorState& state, CTraceSet& traces, CRecordingFiles& files, CJournalKeeper& journal,
                  const tagProgramSettings& settings, CSessionView& view)
        : m_state(state), m_traces(traces), m_files(files), m_journal(journal), m_settings(settings),
          m_view(view) {}

    // After each batch's points are added.
    void TrimCache();
    // Where the automatic saves go: the program's own folder unless a tool chose another.
    void SetAutoSaveFolder(const std::string& folder) { m_autoSaveFolder = folder; }
    // Points of the first channel that cuts removed, and the files they were saved to (a file
    // written twice in one second counts once), since the session began.
    uint64_t TrimmedPoints() const { return m_trimmedPoints; }
    const std::vector<std::string>& AutoSavedFiles() const { return m_autoSavedFiles; }
    // Each save that worked, with what it holds.
    const std::vector<tagSavedPart>& SavedParts() const { return m_savedParts; }

private:
    // Saves the older half; false when it cannot be saved and must stay.
    bool SaveOlderHalf(double cut);

    tagMonitorState& m_state;
    CTraceSet& m_traces;
    CRecordingFiles& m_files;
    CJournalKeeper& m_journal;
    const tagProgramSettings& m_settings;
    CSessionView& m_view;
    std::string m_autoSaveFolder;
    uint64_t m_trimmedPoints = 0;
    std::vector<std::string> m_autoSavedFiles;
    std::vector<tagSavedPart> m_savedParts;
    std::chrono::steady_clock::time_point m_retryAt{};
    bool m_failureTold = false;
};
