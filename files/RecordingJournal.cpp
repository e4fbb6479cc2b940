#include "RecordingJournal.h"

#include "CsvFile.h"
#include "DataFile.h"
#include "JournalLook.h"
#include "JournalSql.h"
#include "acquisition/ChannelModel.h"
#include "kit/NumberText.h"

#include <sqlite3.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>

namespace {

using Clock = std::chrono::steady_clock;
constexpr auto kCommitInterval = std::chrono::milliseconds(500);
constexpr auto kRetryInterval = std::chrono::seconds(3);

const char* const kSchema = R"(
CREATE TABLE IF NOT EXISTS recording (
    id INTEGER PRIMARY KEY, started_utc TEXT, period_eighths INTEGER, time_offset_ms REAL, link TEXT,
    trigger_enable INTEGER, trigger_channel INTEGER, trigger_condition INTEGER, trigger_value REAL,
    first_tick INTEGER);
CREATE TABLE IF NOT EXISTS channel (
    recording INTEGER, position INTEGER, name TEXT, param_code INTEGER, data_type INTEGER, colour INTEGER,
    hold REAL, PRIMARY KEY (recording, position));
CREATE TABLE IF NOT EXISTS sample (
    recording INTEGER, tick INTEGER, raw0 INTEGER, raw1 INTEGER, raw2 INTEGER, raw3 INTEGER, raw4 INTEGER,
    raw5 INTEGER, PRIMARY KEY (recording, tick)) WITHOUT ROWID;
CREATE TABLE IF NOT EXISTS note (key TEXT PRIMARY KEY, value TEXT);
CREATE TABLE IF NOT EXISTS look (
    position INTEGER PRIMARY KEY, y_scale REAL, y_offset REAL, colour INTEGER, visible INTEGER, step_mode INTEGER);
)";

} // namespace

CRecordingJournal::CRecordingJournal(std::string path) : m_path(std::move(path)) {
    m_writer = std::thread([this] { WriterLoop(); });
}

CRecordingJournal::~CRecordingJournal() {
    {
        std::lock_guard lock(m_mutex);
        m_stop = true;
    }
    m_changed.notify_all();
    m_writer.join();
    Close();
}

void CRecordingJournal::Post(Work work, bool commit) {
    {
        std::lock_guard lock(m_mutex);
        m_queue.push_back(std::move(work));
        ++m_posted;
        m_commitRequested = m_commitRequested || commit;
    }
    m_changed.notify_all();
}

bool CRecordingJournal::Failed() const {
    std::lock_guard lock(m_mutex);
    return m_failed;
}

std::string CRecordingJournal::Error() const {
    std::lock_guard lock(m_mutex);
    return m_error;
}

bool CRecordingJournal::OpenDatabase() {
    if (m_db) {
        return true;
    }
    std::error_code ignored; // a folder that cannot be made shows in the open's error
    std::filesystem::create_directories(std::filesystem::path(m_path).parent_path(), ignored);
    if (sqlite3_open_v2(m_path.c_str(), &m_db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr) !=
        SQLITE_OK) {
        const std::string error = m_db ? sqlite3_errmsg(m_db) : "out of memory";
        Close();
        throw tagJournalError{error};
    }
    // Write-ahead log: a commit is whole or absent after any crash; FULL flushes each commit so
    // that a power cut keeps it too.
    g_JournalExecute(m_db, "PRAGMA journal_mode=WAL; PRAGMA synchronous=FULL;");
    g_JournalExecute(m_db, kSchema);
    return true;
}

void CRecordingJournal::Close() {
    // close_v2: a statement still alive (one that failed midway) ends the connection when it goes.
    sqlite3_finalize(m_insert);
    m_insert = nullptr;
    if (m_db) {
        sqlite3_close_v2(m_db);
        m_db = nullptr;
    }
}

