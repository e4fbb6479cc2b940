#include "ChronoscopeDlg.h"

#include "AppIcon.h"
#include "ChannelTable.h"
#include "ChartImageMenu.h"
#include "StatisticsMenu.h"
#include "StatusLine.h"
#include "acquisition/ChannelModel.h"
#include "chart/ChartTraceDisplay.h"
#include "chart/qt/ChartWidget.h"
#include "dialogs/BufferSettingDlg.h"
#include "dialogs/ColourPicker.h"
#include "dialogs/CommSettingDlg.h"
#include "dialogs/DataFileDialog.h"
#include "dialogs/DialogUnits.h"
#include "dialogs/ElemSelectDlg.h"
#include "dialogs/LanguageDlg.h"
#include "dialogs/MessageBox.h"
#include "dialogs/StringTable.h"
#include "dialogs/TriggerSettingDlg.h"
#include "files/WorkspacePaths.h"
#include "kit/DocPath.h"
#include "kit/KitHelpers.h"
#include "link/Communicater.h"
#include "session/ReasonTexts.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QCursor>
#include <QEvent>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QMessageBox>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QScreen>
#include <QSignalBlocker>
#include <QToolTip>

#include <algorithm>
#include <array>
#include <cmath>

namespace {

bool IsChinese() {
    return QLocale().language() == QLocale::Chinese;
}

} // namespace

CChronoscopeDlg::CChronoscopeDlg(tagLanguageState& languages, QWidget* parent)
    : QDialog(parent), m_languages(languages), m_chinese(IsChinese()) {
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinMaxButtonsHint |
                   Qt::WindowCloseButtonHint);
    setWindowIcon(g_AppIcon());
    setFont(g_DialogFont(m_chinese));
    setWindowTitle(QStringLiteral("KALDOR-") + LoadStringById(IDS_CAPTION));

    CreateControls();
    resize(m_layout.PlaceFromTemplate(m_controls, font(), m_chinese, StatusLineHeight()));
    m_layout.MeasureColumn(m_controls, width());
    setMinimumSize(m_layout.SmallestSize(m_controls, StatusLineHeight()));
    if (const QScreen* shown = screen()) {
        resize(CMainWindowLayout::FitToScreen(size(), minimumSize(), shown->availableGeometry()));
    }
    OnSize(); // the chart's size before the traces and their cursors are placed on it

    CSessionView& view = *this;
    m_session = std::make_unique<CMonitorSession>(view);
    const tagMonitorState& initial = m_session->State();
    m_display = std::make_unique<CChartTraceDisplay>(m_chart->Chart(), m_session->Traces(),
                                                     LoadStringById(IDS_TIMELINE).toStdString(),
                                                     initial.timeAxisStep, initial.measurement);
    m_display->SetArmedNoticeText(LoadStringById(IDS_TRIGGER_ARMED).toStdString());
    m_session->AttachDisplay(*m_display);
    uint32_t protocol = m_session->State().protocol;
    CCommunicater::SetProtocal(&protocol);
    m_session->Link().Apply();

    // The menu's items that need the session, after the switches CreateWindowMenu put there.
    m_statistics = std::make_unique<CStatisticsMenu>(*this, *m_table, *m_session);
    m_chartImages = std::make_unique<CChartImageMenu>(*this, *m_chart, *m_session, m_fileFolder);
    m_table->SetupChannelTable(LoadStringById(IDS_TABLE_HEADER));
    m_session->Fields().LoadSettings();
    {
        const QSignalBlocker quiet(m_everySample);
        m_everySample->setChecked(m_session->Fields().Settings().everySample);
        const QSignalBlocker quietToo(m_checkWrites);
        m_checkWrites->setChecked(m_session->Fields().Settings().checkWrites);
        const QSignalBlocker quietGaps(m_showGaps);
        m_showGaps->setChecked(m_session->Fields().Settings().showGaps);
    }
    m_statistics->ShowSettings();
    PushStateToControls();
    UpdateRunControls(false);
    // Recordings go into the journal while they run; the workspace is loaded once the window is
    // showing, and then a journal left by a run that did not end cleanly is offered back.
    m_session->Journal().Use(JournalFilePath());
    m_session->ShowStatus();
    m_fileFolder = QString::fromStdString(g_LadderDeskFolder());
    Post([this] { m_session->LoadWorkspaceAtStart(); });
}

