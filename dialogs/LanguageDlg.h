// The language dialog: the choice is written to the language file and takes effect at a restart.
#pragma once

#include <QDialog>

class QComboBox;

class CLanguageDlg : public QDialog {
    Q_OBJECT
public:
    // The list's id in the dialog template, also its object name.
    enum EnumControlId { IDC_LIST = 1006 };

    // lastChosen: the program-wide last choice, updated after a successful save.
    CLanguageDlg(int& lastChosen, int languageInEffect, QWidget* parent = nullptr);

    void OnOK();
    // 1 when a language other than the one in effect was saved: a restart is worth offering.
    int m_saved = 0;

private:
    int& m_lastChosen;
    int m_languageInEffect;
    QComboBox* m_list;
};
