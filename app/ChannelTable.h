// The channel table below the chart: one row per channel with visibility, name, type, colour,
// scale, statistics and cursor readouts, and the modify and delete pictures.
#pragma once

#include "acquisition/CursorStatistics.h"
#include "link/OscilloTypes.h"
#include "traces/TraceSet.h"

#include <QTableWidget>

#include <vector>

class CChannelTable : public QTableWidget {
    Q_OBJECT
public:
    static constexpr int kColumns = 14;
    enum EnumColumn {
        COL_VISIBLE = 0,
        COL_NAME,
        COL_TYPE,
        COL_COLOUR,
        COL_SCALE,
        COL_LATEST,
        COL_MIN,
        COL_MAX,
        COL_X1,
        COL_X2,
        COL_DX,
        COL_DY,
        COL_MODIFY,
        COL_DELETE,
    };

    explicit CChannelTable(QWidget* parent = nullptr);

    // Header texts from the "|"-separated header string.
    void SetupChannelTable(const QString& header);
    void LayoutTableColumns();
    // Columns of statistics between the cursors after the table's own, for the sets switched on
    // (none: the table as it was), headed from the "|"-separated header string of all seven.
    void ShowStatisticsColumns(const tagCursorStatisticsSets& sets, const QString& header);
    // Their texts; each cell's tooltip adds the sample count in countFormat ("%s samples...").
    void ShowCursorStatistics(const std::vector<tagCursorStatistics>& rows,
                              const tagCursorStatisticsSets& sets, const QString& countFormat);
    void RebuildChannelTable(const std::vector<tagOscilloElem>& channels, CTraceSet& traces);

    // Cell texts of channel k (row k + 1 of the classic table; the header is not a row here).
    void SetCellText(int channel, int column, const QString& text);
    QString CellText(int channel, int column) const;
    void SetVisibilityPicture(int channel, bool visible);
    void SetColourCell(int channel, uint32_t colour);

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    QTableWidgetItem* Cell(int channel, int column);
    void SetExtraColumns(const QStringList& headers);
};
