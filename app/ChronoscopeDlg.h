// The program's main window.
#pragma once

#include <QDialog>

class CChronoscopeDlg : public QDialog {
    Q_OBJECT
public:
    explicit CChronoscopeDlg(QWidget* parent = nullptr);
};
