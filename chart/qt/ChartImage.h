// The chart as a picture for a report or a ticket: drawn again, as the screen shows it, into an
// image at a device pixel ratio or into an SVG file, with a legend of the channels under it.
#pragma once

#include "chart/ChartCtrl.h"

#include <QImage>
#include <QSize>
#include <QString>

#include <cstdint>
#include <vector>

struct tagLegendEntry {
    QString name;
    uint32_t colour = 0; // 0x00BBGGRR
};

// The chart at its logical size (the widget's, where its cursors and axes are placed), ratio
// device pixels to each logical one, and the legend below.
QImage g_ChartImage(CChartCtrl& chart, QSize size, double ratio, const std::vector<tagLegendEntry>& legend);
// False with the reason when the file cannot be written.
bool g_WriteChartSvg(CChartCtrl& chart, QSize size, const std::vector<tagLegendEntry>& legend,
                     const QString& path, QString* error);
