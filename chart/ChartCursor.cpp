#include "ChartCursor.h"

#include "ChartCtrl.h"

#include <atomic>

namespace {

std::atomic<uint32_t> g_nextCursorId{0};

} // namespace

CChartCursor::CChartCursor(CChartCtrl* parent) : m_parent(parent), m_cursorId(g_nextCursorId++) {}

void CChartCursor::SetVisible(bool shown) {
    m_shown = shown;
    if (m_parent) {
        m_parent->RedrawChart();
    }
}
