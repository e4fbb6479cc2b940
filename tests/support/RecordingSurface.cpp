#include "RecordingSurface.h"

namespace {

const tagChartFontDesc kDefaultFont{"System", 80};

size_t CodePoints(const std::string& text) {
    size_t n = 0;
    for (unsigned char c : text) {
        n += (c & 0xC0) != 0x80;
    }
    return n;
}

} // namespace

tagChartPen CRecordingSurface::SelectPen(const tagChartPen& pen) {
    const tagChartPen previous = m_pen;
    m_pen = pen;
    return previous;
}

tagChartBrush CRecordingSurface::SelectBrush(const tagChartBrush& brush) {
    const tagChartBrush previous = m_brush;
    m_brush = brush;
    return previous;
}

std::shared_ptr<CChartFont> CRecordingSurface::SelectFont(std::shared_ptr<CChartFont> font) {
    std::shared_ptr<CChartFont> previous = std::move(m_font);
    m_font = std::move(font);
    return previous;
}

std::shared_ptr<CChartFont> CRecordingSurface::CreateFont(const tagChartFontDesc& desc) {
    ++fontsCreated;
    return std::make_shared<CChartFont>(desc);
}

const tagChartFontDesc& CRecordingSurface::CurrentFont() const {
    return m_font ? m_font->Desc() : kDefaultFont;
}

COLORREF CRecordingSurface::SetTextColor(COLORREF colour) {
    const COLORREF previous = m_textColour;
    m_textColour = colour;
    return previous;
}

void CRecordingSurface::MoveTo(int x, int y) {
    m_position = {x, y};
}

void CRecordingSurface::LineTo(int x, int y) {
    tagSurfaceOp op{EnumSurfaceOp::Line};
    op.points = {m_position, {x, y}};
    op.pen = m_pen;
    ops.push_back(std::move(op));
    m_position = {x, y};
}

void CRecordingSurface::Polyline(const std::vector<tagChartPoint>& points) {
    tagSurfaceOp op{EnumSurfaceOp::Polyline};
    op.points = points;
    op.pen = m_pen;
    ops.push_back(std::move(op));
}

void CRecordingSurface::Polygon(const std::vector<tagChartPoint>& points) {
    tagSurfaceOp op{EnumSurfaceOp::Polygon};
    op.points = points;
    op.pen = m_pen;
    op.brush = m_brush;
    ops.push_back(std::move(op));
}

void CRecordingSurface::FillSolidRect(const tagChartRect& rect, COLORREF colour) {
    tagSurfaceOp op{EnumSurfaceOp::Fill};
    op.rect = rect;
    op.colour = colour;
    ops.push_back(std::move(op));
}

void CRecordingSurface::DrawRaisedEdge(const tagChartRect& rect) {
    tagSurfaceOp op{EnumSurfaceOp::Edge};
    op.rect = rect;
    ops.push_back(std::move(op));
}

tagChartSize CRecordingSurface::Extent(const std::string& text, const tagChartFontDesc& font) {
    const int perChar = 6 * font.sizeTenths / 80;
    return {static_cast<int>(CodePoints(text)) * perChar, 13 * font.sizeTenths / 80};
}

tagChartSize CRecordingSurface::GetTextExtent(const std::string& text) {
    return Extent(text, CurrentFont());
}

void CRecordingSurface::TextOut(int x, int y, const std::string& text) {
    tagSurfaceOp op{EnumSurfaceOp::Text};
    op.points = {{x, y}};
    op.text = text;
    op.colour = m_textColour;
    op.font = CurrentFont();
    ops.push_back(std::move(op));
}

void CRecordingSurface::SetClipRect(const tagChartRect& rect) {
    tagSurfaceOp op{EnumSurfaceOp::Clip};
    op.rect = rect;
    ops.push_back(std::move(op));
}

void CRecordingSurface::ResetClip() {
    ops.push_back({EnumSurfaceOp::ResetClip});
}

void CRecordingSurface::DrawBuffer(const CChartBuffer&) {
    ops.push_back({EnumSurfaceOp::Buffer});
}

std::unique_ptr<CChartBuffer> CFakeChartHost::CreateBuffer(tagChartSize size) {
    auto buffer = std::make_unique<CRecordingBuffer>(size);
    lastBuffer = &buffer->surface;
    ++buffersCreated;
    return buffer;
}
