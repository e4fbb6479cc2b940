#include "CsvStream.h"

#include "NumberText.h"

#include <algorithm>
#include <charconv>
#include <cstring>

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr std::string_view kBom = "\xEF\xBB\xBF";
constexpr size_t kWriteBuffer = 8 << 20;

bool NeedsQuotes(std::string_view cell) {
    return cell.find_first_of(",\"\r\n") != std::string_view::npos ||
           (!cell.empty() &&
            (cell.front() == ' ' || cell.back() == ' ' || cell.front() == '\t' || cell.back() == '\t'));
}

} // namespace

CCsvRowWriter::CCsvRowWriter(const std::string& path) : m_file(std::fopen(path.c_str(), "wb")) {
    if (!m_file) {
        return;
    }
    std::setvbuf(m_file, nullptr, _IONBF, 0);
    m_buffer.resize(kWriteBuffer);
    std::memcpy(Room(kBom.size()), kBom.data(), kBom.size());
    m_used += kBom.size();
}

CCsvRowWriter::~CCsvRowWriter() {
    if (m_file) {
        std::fclose(m_file);
    }
}

char* CCsvRowWriter::Room(size_t bytes) {
    if (m_used + bytes > m_buffer.size()) {
        Flush();
        if (bytes > m_buffer.size()) {
            m_buffer.resize(bytes);
        }
    }
    return m_buffer.data() + m_used;
}

void CCsvRowWriter::Flush() {
    if (m_file && m_used > 0 && std::fwrite(m_buffer.data(), 1, m_used, m_file) != m_used) {
        m_failed = true;
    }
    m_used = 0;
}

void CCsvRowWriter::Separator() {
    if (m_cellsInRow++ > 0) {
        *Room(1) = ',';
        ++m_used;
    }
}

void CCsvRowWriter::Cell(std::string_view text) {
    Separator();
    m_lastCellEmpty = text.empty();
    if (!NeedsQuotes(text)) {
        std::memcpy(Room(text.size()), text.data(), text.size());
        m_used += text.size();
        return;
    }
    char* out = Room(2 * text.size() + 2);
    char* p = out;
    *p++ = '"';
    for (char c : text) {
        if (c == '"') {
            *p++ = '"';
        }
        *p++ = c;
    }
    *p++ = '"';
    m_used += static_cast<size_t>(p - out);
}

char* CCsvRowWriter::PutInt(char* out, int32_t value) {
    return g_PutInteger(out, value);
}

char* CCsvRowWriter::PutFixed6(char* out, double value) {
    return g_PutFixed(out, value, 6);
}

void CCsvRowWriter::CellInt(int32_t value) {
    Separator();
    m_lastCellEmpty = false;
    char* out = Room(kIntegerTextBytes);
    m_used += static_cast<size_t>(PutInt(out, value) - out);
}

void CCsvRowWriter::CellFixed6(double value) {
    Separator();
    m_lastCellEmpty = false;
    char* out = Room(kFixed6Bytes);
    m_used += static_cast<size_t>(PutFixed6(out, value) - out);
}

char* CCsvRowWriter::RawRow(size_t maxBytes) {
    return Room(maxBytes);
}

void CCsvRowWriter::CommitRaw(const char* end) {
    m_used = static_cast<size_t>(end - m_buffer.data());
}

void CCsvRowWriter::EndRow() {
    // A row of one empty cell is written as "" so that it does not read back as an empty line.
    if (m_cellsInRow == 1 && m_lastCellEmpty) {
        std::memcpy(Room(2), "\"\"", 2);
        m_used += 2;
    }
    std::memcpy(Room(2), "\r\n", 2);
    m_used += 2;
    m_cellsInRow = 0;
}

bool CCsvRowWriter::Close() {
    if (!m_file) {
        return false;
    }
    Flush();
    const bool closed = std::fclose(m_file) == 0;
    m_file = nullptr;
    return closed && !m_failed;
}

CCsvRowReader::CCsvRowReader(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        return;
    }
    struct stat info {};
    if (::fstat(fd, &info) == 0 && S_ISREG(info.st_mode)) {
        m_open = true;
        m_mapSize = static_cast<size_t>(info.st_size);
        if (m_mapSize > 0) {
            m_map = ::mmap(nullptr, m_mapSize, PROT_READ, MAP_PRIVATE, fd, 0);
            if (m_map == MAP_FAILED) {
                m_map = nullptr;
                m_open = false;
            } else {
                ::madvise(m_map, m_mapSize, MADV_SEQUENTIAL);
                m_text = std::string_view(static_cast<const char*>(m_map), m_mapSize);
            }
        }
    }
    ::close(fd);
    if (m_text.substr(0, kBom.size()) == kBom) {
        m_pos = kBom.size();
    }
}

