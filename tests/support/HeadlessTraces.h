// The main window's six traces on a chart that is never shown, for tests, benchmarks and fuzzers.
#pragma once

#include "acquisition/TraceSet.h"
#include "support/RecordingSurface.h"

#include <memory>

struct tagHeadlessTraces {
    // Without drawing, nothing piles up in the recording surface during long runs.
    explicit tagHeadlessTraces(bool drawing = true) {
        chart.SetHost(&host);
        if (!drawing) {
            chart.SetRedrawEnabled(false);
        }
        traces = std::make_unique<CTraceSet>(chart, "Timeline(ms)", 1000, true, tagTraceCallbacks{});
    }
    CTraceSet& operator*() { return *traces; }
    CTraceSet* operator->() { return traces.get(); }

    CFakeChartHost host;
    CChartCtrl chart;
    std::unique_ptr<CTraceSet> traces;
};
