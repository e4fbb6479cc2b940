// A measurement cursor: a dashed line across the plot at a pixel position along one axis, dragged
// with the mouse, with a triangle handle above the plot.
#pragma once

#include "ChartCursor.h"

class CChartAxis;

class CChartCustomLineCursor : public CChartCursor {
public:
    static constexpr int kReach = 3; // pixels either side of the line that grab it

    CChartCustomLineCursor(CChartCtrl* parent, CChartAxis* axis);

    void OnMouseMove(int x, int y) override;
    void OnMouseButtonDown(int x, int y) override;
    void OnMouseButtonUp(int x, int y) override;
    void Draw(CChartSurface& surface) override;

    // Places the line at the value (rounded down when snapping), clamped to the axis range.
    void SetPositionValue(double value);
    void SetPositionByRatio(double ratio);
    // Places the line on the pixel whose value is nearest, so that a value the line gave comes
    // back as it was.
    void PlaceNearest(double value);
    double GetPositionValue() const;
    int GetPosition() const { return m_position; }
    void SetSnapToWholeValues(bool snap) { m_snap = snap; }
    void SetCallback(void (*callback)(void*), void* argument);

private:
    bool IsHorizontalAxis() const;
    bool Within(int c) const { return m_position - kReach <= c && c <= m_position + kReach; }

    CChartAxis* m_axis;
    int m_position = 0;
    bool m_snap = true;
    void (*m_callback)(void*) = nullptr;
    void* m_argument = nullptr;
};
