#include "RecordingJournal.h"

#include "CsvFile.h"
#include "DataFile.h"
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
)";

// ISO 8601 in UTC, to the millisecond.
std::string UtcNow() {
    const auto now = std::chrono::system_clock::now();
    const std::time_t seconds = std::chrono::system_clock::to_time_t(now);
    const auto ms =
        std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()).count() % 1000;
    std::tm utc{};
    gmtime_r(&seconds, &utc);
    char text[40];
    const size_t n = std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%S", &utc);
    std::snprintf(text + n, sizeof text - n, ".%03dZ", static_cast<int>(ms));
    return text;
}

std::optional<std::chrono::system_clock::time_point> ParseUtc(const std::string& text) {
    std::tm utc{};
    const char* rest = strptime(text.c_str(), "%Y-%m-%dT%H:%M:%S", &utc);
    // A damaged journal may say any year: only what the clock can hold is a time.
    if (!rest || utc.tm_year < 70 || utc.tm_year > 200) { // 1970 to 2100; nanoseconds end in 2262
        return std::nullopt;
    }
    const int ms =
        *rest == '.' ? static_cast<int>(std::clamp<int64_t>(g_LeadingInteger(rest + 1), 0, 999)) : 0;
    return std::chrono::system_clock::from_time_t(timegm(&utc)) + std::chrono::milliseconds(ms);
}

// A prepared statement that finalizes itself.
class CStatement {
public:
    CStatement(sqlite3* db, const char* sql) { sqlite3_prepare_v2(db, sql, -1, &m_statement, nullptr); }
    ~CStatement() { sqlite3_finalize(m_statement); }
    CStatement(const CStatement&) = delete;
    CStatement& operator=(const CStatement&) = delete;
    sqlite3_stmt* operator*() const { return m_statement; }
    explicit operator bool() const { return m_statement != nullptr; }

private:
    sqlite3_stmt* m_statement = nullptr;
};

// Thrown by the journal's thread when SQLite refuses; the journal then stops writing.
struct tagJournalError {
    std::string what;
};

void Check(sqlite3* db, int code) {
    if (code != SQLITE_OK && code != SQLITE_DONE && code != SQLITE_ROW) {
        throw tagJournalError{sqlite3_errmsg(db)};
    }
}

void Execute(sqlite3* db, const char* sql) {
    Check(db, sqlite3_exec(db, sql, nullptr, nullptr, nullptr));
}

void SetNote(sqlite3* db, const char* key, const std::string& value) {
    CStatement note(db, "INSERT OR REPLACE INTO note VALUES (?, ?)");
    sqlite3_bind_text(*note, 1, key, -1, SQLITE_STATIC);
    sqlite3_bind_text(*note, 2, value.c_str(), -1, SQLITE_TRANSIENT);
    Check(db, sqlite3_step(*note));
}

std::optional<std::string> GetNote(sqlite3* db, const char* key) {
    CStatement note(db, "SELECT value FROM note WHERE key = ?");
    sqlite3_bind_text(*note, 1, key, -1, SQLITE_STATIC);
    if (note && sqlite3_step(*note) == SQLITE_ROW && sqlite3_column_text(*note, 0)) {
        return std::string(reinterpret_cast<const char*>(sqlite3_column_text(*note, 0)));
    }
    return std::nullopt;
}

// Reading a journal from outside: a damaged one may hold a loop in its pages that a query
// follows for ever, so reading stops after far more work, or more rows, than the file's bytes
// could hold.
struct tagReadBudget {
    uint64_t left = 0; // of 1000 virtual machine instructions each
    uint64_t rows = 0; // a row takes more than four bytes of the file
    // Counts a row read; false once the file cannot hold that many.
    bool Row() { return rows-- > 0; }
};

int SpendReadBudget(void* budget) {
    uint64_t& left = static_cast<tagReadBudget*>(budget)->left;
    return left-- == 0 ? 1 : 0; // non-zero interrupts the query
}

