// The communication dialog: serial port, USB port or Ethernet, the Test button's search for the
// controller's serial format, and OK once the controller answers. The dialog shows the logic's
// controls and forwards the user's clicks to it.
#pragma once

#include "CISBitmap.h"
#include "DialogUnits.h"
#include "session/CommSettingLogic.h"
#include "session/CommSettingView.h"

#include <QDialog>

#include <memory>
#include <vector>

class CBitmapCombo;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

class CCommSettingDlg : public QDialog, private CCommSettingView {
    Q_OBJECT
public:
    // Control ids of the dialog template, also the controls' object names.
    enum EnumControlId {
        IDC_SERIAL = 1468,
        IDC_PORT_LIST = 1045,
        IDC_BAUD_LIST = 1467,
        IDC_TEST = 1729,
        IDC_PROGRESS = 1730,
        IDC_USB = 1521,
        IDC_USB_LIST = 1728,
        IDC_ETHERNET = 1732,
        IDC_PEER_LIST = 1534,
        IDC_IP_ADDRESS = 1466,
        IDC_TCP_PORT = 1535,
        IDC_HIGH_DELAY = 1908,
        IDC_TIMEOUT = 1801,
        IDC_OK = 1,
        IDC_CANCEL = 2,
    };

    // Edits the caller's copies of the settings and the interface type.
    CCommSettingDlg(tagSerialInfo& settings, uint32_t& interfaceType, QWidget* parent = nullptr);
    ~CCommSettingDlg() override;

    int exec() override;
    // Fills and shows the controls; exec does this itself.
    void OnInitDialog();
    // Cancel, Escape and the close box do nothing while a test runs.
    void reject() override;

private:
    QWidget* Place(QWidget* widget, const CDialogUnits& units, const tagDluRect& rect, int id);
    // The interface radio buttons in their frames; the fields and buttons.
    void CreateInterfaces(const CDialogUnits& units);
    void CreateFields(const CDialogUnits& units);

    // CCommSettingView
    std::vector<std::string> FillPortList() override;
    void ReadControls(tagCommControls& controls) override;
    void ShowControls(const tagCommControls& controls) override;
    void Repaint() override;
    void ShowMessage(int stringId) override;
    void ShowProblem(int stringId) override;
    void ShowNotAnInteger() override;
    std::string LoadText(int stringId) override;
    void SetWaitCursor(bool on) override;
    void Accept() override { accept(); }

    CCommSettingLogic m_logic;
    CCISBitmap m_portIcon;                            // bitmap 356, read once; each item gets its own copy
    std::vector<std::unique_ptr<CCISBitmap>> m_icons; // the port list's bitmaps
    QRadioButton* m_serial;
    QRadioButton* m_usb;
    QRadioButton* m_ethernet;
    CBitmapCombo* m_portList;
    QComboBox* m_baudList;
    QPushButton* m_test;
    QLabel* m_progress;
    QComboBox* m_usbList;
    QComboBox* m_peerList;
    QLineEdit* m_ipAddress;
    QLineEdit* m_tcpPort;
    QCheckBox* m_highDelay;
    QLineEdit* m_timeout;
};

// An address in network byte order (first octet in the lowest byte) from its dotted form; octets
// left out read as 0.
uint32_t g_ParseIpAddress(const QString& text);
