#include "CommSettingDlg.h"

#include "MessageBox.h"

#include "BitmapCombo.h"
#include "DialogUnits.h"
#include "SerialPortList.h"
#include "StringTable.h"
#include "kit/NumberText.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpressionValidator>

namespace {

// Template 354; the Chinese template has the same controls in the same places.
constexpr tagDluRect kSerialFrame{14, 3, 265, 57};
constexpr tagDluRect kSerial{16, 3, 40, 10};
constexpr tagDluRect kPortLabel{22, 19, 52, 8};
constexpr tagDluRect kPortList{76, 17, 59, 13};
constexpr tagDluRect kBaudLabel{22, 38, 52, 8};
constexpr tagDluRect kBaudList{76, 36, 59, 13};
constexpr tagDluRect kTest{189, 16, 50, 14};
constexpr tagDluRect kProgress{153, 35, 122, 18};
constexpr tagDluRect kUsbFrame{13, 66, 265, 34};
constexpr tagDluRect kUsb{16, 64, 28, 10};
constexpr tagDluRect kUsbLabel{22, 78, 62, 8};
constexpr tagDluRect kUsbList{86, 76, 86, 13};
constexpr tagDluRect kEthernetFrame{14, 106, 263, 73};
constexpr tagDluRect kEthernet{16, 103, 48, 10};
constexpr tagDluRect kPeerLabel{22, 117, 62, 8};
constexpr tagDluRect kPeerList{86, 115, 86, 13};
constexpr tagDluRect kIpLabel{22, 136, 62, 8};
constexpr tagDluRect kIpAddress{86, 133, 86, 15};
constexpr tagDluRect kTcpPortLabel{22, 156, 62, 8};
constexpr tagDluRect kTcpPort{86, 153, 86, 14};
constexpr tagDluRect kHighDelay{16, 184, 67, 9};
constexpr tagDluRect kTimeoutLabel{86, 184, 38, 8};
constexpr tagDluRect kTimeout{126, 182, 46, 13};
constexpr tagDluRect kOk{85, 203, 50, 14};
constexpr tagDluRect kCancel{151, 203, 50, 14};
constexpr int kWidth = 287;
constexpr int kHeight = 224;

} // namespace

uint32_t g_ParseIpAddress(const QString& text) {
    const QStringList octets = text.split(QLatin1Char('.'));
    uint32_t address = 0;
    for (int i = 0; i < 4 && i < octets.size(); ++i) {
        const tagParsedInteger number = g_ParseInteger(octets[i].trimmed().toStdString());
        const auto octet = static_cast<uint32_t>(std::clamp<int64_t>(number.ok ? number.value : 0, 0, 255));
        address |= octet << (8 * i);
    }
    return address;
}

CCommSettingDlg::CCommSettingDlg(tagSerialInfo& settings, uint32_t& interfaceType, QWidget* parent)
    : QDialog(parent), m_logic(*this, settings, interfaceType) {
    m_portIcon.LoadBitmap(QStringLiteral(":/bitmaps/port.xpm"));
    setWindowTitle(tr("Communication config"));
    setFont(g_DialogFont(QLocale().language() == QLocale::Chinese));
    const CDialogUnits units(font());
    CreateInterfaces(units);
    CreateFields(units);
    setFixedSize(units.X(kWidth), units.Y(kHeight));
}

QWidget* CCommSettingDlg::Place(QWidget* widget, const CDialogUnits& units, const tagDluRect& rect, int id) {
    widget->setGeometry(units.ToPixels(rect));
    if (id) {
        widget->setObjectName(QString::number(id));
    }
    return widget;
}

void CCommSettingDlg::CreateInterfaces(const CDialogUnits& units) {
    // The frames first, so that the radio buttons on their top edges cover the line.
    for (const tagDluRect& frame : {kSerialFrame, kUsbFrame, kEthernetFrame}) {
        Place(new QGroupBox(this), units, frame, 0);
    }
    auto radio = [&](const QString& text, const tagDluRect& rect, int id) {
        auto* button = new QRadioButton(text, this);
        button->setAutoFillBackground(true);
        button->adjustSize();
        QRect where = units.ToPixels(rect);
        where.setWidth(std::max(where.width(), button->sizeHint().width()));
        button->setGeometry(where);
        button->setObjectName(QString::number(id));
        connect(button, &QRadioButton::clicked, this, [this] { m_logic.OnInterfaceChanged(); });
        return button;
    };
    m_serial = radio(tr("Serial"), kSerial, IDC_SERIAL);
    m_usb = radio(tr("USB"), kUsb, IDC_USB);
    m_ethernet = radio(tr("Ethernet"), kEthernet, IDC_ETHERNET);
    auto* group = new QButtonGroup(this);
    group->addButton(m_serial, INTERFACE_SERIAL);
    group->addButton(m_ethernet, INTERFACE_ETHERNET);
    group->addButton(m_usb, INTERFACE_USB);
}