void LimitReading(sqlite3* db, const std::string& path, tagReadBudget& budget) {
    std::error_code ec;
    uint64_t bytes = 0;
    for (const char* suffix : {"", "-wal"}) {
        const auto size = std::filesystem::file_size(path + suffix, ec);
        bytes += ec ? 0 : size;
    }
    // Counted in steps of 1000 virtual machine instructions; a row costs well under a hundred.
    budget.left = bytes / 4 + 10'000;
    budget.rows = bytes / 4 + 64;
    sqlite3_progress_handler(db, 1000, SpendReadBudget, &budget);
}

void RemoveFiles(const std::string& path) {
    for (const char* suffix : {"", "-wal", "-shm"}) {
        std::remove((path + suffix).c_str());
    }
}

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
    Execute(m_db, "PRAGMA journal_mode=WAL; PRAGMA synchronous=FULL;");
    Execute(m_db, kSchema);
    return true;
}

void CRecordingJournal::Close() {
    // close_v2: a statement still alive (one that failed midway) ends the connection when it goes.
    if (m_db) {
        sqlite3_close_v2(m_db);
        m_db = nullptr;
    }
}

void CRecordingJournal::WriterLoop() {
    bool inTransaction = false;
    Clock::time_point lastCommit = Clock::now();
    for (;;) {
        std::deque<Work> work;
        bool commit = false, stop = false;
        uint64_t taken = 0;
        {
            std::unique_lock lock(m_mutex);
            m_changed.wait_for(lock, kCommitInterval,
                               [this] { return m_stop || m_commitRequested || !m_queue.empty(); });
            work.swap(m_queue);
            commit = std::exchange(m_commitRequested, false);
            stop = m_stop;
            taken = m_posted;
        }
        try {
            if (!work.empty() && !Failed()) {
                OpenDatabase();
                if (!inTransaction) {
                    Execute(m_db, "BEGIN");
                    inTransaction = true;
                }
                for (const Work& w : work) {
                    w(m_db);
                }
            }
            if (inTransaction && (commit || stop || Clock::now() - lastCommit >= kCommitInterval)) {
                SetNote(m_db, "last_commit_utc", UtcNow());
                Execute(m_db, "COMMIT");
                inTransaction = false;
                lastCommit = Clock::now();
            }
        } catch (const tagJournalError& error) {
            if (m_db && inTransaction) {
                sqlite3_exec(m_db, "ROLLBACK", nullptr, nullptr, nullptr);
            }
            inTransaction = false;
            Close();
            std::lock_guard lock(m_mutex);
            m_failed = true;
            m_error = m_path + ": " + error.what;
        }
        {
            std::lock_guard lock(m_mutex);
            if (!inTransaction) {
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
    const std::string started = UtcNow(); // when the controller began, not when this is written
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
        Check(db, sqlite3_step(*recording));
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
            Check(db, sqlite3_step(*channel));
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
            Check(db, sqlite3_step(*first));
            m_firstTickPending = false;
        }
        CStatement insert(db, "INSERT OR REPLACE INTO sample VALUES (?, ?, ?, ?, ?, ?, ?, ?)");
        for (const tagOscilloVal& sample : copy) {
            sqlite3_reset(*insert);
            sqlite3_bind_int64(*insert, 1, m_recording);
            sqlite3_bind_int64(*insert, 2, sample.tick);
            for (int k = 0; k < kMaxChannels; ++k) {
                sqlite3_bind_int(*insert, 3 + k, static_cast<int32_t>(sample.raw[static_cast<size_t>(k)]));
            }
            Check(db, sqlite3_step(*insert));
        }
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
        Check(db, sqlite3_step(*drop));
        SetNote(db, "cut_ms", g_ShortestText(time));
        std::string kept;
        for (const uint32_t n : keptAtCut) {
            kept += (kept.empty() ? "" : ",") + g_IntegerText(n);
        }
        SetNote(db, "cut_kept", kept);
    });
}

