#include "ProgramSettings.h"

#include "kit/AtomicFile.h"
#include "kit/DocPath.h"
#include "kit/NumberText.h"
#include "kit/TextHelpers.h"

#include <algorithm>
#include <cmath>
#include <fstream>
#include <sstream>

namespace {

// "1"/"0", "true"/"false", "yes"/"no", "on"/"off"; anything else leaves the value as it is.
void ReadSwitch(const std::string& text, bool& value) {
    if (text == "1" || text == "true" || text == "yes" || text == "on") {
        value = true;
    } else if (text == "0" || text == "false" || text == "no" || text == "off") {
        value = false;
    }
}

// A whole number brought into [low, high]; anything else leaves the value as it is.
void ReadNumber(const std::string& text, uint32_t low, uint32_t high, uint32_t& value) {
    const tagParsedInteger number = g_ParseInteger(text, {.sign = true});
    if (number.ok) {
        value = static_cast<uint32_t>(std::clamp<int64_t>(number.value, low, high));
    }
}

} // namespace

tagProgramSettings g_ReadProgramSettings(const std::string& path) {
    tagProgramSettings settings;
    std::optional<double> markTime;
    uint32_t markColour = 0;
    std::ifstream in(path);
    std::string line;
    while (std::getline(in, line)) {
        line = line.substr(0, line.find('#'));
        const size_t equals = line.find('=');
        if (equals == std::string::npos) {
            continue;
        }
        const std::string key(g_Trim(line.substr(0, equals)));
        const std::string value(g_Trim(line.substr(equals + 1)));
        if (key == "show_every_sample") {
            ReadSwitch(value, settings.everySample);
        } else if (key == "check_writes") {
            ReadSwitch(value, settings.checkWrites);
        } else if (key == "keep_unsaved_cache") {
            ReadSwitch(value, settings.keepUnsavedCache);
        } else if (key == "pre_trigger_ms") {
            ReadNumber(value, 0, kMaxPreTriggerMs, settings.capture.preTriggerMs);
        } else if (key == "trigger_repeat") {
            ReadSwitch(value, settings.capture.repeat);
        } else if (key == "post_trigger_ms") {
            ReadNumber(value, kMinPostTriggerMs, kMaxPostTriggerMs, settings.capture.postTriggerMs);
        } else if (key == "cursor_statistics") {
            settings.cursorStatistics = {value.find("values") != std::string::npos,
                                         value.find("extremes") != std::string::npos,
                                         value.find("averages") != std::string::npos};
        } else if (key == "pace_redraws") {
            ReadSwitch(value, settings.paceRedraws);
        } else if (key == "show_gaps") {
            ReadSwitch(value, settings.showGaps);
        } else if (key == "event_view") {
            ReadSwitch(value, settings.eventView);
        } else if (key == "trigger_mark_ms") {
            markTime = g_ParseNumber(value);
        } else if (key == "trigger_mark_colour") {
            ReadNumber(value, 0, 0xFFFFFF, markColour);
        }
    }
    if (markTime && std::isfinite(*markTime)) {
        settings.triggerMark = tagTriggerMark{*markTime, markColour};
    }
    return settings;
}

bool g_WriteProgramSettings(const std::string& path, const tagProgramSettings& settings) {
    const size_t slash = path.find_last_of('/');
    if (slash != std::string::npos) {
        g_fCreateAllDir(path.substr(0, slash));
    }
    std::ostringstream text;
    text << "# Chronoscope's own settings (key = value)\n";
    text << "show_every_sample = " << (settings.everySample ? 1 : 0) << "\n";
    text << "check_writes = " << (settings.checkWrites ? 1 : 0) << "\n";
    text << "keep_unsaved_cache = " << (settings.keepUnsavedCache ? 1 : 0) << "\n";
    text << "pre_trigger_ms = " << settings.capture.preTriggerMs << "\n";
    text << "trigger_repeat = " << (settings.capture.repeat ? 1 : 0) << "\n";
    text << "post_trigger_ms = " << settings.capture.postTriggerMs << "\n";
    const tagCursorStatisticsSets& sets = settings.cursorStatistics;
    std::string list = std::string(sets.values ? "values," : "") + (sets.extremes ? "extremes," : "") +
                       (sets.averages ? "averages," : "");
    text << "cursor_statistics = " << (list.empty() ? "none" : list.substr(0, list.size() - 1)) << "\n";
    text << "pace_redraws = " << (settings.paceRedraws ? 1 : 0) << "\n";
    text << "show_gaps = " << (settings.showGaps ? 1 : 0) << "\n";
    text << "event_view = " << (settings.eventView ? 1 : 0) << "\n";
    if (settings.triggerMark) {
        text << "trigger_mark_ms = " << g_ShortestText(settings.triggerMark->time) << "\n";
        text << "trigger_mark_colour = " << settings.triggerMark->colour << "\n";
    }
    CAtomicFile file(path);
    std::ofstream out(file.TempPath(), std::ios::trunc);
    out << text.str();
    out.close();
    return out && file.Commit();
}
