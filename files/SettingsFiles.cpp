#include "SettingsFiles.h"

#include "WorkspacePaths.h"
#include "kit/DocPath.h"

#include <cstdio>

tagLanguageSave SaveLanguageChoice(int selected, int& lastChosen, int languageInEffect) {
    tagLanguageSave result;
    result.saved = selected != lastChosen;
    if (result.saved) {
        g_fCreateAllDir(g_LadderDeskFolder());
        if (std::FILE* file = std::fopen(LanguageFilePath().c_str(), "w")) {
            const bool written = std::fprintf(file, "%d", selected) > 0;
            if (std::fclose(file) == 0 && written) {
                lastChosen = selected;
            } else {
                result.saved = false;
                result.failed = true;
            }
        } else {
            result.saved = false;
            result.failed = true;
        }
    }
    if (selected == languageInEffect) {
        result.saved = false;
    }
    return result;
}

int CacheSizeIndex(uint32_t cacheSize) {
    switch (cacheSize) {
    case 1200000:
        return 0;
    case 2400000:
        return 1;
    case 3600000:
        return 2;
    default:
        return 3;
    }
}

uint32_t CacheSizeOfIndex(int index) {
    switch (index) {
    case 0:
        return 1200000;
    case 1:
        return 2400000;
    case 2:
        return 3600000;
    default:
        return 7200000;
    }
}
