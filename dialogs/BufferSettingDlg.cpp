#include "BufferSettingDlg.h"

#include "DialogUnits.h"
#include "files/SettingsFiles.h"
#include "files/WorkspacePaths.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>

CBufferSettingDlg::CBufferSettingDlg(QWidget* parent) : QDialog(parent) {
    setWindowTitle(tr("Cache Size Setting"));
    setFont(g_DialogFont(QLocale().language() == QLocale::Chinese));
    const CDialogUnits units(font());
    auto* label = new QLabel(tr("Maximum cache points"), this);
    label->setGeometry(units.ToPixels({19, 20, 78, 8}));
    m_size = new QComboBox(this);
    m_size->setObjectName(QString::number(IDC_SIZE));
    for (int i = 0; i < 4; ++i) {
        m_size->addItem(QString::number(CacheSizeOfIndex(i)));
    }
    m_size->setGeometry(units.ToPixels({98, 18, 78, 13}));
    m_autoSave = new QCheckBox(tr("Auto save data"), this);
    m_autoSave->setObjectName(QString::number(IDC_AUTO_SAVE));
    m_autoSave->setGeometry(units.ToPixels({19, 53, 90, 10}));
    // Where automatic saving writes; for information only.
    auto* folder = new QLineEdit(QString::fromStdString(AutoSaveFolder()), this);
    folder->setReadOnly(true);
    folder->setGeometry(units.ToPixels({19, 67, 188, 14}));
    auto* ok = new QPushButton(tr("OK"), this);
    ok->setDefault(true);
    ok->setGeometry(units.ToPixels({61, 118, 50, 14}));
    auto* cancel = new QPushButton(tr("Cancel"), this);
    cancel->setGeometry(units.ToPixels({115, 118, 50, 14}));
    setFixedSize(units.X(225), units.Y(139));
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    m_size->setCurrentIndex(2);
}

void CBufferSettingDlg::Set(uint32_t autoSave, uint32_t cacheSize) {
    m_autoSave->setChecked(autoSave != 0);
    m_size->setCurrentIndex(CacheSizeIndex(cacheSize));
}

void CBufferSettingDlg::Get(uint32_t& autoSave, uint32_t& cacheSize) const {
    autoSave = m_autoSave->isChecked() ? 1 : 0;
    cacheSize = CacheSizeOfIndex(m_size->currentIndex());
}
