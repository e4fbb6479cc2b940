#include "ChartCtrl.h"

#include "ChartLineSerie.h"
#include "kit/NumberText.h"

#include <algorithm>
#include <cstdio>

namespace {

constexpr AxisPosition kZoomOrder[] = {BottomAxis, LeftAxis, TopAxis, RightAxis};

} // namespace

CChartCtrl::CChartCtrl()
    : m_legend(std::make_unique<CChartLegend>(this)), m_title(std::make_unique<CChartTitle>(this)) {}

CChartCtrl::~CChartCtrl() {
    // Series unregister from their axes, so they go first.
    m_series.clear();
    m_cursors.clear();
}

void CChartCtrl::SetHost(CChartHost* host) {
    m_host = host;
    m_buffer.reset();
    if (host) {
        m_background = host->ButtonFaceColour();
    }
}

void CChartCtrl::RedrawChart() {
    Redraw(true);
}

void CChartCtrl::Redraw(bool invalidate) {
    if (!m_host) {
        return;
    }
    if (m_redrawCounter < 1) {
        m_redrawPending = true;
        return;
    }
    const tagChartRect client = m_host->ClientRect();
    if (!m_buffer) {
        m_buffer = m_host->CreateBuffer({client.Width(), client.Height()});
    }
    DrawWhole(m_buffer->Surface(), client);
    m_bufferStale = false;
    if (invalidate) {
        m_host->Invalidate();
    }
}

void CChartCtrl::DrawWhole(CChartSurface& surface, const tagChartRect& client) {
    DrawBackground(surface, client);
    DrawChart(surface, client.Deflated(3));
}

bool CChartCtrl::PaintFresh(CChartSurface& screen) {
    if (!m_host || m_redrawCounter < 1) {
        return false;
    }
    DrawWhole(screen, m_host->ClientRect());
    m_bufferStale = true;
    m_paintedOnce = true;
    DrawOverlays(screen);
    return true;
}

void CChartCtrl::SetPlotNotice(const std::string& text) {
    if (text != m_plotNotice) {
        m_plotNotice = text;
        RedrawChart();
    }
}

void CChartCtrl::DrawPlotNotice(CChartSurface& surface) {
    if (m_plotNotice.empty()) {
        return;
    }
    const tagChartSize extent = surface.GetTextExtent(m_plotNotice);
    const tagChartRect box{m_plot.left + 6, m_plot.top + 6, m_plot.left + 18 + extent.cx,
                           m_plot.top + 12 + extent.cy};
    surface.FillSolidRect(box, ChartRGB(255, 255, 225));
    const tagChartPen previous = surface.SelectPen({0, ChartRGB(128, 128, 128)});
    surface.MoveTo(box.left, box.top);
    surface.LineTo(box.right - 1, box.top);
    surface.LineTo(box.right - 1, box.bottom - 1);
    surface.LineTo(box.left, box.bottom - 1);
    surface.LineTo(box.left, box.top);
    surface.SelectPen(previous);
    surface.SetBkTransparent();
    const COLORREF text = surface.SetTextColor(ChartRGB(0, 0, 0));
    surface.TextOut(box.left + 6, box.top + 3, m_plotNotice);
    surface.SetTextColor(text);
}

void CChartCtrl::RequestRedraw() {
    if (!m_host || !m_host->ScheduleRedraw()) {
        RedrawChart();
    }
}

void CChartCtrl::SetRedrawEnabled(bool enabled, bool paced) {
    m_redrawCounter += enabled ? 1 : -1;
    if (m_redrawCounter >= 1 && m_redrawPending) {
        m_redrawPending = false;
        paced ? RequestRedraw() : RedrawChart();
    }
}

void CChartCtrl::AttachAxis(CChartAxis* axis, AxisPosition position) {
    axis->SetHorizontal(position == BottomAxis || position == TopAxis);
    axis->SetSecondary(position == RightAxis || position == TopAxis);
    axis->SetParent(this);
    m_axes[position].reset(axis);
}

