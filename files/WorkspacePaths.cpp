#include "WorkspacePaths.h"

#include "kit/DocPath.h"

#include <cstdio>

std::string LanguageFilePath() {
    return g_LadderDeskFolder() + "Language.cfg";
}

std::string ProgramSettingsPath() {
    return g_LadderDeskFolder() + "Chronoscope.cfg";
}

std::string WorkspaceFilePath() {
    return g_LadderDeskFolder() + "Chrono.data";
}

std::string JournalFilePath() {
    return g_LadderDeskFolder() + "Chrono.journal";
}

std::string AutoSaveFolder() {
    return g_LadderDeskFolder() + "Chrono/";
}

std::string EventsFolder() {
    return g_LadderDeskFolder() + "Events/";
}

std::string LogFolder() {
    return g_LadderDeskFolder() + "Logs";
}

std::string g_TimeStampName(std::time_t when) {
    std::tm local{};
    localtime_r(&when, &local);
    char text[32];
    std::snprintf(text, sizeof text, "%4d%02d%02d%02d%02d%02d", local.tm_year + 1900, local.tm_mon + 1,
                  local.tm_mday, local.tm_hour, local.tm_min, local.tm_sec);
    return text;
}

namespace {

struct tagLocalTime {
    std::tm tm{};
    int milliseconds = 0;
};

tagLocalTime LocalTime(std::chrono::system_clock::time_point when) {
    using namespace std::chrono;
    const auto ms = floor<milliseconds>(when.time_since_epoch()).count();
    tagLocalTime local;
    const std::time_t seconds = static_cast<std::time_t>(ms >= 0 ? ms / 1000 : (ms - 999) / 1000);
    local.milliseconds = static_cast<int>(ms - static_cast<int64_t>(seconds) * 1000);
    localtime_r(&seconds, &local.tm);
    return local;
}

} // namespace

std::string g_EventName(std::chrono::system_clock::time_point when) {
    const tagLocalTime local = LocalTime(when);
    char text[40];
    std::snprintf(text, sizeof text, "%04d%02d%02d-%02d%02d%02d-%03d", local.tm.tm_year + 1900,
                  local.tm.tm_mon + 1, local.tm.tm_mday, local.tm.tm_hour, local.tm.tm_min, local.tm.tm_sec,
                  local.milliseconds);
    return text;
}

std::string g_TimeOfDayText(std::chrono::system_clock::time_point when) {
    const tagLocalTime local = LocalTime(when);
    char text[24];
    std::snprintf(text, sizeof text, "%02d:%02d:%02d.%03d", local.tm.tm_hour, local.tm.tm_min,
                  local.tm.tm_sec, local.milliseconds);
    return text;
}
