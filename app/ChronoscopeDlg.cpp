#include "ChronoscopeDlg.h"

#include "AppIcon.h"
#include "ChannelTable.h"
#include "ChronoscopeApp.h"
#include "acquisition/ChannelTableModel.h"
#include "chart/qt/ChartWidget.h"
#include "dialogs/BufferSettingDlg.h"
#include "dialogs/DialogUnits.h"
#include "dialogs/ElemSelectDlg.h"
#include "dialogs/LanguageDlg.h"
#include "dialogs/StringTable.h"
#include "link/Communicater.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QColorDialog>
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
#include <QToolTip>

#include <array>

namespace {

// The window's private posted message.
class CAcquisitionEvent : public QEvent {
public:
    static constexpr QEvent::Type kType = static_cast<QEvent::Type>(QEvent::User + WM_ACQUISITION_NOTIFY);
    CAcquisitionEvent(int wParam, int lParam) : QEvent(kType), wParam(wParam), lParam(lParam) {}
    int wParam;
    int lParam;
};

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

// The table keeps this much room to the window's bottom edge.
constexpr int kTableBottomMargin = 2;

bool IsChinese() {
    return QLocale().language() == QLocale::Chinese;
}

uint32_t ReadNumber(const QLineEdit* edit) {
    return edit->text().toUInt();
}

} // namespace

CChronoscopeDlg::CChronoscopeDlg(QWidget* parent) : QDialog(parent), m_chinese(IsChinese()) {
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinMaxButtonsHint |
                   Qt::WindowCloseButtonHint);
    setWindowIcon(g_AppIcon());
    setFont(g_DialogFont(m_chinese));
    setWindowTitle(QStringLiteral("KALDOR-") + LoadStringById(IDS_CAPTION));
    CCommunicater::SetProtocal(&m_state.protocol);
    CCommunicater::SetCommunicatCPPCfg(&m_state.link, this);

    CreateControls();
    LayoutFromTemplate();
    m_rightColumnOffset = width() - Control(IDC_MEASUREMENT)->x();
    for (int id : kRightColumn) {
        m_columnShift[id] = Control(id)->x() - Control(IDC_MEASUREMENT)->x();
    }

    // The chart: time axis with its title, value axis, six series and the two cursors.
    tagTraceCallbacks callbacks;
    callbacks.owner = this;
    callbacks.viewChanged = &CChronoscopeDlg::OnViewChanged;
    callbacks.mouseMoved = &CChronoscopeDlg::OnMouseMoved;
    callbacks.timeRangeChanged = &CChronoscopeDlg::OnTimeAxisRangeChanged;
    callbacks.cursorMoved = &CChronoscopeDlg::OnCursorMoved;
    m_traces = std::make_unique<CTraceSet>(m_chart->Chart(), LoadStringById(IDS_TIMELINE).toStdString(),
                                           m_state.timeAxisStep, m_state.measurement, callbacks);
    CRecorderView& view = *this;
    m_recorder = std::make_unique<CRecorder>(m_state, *m_traces, view);

    m_table->SetupChannelTable(LoadStringById(IDS_TABLE_HEADER));
    PushStateToControls();
    UpdateRunControls(false);
    // The workspace is loaded once the window is showing.
    PostNotify(NOTIFY_FAILURE, FAILURE_LOAD_WORKSPACE);
}

CChronoscopeDlg::~CChronoscopeDlg() {
    m_recorder.reset();
    m_traces.reset();
}

QWidget* CChronoscopeDlg::Control(int id) const {
    auto it = m_controls.find(id);
    return it == m_controls.end() ? nullptr : it->second;
}

void CChronoscopeDlg::CreateControls() {
    auto add = [this](int id, QWidget* widget) {
        m_controls[id] = widget;
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
    button(IDC_EXPORT, tr("Export Data"), nullptr);
    button(IDC_IMPORT, tr("Import Data"), nullptr);
    button(IDC_TRIGGER, tr("Trigger"), nullptr);
    button(IDC_COMMUNICATE, tr("Communicate"), nullptr);
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
    resize(client.size());
}

void CChronoscopeDlg::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    OnSize();
}

