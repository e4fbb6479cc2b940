// What the journal's writer and its readers share: SQLite statements and notes, UTC times, and
// the budget that stops reading a damaged journal.
#pragma once

#include <sqlite3.h>

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>

// ISO 8601 in UTC, to the millisecond.
std::string g_JournalUtcNow();
// Nothing for a text that is not such a time, or one the clock cannot hold.
std::optional<std::chrono::system_clock::time_point> g_ParseJournalUtc(const std::string& text);

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

void g_JournalCheck(sqlite3* db, int code);
void g_JournalExecute(sqlite3* db, const char* sql);
void g_SetJournalNote(sqlite3* db, const char* key, const std::string& value);
std::optional<std::string> g_JournalNote(sqlite3* db, const char* key);

// Reading a journal from outside: a damaged one may hold a loop in its pages that a query
// follows for ever, so reading stops after far more work, or more rows, than the file's bytes
// could hold.
struct tagReadBudget {
    uint64_t left = 0; // of 1000 virtual machine instructions each
    uint64_t rows = 0; // a row takes more than four bytes of the file
    // Counts a row read; false once the file cannot hold that many.
    bool Row() { return rows-- > 0; }
};
void g_LimitJournalReading(sqlite3* db, const std::string& path, tagReadBudget& budget);

// The journal and its write-ahead log and shared memory files.
void g_RemoveJournalFiles(const std::string& path);
