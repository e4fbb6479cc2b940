// The chart as the main window sets it up: the time and value axes, one line series per channel
// slot, the two measurement cursors and the trigger's marker.
#pragma once

#include "chart/ChartCtrl.h"
#include "chart/ChartCustomAxisX.h"
#include "chart/ChartCustomAxisY.h"
#include "chart/ChartCustomLineCursor.h"
#include "chart/ChartLineSerie.h"
#include "chart/ChartMarkerLine.h"
#include "link/OscilloTypes.h"

#include <array>
#include <string>

struct tagTraceCallbacks {
    void* owner = nullptr;
    ChartCallback viewChanged = nullptr; // cursor readouts and statistics
    ChartCallback mouseMoved = nullptr;  // tooltip
    ChartCallback timeRangeChanged = nullptr;
    ChartCallback cursorMoved = nullptr; // cursor readouts
};

class CTraceSet {
public:
    // Builds axes, six hidden series in the default colours and the cursors X1 and X2.
    CTraceSet(CChartCtrl& chart, const std::string& timeAxisTitle, uint32_t timeAxisStep, bool measurement,
              const tagTraceCallbacks& callbacks);

    CChartCtrl& Chart() { return m_chart; }
    CChartCustomAxisX& TimeAxis() { return *m_timeAxis; }
    CChartCustomAxisY& ValueAxis() { return *m_valueAxis; }
    CChartLineSerie& Serie(size_t k) { return *m_series[k]; }
    const CChartLineSerie& Serie(size_t k) const { return *m_series[k]; }
    CChartCustomLineCursor& CursorX1() { return *m_x1; }
    CChartCustomLineCursor& CursorX2() { return *m_x2; }
    // Where the trigger fired, in the trigger channel's colour; hidden until it does.
    CChartMarkerLine& TriggerMarker() { return *m_triggerMarker; }

    // Takes series k out and puts it at the end, cleared and hidden, renumbering all.
    void MoveSerieToEnd(size_t k);
    // Shows or hides both cursors and tells the control, in one redraw.
    void SetMeasurement(bool on);
    // Every series empty, hidden, in its default colour, scale 1 and offset 0, and no trigger
    // marker: where a load starts.
    void ResetAll();
    // Prepares series k for a new or changed channel.
    void ApplyChannel(size_t k, const tagOscilloElem& channel);
    // Every point of every trace drawn, or the sampled drawing; one redraw.
    void SetEveryPointDrawing(bool on);

private:
    CChartCtrl& m_chart;
    CChartCustomAxisX* m_timeAxis;
    CChartCustomAxisY* m_valueAxis;
    std::array<CChartLineSerie*, kMaxChannels> m_series{};
    CChartCustomLineCursor* m_x1;
    CChartCustomLineCursor* m_x2;
    CChartMarkerLine* m_triggerMarker;
};
