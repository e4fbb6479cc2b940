#include "WorkspacePaths.h"

#include "link/DocPath.h"

std::string LadderDeskFolder() {
    return g_fGetDocPath() + "LadderDesk";
}

std::string LanguageFilePath() {
    return LadderDeskFolder() + "/Language.cfg";
}

std::string WorkspaceFilePath() {
    return LadderDeskFolder() + "/Chrono.data";
}

std::string AutoSaveFolder() {
    return LadderDeskFolder() + "/Chrono/";
}
