#include "ChartSerie.h"

#include "ChartAxis.h"
#include "ChartCtrl.h"

#include <atomic>

namespace {

std::atomic<uint32_t> g_nextSerieId{0};

} // namespace

CChartSerie::CChartSerie(CChartCtrl* parent) : m_parent(parent), m_serieId(g_nextSerieId++) {}

CChartSerie::~CChartSerie() {
    if (m_horizontalAxis) {
        m_horizontalAxis->DetachSerie(this);
    }
    if (m_verticalAxis) {
        m_verticalAxis->DetachSerie(this);
    }
}

void CChartSerie::SetAxes(CChartAxis* horizontal, CChartAxis* vertical) {
    m_horizontalAxis = horizontal;
    m_verticalAxis = vertical;
}

void CChartSerie::SetVisible(bool visible) {
    m_trace->SetVisible(visible);
    if (m_parent) {
        m_parent->RedrawChart();
    }
}

void CChartSerie::SetColor(COLORREF colour) {
    m_trace->SetColor(colour);
    if (m_parent) {
        m_parent->RedrawChart();
    }
}

void CChartSerie::SetYScale(double scale) {
    m_trace->SetYScale(scale);
    if (m_parent) {
        m_parent->RedrawChart();
    }
}
