#include "ChartCustomAxisY.h"

#include "ChartAxisText.h"
#include "ChartCtrl.h"

#include <cmath>

CChartCustomAxisY::CChartCustomAxisY() {
    m_tickMarksShown = false;
    m_labelsShown = false;
    m_autoTicks = false;
    m_grid->SetVisible(false);
    m_minimum = -10000.0;
    m_maximum = 10000.0;
}

void CChartCustomAxisY::SetRange(double minimum, double maximum) {
    m_minimum = minimum;
    m_maximum = maximum;
    m_step = (maximum - minimum) / 10.0;
    if (m_parent) {
        m_parent->RedrawChart();
    }
}

bool CChartCustomAxisY::NextTickValue(double current, double& next) const {
    if (m_step == 0.0) {
        return false;
    }
    next = current + m_step;
    return next <= m_maximum;
}

int CChartCustomAxisY::CenteredLabelPixel(double value) const {
    const double start = m_minimum + std::floor((value - m_minimum) / m_step) * m_step;
    return LinearPixel(start + m_step / 2.0);
}

std::string CChartCustomAxisY::TickLabelText(double value) const {
    return FixedPointText(value, m_precision);
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
    m_history.push_back({m_minimum, m_maximum, m_step});
    m_minimum = minimum;
    m_step = (maximum - minimum) / 10.0;
    if (m_step < 0.01) {
        m_step = 0.01;
    }
    m_maximum = m_minimum + 10.0 * m_step;
}

void CChartCustomAxisY::ZoomBack() {
    if (m_history.empty()) {
        ResetZoom();
        return;
    }
    const tagZoomData last = m_history.back();
    m_history.pop_back();
    m_minimum = last.minimum;
    m_maximum = last.maximum;
    m_step = last.step;
    if (m_parent) {
        m_parent->RedrawChart();
    }
}

void CChartCustomAxisY::ResetZoom() {
    m_history.clear();
    SetRange(-10000.0, 10000.0);
}
