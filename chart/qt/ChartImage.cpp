#include "ChartImage.h"

#include "QtChartSurface.h"

#include <QFile>
#include <QFontMetrics>
#include <QPainter>
#include <QSvgGenerator>

namespace {

constexpr int kLegendGap = 12;   // between entries
constexpr int kSwatchWidth = 18; // the colour's line

QFont LegendFont() {
    return CQtChartSurface::SharedFont({"Microsoft Sans Serif", 80})->Font();
}

int LegendHeight(const std::vector<tagLegendEntry>& legend) {
    return legend.empty() ? 0 : QFontMetrics(LegendFont()).height() + 10;
}

// The chart as RedrawChart draws it, then the legend in the strip below.
void Paint(QPainter& painter, CChartCtrl& chart, QSize size, const std::vector<tagLegendEntry>& legend) {
    {
        CQtChartSurface surface(painter);
        const tagChartRect client{0, 0, size.width(), size.height()};
        chart.DrawBackground(surface, client);
        chart.DrawChart(surface, client.Deflated(3));
        chart.DrawCursors(surface);
    }
    if (legend.empty()) {
        return;
    }
    const QFont font = LegendFont();
    const QFontMetrics metrics(font);
    const int top = size.height();
    painter.fillRect(QRect(0, top, size.width(), LegendHeight(legend)), Qt::white);
    painter.setFont(font);
    int x = 8;
    const int middle = top + LegendHeight(legend) / 2;
    for (const tagLegendEntry& entry : legend) {
        painter.fillRect(QRect(x, middle - 1, kSwatchWidth, 3), CQtChartSurface::ToQColor(entry.colour));
        x += kSwatchWidth + 4;
        painter.setPen(Qt::black);
        painter.drawText(QPoint(x, middle + metrics.ascent() / 2 - 1), entry.name);
        x += metrics.horizontalAdvance(entry.name) + kLegendGap;
    }
}

} // namespace

QImage g_ChartImage(CChartCtrl& chart, QSize size, double ratio, const std::vector<tagLegendEntry>& legend) {
    const QSize whole(size.width(), size.height() + LegendHeight(legend));
    QImage image(whole * ratio, QImage::Format_RGB32);
    image.setDevicePixelRatio(ratio);
    image.fill(Qt::white);
    QPainter painter(&image);
    Paint(painter, chart, size, legend);
    return image;
}

bool g_WriteChartSvg(CChartCtrl& chart, QSize size, const std::vector<tagLegendEntry>& legend,
                     const QString& path, QString* error) {
    const QSize whole(size.width(), size.height() + LegendHeight(legend));
    QSvgGenerator svg;
    svg.setFileName(path);
    svg.setSize(whole);
    svg.setViewBox(QRect(QPoint(0, 0), whole));
    svg.setTitle(QStringLiteral("Chronoscope chart"));
    {
        QPainter painter;
        if (!painter.begin(&svg)) {
            if (error) {
                *error = path + QStringLiteral(": cannot be written");
            }
            return false;
        }
        Paint(painter, chart, size, legend);
    }
    if (!QFile::exists(path) || QFile(path).size() == 0) {
        if (error) {
            *error = path + QStringLiteral(": cannot be written");
        }
        return false;
    }
    return true;
}
