#include "SimulatedWindowTest.h"
#include "TempFolder.h"
#include "acquisition/ChannelModel.h"
#include "app/ChannelTable.h"
#include "app/ChronoscopeDlg.h"
#include "chart/ChartTraceDisplay.h"
#include "chart/qt/ChartImage.h"
#include "chart/qt/ChartWidget.h"
#include "dialogs/BufferSettingDlg.h"
#include "dialogs/LanguageDlg.h"
#include "dialogs/StringTable.h"
#include "dialogs/Translation.h"
#include "dialogs/TriggerSettingDlg.h"
#include "files/ProgramSettings.h"
#include "files/RecordingJournal.h"
#include "files/WorkspacePaths.h"
#include "kit/DocPath.h"
#include "kit/KitHelpers.h"
#include "kit/NumberText.h"
#include "link/Communicater.h"
#include "support/QtTestHelpers.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QEventLoop>
#include <QFile>
#include <QFileDialog>
#include <QGuiApplication>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QMenu>
#include <QMessageBox>
#include <QPixmap>
#include <QPushButton>
#include <QSpinBox>
#include <QTimer>

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>

namespace {

CChannelTable& Table(const CChronoscopeDlg& window) {
    return *ControlById<CChannelTable>(window, CChronoscopeDlg::IDC_TABLE);
}

void SaveShotOf(QWidget& widget, const QString& name) {
    widget.show();
    const bool chinese = QLocale().language() == QLocale::Chinese;
    RenderWidget(
        widget, QStringLiteral("%1-%2.png").arg(name, chinese ? QStringLiteral("zh") : QStringLiteral("en")));
}

// A window menu item by its text.
QAction* MenuItem(const QWidget& window, int stringId) {
    for (QAction* action : window.actions()) {
        if (action->text() == LoadStringById(stringId)) {
            return action;
        }
    }
    std::abort();
}

int PixelsOfColour(const QImage& image, const QRect& area, uint32_t colour) {
    const QRgb wanted = qRgb(colour & 0xFF, (colour >> 8) & 0xFF, (colour >> 16) & 0xFF);
    int n = 0;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x) {
            n += image.pixel(x, y) == wanted;
        }
    }
    return n;
}

} // namespace

using MainWindowTest = CSimulatedWindowTest;

TEST_P(MainWindowTest, RecordsASecondAndShowsTheTraces) {
    const QString language = GetParam() ? QStringLiteral("zh") : QStringLiteral("en");
    tagLanguageState languages;
    CChronoscopeDlg window(languages);
    window.Session().Link().Apply();
    window.show();
    window.Session().Channels().Add({"D0", 0, GCM_INT, DefaultChannelColours[0]});
    window.Session().Channels().Add({"AXIS0", 17, GCM_DINT, DefaultChannelColours[1]});
    window.Session().Traces().Trace(1).SetYScale(0.05); // 200000 position units into the value axis

    window.OnRun();
    EXPECT_TRUE(window.Session().Recorder().IsRecording());
    EXPECT_EQ(ControlById<QPushButton>(window, CChronoscopeDlg::IDC_RUN)->text().isEmpty(), false);
    EXPECT_FALSE(ControlById(window, CChronoscopeDlg::IDC_CHANNEL)->isEnabled());
    RunEventLoop(1000);
    window.OnRun();
    EXPECT_FALSE(window.Session().Recorder().IsRecording());
    EXPECT_TRUE(ControlById(window, CChronoscopeDlg::IDC_CHANNEL)->isEnabled());
    // A second at 20 ms: every tick the worker read is a point, in order.
    const CTrace& d0 = window.Session().Traces().Trace(0);
    ASSERT_GE(d0.GetPointCount(), 10u);
    for (uint32_t i = 0; i < d0.GetPointCount(); ++i) {
        ASSERT_EQ(d0.GetXValue(i), i * 20.0);
    }
    EXPECT_EQ(Table(window).rowCount(), 2);

    const QImage normal = RenderWidget(window, QStringLiteral("main-%1.png").arg(language));
    const QRect chart = ControlById(window, CChronoscopeDlg::IDC_CHART)->geometry();
    EXPECT_GT(PixelsOfColour(normal, chart, DefaultChannelColours[0]), 100);
    EXPECT_GT(PixelsOfColour(normal, chart, DefaultChannelColours[1]), 100);

    // Larger: the right column follows the right edge, the table keeps its height.
    const int tableHeight = Table(window).height();
    window.resize(1600, 1000);
    RunEventLoop(50);
    EXPECT_EQ(Table(window).height(), tableHeight);
    EXPECT_EQ(ControlById(window, CChronoscopeDlg::IDC_RUN)->geometry().right() < window.width(), true);
    EXPECT_GT(ControlById(window, CChronoscopeDlg::IDC_RUN)->x(), 1400);
    EXPECT_EQ(ControlById(window, CChronoscopeDlg::IDC_CHART)->geometry().bottom() + 3, Table(window).y());
    RenderWidget(window, QStringLiteral("main-%1-large.png").arg(language));
}

