#include "ChronoscopeApp.h"

#include "ChronoscopeDlg.h"
#include "LanguageChoice.h"
#include "dialogs/StringTable.h"
#include "dialogs/Translation.h"
#include "files/WorkspacePaths.h"
#include "link/Communicater.h"

#include <QApplication>
#include <QLocale>
#include <QStringList>
#include <QTimer>

#include <cstdlib>
#include <sys/resource.h>

namespace {

CChronoscopeApp* g_current = nullptr;

// The recording should not be starved by other programs; without the right to raise the
// priority the program runs at normal priority, silently.
void RaiseProcessPriority() {
    setpriority(PRIO_PROCESS, 0, -10);
}

// For headless runs: CHRONOSCOPE_AUTOCLOSE_MS closes each window through its cancel path.
void ArmAutoClose(QDialog& window) {
    const char* value = std::getenv("CHRONOSCOPE_AUTOCLOSE_MS");
    if (value && std::atoi(value) > 0) {
        QTimer::singleShot(std::atoi(value), &window, &QDialog::reject);
    }
}

} // namespace

int g_UserUiLanguageId() {
    const QStringList languages = QLocale::system().uiLanguages();
    const bool chinese = !languages.isEmpty() && languages.first().startsWith(QLatin1String("zh"));
    return chinese ? kLangIdChinese : kLangIdEnglish;
}

CChronoscopeApp::CChronoscopeApp(std::string commandLine) : m_commandLine(std::move(commandLine)) {
    g_current = this;
}

CChronoscopeApp::~CChronoscopeApp() {
    g_current = nullptr;
}

CChronoscopeApp* CChronoscopeApp::Current() {
    return g_current;
}

void CChronoscopeApp::LoadLanguage() {
    m_language = ChooseLanguage(m_commandLine, g_ReadFirstLine(LanguageFilePath()), g_UserUiLanguageId());
    g_ApplyUiLanguage(m_language == kLanguageChinese);
    m_languageInEffect = m_language;
}

bool CChronoscopeApp::InitInstance() {
    QCoreApplication::setOrganizationName(QStringLiteral("QXPLC-Chronoscope"));
    RaiseProcessPriority();
    CCommunicater::Instance();

    while (m_restartRequested == 1) {
        m_restartRequested = 0;
        LoadLanguage();
        QGuiApplication::setApplicationDisplayName(LoadStringById(IDS_APP_NAME));

        CChronoscopeDlg window;
        ArmAutoClose(window);
        window.exec();
        // The workspace: channels, traces and settings come back at the next start.
        window.Session().SaveWorkspace();
    }

    CCommunicater::CloseCPPSerialPort();
    CCommunicater::Destroy();
    return false;
}
