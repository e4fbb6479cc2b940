#include "ChronoscopeDlg.h"

#include "AppIcon.h"
#include "ChannelTable.h"
#include "chart/ChartTraceDisplay.h"
#include "chart/qt/ChartWidget.h"
#include "dialogs/BufferSettingDlg.h"
#include "dialogs/ColourPicker.h"
#include "dialogs/CommSettingDlg.h"
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

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QCursor>
#include <QDir>
#include <QEvent>
#include <QFileDialog>
#include <QFileInfo>
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

struct tagTemplateItem {
    int id;
    tagDluRect english;
    tagDluRect chinese;
};

// Window template 102 in both languages (dialog units). The drop-down list is given the height of
// its closed field.
constexpr tagTemplateItem kTemplate[] = {
    {CChronoscopeDlg::IDC_CHART, {2, 1, 728, 297}, {2, 1, 728, 311}},
    {CChronoscopeDlg::IDC_TABLE, {2, 299, 728, 125}, {2, 314, 728, 135}},
    {CChronoscopeDlg::IDC_MEASUREMENT, {747, 11, 58, 10}, {747, 11, 58, 10}},
    {CChronoscopeDlg::IDC_ADAPTIVE, {747, 28, 57, 10}, {747, 28, 57, 10}},
    {CChronoscopeDlg::IDC_PERIOD_LABEL, {747, 46, 51, 8}, {747, 46, 51, 8}},
    {CChronoscopeDlg::IDC_PERIOD, {747, 58, 50, 13}, {747, 58, 50, 13}},
    {CChronoscopeDlg::IDC_TIME_AXIS_LABEL, {747, 78, 54, 8}, {747, 78, 54, 8}},
    {CChronoscopeDlg::IDC_TIME_AXIS, {747, 90, 50, 13}, {747, 90, 50, 13}},
    {CChronoscopeDlg::IDC_WRITE_GROUP, {738, 112, 67, 104}, {738, 112, 67, 104}},
    {CChronoscopeDlg::IDC_ADDRESS_LABEL, {747, 125, 48, 8}, {747, 125, 48, 8}},
    {CChronoscopeDlg::IDC_ADDRESS, {747, 137, 50, 13}, {747, 137, 50, 13}},
    {CChronoscopeDlg::IDC_VALUE_LABEL, {747, 158, 33, 8}, {747, 158, 33, 8}},
    {CChronoscopeDlg::IDC_WRITE_TYPE, {768, 155, 32, 13}, {768, 155, 32, 13}},
    {CChronoscopeDlg::IDC_VALUE, {747, 172, 50, 13}, {747, 172, 50, 13}},
    {CChronoscopeDlg::IDC_WRITE, {747, 191, 50, 19}, {747, 191, 50, 19}},
    {CChronoscopeDlg::IDC_CLEAR, {747, 222, 50, 19}, {747, 224, 50, 19}},
    {CChronoscopeDlg::IDC_EXPORT, {747, 248, 50, 19}, {747, 253, 50, 19}},
    {CChronoscopeDlg::IDC_IMPORT, {747, 274, 50, 19}, {747, 282, 50, 19}},
    {CChronoscopeDlg::IDC_TRIGGER, {747, 300, 50, 19}, {747, 311, 50, 19}},
    {CChronoscopeDlg::IDC_COMMUNICATE, {747, 326, 50, 19}, {747, 340, 50, 19}},
    {CChronoscopeDlg::IDC_CHANNEL, {747, 352, 50, 19}, {747, 369, 50, 19}},
    {CChronoscopeDlg::IDC_RUN, {747, 378, 50, 40}, {747, 398, 50, 40}},
};
constexpr tagDluRect kEnglishSize{0, 0, 812, 424};
constexpr tagDluRect kChineseSize{0, 0, 812, 451};