TEST_P(MainWindowTest, TheWorkspaceComesBackAfterARestart) {
    {
        tagLanguageState languages;
        CChronoscopeDlg window(languages);
        window.show();
        RunEventLoop(50); // the start-up load of a workspace that is not there yet
        CMonitorSession& session = window.Session();
        session.Channels().Add({"D0", 0, GCM_INT, DefaultChannelColours[0]});
        session.Channels().Add({"M3", 0, GCM_BOOL, 0x00FF00});
        for (int i = 0; i < 500; ++i) {
            session.Traces().Trace(0).AddPoint(i * 20.0, i);
        }
        session.Fields().SetTrigger({1, 1, TRIGGER_EQUAL, 1.0});
        session.Traces().SetTriggerMark(tagTriggerMark{4400.0, 0x00FF00});
        session.Fields().SetCache(false, 2400000);
        tagLinkFields link = session.Link().BeginCommSettings();
        link.link.baudRate = 115200;
        session.Link().Set(link);
        ControlById<QLineEdit>(window, CChronoscopeDlg::IDC_PERIOD)->setText(QStringLiteral("35"));
        window.OnPeriodChanged();
        window.reject();
        ASSERT_TRUE(session.EndSession(true).ok); // what the application does when the window's loop ends
    }
    tagLanguageState languages;
    CChronoscopeDlg window(languages);
    window.show();
    RunEventLoop(100);
    const tagMonitorState& state = window.Session().State();
    ASSERT_EQ(state.channels.size(), 2u);
    EXPECT_EQ(state.channels[1], (tagOscilloElem{"M3", 0, GCM_BOOL, 0x00FF00}));
    EXPECT_EQ(window.Session().Traces().Trace(0).GetPointCount(), 500u);
    EXPECT_EQ(state.trigger, (tagTriggerSettings{1, 1, TRIGGER_EQUAL, 1.0}));
    EXPECT_EQ(window.Session().Traces().TriggerMark(), (tagTriggerMark{4400.0, 0x00FF00}));
    EXPECT_TRUE(window.Display().TriggerMarker().IsVisible());
    EXPECT_EQ(state.cacheSize, 2400000u);
    EXPECT_EQ(state.link.baudRate, 115200u);
    EXPECT_EQ(ControlById<QLineEdit>(window, CChronoscopeDlg::IDC_PERIOD)->text(), QStringLiteral("35"));
    EXPECT_EQ(Table(window).rowCount(), 2);
    EXPECT_EQ(Table(window).CellText(0, CChannelTable::COL_LATEST), QStringLiteral("499"));
    // The chart draws again after the load: the trace is on the screen.
    const QImage shot = RenderWidget(window, QStringLiteral("restarted-%1.png").arg(Language()));
    EXPECT_GT(PixelsOfColour(shot, ControlById(window, CChronoscopeDlg::IDC_CHART)->geometry(),
                             DefaultChannelColours[0]),
              100);
}

INSTANTIATE_TEST_SUITE_P(Languages, MainWindowTest, ::testing::Values(false, true),
                         [](const auto& info) { return info.param ? "Chinese" : "English"; });

