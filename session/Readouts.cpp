#include "Readouts.h"

#include "acquisition/ChannelModel.h"

void CReadouts::UpdateStatistics() {
    m_view.ShowStatistics(
        ComputeStatistics(m_state.channels, m_traces, m_liveLatest ? &*m_liveLatest : nullptr));
}

void CReadouts::UpdateCursorReadouts() {
    const auto [x1, x2] = m_traces.Display().CursorTimes();
    m_view.ShowCursorReadouts(ComputeCursorReadouts(m_state.measurement, x1, x2, m_state.channels, m_traces));
    if (m_sets.Any()) {
        m_view.ShowCursorStatistics(
            ComputeCursorStatistics(m_state.measurement, x1, x2, m_state.channels, m_traces));
    }
}

void CReadouts::ApplyAdaptiveScaling() {
    for (size_t k : ::ApplyAdaptiveScaling(m_state.adaptive, m_state.channels, m_traces)) {
        m_view.ShowScale(k, ScaleText(m_traces.Trace(k).GetYScale()));
    }
}

void CReadouts::UpdateAll() {
    ApplyAdaptiveScaling();
    UpdateCursorReadouts();
    UpdateStatistics();
}

std::string CReadouts::ChartTooltip(bool recording) {
    const std::optional<double> t = m_traces.Display().FreeMouseTime();
    if (!t || recording) {
        return {};
    }
    std::vector<std::string> names;
    for (const tagOscilloElem& channel : m_state.channels) {
        names.push_back(ChannelDisplayName(channel));
    }
    return ChartTooltipText(*t, names, m_state.channels, m_traces);
}

void CReadouts::UpdateChartTooltip(bool recording) {
    std::string text = ChartTooltip(recording);
    if (text != m_tooltip) {
        m_tooltip = std::move(text);
        m_view.ShowTooltip(m_tooltip);
    }
}
