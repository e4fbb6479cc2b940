#include "ChannelTable.h"

#include "TableIcons.h"
#include "acquisition/ChannelModel.h"
#include "chart/qt/QtColour.h"
#include "kit/KitHelpers.h"
#include "kit/NumberText.h"

#include <QApplication>
#include <QHeaderView>
#include <QPainter>
#include <QSignalBlocker>
#include <QStringList>
#include <QStyle>
#include <QStyledItemDelegate>

#include <algorithm>
#include <array>
#include <cstdio>

namespace {

constexpr std::array<double, CChannelTable::kColumns> kWidthShares{
    0.03, 0.18, 0.06, 0.06, 0.075, 0.075, 0.075, 0.075, 0.075, 0.075, 0.075, 0.075, 0.03, 0.03};

QString Fixed(double v) {
    return QString::fromStdString(g_FixedText(v));
}

// Pictures sit in the middle of their cells.
class CCentredIconDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        QStyleOptionViewItem plain = option;
        initStyleOption(&plain, index);
        const QIcon icon = plain.icon;
        plain.icon = QIcon();
        plain.features &= ~QStyleOptionViewItem::HasDecoration;
        QApplication::style()->drawControl(QStyle::CE_ItemViewItem, &plain, painter, plain.widget);
        icon.paint(painter, option.rect, Qt::AlignCenter);
    }
};

} // namespace

CChannelTable::CChannelTable(QWidget* parent) : QTableWidget(parent) {
    auto* centred = new CCentredIconDelegate(this);
    for (int c : {COL_VISIBLE, COL_MODIFY, COL_DELETE}) {
        setItemDelegateForColumn(c, centred);
    }
    setColumnCount(kColumns);
    setRowCount(0);
    verticalHeader()->setVisible(false);
    horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    horizontalHeader()->setHighlightSections(false);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectItems);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setIconSize(QSize(16, 16));
    setWordWrap(false);
}

void CChannelTable::SetupChannelTable(const QString& header) {
    const QStringList pieces = header.split(QLatin1Char('|'));
    setColumnCount(kColumns);
    QStringList labels;
    for (int c = 0; c < kColumns; ++c) {
        labels << (c < pieces.size() ? pieces[c] : QString());
    }
    setHorizontalHeaderLabels(labels);
    LayoutTableColumns();
}

void CChannelTable::LayoutTableColumns() {
    // The table's own columns share the visible width. Extra columns take the share of a number
    // column each out of it, and at least their header's width; when that no longer fits, the
    // table scrolls sideways.
    const int extra = columnCount() - kColumns;
    const double own = 1.0 / (1.0 + kWidthShares[COL_LATEST] * std::max(0, extra));
    const int width = viewport()->width();
    for (int c = 0; c < kColumns; ++c) {
        setColumnWidth(c, static_cast<int>(width * kWidthShares[c] * own));
    }
    for (int c = kColumns; c < columnCount(); ++c) {
        setColumnWidth(c, std::max(static_cast<int>(width * kWidthShares[COL_LATEST] * own),
                                   fontMetrics().horizontalAdvance(horizontalHeaderItem(c)->text()) + 12));
    }
    setHorizontalScrollBarPolicy(extra > 0 ? Qt::ScrollBarAsNeeded : Qt::ScrollBarAlwaysOff);
}

void CChannelTable::SetExtraColumns(const QStringList& headers) {
    setColumnCount(kColumns + static_cast<int>(headers.size()));
    for (int c = 0; c < static_cast<int>(headers.size()); ++c) {
        setHorizontalHeaderItem(kColumns + c, new QTableWidgetItem(headers[c]));
    }
    LayoutTableColumns();
}

void CChannelTable::resizeEvent(QResizeEvent* event) {
    QTableWidget::resizeEvent(event);
    LayoutTableColumns();
}

QTableWidgetItem* CChannelTable::Cell(int channel, int column) {
    QTableWidgetItem* cell = item(channel, column);
    if (!cell) {
        cell = new QTableWidgetItem;
        cell->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
        if ((column >= COL_SCALE && column <= COL_DY) || column >= kColumns) {
            cell->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
        }
        if (column == COL_SCALE) {
            cell->setFlags(cell->flags() | Qt::ItemIsEditable);
        }
        setItem(channel, column, cell);
    }
    return cell;
}

