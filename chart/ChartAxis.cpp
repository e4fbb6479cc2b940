#include "ChartAxis.h"

#include "ChartSerie.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

CChartAxis::CChartAxis()
    : m_grid(std::make_unique<CChartGrid>(nullptr, true)),
      m_title(std::make_unique<CChartAxisLabel>(nullptr)) {}

CChartAxis::~CChartAxis() = default;

void CChartAxis::SetParent(CChartCtrl* parent) {
    m_parent = parent;
    m_grid->SetParent(parent);
    m_title->SetParent(parent);
}

void CChartAxis::SetHorizontal(bool horizontal) {
    m_horizontal = horizontal;
    m_grid->SetHorizontal(horizontal);
    m_title->SetHorizontal(horizontal);
}

int CChartAxis::SpanLength() const {
    return std::abs(m_endPixel - m_startPixel);
}

int CChartAxis::LinearPixel(double value) const {
    const int length = SpanLength();
    // An empty range gives NaN here, which maps to the start.
    const int offset = ChartPixelOffset(std::floor(length * (value - m_minimum) / (m_maximum - m_minimum)));
    return m_horizontal ? m_startPixel + offset : m_startPixel - offset;
}

int CChartAxis::ValueToPixel(double value) const {
    if (m_minimum == m_maximum) {
        const int half = SpanLength() / 2;
        return m_horizontal ? m_startPixel + half : m_startPixel - half;
    }
    return m_centeredLabels ? CenteredLabelPixel(value) : LinearPixel(value);
}

CChartAxis::tagLinearMap CChartAxis::GetLinearMap() const {
    tagLinearMap map;
    map.linear = !m_centeredLabels && m_minimum != m_maximum;
    map.start = m_startPixel;
    map.direction = m_horizontal ? 1 : -1;
    map.minimum = m_minimum;
    map.range = m_maximum - m_minimum;
    map.SetLength(SpanLength());
    return map;
}

double CChartAxis::PixelToValue(int pixel) const {
    if (m_minimum == m_maximum) {
        return m_minimum;
    }
    const int offset = m_horizontal ? pixel - m_startPixel : m_startPixel - pixel;
    return static_cast<double>(offset) / SpanLength() * (m_maximum - m_minimum) + m_minimum;
}

void CChartAxis::PlaceAxis(const tagChartRect& chart, const tagChartRect& plot) {
    m_band = chart;
    if (m_horizontal) {
        m_startPixel = plot.left;
        m_endPixel = plot.right;
        if (m_secondary) {
            m_band.bottom = plot.top;
        } else {
            m_band.top = plot.bottom;
        }
    } else {
        m_startPixel = plot.bottom;
        m_endPixel = plot.top;
        if (m_secondary) {
            m_band.left = plot.right;
        } else {
            m_band.right = plot.left;
        }
    }
}

bool CChartAxis::PixelInside(int pixel) const {
    return m_horizontal ? (m_startPixel <= pixel && pixel <= m_endPixel)
                        : (m_startPixel >= pixel && pixel >= m_endPixel);
}

tagChartSize CChartAxis::LargestTickLabelSize(CChartSurface& surface) {
    tagChartSize largest;
    if (!m_labelsShown) {
        return largest;
    }
    m_labelFont.SelectInto(surface);
    WalkTicks([&](double value) {
        if (!PixelInside(ValueToPixel(value))) {
            return;
        }
        const tagChartSize extent = surface.GetTextExtent(TickLabelText(value));
        largest.cx = std::max(largest.cx, extent.cx);
        largest.cy = std::max(largest.cy, extent.cy);
    });
    m_labelFont.RestoreFrom(surface);
    return largest;
}

int CChartAxis::ReserveMargin(const tagChartRect& chart, tagChartRect& plot, CChartSurface& surface) {
    if (!m_visible) {
        return 0;
    }
    const tagChartSize labels = LargestTickLabelSize(surface);
    const tagChartSize title = m_title->GetSize(&surface);
    if (m_horizontal) {
        m_margin = title.cy + labels.cy + 6;
        if (m_secondary) {
            plot.top = std::max(plot.top, chart.top + m_margin);
            plot.right = std::min(plot.right, chart.right - 3 - labels.cx / 2);
        } else {
            plot.bottom = std::min(plot.bottom, chart.bottom - m_margin);
            plot.right = std::min(plot.right, chart.right - 20);
        }
    } else {
        m_margin = title.cx + labels.cx + (m_secondary ? 10 : 30);
        if (m_secondary) {
            plot.right = std::min(plot.right, chart.right - m_margin);
        } else {
            plot.left = std::max(plot.left, chart.left + m_margin);
        }
        plot.top = std::max(plot.top, chart.top + labels.cy / 2 + 3);
    }
    return m_margin;
}