CCsvRowReader::CCsvRowReader(std::string_view text) : m_open(true), m_text(text) {
    if (m_text.substr(0, kBom.size()) == kBom) {
        m_pos = kBom.size();
    }
}

CCsvRowReader::~CCsvRowReader() {
    if (m_map) {
        ::munmap(m_map, m_mapSize);
    }
}

bool CCsvRowReader::Fail(const std::string& what) {
    m_error = "line " + std::to_string(m_line) + ": " + what;
    m_pos = m_text.size();
    return false;
}

bool CCsvRowReader::TooLong(size_t from, size_t to) {
    return to - from > kMaxLineBytes &&
           !Fail("the line is longer than " + std::to_string(kMaxLineBytes) + " bytes");
}

std::optional<size_t> CCsvRowReader::QuotedCell(size_t i, size_t lineStart, std::string& cell) {
    const char* text = m_text.data();
    const size_t n = m_text.size();
    const size_t startLine = m_line;
    for (++i; i < n; ++i) {
        const char c = text[i];
        if (c == '"') {
            if (i + 1 < n && text[i + 1] == '"') {
                cell += '"';
                ++i;
                continue;
            }
            ++i;
            if (i < n && text[i] != ',' && text[i] != '\r' && text[i] != '\n') {
                Fail("text follows a closing quote");
                return std::nullopt;
            }
            return i;
        }
        if (c == '\0') {
            Fail("the file holds binary data");
            return std::nullopt;
        }
        m_line += c == '\n';
        cell += c;
        if (TooLong(lineStart, i + 1)) {
            return std::nullopt;
        }
    }
    m_line = startLine;
    Fail("a quoted cell is not closed");
    return std::nullopt;
}

std::optional<size_t> CCsvRowReader::PlainCellEnd(size_t i, size_t lineStart) {
    // A plain cell runs to the next separator or line end; quotes inside it are text.
    const char* text = m_text.data();
    const size_t n = m_text.size();
    size_t end = i;
    while (end < n && text[end] != ',' && text[end] != '\r' && text[end] != '\n') {
        if (text[end] == '\0') {
            Fail("the file holds binary data");
            return std::nullopt;
        }
        ++end;
    }
    if (TooLong(lineStart, end)) {
        return std::nullopt;
    }
    return end;
}

bool CCsvRowReader::Next(std::vector<std::string_view>& cells) {
    cells.clear();
    m_unquoted.clear();
    const size_t n = m_text.size();
    if (!m_error.empty() || m_pos >= n) {
        return false;
    }
    const char* text = m_text.data();
    const size_t lineStart = m_pos;
    // Quoted cells are unescaped into m_unquoted; their views are made once the row is done, so
    // that the strings no longer move.
    std::vector<std::pair<size_t, size_t>> quotedAt; // (cell index, string index)
    size_t i = m_pos;
    for (;;) {
        if (TooLong(lineStart, i)) {
            return false;
        }
        std::optional<size_t> end;
        if (i < n && text[i] == '"') {
            std::string cell;
            if (!(end = QuotedCell(i, lineStart, cell))) {
                return false;
            }
            quotedAt.emplace_back(cells.size(), m_unquoted.size());
            m_unquoted.push_back(std::move(cell));
            cells.emplace_back();
        } else {
            if (!(end = PlainCellEnd(i, lineStart))) {
                return false;
            }
            cells.emplace_back(text + i, *end - i);
        }
        i = *end;
        if (i < n && text[i] == ',') {
            ++i;
            continue;
        }
        break;
    }
    // An empty line is a row without cells, as the table reader gives it.
    if (cells.size() == 1 && quotedAt.empty() && cells[0].empty()) {
        cells.clear();
    }
    if (i < n) {
        i += (text[i] == '\r' && i + 1 < n && text[i + 1] == '\n') ? 2 : 1;
    }
    m_pos = i;
    ++m_line;
    for (const auto& [cell, string] : quotedAt) {
        cells[cell] = m_unquoted[string];
    }
    return true;
}