void CChartCtrl::AddSerie(CChartSerie* serie, bool secondaryHorizontal, bool secondaryVertical) {
    CChartAxis* horizontal = GetAxis(secondaryHorizontal ? TopAxis : BottomAxis);
    CChartAxis* vertical = GetAxis(secondaryVertical ? RightAxis : LeftAxis);
    serie->SetColorInitial(kPalette[m_series.size() % kPalette.size()]);
    serie->SetPlottingRect(m_plot);
    serie->SetAxes(horizontal, vertical);
    m_series[serie->GetSerieId()].reset(serie);

    SetRedrawEnabled(false);
    for (CChartAxis* axis : {vertical, horizontal}) {
        if (axis) {
            axis->AttachSerie(serie);
            axis->RecomputeAutoRange();
        }
    }
    RedrawChart();
    SetRedrawEnabled(true);
}

CChartLineSerie* CChartCtrl::CreateLineSerie(bool secondaryHorizontal, bool secondaryVertical) {
    auto* serie = new CChartLineSerie(this);
    AddSerie(serie, secondaryHorizontal, secondaryVertical);
    return serie;
}

void CChartCtrl::RemoveAllSeries() {
    m_series.clear();
    RedrawChart();
}

std::vector<CChartSerie*> CChartCtrl::Series() const {
    std::vector<CChartSerie*> series;
    for (const auto& [id, serie] : m_series) {
        series.push_back(serie.get());
    }
    return series;
}

void CChartCtrl::AddCursor(CChartCursor* cursor) {
    m_cursors[cursor->GetCursorId()].reset(cursor);
}

void CChartCtrl::DrawBackground(CChartSurface& surface, const tagChartRect& rect) {
    surface.FillSolidRect(rect, m_background);
    surface.DrawRaisedEdge(rect);
}

void CChartCtrl::DrawChart(CChartSurface& surface, tagChartRect rect) {
    m_plot = rect;

    const tagChartSize titleSize = m_title->GetSize(surface);
    m_title->SetPosition({rect.left, rect.top, rect.right, rect.top + titleSize.cy});
    m_title->Draw(surface);
    rect.top += titleSize.cy + 12;

    m_legend->UpdatePosition(surface, rect);

    // First every axis claims its margin, then each draws in the final layout.
    auto prepare = [&](CChartAxis& axis) {
        axis.PlaceAxis(rect, m_plot);
        if (axis.HasAutoTicks()) {
            axis.UpdateTickStep();
        }
        axis.UpdateFirstTick();
    };
    for (auto& axis : m_axes) {
        if (axis) {
            prepare(*axis);
            axis->ReserveMargin(rect, m_plot, surface);
        }
    }
    for (auto& axis : m_axes) {
        if (axis) {
            prepare(*axis);
            axis->Draw(surface);
        }
    }

    const tagChartPen previous = surface.SelectPen({0, m_borderColour});
    surface.MoveTo(m_plot.left, m_plot.top);
    surface.LineTo(m_plot.right, m_plot.top);
    surface.LineTo(m_plot.right, m_plot.bottom);
    surface.LineTo(m_plot.left, m_plot.bottom);
    surface.LineTo(m_plot.left, m_plot.top);

    if (m_dottedGrid) {
        DrawDottedGrid(surface);
    }
    DrawOffsetMarkers(surface);
    surface.SelectPen(previous);

    // Only the traces (in the plot) and their gap marks (under it) are drawn in between.
    surface.BeginTraces();
    for (auto& [id, serie] : m_series) {
        serie->SetPlottingRect({m_plot.left, m_plot.top, m_plot.right + 1, m_plot.bottom + 1});
        serie->DrawAll(surface);
    }
    surface.EndTraces();
    surface.SetClipRect(m_plot);
    for (auto& [id, serie] : m_series) {
        serie->DrawPointLabels(surface);
    }
    surface.ResetClip();
    DrawPlotNotice(surface);
    m_legend->Draw(surface);
}

