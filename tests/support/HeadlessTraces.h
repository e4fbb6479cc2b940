// The main window's six traces on a chart that is never shown, for tests, benchmarks and fuzzers.
#pragma once

#include "acquisition/MonitorState.h"
#include "acquisition/TraceSet.h"
#include "support/RecordingSurface.h"

#include <memory>
#include <utility>
#include <vector>

struct tagHeadlessTraces {
    // Without drawing, nothing piles up in the recording surface during long runs.
    explicit tagHeadlessTraces(bool drawing = true) {
        chart.SetHost(&host);
        if (!drawing) {
            chart.SetRedrawEnabled(false);
        }
        traces = std::make_unique<CTraceSet>(chart, "Timeline(ms)", 1000, true, tagTraceCallbacks{});
    }
    // The next channel of state, with its trace holding these points (x, y).
    void AddChannel(tagMonitorState& state, const tagOscilloElem& channel,
                    const std::vector<std::pair<double, double>>& points) {
        const size_t k = state.channels.size();
        state.channels.push_back(channel);
        traces->ApplyChannel(k, channel);
        for (const auto& [x, y] : points) {
            traces->Serie(k).AddPoint(x, y);
        }
    }
    CTraceSet& operator*() { return *traces; }
    CTraceSet* operator->() { return traces.get(); }

    CFakeChartHost host;
    CChartCtrl chart;
    std::unique_ptr<CTraceSet> traces;
};