CChronoscopeDlg::~CChronoscopeDlg() {
    m_session.reset();
    m_display.reset();
}

QWidget* CChronoscopeDlg::Control(int id) const {
    auto it = m_controls.find(id);
    return it == m_controls.end() ? nullptr : it->second;
}

QWidget* CChronoscopeDlg::Add(int id, QWidget* widget) {
    // Each control is found by its id, also by the tests.
    m_controls[id] = widget;
    widget->setObjectName(QString::number(id));
    return widget;
}

QPushButton* CChronoscopeDlg::AddButton(int id, const QString& text, void (CChronoscopeDlg::*handler)()) {
    auto* button = new QPushButton(text, this);
    button->setAutoDefault(false);
    Add(id, button);
    connect(button, &QPushButton::clicked, this, handler);
    return button;
}

void CChronoscopeDlg::CreateControls() {
    m_chart = new CChartWidget(this);
    Add(IDC_CHART, m_chart);
    m_table = new CChannelTable(this);
    Add(IDC_TABLE, m_table);
    connect(m_table, &QTableWidget::cellClicked, this, &CChronoscopeDlg::OnTableClick);
    connect(m_table, &QTableWidget::cellDoubleClicked, this, &CChronoscopeDlg::OnTableDblClick);
    connect(m_table, &QTableWidget::cellChanged, this, &CChronoscopeDlg::OnTableAfterEdit);
    m_status = new CStatusLine(this);
    CreateColumn();
    CreateWindowMenu();
}

void CChronoscopeDlg::CreateColumn() {
    auto digitsOnly = [](QLineEdit* edit) {
        edit->setValidator(
            new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), edit));
    };
    m_measurement = new QCheckBox(tr("Measurement"), this);
    Add(IDC_MEASUREMENT, m_measurement);
    connect(m_measurement, &QCheckBox::clicked, this, &CChronoscopeDlg::OnMeasurement);
    m_adaptive = new QCheckBox(tr("Adaptive"), this);
    Add(IDC_ADAPTIVE, m_adaptive);
    connect(m_adaptive, &QCheckBox::clicked, this, &CChronoscopeDlg::OnAdaptive);

    Add(IDC_PERIOD_LABEL, new QLabel(tr("Period(ms):"), this));
    m_period = new QLineEdit(this);
    digitsOnly(m_period);
    Add(IDC_PERIOD, m_period);
    m_period->installEventFilter(this);
    Add(IDC_TIME_AXIS_LABEL, new QLabel(tr("Time Axis(ms):"), this));
    m_timeAxis = new QLineEdit(this);
    digitsOnly(m_timeAxis);
    Add(IDC_TIME_AXIS, m_timeAxis);
    m_timeAxis->installEventFilter(this);

    Add(IDC_WRITE_GROUP, new QGroupBox(tr("Element Write"), this));
    Add(IDC_ADDRESS_LABEL, new QLabel(tr("Address:"), this));
    m_address = new QLineEdit(this);
    Add(IDC_ADDRESS, m_address);
    Add(IDC_VALUE_LABEL, new QLabel(tr("Value:"), this));
    m_writeType = new QComboBox(this);
    m_writeType->addItems(
        {QStringLiteral("BOOL"), QStringLiteral("INT"), QStringLiteral("DINT"), QStringLiteral("REAL")});
    Add(IDC_WRITE_TYPE, m_writeType);
    m_value = new QLineEdit(this);
    Add(IDC_VALUE, m_value);
    m_value->installEventFilter(this);

    AddButton(IDC_WRITE, tr("Write"), &CChronoscopeDlg::OnWrite);
    AddButton(IDC_CLEAR, tr("Clear Tracks"), &CChronoscopeDlg::OnClearTracks);
    AddButton(IDC_EXPORT, tr("Export Data"), &CChronoscopeDlg::OnExportData);
    AddButton(IDC_IMPORT, tr("Import Data"), &CChronoscopeDlg::OnImportData);
    AddButton(IDC_TRIGGER, tr("Trigger"), &CChronoscopeDlg::OnTriggerSetting);
    AddButton(IDC_COMMUNICATE, tr("Communicate"), &CChronoscopeDlg::OnCommunicate);
    AddButton(IDC_CHANNEL, tr("Channel"), &CChronoscopeDlg::OnAddChannel);
    m_run = AddButton(IDC_RUN, LoadStringById(IDS_RUN), &CChronoscopeDlg::OnRun);
    // The group box lies behind the controls it frames.
    Control(IDC_WRITE_GROUP)->lower();
}