void CChronoscopeDlg::OnSize() {
    if (!m_table || !m_traces || isMinimized()) {
        return;
    }
    m_state.maximized = isMaximized() ? 1 : 0;
    const int columnLeft = width() - m_rightColumnOffset;
    for (int id : kRightColumn) {
        QWidget* control = Control(id);
        control->move(columnLeft + m_columnShift[id], control->y());
    }
    const int tableHeight = m_table->height();
    const int tableBottom = height() - kTableBottomMargin;
    const int right = columnLeft - 24;
    m_table->setGeometry(m_table->x(), tableBottom - tableHeight, right - m_table->x(), tableHeight);
    m_chart->setGeometry(m_chart->x(), m_chart->y(), right - m_chart->x(), m_table->y() - 2 - m_chart->y());
    m_table->LayoutTableColumns();
    UpdateCursorReadouts();
}

void CChronoscopeDlg::PushStateToControls() {
    m_measurement->setChecked(m_state.measurement);
    m_adaptive->setChecked(m_state.adaptive);
    m_period->setText(QString::number(m_state.period));
    m_timeAxis->setText(QString::number(m_state.timeAxisStep));
    m_address->setText(QString::fromStdString(m_state.writeAddress));
    m_value->setText(QString::fromStdString(m_state.writeValue));
    m_writeType->setCurrentIndex(m_state.writeTypeIndex);
}

void CChronoscopeDlg::ReadControls() {
    m_state.measurement = m_measurement->isChecked();
    m_state.adaptive = m_adaptive->isChecked();
    m_state.period = ReadNumber(m_period);
    m_state.timeAxisStep = ReadNumber(m_timeAxis);
    m_state.writeAddress = m_address->text().toStdString();
    m_state.writeValue = m_value->text().toStdString();
    m_state.writeTypeIndex = m_writeType->currentIndex();
}

void CChronoscopeDlg::UpdateRunControls(bool recording) {
    m_run->setText(LoadStringById(recording ? IDS_STOP : IDS_RUN));
    for (int id :
         {IDC_PERIOD, IDC_COMMUNICATE, IDC_CHANNEL, IDC_CLEAR, IDC_EXPORT, IDC_IMPORT, IDC_TRIGGER}) {
        Control(id)->setEnabled(!recording);
    }
}

void CChronoscopeDlg::RebuildChannelTable() {
    m_table->RebuildChannelTable(m_state.channels, *m_traces);
}

void CChronoscopeDlg::OnRun() {
    ReadControls();
    m_recorder->OnRun();
}

void CChronoscopeDlg::OnClearTracks() {
    if (QMessageBox::question(this, LoadStringById(IDS_APP_NAME), LoadStringById(IDS_CLEAR_CONFIRM),
                              QMessageBox::Yes | QMessageBox::No) != QMessageBox::Yes) {
        return;
    }
    m_recorder->ClearTracks();
    RebuildChannelTable();
}

void CChronoscopeDlg::AddChannelRecord(const tagOscilloElem& channel) {
    const size_t k = m_state.channels.size();
    m_state.channels.push_back(channel);
    m_traces->Serie(k).SetYScale(1.0);
    m_traces->ApplyChannel(k, channel);
    RebuildChannelTable();
}

void CChronoscopeDlg::OnAddChannel() {
    if (m_state.channels.size() >= kMaxChannels) {
        ShowMessage(IDS_TOO_MANY_CHANNELS);
        return;
    }
    CElemSelectDlg dialog(true, this);
    dialog.m_record.colour = m_traces->Serie(m_state.channels.size()).GetColor();
    if (dialog.exec() == QDialog::Accepted) {
        AddChannelRecord(dialog.m_record);
    }
}

void CChronoscopeDlg::OnWrite() {
    ReadControls();
    m_recorder->OnWrite();
}

void CChronoscopeDlg::OnMeasurement() {
    ReadControls();
    m_traces->SetMeasurement(m_state.measurement);
}

void CChronoscopeDlg::OnAdaptive() {
    ReadControls();
}

void CChronoscopeDlg::OnTimeAxisChanged() {
    ReadControls();
    if (m_state.timeAxisStep == 0) {
        m_state.timeAxisStep = CorrectTimeAxisStep(0);
        m_timeAxis->setText(QString::number(m_state.timeAxisStep));
    }
    m_traces->TimeAxis().SetBaseStep(m_state.timeAxisStep);
}

void CChronoscopeDlg::OnPeriodChanged() {
    ReadControls();
    const uint32_t corrected = ClampPeriod(m_state.period);
    if (corrected != m_state.period || m_period->text().isEmpty()) {
        m_state.period = corrected;
        m_period->setText(QString::number(corrected));
    }
}

void CChronoscopeDlg::OnTimeAxisRangeChanged(void* owner) {
    auto* self = static_cast<CChronoscopeDlg*>(owner);
    self->m_state.timeAxisStep = static_cast<uint32_t>(self->m_traces->TimeAxis().GetStep());
    self->m_timeAxis->setText(QString::number(self->m_state.timeAxisStep));
}

