#include "LanguageChoice.h"

#include <cctype>
#include <climits>
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

long g_ParseLeadingLong(const std::string& text) {
    size_t i = 0;
    while (i < text.size() && std::isspace(static_cast<unsigned char>(text[i]))) {
        ++i;
    }
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    long value = 0;
    for (; i < text.size() && std::isdigit(static_cast<unsigned char>(text[i])); ++i) {
        const int digit = text[i] - '0';
        if (value > (LONG_MAX - digit) / 10) {
            return negative ? LONG_MIN : LONG_MAX; // saturates like wcstol
        }
        value = value * 10 + digit;
    }
    return negative ? -value : value;
}

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
        const long number = g_ParseLeadingLong(commandLine);
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