TEST_P(MainWindowTest, WindowMenuOffersLanguageAndCacheSize) {
    tagLanguageState languages;
    CChronoscopeDlg window(languages);
    QStringList texts;
    for (QAction* action : window.actions()) {
        texts << action->text();
    }
    ASSERT_EQ(texts.size(), 8);
    EXPECT_TRUE(texts[0].contains(QStringLiteral("(&L)")));
    EXPECT_TRUE(texts[1].contains(QStringLiteral("(&B)")));
    EXPECT_EQ(texts[2], GetParam() ? QStringLiteral("显示全部采样点") : QStringLiteral("Show Every Sample"));
    EXPECT_EQ(texts[3],
              GetParam() ? QStringLiteral("写入前检查数值") : QStringLiteral("Check Values Before Writing"));
    EXPECT_EQ(texts[4], GetParam() ? QStringLiteral("显示数据间断") : QStringLiteral("Show Gaps"));
    EXPECT_EQ(window.actions()[0]->shortcut(), QKeySequence(QStringLiteral("Alt+L")));

    // The cache size dialog hands its values back only on OK.
    EXPECT_TRUE(AnswerModal<CBufferSettingDlg>(
        [](CBufferSettingDlg& dialog) {
            ControlById<QComboBox>(dialog, CBufferSettingDlg::IDC_SIZE)->setCurrentIndex(0);
            ControlById<QCheckBox>(dialog, CBufferSettingDlg::IDC_AUTO_SAVE)->setChecked(true);
            SaveShotOf(dialog, QStringLiteral("cache-dialog"));
            dialog.accept();
        },
        [&] { window.OnSysCommand(33); }));
    EXPECT_EQ(window.Session().State().cacheSize, 1200000u);
    EXPECT_EQ(window.Session().State().autoSave, 1u);
    EXPECT_TRUE(AnswerModal<CBufferSettingDlg>(
        [](CBufferSettingDlg& dialog) {
            ControlById<QCheckBox>(dialog, CBufferSettingDlg::IDC_AUTO_SAVE)->setChecked(false);
            dialog.reject();
        },
        [&] { window.OnSysCommand(33); }));
    EXPECT_EQ(window.Session().State().autoSave, 1u);

    int lastChosen = GetParam() ? 0 : 1;
    CLanguageDlg language(lastChosen, lastChosen);
    SaveShotOf(language, QStringLiteral("language-dialog"));
    EXPECT_EQ(ControlById<QComboBox>(language, CLanguageDlg::IDC_LIST)->currentIndex(), lastChosen);
}

TEST_P(MainWindowTest, TheTriggerDialogHandsInAndTakesBack) {
    tagLanguageState languages;
    CChronoscopeDlg window(languages);
    window.show();
    CMonitorSession& session = window.Session();
    // "No channel selected!"
    EXPECT_TRUE(
        AnswerModal<QMessageBox>([](QMessageBox& box) { box.close(); }, [&] { window.OnTriggerSetting(); }));
    session.Channels().Add({"D0", 0, GCM_INT, 1});
    session.Channels().Add({"M1", 0, GCM_BOOL, 2});
    session.Channels().Add({"AXIS2", 18, GCM_DINT, 3});
    session.Fields().SetTrigger({1, 4, TRIGGER_LESS, 2.5}); // channel 4 of three
    const auto inspect = [this](CTriggerSettingDlg& d) {
        CTriggerSettingDlg* dialog = &d;
        auto* enable = ControlById<QCheckBox>(*dialog, CTriggerSettingDlg::IDC_ENABLE);
        EXPECT_FALSE(enable->isChecked()); // the invalid channel switched the trigger off
        auto* value = ControlById<QLineEdit>(*dialog, CTriggerSettingDlg::IDC_VALUE);
        EXPECT_EQ(value->text(), QStringLiteral("2")); // shown as the INT channel shows it
        EXPECT_FALSE(value->isEnabled());
        auto* channels = ControlById<QComboBox>(*dialog, CTriggerSettingDlg::IDC_CHANNEL);
        EXPECT_EQ(channels->itemText(2), QStringLiteral("Axis2(Input2-ActVelocity)"));
        auto* conditions = ControlById<QComboBox>(*dialog, CTriggerSettingDlg::IDC_CONDITION);
        EXPECT_EQ(conditions->itemText(3), QStringLiteral("\u2265"));
        enable->click();
        EXPECT_TRUE(value->isEnabled());
        RenderWidget(*dialog, QStringLiteral("trigger-dialog-%1.png").arg(Language()));
        enable->click();
        EXPECT_FALSE(channels->isEnabled());
        dialog->reject();
    };
    EXPECT_TRUE(AnswerModal<CTriggerSettingDlg>(inspect, [&] { window.OnTriggerSetting(); }));
    EXPECT_EQ(session.State().trigger,
              (tagTriggerSettings{0, 0, TRIGGER_LESS, 2.5})); // Cancel keeps the reset

    EXPECT_TRUE(AnswerModal<CTriggerSettingDlg>(
        [](CTriggerSettingDlg& dialog) {
            ControlById<QComboBox>(dialog, CTriggerSettingDlg::IDC_CHANNEL)->setCurrentIndex(1);
            ControlById<QComboBox>(dialog, CTriggerSettingDlg::IDC_CONDITION)->setCurrentIndex(3);
            ControlById<QLineEdit>(dialog, CTriggerSettingDlg::IDC_VALUE)
                ->setText(QStringLiteral("7.5 volts"));
            dialog.OnOK(); // enable stays off; the other fields are taken
        },
        [&] { window.OnTriggerSetting(); }));
    EXPECT_EQ(session.State().trigger, (tagTriggerSettings{0, 1, TRIGGER_GREATER_EQUAL, 7.5}));
}