// The controls that follow the right edge. Each keeps the distance to the column's left edge
// that the template gives it at the dialog font in use (the write-type list a little to the
// right, the group box a little to the left).
constexpr int kRightColumn[] = {
    CChronoscopeDlg::IDC_MEASUREMENT,   CChronoscopeDlg::IDC_ADAPTIVE,
    CChronoscopeDlg::IDC_PERIOD,        CChronoscopeDlg::IDC_TIME_AXIS,
    CChronoscopeDlg::IDC_ADDRESS,       CChronoscopeDlg::IDC_VALUE,
    CChronoscopeDlg::IDC_WRITE,         CChronoscopeDlg::IDC_CLEAR,
    CChronoscopeDlg::IDC_EXPORT,        CChronoscopeDlg::IDC_IMPORT,
    CChronoscopeDlg::IDC_TRIGGER,       CChronoscopeDlg::IDC_COMMUNICATE,
    CChronoscopeDlg::IDC_CHANNEL,       CChronoscopeDlg::IDC_RUN,
    CChronoscopeDlg::IDC_PERIOD_LABEL,  CChronoscopeDlg::IDC_TIME_AXIS_LABEL,
    CChronoscopeDlg::IDC_ADDRESS_LABEL, CChronoscopeDlg::IDC_VALUE_LABEL,
    CChronoscopeDlg::IDC_WRITE_TYPE,    CChronoscopeDlg::IDC_WRITE_GROUP,
};

// The table keeps this much room to the status line, and the status line to the bottom edge.
constexpr int kTableBottomMargin = 2;
// The right column's positions may be pressed together to this share of the template's, which
// keeps a gap between any two of its controls.
constexpr double kTightestColumn = 0.78;
// The least the chart and the table keep beside and above the column's controls.
constexpr int kLeastChartWidth = 700;
constexpr int kLeastChartHeight = 160;

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
    LayoutFromTemplate();
    m_rightColumnOffset = width() - Control(IDC_MEASUREMENT)->x();
    m_columnTop = Control(IDC_MEASUREMENT)->y();
    for (int id : kRightColumn) {
        m_columnShift[id] = Control(id)->x() - Control(IDC_MEASUREMENT)->x();
        m_columnTemplate[id] = Control(id)->geometry();
        m_columnBottom = std::max(m_columnBottom, Control(id)->geometry().bottom());
    }
    setMinimumSize(SmallestSize());
    FitToScreen();
    OnSize(); // the chart's size before the traces and their cursors are placed on it

    CSessionView& view = *this;
    m_session = std::make_unique<CMonitorSession>(view);
    const tagMonitorState& initial = m_session->State();
    m_display = std::make_unique<CChartTraceDisplay>(m_chart->Chart(), m_session->Traces(),
                                                     LoadStringById(IDS_TIMELINE).toStdString(),
                                                     initial.timeAxisStep, initial.measurement);
    m_session->AttachDisplay(*m_display);
    uint32_t protocol = m_session->State().protocol;
    CCommunicater::SetProtocal(&protocol);
    m_session->Link().Apply();

    m_table->SetupChannelTable(LoadStringById(IDS_TABLE_HEADER));
    m_session->Fields().LoadSettings();
    {
        const QSignalBlocker quiet(m_everySample);
        m_everySample->setChecked(m_session->Fields().Settings().everySample);
        const QSignalBlocker quietToo(m_checkWrites);
        m_checkWrites->setChecked(m_session->Fields().Settings().checkWrites);
    }
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