void CChronoscopeDlg::OnViewChanged(void* owner) {
    auto* self = static_cast<CChronoscopeDlg*>(owner);
    self->UpdateCursorReadouts();
    self->UpdateStatistics();
}

void CChronoscopeDlg::OnMouseMoved(void* owner) {
    static_cast<CChronoscopeDlg*>(owner)->UpdateChartTooltip();
}

void CChronoscopeDlg::OnCursorMoved(void* owner) {
    static_cast<CChronoscopeDlg*>(owner)->UpdateCursorReadouts();
}

void CChronoscopeDlg::UpdateStatistics() {
    const std::vector<tagStatistics> rows = ComputeStatistics(m_state.channels, *m_traces);
    for (int k = 0; k < static_cast<int>(rows.size()); ++k) {
        const tagStatistics& row = rows[static_cast<size_t>(k)];
        m_table->SetCellText(k, CChannelTable::COL_LATEST, QString::fromStdString(row.latest));
        m_table->SetCellText(k, CChannelTable::COL_MIN, QString::fromStdString(row.min));
        m_table->SetCellText(k, CChannelTable::COL_MAX, QString::fromStdString(row.max));
    }
}

void CChronoscopeDlg::UpdateCursorReadouts() {
    if (!m_traces) {
        return;
    }
    const std::vector<tagCursorReadout> rows =
        ComputeCursorReadouts(m_state.measurement, m_traces->CursorX1().GetPositionValue(),
                              m_traces->CursorX2().GetPositionValue(), m_state.channels, *m_traces);
    for (int k = 0; k < static_cast<int>(rows.size()); ++k) {
        const tagCursorReadout& row = rows[static_cast<size_t>(k)];
        m_table->SetCellText(k, CChannelTable::COL_X1, QString::fromStdString(row.x1));
        m_table->SetCellText(k, CChannelTable::COL_X2, QString::fromStdString(row.x2));
        m_table->SetCellText(k, CChannelTable::COL_DX, QString::fromStdString(row.dx));
        m_table->SetCellText(k, CChannelTable::COL_DY, QString::fromStdString(row.dy));
    }
}

void CChronoscopeDlg::ApplyAdaptiveScaling() {
    for (size_t k : ::ApplyAdaptiveScaling(m_state.adaptive, m_state.channels, *m_traces)) {
        m_table->SetCellText(static_cast<int>(k), CChannelTable::COL_SCALE,
                             QString::fromStdString(ScaleText(m_traces->Serie(k).GetYScale())));
    }
}

void CChronoscopeDlg::UpdateChartTooltip() {
    QString text;
    CChartCtrl& chart = m_traces->Chart();
    if (chart.IsMouseFree() && !m_recorder->IsRecording()) {
        std::vector<std::string> names;
        for (int k = 0; k < static_cast<int>(m_state.channels.size()); ++k) {
            names.push_back(m_table->CellText(k, CChannelTable::COL_NAME).toStdString());
        }
        const double t = m_traces->TimeAxis().PixelToValue(chart.GetLastMousePoint().x);
        text = QString::fromStdString(ChartTooltipText(t, names, m_state.channels, *m_traces));
        text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    }
    if (text != m_tooltip) {
        m_tooltip = text;
        m_chart->setToolTip(text);
        if (m_chart->underMouse()) {
            QToolTip::showText(QCursor::pos(), text, m_chart);
        }
    }
}

