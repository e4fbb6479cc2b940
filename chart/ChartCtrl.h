// The chart control: owns axes, series, cursors, title and legend; lays them out, draws them into a
// back buffer and turns mouse input into zoom, pan, offset-marker drags and cursor moves.
#pragma once

#include "ChartAxis.h"
#include "ChartCursor.h"
#include "ChartGeometry.h"
#include "ChartHost.h"
#include "ChartLegend.h"
#include "ChartSerie.h"
#include "ChartSurface.h"
#include "ChartTitle.h"

#include <array>
#include <map>
#include <memory>
#include <vector>

class CChartLineSerie;

enum AxisPosition { LeftAxis = 0, BottomAxis = 1, RightAxis = 2, TopAxis = 3 };

using ChartCallback = void (*)(void* owner);

class CChartCtrl {
public:
    static constexpr std::array<COLORREF, 10> kPalette{
        ChartRGB(255, 0, 0),   ChartRGB(0, 150, 0),    ChartRGB(0, 0, 255),   ChartRGB(255, 255, 0),
        ChartRGB(0, 255, 255), ChartRGB(255, 128, 0),  ChartRGB(128, 0, 128), ChartRGB(128, 128, 0),
        ChartRGB(255, 0, 255), ChartRGB(64, 128, 128),
    };

    CChartCtrl();
    virtual ~CChartCtrl();
    CChartCtrl(const CChartCtrl&) = delete;
    CChartCtrl& operator=(const CChartCtrl&) = delete;

    // The window showing the chart; without one nothing is drawn.
    void SetHost(CChartHost* host);

    void RedrawChart();
    // A line of text in the plot's top left corner over the traces, or none (empty).
    void SetPlotNotice(const std::string& text);
    const std::string& GetPlotNotice() const { return m_plotNotice; }
    // A redraw at the host's next frame where it has frames, else at once.
    void RequestRedraw();
    // paced: a redraw held back while disabled comes at the host's next frame.
    void SetRedrawEnabled(bool enabled, bool paced = false);

    // The control takes ownership of the axis and deletes the one it replaces.
    void AttachAxis(CChartAxis* axis, AxisPosition position);
    CChartAxis* GetAxis(AxisPosition position) const { return m_axes[position].get(); }
    CChartAxis* GetLeftAxis() const { return GetAxis(LeftAxis); }

    // The control takes ownership of series and cursors.
    CChartLineSerie* CreateLineSerie(bool secondaryHorizontal, bool secondaryVertical);
    void AddSerie(CChartSerie* serie, bool secondaryHorizontal, bool secondaryVertical);
    void RemoveAllSeries();
    std::vector<CChartSerie*> Series() const;
    void AddCursor(CChartCursor* cursor);

    void SetOwner(void* owner) { m_owner = owner; }
    void SetViewChangedCallback(ChartCallback callback) { m_viewChanged = callback; }
    void SetMouseMovedCallback(ChartCallback callback) { m_mouseMoved = callback; }

    virtual void DrawChart(CChartSurface& surface, tagChartRect rect);
    virtual void DrawBackground(CChartSurface& surface, const tagChartRect& rect);

    // Events from the host window.
    void OnPaint(CChartSurface& screen);
    // The whole chart drawn straight onto the screen's own pixels, without the back buffer and
    // the copy of it (the larger part of a frame's cost while recording); the buffer is drawn
    // again when a later paint needs it. False, with nothing drawn, while redraws are held back.
    bool PaintFresh(CChartSurface& screen);
    // The next paint draws the buffer again first: a frame's redraw the screen could not take.
    void MarkBufferStale() { m_bufferStale = true; }
    // The cursors, which the screen draws over the back buffer.
    void DrawCursors(CChartSurface& surface);
    void OnSize();
    void OnMouseMove(int x, int y);
    void OnLButtonDown(int x, int y);
    void OnLButtonUp(int x, int y);
    void OnLButtonDblClk(int x, int y);
    void OnRButtonDown(int x, int y);
    void OnRButtonUp(int x, int y);
    void OnRButtonDblClk(int x, int y);

    int HitTestOffsetMarker(int x, int y) const;

    const tagChartRect& GetPlottingRect() const { return m_plot; }
    tagChartPoint GetLastMousePoint() const { return m_lastMouse; }
    bool IsMouseFree() const { return m_freeMouse; }

    void SetZoomRectColor(COLORREF colour) { m_zoomColour = colour; }
    void SetZoomRectPenWidth(int width) { m_zoomPenWidth = width; }
    void SetDottedGrid(bool on) { m_dottedGrid = on; }
    void SetMeasurementMode(int mode) { m_measurement = mode; }
    CChartTitle& GetTitle() { return *m_title; }

private:
    // The buffer drawn again; invalidate: a repaint of the host asked for.
    void Redraw(bool invalidate);
    // Background and chart over the whole client area.
    void DrawWhole(CChartSurface& surface, const tagChartRect& client);
    void DrawDottedGrid(CChartSurface& surface);
    void DrawPlotNotice(CChartSurface& surface);
    // What the screen draws over the chart: the zoom rectangle and the cursors.
    void DrawOverlays(CChartSurface& screen);
    void DrawOffsetMarkers(CChartSurface& surface);
    // Pixel y of a series' offset marker, or nothing when the offset is outside the left axis.
    bool MarkerY(const CChartSerie& serie, int& y) const;
    void DispatchMouseEvent(EnumMouseEvent event, tagChartPoint point);
    // The parts of a mouse move: panning by the right button, cursors under the pointer, an offset
    // marker dragged.
    void PanTo(tagChartPoint point);
    void HoverCursors(tagChartPoint point);
    void DragMarkerTo(int y);
    void NotifyViewChanged();

    CChartHost* m_host = nullptr;
    std::unique_ptr<CChartBuffer> m_buffer;
    bool m_bufferStale = false; // the screen was painted fresh since the buffer was drawn
    int m_redrawCounter = 1;
    bool m_redrawPending = false;
    std::string m_plotNotice;
    std::vector<std::pair<tagChartPoint, tagChartPoint>> m_gridDashes; // kept for their storage
    bool m_paintedOnce = false;
    COLORREF m_background = ChartRGB(240, 240, 240); // the host's button face
    const COLORREF m_borderColour = ChartRGB(0, 0, 0);
    tagChartRect m_plot;

    std::map<uint32_t, std::unique_ptr<CChartSerie>> m_series;
    std::array<std::unique_ptr<CChartAxis>, 4> m_axes;
    std::unique_ptr<CChartLegend> m_legend;
    std::unique_ptr<CChartTitle> m_title;

    bool m_panActive = false;
    tagChartPoint m_lastPan;
    tagChartPoint m_timePanAnchor;
    bool m_zoomActive = false;
    tagChartRect m_zoomRect; // (left, top) press point, (right, bottom) last move point
    COLORREF m_zoomColour = ChartRGB(255, 255, 255);
    int m_zoomPenWidth = 1;
    bool m_dottedGrid = false;
    int m_draggedMarker = -1;
    std::map<uint32_t, std::unique_ptr<CChartCursor>> m_cursors;
    int m_measurement = 0;
    tagChartPoint m_lastMouse;
    bool m_freeMouse = false;

    void* m_owner = nullptr;
    ChartCallback m_viewChanged = nullptr;
    ChartCallback m_mouseMoved = nullptr;
};