void CChronoscopeDlg::CreateControls() {
    // Each control is found by its id, also by the tests.
    auto add = [this](int id, QWidget* widget) {
        m_controls[id] = widget;
        widget->setObjectName(QString::number(id));
        return widget;
    };
    auto button = [&](int id, const QString& text, void (CChronoscopeDlg::*handler)()) {
        auto* b = new QPushButton(text, this);
        b->setAutoDefault(false);
        add(id, b);
        if (handler) {
            connect(b, &QPushButton::clicked, this, handler);
        }
        return b;
    };
    auto digitsOnly = [this](QLineEdit* edit) {
        edit->setValidator(
            new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), edit));
    };

    m_chart = new CChartWidget(this);
    add(IDC_CHART, m_chart);
    m_table = new CChannelTable(this);
    add(IDC_TABLE, m_table);
    connect(m_table, &QTableWidget::cellClicked, this, &CChronoscopeDlg::OnTableClick);
    connect(m_table, &QTableWidget::cellDoubleClicked, this, &CChronoscopeDlg::OnTableDblClick);
    connect(m_table, &QTableWidget::cellChanged, this, &CChronoscopeDlg::OnTableAfterEdit);
    m_status = new QLabel(this);
    m_status->setObjectName(QStringLiteral("status"));
    m_status->setTextFormat(Qt::PlainText);

    m_measurement = new QCheckBox(tr("Measurement"), this);
    add(IDC_MEASUREMENT, m_measurement);
    connect(m_measurement, &QCheckBox::clicked, this, &CChronoscopeDlg::OnMeasurement);
    m_adaptive = new QCheckBox(tr("Adaptive"), this);
    add(IDC_ADAPTIVE, m_adaptive);
    connect(m_adaptive, &QCheckBox::clicked, this, &CChronoscopeDlg::OnAdaptive);

    add(IDC_PERIOD_LABEL, new QLabel(tr("Period(ms):"), this));
    m_period = new QLineEdit(this);
    digitsOnly(m_period);
    add(IDC_PERIOD, m_period);
    m_period->installEventFilter(this);
    add(IDC_TIME_AXIS_LABEL, new QLabel(tr("Time Axis(ms):"), this));
    m_timeAxis = new QLineEdit(this);
    digitsOnly(m_timeAxis);
    add(IDC_TIME_AXIS, m_timeAxis);
    m_timeAxis->installEventFilter(this);

    add(IDC_WRITE_GROUP, new QGroupBox(tr("Element Write"), this));
    add(IDC_ADDRESS_LABEL, new QLabel(tr("Address:"), this));
    m_address = new QLineEdit(this);
    add(IDC_ADDRESS, m_address);
    add(IDC_VALUE_LABEL, new QLabel(tr("Value:"), this));
    m_writeType = new QComboBox(this);
    m_writeType->addItems(
        {QStringLiteral("BOOL"), QStringLiteral("INT"), QStringLiteral("DINT"), QStringLiteral("REAL")});
    add(IDC_WRITE_TYPE, m_writeType);
    m_value = new QLineEdit(this);
    add(IDC_VALUE, m_value);
    m_value->installEventFilter(this);

    button(IDC_WRITE, tr("Write"), &CChronoscopeDlg::OnWrite);
    button(IDC_CLEAR, tr("Clear Tracks"), &CChronoscopeDlg::OnClearTracks);
    button(IDC_EXPORT, tr("Export Data"), &CChronoscopeDlg::OnExportData);
    button(IDC_IMPORT, tr("Import Data"), &CChronoscopeDlg::OnImportData);
    button(IDC_TRIGGER, tr("Trigger"), &CChronoscopeDlg::OnTriggerSetting);
    button(IDC_COMMUNICATE, tr("Communicate"), &CChronoscopeDlg::OnCommunicate);
    button(IDC_CHANNEL, tr("Channel"), &CChronoscopeDlg::OnAddChannel);
    m_run = button(IDC_RUN, LoadStringById(IDS_RUN), &CChronoscopeDlg::OnRun);

    // The group box lies behind the controls it frames.
    Control(IDC_WRITE_GROUP)->lower();

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
    // Beside them, our own: every sample drawn, or the sampled drawing.
    m_everySample = new QAction(LoadStringById(IDS_MENU_EVERY_SAMPLE), this);
    m_everySample->setCheckable(true);
    connect(m_everySample, &QAction::toggled, this, &CChronoscopeDlg::OnEverySample);
    addAction(m_everySample);
    m_checkWrites = new QAction(LoadStringById(IDS_MENU_CHECK_WRITES), this);
    m_checkWrites->setCheckable(true);
    connect(m_checkWrites, &QAction::toggled, this, &CChronoscopeDlg::OnCheckWrites);
    addAction(m_checkWrites);
    setContextMenuPolicy(Qt::ActionsContextMenu);
    m_chart->setContextMenuPolicy(Qt::PreventContextMenu);
    m_table->setContextMenuPolicy(Qt::PreventContextMenu);
}

