#include "LanguageChoice.h"

#include "kit/NumberText.h"
#include "kit/TextHelpers.h"

#include <cctype>
#include <fstream>

namespace {} // namespace

std::optional<std::string> g_ReadFirstLine(const std::string& path) {
    std::ifstream in(path);
    if (!in) {
        return std::nullopt;
    }
    std::string line;
    std::getline(in, line);
    return line;
}

int ChooseLanguage(std::string& commandLine, const std::optional<std::string>& languageFileFirstLine,
                   int userUiLanguageId) {
    if (!commandLine.empty()) {
        const int64_t number = g_LeadingInteger(commandLine);
        commandLine.clear();
        if (number == kLanguageChinese || number == kLanguageEnglish) {
            return static_cast<int>(number);
        }
    }
    if (languageFileFirstLine) {
        return g_Trim(*languageFileFirstLine) == "1" ? kLanguageEnglish : kLanguageChinese;
    }
    return userUiLanguageId != kLangIdChinese ? kLanguageEnglish : kLanguageChinese;
}