void CChannelTable::SetCellText(int channel, int column, const QString& text) {
    QTableWidgetItem* cell = Cell(channel, column);
    if (cell->text() == text) {
        return; // a batch often leaves a cell as it was: no repaint
    }
    cell->setText(text);
    // A number wider than its column is cut with an ellipsis; the tooltip shows it whole.
    cell->setToolTip(text);
}

QString CChannelTable::CellText(int channel, int column) const {
    const QTableWidgetItem* cell = item(channel, column);
    return cell ? cell->text() : QString();
}

void CChannelTable::SetVisibilityPicture(int channel, bool visible) {
    const QSignalBlocker quiet(this);
    Cell(channel, COL_VISIBLE)->setIcon(visible ? g_TickedBoxIcon() : g_EmptyBoxIcon());
}

void CChannelTable::SetColourCell(int channel, uint32_t colour) {
    Cell(channel, COL_COLOUR)->setBackground(g_ToQColor(colour));
}

void CChannelTable::RebuildChannelTable(const std::vector<tagOscilloElem>& channels, CTraceSet& traces) {
    const QSignalBlocker quiet(this);
    setRowCount(static_cast<int>(channels.size()));
    for (int k = 0; k < static_cast<int>(channels.size()); ++k) {
        const tagOscilloElem& channel = channels[static_cast<size_t>(k)];
        SetVisibilityPicture(k, traces.Trace(static_cast<size_t>(k)).IsVisible());
        SetCellText(k, COL_NAME, QString::fromStdString(ChannelDisplayName(channel)));
        const std::string_view type = DataTypeText(channel.dataType);
        SetCellText(k, COL_TYPE, QString::fromLatin1(type.data(), static_cast<qsizetype>(type.size())));
        SetColourCell(k, channel.colour);
        SetCellText(k, COL_SCALE, Fixed(traces.Trace(static_cast<size_t>(k)).GetYScale()));
        for (int c = COL_LATEST; c <= COL_DY; ++c) {
            SetCellText(k, c, QString());
        }
        Cell(k, COL_MODIFY)->setIcon(g_GearIcon());
        Cell(k, COL_DELETE)->setIcon(g_CrossIcon());
    }
}

void CChannelTable::ShowStatisticsColumns(const tagCursorStatisticsSets& sets, const QString& header) {
    const QStringList all = header.split(QLatin1Char('|'));
    QStringList shown;
    for (int c = 0; c < all.size(); ++c) {
        if ((c < 2 && sets.values) || (c >= 2 && c < 5 && sets.extremes) || (c >= 5 && sets.averages)) {
            shown << all[c];
        }
    }
    SetExtraColumns(shown);
}

void CChannelTable::ShowCursorStatistics(const std::vector<tagCursorStatistics>& rows,
                                         const tagCursorStatisticsSets& sets, const QString& countFormat) {
    for (int k = 0; k < static_cast<int>(rows.size()) && k < rowCount(); ++k) {
        const tagCursorStatistics& row = rows[static_cast<size_t>(k)];
        std::vector<const std::string*> texts;
        if (sets.values) {
            texts.insert(texts.end(), {&row.atX1, &row.atX2});
        }
        if (sets.extremes) {
            texts.insert(texts.end(), {&row.min, &row.max, &row.peakToPeak});
        }
        if (sets.averages) {
            texts.insert(texts.end(), {&row.mean, &row.rms});
        }
        if (columnCount() != kColumns + static_cast<int>(texts.size())) {
            return; // the columns follow once the sets are shown
        }
        const QString count =
            row.count
                ? QString::fromStdString(g_FormatText(countFormat.toStdString(), {std::to_string(row.count)}))
                : QString();
        for (int c = 0; c < static_cast<int>(texts.size()); ++c) {
            const QString text = QString::fromStdString(*texts[static_cast<size_t>(c)]);
            SetCellText(k, kColumns + c, text);
            // The whole value, as every cell's tooltip gives it, and how many samples made it.
            item(k, kColumns + c)->setToolTip(count.isEmpty() ? text : text + QLatin1Char('\n') + count);
        }
    }
}
