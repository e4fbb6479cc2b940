#include "ChartCustomLineCursor.h"

#include "ChartAxis.h"
#include "ChartCtrl.h"

#include <algorithm>
#include <cmath>

CChartCustomLineCursor::CChartCustomLineCursor(CChartCtrl* parent, CChartAxis* axis)
    : CChartCursor(parent), m_axis(axis) {
    m_colour = ChartRGB(255, 0, 0);
}

bool CChartCustomLineCursor::IsHorizontalAxis() const {
    return m_axis->IsHorizontal();
}

void CChartCustomLineCursor::SetCallback(void (*callback)(void*), void* argument) {
    m_callback = callback;
    m_argument = argument;
}

void CChartCustomLineCursor::OnMouseButtonDown(int x, int y) {
    if (m_shown && Within(IsHorizontalAxis() ? x : y)) {
        m_dragging = true;
        m_hover = true;
    }
}

void CChartCustomLineCursor::OnMouseButtonUp(int, int) {
    m_dragging = false;
    m_hover = false;
}

void CChartCustomLineCursor::OnMouseMove(int x, int y) {
    if (!m_shown) {
        return;
    }
    const int c = IsHorizontalAxis() ? x : y;
    if (!m_dragging) {
        m_hover = Within(c);
        return;
    }
    const tagChartRect& plot = m_parent->GetPlottingRect();
    m_position =
        IsHorizontalAxis() ? std::clamp(c, plot.left, plot.right) : std::clamp(c, plot.top, plot.bottom);
    if (m_callback) {
        m_callback(m_argument);
    }
}

void CChartCustomLineCursor::Draw(CChartSurface& surface) {
    if (!m_shown) {
        return;
    }
    const tagChartRect& plot = m_parent->GetPlottingRect();
    const tagChartPen previousPen = surface.SelectPen({2, m_colour});
    if (IsHorizontalAxis()) {
        for (int y = plot.top; y <= plot.bottom; y += 10) {
            surface.MoveTo(m_position, y);
            surface.LineTo(m_position, y + 5);
        }
        const tagChartBrush previousBrush = surface.SelectBrush({m_colour});
        surface.SelectPen({0, m_colour});
        surface.Polygon(
            {{m_position, plot.top}, {m_position - 8, plot.top - 12}, {m_position + 8, plot.top - 12}});
        surface.SelectBrush(previousBrush);
    } else {
        for (int x = plot.left; x < plot.right; x += 10) {
            surface.MoveTo(x, m_position);
            surface.LineTo(x + 5, m_position);
        }
    }
    surface.SelectPen(previousPen);
}

void CChartCustomLineCursor::SetPositionValue(double value) {
    if (m_snap) {
        value = std::floor(value);
    }
    value = std::clamp(value, m_axis->GetMinimum(), m_axis->GetMaximum());
    m_position = m_axis->ValueToPixel(value);
}

void CChartCustomLineCursor::PlaceNearest(double value) {
    SetPositionValue(value);
    const int below = m_position;
    const int next = below + (IsHorizontalAxis() ? 1 : -1);
    const double here = m_axis->PixelToValue(below);
    const double there = m_axis->PixelToValue(next);
    if (std::abs(there - value) < std::abs(here - value) && there <= m_axis->GetMaximum()) {
        m_position = next;
    }
}

void CChartCustomLineCursor::SetPositionByRatio(double ratio) {
    const double min = m_axis->GetMinimum();
    SetPositionValue(min + (m_axis->GetMaximum() - min) * ratio);
}

double CChartCustomLineCursor::GetPositionValue() const {
    return m_axis->PixelToValue(m_position);
}