void CCommSettingDlg::CreateFields(const CDialogUnits& units) {
    auto label = [&](const QString& text, const tagDluRect& rect) {
        Place(new QLabel(text, this), units, rect, 0);
    };
    auto place = [&](QWidget* widget, const tagDluRect& rect, int id) {
        return Place(widget, units, rect, id);
    };
    label(tr("Serial Port:"), kPortLabel);
    m_portList = new CBitmapCombo(this);
    place(m_portList, kPortList, IDC_PORT_LIST);
    label(tr("Baudrate:"), kBaudLabel);
    m_baudList = new QComboBox(this);
    for (uint32_t baud : CCommSettingLogic::kBaudRates) {
        m_baudList->addItem(QString::number(baud));
    }
    m_baudList->setEnabled(false);
    place(m_baudList, kBaudList, IDC_BAUD_LIST);
    m_test = new QPushButton(tr("Test"), this);
    place(m_test, kTest, IDC_TEST);
    m_progress = new QLabel(this);
    m_progress->setAlignment(Qt::AlignCenter);
    place(m_progress, kProgress, IDC_PROGRESS);

    label(tr("USB Port:"), kUsbLabel);
    m_usbList = new QComboBox(this);
    place(m_usbList, kUsbList, IDC_USB_LIST);

    label(tr("Peer Device:"), kPeerLabel);
    m_peerList = new QComboBox(this);
    m_peerList->setEnabled(false);
    place(m_peerList, kPeerList, IDC_PEER_LIST);
    label(tr("Peer IP:"), kIpLabel);
    m_ipAddress = new QLineEdit(this);
    static const QRegularExpression kDottedQuad(
        QStringLiteral("^((25[0-5]|2[0-4]\\d|1?\\d?\\d)?\\.){0,3}(25[0-5]|2[0-4]\\d|1?\\d?\\d)?$"));
    m_ipAddress->setValidator(new QRegularExpressionValidator(kDottedQuad, m_ipAddress));
    place(m_ipAddress, kIpAddress, IDC_IP_ADDRESS);
    label(tr("Port:"), kTcpPortLabel);
    m_tcpPort = new QLineEdit(this);
    m_tcpPort->setReadOnly(true);
    place(m_tcpPort, kTcpPort, IDC_TCP_PORT);

    m_highDelay = new QCheckBox(tr("High Delay Mode"), this);
    place(m_highDelay, kHighDelay, IDC_HIGH_DELAY);
    label(tr("Timeout(s):"), kTimeoutLabel);
    m_timeout = new QLineEdit(this);
    static const QRegularExpression kDigits(QStringLiteral("^\\d*$"));
    m_timeout->setValidator(new QRegularExpressionValidator(kDigits, m_timeout));
    place(m_timeout, kTimeout, IDC_TIMEOUT);

    auto* ok = new QPushButton(tr("OK"), this);
    ok->setDefault(true);
    place(ok, kOk, IDC_OK);
    auto* cancel = new QPushButton(tr("Cancel"), this);
    place(cancel, kCancel, IDC_CANCEL);
    connect(m_portList, &CBitmapCombo::DropDown, this, [this] { m_logic.OnDropDownPorts(); });
    connect(m_peerList, &QComboBox::activated, this, [this] { m_logic.OnPeerDeviceChanged(); });
    connect(m_highDelay, &QCheckBox::clicked, this, [this] { m_logic.OnHighDelay(); });
    connect(m_test, &QPushButton::clicked, this, [this] { m_logic.OnTest(); });
    connect(ok, &QPushButton::clicked, this, [this] { m_logic.OnOK(); });
    connect(cancel, &QPushButton::clicked, this, &CCommSettingDlg::reject);
}

CCommSettingDlg::~CCommSettingDlg() = default;

int CCommSettingDlg::exec() {
    OnInitDialog();
    return QDialog::exec();
}

void CCommSettingDlg::OnInitDialog() {
    m_logic.OnInitDialog();
}

void CCommSettingDlg::reject() {
    if (m_logic.CanCancel()) {
        QDialog::reject();
    }
}

