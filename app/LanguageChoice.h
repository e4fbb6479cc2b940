// How the program picks its language at start: command line first, then the language file, then
// the system.
#pragma once

#include <optional>
#include <string>

constexpr int kLanguageChinese = 0;
constexpr int kLanguageEnglish = 1;
constexpr int kLangIdEnglish = 1033;
constexpr int kLangIdChinese = 2052;

// The language of the running windows and the language dialog's last choice, which the
// application keeps across restarts.
struct tagLanguageState {
    int inEffect = kLanguageChinese;
    int lastChosen = -1; // preselected by the language dialog; -1: the language in effect
};

// The first line of a text file, or nullopt when the file cannot be opened.
std::optional<std::string> g_ReadFirstLine(const std::string& path);

// The language (kLanguageChinese or kLanguageEnglish). A non-empty command line is consumed: it
// decides when it reads as 0 or 1. Otherwise the language file's first line, trimmed, decides
// ("1" is English); without a file, every system UI language but Chinese gives English.
int ChooseLanguage(std::string& commandLine, const std::optional<std::string>& languageFileFirstLine,
                   int userUiLanguageId);
