// Base of the chart's series: what the control calls on every series, its axes, and the trace it
// shows (its own, or one of the recording's traces it is bound to), whose looks it reads and sets.
#pragma once

#include "ChartGeometry.h"
#include "ChartSurface.h"
#include "traces/Trace.h"

#include <cstdint>
#include <string>

class CChartCtrl;
class CChartAxis;

// Codes of the mouse events offered to the series.
enum EnumMouseEvent {
    MOUSE_MOVE = 0,
    MOUSE_LBUTTON_UP = 1,
    MOUSE_LBUTTON_DOWN = 2,
    MOUSE_LBUTTON_DBLCLK = 3,
    MOUSE_RBUTTON_UP = 4,
    MOUSE_RBUTTON_DOWN = 5,
    MOUSE_RBUTTON_DBLCLK = 6,
};

class CChartSerie {
public:
    explicit CChartSerie(CChartCtrl* parent);
    virtual ~CChartSerie();
    CChartSerie(const CChartSerie&) = delete;
    CChartSerie& operator=(const CChartSerie&) = delete;

    virtual void DrawAll(CChartSurface& surface) = 0;
    virtual void DrawPointLabels(CChartSurface& surface) = 0;
    virtual void DrawLegendSample(CChartSurface& surface, const tagChartRect& rect) = 0;
    // True when the series handled the event.
    virtual bool OnMouseEvent(EnumMouseEvent event, tagChartPoint point) = 0;
    virtual bool GetXRange(double& min, double& max) const = 0;
    virtual bool GetYRange(double& min, double& max) const = 0;

    uint32_t GetSerieId() const { return m_serieId; }
    CChartCtrl* GetParent() const { return m_parent; }

    // The trace shown from now on: one the series does not own, which outlives it.
    void ShowTrace(CTrace& trace) { m_trace = &trace; }
    CTrace& Trace() const { return *m_trace; }

    // Store, then redraw.
    bool IsVisible() const { return m_trace->IsVisible(); }
    void SetVisible(bool visible);
    COLORREF GetColor() const { return m_trace->GetColor(); }
    void SetColor(COLORREF colour);
    double GetYScale() const { return m_trace->GetYScale(); }
    void SetYScale(double scale);

    // Plain writes: the owner redraws.
    double GetYOffset() const { return m_trace->GetYOffset(); }
    void SetYOffset(double offset) { m_trace->SetYOffset(offset); }
    int GetChannelNumber() const { return m_trace->GetChannelNumber(); }
    void SetChannelNumber(int number) { m_trace->SetChannelNumber(number); }
    int GetStepMode() const { return m_trace->GetStepMode(); }
    void SetStepMode(int stepMode) { m_trace->SetStepMode(stepMode); }
    bool m_offsetMarkerShown = false;
    std::string m_name;

    void SetPlottingRect(const tagChartRect& rect) { m_clipRect = rect; }
    const tagChartRect& GetPlottingRect() const { return m_clipRect; }
    void SetColorInitial(COLORREF colour) { m_trace->SetColor(colour); }

    void SetAxes(CChartAxis* horizontal, CChartAxis* vertical);

protected:
    CChartCtrl* m_parent;
    CChartAxis* m_verticalAxis = nullptr;
    CChartAxis* m_horizontalAxis = nullptr;
    CTrace m_ownTrace;
    CTrace* m_trace = &m_ownTrace;
    tagChartRect m_clipRect;
    const uint32_t m_serieId;
};