QAction* CChronoscopeDlg::AddMenuSwitch(int stringId, void (CChronoscopeDlg::*handler)(bool)) {
    auto* action = new QAction(LoadStringById(stringId), this);
    action->setCheckable(true);
    connect(action, &QAction::toggled, this, handler);
    addAction(action);
    return action;
}

void CChronoscopeDlg::CreateWindowMenu() {
    // The window menu, with the mnemonics of its texts as shortcuts: a right click on the window's
    // background opens it. The chart keeps its right button for panning.
    for (const auto& [stringId, command] :
         {std::pair{IDS_MENU_LANGUAGE, 32}, std::pair{IDS_MENU_CACHE_SIZE, 33}}) {
        const QString text = LoadStringById(stringId);
        if (text.isEmpty()) {
            continue;
        }
        auto* action = new QAction(text, this);
        const qsizetype mnemonic = text.indexOf(QLatin1Char('&'));
        if (mnemonic >= 0 && mnemonic + 1 < text.size()) {
            action->setShortcut(QKeySequence(QStringLiteral("Alt+") + text.at(mnemonic + 1)));
        }
        connect(action, &QAction::triggered, this, [this, command = command] { OnSysCommand(command); });
        addAction(action);
    }
    // Beside them, our own switches.
    m_everySample = AddMenuSwitch(IDS_MENU_EVERY_SAMPLE, &CChronoscopeDlg::OnEverySample);
    m_checkWrites = AddMenuSwitch(IDS_MENU_CHECK_WRITES, &CChronoscopeDlg::OnCheckWrites);
    m_showGaps = AddMenuSwitch(IDS_MENU_SHOW_GAPS, &CChronoscopeDlg::OnShowGaps);
    setContextMenuPolicy(Qt::ActionsContextMenu);
    m_chart->setContextMenuPolicy(Qt::PreventContextMenu);
    m_table->setContextMenuPolicy(Qt::PreventContextMenu);
}

void CChronoscopeDlg::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    OnSize();
}

void CChronoscopeDlg::OnSize() {
    if (!m_table || isMinimized()) {
        return;
    }
    m_layout.Apply(m_controls, size(), *m_status, StatusLineHeight());
    m_table->LayoutTableColumns();
    if (m_session) {
        m_session->Fields().SetMaximized(isMaximized());
        m_session->Readouts().UpdateCursorReadouts();
    }
}

int CChronoscopeDlg::StatusLineHeight() const {
    return fontMetrics().height() + 4;
}

namespace {

std::string Lookup(int id) {
    return LoadStringById(id).toStdString();
}

} // namespace

void CChronoscopeDlg::ShowTriggerStatus(const tagTriggerStatus& status) {
    m_status->SetPart(CStatusLine::PART_TRIGGER, QString::fromStdString(g_TriggerStatusText(status, Lookup)));
}

void CChronoscopeDlg::ShowLinkStatistics(const tagLinkStatistics& statistics) {
    m_status->SetPart(CStatusLine::PART_LINK, QString::fromStdString(g_LinkStatusText(statistics, Lookup)),
                      QString::fromStdString(g_LinkStatisticsDetail(statistics, Lookup)));
}

void CChronoscopeDlg::ShowSessionStatus(const tagSessionStatus& status) {
    m_status->SetPart(CStatusLine::PART_SESSION, QString::fromStdString(g_SessionStatusText(status, Lookup)),
                      QString::fromStdString(g_SessionStatusDetail(status)));
}