void CChartCtrl::DrawDottedGrid(CChartSurface& surface) {
    surface.SelectPen({0, ChartRGB(128, 128, 128)});
    const tagChartRect& p = m_plot;
    m_gridDashes.clear();
    for (int k = 1; k <= 9; ++k) {
        const int y = p.top + static_cast<int>(k * (0.1 * (p.bottom - p.top)));
        for (int x = p.left; x < p.right; x += 6) {
            m_gridDashes.push_back({{x, y}, {x + 3, y}});
        }
    }
    for (int k = 1; k <= 9; ++k) {
        const int x = p.left + static_cast<int>(k * (0.1 * (p.right - p.left)));
        for (int y = p.bottom; y > p.top; y -= 6) {
            m_gridDashes.push_back({{x, y}, {x, y - 3}});
        }
    }
    surface.Segments(m_gridDashes);
}

bool CChartCtrl::MarkerY(const CChartSerie& serie, int& y) const {
    const CChartAxis* left = GetLeftAxis();
    if (!left || !serie.m_offsetMarkerShown || !serie.IsVisible()) {
        return false;
    }
    const double min = left->GetMinimum();
    const double max = left->GetMaximum();
    const double v = serie.GetYOffset();
    if (!(min <= v && v <= max)) {
        return false;
    }
    y = m_plot.top + static_cast<int>((max - v) * (m_plot.bottom - m_plot.top) / (max - min));
    return true;
}

void CChartCtrl::DrawOffsetMarkers(CChartSurface& surface) {
    if (!GetLeftAxis()) {
        return;
    }
    for (auto it = m_series.rbegin(); it != m_series.rend(); ++it) {
        const CChartSerie& serie = *it->second;
        int y = 0;
        if (!MarkerY(serie, y)) {
            continue;
        }
        const int l = m_plot.left - 1;
        const tagChartBrush previousBrush = surface.SelectBrush({serie.GetColor()});
        const tagChartPen previousPen = surface.SelectPen({0, ChartRGB(240, 240, 240)});
        surface.Polygon({{l, y}, {l - 10, y - 10}, {l - 24, y - 10}, {l - 24, y + 10}, {l - 10, y + 10}});

        const std::string number = g_IntegerText(serie.GetChannelNumber() + 1);
        const tagChartSize extent = surface.GetTextExtent(number);
        surface.SetBkTransparent();
        const COLORREF previousText = surface.SetTextColor(ChartRGB(255, 255, 255));
        surface.TextOut(m_plot.left - 15 - extent.cx / 2, y - extent.cy / 2, number);
        surface.SetTextColor(previousText);
        surface.SelectPen(previousPen);
        surface.SelectBrush(previousBrush);
    }
}

void CChartCtrl::OnPaint(CChartSurface& screen) {
    if (!m_paintedOnce || m_bufferStale) {
        Redraw(false); // this paint shows it: no other one asked for
        m_paintedOnce = true;
    }
    if (m_buffer) {
        screen.DrawBuffer(*m_buffer);
    }
    DrawOverlays(screen);
}

void CChartCtrl::DrawOverlays(CChartSurface& screen) {
    if (m_zoomActive) {
        const tagChartPen previous = screen.SelectPen({m_zoomPenWidth, m_zoomColour});
        const tagChartRect& z = m_zoomRect;
        screen.MoveTo(z.left, z.top);
        screen.LineTo(z.right, z.top);
        screen.LineTo(z.right, z.bottom);
        screen.LineTo(z.left, z.bottom);
        screen.LineTo(z.left, z.top);
        screen.SelectPen(previous);
    }
    DrawCursors(screen);
}

void CChartCtrl::DrawCursors(CChartSurface& surface) {
    for (auto& [id, cursor] : m_cursors) {
        cursor->Draw(surface);
    }
}

