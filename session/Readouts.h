// The numbers the window shows beside the chart: the table's statistics and cursor readouts, the
// adaptive scales and the chart's tooltip, each pushed to the view when it changes.
#pragma once

#include "SessionView.h"
#include "acquisition/CursorStatistics.h"
#include "acquisition/MonitorState.h"
#include "traces/TraceSet.h"

#include <string>

class CReadouts {
public:
    CReadouts(const tagMonitorState& state, CTraceSet& traces, CSessionView& view)
        : m_state(state), m_traces(traces), m_view(view) {}

    void UpdateStatistics();
    // The sets of statistics between the cursors shown from now on.
    void SetStatisticsSets(const tagCursorStatisticsSets& sets) { m_sets = sets; }
    // The latest samples the Latest column shows instead of the traces' last points, or none.
    void SetLiveLatest(std::optional<std::vector<double>> latest) { m_liveLatest = std::move(latest); }
    void UpdateCursorReadouts();
    void ApplyAdaptiveScaling();
    // Everything above, after the traces changed.
    void UpdateAll();
    // The tooltip at the chart's last mouse position (empty while recording or dragging).
    std::string ChartTooltip(bool recording);
    void UpdateChartTooltip(bool recording);

private:
    const tagMonitorState& m_state;
    CTraceSet& m_traces;
    CSessionView& m_view;
    std::string m_tooltip;
    tagCursorStatisticsSets m_sets;
    std::optional<std::vector<double>> m_liveLatest;
};
