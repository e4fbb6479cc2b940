// Base of the chart's traces: display attributes, axes and what the control calls on every series.
#pragma once

#include "ChartGeometry.h"
#include "ChartSurface.h"

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

    bool IsVisible() const { return m_visible; }
    void SetVisible(bool visible);
    COLORREF GetColor() const { return m_colour; }
    void SetColor(COLORREF colour);
    double GetYScale() const { return m_yScale; }
    void SetYScale(double scale);

    // Plain writes: the owner redraws.
    bool m_offsetMarkerShown = false;
    double m_yOffset = 0.0;
    int m_channelNumber = 0;
    int m_stepMode = 0;
    std::string m_name;

    void SetPlottingRect(const tagChartRect& rect) { m_clipRect = rect; }
    const tagChartRect& GetPlottingRect() const { return m_clipRect; }
    void SetColorInitial(COLORREF colour) { m_colour = colour; }

    void SetAxes(CChartAxis* horizontal, CChartAxis* vertical);

protected:
    CChartCtrl* m_parent;
    CChartAxis* m_verticalAxis = nullptr;
    CChartAxis* m_horizontalAxis = nullptr;
    double m_yScale = 1.0;
    bool m_visible = true;
    COLORREF m_colour = 0;
    tagChartRect m_clipRect;
    const uint32_t m_serieId;
};
