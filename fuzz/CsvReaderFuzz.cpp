// The streamed CSV reader on arbitrary text, against the table reader: where the table reader
// accepts text without NUL bytes or overlong lines, the row reader gives the same rows, and it
// refuses exactly what the table reader refuses.
#include "CsvDataManager.h"
#include "kit/CsvStream.h"
#include "kit/NumberText.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    CCsvRowReader reader(text);
    std::vector<tagCsvData> rows;
    std::vector<std::string_view> cells;
    while (reader.Next(cells)) {
        rows.emplace_back(cells.begin(), cells.end());
        for (std::string_view cell : cells) {
            (void)g_LeadingNumber(cell);
        }
    }
    std::vector<tagCsvData> table;
    const bool tableOk = CCsvDataManager::FromText(text, table);
    const bool streamOk = reader.Error().empty();
    const bool comparable = text.find('\0') == std::string_view::npos && size < CCsvRowReader::kMaxLineBytes;
    if (comparable && (tableOk != streamOk || (tableOk && rows != table))) {
        __builtin_trap();
    }
    return 0;
}