TEST_P(MainWindowTest, TriggerHistoryAndRepeatAreSetInTheDialogAndShownAtWork) {
    tagLanguageState languages;
    CChronoscopeDlg window(languages);
    window.Session().Link().Apply();
    window.show();
    CMonitorSession& session = window.Session();
    session.Channels().Add({"D0", 0, GCM_INT, DefaultChannelColours[0]}); // the sine, 2 s a period
    session.Fields().SetTrigger({1, 0, TRIGGER_GREATER_EQUAL, 500.0});
    EXPECT_TRUE(AnswerModal<CTriggerSettingDlg>(
        [this](CTriggerSettingDlg& dialog) {
            auto* repeat = dialog.findChild<QCheckBox*>(QStringLiteral("repeat"));
            auto* pre = dialog.findChild<QSpinBox*>(QStringLiteral("preTrigger"));
            auto* post = dialog.findChild<QSpinBox*>(QStringLiteral("postTrigger"));
            ASSERT_TRUE(repeat && pre && post);
            EXPECT_TRUE(pre->isEnabled());
            EXPECT_FALSE(post->isEnabled()); // only with repeat
            repeat->click();
            EXPECT_TRUE(post->isEnabled());
            pre->setValue(70000); // beyond the range: the field keeps to it
            post->setValue(200);
            EXPECT_EQ(pre->value(), 60000);
            pre->setValue(100);
            RenderWidget(dialog, QStringLiteral("trigger-repeat-dialog-%1.png").arg(Language()));
            // Every label and field inside the dialog, none cut by the buttons.
            for (QWidget* child : dialog.findChildren<QWidget*>()) {
                EXPECT_TRUE(dialog.rect().contains(child->geometry())) << child->objectName().toStdString();
            }
            dialog.OnOK();
        },
        [&] { window.OnTriggerSetting(); }));
    EXPECT_EQ(session.Recorder().CaptureSettings(), (tagCaptureSettings{100, true, 200}));
    EXPECT_EQ(g_ReadProgramSettings(ProgramSettingsPath()).capture, (tagCaptureSettings{100, true, 200}));

    auto* status = window.findChild<QLabel*>(QStringLiteral("status"));
    ASSERT_TRUE(status);
    window.OnRun();
    EXPECT_TRUE(status->text().endsWith(
        LoadStringById(IDS_TRIGGER_WAITING) + LoadStringById(IDS_TEXT_SEPARATOR) +
        QString::fromStdString(g_FormatText(LoadStringById(IDS_TRIGGER_EVENTS_SAVED).toStdString(), {"0"}))))
        << status->text().toStdString();
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (session.Events().Saved() == 0 && std::chrono::steady_clock::now() < until) {
        RunEventLoop(50);
    }
    window.OnRun();
    ASSERT_GE(session.Events().Saved(), 1u);
    EXPECT_TRUE(status->text().contains(LoadStringById(IDS_TRIGGER_FIRED_AT).section('%', 0, 0)))
        << status->text().toStdString();

    // The marker: a line in D0's colour down the plot at the trigger instant.
    const CChartMarkerLine& marker = window.Display().TriggerMarker();
    ASSERT_TRUE(marker.IsVisible());
    const QImage shot = RenderWidget(window, QStringLiteral("main-trigger-%1.png").arg(Language()));
    const QRect chart = ControlById(window, CChronoscopeDlg::IDC_CHART)->geometry();
    const tagChartRect plot = window.Display().Chart().GetPlottingRect();
    const int x = chart.x() + window.Display().TimeAxis().ValueToPixel(marker.GetPositionValue());
    const QRect column(x, chart.y() + plot.top, 1, plot.bottom - plot.top);
    EXPECT_GT(PixelsOfColour(shot, column, DefaultChannelColours[0]), column.height() * 9 / 10);
}