void CChronoscopeDlg::LayoutFromTemplate() {
    const CDialogUnits units(font());
    for (const tagTemplateItem& item : kTemplate) {
        Control(item.id)->setGeometry(units.ToPixels(m_chinese ? item.chinese : item.english));
    }
    const QRect client = units.ToPixels(m_chinese ? kChineseSize : kEnglishSize);
    resize(client.size() + QSize(0, StatusLineHeight()));
}

void CChronoscopeDlg::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    OnSize();
}

void CChronoscopeDlg::OnSize() {
    if (!m_table || isMinimized()) {
        return;
    }
    const int columnLeft = width() - m_rightColumnOffset;
    // Lower than the template: the column's gaps shrink (the minimum size keeps them open).
    const int room = height() - kTableBottomMargin - StatusLineHeight() - m_columnTop;
    const double squeeze =
        std::clamp(static_cast<double>(room) / (m_columnBottom - m_columnTop + 1), kTightestColumn, 1.0);
    for (int id : kRightColumn) {
        const QRect& at = m_columnTemplate[id];
        const int y = m_columnTop + static_cast<int>(std::lround((at.y() - m_columnTop) * squeeze));
        // The group box spans its fields: it shrinks with them.
        const int h =
            id == IDC_WRITE_GROUP ? static_cast<int>(std::lround(at.height() * squeeze)) : at.height();
        Control(id)->setGeometry(columnLeft + m_columnShift[id], y, at.width(), h);
    }
    const int tableHeight = m_table->height();
    const int right = columnLeft - 24;
    const int statusTop = height() - kTableBottomMargin - StatusLineHeight();
    m_status->setGeometry(m_table->x(), statusTop, right - m_table->x(), StatusLineHeight());
    const int tableBottom = statusTop - kTableBottomMargin;
    m_table->setGeometry(m_table->x(), tableBottom - tableHeight, right - m_table->x(), tableHeight);
    m_chart->setGeometry(m_chart->x(), m_chart->y(), right - m_chart->x(), m_table->y() - 2 - m_chart->y());
    m_table->LayoutTableColumns();
    if (m_session) {
        m_session->Fields().SetMaximized(isMaximized());
        m_session->Readouts().UpdateCursorReadouts();
    }
}

QSize CChronoscopeDlg::SmallestSize() const {
    const int column =
        m_columnTop + static_cast<int>(std::ceil((m_columnBottom - m_columnTop + 1) * kTightestColumn));
    const int chart = Control(IDC_CHART)->y() + kLeastChartHeight + 2 + m_table->height();
    return {kLeastChartWidth + m_rightColumnOffset + 24,
            std::max(column, chart) + kTableBottomMargin * 2 + StatusLineHeight()};
}

void CChronoscopeDlg::FitToScreen() {
    const QScreen* shown = screen();
    if (!shown) {
        return;
    }
    // The frame the window manager adds is not known before the window shows: allow for one.
    const QSize frame(16, 40);
    const QSize room = shown->availableGeometry().size() - frame;
    resize(std::max(std::min(width(), room.width()), minimumWidth()),
           std::max(std::min(height(), room.height()), minimumHeight()));
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
    m_triggerStatus = QString::fromStdString(g_TriggerStatusText(status, Lookup));
    ShowStatusLine();
}

void CChronoscopeDlg::ShowLinkStatistics(const tagLinkStatistics& statistics) {
    m_linkStatus = QString::fromStdString(g_SkippedTicksText(statistics, Lookup));
    ShowStatusLine();
}

