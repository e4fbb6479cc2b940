// Streamed CSV in the common spreadsheet dialect (comma separated, CRLF, quoted where needed), for tables too
// large to hold as cell strings: a row writer over a large output buffer and a row reader over a mapped file
// whose cells are views into it. Numbers are written and read without any locale.
#pragma once

#include <cstdint>
#include <cstdio>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

class CCsvRowWriter {
public:
    // Opens (creates or truncates) the file and writes the byte order mark; IsOpen tells.
    explicit CCsvRowWriter(const std::string& path);
    ~CCsvRowWriter();
    CCsvRowWriter(const CCsvRowWriter&) = delete;
    CCsvRowWriter& operator=(const CCsvRowWriter&) = delete;

    bool IsOpen() const { return m_file != nullptr; }
    void Cell(std::string_view text);
    void CellInt(int32_t value);
    // "%f": fixed, six decimals.
    void CellFixed6(double value);
    void EndRow();
    // For rows of numbers, which never need quotes: room for up to maxBytes written directly,
    // then taken in up to end (which must hold the row's own separators and line end).
    char* RawRow(size_t maxBytes);
    void CommitRaw(const char* end);
    static char* PutInt(char* out, int32_t value);
    static char* PutFixed6(char* out, double value);
    // Bytes PutFixed6 may take at most.
    static constexpr size_t kFixed6Bytes = 384;
    // Writes what is buffered and closes; false when anything could not be written.
    bool Close();

private:
    char* Room(size_t bytes);
    void Separator();
    void Flush();

    std::FILE* m_file = nullptr;
    std::vector<char> m_buffer;
    size_t m_used = 0;
    size_t m_cellsInRow = 0;
    bool m_lastCellEmpty = false;
    bool m_failed = false;
};

class CCsvRowReader {
public:
    // Longest line the reader accepts; a longer one makes the file malformed.
    static constexpr size_t kMaxLineBytes = 1 << 20;

    // Maps the file; IsOpen is false when it cannot be opened.
    explicit CCsvRowReader(const std::string& path);
    // Over text held by the caller.
    explicit CCsvRowReader(std::string_view text);
    ~CCsvRowReader();
    CCsvRowReader(const CCsvRowReader&) = delete;
    CCsvRowReader& operator=(const CCsvRowReader&) = delete;

    bool IsOpen() const { return m_open; }
    // The next row's cells (views valid until the next call); false at the end or on an error.
    bool Next(std::vector<std::string_view>& cells);
    // What was wrong, with its line; empty when the text ended normally.
    const std::string& Error() const { return m_error; }

private:
    bool Fail(const std::string& what);
    // True (and failed) when a line from..to is longer than allowed.
    bool TooLong(size_t from, size_t to);
    // A quoted cell from its opening quote at i, unescaped into cell: where it ends, or nothing.
    std::optional<size_t> QuotedCell(size_t i, size_t lineStart, std::string& cell);
    std::optional<size_t> PlainCellEnd(size_t i, size_t lineStart);

    bool m_open = false;
    void* m_map = nullptr;
    size_t m_mapSize = 0;
    std::string_view m_text;
    size_t m_pos = 0;
    size_t m_line = 1;
    std::string m_error;
    std::vector<std::string> m_unquoted; // cells that needed unescaping, for this row
};