TEST_P(MainWindowTest, AtItsMinimumSizeEveryControlIsWholeAndTheWindowFitsASmallLaptop) {
    tagLanguageState languages;
    CChronoscopeDlg window(languages);
    window.show();
    window.Session().Channels().Add({"D0", 0, GCM_INT, DefaultChannelColours[0]});
    const QSize least = window.minimumSize();
    // 1366 x 768 less a title bar and a panel.
    EXPECT_LE(least.width(), 1366 - 16);
    EXPECT_LE(least.height(), 768 - 80);
    window.resize(least);
    RunEventLoop(50);
    const QRect inside = window.rect();
    std::vector<QRect> column;
    for (int id : {CChronoscopeDlg::IDC_CHART, CChronoscopeDlg::IDC_TABLE, CChronoscopeDlg::IDC_MEASUREMENT,
                   CChronoscopeDlg::IDC_ADAPTIVE, CChronoscopeDlg::IDC_PERIOD, CChronoscopeDlg::IDC_TIME_AXIS,
                   CChronoscopeDlg::IDC_ADDRESS, CChronoscopeDlg::IDC_VALUE, CChronoscopeDlg::IDC_WRITE,
                   CChronoscopeDlg::IDC_CLEAR, CChronoscopeDlg::IDC_EXPORT, CChronoscopeDlg::IDC_IMPORT,
                   CChronoscopeDlg::IDC_TRIGGER, CChronoscopeDlg::IDC_COMMUNICATE,
                   CChronoscopeDlg::IDC_CHANNEL, CChronoscopeDlg::IDC_RUN}) {
        const QRect at = ControlById(window, id)->geometry();
        EXPECT_TRUE(inside.contains(at)) << id;
        if (id != CChronoscopeDlg::IDC_CHART && id != CChronoscopeDlg::IDC_TABLE) {
            for (const QRect& other : column) {
                EXPECT_FALSE(other.intersects(at)) << id; // pressed together, never on each other
            }
            column.push_back(at);
        }
    }
    EXPECT_GT(ControlById(window, CChronoscopeDlg::IDC_CHART)->height(), 100);
    auto* status = window.findChild<QLabel*>(QStringLiteral("status"));
    ASSERT_TRUE(status);
    EXPECT_TRUE(inside.contains(status->geometry()));
    RenderWidget(window, QStringLiteral("main-minimum-%1.png").arg(Language()));
    // A number too wide for its cell is shown whole in its tooltip.
    const QString wide = QStringLiteral("-1234567.891");
    Table(window).SetCellText(0, 6, wide);
    EXPECT_EQ(Table(window).item(0, 6)->toolTip(), wide);
}

TEST_P(MainWindowTest, ShowEverySampleIsOnAtFirstAndItsChoiceSurvivesARestart) {
    {
        tagLanguageState languages;
        CChronoscopeDlg window(languages);
        QAction* every = MenuItem(window, IDS_MENU_EVERY_SAMPLE);
        ASSERT_TRUE(every->isCheckable());
        EXPECT_TRUE(every->isChecked());
        window.Session().Channels().Add({"D0", 0, GCM_INT, DefaultChannelColours[0]});
        EXPECT_TRUE(window.Display().SerieOf(window.Session().Traces().Trace(0)).IsEveryPointDrawing());
        // The menu as the user sees it.
        window.show();
        QMenu menu;
        menu.addActions(window.actions());
        menu.show();
        RenderWidget(menu, QStringLiteral("window-menu-%1.png").arg(Language()));
        every->trigger();
        EXPECT_FALSE(window.Display().SerieOf(window.Session().Traces().Trace(0)).IsEveryPointDrawing());
    }
    tagLanguageState languages;
    CChronoscopeDlg window(languages);
    EXPECT_FALSE(MenuItem(window, IDS_MENU_EVERY_SAMPLE)->isChecked());
    EXPECT_FALSE(window.Display().SerieOf(window.Session().Traces().Trace(0)).IsEveryPointDrawing());
    MenuItem(window, IDS_MENU_EVERY_SAMPLE)->trigger();
    EXPECT_TRUE(window.Display().SerieOf(window.Session().Traces().Trace(3)).IsEveryPointDrawing());
}