void CChartAxis::Draw(CChartSurface& surface) {
    if (!m_visible) {
        return;
    }
    const tagChartPen previousPen = surface.SelectPen({0, m_lineColour});
    m_labelFont.SelectInto(surface);
    const COLORREF previousText = surface.SetTextColor(m_labelColour);
    surface.SetBkTransparent();

    if (m_horizontal) {
        const int y = m_secondary ? m_band.bottom - 1 : m_band.top + 1;
        surface.MoveTo(m_startPixel, y);
        surface.LineTo(m_endPixel, y);
    } else {
        const int x = m_secondary ? m_band.left + 1 : m_band.right - 1;
        surface.MoveTo(x, m_startPixel);
        surface.LineTo(x, m_endPixel);
    }

    // The title, centred on the span.
    const tagChartSize title = m_title->GetSize(&surface);
    if (title.cx > 0 || title.cy > 0) {
        const int mid = std::abs(m_startPixel + m_endPixel) / 2;
        if (m_horizontal) {
            const int x = mid - title.cx / 2;
            const int y = m_secondary ? m_band.top : m_band.bottom - title.cy;
            m_title->SetPosition(x, y, title);
        } else {
            const int y = mid + title.cy / 2;
            const int x = m_secondary ? m_band.right - title.cx - 2 : m_band.left;
            m_title->SetPosition(x, y, title);
        }
        m_title->Draw(surface); // restores the label font it found
    }

    m_grid->ClearTicks();
    WalkTicks([&](double value) { DrawTick(surface, value, title); });
    m_grid->Draw(surface);

    surface.SetTextColor(previousText);
    m_labelFont.RestoreFrom(surface);
    surface.SelectPen(previousPen);
}

void CChartAxis::DrawTick(CChartSurface& surface, double value, tagChartSize titleSize) {
    const int tick = TickPixel(value);
    const int labelPixel = ValueToPixel(value);
    const std::string text = TickLabelText(value);
    const tagChartSize extent = surface.GetTextExtent(text);
    const bool markShown = m_tickMarksShown && PixelInside(tick);
    const bool labelShown = m_labelsShown && PixelInside(labelPixel);

    if (m_horizontal && !m_secondary) {
        if (markShown) {
            surface.MoveTo(tick, m_band.top + 1);
            surface.LineTo(tick, m_band.top + 4);
        }
        if (labelShown) {
            surface.TextOut(labelPixel - extent.cx / 2, m_band.top + 5, text);
        }
    } else if (m_horizontal) {
        if (markShown) {
            surface.MoveTo(tick, m_band.bottom - 1);
            surface.LineTo(tick, m_band.bottom - 4);
        }
        if (labelShown) {
            surface.TextOut(labelPixel - extent.cx / 2, m_band.bottom - extent.cy - 5, text);
        }
    } else if (!m_secondary) {
        if (markShown) {
            surface.MoveTo(m_band.right - 1, tick);
            surface.LineTo(m_band.right - 4, tick);
        }
        if (labelShown) {
            surface.TextOut(m_band.left + titleSize.cx + 4, labelPixel - extent.cy / 2, text);
        }
    } else {
        if (markShown) {
            surface.MoveTo(m_band.left + 1, tick);
            surface.LineTo(m_band.left + 4, tick);
        }
        if (labelShown) {
            surface.TextOut(m_band.left + 6, labelPixel - extent.cy / 2, text);
        }
    }
    m_grid->AddTick(tick);
}

void CChartAxis::AttachSerie(CChartSerie* serie) {
    if (std::find(m_series.begin(), m_series.end(), serie) == m_series.end()) {
        m_series.push_back(serie);
    }
}

void CChartAxis::DetachSerie(CChartSerie* serie) {
    auto it = std::find(m_series.begin(), m_series.end(), serie);
    if (it != m_series.end()) {
        m_series.erase(it);
    }
}