void CChartCtrl::OnSize() {
    m_buffer.reset();
    RedrawChart();
}

void CChartCtrl::NotifyViewChanged() {
    if (m_viewChanged) {
        m_viewChanged(m_owner);
    }
}

void CChartCtrl::PanTo(tagChartPoint point) {
    if (point == m_lastPan && point == m_timePanAnchor) {
        return;
    }
    SetRedrawEnabled(false);
    for (AxisPosition position : {LeftAxis, RightAxis}) {
        if (CChartAxis* axis = GetAxis(position)) {
            axis->PanByPixels(m_lastPan.y, point.y);
        }
    }
    if (CChartAxis* bottom = GetAxis(BottomAxis)) {
        // Small moves add up until the time axis can move a whole step.
        if (bottom->PanStepAllowed(m_timePanAnchor.x, point.x)) {
            bottom->PanByPixels(m_timePanAnchor.x, point.x);
            m_timePanAnchor = point;
        }
    }
    if (CChartAxis* top = GetAxis(TopAxis)) {
        top->PanByPixels(m_lastPan.x, point.x);
    }
    RedrawChart();
    SetRedrawEnabled(true);
    if (m_host) {
        m_host->UpdateNow();
    }
    m_lastPan = point;
    NotifyViewChanged();
}

void CChartCtrl::HoverCursors(tagChartPoint point) {
    for (auto& [id, cursor] : m_cursors) {
        cursor->OnMouseMove(point.x, point.y);
        if (cursor->IsHovered()) {
            if (m_host) {
                m_host->SetPointer(EnumChartPointer::SizeAll);
                m_host->Invalidate();
                m_host->UpdateNow();
            }
            return;
        }
    }
}

void CChartCtrl::DragMarkerTo(int y) {
    if (m_host) {
        m_host->SetPointer(EnumChartPointer::SizeAll);
    }
    const int clamped = std::clamp(y, m_plot.top, m_plot.bottom);
    if (const CChartAxis* left = GetLeftAxis()) {
        const double min = left->GetMinimum();
        const double max = left->GetMaximum();
        const double offset = min + (m_plot.bottom - clamped) * (max - min) / (m_plot.bottom - m_plot.top);
        auto it = m_series.find(static_cast<uint32_t>(m_draggedMarker));
        if (it != m_series.end()) {
            it->second->SetYOffset(offset);
        }
        RedrawChart();
        NotifyViewChanged();
    }
}

void CChartCtrl::OnMouseMove(int x, int y) {
    const tagChartPoint point{x, y};
    // Free: no zoom, pan or drag, over no marker, measuring (the tooltip's moves).
    bool free = m_measurement != 0 && !m_panActive && !m_zoomActive;
    if (m_panActive) {
        PanTo(point);
    }
    if (m_zoomActive) {
        m_zoomRect.right = x;
        m_zoomRect.bottom = y;
        if (m_host) {
            m_host->Invalidate();
        }
    }
    if (m_host) {
        m_host->SetPointer(EnumChartPointer::Arrow);
    }
    if (!m_zoomActive && !m_panActive && m_draggedMarker == -1) {
        HoverCursors(point);
    }
    if (m_draggedMarker != -1) {
        DragMarkerTo(y);
        free = false;
    } else if (HitTestOffsetMarker(x, y) != -1) {
        if (m_host) {
            m_host->SetPointer(EnumChartPointer::SizeAll);
        }
        free = false;
    }
    m_lastMouse = point;
    m_freeMouse = free;
    if (m_mouseMoved) {
        m_mouseMoved(m_owner);
    }
    DispatchMouseEvent(MOUSE_MOVE, point);
}

