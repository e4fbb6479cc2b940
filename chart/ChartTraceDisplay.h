// The recording's traces shown on a chart as the main window sets it up: the time and value axes,
// one line series per trace slot, the two measurement cursors and the trigger's marker. What the
// user does on the chart goes to the listener.
#pragma once

#include "ChartCtrl.h"
#include "ChartCustomAxisX.h"
#include "ChartCustomAxisY.h"
#include "ChartCustomLineCursor.h"
#include "ChartLineSerie.h"
#include "ChartMarkerLine.h"
#include "traces/TraceDisplay.h"
#include "traces/TraceSet.h"

#include <array>
#include <string>

class CChartTraceDisplay : public CTraceDisplay {
public:
    // Builds the axes, a series bound to each of the traces, and the cursors X1 and X2.
    CChartTraceDisplay(CChartCtrl& chart, CTraceSet& traces, const std::string& timeAxisTitle,
                       uint32_t timeAxisStep, bool measurement);
    CChartTraceDisplay(const CChartTraceDisplay&) = delete; // the chart calls back with its address
    CChartTraceDisplay& operator=(const CChartTraceDisplay&) = delete;

    void SetListener(CTraceDisplayListener* listener) override { m_listener = listener; }
    void BeginChanges() override { m_chart.SetRedrawEnabled(false); }
    void EndChanges() override { m_chart.SetRedrawEnabled(true); }
    void Redraw() override { m_chart.RedrawChart(); }
    void EndBatch() override { m_chart.SetRedrawEnabled(true, m_paced); }
    void SetPacedRedraws(bool on) override { m_paced = on; }
    void FollowTime(double t) override { m_timeAxis->FollowTime(t); }
    void ResetZoom() override;
    void SetTimeStep(uint32_t step) override { m_timeAxis->SetBaseStep(step); }
    void SetMeasurement(bool on) override;
    std::pair<double, double> CursorTimes() const override;
    void PlaceCursors(double x1, double x2) override;
    tagViewRange ViewRange() const override;
    void ShowRange(const tagViewRange& range) override;
    std::optional<double> FreeMouseTime() const override;
    void SetEveryPointDrawing(bool on) override;
    void SetGapsShown(bool on) override;
    void ShowTimeRange(double from, double to) override;
    void ShowArmedNotice(bool shown) override;
    // The words ShowArmedNotice shows, in the window's language.
    void SetArmedNoticeText(std::string text) { m_armedText = std::move(text); }
    void ShowTriggerMark(const std::optional<tagTriggerMark>& mark) override;

    CChartCtrl& Chart() { return m_chart; }
    CChartCustomAxisX& TimeAxis() { return *m_timeAxis; }
    CChartCustomAxisY& ValueAxis() { return *m_valueAxis; }
    // The series of a trace slot as the traces stand now.
    CChartLineSerie& SerieOf(const CTrace& trace) const;
    CChartCustomLineCursor& CursorX1() { return *m_x1; }
    CChartCustomLineCursor& CursorX2() { return *m_x2; }
    CChartMarkerLine& TriggerMarker() { return *m_triggerMarker; }

private:
    static void OnViewChanged(void* owner);
    static void OnMouseMoved(void* owner);
    static void OnTimeRangeChanged(void* owner);
    static void OnCursorMoved(void* owner);

    CChartCtrl& m_chart;
    CChartCustomAxisX* m_timeAxis;
    CChartCustomAxisY* m_valueAxis;
    std::array<CChartLineSerie*, kTraceSlots> m_series{};
    CChartCustomLineCursor* m_x1;
    CChartCustomLineCursor* m_x2;
    CChartMarkerLine* m_triggerMarker;
    CTraceDisplayListener* m_listener = nullptr;
    bool m_paced = false;
    std::string m_armedText;
};
