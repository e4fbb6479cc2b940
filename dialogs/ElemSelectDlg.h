// The channel dialog: a soft element by kind and address, or a motion-axis parameter, with its
// data type and trace colour.
#pragma once

#include "acquisition/ChannelDialogRules.h"
#include "link/OscilloTypes.h"

#include <QDialog>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

class CElemSelectDlg : public QDialog {
    Q_OBJECT
public:
    enum EnumControlId {
        IDC_KIND = 1006,
        IDC_ADDRESS_LABEL = 1021,
        IDC_ADDRESS = 1012,
        IDC_AXIS_LABEL = 1022,
        IDC_AXIS = 1008,
        IDC_PARAMETERS_LABEL = 1023,
        IDC_PARAMETERS = 1046,
        IDC_TYPE = 1007,
        IDC_COLOUR = 1003,
    };

    // Add mode (true) or modify mode. Set the record (add: its colour) before running.
    explicit CElemSelectDlg(bool addMode, QWidget* parent = nullptr);

    int exec() override;
    // Fills the lists and shows the record; exec does this itself.
    void OnInitDialog();
    void OnElementKindChanged();
    void FillDataTypes();
    void OnColorButton();
    // Takes the fields into the record and closes, unless the address is out of range.
    void OnOK();

    tagOscilloElem m_record{"X0", 0, GCM_BOOL, 0xFFFFFF};

private:
    void ShowRecord();
    void PaintColourButton();
    bool AxisMode() const;

    bool m_addMode;
    bool m_filling = false;
    QComboBox* m_kind = nullptr;
    QLabel* m_addressLabel = nullptr;
    QLineEdit* m_address = nullptr;
    QLabel* m_axisLabel = nullptr;
    QComboBox* m_axis = nullptr;
    QLabel* m_parametersLabel = nullptr;
    QComboBox* m_parameters = nullptr;
    QComboBox* m_type = nullptr;
    QPushButton* m_colour = nullptr;
};