std::vector<std::string> CCommSettingDlg::FillPortList() {
    m_portList->clear();
    m_icons.clear(); // the list holds none of them any more
    std::vector<std::string> names;
    for (const tagSerialPortItem& port : g_SerialPortsPresent()) {
        auto icon = std::make_unique<CCISBitmap>(m_portIcon);
        const int index = m_portList->AddItem(icon.get(), port.name);
        m_portList->setItemData(index, port.Tooltip(), Qt::ToolTipRole);
        m_icons.push_back(std::move(icon));
        names.push_back(port.name.toStdString());
    }
    return names;
}

void CCommSettingDlg::ReadControls(tagCommControls& controls) {
    controls.interfaceChoice = m_ethernet->isChecked() ? INTERFACE_ETHERNET
                               : m_usb->isChecked()    ? INTERFACE_USB
                                                       : INTERFACE_SERIAL;
    controls.serialIndex = m_portList->currentIndex();
    controls.usbIndex = m_usbList->currentIndex();
    controls.peerIndex = m_peerList->currentIndex();
    controls.ipAddress = g_ParseIpAddress(m_ipAddress->text());
    controls.tcpPortText = m_tcpPort->text().toStdString();
    controls.highDelay = m_highDelay->isChecked();
    controls.timeoutText = m_timeout->text().toStdString();
}

void CCommSettingDlg::ShowControls(const tagCommControls& controls) {
    const QSignalBlocker blockPeers(m_peerList);
    (controls.interfaceChoice == INTERFACE_ETHERNET ? m_ethernet
     : controls.interfaceChoice == INTERFACE_USB    ? m_usb
                                                    : m_serial)
        ->setChecked(true);
    m_portList->setCurrentIndex(controls.serialIndex);
    m_baudList->setCurrentIndex(controls.baudIndex);
    QStringList usbNames;
    for (const std::string& name : controls.usbPorts) {
        usbNames << QString::fromStdString(name);
    }
    QStringList shownUsb;
    for (int i = 0; i < m_usbList->count(); ++i) {
        shownUsb << m_usbList->itemText(i);
    }
    if (shownUsb != usbNames) {
        m_usbList->clear();
        m_usbList->addItems(usbNames);
    }
    m_usbList->setCurrentIndex(controls.usbIndex);
    if (m_peerList->count() != static_cast<int>(controls.peerDevices.size())) {
        m_peerList->clear();
        for (int id : controls.peerDevices) {
            m_peerList->addItem(LoadStringById(id));
        }
    }
    m_peerList->setCurrentIndex(controls.peerIndex);
    if (g_ParseIpAddress(m_ipAddress->text()) != controls.ipAddress || m_ipAddress->text().isEmpty()) {
        m_ipAddress->setText(QString::fromStdString(g_IpAddressText(controls.ipAddress)));
    }
    m_tcpPort->setText(QString::fromStdString(controls.tcpPortText));
    m_highDelay->setChecked(controls.highDelay);
    m_timeout->setText(QString::fromStdString(controls.timeoutText));
    m_progress->setText(QString::fromStdString(controls.progress));

    m_portList->setEnabled(controls.serialPortsEnabled);
    m_test->setEnabled(controls.testEnabled);
    m_ipAddress->setEnabled(controls.ipEnabled);
    m_peerList->setEnabled(controls.peerEnabled);
    m_tcpPort->setEnabled(controls.tcpPortEnabled);
    m_usbList->setEnabled(controls.usbPortsEnabled);
    m_timeout->setEnabled(controls.timeoutEnabled);
}

void CCommSettingDlg::Repaint() {
    m_progress->repaint();
    // Clicks that arrive meanwhile reach the handlers, which ignore them while the test runs.
    QApplication::processEvents();
}

void CCommSettingDlg::ShowMessage(int stringId) {
    g_ShowMessage(this, EnumMessageKind::Notice, LoadStringById(stringId));
}

void CCommSettingDlg::ShowProblem(int stringId) {
    g_ShowMessage(this, EnumMessageKind::Problem, LoadStringById(stringId));
}

void CCommSettingDlg::ShowNotAnInteger() {
    g_ShowMessage(this, EnumMessageKind::Problem, tr("Please enter an integer."));
}

std::string CCommSettingDlg::LoadText(int stringId) {
    return LoadStringById(stringId).toStdString();
}

void CCommSettingDlg::SetWaitCursor(bool on) {
    if (on) {
        QApplication::setOverrideCursor(Qt::WaitCursor);
    } else {
        QApplication::restoreOverrideCursor();
    }
}
