#include "ReasonTexts.h"

#include "acquisition/StringIds.h"

#include <string_view>
#include <utility>

namespace {

// Known wordings, longest first where one contains another.
constexpr std::pair<std::string_view, int> kKnown[] = {
    {"Connection timed out", IDS_REASON_TIMEOUT},
    {"Operation timed out", IDS_REASON_TIMEOUT},
    {"Resource temporarily unavailable", IDS_REASON_TIMEOUT},
    {"the controller does not answer", IDS_REASON_NO_ANSWER},
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
    {"the controller refused the value", IDS_REASON_VALUE_REFUSED},
    {"the link is not open", IDS_REASON_NOT_OPEN},
};

} // namespace

std::string g_ReasonText(const std::string& raw, const StringLookup& text) {
    std::string shown = raw;
    for (const auto& [words, id] : kKnown) {
        for (size_t at = shown.find(words); at != std::string::npos; at = shown.find(words, at)) {
            const std::string ours = text(id);
            shown.replace(at, words.size(), ours);
            at += ours.size();
        }
    }
    return shown;
}
