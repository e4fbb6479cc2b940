// What the chart shows beyond the points: each trace's scale, offset, colour, visibility and
// step mode, the time axis' step, the trigger's settings and its last marker, and the cursors.
// The journal keeps it, so that a recovered chart looks as the one that was.
#pragma once

#include "acquisition/MonitorState.h"
#include "traces/TraceSet.h"

#include <optional>
#include <utility>
#include <vector>

struct tagTraceLook {
    double scale = 1.0;
    double offset = 0.0;
    uint32_t colour = 0;
    bool visible = true;
    int stepMode = 0;
    bool operator==(const tagTraceLook&) const = default;
};

struct tagChartLook {
    std::vector<tagTraceLook> traces; // one per channel
    uint32_t timeAxisStep = 1000;
    tagTriggerSettings trigger;
    std::optional<tagTriggerMark> mark;
    bool measurement = true;
    std::pair<double, double> cursors{0.0, 0.0};
    tagViewRange view;
    bool operator==(const tagChartLook&) const = default;
};

tagChartLook g_ChartLookOf(const tagMonitorState& state, const CTraceSet& traces);
// Onto channels and traces as they came back; a look of other channels touches only as many as
// both have. The view and the cursors are the caller's to show.
void g_ApplyChartLook(const tagChartLook& look, tagMonitorState& state, CTraceSet& traces);
