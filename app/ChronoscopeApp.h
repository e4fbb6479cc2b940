// The application object: language choice and the restart loop around the main window.
#pragma once

#include <string>

class CChronoscopeApp {
public:
    // commandLine: the process arguments after the program name, joined by blanks.
    explicit CChronoscopeApp(std::string commandLine);
    ~CChronoscopeApp();

    // The whole life of the program; returns false when the program is to end.
    bool InitInstance();
    // Chooses the language and installs its texts.
    void LoadLanguage();

    // The running application object, for the dialogs that ask for a restart.
    static CChronoscopeApp* Current();

    int m_language = 0;            // 0 Chinese, 1 English
    int m_languageInEffect = 0;    // the language of the running windows
    int m_restartRequested = 1;    // run the main window (again)
    int m_lastChosenLanguage = -1; // preselected by the language dialog; -1: the language in effect
    std::string m_commandLine;     // consumed by the first language load
};

// The user's UI language as a Windows-style language id (2052 Chinese, 1033 otherwise).
int g_UserUiLanguageId();
