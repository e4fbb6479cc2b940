#include "ChartCustomAxisY.h"

CChartCustomAxisY::CChartCustomAxisY() : CChartStepAxis(2000.0) {
    m_labelsShown = false; // only the axis line
    m_minimum = -10000.0;
    m_maximum = 10000.0;
}

void CChartCustomAxisY::SetRange(double minimum, double maximum) {
    m_minimum = minimum;
    m_maximum = maximum;
    m_step = (maximum - minimum) / 10.0;
    Redraw();
}

void CChartCustomAxisY::PanByPixels(int startPixel, int endPixel) {
    m_history.clear();
    m_minimum += PixelToValue(startPixel) - PixelToValue(endPixel);
    m_maximum = m_minimum + 10.0 * m_step;
}

void CChartCustomAxisY::ZoomToRange(double minimum, double maximum) {
    if (m_minimum == m_maximum) {
        return;
    }
    PushZoom();
    m_minimum = minimum;
    m_step = (maximum - minimum) / 10.0;
    if (m_step < 0.01) {
        m_step = 0.01;
    }
    m_maximum = m_minimum + 10.0 * m_step;
}

void CChartCustomAxisY::ZoomBack() {
    if (!PopZoom()) {
        ResetZoom();
        return;
    }
    Redraw();
}

void CChartCustomAxisY::ResetZoom() {
    m_history.clear();
    SetRange(-10000.0, 10000.0);
}
