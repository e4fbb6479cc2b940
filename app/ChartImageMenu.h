// The window menu's chart images: "Copy Chart" (Ctrl+C outside the text fields) and "Save Chart
// Image..." as PNG or SVG, with a legend of the visible channels.
#pragma once

#include "chart/qt/ChartImage.h"
#include "chart/qt/ChartWidget.h"
#include "session/MonitorSession.h"

#include <QString>
#include <QWidget>

#include <vector>

class CChartImageMenu {
public:
    // Adds both items to the window's menu; folder is where the file dialog opens.
    CChartImageMenu(QWidget& window, CChartWidget& chart, CMonitorSession& session, const QString& folder);

    void Copy();
    void Save();

private:
    std::vector<tagLegendEntry> Legend() const;
    QImage Image() const;

    QWidget& m_window;
    CChartWidget& m_chart;
    CMonitorSession& m_session;
    const QString& m_folder;
};
