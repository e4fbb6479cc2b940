#include "LanguageChoice.h"

#include "kit/IntegerText.h"

#include <cctype>
#include <fstream>

namespace {

std::string Trim(const std::string& s) {
    size_t begin = 0;
    size_t end = s.size();
    while (begin < end && std::isspace(static_cast<unsigned char>(s[begin]))) {
        ++begin;
    }
    while (end > begin && std::isspace(static_cast<unsigned char>(s[end - 1]))) {
        --end;
    }
    return s.substr(begin, end - begin);
}

} // namespace

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
        return Trim(*languageFileFirstLine) == "1" ? kLanguageEnglish : kLanguageChinese;
    }
    return userUiLanguageId != kLangIdChinese ? kLanguageEnglish : kLanguageChinese;
}
