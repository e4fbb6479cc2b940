#include "ChartCustomAxisX.h"

#include <algorithm>
#include <cmath>

CChartCustomAxisX::CChartCustomAxisX() : CChartStepAxis(10.0) {}

void CChartCustomAxisX::NotifyRangeChanged() {
    if (m_rangeChanged) {
        m_rangeChanged(m_owner);
    }
}

void CChartCustomAxisX::Normalise(double a, double b) {
    m_minimum = std::max(0.0, std::floor(a));
    m_step = std::ceil(std::max(1.0, (b - m_minimum) / 10.0));
    m_maximum = m_minimum + 10.0 * m_step;
}

void CChartCustomAxisX::SetRange(double minimum, double maximum) {
    Normalise(minimum, maximum);
    Redraw();
    NotifyRangeChanged();
}

bool CChartCustomAxisX::PanStepAllowed(int startPixel, int endPixel) const {
    const double d = std::trunc(PixelToValue(startPixel) - PixelToValue(endPixel));
    return d >= 1.0 || d <= -1.0;
}

void CChartCustomAxisX::PanByPixels(int startPixel, int endPixel) {
    m_history.clear();
    const double d = std::trunc(PixelToValue(startPixel) - PixelToValue(endPixel));
    m_minimum = std::max(0.0, m_minimum + d);
    m_maximum = m_minimum + 10.0 * m_step;
}

void CChartCustomAxisX::ZoomToRange(double minimum, double maximum) {
    if (m_minimum == m_maximum) {
        return;
    }
    PushZoom();
    Normalise(minimum, maximum);
    NotifyRangeChanged();
}

void CChartCustomAxisX::ZoomBack() {
    if (!PopZoom()) {
        ResetZoom();
        return;
    }
    Redraw();
    NotifyRangeChanged();
}

void CChartCustomAxisX::SetBaseStep(double step) {
    const double v = step < 1.0 ? 1.0 : step;
    m_homeStep = v;
    m_step = v;
    m_maximum = m_minimum + 10.0 * v;
    Redraw();
}

void CChartCustomAxisX::FollowTime(double t) {
    if (t > m_maximum) {
        m_minimum += t - m_maximum;
        m_maximum = t;
        Redraw();
    }
}

void CChartCustomAxisX::ResetZoom() {
    m_history.clear();
    m_step = m_homeStep;
    m_minimum = 0.0;
    m_maximum = 10.0 * m_homeStep;
    Redraw();
    NotifyRangeChanged();
}

void CChartCustomAxisX::SetRangeChangedCallback(void (*callback)(void*), void* owner) {
    m_rangeChanged = callback;
    m_owner = owner;
}