void CChronoscopeDlg::PushStateToControls() {
    const tagMonitorState& state = m_session->State();
    m_measurement->setChecked(state.measurement);
    m_adaptive->setChecked(state.adaptive);
    m_period->setText(QString::number(state.period));
    m_timeAxis->setText(QString::number(state.timeAxisStep));
    m_address->setText(QString::fromStdString(state.writeAddress));
    m_value->setText(QString::fromStdString(state.writeValue));
    m_writeType->setCurrentIndex(state.writeTypeIndex);
    if (state.maximized && !isMaximized()) {
        showMaximized();
    }
}

void CChronoscopeDlg::ReadWriteFields() {
    m_session->Fields().SetWriteFields(m_address->text().toStdString(), m_value->text().toStdString(),
                                       m_writeType->currentIndex());
}

void CChronoscopeDlg::UpdateRunControls(bool recording) {
    m_run->setText(LoadStringById(recording ? IDS_STOP : IDS_RUN));
    for (int id :
         {IDC_PERIOD, IDC_COMMUNICATE, IDC_CHANNEL, IDC_CLEAR, IDC_EXPORT, IDC_IMPORT, IDC_TRIGGER}) {
        Control(id)->setEnabled(!recording);
    }
}

void CChronoscopeDlg::OnRun() {
    // Run reads the fields the user may not have left yet.
    OnPeriodChanged();
    OnTimeAxisChanged();
    ReadWriteFields();
    m_session->OnRun();
}

void CChronoscopeDlg::OnClearTracks() {
    m_session->OnClearTracks();
}

void CChronoscopeDlg::OnAddChannel() {
    if (!m_session->BeginAddChannel()) {
        return;
    }
    CElemSelectDlg dialog(true, this);
    dialog.m_record.colour = m_session->Channels().NextColour();
    if (dialog.exec() == QDialog::Accepted) {
        m_session->Channels().Add(dialog.m_record);
    }
}

void CChronoscopeDlg::OnWrite() {
    ReadWriteFields();
    m_session->OnWrite();
}

void CChronoscopeDlg::OnMeasurement() {
    m_session->Fields().OnMeasurement(m_measurement->isChecked());
}

void CChronoscopeDlg::OnAdaptive() {
    m_session->Fields().OnAdaptive(m_adaptive->isChecked());
}

void CChronoscopeDlg::OnTimeAxisChanged() {
    m_session->Fields().OnTimeAxisChanged(m_timeAxis->text().toStdString());
}

void CChronoscopeDlg::OnPeriodChanged() {
    m_session->Fields().OnPeriodChanged(m_period->text().toStdString());
}

void CChronoscopeDlg::OnCommunicate() {
    tagLinkFields fields = m_session->Link().BeginCommSettings();
    CCommSettingDlg dialog(fields.link, fields.interfaceType, this);
    const bool accepted = dialog.exec() == QDialog::Accepted;
    m_session->Link().EndCommSettings(accepted, fields);
    m_session->ShowStatus();
}

void CChronoscopeDlg::OnTriggerSetting() {
    std::optional<tagTriggerDialogFields> fields = m_session->Fields().BeginTriggerSetting();
    if (fields && CTriggerSettingDlg(this).Edit(*fields)) {
        m_session->Fields().ApplyTriggerSetting(*fields);
    }
}

void CChronoscopeDlg::OnExportData() {
    m_session->OnExportData();
}

void CChronoscopeDlg::OnImportData() {
    m_session->OnImportData();
}

void CChronoscopeDlg::OnTableClick(int row, int column) {
    if (row < 0) {
        return;
    }
    const auto k = static_cast<size_t>(row);
    switch (column) {
    case CChannelTable::COL_VISIBLE:
        m_table->clearSelection();
        m_session->Channels().ToggleVisibility(k);
        break;
    case CChannelTable::COL_COLOUR:
        m_table->clearSelection();
        if (k < m_session->State().channels.size()) {
            if (const std::optional<uint32_t> colour =
                    g_PickTraceColour(m_session->State().channels[k].colour, this)) {
                m_session->Channels().SetColour(k, *colour);
            }
        }
        break;
    case CChannelTable::COL_MODIFY:
        m_table->clearSelection();
        if (m_session->Channels().CanEdit() && k < m_session->State().channels.size()) {
            CElemSelectDlg dialog(false, this);
            dialog.m_record = m_session->State().channels[k];
            if (dialog.exec() == QDialog::Accepted) {
                m_session->Channels().Modify(k, dialog.m_record);
            }
        }
        break;
    case CChannelTable::COL_DELETE:
        m_table->clearSelection();
        m_session->Channels().RequestDelete(k);
        break;
    default:
        break;
    }
}

