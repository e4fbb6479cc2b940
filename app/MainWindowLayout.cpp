#include "MainWindowLayout.h"

#include "dialogs/DialogUnits.h"

#include <QWidget>

#include <algorithm>
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
    {CMainWindowLayout::IDC_CHART, {2, 1, 728, 297}, {2, 1, 728, 311}},
    {CMainWindowLayout::IDC_TABLE, {2, 299, 728, 125}, {2, 314, 728, 135}},
    {CMainWindowLayout::IDC_MEASUREMENT, {747, 11, 58, 10}, {747, 11, 58, 10}},
    {CMainWindowLayout::IDC_ADAPTIVE, {747, 28, 57, 10}, {747, 28, 57, 10}},
    {CMainWindowLayout::IDC_PERIOD_LABEL, {747, 46, 51, 8}, {747, 46, 51, 8}},
    {CMainWindowLayout::IDC_PERIOD, {747, 58, 50, 13}, {747, 58, 50, 13}},
    {CMainWindowLayout::IDC_TIME_AXIS_LABEL, {747, 78, 54, 8}, {747, 78, 54, 8}},
    {CMainWindowLayout::IDC_TIME_AXIS, {747, 90, 50, 13}, {747, 90, 50, 13}},
    {CMainWindowLayout::IDC_WRITE_GROUP, {738, 112, 67, 104}, {738, 112, 67, 104}},
    {CMainWindowLayout::IDC_ADDRESS_LABEL, {747, 125, 48, 8}, {747, 125, 48, 8}},
    {CMainWindowLayout::IDC_ADDRESS, {747, 137, 50, 13}, {747, 137, 50, 13}},
    {CMainWindowLayout::IDC_VALUE_LABEL, {747, 158, 33, 8}, {747, 158, 33, 8}},
    {CMainWindowLayout::IDC_WRITE_TYPE, {768, 155, 32, 13}, {768, 155, 32, 13}},
    {CMainWindowLayout::IDC_VALUE, {747, 172, 50, 13}, {747, 172, 50, 13}},
    {CMainWindowLayout::IDC_WRITE, {747, 191, 50, 19}, {747, 191, 50, 19}},
    {CMainWindowLayout::IDC_CLEAR, {747, 222, 50, 19}, {747, 224, 50, 19}},
    {CMainWindowLayout::IDC_EXPORT, {747, 248, 50, 19}, {747, 253, 50, 19}},
    {CMainWindowLayout::IDC_IMPORT, {747, 274, 50, 19}, {747, 282, 50, 19}},
    {CMainWindowLayout::IDC_TRIGGER, {747, 300, 50, 19}, {747, 311, 50, 19}},
    {CMainWindowLayout::IDC_COMMUNICATE, {747, 326, 50, 19}, {747, 340, 50, 19}},
    {CMainWindowLayout::IDC_CHANNEL, {747, 352, 50, 19}, {747, 369, 50, 19}},
    {CMainWindowLayout::IDC_RUN, {747, 378, 50, 40}, {747, 398, 50, 40}},
};
constexpr tagDluRect kEnglishSize{0, 0, 812, 424};
constexpr tagDluRect kChineseSize{0, 0, 812, 451};

// The controls that follow the right edge. Each keeps the distance to the column's left edge
// that the template gives it at the dialog font in use (the write-type list a little to the
// right, the group box a little to the left).
constexpr int kRightColumn[] = {
    CMainWindowLayout::IDC_MEASUREMENT,   CMainWindowLayout::IDC_ADAPTIVE,
    CMainWindowLayout::IDC_PERIOD,        CMainWindowLayout::IDC_TIME_AXIS,
    CMainWindowLayout::IDC_ADDRESS,       CMainWindowLayout::IDC_VALUE,
    CMainWindowLayout::IDC_WRITE,         CMainWindowLayout::IDC_CLEAR,
    CMainWindowLayout::IDC_EXPORT,        CMainWindowLayout::IDC_IMPORT,
    CMainWindowLayout::IDC_TRIGGER,       CMainWindowLayout::IDC_COMMUNICATE,
    CMainWindowLayout::IDC_CHANNEL,       CMainWindowLayout::IDC_RUN,
    CMainWindowLayout::IDC_PERIOD_LABEL,  CMainWindowLayout::IDC_TIME_AXIS_LABEL,
    CMainWindowLayout::IDC_ADDRESS_LABEL, CMainWindowLayout::IDC_VALUE_LABEL,
    CMainWindowLayout::IDC_WRITE_TYPE,    CMainWindowLayout::IDC_WRITE_GROUP,
};

