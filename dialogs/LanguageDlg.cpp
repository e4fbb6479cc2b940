#include "LanguageDlg.h"

#include "MessageBox.h"

#include "DialogUnits.h"
#include "StringTable.h"
#include "files/SettingsFiles.h"

#include <QComboBox>
#include <QLabel>
#include <QLocale>
#include <QPushButton>

CLanguageDlg::CLanguageDlg(int& lastChosen, int languageInEffect, QWidget* parent)
    : QDialog(parent), m_lastChosen(lastChosen), m_languageInEffect(languageInEffect) {
    setWindowTitle(tr("Language Switching"));
    setFont(g_DialogFont(QLocale().language() == QLocale::Chinese));
    const CDialogUnits units(font());
    auto* label = new QLabel(tr("Language"), this);
    label->setGeometry(units.ToPixels({36, 25, 41, 8}));
    m_list = new QComboBox(this);
    m_list->setObjectName(QString::number(IDC_LIST));
    m_list->addItems({QStringLiteral("简体中文"), QStringLiteral("English")});
    m_list->setGeometry(units.ToPixels({81, 23, 77, 13}));
    m_list->setCurrentIndex(m_lastChosen);
    auto* note = new QLabel(tr("*After switching the language, restart the software to take effect."), this);
    note->setWordWrap(true);
    note->setGeometry(units.ToPixels({29, 50, 137, 19}));
    auto* ok = new QPushButton(tr("OK"), this);
    ok->setDefault(true);
    ok->setGeometry(units.ToPixels({40, 90, 50, 14}));
    auto* cancel = new QPushButton(tr("Cancel"), this);
    cancel->setGeometry(units.ToPixels({105, 90, 50, 14}));
    setFixedSize(units.X(196), units.Y(111));
    connect(ok, &QPushButton::clicked, this, &CLanguageDlg::OnOK);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
}

void CLanguageDlg::OnOK() {
    const tagLanguageSave result =
        SaveLanguageChoice(m_list->currentIndex(), m_lastChosen, m_languageInEffect);
    if (result.failed) {
        g_ShowMessage(this, EnumMessageKind::Problem, LoadStringById(IDS_LANGUAGE_SAVE_FAILED));
    }
    m_saved = result.saved ? 1 : 0;
    accept();
}
