// Base of the measurement cursors that the control routes the mouse to and paints on top.
#pragma once

#include "ChartGeometry.h"
#include "ChartSurface.h"

#include <cstdint>

class CChartCtrl;

class CChartCursor {
public:
    explicit CChartCursor(CChartCtrl* parent);
    virtual ~CChartCursor() = default;
    CChartCursor(const CChartCursor&) = delete;
    CChartCursor& operator=(const CChartCursor&) = delete;

    virtual void OnMouseMove(int x, int y) = 0;
    virtual void OnMouseButtonDown(int /*x*/, int /*y*/) {}
    virtual void OnMouseButtonUp(int /*x*/, int /*y*/) {}
    virtual void Draw(CChartSurface& surface) = 0;

    uint32_t GetCursorId() const { return m_cursorId; }
    bool IsDragging() const { return m_dragging; }
    bool IsHovered() const { return m_hover; }
    bool IsVisible() const { return m_shown; }
    void SetVisible(bool shown);
    void SetColor(COLORREF colour) { m_colour = colour; }
    COLORREF GetColor() const { return m_colour; }

protected:
    COLORREF m_colour = 0;
    CChartCtrl* m_parent;
    const uint32_t m_cursorId;
    bool m_dragging = false;
    bool m_hover = false;
    bool m_shown = true;
};
