// A marker at one instant of an axis: a solid line across the plot with a small flag at its top,
// in a colour of the caller's. It stays at its value as the axis scrolls and zooms, is drawn
// only while the value is in the axis' range and ignores the mouse.
#pragma once

#include "ChartCursor.h"

class CChartAxis;

class CChartMarkerLine : public CChartCursor {
public:
    CChartMarkerLine(CChartCtrl* parent, CChartAxis* axis);

    void OnMouseMove(int /*x*/, int /*y*/) override {}
    void Draw(CChartSurface& surface) override;

    void SetPositionValue(double value) { m_value = value; }
    double GetPositionValue() const { return m_value; }

private:
    CChartAxis* m_axis;
    double m_value = 0.0;
};
