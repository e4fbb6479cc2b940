#include "Translation.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace {

struct tagTranslators {
    QTranslator program;
    QTranslator qtBase;
};

tagTranslators& Translators() {
    static tagTranslators translators;
    return translators;
}

} // namespace

bool g_ApplyUiLanguage(bool chinese) {
    tagTranslators& t = Translators();
    QCoreApplication::removeTranslator(&t.program);
    QCoreApplication::removeTranslator(&t.qtBase);
    if (!chinese) {
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
        return true;
    }
    QLocale::setDefault(QLocale(QLocale::Chinese, QLocale::China));
    // Standard buttons (Yes, No, Cancel) come from Qt's own catalogue when it is installed.
    if (t.qtBase.load(QStringLiteral("qtbase_zh_CN"), QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        QCoreApplication::installTranslator(&t.qtBase);
    }
    if (!t.program.load(QStringLiteral(":/i18n/chronoscope_zh_CN.qm"))) {
        return false;
    }
    QCoreApplication::installTranslator(&t.program);
    return true;
}