// The statistics between the cursors: extra columns after the table's own while a set is on, the
// table exactly as it was while none is; the choice survives a restart.
TEST_P(MainWindowTest, StatisticsBetweenTheCursorsAreColumnsOfTheirOwnThatCanBeSwitchedOff) {
    {
        tagLanguageState languages;
        CChronoscopeDlg window(languages);
        window.show();
        CMonitorSession& session = window.Session();
        session.Channels().Add({"D0", 0, GCM_INT, DefaultChannelColours[0]});
        session.Channels().Add({"M1", 0, GCM_BOOL, DefaultChannelColours[1]});
        for (int i = 0; i < 1000; ++i) {
            session.Traces().Trace(0).AddPoint(i * 10.0, i % 10);
            session.Traces().Trace(1).AddPoint(i * 10.0, i % 4 == 0 ? 1 : 0);
        }
        EXPECT_EQ(Table(window).columnCount(), CChannelTable::kColumns); // off at first
        window.Display().PlaceCursors(1000.0, 2000.0);
        QMenu* statistics = nullptr;
        for (QAction* action : window.actions()) {
            if (action->text() == LoadStringById(IDS_MENU_CURSOR_STATISTICS)) {
                statistics = action->menu();
            }
        }
        ASSERT_TRUE(statistics);
        for (QAction* set : statistics->actions()) {
            set->trigger();
        }
        ASSERT_EQ(Table(window).columnCount(), CChannelTable::kColumns + 7);
        // What a plain pass over the points between the cursors gives.
        const auto [a, b] = window.Display().CursorTimes();
        double sum = 0, squares = 0, ons = 0, n = 0;
        for (int i = 0; i < 1000; ++i) {
            if (i * 10.0 >= a && i * 10.0 <= b) {
                sum += i % 10;
                squares += (i % 10) * (i % 10);
                ons += i % 4 == 0;
                ++n;
            }
        }
        const auto cell = [&](int row, int extra) {
            return Table(window).CellText(row, CChannelTable::kColumns + extra).toStdString();
        };
        EXPECT_EQ(cell(0, 2), "0");
        EXPECT_EQ(cell(0, 3), "9");
        EXPECT_EQ(cell(0, 4), "9");
        EXPECT_EQ(cell(0, 5), g_FixedText(sum / n));
        EXPECT_EQ(cell(0, 6), g_FixedText(std::sqrt(squares / n)));
        EXPECT_EQ(cell(1, 5), g_FixedText(100.0 * ons / n, 1) + "%"); // a bit: its share of ON
        EXPECT_TRUE(Table(window).item(0, CChannelTable::kColumns)->toolTip().contains(QString::number(n)));
        RenderWidget(window, QStringLiteral("cursor-statistics-%1.png").arg(Language()));
        statistics->actions()[1]->trigger(); // the extremes off
        EXPECT_EQ(Table(window).columnCount(), CChannelTable::kColumns + 4);
    }
    tagLanguageState languages;
    CChronoscopeDlg window(languages);
    EXPECT_EQ(Table(window).columnCount(), CChannelTable::kColumns + 4);
    EXPECT_EQ(window.Session().Fields().Settings().cursorStatistics,
              (tagCursorStatisticsSets{true, false, true}));
}

// The chart as an image: the PNG at twice the pixels with the spike where the chart draws it, the
// SVG a drawing of the same, both with the legend under the chart.
TEST_P(MainWindowTest, TheChartSavesAsPngAndSvgWithItsLegend) {
    tagLanguageState languages;
    CChronoscopeDlg window(languages);
    window.show();
    CMonitorSession& session = window.Session();
    session.Channels().Add({"D0", 0, GCM_INT, 0x0000FF}); // red
    for (int i = 0; i <= 1000; ++i) {
        session.Traces().Trace(0).AddPoint(i * 10.0, i == 500 ? 8000.0 : 0.0);
    }
    session.Traces().Display().Redraw();
    auto* chartWidget = ControlById<CChartWidget>(window, CChronoscopeDlg::IDC_CHART);
    const QSize size = chartWidget->size();
    const QImage image = g_ChartImage(chartWidget->Chart(), size, 2.0, {{QStringLiteral("D0"), 0x0000FF}});
    EXPECT_EQ(image.width(), size.width() * 2);
    EXPECT_GT(image.height(), size.height() * 2); // the legend's strip below
    // The spike at 5000 ms reaches 8000 of the value axis: red device pixels high up in its column.
    const int x = window.Display().TimeAxis().ValueToPixel(5000.0);
    const int top = window.Display().ValueAxis().ValueToPixel(7900.0);
    int red = 0;
    for (int dx = -2; dx <= 3; ++dx) {
        red += image.pixelColor(x * 2 + dx, top * 2) == QColor(Qt::red);
    }
    EXPECT_GT(red, 0);
    EXPECT_FALSE(image.pixelColor((x - 50) * 2, top * 2) == QColor(Qt::red)); // nothing else up there
    const QString folder = QString::fromStdString(m_documents.Path());
    ASSERT_TRUE(image.save(folder + QStringLiteral("/chart.png")));
    QString error;
    ASSERT_TRUE(g_WriteChartSvg(chartWidget->Chart(), size, {{QStringLiteral("D0"), 0x0000FF}},
                                folder + QStringLiteral("/chart.svg"), &error))
        << error.toStdString();
    QFile svg(folder + QStringLiteral("/chart.svg"));
    ASSERT_TRUE(svg.open(QIODevice::ReadOnly));
    const QByteArray drawing = svg.readAll();
    EXPECT_TRUE(drawing.contains("<svg"));
    EXPECT_TRUE(drawing.contains("#ff0000")); // the trace and its legend entry
    EXPECT_TRUE(drawing.contains(">D0<"));
    EXPECT_FALSE(
        g_WriteChartSvg(chartWidget->Chart(), size, {}, folder + QStringLiteral("/no/such/x.svg"), &error));
    MenuItem(window, IDS_MENU_COPY_CHART)->trigger(); // what Ctrl+C does
    EXPECT_EQ(QGuiApplication::clipboard()->image().width(),
              qRound(size.width() * chartWidget->devicePixelRatioF()));
}

