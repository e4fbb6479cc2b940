#include "WorkspacePaths.h"

#include "kit/DocPath.h"

std::string LanguageFilePath() {
    return g_LadderDeskFolder() + "Language.cfg";
}

std::string WorkspaceFilePath() {
    return g_LadderDeskFolder() + "Chrono.data";
}

std::string AutoSaveFolder() {
    return g_LadderDeskFolder() + "Chrono/";
}
