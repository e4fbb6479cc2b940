#include "dialogs/CommSettingDlg.h"
#include "SimulatedWindowTest.h"
#include "app/ChronoscopeDlg.h"
#include "dialogs/BitmapCombo.h"
#include "dialogs/CISBitmap.h"
#include "dialogs/StringTable.h"
#include "link/SerialDevices.h"
#include "support/QtTestHelpers.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>

#include <filesystem>
#include <fstream>

namespace {

// A solid bitmap with a magenta frame one pixel wide.
QImage FramedBitmap(int width, int height, QColor colour) {
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(QColor(255, 0, 255));
    for (int y = 1; y < height - 1; ++y) {
        for (int x = 1; x < width - 1; ++x) {
            image.setPixelColor(x, y, colour);
        }
    }
    return image;
}

// The item drawn alone on a white image.
QImage DrawnItem(const CBitmapCombo& combo, int index, bool selected, int width = 120) {
    QImage image(width, combo.ItemHeight(), QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    combo.DrawItem(painter, image.rect(), index, selected, false);
    return image;
}

// Leftmost column with a pixel of neither the background nor the bitmap's colours.
int FirstInkColumn(const QImage& image, int from) {
    for (int x = from; x < image.width(); ++x) {
        for (int y = 0; y < image.height(); ++y) {
            const QColor c = image.pixelColor(x, y);
            if (c != Qt::white && c != Qt::red) {
                return x;
            }
        }
    }
    return -1;
}

// Answers every message box the code under test opens, keeping their texts.
class CMessageBoxAnswerer {
public:
    CMessageBoxAnswerer() {
        QObject::connect(&m_timer, &QTimer::timeout, [this] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                texts << box->text();
                box->accept();
            }
        });
        m_timer.start(10);
    }
    QStringList texts;

private:
    QTimer m_timer;
};

class CommSettingDlgTest : public CSimulatedWindowTest {
protected:
    void SetUp() override {
        CSimulatedWindowTest::SetUp();
        // Character devices under serial names, the ARM board's UART among them.
        for (const char* device : {"ttyS0", "ttyS2", "ttyUSB0", "ttyAMA0"}) {
            std::filesystem::create_symlink("/dev/null", m_documents.File(device));
        }
        g_SetSerialDirectory(m_documents.Path());
        m_sim.probeWaits = false;
    }
    void TearDown() override {
        g_SetSerialDirectory({});
        CSimulatedWindowTest::TearDown();
    }
    CSimulatorPanel& m_sim = m_link.Panel();
};

} // namespace

TEST(BitmapCombo, ItemsAreSixPixelsTallerThanTheTallestBitmapAndTextsFollowTheWidest) {
    CCISBitmap icon(FramedBitmap(18, 16, Qt::red));
    CBitmapCombo combo;
    combo.AddItem(&icon, QStringLiteral("COM1"));
    combo.AddItem(&icon, QStringLiteral("COM3"));
    EXPECT_EQ(combo.ItemHeight(), 22);
    EXPECT_EQ(combo.view()->sizeHintForRow(1), 22);

    const QImage item = DrawnItem(combo, 0, false);
    // The bitmap at x + 2, centred on the largest height: its frame is left out.
    EXPECT_EQ(item.pixelColor(2, 3), QColor(Qt::white));
    EXPECT_EQ(item.pixelColor(3, 4), QColor(Qt::red));
    EXPECT_EQ(item.pixelColor(18, 17), QColor(Qt::red));
    EXPECT_EQ(item.pixelColor(19, 18), QColor(Qt::white));
    const int text = FirstInkColumn(item, 0);
    EXPECT_GE(text, 22);
    EXPECT_LE(text, 24); // the glyph's own side bearing

    // A taller bitmap raises every item, the earlier ones too.
    CCISBitmap tall(FramedBitmap(10, 30, Qt::red));
    EXPECT_EQ(combo.InsertItem(0, &tall, QStringLiteral("tall")), 0);
    EXPECT_EQ(combo.ItemHeight(), 36);
    EXPECT_EQ(combo.view()->sizeHintForRow(2), 36);
    EXPECT_EQ(combo.MeasureItem(), QSize(20, 32));
    EXPECT_EQ(combo.InsertItem(99, &icon, QStringLiteral("end")), 3);
}

