#include "StatisticsMenu.h"

#include "acquisition/StringIds.h"
#include "dialogs/StringTable.h"

#include <QMenu>
#include <QSignalBlocker>

CStatisticsMenu::CStatisticsMenu(QWidget& window, CChannelTable& table, CMonitorSession& session)
    : m_table(table), m_session(session) {
    auto* menu = new QMenu(LoadStringById(IDS_MENU_CURSOR_STATISTICS), &window);
    const int names[] = {IDS_MENU_VALUES_AT_CURSORS, IDS_MENU_EXTREMES_BETWEEN, IDS_MENU_MEAN_AND_RMS};
    for (size_t i = 0; i < m_sets.size(); ++i) {
        m_sets[i] = menu->addAction(LoadStringById(names[i]));
        m_sets[i]->setCheckable(true);
        QObject::connect(m_sets[i], &QAction::toggled, [this] { OnToggled(); });
    }
    window.addAction(menu->menuAction());
}

void CStatisticsMenu::ShowSettings() {
    const tagCursorStatisticsSets& sets = m_session.Fields().Settings().cursorStatistics;
    const bool on[] = {sets.values, sets.extremes, sets.averages};
    for (size_t i = 0; i < m_sets.size(); ++i) {
        const QSignalBlocker quiet(m_sets[i]);
        m_sets[i]->setChecked(on[i]);
    }
    m_table.ShowStatisticsColumns(sets, LoadStringById(IDS_STATISTICS_HEADER));
}

void CStatisticsMenu::OnToggled() {
    m_session.Fields().SetCursorStatistics(
        {m_sets[0]->isChecked(), m_sets[1]->isChecked(), m_sets[2]->isChecked()});
    m_table.ShowStatisticsColumns(m_session.Fields().Settings().cursorStatistics,
                                  LoadStringById(IDS_STATISTICS_HEADER));
    m_session.Readouts().UpdateCursorReadouts();
}
