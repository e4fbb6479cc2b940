// The program's main window: the chart above the channel table and a column of controls at the
// right. It is wiring: the program's state and its operations live in the toolkit-free classes it
// owns; the window pushes state into controls, reads them back and shows messages.
#pragma once

#include "LanguageChoice.h"
#include "MainWindowIds.h"
#include "MainWindowLayout.h"
#include "chart/qt/FrameTimer.h"
#include "session/MonitorSession.h"

#include <QDialog>

#include <array>
#include <map>
#include <memory>
#include <string>
#include <vector>

class CChartTraceDisplay;
class CChartWidget;
class CChannelTable;
class CStatusLine;
class QAction;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

class CChronoscopeDlg : public QDialog, public tagMainWindowIds, private CSessionView {
    Q_OBJECT
public:
    // The language dialog reads and updates the application's language state.
    explicit CChronoscopeDlg(tagLanguageState& languages, QWidget* parent = nullptr);
    ~CChronoscopeDlg() override;

    CMonitorSession& Session() { return *m_session; }
    CChartTraceDisplay& Display() { return *m_display; }
    // Whether the window closed for a language restart.
    bool RestartRequested() const { return m_restartRequested; }

    // The window's handlers: each reads its controls and hands the action to the session.
    void OnRun();
    void OnClearTracks();
    void OnAddChannel();
    void OnWrite();
    void OnMeasurement();
    void OnAdaptive();
    void OnTimeAxisChanged();
    void OnPeriodChanged();
    void OnCommunicate();
    void OnTriggerSetting();
    void OnExportData();
    void OnImportData();
    void OnTableClick(int row, int column);
    void OnTableDblClick(int row, int column);
    void OnTableAfterEdit(int row, int column);
    // The window menu: 32 language, 33 cache size.
    void OnSysCommand(int id);
    // The window menu's "Show Every Sample" and "Check Values Before Writing".
    void OnEverySample(bool on);
    void OnCheckWrites(bool on);
    void OnShowGaps(bool on);

public slots:
    void reject() override;

protected:
    void resizeEvent(QResizeEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // CSessionView
    void Post(std::function<void()> work) override;
    bool AtNextFrame(std::function<void()> work) override { return m_frames.Schedule(std::move(work)); }
    bool HasFrames() const override { return true; }
    void ShowResult(const tagResult& result) override;
    bool AskYesNo(int stringId, const std::vector<std::string>& arguments = {}) override;
    void SetWaitCursor(bool on) override;
    std::string AskSavePath(const std::string& proposedName) override;
    std::string AskOpenPath() override;
    EnumExitChoice AskExitChoice(const tagResult& failure) override;
    void ShowPeriod(uint32_t period) override;
    void ShowTimeAxisStep(uint32_t step) override;
    void UpdateRunControls(bool recording) override;
    void PushStateToControls() override;
    void RefreshTable() override;
    void ShowStatistics(const std::vector<tagStatistics>& rows) override;
    void ShowCursorReadouts(const std::vector<tagCursorReadout>& rows) override;
    void ShowCursorStatistics(const std::vector<tagCursorStatistics>& rows) override;
    void ShowScale(size_t channel, const std::string& text) override;
    void ShowVisibility(size_t channel, bool visible) override;
    void ShowColour(size_t channel, uint32_t colour) override;
    void ShowTooltip(const std::string& text) override;
    void ShowTriggerStatus(const tagTriggerStatus& status) override;
    void ShowLinkStatistics(const tagLinkStatistics& statistics) override;
    void ShowSessionStatus(const tagSessionStatus& status) override;

    QWidget* Control(int id) const;
    QWidget* Add(int id, QWidget* widget);
    QPushButton* AddButton(int id, const QString& text, void (CChronoscopeDlg::*handler)());
    void CreateControls();
    // The right column's fields and buttons; the window menu.
    void CreateColumn();
    void CreateWindowMenu();
    // A switch of ours in the window menu.
    QAction* AddMenuSwitch(int stringId, void (CChronoscopeDlg::*handler)(bool));
    int StatusLineHeight() const;
    void OnSize();
    // The element-write fields into the session.
    void ReadWriteFields();

    tagLanguageState& m_languages;
    bool m_restartRequested = false;
    bool m_chinese = false;
    CMainWindowLayout m_layout;
    std::map<int, QWidget*> m_controls;
    CChartWidget* m_chart = nullptr;
    CChannelTable* m_table = nullptr;
    QCheckBox* m_measurement = nullptr;
    QCheckBox* m_adaptive = nullptr;
    QLineEdit* m_period = nullptr;
    QLineEdit* m_timeAxis = nullptr;
    QLineEdit* m_address = nullptr;
    QLineEdit* m_value = nullptr;
    QComboBox* m_writeType = nullptr;
    QPushButton* m_run = nullptr;
    CStatusLine* m_status = nullptr;
    QAction* m_everySample = nullptr;
    QAction* m_checkWrites = nullptr;
    QAction* m_showGaps = nullptr;
    std::unique_ptr<class CStatisticsMenu> m_statistics;
    std::unique_ptr<class CChartImageMenu> m_chartImages;
    // Where the data buttons' file dialogs open: the LadderDesk folder, then where the user was.
    QString m_fileFolder;
    CFrameTimer m_frames{*this}; // before the session, which may still ask for a frame as it ends
    std::unique_ptr<CMonitorSession> m_session;
    std::unique_ptr<CChartTraceDisplay> m_display; // the session's traces on the chart
};
