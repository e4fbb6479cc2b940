// The window that shows a chart: the chart asks it for its size, a back buffer and repaints.
#pragma once

#include "ChartGeometry.h"
#include "ChartSurface.h"

#include <memory>

enum class EnumChartPointer { Arrow, SizeAll };

class CChartHost {
public:
    virtual ~CChartHost() = default;

    virtual tagChartRect ClientRect() const = 0;
    virtual std::unique_ptr<CChartBuffer> CreateBuffer(tagChartSize size) = 0;
    // Schedules a repaint of the whole client area.
    virtual void Invalidate() = 0;
    // Performs a scheduled repaint at once.
    virtual void UpdateNow() = 0;
    virtual void CaptureMouse() = 0;
    virtual void ReleaseMouse() = 0;
    virtual void SetPointer(EnumChartPointer pointer) = 0;
    virtual COLORREF ButtonFaceColour() const = 0;
    // Asks for a redraw at the screen's next frame, many asks before it giving one redraw;
    // false when the host has no frames (the chart then redraws at once).
    virtual bool ScheduleRedraw() { return false; }
};