void CChronoscopeDlg::OnTableClick(int row, int column) {
    if (row < 0 || row >= static_cast<int>(m_state.channels.size())) {
        return;
    }
    const auto k = static_cast<size_t>(row);
    CChartLineSerie& serie = m_traces->Serie(k);
    switch (column) {
    case CChannelTable::COL_VISIBLE:
        m_table->clearSelection();
        serie.SetVisible(!serie.IsVisible());
        m_table->SetVisibilityPicture(row, serie.IsVisible());
        UpdateCursorReadouts();
        UpdateStatistics();
        break;
    case CChannelTable::COL_COLOUR: {
        m_table->clearSelection();
        const uint32_t c = m_state.channels[k].colour;
        const QColor picked =
            QColorDialog::getColor(QColor(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF), this);
        if (picked.isValid()) {
            const uint32_t colour = PickedColour(ChartRGB(static_cast<uint8_t>(picked.red()),
                                                          static_cast<uint8_t>(picked.green()),
                                                          static_cast<uint8_t>(picked.blue())));
            m_state.channels[k].colour = colour;
            serie.SetColor(colour);
            m_table->SetColourCell(row, colour);
        }
        break;
    }
    case CChannelTable::COL_MODIFY: {
        m_table->clearSelection();
        if (m_recorder->IsRecording()) {
            break;
        }
        CElemSelectDlg dialog(false, this);
        dialog.m_record = m_state.channels[k];
        if (dialog.exec() == QDialog::Accepted) {
            ModifyChannel(k, dialog.m_record);
        }
        break;
    }
    case CChannelTable::COL_DELETE:
        m_table->clearSelection();
        if (m_recorder->IsRecording()) {
            break;
        }
        if (QMessageBox::question(this, LoadStringById(IDS_APP_NAME), LoadStringById(IDS_DELETE_CONFIRM),
                                  QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes) {
            DeleteChannelRow(k);
        }
        break;
    default:
        break;
    }
}

void CChronoscopeDlg::ModifyChannel(size_t k, const tagOscilloElem& record) {
    m_state.channels[k] = record;
    CChartLineSerie& serie = m_traces->Serie(k);
    m_traces->Chart().SetRedrawEnabled(false);
    serie.ClearSerie(); // the old points belong to the old element
    m_traces->ApplyChannel(k, record);
    m_traces->Chart().SetRedrawEnabled(true);
    RebuildChannelTable();
}

void CChronoscopeDlg::DeleteChannelRow(size_t k) {
    m_table->removeRow(static_cast<int>(k));
    DeleteChannel(m_state, *m_traces, k);
}

void CChronoscopeDlg::OnTableDblClick(int row, int column) {
    if (row >= 0 && column == CChannelTable::COL_SCALE) {
        m_table->editItem(m_table->item(row, column));
    }
}

void CChronoscopeDlg::OnTableAfterEdit(int row, int column) {
    if (column != CChannelTable::COL_SCALE || row < 0 || row >= static_cast<int>(m_state.channels.size())) {
        return;
    }
    const double scale = ParseScale(m_table->CellText(row, column).toStdString());
    m_traces->Serie(static_cast<size_t>(row)).SetYScale(scale);
    m_table->SetCellText(row, column, QString::fromStdString(ScaleText(scale)));
}

void CChronoscopeDlg::OnSysCommand(int id) {
    CChronoscopeApp* app = CChronoscopeApp::Current();
    if (id == 32 && app) {
        if (app->m_lastChosenLanguage < 0) {
            app->m_lastChosenLanguage = app->m_languageInEffect;
        }
        CLanguageDlg dialog(app->m_lastChosenLanguage, app->m_languageInEffect, this);
        if (dialog.exec() == QDialog::Accepted && dialog.m_saved &&
            QMessageBox::question(this, LoadStringById(IDS_APP_NAME), LoadStringById(IDS_RESTART_CONFIRM),
                                  QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes) {
            app->m_restartRequested = 1;
            reject();
        }
    } else if (id == 33) {
        CBufferSettingDlg dialog(this);
        dialog.Set(m_state.autoSave, m_state.cacheSize);
        if (dialog.exec() == QDialog::Accepted) {
            dialog.Get(m_state.autoSave, m_state.cacheSize);
        }
    }
}

void CChronoscopeDlg::reject() {
    // Close box and Escape: stop the worker (no stop command on this path) and close.
    if (!m_recorder->StopWorker()) {
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

void CChronoscopeDlg::customEvent(QEvent* event) {
    if (event->type() == CAcquisitionEvent::kType) {
        const auto* notify = static_cast<CAcquisitionEvent*>(event);
        m_recorder->OnAcquisitionNotify(notify->wParam, notify->lParam);
    }
}

void CChronoscopeDlg::PostNotify(int wParam, int lParam) {
    QCoreApplication::postEvent(this, new CAcquisitionEvent(wParam, lParam));
}

void CChronoscopeDlg::PumpMessages() {
    QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
}

void CChronoscopeDlg::ShowMessage(int stringId) {
    QMessageBox::information(this, LoadStringById(IDS_APP_NAME), LoadStringById(stringId));
}

void CChronoscopeDlg::ShowPeriod(uint32_t period) {
    m_period->setText(QString::number(period));
}

void CChronoscopeDlg::AfterBatch() {
    ApplyAdaptiveScaling();
    UpdateCursorReadouts();
    UpdateStatistics();
}

void CChronoscopeDlg::SetWaitCursor(bool on) {
    if (on) {
        QApplication::setOverrideCursor(Qt::WaitCursor);
    } else {
        QApplication::restoreOverrideCursor();
    }
}
