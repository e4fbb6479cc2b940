// The recording journal: an SQLite database in write-ahead-log mode that the recordings are
// written to while they run, so that a crash, a kill or a power cut loses at most the last
// moments. It holds what the chart holds: each recording's channels, period, time offset and the
// values its traces ended on before it, and every sample that became points, as its controller
// tick and raw words, from which the same points follow again. What the cache trim saved and cut
// leaves the journal too. Writes go through a thread of the journal's own, committed every half
// second and at every stop.
//
// Tables (readable with sqlite3 or pandas; README has the details):
//   recording(id, started_utc, period_eighths, time_offset_ms, link, trigger_enable,
//             trigger_channel, trigger_condition, trigger_value, first_tick)
//   channel(recording, position, name, param_code, data_type, colour, hold)
//   sample(recording, tick, raw0, raw1, raw2, raw3, raw4, raw5)   -- raw words as signed 32-bit
//   note(key, value)   -- last_commit_utc (ISO 8601, UTC); base_path, the data or CSV file the
//                         traces held before the first recording; cut_ms, the latest cache trim;
//                         look_*, the chart's time step, trigger, trigger marker and cursors
//   look(position, y_scale, y_offset, colour, visible, step_mode)   -- each trace as shown
#pragma once

#include "ChartLook.h"
#include "acquisition/MonitorState.h"
#include "acquisition/Recorder.h"
#include "traces/TraceSet.h"

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <optional>
#include <span>
#include <string>
#include <thread>
#include <vector>

struct sqlite3;
struct sqlite3_stmt;

// What a journal holds, without reading its samples.
struct tagJournalSummary {
    bool exists = false;
    uint64_t samples = 0;
    std::optional<std::chrono::system_clock::time_point> started; // its first recording's start
    std::optional<std::chrono::system_clock::time_point> lastCommit;
    std::string error; // the journal is there but cannot be read
};

class CRecordingJournal {
public:
    // The journal at path; the file is made when the first recording starts.
    explicit CRecordingJournal(std::string path);
    // Commits what is pending.
    ~CRecordingJournal();
    CRecordingJournal(const CRecordingJournal&) = delete;
    CRecordingJournal& operator=(const CRecordingJournal&) = delete;

    const std::string& Path() const { return m_path; }

    // From the window's thread; each returns at once and the journal's thread does the work.
    void BeginRecording(const tagRecordingStart& start, const tagTriggerSettings& trigger,
                        const std::string& link);
    void Append(std::span<const tagOscilloVal> samples);
    // The cache trim cut the traces up to time, leaving keptAtCut[k] points of trace k that lie
    // on it: the samples before it leave the journal.
    void DropUpTo(double time, const std::vector<uint32_t>& keptAtCut);
    // Nothing of the journal is the traces' any more; from now on they start from the file at
    // basePath (a data file or a CSV table), or from nothing when it is empty.
    void Reset(const std::string& basePath);
    // How the chart shows the traces now; the latest one given comes back with them.
    void SaveLook(const tagChartLook& look);
    // Waits until everything handed over is committed.
    void Commit();
    // A clean end (the workspace or the recording's file is written): the journal goes.
    void Retire();

    // Whether the last write failed (a full disk, say), and why. The journal keeps what it was
    // given and tries again every few seconds; a commit that succeeds ends the failure.
    bool Failed() const;
    std::string Error() const;

    static tagJournalSummary Inspect(const std::string& path);
    // A journal kept for later under another name, its log folded into the one file.
    static bool SetAside(const std::string& path, const std::string& newPath, std::string* error);
    // Replaces the channels and traces by the journal's base file and recordings, point for
    // point as the recordings built them (state and traces as after an import). False with the
    // reason when the journal or its base cannot be read; what was read stays.
    // With the journal's look, also that (the cursors are the caller's to place).
    static bool Replay(const std::string& path, tagMonitorState& state, CTraceSet& traces, std::string* error,
                       std::optional<tagChartLook>* look = nullptr);

private:
    using Work = std::function<void(sqlite3*)>;
    void Post(Work work, bool commit = false);
    // Waits for work (or the commit interval) and moves what was handed over to the end of into.
    struct tagTaken {
        bool commit;
        bool stop;
        bool failed;
        uint64_t posted;
    };
    tagTaken TakeWork(std::deque<Work>& into);
    // The work that writes the pending look; with the mutex held and a look pending.
    Work TakePendingLook();
    void WriterLoop();
    bool OpenDatabase();
    void Close();

    const std::string m_path;
    mutable std::mutex m_mutex;
    std::condition_variable m_changed;
    std::deque<Work> m_queue;
    bool m_commitRequested = false;
    uint64_t m_posted = 0;                     // work handed over
    std::optional<tagChartLook> m_pendingLook; // given, not yet handed to the writer
    uint64_t m_committed = 0;                  // work committed
    bool m_stop = false;
    bool m_failed = false;
    std::string m_error;
    sqlite3* m_db = nullptr;          // the journal's thread's
    sqlite3_stmt* m_insert = nullptr; // the journal's thread's: the sample insert, kept prepared
    int64_t m_recording = 0;          // the journal's thread's: the recording samples go to
    bool m_firstTickPending = false;  // the journal's thread's: no sample of it yet
    std::thread m_writer;
};
