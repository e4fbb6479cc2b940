#include "Readouts.h"

#include "acquisition/ChannelModel.h"

void CReadouts::UpdateStatistics() {
    m_view.ShowStatistics(ComputeStatistics(m_state.channels, m_traces));
}

void CReadouts::UpdateCursorReadouts() {
    m_view.ShowCursorReadouts(
        ComputeCursorReadouts(m_state.measurement, m_traces.CursorX1().GetPositionValue(),
                              m_traces.CursorX2().GetPositionValue(), m_state.channels, m_traces));
}

void CReadouts::ApplyAdaptiveScaling() {
    for (size_t k : ::ApplyAdaptiveScaling(m_state.adaptive, m_state.channels, m_traces)) {
        m_view.ShowScale(k, ScaleText(m_traces.Serie(k).GetYScale()));
    }
}

void CReadouts::UpdateAll() {
    ApplyAdaptiveScaling();
    UpdateCursorReadouts();
    UpdateStatistics();
}

std::string CReadouts::ChartTooltip(bool recording) {
    CChartCtrl& chart = m_traces.Chart();
    if (!chart.IsMouseFree() || recording) {
        return {};
    }
    std::vector<std::string> names;
    for (const tagOscilloElem& channel : m_state.channels) {
        names.push_back(ChannelDisplayName(channel));
    }
    const double t = m_traces.TimeAxis().PixelToValue(chart.GetLastMousePoint().x);
    return ChartTooltipText(t, names, m_state.channels, m_traces);
}

void CReadouts::UpdateChartTooltip(bool recording) {
    std::string text = ChartTooltip(recording);
    if (text != m_tooltip) {
        m_tooltip = std::move(text);
        m_view.ShowTooltip(m_tooltip);
    }
}