// The table keeps this much room to the status line, and the status line to the bottom edge.
constexpr int kTableBottomMargin = 2;
// The right column's positions may be pressed together to this share of the template's, which
// keeps a gap between any two of its controls.
constexpr double kTightestColumn = 0.78;
// The least the chart and the table keep beside and above the column's controls.
constexpr int kLeastChartWidth = 700;
constexpr int kLeastChartHeight = 160;

} // namespace

QSize CMainWindowLayout::PlaceFromTemplate(const Controls& controls, const QFont& font, bool chinese,
                                           int statusHeight) {
    const CDialogUnits units(font);
    for (const tagTemplateItem& item : kTemplate) {
        controls.at(item.id)->setGeometry(units.ToPixels(chinese ? item.chinese : item.english));
    }
    const QRect client = units.ToPixels(chinese ? kChineseSize : kEnglishSize);
    return client.size() + QSize(0, statusHeight);
}

void CMainWindowLayout::MeasureColumn(const Controls& controls, int windowWidth) {
    const QWidget* first = controls.at(IDC_MEASUREMENT);
    m_rightColumnOffset = windowWidth - first->x();
    m_columnTop = first->y();
    for (int id : kRightColumn) {
        const QWidget* control = controls.at(id);
        m_columnShift[id] = control->x() - first->x();
        m_columnTemplate[id] = control->geometry();
        m_columnBottom = std::max(m_columnBottom, control->geometry().bottom());
    }
}

void CMainWindowLayout::Apply(const Controls& controls, QSize window, QWidget& status, int statusHeight) {
    const int columnLeft = window.width() - m_rightColumnOffset;
    // Lower than the template: the column's gaps shrink (the minimum size keeps them open).
    const int room = window.height() - kTableBottomMargin - statusHeight - m_columnTop;
    const double squeeze =
        std::clamp(static_cast<double>(room) / (m_columnBottom - m_columnTop + 1), kTightestColumn, 1.0);
    for (int id : kRightColumn) {
        const QRect& at = m_columnTemplate[id];
        const int y = m_columnTop + static_cast<int>(std::lround((at.y() - m_columnTop) * squeeze));
        // The group box spans its fields: it shrinks with them.
        const int h =
            id == IDC_WRITE_GROUP ? static_cast<int>(std::lround(at.height() * squeeze)) : at.height();
        controls.at(id)->setGeometry(columnLeft + m_columnShift[id], y, at.width(), h);
    }
    QWidget& table = *controls.at(IDC_TABLE);
    QWidget& chart = *controls.at(IDC_CHART);
    const int tableHeight = table.height();
    const int right = columnLeft - 24;
    const int statusTop = window.height() - kTableBottomMargin - statusHeight;
    status.setGeometry(table.x(), statusTop, right - table.x(), statusHeight);
    const int tableBottom = statusTop - kTableBottomMargin;
    table.setGeometry(table.x(), tableBottom - tableHeight, right - table.x(), tableHeight);
    chart.setGeometry(chart.x(), chart.y(), right - chart.x(), table.y() - 2 - chart.y());
}

QSize CMainWindowLayout::SmallestSize(const Controls& controls, int statusHeight) const {
    const int column =
        m_columnTop + static_cast<int>(std::ceil((m_columnBottom - m_columnTop + 1) * kTightestColumn));
    const int chart = controls.at(IDC_CHART)->y() + kLeastChartHeight + 2 + controls.at(IDC_TABLE)->height();
    return {kLeastChartWidth + m_rightColumnOffset + 24,
            std::max(column, chart) + kTableBottomMargin * 2 + statusHeight};
}

QSize CMainWindowLayout::FitToScreen(QSize size, QSize smallest, const QRect& available) {
    // The frame the window manager adds is not known before the window shows: allow for one.
    const QSize room = available.size() - QSize(16, 40);
    return {std::max(std::min(size.width(), room.width()), smallest.width()),
            std::max(std::min(size.height(), room.height()), smallest.height())};
}