TEST(BitmapCombo, WithoutTextTheBitmapIsCentredAndADisabledListHasNoHighlight) {
    CCISBitmap icon(FramedBitmap(18, 16, Qt::red));
    CBitmapCombo combo;
    combo.AddItem(&icon, QString());
    combo.AddItem(&icon, QStringLiteral("COM1"));
    const QImage centred = DrawnItem(combo, 0, false, 100);
    // x = 100 / 2 - 18 / 2 = 41, y = 22 / 2 - 16 / 2 = 3; the frame pixel is left out.
    EXPECT_EQ(centred.pixelColor(41, 3), QColor(Qt::white));
    EXPECT_EQ(centred.pixelColor(42, 4), QColor(Qt::red));
    EXPECT_EQ(centred.pixelColor(40, 10), QColor(Qt::white));
    EXPECT_EQ(FirstInkColumn(centred, 0), -1);

    const QColor highlight = combo.palette().color(QPalette::Highlight);
    EXPECT_EQ(DrawnItem(combo, 1, true).pixelColor(60, 1), highlight);
    combo.setEnabled(false);
    const QImage disabled = DrawnItem(combo, 1, true);
    EXPECT_EQ(disabled.pixelColor(60, 1), QColor(Qt::white));
    EXPECT_GE(FirstInkColumn(disabled, 0), 22); // still drawn
}

TEST(IpAddressText, NetworkByteOrderBothWays) {
    EXPECT_EQ(g_IpAddressText(0x0A01A8C0), "192.168.1.10");
    EXPECT_EQ(g_ParseIpAddress(QStringLiteral("192.168.1.10")), 0x0A01A8C0u);
    EXPECT_EQ(g_ParseIpAddress(QStringLiteral("10..3")), 0x0003000Au);
}

TEST_P(CommSettingDlgTest, SerialAndEthernetAsTheUserSeesThem) {
    tagSerialInfo settings;
    settings.comPort = 3;
    uint32_t type = INTERFACE_SERIAL;
    CCommSettingDlg dialog(settings, type);
    dialog.OnInitDialog();
    dialog.show();
    auto* ports = ControlById<CBitmapCombo>(dialog, CCommSettingDlg::IDC_PORT_LIST);
    ASSERT_EQ(ports->count(), 4);
    EXPECT_EQ(ports->itemText(2), QStringLiteral("COM100"));
    EXPECT_EQ(ports->itemText(3), QStringLiteral("COM300"));
    EXPECT_TRUE(ports->itemData(3, Qt::ToolTipRole).toString().endsWith(QStringLiteral("/ttyAMA0")));
    EXPECT_EQ(ports->currentText(), QStringLiteral("COM3"));
    EXPECT_TRUE(ports->itemData(1, Qt::ToolTipRole).toString().endsWith(QStringLiteral("/ttyS2")));
    EXPECT_EQ(ports->ItemHeight(), 22); // the 18 x 16 port icon
    EXPECT_EQ(ControlById<QComboBox>(dialog, CCommSettingDlg::IDC_BAUD_LIST)->currentText(),
              QStringLiteral("19200")); // the link's rate
    EXPECT_FALSE(ControlById<QComboBox>(dialog, CCommSettingDlg::IDC_PEER_LIST)->isEnabled());
    EXPECT_EQ(ControlById<QComboBox>(dialog, CCommSettingDlg::IDC_PEER_LIST)->currentText(),
              LoadStringById(IDS_PEER_MAIN_MODULE));
    EXPECT_FALSE(ControlById<QLineEdit>(dialog, CCommSettingDlg::IDC_IP_ADDRESS)->isEnabled());
    RenderWidget(dialog, QStringLiteral("comm-dialog-serial-%1.png").arg(Language()));

    ControlById<QRadioButton>(dialog, CCommSettingDlg::IDC_ETHERNET)->click();
    EXPECT_EQ(type, static_cast<uint32_t>(INTERFACE_ETHERNET)); // at once
    EXPECT_FALSE(ports->isEnabled());
    EXPECT_FALSE(ControlById<QPushButton>(dialog, CCommSettingDlg::IDC_TEST)->isEnabled());
    auto* address = ControlById<QLineEdit>(dialog, CCommSettingDlg::IDC_IP_ADDRESS);
    EXPECT_TRUE(address->isEnabled());
    EXPECT_EQ(address->text(), QStringLiteral("192.168.1.10"));
    EXPECT_EQ(ControlById<QLineEdit>(dialog, CCommSettingDlg::IDC_TCP_PORT)->text(), QStringLiteral("9016"));
    ControlById<QCheckBox>(dialog, CCommSettingDlg::IDC_HIGH_DELAY)->click();
    EXPECT_TRUE(ControlById<QLineEdit>(dialog, CCommSettingDlg::IDC_TIMEOUT)->isEnabled());
    RenderWidget(dialog, QStringLiteral("comm-dialog-ethernet-%1.png").arg(Language()));

    ControlById<QLineEdit>(dialog, CCommSettingDlg::IDC_TIMEOUT)->setText(QStringLiteral("25"));
    address->setText(QStringLiteral("10.0.0.7"));
    CMessageBoxAnswerer answerer;
    ControlById<QPushButton>(dialog, CCommSettingDlg::IDC_OK)->click();
    EXPECT_EQ(answerer.texts, QStringList{LoadStringById(IDS_ETHERNET_OK)});
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(settings.ipAddress, 0x0700000Au);
    EXPECT_EQ(settings.timeout, 10u);
}

