// The cache size dialog: how many points a trace may hold, and whether the older half is saved
// before it is cut off.
#pragma once

#include <QDialog>

#include <cstdint>

class QCheckBox;
class QComboBox;

class CBufferSettingDlg : public QDialog {
    Q_OBJECT
public:
    // Control ids of the dialog template, also the controls' object names.
    enum EnumControlId { IDC_SIZE = 1006, IDC_AUTO_SAVE = 1033 };

    explicit CBufferSettingDlg(QWidget* parent = nullptr);

    void Set(uint32_t autoSave, uint32_t cacheSize);
    void Get(uint32_t& autoSave, uint32_t& cacheSize) const;

private:
    QComboBox* m_size;
    QCheckBox* m_autoSave;
};
