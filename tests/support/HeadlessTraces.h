// The main window's six traces without a chart, for tests, benchmarks and fuzzers.
#pragma once

#include "acquisition/ChannelModel.h"
#include "acquisition/MonitorState.h"
#include "traces/TraceSet.h"

#include <utility>
#include <vector>

struct tagHeadlessTraces {
    // The next channel of state, with its trace holding these points (x, y).
    void AddChannel(tagMonitorState& state, const tagOscilloElem& channel,
                    const std::vector<std::pair<double, double>>& points) {
        const size_t k = state.channels.size();
        state.channels.push_back(channel);
        traces.ApplyChannel(k, channel.colour, channel.dataType == GCM_BOOL);
        for (const auto& [x, y] : points) {
            traces.Trace(k).AddPoint(x, y);
        }
    }
    CTraceSet& operator*() { return traces; }
    CTraceSet* operator->() { return &traces; }

    CTraceSet traces{DefaultChannelColours};
};
