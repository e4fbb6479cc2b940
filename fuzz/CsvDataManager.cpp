#include "CsvDataManager.h"

#include <fstream>
#include <iterator>
#include <sstream>

namespace {

constexpr std::string_view kBom = "\xEF\xBB\xBF";

bool NeedsQuotes(const std::string& cell) {
    return cell.find_first_of(",\"\r\n") != std::string::npos ||
           (!cell.empty() &&
            (cell.front() == ' ' || cell.back() == ' ' || cell.front() == '\t' || cell.back() == '\t'));
}

void AppendCell(std::string& out, const std::string& cell) {
    if (!NeedsQuotes(cell)) {
        out += cell;
        return;
    }
    out += '"';
    for (char c : cell) {
        if (c == '"') {
            out += '"';
        }
        out += c;
    }
    out += '"';
}

} // namespace

std::string CCsvDataManager::ToText(const std::vector<tagCsvData>& table) {
    std::string out(kBom);
    for (const tagCsvData& row : table) {
        // A lone empty cell must not read back as a row without cells.
        if (row.size() == 1 && row[0].empty()) {
            out += "\"\"";
        } else {
            for (size_t i = 0; i < row.size(); ++i) {
                if (i > 0) {
                    out += ',';
                }
                AppendCell(out, row[i]);
            }
        }
        out += "\r\n";
    }
    return out;
}

bool CCsvDataManager::FromText(std::string_view text, std::vector<tagCsvData>& table, std::string* error) {
    if (text.substr(0, kBom.size()) == kBom) {
        text.remove_prefix(kBom.size());
    }
    std::vector<tagCsvData> rows;
    tagCsvData row;
    std::string cell;
    bool rowHasCells = false; // distinguishes an empty line from a line holding one empty cell
    size_t line = 1;
    size_t i = 0;
    const size_t n = text.size();

    auto fail = [&](const std::string& what) {
        if (error) {
            *error = "line " + std::to_string(line) + ": " + what;
        }
        return false;
    };
    auto endCell = [&] {
        row.push_back(std::move(cell));
        cell.clear();
        rowHasCells = true;
    };
    auto endRow = [&] {
        if (rowHasCells) {
            endCell();
        }
        rows.push_back(std::move(row));
        row.clear();
        rowHasCells = false;
        ++line;
    };

    while (i < n) {
        char c = text[i];
        if (c == '"' && cell.empty()) {
            // Quoted cell: runs to the next lone quote, which must end the cell.
            const size_t startLine = line;
            ++i;
            bool closed = false;
            while (i < n) {
                if (text[i] == '"') {
                    if (i + 1 < n && text[i + 1] == '"') {
                        cell += '"';
                        i += 2;
                        continue;
                    }
                    ++i;
                    closed = true;
                    break;
                }
                if (text[i] == '\n') {
                    ++line;
                }
                cell += text[i++];
            }
            if (!closed) {
                line = startLine;
                return fail("a quoted cell is not closed");
            }
            rowHasCells = true;
            if (i < n && text[i] != ',' && text[i] != '\r' && text[i] != '\n') {
                return fail("text follows a closing quote");
            }
            continue;
        }
        if (c == ',') {
            rowHasCells = true;
            endCell();
            ++i;
        } else if (c == '\r' || c == '\n') {
            i += (c == '\r' && i + 1 < n && text[i + 1] == '\n') ? 2 : 1;
            endRow();
        } else {
            cell += c;
            rowHasCells = true;
            ++i;
        }
    }
    if (rowHasCells) {
        endRow();
    }
    table.insert(table.end(), std::make_move_iterator(rows.begin()), std::make_move_iterator(rows.end()));
    return true;
}

int CCsvDataManager::SaveData(const std::vector<tagCsvData>& table, const std::string& path) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    if (!out) {
        return 0;
    }
    const std::string text = ToText(table);
    out.write(text.data(), static_cast<std::streamsize>(text.size()));
    out.close();
    return out ? 1 : 0;
}

int CCsvDataManager::LoadData(std::vector<tagCsvData>& table, const std::string& path, std::string* error) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        if (error) {
            *error = "the file cannot be opened";
        }
        return 0;
    }
    std::ostringstream buffer;
    buffer << in.rdbuf();
    if (in.bad()) {
        if (error) {
            *error = "the file cannot be read";
        }
        return 0;
    }
    return FromText(buffer.str(), table, error) ? 1 : 0;
}
