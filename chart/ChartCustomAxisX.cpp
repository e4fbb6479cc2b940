#include "ChartCustomAxisX.h"

#include "ChartAxisText.h"
#include "ChartCtrl.h"

#include <algorithm>
#include <cmath>

CChartCustomAxisX::CChartCustomAxisX() {
    m_tickMarksShown = false;
    m_autoTicks = false;
    m_grid->SetVisible(false);
}

void CChartCustomAxisX::Redraw() {
    if (m_parent) {
        m_parent->RedrawChart();
    }
}

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

bool CChartCustomAxisX::NextTickValue(double current, double& next) const {
    if (m_step == 0.0) {
        return false;
    }
    next = current + m_step;
    return next <= m_maximum;
}

int CChartCustomAxisX::CenteredLabelPixel(double value) const {
    const double start = m_minimum + std::floor((value - m_minimum) / m_step) * m_step;
    return LinearPixel(start + m_step / 2.0);
}

std::string CChartCustomAxisX::TickLabelText(double value) const {
    return FixedPointText(value, m_precision);
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
    m_history.push_back({m_minimum, m_maximum, m_step});
    Normalise(minimum, maximum);
    NotifyRangeChanged();
}

void CChartCustomAxisX::ZoomBack() {
    if (m_history.empty()) {
        ResetZoom();
        return;
    }
    const tagZoomData last = m_history.back();
    m_history.pop_back();
    m_minimum = last.minimum;
    m_maximum = last.maximum;
    m_step = last.step;
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