void CChronoscopeDlg::OnTableDblClick(int row, int column) {
    if (row >= 0 && column == CChannelTable::COL_SCALE) {
        m_table->editItem(m_table->item(row, column));
    }
}

void CChronoscopeDlg::OnTableAfterEdit(int row, int column) {
    if (column == CChannelTable::COL_SCALE && row >= 0) {
        m_session->Channels().SetScaleText(static_cast<size_t>(row),
                                           m_table->CellText(row, column).toStdString());
    }
}

void CChronoscopeDlg::OnSysCommand(int id) {
    if (id == 32) {
        if (m_languages.lastChosen < 0) {
            m_languages.lastChosen = m_languages.inEffect;
        }
        CLanguageDlg dialog(m_languages.lastChosen, m_languages.inEffect, this);
        if (dialog.exec() == QDialog::Accepted && dialog.m_saved && AskYesNo(IDS_RESTART_CONFIRM)) {
            m_restartRequested = true;
            reject();
        }
    } else if (id == 33) {
        const tagMonitorState& state = m_session->State();
        CBufferSettingDlg dialog(this);
        dialog.Set(state.autoSave, state.cacheSize);
        if (dialog.exec() == QDialog::Accepted) {
            uint32_t autoSave = 0, cacheSize = 0;
            dialog.Get(autoSave, cacheSize);
            m_session->Fields().SetCache(autoSave != 0, cacheSize);
        }
    }
}

void CChronoscopeDlg::OnEverySample(bool on) {
    m_session->Fields().SetEverySample(on);
}

void CChronoscopeDlg::OnShowGaps(bool on) {
    m_session->Fields().SetShowGaps(on);
}

void CChronoscopeDlg::OnCheckWrites(bool on) {
    m_session->Fields().SetCheckWrites(on);
}

void CChronoscopeDlg::ShowCursorStatistics(const std::vector<tagCursorStatistics>& rows) {
    m_table->ShowCursorStatistics(rows, m_session->Fields().Settings().cursorStatistics,
                                  LoadStringById(IDS_STATISTICS_COUNT));
}

void CChronoscopeDlg::reject() {
    // Close box and Escape: stop the worker (no stop command on this path) and close.
    if (!m_session->StopWorker()) {
        return;
    }
    QDialog::reject();
}

void CChronoscopeDlg::keyPressEvent(QKeyEvent* event) {
    // Enter never closes the window.
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

bool CChronoscopeDlg::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            if (watched == m_timeAxis) {
                OnTimeAxisChanged();
            } else if (watched == m_value) {
                OnWrite();
            }
            return true;
        }
    } else if (event->type() == QEvent::FocusOut) {
        if (watched == m_timeAxis) {
            OnTimeAxisChanged();
        } else if (watched == m_period) {
            OnPeriodChanged();
        }
    }
    return QDialog::eventFilter(watched, event);
}

void CChronoscopeDlg::Post(std::function<void()> work) {
    // Dropped with the window when it goes before the work runs.
    QMetaObject::invokeMethod(this, std::move(work), Qt::QueuedConnection);
}

void CChronoscopeDlg::ShowResult(const tagResult& result) {
    if (result.stringId == 0) {
        return;
    }
    const QString text =
        QString::fromStdString(g_FormatText(LoadStringById(result.stringId).toStdString(), result.arguments));
    g_ShowMessage(this, result.ok ? EnumMessageKind::Notice : EnumMessageKind::Problem, text,
                  QString::fromStdString(g_ReasonText(result.detail, Lookup)),
                  QString::fromStdString(result.detail));
}