// Also run under German and French desktops, where the C library writes 1.5 as "1,5".
TEST_P(MainWindowTest, ARealTypedIntoTheWriteFieldsIsWrittenAndReadBackAsTyped) {
    const std::string desktop = std::getenv("LC_ALL") ? std::getenv("LC_ALL") : "";
    if (desktop.rfind("de_", 0) == 0 || desktop.rfind("fr_", 0) == 0) {
        char text[8];
        std::snprintf(text, sizeof text, "%.1f", 1.5);
        ASSERT_STREQ(text, "1,5") << "the toolkit did not take the desktop's locale " << desktop;
    }
    tagLanguageState languages;
    CChronoscopeDlg window(languages);
    window.Session().Link().Apply();
    window.show();
    QAction* check = MenuItem(window, IDS_MENU_CHECK_WRITES);
    ASSERT_TRUE(check->isCheckable());
    EXPECT_TRUE(check->isChecked()); // on by default
    auto* status = window.findChild<QLabel*>(QStringLiteral("status"));
    ASSERT_TRUE(status);
    auto write = [&](const char* address, const char* value, int type) {
        ControlById<QLineEdit>(window, CChronoscopeDlg::IDC_ADDRESS)->setText(QString::fromLatin1(address));
        ControlById<QLineEdit>(window, CChronoscopeDlg::IDC_VALUE)->setText(QString::fromLatin1(value));
        ControlById<QComboBox>(window, CChronoscopeDlg::IDC_WRITE_TYPE)->setCurrentIndex(type);
        ControlById<QPushButton>(window, CChronoscopeDlg::IDC_WRITE)->click();
    };
    write("D30", "1.5", 3); // D30 is not driven by the simulated machine
    const QString readBack = QString::fromStdString(
        g_FormatText(LoadStringById(IDS_STATUS_WRITTEN_READS).toStdString(), {"D30", "1.5", "1.5"}));
    EXPECT_TRUE(status->text().contains(readBack)) << status->text().toStdString();
    RenderWidget(window, QStringLiteral("write-read-back-%1.png").arg(Language()));

    // A typo is refused with the reason, and nothing reaches the controller.
    bool refused = AnswerModal<QMessageBox>(
        [](QMessageBox& box) {
            EXPECT_NE(box.informativeText().indexOf(QStringLiteral("INT (-32768..32767)")), -1)
                << box.informativeText().toStdString();
            box.accept();
        },
        [&] { write("D30", "abc", 1); });
    EXPECT_TRUE(refused);
    uint32_t raw = 0;
    ASSERT_EQ(CCommunicater::OscilloReadElem("D30", GCM_REAL, &raw), 1);
    EXPECT_EQ(g_IntToFloat(raw), 1.5f);
    check->trigger(); // off: the original program's silent reading, "abc" as INT is 0
    write("D30", "abc", 1);
    ASSERT_EQ(CCommunicater::OscilloReadElem("D30", GCM_INT, &raw), 1);
    EXPECT_EQ(raw, 0u);
}

