#include "ChartStepAxis.h"

#include "ChartCtrl.h"
#include "kit/NumberText.h"

#include <cmath>
#include <cstdio>

CChartStepAxis::CChartStepAxis(double step) : m_step(step) {
    // Ten divisions that line up with the control's dotted grid: no marks, no grid of their own.
    m_tickMarksShown = false;
    m_autoTicks = false;
    m_grid->SetVisible(false);
}

bool CChartStepAxis::NextTickValue(double current, double& next) const {
    if (m_step == 0.0) {
        return false;
    }
    next = current + m_step;
    return next <= m_maximum;
}

int CChartStepAxis::CenteredLabelPixel(double value) const {
    const double start = m_minimum + std::floor((value - m_minimum) / m_step) * m_step;
    return LinearPixel(start + m_step / 2.0);
}

std::string CChartStepAxis::TickLabelText(double value) const {
    return g_FixedText(value, m_precision);
}

bool CChartStepAxis::PopZoom() {
    if (m_history.empty()) {
        return false;
    }
    const tagZoomData last = m_history.back();
    m_history.pop_back();
    m_minimum = last.minimum;
    m_maximum = last.maximum;
    m_step = last.step;
    return true;
}

void CChartStepAxis::Redraw() {
    if (m_parent) {
        m_parent->RedrawChart();
    }
}