CSessionView::EnumExitChoice CChronoscopeDlg::AskExitChoice(const tagResult& failure) {
    const int chosen = g_AskChoice(
        this, LoadStringById(IDS_EXIT_NOT_SAVED),
        QString::fromStdString(g_ReasonText(failure.detail, Lookup)),
        {LoadStringById(IDS_EXIT_RETRY), LoadStringById(IDS_EXIT_SAVE_AS), LoadStringById(IDS_EXIT_DISCARD)});
    // Closing the box is no answer: it asks again.
    return chosen == 1   ? EnumExitChoice::SaveAs
           : chosen == 2 ? EnumExitChoice::Discard
                         : EnumExitChoice::Retry;
}

bool CChronoscopeDlg::AskYesNo(int stringId, const std::vector<std::string>& arguments) {
    const QString text =
        QString::fromStdString(g_FormatText(LoadStringById(stringId).toStdString(), arguments));
    return g_ShowMessage(this, EnumMessageKind::Question, text) == QMessageBox::Yes;
}

void CChronoscopeDlg::SetWaitCursor(bool on) {
    if (on) {
        QApplication::setOverrideCursor(Qt::WaitCursor);
    } else {
        QApplication::restoreOverrideCursor();
    }
}

std::string CChronoscopeDlg::AskSavePath(const std::string& proposedName) {
    return g_RunDataFileDialog(this, true, QString::fromStdString(proposedName), m_fileFolder);
}

std::string CChronoscopeDlg::AskOpenPath() {
    return g_RunDataFileDialog(this, false, QString(), m_fileFolder);
}

void CChronoscopeDlg::ShowPeriod(uint32_t period) {
    m_period->setText(QString::number(period));
}

void CChronoscopeDlg::ShowTimeAxisStep(uint32_t step) {
    m_timeAxis->setText(QString::number(step));
}

void CChronoscopeDlg::RefreshTable() {
    m_table->RebuildChannelTable(m_session->State().channels, m_session->Traces());
}

void CChronoscopeDlg::ShowStatistics(const std::vector<tagStatistics>& rows) {
    for (int k = 0; k < static_cast<int>(rows.size()); ++k) {
        const tagStatistics& row = rows[static_cast<size_t>(k)];
        m_table->SetCellText(k, CChannelTable::COL_LATEST, QString::fromStdString(row.latest));
        m_table->SetCellText(k, CChannelTable::COL_MIN, QString::fromStdString(row.min));
        m_table->SetCellText(k, CChannelTable::COL_MAX, QString::fromStdString(row.max));
    }
}

void CChronoscopeDlg::ShowCursorReadouts(const std::vector<tagCursorReadout>& rows) {
    for (int k = 0; k < static_cast<int>(rows.size()); ++k) {
        const tagCursorReadout& row = rows[static_cast<size_t>(k)];
        m_table->SetCellText(k, CChannelTable::COL_X1, QString::fromStdString(row.x1));
        m_table->SetCellText(k, CChannelTable::COL_X2, QString::fromStdString(row.x2));
        m_table->SetCellText(k, CChannelTable::COL_DX, QString::fromStdString(row.dx));
        m_table->SetCellText(k, CChannelTable::COL_DY, QString::fromStdString(row.dy));
    }
}

void CChronoscopeDlg::ShowScale(size_t channel, const std::string& text) {
    const QSignalBlocker quiet(m_table);
    m_table->SetCellText(static_cast<int>(channel), CChannelTable::COL_SCALE, QString::fromStdString(text));
}

void CChronoscopeDlg::ShowVisibility(size_t channel, bool visible) {
    m_table->SetVisibilityPicture(static_cast<int>(channel), visible);
}

void CChronoscopeDlg::ShowColour(size_t channel, uint32_t colour) {
    m_table->SetColourCell(static_cast<int>(channel), colour);
}

void CChronoscopeDlg::ShowTooltip(const std::string& text) {
    QString shown = QString::fromStdString(text);
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    m_chart->setToolTip(shown);
    if (m_chart->underMouse()) {
        QToolTip::showText(QCursor::pos(), shown, m_chart);
    }
}
