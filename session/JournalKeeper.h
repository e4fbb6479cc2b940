// The recording journal's job in the session: every recording goes into it while it runs, what
// the cache trim cut leaves it, and a journal left by a run that did not end cleanly can be
// brought back or set aside. Off until a caller gives it a path.
#pragma once

#include "SessionView.h"
#include "acquisition/MonitorState.h"
#include "acquisition/Recorder.h"
#include "files/RecordingJournal.h"
#include "kit/Result.h"
#include "traces/TraceSet.h"

#include <memory>
#include <span>
#include <string>

class CJournalKeeper {
public:
    CJournalKeeper(tagMonitorState& state, CTraceSet& traces, CSessionView& view)
        : m_state(state), m_traces(traces), m_view(view) {}

    // Journals the recordings from now on into the file at path (made with the first one).
    void Use(const std::string& path);
    bool InUse() const { return m_journal != nullptr; }
    // Why the journal's last commit failed; empty while its commits succeed.
    std::string Failure() const {
        return m_journal && m_journal->Failed() ? m_journal->Error() : std::string();
    }
    const std::string& Path() const { return m_path; }

    // What the journal held when Use found it: a run that ended without retiring it left it.
    // Empty once recovered or set aside; a recording that starts first sets it aside.
    tagJournalSummary LeftOver() const { return m_leftOverPending ? m_leftOver : tagJournalSummary{}; }
    // The traces were brought back from the left-over journal (CRecordingFiles::RecoverJournal):
    // the journal goes on with them.
    void Recovered();
    // The left-over journal under a time-stamped name beside it, for chronoscope-record --recover;
    // the result's detail is the new name.
    tagResult SetAside();

    // The recording's life.
    void Started(const tagRecordingStart& start);
    void Plotted(std::span<const tagOscilloVal> samples);
    // With repeat: the traces are a new event's from now on; the journal holds it alone.
    void EventStarted(const tagRecordingStart& start);
    void Stopped();
    void Trimmed(double cut);
    // Something of the chart's look may have changed (a scale, a colour, the cursors, the
    // trigger's marker): the journal keeps the latest, so that a recovered chart looks the same.
    void LookChanged();
    // The traces are now what the file at path holds (loaded or imported).
    void Rebase(const std::string& path);
    // The traces changed otherwise (cleared, a channel changed or deleted): the next recording
    // starts the journal from a copy of them.
    void Reset() { Rebase({}); }
    // A clean end: everything is in a file now.
    void Retire();
    // Says why the journal cannot be written (asked for through the view's notification).
    void ShowFailure();
    // Where the journal keeps a copy of the traces that no file holds.
    std::string SnapshotPath() const { return m_path + ".base.data"; }

private:
    // Has the user told once when the journal cannot be written; the recording goes on in memory.
    void ReportFailure();
    // The file the traces started from for the journal's first recording: the loaded one, a
    // copy of them, or none when they are empty.
    std::string BaseForFirstRecording();

    tagMonitorState& m_state;
    CTraceSet& m_traces;
    CSessionView& m_view;
    std::string m_path;
    std::unique_ptr<CRecordingJournal> m_journal;
    bool m_written = false;   // the journal holds the traces' recordings since its base
    std::string m_loadedFrom; // the file the traces are unchanged from, if any
    bool m_failureShown = false;
    std::optional<tagChartLook> m_lastLook; // the look the journal holds, when known
    tagJournalSummary m_leftOver;
    bool m_leftOverPending = false;
};