void CRecordingJournal::Reset(const std::string& basePath) {
    Post([this, basePath](sqlite3* db) {
        Execute(db, "DELETE FROM sample; DELETE FROM channel; DELETE FROM recording; DELETE FROM note;");
        SetNote(db, "base_path", basePath);
        m_recording = 0;
        m_firstTickPending = false;
    });
}

void CRecordingJournal::Commit() {
    uint64_t target = 0;
    {
        std::lock_guard lock(m_mutex);
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
    RemoveFiles(m_path);
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
    LimitReading(db, path, budget);
    {
        CStatement count(db, "SELECT count(*) FROM sample");
        CStatement started(db, "SELECT min(started_utc) FROM recording");
        if (!count || !started || sqlite3_step(*count) != SQLITE_ROW) {
            summary.error = path + ": " + sqlite3_errmsg(db);
        } else {
            summary.samples = static_cast<uint64_t>(sqlite3_column_int64(*count, 0));
            if (sqlite3_step(*started) == SQLITE_ROW && sqlite3_column_text(*started, 0)) {
                summary.started = ParseUtc(reinterpret_cast<const char*>(sqlite3_column_text(*started, 0)));
            }
            if (const std::optional<std::string> commit = GetNote(db, "last_commit_utc")) {
                summary.lastCommit = ParseUtc(*commit);
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
    RemoveFiles(path);
    return true;
}

bool CRecordingJournal::Replay(const std::string& path, tagMonitorState& state, CTraceSet& traces,
                               std::string* error) {
    sqlite3* db = nullptr;
    auto fail = [&](const std::string& what) {
        if (error) {
            *error = path + ": " + what;
        }
        sqlite3_close_v2(db);
        return false;
    };
    tagReadBudget budget;
    if (sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK) {
        return fail(db ? sqlite3_errmsg(db) : "out of memory");
    }
    LimitReading(db, path, budget);
    CStatement recordings(db, "SELECT id, period_eighths, time_offset_ms, trigger_enable, trigger_channel, "
                              "trigger_condition, trigger_value, first_tick FROM recording ORDER BY id");
    CStatement channels(db,
                        "SELECT name, param_code, data_type, colour, hold FROM channel WHERE recording = ? "
                        "ORDER BY position");
    CStatement samples(db, "SELECT tick, raw0, raw1, raw2, raw3, raw4, raw5 FROM sample WHERE recording = ? "
                           "ORDER BY tick");
    if (!recordings || !channels || !samples) {
        return fail(sqlite3_errmsg(db));
    }

    // What the traces held before the first recording.
    traces.ResetAll();
    state.channels.clear();
    state.trigger.Reset();
    std::string baseError;
    const std::string base = GetNote(db, "base_path").value_or("");
    if (!base.empty() && !std::filesystem::is_regular_file(base)) {
        baseError = base + ": no such file";
    } else if (!base.empty()) {
        const bool read = IsDataFilePath(base)
                              ? ReadDataFile(base, state, traces, &baseError) == EnumDataFileRead::Read
                              : ReadCsvFile(base, state, traces, &baseError);
        if (!read && baseError.empty()) {
            baseError = base + ": cannot be read";
        }
    }

    const auto tooMany = [&] { return fail("damaged: more rows than the file can hold"); };
    while (sqlite3_step(*recordings) == SQLITE_ROW) {
        if (!budget.Row()) {
            return tooMany();
        }
        const int64_t id = sqlite3_column_int64(*recordings, 0);
        const tagPeriod period =
            g_PeriodOfEighths(static_cast<uint32_t>(sqlite3_column_int64(*recordings, 1)));
        const double offset = sqlite3_column_double(*recordings, 2);
        state.period = std::max<uint32_t>(1, (period.count() + 4) / 8); // the controller's, in whole ms
        state.trigger = {static_cast<uint32_t>(sqlite3_column_int64(*recordings, 3)),
                         static_cast<uint32_t>(sqlite3_column_int64(*recordings, 4)),
                         static_cast<uint32_t>(sqlite3_column_int64(*recordings, 5)),
                         sqlite3_column_double(*recordings, 6)};
        const std::optional<int64_t> firstTick = sqlite3_column_type(*recordings, 7) == SQLITE_NULL
                                                     ? std::nullopt
                                                     : std::optional(sqlite3_column_int64(*recordings, 7));

        // The channels as the recording had them (one added since joins the list), with the value
        // each trace ended on before it.
        std::vector<tagOscilloElem> list;
        std::vector<std::optional<double>> hold;
        sqlite3_reset(*channels);
        sqlite3_bind_int64(*channels, 1, id);
        while (sqlite3_step(*channels) == SQLITE_ROW && list.size() < kMaxChannels) {
            const unsigned char* name = sqlite3_column_text(*channels, 0);
            list.push_back({name ? reinterpret_cast<const char*>(name) : "",
                            static_cast<uint16_t>(sqlite3_column_int(*channels, 1)),
                            static_cast<EnumGCMDataType>(sqlite3_column_int64(*channels, 2)),
                            static_cast<uint32_t>(sqlite3_column_int64(*channels, 3))});
            hold.push_back(sqlite3_column_type(*channels, 4) == SQLITE_NULL
                               ? std::nullopt
                               : std::optional<double>(sqlite3_column_double(*channels, 4)));
        }
        for (size_t k = state.channels.size(); k < list.size(); ++k) {
            state.channels.push_back(list[k]);
            traces.ApplyChannel(k, list[k].colour, list[k].dataType == GCM_BOOL);
        }

        // Each sample as the recording turned it into points; the hold points came with the
        // first one, unless the trim cut it.
        sqlite3_reset(*samples);
        sqlite3_bind_int64(*samples, 1, id);
        bool first = true;
        int step = 0;
        while ((step = sqlite3_step(*samples)) == SQLITE_ROW) {
            if (!budget.Row()) {
                return tooMany();
            }
            const auto tick = static_cast<uint32_t>(sqlite3_column_int64(*samples, 0));
            const bool holdPending = first && firstTick && *firstTick == tick;
            first = false;
            const double t = g_SampleTimeMs(period, tick, offset);
            for (size_t k = 0; k < list.size(); ++k) {
                const auto raw = static_cast<uint32_t>(sqlite3_column_int(*samples, 1 + static_cast<int>(k)));
                const double v = ConvertRawValue(raw, list[k].dataType);
                CTrace& serie = traces.Trace(k);
                if (holdPending && hold[k] && *hold[k] != v) {
                    serie.AddPoint(t, *hold[k]);
                }
                serie.AddPoint(t, v);
            }
        }
        if (step != SQLITE_DONE) {
            return fail(sqlite3_errmsg(db));
        }
    }

    // The trim's cut, also through the base's points: what lay before it goes, and of the points
    // on it (a hold point and its sample share their time) as many as the trim left stay.
    if (const std::optional<std::string> cut = GetNote(db, "cut_ms")) {
        const double x = g_LeadingNumber(*cut);
        const std::string keptText = GetNote(db, "cut_kept").value_or("");
        std::string_view kept = keptText;
        for (size_t k = 0; k < state.channels.size(); ++k) {
            const size_t comma = kept.find(',');
            const auto keep =
                static_cast<uint64_t>(std::max<int64_t>(0, g_LeadingInteger(kept.substr(0, comma))));
            kept = comma == std::string_view::npos ? std::string_view() : kept.substr(comma + 1);
            CTrace& serie = traces.Trace(k);
            uint32_t before = 0, on = 0;
            const uint32_t count = serie.GetPointCount();
            while (before < count && serie.GetXValue(before) < x) {
                ++before;
            }
            while (before + on < count && serie.GetXValue(before + on) == x) {
                ++on;
            }
            serie.RemoveLeadingPoints(before + on - static_cast<uint32_t>(std::min<uint64_t>(keep, on)));
        }
    }
    sqlite3_close_v2(db);
    if (!baseError.empty()) {
        if (error) {
            *error = baseError;
        }
        return false;
    }
    return true;
}
