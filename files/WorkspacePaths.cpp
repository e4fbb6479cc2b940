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

std::string g_TimeStampName(std::time_t when) {
    std::tm local{};
    localtime_r(&when, &local);
    char text[32];
    std::snprintf(text, sizeof text, "%4d%02d%02d%02d%02d%02d", local.tm_year + 1900, local.tm_mon + 1,
                  local.tm_mday, local.tm_hour, local.tm_min, local.tm_sec);
    return text;
}
