#include "ChronoscopeApp.h"

#include "ChronoscopeDlg.h"
#include "LanguageChoice.h"
#include "OrderlyEnd.h"
#include "dialogs/StringTable.h"
#include "dialogs/Translation.h"
#include "files/WorkspacePaths.h"
#include "link/Communicater.h"
#include "sim/SimulatedController.h"

#include <QApplication>
#include <QLocale>
#include <QStringList>
#include <QTimer>

#include <sys/resource.h>

#include <cstdio>

namespace {

// The recording should not be starved by other programs; without the right to raise the
// priority the program runs at normal priority, silently.
void RaiseProcessPriority() {
    setpriority(PRIO_PROCESS, 0, -10);
}

// For headless runs: each window closes itself through its cancel path.
void ArmAutoClose(QDialog& window, int ms) {
    if (ms > 0) {
        QTimer::singleShot(ms, &window, &QDialog::reject);
    }
}

} // namespace

int g_UserUiLanguageId() {
    const QStringList languages = QLocale::system().uiLanguages();
    const bool chinese = !languages.isEmpty() && languages.first().startsWith(QLatin1String("zh"));
    return chinese ? kLangIdChinese : kLangIdEnglish;
}

CChronoscopeApp::CChronoscopeApp(const tagProgramOptions& options, std::string commandLine)
    : m_commandLine(std::move(commandLine)), m_options(options) {}

void CChronoscopeApp::LoadLanguage() {
    m_language = ChooseLanguage(m_commandLine, g_ReadFirstLine(LanguageFilePath()), g_UserUiLanguageId());
    g_ApplyUiLanguage(m_language == kLanguageChinese);
    m_languages.inEffect = m_language;
}

bool CChronoscopeApp::InitInstance() {
    QCoreApplication::setOrganizationName(QStringLiteral("QXPLC-Chronoscope"));
    RaiseProcessPriority();
    g_InstallLink(m_options);
    COrderlyEnd orderlyEnd;

    while (m_restartRequested == 1) {
        m_restartRequested = 0;
        LoadLanguage();
        // No display name: the window manager would show it after the window's own caption.

        CChronoscopeDlg window(m_languages);
        ArmAutoClose(window, m_options.autoCloseMs);
        window.exec();
        // The workspace: channels, traces and settings come back at the next start. Once it is
        // written the journal has nothing more to keep; if it is not, the journal offers the
        // recording at the next start.
        // Asked only while someone is there to answer: after a signal or a logout the journal
        // keeps the recording and the reason goes to the terminal.
        const tagResult end = window.Session().EndSession(!orderlyEnd.Requested());
        if (!end.ok && orderlyEnd.Requested()) {
            std::fprintf(stderr,
                         "chronoscope: the workspace could not be saved (%s); the recording is kept in %s\n",
                         end.detail.c_str(), window.Session().Journal().Path().c_str());
        }
        m_restartRequested = window.RestartRequested() && !orderlyEnd.Requested() ? 1 : 0;
    }

    CCommunicater::CloseCPPSerialPort();
    CCommunicater::Destroy();
    return false;
}
