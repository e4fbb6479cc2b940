// The program's main window: the chart above the channel table and a column of controls at the
// right. It is wiring: the program's state and its operations live in the toolkit-free classes it
// owns; the window pushes state into controls, reads them back and shows messages.
#pragma once

#include "acquisition/MonitorState.h"
#include "acquisition/Recorder.h"
#include "acquisition/TraceSet.h"

#include <QDialog>

#include <map>
#include <memory>

class CChartWidget;
class CChannelTable;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;

class CChronoscopeDlg : public QDialog, private CRecorderView {
    Q_OBJECT
public:
    // Control ids of the window template.
    enum EnumControlId {
        IDC_CHART = 1000,
        IDC_RUN = 1007,
        IDC_CLEAR = 1009,
        IDC_WRITE = 1003,
        IDC_EXPORT = 1013,
        IDC_IMPORT = 1014,
        IDC_TRIGGER = 1004,
        IDC_COMMUNICATE = 1001,
        IDC_CHANNEL = 1008,
        IDC_MEASUREMENT = 1015,
        IDC_ADAPTIVE = 1025,
        IDC_PERIOD_LABEL = 1028,
        IDC_PERIOD = 1016,
        IDC_TIME_AXIS_LABEL = 1029,
        IDC_TIME_AXIS = 1010,
        IDC_WRITE_GROUP = 1030,
        IDC_ADDRESS_LABEL = 1031,
        IDC_ADDRESS = 1012,
        IDC_VALUE_LABEL = 1032,
        IDC_WRITE_TYPE = 1006,
        IDC_VALUE = 1011,
        IDC_TABLE = 1740,
    };

    explicit CChronoscopeDlg(QWidget* parent = nullptr);
    ~CChronoscopeDlg() override;

    tagMonitorState& State() { return m_state; }
    CTraceSet& Traces() { return *m_traces; }
    CRecorder& Recorder() { return *m_recorder; }
    CChannelTable& Table() { return *m_table; }
    QWidget* Control(int id) const;

    // Appends a channel as the channel dialog's OK does: series k takes its type, colour and scale.
    void AddChannelRecord(const tagOscilloElem& channel);

    void OnRun();
    void OnClearTracks();
    void OnAddChannel();
    void OnWrite();
    void OnMeasurement();
    void OnAdaptive();
    void OnTimeAxisChanged();
    void OnPeriodChanged();

    // The channel table.
    void UpdateStatistics();
    void UpdateCursorReadouts();
    void ApplyAdaptiveScaling();
    void UpdateChartTooltip();
    void OnTableClick(int row, int column);
    void OnTableDblClick(int row, int column);
    void OnTableAfterEdit(int row, int column);
    // The modify and delete pictures without their dialogs, as their OK and Yes do.
    void ModifyChannel(size_t k, const tagOscilloElem& record);
    void DeleteChannelRow(size_t k);
    const QString& TooltipText() const { return m_tooltip; }
    void UpdateRunControls(bool recording) override;
    // The window menu: 32 language, 33 cache size.
    void OnSysCommand(int id);

public slots:
    void reject() override;

protected:
    void customEvent(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // CRecorderView
    void PostNotify(int wParam, int lParam) override;
    void PumpMessages() override;
    void ShowMessage(int stringId) override;
    void ShowPeriod(uint32_t period) override;
    void AfterBatch() override;
    void SetWaitCursor(bool on) override;

    void CreateControls();
    void LayoutFromTemplate();
    void OnSize();
    void PushStateToControls();
    void ReadControls();
    void RebuildChannelTable();

    static void OnTimeAxisRangeChanged(void* owner);
    static void OnViewChanged(void* owner);
    static void OnMouseMoved(void* owner);
    static void OnCursorMoved(void* owner);

    tagMonitorState m_state;
    bool m_chinese = false;
    int m_rightColumnOffset = 0;
    std::map<int, int> m_columnShift;
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
    std::unique_ptr<CTraceSet> m_traces;
    std::unique_ptr<CRecorder> m_recorder;
    QString m_tooltip;
};