void CChronoscopeDlg::ShowSessionStatus(const tagSessionStatus& status) {
    m_sessionStatus = QString::fromStdString(g_SessionStatusText(status, Lookup));
    ShowStatusLine();
}

void CChronoscopeDlg::ShowStatusLine() {
    QStringList parts;
    for (const QString& part : {m_sessionStatus, m_linkStatus, m_triggerStatus}) {
        if (!part.isEmpty()) {
            parts << part;
        }
    }
    const QString line = parts.join(QStringLiteral("    "));
    m_status->setText(line);
    m_status->setToolTip(line); // whole, also where a narrow window cuts the line
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
    if (!fields) {
        return;
    }
    CTriggerSettingDlg dialog(this);
    for (const std::string& name : fields->channelNames) {
        dialog.m_channelNames << QString::fromStdString(name);
    }
    dialog.m_enable = fields->enable;
    dialog.m_channel = fields->channel;
    dialog.m_condition = fields->condition;
    dialog.m_value = QString::fromStdString(fields->valueText);
    dialog.m_preTriggerMs = fields->preTriggerMs;
    dialog.m_repeat = fields->repeat;
    dialog.m_postTriggerMs = fields->postTriggerMs;
    if (dialog.exec() != QDialog::Accepted) {
        return;
    }
    fields->enable = dialog.m_enable;
    fields->channel = dialog.m_channel;
    fields->condition = dialog.m_condition;
    fields->valueText = dialog.m_value.toStdString();
    fields->preTriggerMs = dialog.m_preTriggerMs;
    fields->repeat = dialog.m_repeat;
    fields->postTriggerMs = dialog.m_postTriggerMs;
    m_session->Fields().ApplyTriggerSetting(*fields);
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

void CChronoscopeDlg::OnCheckWrites(bool on) {
    m_session->Fields().SetCheckWrites(on);
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
    g_ShowMessage(this, result.ok ? EnumMessageKind::Notice : EnumMessageKind::Problem,
                  LoadStringById(result.stringId), QString::fromStdString(result.detail));
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

namespace {

// The file dialog of both data buttons: CSV or data files, and no overwrite question of its own
// (the session asks). It opens in folder, which becomes the folder of the chosen file. Open shows
// both kinds of file at first.
std::string RunFileDialog(QWidget* parent, QFileDialog::AcceptMode mode, const QString& proposedName,
                          QString& folder) {
    QFileDialog dialog(parent);
    dialog.setAcceptMode(mode);
    dialog.setFileMode(mode == QFileDialog::AcceptSave ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    QDir().mkpath(folder);
    dialog.setDirectory(folder);
    const QString csv = QStringLiteral("Chrono Data(*.csv)");
    QStringList filters{csv, QStringLiteral("Chrono Data(*.data)")};
    if (mode == QFileDialog::AcceptOpen) {
        filters.prepend(QStringLiteral("Chrono Data(*.data *.csv)"));
    }
    dialog.setNameFilters(filters);
    // A bare name takes the extension of the chosen type, as the desktop's own dialogs do.
    dialog.setDefaultSuffix(QStringLiteral("csv"));
    QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog, [&dialog, csv](const QString& filter) {
        dialog.setDefaultSuffix(filter == csv ? QStringLiteral("csv") : QStringLiteral("data"));
    });
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    if (!proposedName.isEmpty()) {
        dialog.selectFile(proposedName);
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return {};
    }
    const QString chosen = dialog.selectedFiles().first();
    folder = QFileInfo(chosen).absolutePath();
    return chosen.toStdString();
}

} // namespace

std::string CChronoscopeDlg::AskSavePath(const std::string& proposedName) {
    return RunFileDialog(this, QFileDialog::AcceptSave, QString::fromStdString(proposedName), m_fileFolder);
}

std::string CChronoscopeDlg::AskOpenPath() {
    return RunFileDialog(this, QFileDialog::AcceptOpen, QString(), m_fileFolder);
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