void CChartCtrl::OnLButtonDown(int x, int y) {
    if (m_host) {
        m_host->CaptureMouse();
    }
    for (auto& [id, cursor] : m_cursors) {
        cursor->OnMouseButtonDown(x, y);
        if (cursor->IsDragging()) {
            if (m_host) {
                m_host->Invalidate();
            }
            m_draggedMarker = HitTestOffsetMarker(x, y);
            DispatchMouseEvent(MOUSE_LBUTTON_DOWN, {x, y});
            return;
        }
    }
    if (m_plot.Contains(x, y)) {
        m_zoomActive = true;
        m_zoomRect = {x, y, x, y};
        if (m_host) {
            m_host->Invalidate();
        }
    }
    m_draggedMarker = HitTestOffsetMarker(x, y);
    DispatchMouseEvent(MOUSE_LBUTTON_DOWN, {x, y});
}

void CChartCtrl::OnLButtonUp(int x, int y) {
    if (m_host) {
        m_host->ReleaseMouse();
    }
    if (m_zoomActive) {
        const tagChartRect z = m_zoomRect;
        if (z.left <= z.right && z.top <= z.bottom) {
            if (z.left != z.right && z.top != z.bottom) {
                for (AxisPosition position : kZoomOrder) {
                    CChartAxis* axis = GetAxis(position);
                    if (!axis) {
                        continue;
                    }
                    if (axis->IsHorizontal()) {
                        axis->ZoomToRange(axis->PixelToValue(z.left), axis->PixelToValue(z.right));
                    } else {
                        axis->ZoomToRange(axis->PixelToValue(z.bottom), axis->PixelToValue(z.top));
                    }
                }
                RedrawChart();
                NotifyViewChanged();
            } else if (m_host) {
                m_host->Invalidate();
            }
        } else {
            SetRedrawEnabled(false);
            for (AxisPosition position : kZoomOrder) {
                if (CChartAxis* axis = GetAxis(position)) {
                    axis->ZoomBack();
                }
            }
            SetRedrawEnabled(true);
            NotifyViewChanged();
        }
    }
    m_zoomActive = false;
    m_draggedMarker = -1;
    for (auto& [id, cursor] : m_cursors) {
        cursor->OnMouseButtonUp(x, y);
    }
    DispatchMouseEvent(MOUSE_LBUTTON_UP, {x, y});
}

void CChartCtrl::OnLButtonDblClk(int x, int y) {
    DispatchMouseEvent(MOUSE_LBUTTON_DBLCLK, {x, y});
}

void CChartCtrl::OnRButtonDown(int x, int y) {
    if (m_host) {
        m_host->CaptureMouse();
    }
    if (m_plot.Contains(x, y)) {
        m_panActive = true;
        m_timePanAnchor = {x, y};
        m_lastPan = {x, y};
    }
    DispatchMouseEvent(MOUSE_RBUTTON_DOWN, {x, y});
}

void CChartCtrl::OnRButtonUp(int x, int y) {
    if (m_host) {
        m_host->ReleaseMouse();
    }
    m_panActive = false;
    DispatchMouseEvent(MOUSE_RBUTTON_UP, {x, y});
}

void CChartCtrl::OnRButtonDblClk(int x, int y) {
    DispatchMouseEvent(MOUSE_RBUTTON_DBLCLK, {x, y});
}

int CChartCtrl::HitTestOffsetMarker(int x, int y) const {
    if (!GetLeftAxis() || !(m_plot.left - 24 < x && x < m_plot.left)) {
        return -1;
    }
    for (const auto& [id, serie] : m_series) {
        int markerY = 0;
        if (MarkerY(*serie, markerY) && markerY - 10 <= y && y <= markerY + 10) {
            return static_cast<int>(id);
        }
    }
    return -1;
}

void CChartCtrl::DispatchMouseEvent(EnumMouseEvent event, tagChartPoint point) {
    for (auto it = m_series.rbegin(); it != m_series.rend(); ++it) {
        if (it->second->OnMouseEvent(event, point)) {
            break;
        }
    }
}
