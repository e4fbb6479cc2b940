// CSV tables in the common spreadsheet dialect: comma separated, CRLF line ends, cells quoted when
// they hold a comma, a quote, a line break or outer blanks, UTF-8 with a byte order mark.
#pragma once

#include <string>
#include <string_view>
#include <vector>

// One row of a table: its cells in order. Rows may differ in length.
using tagCsvData = std::vector<std::string>;

class CCsvDataManager {
public:
    // Writes the rows to the file; nonzero when the whole file was written.
    static int SaveData(const std::vector<tagCsvData>& table, const std::string& path);
    // Appends the file's rows to the table; nonzero on success. On failure the table is left
    // unchanged and error, when given, says what was wrong and where.
    static int LoadData(std::vector<tagCsvData>& table, const std::string& path,
                        std::string* error = nullptr);

    static std::string ToText(const std::vector<tagCsvData>& table);
    static bool FromText(std::string_view text, std::vector<tagCsvData>& table, std::string* error = nullptr);
};
