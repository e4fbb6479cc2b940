// A session's traces on a chart, as the window shows them, for tests of what the chart does.
#pragma once

#include "chart/ChartTraceDisplay.h"
#include "session/MonitorSession.h"
#include "support/RecordingSurface.h"

struct tagChartOfTraces {
    explicit tagChartOfTraces(CMonitorSession& session) : display(Make(chart, host, session.Traces())) {
        session.AttachDisplay(display);
    }
    explicit tagChartOfTraces(CTraceSet& traces) : display(Make(chart, host, traces)) {
        traces.SetDisplay(&display);
    }

    CFakeChartHost host;
    CChartCtrl chart;
    CChartTraceDisplay display;

private:
    static CChartTraceDisplay Make(CChartCtrl& chart, CFakeChartHost& host, CTraceSet& traces) {
        chart.SetHost(&host);
        return CChartTraceDisplay(chart, traces, "Timeline(ms)", 1000, true);
    }
};