TEST_P(CommSettingDlgTest, ATestInProgressShowsItsFormatAndCannotBeCancelled) {
    m_sim.SetSerialFormat(9600, 8, 1, 2);
    tagSerialInfo settings;
    uint32_t type = INTERFACE_SERIAL;
    CCommSettingDlg dialog(settings, type);
    dialog.OnInitDialog();
    dialog.show();
    auto* progress = ControlById<QLabel>(dialog, CCommSettingDlg::IDC_PROGRESS);
    QStringList seen;
    bool shot = false;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (progress->text().isEmpty()) {
            return; // the test has not begun
        }
        seen << progress->text();
        if (!shot) {
            shot = true;
            RenderWidget(dialog, QStringLiteral("comm-dialog-testing-%1.png").arg(Language()));
            ControlById<QPushButton>(dialog, CCommSettingDlg::IDC_CANCEL)->click();
        }
    });
    poll.start(0);
    m_sim.answerDelayMs = 30; // long enough for the timer to look in between
    ControlById<QPushButton>(dialog, CCommSettingDlg::IDC_TEST)->click();
    poll.stop();
    ASSERT_FALSE(seen.isEmpty());
    EXPECT_EQ(seen.front(), LoadStringById(IDS_TEST_PROGRESS)
                                .replace(QStringLiteral("%d:%d,%s,%d,%d"), QStringLiteral("1:19200,N,8,1")));
    EXPECT_TRUE(dialog.isVisible()); // Cancel waited for the test
    EXPECT_EQ(progress->text(), LoadStringById(IDS_TEST_SUCCESS)
                                    .replace(QStringLiteral("%d\n%s,%d,%d"), QStringLiteral("9600\nE,8,1")));
    EXPECT_EQ(ControlById<QComboBox>(dialog, CCommSettingDlg::IDC_BAUD_LIST)->currentText(),
              QStringLiteral("9600"));
    RenderWidget(dialog, QStringLiteral("comm-dialog-found-%1.png").arg(Language()));
}

TEST_P(CommSettingDlgTest, TheWindowTakesTheSettingsBackOnOKAndTheLinksInterfaceAlways) {
    tagLanguageState languages;
    CChronoscopeDlg window(languages);
    window.show();
    CMonitorSession& session = window.Session();
    CMessageBoxAnswerer answerer;
    EXPECT_TRUE(AnswerModal<CCommSettingDlg>(
        [](CCommSettingDlg& dialog) {
            ControlById<CBitmapCombo>(dialog, CCommSettingDlg::IDC_PORT_LIST)->setCurrentIndex(1);
            ControlById<QPushButton>(dialog, CCommSettingDlg::IDC_OK)->click();
        },
        [&] { window.OnCommunicate(); }));
    EXPECT_EQ(session.State().link.comPort, 3u);
    EXPECT_EQ(answerer.texts, QStringList{LoadStringById(IDS_SERIAL_SETUP_OK)});

    EXPECT_TRUE(AnswerModal<CCommSettingDlg>(
        [](CCommSettingDlg& dialog) {
            ControlById<CBitmapCombo>(dialog, CCommSettingDlg::IDC_PORT_LIST)->setCurrentIndex(2);
            ControlById<QRadioButton>(dialog, CCommSettingDlg::IDC_USB)->click();
            dialog.reject();
        },
        [&] { window.OnCommunicate(); }));
    EXPECT_EQ(session.State().link.comPort, 3u);
    // The link switched to USB when it was clicked and Cancel keeps that: the window agrees.
    EXPECT_EQ(session.State().interfaceType, static_cast<uint32_t>(INTERFACE_USB));
}

INSTANTIATE_TEST_SUITE_P(Languages, CommSettingDlgTest, ::testing::Values(false, true),
                         [](const auto& info) { return info.param ? "Chinese" : "English"; });
