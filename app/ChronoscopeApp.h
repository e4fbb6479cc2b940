// The application object: language choice and the restart loop around the main window.
#pragma once

#include "LanguageChoice.h"
#include "kit/ProgramOptions.h"

#include <string>

class CChronoscopeApp {
public:
    // commandLine: the process arguments after the program name, joined by blanks.
    CChronoscopeApp(const tagProgramOptions& options, std::string commandLine);

    // The whole life of the program; returns false when the program is to end.
    bool InitInstance();
    // Chooses the language and installs its texts.
    void LoadLanguage();

    int m_language = 0;           // 0 Chinese, 1 English
    int m_restartRequested = 1;   // run the main window (again)
    tagLanguageState m_languages; // the language in effect and the dialog's last choice
    std::string m_commandLine;    // consumed by the first language load

private:
    tagProgramOptions m_options;
};

// The user's UI language as a Windows-style language id (2052 Chinese, 1033 otherwise).
int g_UserUiLanguageId();