CRecordingJournal::tagTaken CRecordingJournal::TakeWork(std::deque<Work>& into) {
    std::unique_lock lock(m_mutex);
    m_changed.wait_for(lock, kCommitInterval,
                       [this] { return m_stop || m_commitRequested || !m_queue.empty(); });
    into.insert(into.end(), std::make_move_iterator(m_queue.begin()), std::make_move_iterator(m_queue.end()));
    m_queue.clear();
    // The look as it is now, once, however often it changed since the last time.
    if (m_pendingLook) {
        into.push_back(TakePendingLook());
    }
    return {std::exchange(m_commitRequested, false), m_stop, m_failed, m_posted};
}

void CRecordingJournal::WriterLoop() {
    bool inTransaction = false;
    Clock::time_point lastCommit = Clock::now();
    Clock::time_point retryAt{};
    std::vector<Work> open; // done in the transaction not committed yet
    std::deque<Work> redo;  // what a failed transaction had done, to be done again
    for (;;) {
        const auto [commit, stop, failed, taken] = TakeWork(redo);
        // After a failure (a full disk, say) nothing is lost: the work waits, and every few
        // seconds the journal tries again with all of it.
        if (failed && (stop || Clock::now() < retryAt)) {
            if (stop) {
                return;
            }
            continue;
        }
        try {
            if (!redo.empty()) {
                OpenDatabase();
                if (!inTransaction) {
                    g_JournalExecute(m_db, "BEGIN");
                    inTransaction = true;
                }
                while (!redo.empty()) {
                    redo.front()(m_db);
                    open.push_back(std::move(redo.front()));
                    redo.pop_front();
                }
            }
            if (inTransaction && (commit || stop || failed || Clock::now() - lastCommit >= kCommitInterval)) {
                g_SetJournalNote(m_db, "last_commit_utc", g_JournalUtcNow());
                g_JournalExecute(m_db, "COMMIT");
                inTransaction = false;
                open.clear();
                lastCommit = Clock::now();
                std::lock_guard lock(m_mutex);
                m_failed = false;
                m_error.clear();
            }
        } catch (const tagJournalError& error) {
            if (m_db && inTransaction) {
                sqlite3_exec(m_db, "ROLLBACK", nullptr, nullptr, nullptr);
            }
            inTransaction = false;
            Close();
            redo.insert(redo.begin(), std::make_move_iterator(open.begin()),
                        std::make_move_iterator(open.end()));
            open.clear();
            retryAt = Clock::now() + kRetryInterval;
            std::lock_guard lock(m_mutex);
            m_failed = true;
            m_error = m_path + ": " + error.what;
        }
        {
            std::lock_guard lock(m_mutex);
            if (!inTransaction && redo.empty()) {
                m_committed = taken;
            }
        }
        m_changed.notify_all();
        if (stop) {
            std::lock_guard lock(m_mutex);
            if (m_queue.empty()) {
                return;
            }
        }
    }
}

void CRecordingJournal::BeginRecording(const tagRecordingStart& start, const tagTriggerSettings& trigger,
                                       const std::string& link) {
    const std::string started = g_JournalUtcNow(); // when the controller began, not when this is written
    Post([this, start, trigger, link, started](sqlite3* db) {
        CStatement recording(db, "INSERT INTO recording (started_utc, period_eighths, time_offset_ms, link, "
                                 "trigger_enable, trigger_channel, trigger_condition, trigger_value) "
                                 "VALUES (?, ?, ?, ?, ?, ?, ?, ?)");
        sqlite3_bind_text(*recording, 1, started.c_str(), -1, SQLITE_TRANSIENT);
        sqlite3_bind_int(*recording, 2, static_cast<int>(start.period.count())); // in 1/8 ms
        sqlite3_bind_double(*recording, 3, start.timeOffset);
        sqlite3_bind_text(*recording, 4, link.c_str(), -1, SQLITE_TRANSIENT);
        sqlite3_bind_int64(*recording, 5, trigger.enable);
        sqlite3_bind_int64(*recording, 6, trigger.channel);
        sqlite3_bind_int64(*recording, 7, trigger.condition);
        sqlite3_bind_double(*recording, 8, trigger.value);
        g_JournalCheck(db, sqlite3_step(*recording));
        m_recording = sqlite3_last_insert_rowid(db);
        m_firstTickPending = true;
        CStatement channel(db, "INSERT INTO channel VALUES (?, ?, ?, ?, ?, ?, ?)");
        for (size_t k = 0; k < start.channels.size(); ++k) {
            const tagOscilloElem& c = start.channels[k];
            sqlite3_reset(*channel);
            sqlite3_bind_int64(*channel, 1, m_recording);
            sqlite3_bind_int64(*channel, 2, static_cast<int64_t>(k));
            sqlite3_bind_text(*channel, 3, c.name.c_str(), -1, SQLITE_TRANSIENT);
            sqlite3_bind_int(*channel, 4, c.paramCode);
            sqlite3_bind_int64(*channel, 5, c.dataType);
            sqlite3_bind_int64(*channel, 6, c.colour);
            if (k < start.hold.size() && start.hold[k]) {
                sqlite3_bind_double(*channel, 7, *start.hold[k]);
            } else {
                sqlite3_bind_null(*channel, 7);
            }
            g_JournalCheck(db, sqlite3_step(*channel));
        }
    });
}

