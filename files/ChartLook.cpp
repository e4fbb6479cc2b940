#include "ChartLook.h"

#include <algorithm>

tagChartLook g_ChartLookOf(const tagMonitorState& state, const CTraceSet& traces) {
    tagChartLook look;
    for (size_t k = 0; k < state.channels.size(); ++k) {
        const CTrace& trace = traces.Trace(k);
        look.traces.push_back({trace.GetYScale(), trace.GetYOffset(), trace.GetColor(), trace.IsVisible(),
                               trace.GetStepMode()});
    }
    look.timeAxisStep = state.timeAxisStep;
    look.trigger = state.trigger;
    look.mark = traces.TriggerMark();
    look.measurement = state.measurement;
    look.cursors = traces.Display().CursorTimes();
    look.view = traces.Display().ViewRange();
    return look;
}

void g_ApplyChartLook(const tagChartLook& look, tagMonitorState& state, CTraceSet& traces) {
    const size_t n = std::min(look.traces.size(), state.channels.size());
    for (size_t k = 0; k < n; ++k) {
        const tagTraceLook& t = look.traces[k];
        CTrace& trace = traces.Trace(k);
        trace.SetYScale(t.scale);
        trace.SetYOffset(t.offset);
        trace.SetColor(t.colour);
        trace.SetVisible(t.visible);
        trace.SetStepMode(t.stepMode);
        state.channels[k].colour = t.colour;
    }
    state.timeAxisStep = look.timeAxisStep;
    state.measurement = look.measurement;
    // A trigger on a channel the traces do not have is no trigger.
    state.trigger = look.trigger.channel < state.channels.size() ? look.trigger : tagTriggerSettings{};
    traces.SetTriggerMark(look.mark);
}
