// The window menu's "Statistics Between the Cursors": three sets switched on and off apart, kept
// in the settings and shown as the table's extra columns.
#pragma once

#include "ChannelTable.h"
#include "session/MonitorSession.h"

#include <QAction>
#include <QWidget>

#include <array>

class CStatisticsMenu {
public:
    // Adds the submenu to the window's menu.
    CStatisticsMenu(QWidget& window, CChannelTable& table, CMonitorSession& session);
    // The items and the columns as the settings say.
    void ShowSettings();

private:
    void OnToggled();

    CChannelTable& m_table;
    CMonitorSession& m_session;
    std::array<QAction*, 3> m_sets{}; // values, extremes, averages
};