void CRecordingJournal::Append(std::span<const tagOscilloVal> samples) {
    std::vector<tagOscilloVal> copy(samples.begin(), samples.end());
    Post([this, copy = std::move(copy)](sqlite3* db) {
        if (m_firstTickPending && !copy.empty()) {
            // Where the recording's hold points lie: they go when the trim cuts this sample.
            CStatement first(db, "UPDATE recording SET first_tick = ? WHERE id = ?");
            sqlite3_bind_int64(*first, 1, copy.front().tick);
            sqlite3_bind_int64(*first, 2, m_recording);
            g_JournalCheck(db, sqlite3_step(*first));
            m_firstTickPending = false;
        }
        // Prepared once per connection: preparing it for every batch cost more than the inserts.
        if (!m_insert) {
            g_JournalCheck(
                db, sqlite3_prepare_v3(db, "INSERT OR REPLACE INTO sample VALUES (?, ?, ?, ?, ?, ?, ?, ?)",
                                       -1, SQLITE_PREPARE_PERSISTENT, &m_insert, nullptr));
        }
        for (const tagOscilloVal& sample : copy) {
            sqlite3_reset(m_insert);
            sqlite3_bind_int64(m_insert, 1, m_recording);
            sqlite3_bind_int64(m_insert, 2, sample.tick);
            for (int k = 0; k < kMaxChannels; ++k) {
                sqlite3_bind_int(m_insert, 3 + k, static_cast<int32_t>(sample.raw[static_cast<size_t>(k)]));
            }
            g_JournalCheck(db, sqlite3_step(m_insert));
        }
        sqlite3_reset(m_insert); // a statement left stepping would hold the table's read lock
    });
}

void CRecordingJournal::DropUpTo(double time, const std::vector<uint32_t>& keptAtCut) {
    Post([time, keptAtCut](sqlite3* db) {
        // Only what lies before the cut goes: a point on it may stay in the traces. The sample's
        // time as the recording computes it: period times tick in 32 bits, in 1/8 ms.
        CStatement drop(db, "DELETE FROM sample WHERE EXISTS (SELECT 1 FROM recording r WHERE r.id = "
                            "sample.recording AND ((r.period_eighths * sample.tick) % 4294967296) * 0.125 + "
                            "r.time_offset_ms < ?)");
        sqlite3_bind_double(*drop, 1, time);
        g_JournalCheck(db, sqlite3_step(*drop));
        g_SetJournalNote(db, "cut_ms", g_ShortestText(time));
        std::string kept;
        for (const uint32_t n : keptAtCut) {
            kept += (kept.empty() ? "" : ",") + g_IntegerText(n);
        }
        g_SetJournalNote(db, "cut_kept", kept);
    });
}

