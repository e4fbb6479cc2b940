#include "JournalSql.h"

#include "kit/NumberText.h"

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <filesystem>

// ISO 8601 in UTC, to the millisecond.
std::string g_JournalUtcNow() {
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

std::optional<std::chrono::system_clock::time_point> g_ParseJournalUtc(const std::string& text) {
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

void g_JournalCheck(sqlite3* db, int code) {
    if (code != SQLITE_OK && code != SQLITE_DONE && code != SQLITE_ROW) {
        throw tagJournalError{sqlite3_errmsg(db)};
    }
}

void g_JournalExecute(sqlite3* db, const char* sql) {
    g_JournalCheck(db, sqlite3_exec(db, sql, nullptr, nullptr, nullptr));
}

void g_SetJournalNote(sqlite3* db, const char* key, const std::string& value) {
    CStatement note(db, "INSERT OR REPLACE INTO note VALUES (?, ?)");
    sqlite3_bind_text(*note, 1, key, -1, SQLITE_STATIC);
    sqlite3_bind_text(*note, 2, value.c_str(), -1, SQLITE_TRANSIENT);
    g_JournalCheck(db, sqlite3_step(*note));
}

std::optional<std::string> g_JournalNote(sqlite3* db, const char* key) {
    CStatement note(db, "SELECT value FROM note WHERE key = ?");
    sqlite3_bind_text(*note, 1, key, -1, SQLITE_STATIC);
    if (note && sqlite3_step(*note) == SQLITE_ROW && sqlite3_column_text(*note, 0)) {
        return std::string(reinterpret_cast<const char*>(sqlite3_column_text(*note, 0)));
    }
    return std::nullopt;
}

namespace {

int SpendReadBudget(void* budget) {
    uint64_t& left = static_cast<tagReadBudget*>(budget)->left;
    return left-- == 0 ? 1 : 0; // non-zero interrupts the query
}

} // namespace

void g_LimitJournalReading(sqlite3* db, const std::string& path, tagReadBudget& budget) {
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

void g_RemoveJournalFiles(const std::string& path) {
    for (const char* suffix : {"", "-wal", "-shm"}) {
        std::remove((path + suffix).c_str());
    }
}