TEST_P(MainWindowTest, AtStartTheRecoveryQuestionBringsBackWhatACrashLeft) {
    // A run that ended without closing: its journal holds 500 samples of D1.
    {
        CRecordingJournal journal(JournalFilePath());
        journal.Reset({});
        journal.BeginRecording(
            {{{"D1", 0, GCM_INT, DefaultChannelColours[0]}}, g_PeriodOfEighths(160), 0.0, {std::nullopt}}, {},
            "sim");
        std::vector<tagOscilloVal> samples(500);
        for (uint32_t i = 0; i < samples.size(); ++i) {
            samples[i].tick = i;
            samples[i].raw[0] = i % 100;
        }
        journal.Append(samples);
    }
    // The question's words are the session's (its own tests); here, that the window asks at all.
    QTimer answer;
    answer.setInterval(10);
    QObject::connect(&answer, &QTimer::timeout, [&] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            QAbstractButton* yes = box->button(QMessageBox::Yes);
            (yes ? yes : box->button(QMessageBox::Ok))->click();
        }
    });
    answer.start();
    tagLanguageState languages;
    CChronoscopeDlg window(languages);
    window.show();
    RunEventLoop(300);
    answer.stop();
    EXPECT_EQ(window.Session().Traces().Trace(0).GetPointCount(), 500u);
    EXPECT_EQ(Table(window).CellText(0, CChannelTable::COL_LATEST), QStringLiteral("99"));
}

TEST_P(MainWindowTest, MessagesSayWhyWithTheIconOfTheirKindUnderATitleThatFits) {
    tagLanguageState languages;
    CChronoscopeDlg window(languages);
    window.show();
    RunEventLoop(50); // the start-up load
    CMonitorSession& session = window.Session();
    // A journal that is not a database: the failure, with the reason below it.
    { std::ofstream(m_documents.File("junk.journal")) << std::string(3000, 'j'); }
    session.Journal().Use(m_documents.File("junk.journal"));
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QString detail;
    int width = 0, titleWidth = 0;
    ASSERT_TRUE(AnswerModal<QMessageBox>(
        [&](QMessageBox& box) {
            icon = box.icon();
            detail = box.informativeText();
            width = box.width();
            titleWidth = box.fontMetrics().horizontalAdvance(box.windowTitle());
            RenderWidget(box, QStringLiteral("message-problem-%1.png").arg(Language()));
            box.button(QMessageBox::Ok)->click();
        },
        [&] { session.OfferRecovery(); }));
    EXPECT_EQ(icon, QMessageBox::Warning);
    EXPECT_TRUE(detail.contains(QStringLiteral("junk.journal"))) << detail.toStdString();
    EXPECT_GT(width, titleWidth + 100); // room for the title bar's buttons: the title is not cut

    // A question, then a notice.
    session.Channels().Add({"D0", 0, GCM_INT, DefaultChannelColours[0]});
    session.Traces().Trace(0).AddPoint(0, 1);
    ASSERT_TRUE(AnswerModal<QMessageBox>(
        [&](QMessageBox& box) {
            icon = box.icon();
            box.button(QMessageBox::No)->click();
        },
        [&] { session.OnClearTracks(); }));
    EXPECT_EQ(icon, QMessageBox::Question);
    EXPECT_EQ(session.Traces().Trace(0).GetPointCount(), 1u);
    EXPECT_EQ(window.windowTitle(), QStringLiteral("KALDOR-") + LoadStringById(IDS_CAPTION));
}

TEST_P(MainWindowTest, TheOpenDialogStartsInLadderDeskShowingBothKindsOfFile) {
    tagLanguageState languages;
    CChronoscopeDlg window(languages);
    window.show();
    RunEventLoop(50);
    window.Session().Channels().Add({"D0", 0, GCM_INT, DefaultChannelColours[0]});
    QString folder;
    QStringList filters;
    ASSERT_TRUE(AnswerModal<QFileDialog>(
        [&](QFileDialog& dialog) {
            folder = dialog.directory().absolutePath();
            filters = dialog.nameFilters();
            dialog.reject();
        },
        [&] { window.Session().OnImportData(); }));
    EXPECT_EQ(folder + QLatin1Char('/'), QString::fromStdString(g_LadderDeskFolder()));
    ASSERT_EQ(filters.size(), 3);
    EXPECT_EQ(filters[0], QStringLiteral("Chrono Data(*.data *.csv)"));
    EXPECT_EQ(filters[1], QStringLiteral("Chrono Data(*.csv)"));
}