void CRecordingJournal::Reset(const std::string& basePath) {
    {
        std::lock_guard lock(m_mutex);
        m_pendingLook.reset(); // the look of traces that are no longer the journal's
    }
    Post([this, basePath](sqlite3* db) {
        g_JournalExecute(db,
                         "DELETE FROM sample; DELETE FROM channel; DELETE FROM recording; DELETE FROM note; "
                         "DELETE FROM look;");
        g_SetJournalNote(db, "base_path", basePath);
        m_recording = 0;
        m_firstTickPending = false;
    });
}

CRecordingJournal::Work CRecordingJournal::TakePendingLook() {
    Work write = [look = std::move(*m_pendingLook)](sqlite3* db) { g_WriteJournalLook(db, look); };
    m_pendingLook.reset();
    return write;
}

void CRecordingJournal::SaveLook(const tagChartLook& look) {
    // Adaptive scales may change with every batch: only the latest look goes in, with the next
    // work the writer takes, at the latest half a second from now.
    std::lock_guard lock(m_mutex);
    m_pendingLook = look;
}

void CRecordingJournal::Commit() {
    uint64_t target = 0;
    {
        std::lock_guard lock(m_mutex);
        if (m_pendingLook) { // it belongs to what is committed now
            m_queue.push_back(TakePendingLook());
            ++m_posted;
        }
        target = m_posted;
        m_commitRequested = true;
    }
    m_changed.notify_all();
    std::unique_lock lock(m_mutex);
    m_changed.wait(lock, [&] { return m_committed >= target || m_failed; });
}

void CRecordingJournal::Retire() {
    Commit();
    {
        std::lock_guard lock(m_mutex);
        m_stop = true;
    }
    m_changed.notify_all();
    if (m_writer.joinable()) {
        m_writer.join();
    }
    Close();
    g_RemoveJournalFiles(m_path);
    // A journal for what comes next, should anything.
    {
        std::lock_guard lock(m_mutex);
        m_stop = false;
        m_failed = false;
        m_error.clear();
    }
    m_recording = 0;
    m_writer = std::thread([this] { WriterLoop(); });
}

tagJournalSummary CRecordingJournal::Inspect(const std::string& path) {
    tagJournalSummary summary;
    if (std::FILE* file = std::fopen(path.c_str(), "rb")) {
        std::fclose(file);
    } else {
        return summary;
    }
    summary.exists = true;
    sqlite3* db = nullptr;
    tagReadBudget budget;
    if (sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK) {
        summary.error = path + ": " + (db ? sqlite3_errmsg(db) : "out of memory");
        sqlite3_close_v2(db);
        return summary;
    }
    g_LimitJournalReading(db, path, budget);
    {
        CStatement count(db, "SELECT count(*) FROM sample");
        CStatement started(db, "SELECT min(started_utc) FROM recording");
        if (!count || !started || sqlite3_step(*count) != SQLITE_ROW) {
            summary.error = path + ": " + sqlite3_errmsg(db);
        } else {
            summary.samples = static_cast<uint64_t>(sqlite3_column_int64(*count, 0));
            if (sqlite3_step(*started) == SQLITE_ROW && sqlite3_column_text(*started, 0)) {
                summary.started =
                    g_ParseJournalUtc(reinterpret_cast<const char*>(sqlite3_column_text(*started, 0)));
            }
            if (const std::optional<std::string> commit = g_JournalNote(db, "last_commit_utc")) {
                summary.lastCommit = g_ParseJournalUtc(*commit);
            }
        }
    }
    sqlite3_close_v2(db);
    return summary;
}

bool CRecordingJournal::SetAside(const std::string& path, const std::string& newPath, std::string* error) {
    // The log goes into the database first, so that the one file holds everything.
    sqlite3* db = nullptr;
    if (sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READWRITE, nullptr) == SQLITE_OK) {
        sqlite3_exec(db, "PRAGMA wal_checkpoint(TRUNCATE)", nullptr, nullptr, nullptr);
    }
    sqlite3_close_v2(db);
    if (std::rename(path.c_str(), newPath.c_str()) != 0) {
        if (error) {
            *error = "cannot rename " + path + " to " + newPath;
        }
        return false;
    }
    g_RemoveJournalFiles(path);
    return true;
}
