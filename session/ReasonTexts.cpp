#include "ReasonTexts.h"

#include "acquisition/StringIds.h"
#include "acquisition/StringTexts.h"

#include <algorithm>
#include <string_view>
#include <utility>
#include <vector>

namespace {

// Wordings of the operating system, libmodbus and SQLite, and what we say instead.
constexpr std::pair<std::string_view, int> kForeign[] = {
    {"Connection timed out", IDS_REASON_TIMEOUT},
    {"Operation timed out", IDS_REASON_TIMEOUT},
    {"Resource temporarily unavailable", IDS_REASON_TIMEOUT},
    {"Connection refused", IDS_REASON_REFUSED},
    {"No such file or directory", IDS_REASON_NO_SUCH},
    {"No such device", IDS_REASON_NO_SUCH},
    {"Illegal function", IDS_REASON_EXCEPTION_1},
    {"Illegal data address", IDS_REASON_EXCEPTION_2},
    {"Illegal data value", IDS_REASON_EXCEPTION_3},
    {"Slave device or server failure", IDS_REASON_EXCEPTION_4},
    {"No space left on device", IDS_REASON_DISK_FULL},
    {"database or disk is full", IDS_REASON_DISK_FULL},
    {"Permission denied", IDS_REASON_PERMISSION},
    {"Invalid data", IDS_REASON_INVALID_DATA},
    {"Connection closed by the controller", IDS_REASON_CONNECTION_CLOSED},
    {"Connection reset by peer", IDS_REASON_CONNECTION_RESET},
    {"Broken pipe", IDS_REASON_CONNECTION_RESET},
    {"Network is unreachable", IDS_REASON_UNREACHABLE},
    {"No route to host", IDS_REASON_UNREACHABLE},
    {"Slave device or server is busy", IDS_REASON_BUSY},
    {"Modbus exception ", IDS_REASON_EXCEPTION},
    {"Input/output error", IDS_REASON_IO_ERROR},
    {"disk I/O error", IDS_REASON_IO_ERROR},
    {"Device or resource busy", IDS_REASON_DEVICE_BUSY},
    {"unable to open database file", IDS_REASON_DB_CANNOT_OPEN},
    {"attempt to write a readonly database", IDS_REASON_DB_READ_ONLY},
    {"database is locked", IDS_REASON_DB_LOCKED},
    {"file is not a database", IDS_REASON_DB_NOT_JOURNAL},
    {"database disk image is malformed", IDS_REASON_DB_DAMAGED},
};

// The pieces of our link's and files' own reasons: their English text is the wording they use.
// A reason is built from them with names, paths and numbers in between.
constexpr int kOwn[] = {
    IDS_REASON_NO_ANSWER,
    IDS_REASON_VALUE_REFUSED,
    IDS_REASON_NOT_OPEN,
    IDS_REASON_TB_CHANNELS,
    IDS_REASON_CHANNELS_COUNT,
    IDS_REASON_TB_ELEMENT_KIND,
    IDS_REASON_TB_UNREACHABLE,
    IDS_REASON_TB_PERIOD,
    IDS_REASON_TB_RECORD_FIT,
    IDS_REASON_TB_REFUSED,
    IDS_REASON_TB_VERSION,
    IDS_REASON_PROGRAM_VERSION,
    IDS_REASON_TB_NO_STOP,
    IDS_REASON_TB_NO_START,
    IDS_REASON_TB_RECORDS,
    IDS_REASON_TB_STOPPED,
    IDS_REASON_TB_SLOT,
    IDS_REASON_TB_RING,
    IDS_REASON_TB_NONE,
    IDS_REASON_PORT_NO_DEVICE,
    IDS_REASON_PROBE_NO_ADDRESS,
    IDS_REASON_TOO_MANY_CHANNELS,
    IDS_REASON_UNKNOWN_COMMAND,
    IDS_REASON_NO_CHANNELS,
    IDS_REASON_STOPPED_ANSWERING,
    IDS_REASON_CLOCK_NO_ADDRESS,
    IDS_REASON_NO_ADDRESS,
    IDS_REASON_NOTHING_TO_WRITE,
    IDS_REASON_CANNOT_BE_WRITTEN,
    IDS_REASON_NO_ANSWER_IN,
    IDS_REASON_SHORT_REPLY,
    IDS_REASON_NOT_A_TERMINAL,
    IDS_REASON_CANNOT_BE_OPENED,
    IDS_REASON_NO_SERIAL_DEVICE,
    IDS_REASON_TERMINAL_NOT_NUMBERED,
    IDS_REASON_NOT_SET_UP,
    IDS_REASON_EMPTY_VALUE,
    IDS_REASON_DOES_NOT_FIT,
    IDS_REASON_BIT_RANGE,
    IDS_REASON_REAL_RANGE,
    IDS_REASON_HEADER_HAS,
    IDS_REASON_CELLS_COUNT,
    IDS_REASON_HEADER_CELL,
    IDS_REASON_CELL_EMPTY,
    IDS_REASON_CELL_NO_TYPE,
    IDS_REASON_CELL_NO_PARAMETER,
    IDS_REASON_CANNOT_CREATE_FOLDER,
    IDS_REASON_CANNOT_CREATE_FILE_IN,
    IDS_REASON_CANNOT_CREATE,
    IDS_REASON_CANNOT_WRITE,
    IDS_REASON_CANNOT_OPEN_FILE,
    IDS_REASON_CANNOT_OPEN,
    IDS_REASON_FILE_EMPTY,
    IDS_REASON_NO_SUCH_FILE,
    IDS_REASON_KEPT_BEFORE,
    IDS_REASON_TOO_MANY_POINTS,
    IDS_REASON_CANNOT_WRITE_FILE,
    IDS_REASON_CANNOT_CLOSE_FILE,
    IDS_REASON_CANNOT_BE_READ,
    IDS_REASON_DAMAGED_ROWS,
    IDS_REASON_OUT_OF_MEMORY,
    IDS_REASON_TEXT_TOO_LONG,
    IDS_REASON_ARCHIVE_CLOSED,
    IDS_REASON_ARCHIVE_READING,
    IDS_REASON_ARCHIVE_WRITING,
    IDS_REASON_DATA_ENDS_EARLY,
    IDS_REASON_TOO_MANY_RECORDS,
    IDS_REASON_CSV_LINE,
    IDS_REASON_LINE_TOO_LONG,
    IDS_REASON_BYTES_COUNT,
    IDS_REASON_TEXT_AFTER_QUOTE,
    IDS_REASON_BINARY_DATA,
    IDS_REASON_QUOTE_NOT_CLOSED,
};

// Every wording with its string, longest first: where one wording holds another, the longer
// one is meant.
const std::vector<std::pair<std::string_view, int>>& Wordings() {
    static const std::vector<std::pair<std::string_view, int>> all = [] {
        std::vector<std::pair<std::string_view, int>> list(std::begin(kForeign), std::end(kForeign));
        for (const int id : kOwn) {
            list.emplace_back(EnglishStringById(id), id);
        }
        std::stable_sort(list.begin(), list.end(),
                         [](const auto& a, const auto& b) { return a.first.size() > b.first.size(); });
        return list;
    }();
    return all;
}

} // namespace

std::string g_ReasonText(const std::string& raw, const StringLookup& text) {
    // One pass from left to right, so that a replacement is never read again.
    const auto& wordings = Wordings();
    std::string shown;
    const std::string_view rest(raw);
    for (size_t at = 0; at < rest.size();) {
        const auto known = std::find_if(wordings.begin(), wordings.end(), [&](const auto& wording) {
            return rest.substr(at).starts_with(wording.first);
        });
        if (known == wordings.end()) {
            shown += rest[at++];
            continue;
        }
        shown += text(known->second);
        at += known->first.size();
    }
    return shown;
}
