// The trigger setting dialog: whether recording waits for a condition on one channel, and which;
// below, how much history the trigger keeps and whether it saves one event after another.
#pragma once

#include "session/FieldRules.h"

#include <QDialog>
#include <QString>
#include <QStringList>

#include <cstdint>

class QCheckBox;
class QComboBox;
class QLineEdit;
class QSpinBox;

class CTriggerSettingDlg : public QDialog {
    Q_OBJECT
public:
    // Control ids of the dialog template, also the controls' object names.
    enum EnumControlId { IDC_ENABLE = 1026, IDC_CHANNEL = 1006, IDC_CONDITION = 1027, IDC_VALUE = 1011 };

    explicit CTriggerSettingDlg(QWidget* parent = nullptr);

    int exec() override;
    // Fills the lists, shows the fields and greys what the check box does not enable; exec does
    // this itself.
    void OnInitDialog();
    void OnTriggerEnable();
    void OnOK();

    // Handed in before and read back after the dialog.
    // Shows the fields, and on OK takes them back; false on Cancel.
    bool Edit(tagTriggerDialogFields& fields);

    QStringList m_channelNames;
    uint32_t m_enable = 0;
    uint32_t m_channel = 0;
    uint32_t m_condition = 0;
    QString m_value;
    uint32_t m_preTriggerMs = 0;
    bool m_repeat = false;
    uint32_t m_postTriggerMs = 1000;

private:
    void EnableFields();

    QCheckBox* m_enableBox;
    QComboBox* m_channelList;
    QComboBox* m_conditionList;
    QLineEdit* m_valueEdit;
    QSpinBox* m_preTrigger;
    QCheckBox* m_repeatBox;
    QSpinBox* m_postTrigger;
};
