#include "ChartTraceDisplay.h"

#include <cstdlib>

CChartTraceDisplay::CChartTraceDisplay(CChartCtrl& chart, CTraceSet& traces, const std::string& timeAxisTitle,
                                       uint32_t timeAxisStep, bool measurement)
    : m_chart(chart) {
    chart.SetZoomRectColor(ChartRGB(255, 255, 0));
    chart.RedrawChart();
    chart.SetZoomRectPenWidth(2);
    chart.SetDottedGrid(true);
    chart.SetMeasurementMode(measurement ? 1 : 0);
    chart.SetOwner(this);
    chart.SetViewChangedCallback(&CChartTraceDisplay::OnViewChanged);
    chart.SetMouseMovedCallback(&CChartTraceDisplay::OnMouseMoved);

    m_timeAxis = new CChartCustomAxisX;
    chart.AttachAxis(m_timeAxis, BottomAxis);
    m_timeAxis->GetLabel().SetText(timeAxisTitle);
    m_timeAxis->SetBaseStep(timeAxisStep);
    m_timeAxis->SetRangeChangedCallback(&CChartTraceDisplay::OnTimeRangeChanged, this);

    m_valueAxis = new CChartCustomAxisY;
    chart.AttachAxis(m_valueAxis, LeftAxis);

    chart.RemoveAllSeries();
    for (size_t k = 0; k < m_series.size(); ++k) {
        CTrace& trace = traces.Trace(k);
        // The trace keeps its looks; the control's palette colour on attach does not count.
        const uint32_t colour = trace.GetColor();
        const bool visible = trace.IsVisible();
        CChartLineSerie* serie = chart.CreateLineSerie(false, false);
        serie->ShowTrace(trace);
        serie->m_offsetMarkerShown = true;
        serie->SetColor(colour);
        serie->SetWidth(2);
        serie->SetVisible(visible);
        m_series[k] = serie;
    }

    m_x1 = new CChartCustomLineCursor(&chart, m_timeAxis);
    chart.AddCursor(m_x1);
    m_x1->SetPositionByRatio(0.3);
    m_x1->SetVisible(measurement);
    m_x1->SetCallback(&CChartTraceDisplay::OnCursorMoved, this);
    m_x2 = new CChartCustomLineCursor(&chart, m_timeAxis);
    chart.AddCursor(m_x2);
    m_x2->SetPositionByRatio(0.7);
    m_x2->SetVisible(measurement);
    m_x2->SetCallback(&CChartTraceDisplay::OnCursorMoved, this);
    m_triggerMarker = new CChartMarkerLine(&chart, m_timeAxis);
    chart.AddCursor(m_triggerMarker);
    ShowTriggerMark(traces.TriggerMark());
}

void CChartTraceDisplay::ResetZoom() {
    m_timeAxis->ResetZoom();
    m_valueAxis->ResetZoom();
}

void CChartTraceDisplay::SetMeasurement(bool on) {
    m_chart.SetRedrawEnabled(false);
    m_chart.SetMeasurementMode(on ? 1 : 0);
    m_x1->SetVisible(on);
    m_x2->SetVisible(on);
    m_chart.SetRedrawEnabled(true);
}

std::pair<double, double> CChartTraceDisplay::CursorTimes() const {
    return {m_x1->GetPositionValue(), m_x2->GetPositionValue()};
}

void CChartTraceDisplay::PlaceCursors(double x1, double x2) {
    m_x1->PlaceNearest(x1);
    m_x2->PlaceNearest(x2);
    m_chart.RedrawChart();
}

tagViewRange CChartTraceDisplay::ViewRange() const {
    return {m_timeAxis->GetMinimum(), m_timeAxis->GetMaximum(), m_valueAxis->GetMinimum(),
            m_valueAxis->GetMaximum()};
}

void CChartTraceDisplay::ShowRange(const tagViewRange& range) {
    m_chart.SetRedrawEnabled(false);
    m_timeAxis->SetRange(range.timeMin, range.timeMax);
    m_valueAxis->SetRange(range.valueMin, range.valueMax);
    m_chart.SetRedrawEnabled(true);
}

std::optional<double> CChartTraceDisplay::FreeMouseTime() const {
    if (!m_chart.IsMouseFree()) {
        return std::nullopt;
    }
    return m_timeAxis->PixelToValue(m_chart.GetLastMousePoint().x);
}

void CChartTraceDisplay::SetEveryPointDrawing(bool on) {
    m_chart.SetRedrawEnabled(false);
    for (CChartLineSerie* serie : m_series) {
        serie->SetEveryPointDrawing(on);
    }
    m_chart.SetRedrawEnabled(true);
}

void CChartTraceDisplay::SetGapsShown(bool on) {
    m_chart.SetRedrawEnabled(false);
    for (CChartLineSerie* serie : m_series) {
        serie->SetGapsShown(on);
    }
    m_chart.SetRedrawEnabled(true);
}

void CChartTraceDisplay::ShowTimeRange(double from, double to) {
    if (m_timeAxis->GetMinimum() != from || m_timeAxis->GetMaximum() != to) {
        m_timeAxis->SetRange(from, to);
    }
}

void CChartTraceDisplay::ShowArmedNotice(bool shown) {
    m_chart.SetPlotNotice(shown ? m_armedText : std::string());
}

void CChartTraceDisplay::ShowTriggerMark(const std::optional<tagTriggerMark>& mark) {
    if (mark) {
        m_triggerMarker->SetColor(mark->colour);
        m_triggerMarker->SetPositionValue(mark->time);
    }
    m_triggerMarker->SetVisible(mark.has_value());
    m_chart.RedrawChart();
}

CChartLineSerie& CChartTraceDisplay::SerieOf(const CTrace& trace) const {
    for (CChartLineSerie* serie : m_series) {
        if (&serie->Trace() == &trace) {
            return *serie;
        }
    }
    std::abort(); // every trace of the set has its series
}

void CChartTraceDisplay::OnViewChanged(void* owner) {
    if (auto* self = static_cast<CChartTraceDisplay*>(owner); self->m_listener) {
        self->m_listener->OnViewChanged();
    }
}

void CChartTraceDisplay::OnMouseMoved(void* owner) {
    if (auto* self = static_cast<CChartTraceDisplay*>(owner); self->m_listener) {
        self->m_listener->OnMouseMoved();
    }
}

void CChartTraceDisplay::OnTimeRangeChanged(void* owner) {
    if (auto* self = static_cast<CChartTraceDisplay*>(owner); self->m_listener) {
        self->m_listener->OnTimeStepChanged(static_cast<uint32_t>(self->m_timeAxis->GetStep()));
    }
}

void CChartTraceDisplay::OnCursorMoved(void* owner) {
    if (auto* self = static_cast<CChartTraceDisplay*>(owner); self->m_listener) {
        self->m_listener->OnCursorMoved();
    }
}
