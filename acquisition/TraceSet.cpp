#include "TraceSet.h"

#include "ChannelModel.h"

#include <algorithm>

CTraceSet::CTraceSet(CChartCtrl& chart, const std::string& timeAxisTitle, uint32_t timeAxisStep,
                     bool measurement, const tagTraceCallbacks& callbacks)
    : m_chart(chart) {
    chart.SetZoomRectColor(ChartRGB(255, 255, 0));
    chart.RedrawChart();
    chart.SetZoomRectPenWidth(2);
    chart.SetDottedGrid(true);
    chart.SetMeasurementMode(measurement ? 1 : 0);
    chart.SetOwner(callbacks.owner);
    chart.SetViewChangedCallback(callbacks.viewChanged);
    chart.SetMouseMovedCallback(callbacks.mouseMoved);

    m_timeAxis = new CChartCustomAxisX;
    chart.AttachAxis(m_timeAxis, BottomAxis);
    m_timeAxis->GetLabel().SetText(timeAxisTitle);
    m_timeAxis->SetBaseStep(timeAxisStep);
    m_timeAxis->SetRangeChangedCallback(callbacks.timeRangeChanged, callbacks.owner);

    m_valueAxis = new CChartCustomAxisY;
    chart.AttachAxis(m_valueAxis, LeftAxis);

    chart.RemoveAllSeries();
    for (size_t i = 0; i < m_series.size(); ++i) {
        CChartLineSerie* serie = chart.CreateLineSerie(false, false);
        serie->m_channelNumber = static_cast<int>(i);
        serie->m_offsetMarkerShown = true;
        serie->SetColor(DefaultChannelColours[i]);
        serie->SetWidth(2);
        serie->SetVisible(false);
        m_series[i] = serie;
    }

    m_x1 = new CChartCustomLineCursor(&chart, m_timeAxis);
    chart.AddCursor(m_x1);
    m_x1->SetPositionByRatio(0.3);
    m_x1->SetVisible(measurement);
    m_x1->SetCallback(callbacks.cursorMoved, callbacks.owner);
    m_x2 = new CChartCustomLineCursor(&chart, m_timeAxis);
    chart.AddCursor(m_x2);
    m_x2->SetPositionByRatio(0.7);
    m_x2->SetVisible(measurement);
    m_x2->SetCallback(callbacks.cursorMoved, callbacks.owner);
    m_triggerMarker = new CChartMarkerLine(&chart, m_timeAxis);
    chart.AddCursor(m_triggerMarker);
}

void CTraceSet::MoveSerieToEnd(size_t k) {
    CChartLineSerie* moved = m_series[k];
    std::rotate(m_series.begin() + static_cast<std::ptrdiff_t>(k),
                m_series.begin() + static_cast<std::ptrdiff_t>(k) + 1, m_series.end());
    for (size_t i = 0; i < m_series.size(); ++i) {
        m_series[i]->m_channelNumber = static_cast<int>(i);
    }
    m_chart.SetRedrawEnabled(false);
    moved->SetVisible(false);
    moved->ClearSerie();
    m_chart.SetRedrawEnabled(true);
}

void CTraceSet::SetMeasurement(bool on) {
    m_chart.SetRedrawEnabled(false);
    m_chart.SetMeasurementMode(on ? 1 : 0);
    m_x1->SetVisible(on);
    m_x2->SetVisible(on);
    m_chart.SetRedrawEnabled(true);
}

void CTraceSet::ApplyChannel(size_t k, const tagOscilloElem& channel) {
    CChartLineSerie& serie = *m_series[k];
    serie.m_stepMode = channel.dataType == GCM_BOOL ? 1 : 0;
    serie.m_yOffset = 0.0;
    serie.SetColor(channel.colour);
    serie.SetVisible(true);
}

void CTraceSet::ResetAll() {
    for (size_t k = 0; k < m_series.size(); ++k) {
        CChartLineSerie& serie = *m_series[k];
        serie.ClearSerie();
        serie.m_stepMode = 0;
        serie.m_yOffset = 0.0;
        serie.SetYScale(1.0);
        serie.SetColor(DefaultChannelColours[k]);
        serie.SetVisible(false);
    }
    m_triggerMarker->SetVisible(false);
}

void CTraceSet::SetEveryPointDrawing(bool on) {
    m_chart.SetRedrawEnabled(false);
    for (CChartLineSerie* serie : m_series) {
        serie->SetEveryPointDrawing(on);
    }
    m_chart.SetRedrawEnabled(true);
}
