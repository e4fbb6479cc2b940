#include "SimulatedWindowTest.h"
#include "TempFolder.h"
#include "acquisition/ChannelDialogRules.h"
#include "app/ChannelTable.h"
#include "app/ChronoscopeDlg.h"
#include "chart/ChartTraceDisplay.h"
#include "dialogs/ElemSelectDlg.h"
#include "dialogs/Translation.h"
#include "kit/ElementKinds.h"
#include "link/Communicater.h"
#include "support/QtTestHelpers.h"

#include <QApplication>
#include <QComboBox>
#include <QEventLoop>
#include <QLineEdit>
#include <QMessageBox>
#include <QTimer>

#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>

namespace {

CChannelTable& Table(const CChronoscopeDlg& window) {
    return *ControlById<CChannelTable>(window, CChronoscopeDlg::IDC_TABLE);
}

// Fills the channel dialog that the window opens and presses OK.
void AddThroughDialog(CChronoscopeDlg& window, const std::function<void(CElemSelectDlg&)>& fill) {
    EXPECT_TRUE(AnswerModal<CElemSelectDlg>(
        [&](CElemSelectDlg& dialog) {
            fill(dialog);
            dialog.OnOK();
        },
        [&] { window.OnAddChannel(); }));
}

} // namespace

using ChannelTableWidgetTest = CSimulatedWindowTest;

TEST_P(ChannelTableWidgetTest, ThreeChannelsThroughTheDialogThenASecondOfRecording) {
    tagLanguageState languages;
    CChronoscopeDlg window(languages);
    window.show();
    AddThroughDialog(window, [](CElemSelectDlg& d) {
        ControlById<QComboBox>(d, CElemSelectDlg::IDC_KIND)->setCurrentIndex(KIND_D);
        ControlById<QLineEdit>(d, CElemSelectDlg::IDC_ADDRESS)->setText(QStringLiteral("0"));
        ControlById<QComboBox>(d, CElemSelectDlg::IDC_TYPE)->setCurrentText(QStringLiteral("INT"));
    });
    AddThroughDialog(window, [](CElemSelectDlg& d) {
        ControlById<QComboBox>(d, CElemSelectDlg::IDC_KIND)->setCurrentIndex(KIND_M);
        ControlById<QLineEdit>(d, CElemSelectDlg::IDC_ADDRESS)->setText(QStringLiteral("4"));
    });
    AddThroughDialog(window, [&](CElemSelectDlg& d) {
        ControlById<QComboBox>(d, CElemSelectDlg::IDC_KIND)->setCurrentIndex(kAxisKind);
        ControlById<QComboBox>(d, CElemSelectDlg::IDC_AXIS)->setCurrentIndex(0);
        ControlById<QComboBox>(d, CElemSelectDlg::IDC_PARAMETERS)->setCurrentIndex(10); // Input1-ActPosition
        RenderWidget(d, QStringLiteral("channel-dialog-%1.png").arg(Language()));
    });
    ASSERT_EQ(window.Session().State().channels.size(), 3u);
    EXPECT_EQ(window.Session().State().channels[2].name, "AXIS0");
    CChannelTable& table = Table(window);
    EXPECT_EQ(table.CellText(0, CChannelTable::COL_NAME), QStringLiteral("D0"));
    EXPECT_EQ(table.CellText(1, CChannelTable::COL_TYPE), QStringLiteral("BOOL"));
    EXPECT_EQ(table.CellText(2, CChannelTable::COL_NAME), QStringLiteral("Axis0(Input1-ActPosition)"));
    EXPECT_EQ(table.CellText(2, CChannelTable::COL_SCALE), QStringLiteral("1.000000"));

    window.OnRun();
    RunEventLoop(1000);
    window.OnRun();
    RunEventLoop(50);

    // Adaptive scaling fitted each trace; the statistics and readouts are filled.
    EXPECT_NE(table.CellText(0, CChannelTable::COL_SCALE), QStringLiteral("1.000000"));
    EXPECT_FALSE(table.CellText(0, CChannelTable::COL_LATEST).isEmpty());
    const QString bit = table.CellText(1, CChannelTable::COL_MAX);
    EXPECT_TRUE(bit == QStringLiteral("ON") || bit == QStringLiteral("OFF"));
    EXPECT_EQ(table.CellText(1, CChannelTable::COL_MIN), QStringLiteral("OFF"));
    RenderWidget(window, QStringLiteral("table-%1.png").arg(Language()));

    // The eye box hides a trace: min and max go, the latest value stays.
    window.OnTableClick(0, CChannelTable::COL_VISIBLE);
    EXPECT_FALSE(window.Session().Traces().Trace(0).IsVisible());
    EXPECT_TRUE(table.CellText(0, CChannelTable::COL_MIN).isEmpty());
    EXPECT_FALSE(table.CellText(0, CChannelTable::COL_LATEST).isEmpty());

    // Typing into the scale cell.
    table.item(1, CChannelTable::COL_SCALE)->setText(QStringLiteral("-5"));
    EXPECT_EQ(table.CellText(1, CChannelTable::COL_SCALE), QStringLiteral("0.000001"));
    EXPECT_EQ(window.Session().Traces().Trace(1).GetYScale(), 1e-6);
}

TEST_P(ChannelTableWidgetTest, OutOfRangeAddressKeepsTheDialogOpen) {
    CElemSelectDlg dialog(true);
    dialog.OnInitDialog();
    ControlById<QComboBox>(dialog, CElemSelectDlg::IDC_KIND)->setCurrentIndex(KIND_X);
    ControlById<QLineEdit>(dialog, CElemSelectDlg::IDC_ADDRESS)->setText(QStringLiteral("1000"));
    // The range message.
    EXPECT_TRUE(AnswerModal<QMessageBox>([](QMessageBox& box) { box.close(); }, [&] { dialog.OnOK(); }));
    EXPECT_NE(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(dialog.m_record.name, "X0");
    // Modify mode shows the record: SM12 selects SM, not S.
    CElemSelectDlg modify(false);
    modify.m_record = {"SM12", 0, GCM_BOOL, 0};
    modify.OnInitDialog();
    EXPECT_EQ(ControlById<QComboBox>(modify, CElemSelectDlg::IDC_KIND)->currentIndex(), KIND_SM);
    EXPECT_EQ(ControlById<QLineEdit>(modify, CElemSelectDlg::IDC_ADDRESS)->text(), QStringLiteral("12"));
    ControlById<QComboBox>(modify, CElemSelectDlg::IDC_KIND)->setCurrentIndex(KIND_D);
    ControlById<QComboBox>(modify, CElemSelectDlg::IDC_TYPE)->setCurrentText(QStringLiteral("DINT"));
    ControlById<QComboBox>(modify, CElemSelectDlg::IDC_KIND)->setCurrentIndex(KIND_C);
    EXPECT_EQ(ControlById<QComboBox>(modify, CElemSelectDlg::IDC_TYPE)->currentText(),
              QStringLiteral("DINT"));
    ControlById<QComboBox>(modify, CElemSelectDlg::IDC_KIND)->setCurrentIndex(KIND_T);
    EXPECT_EQ(ControlById<QComboBox>(modify, CElemSelectDlg::IDC_TYPE)->currentText(),
              QStringLiteral("BOOL"));
}

INSTANTIATE_TEST_SUITE_P(Languages, ChannelTableWidgetTest, ::testing::Values(false, true),
                         [](const auto& info) { return info.param ? "Chinese" : "English"; });
