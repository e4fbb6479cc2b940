#include "QtChartSurface.h"

#include "PixelRuns.h"
#include "QtColour.h"

#include <QFontDatabase>

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include <QFontMetrics>
#include <QLine>
#include <QPolygon>
#include <QVarLengthArray>

namespace {

QString ToQString(const std::string& text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QPolygon ToPolygon(const std::vector<tagChartPoint>& points) {
    QPolygon polygon;
    polygon.reserve(static_cast<qsizetype>(points.size()));
    for (const tagChartPoint& p : points) {
        polygon.append(QPoint(p.x, p.y));
    }
    return polygon;
}

} // namespace

CQtChartFont::CQtChartFont(const tagChartFontDesc& desc)
    : CChartFont(desc), m_font(CQtChartSurface::MakeFont(desc)), m_metrics(m_font) {}

int CQtChartFont::Width(const std::string& text) const {
    if (const auto known = m_widths.find(text); known != m_widths.end()) {
        return known->second;
    }
    if (m_widths.size() >= kKeptTexts) {
        m_widths.clear();
    }
    return m_widths.emplace(text, m_metrics.horizontalAdvance(ToQString(text))).first->second;
}

const QStaticText* CQtChartFont::Laid(const std::string& text) const {
    // Laid out at its second showing: the time labels of a scrolling axis are new at every frame,
    // and keeping each of them would cost more than drawing it once.
    const auto [known, first] = m_laid.try_emplace(text);
    if (first) {
        if (m_laid.size() > kKeptTexts) {
            m_laid.clear();
        }
        return nullptr;
    }
    if (!known->second) {
        QStaticText& laid = known->second.emplace(ToQString(text));
        laid.setTextFormat(Qt::PlainText);
        laid.setPerformanceHint(QStaticText::AggressiveCaching);
    }
    return &*known->second;
}

QColor CQtChartSurface::ToQColor(COLORREF colour) {
    return g_ToQColor(colour);
}

QFont CQtChartSurface::MakeFont(const tagChartFontDesc& desc) {
    QFont font;
    QStringList families;
    const QString face = ToQString(desc.face);
    if (QFontDatabase::hasFamily(face)) {
        families << face;
    }
    // Common sans-serif faces of Linux desktops, then one that has the Chinese characters.
    families << QStringLiteral("DejaVu Sans") << QStringLiteral("Liberation Sans")
             << QStringLiteral("WenQuanYi Micro Hei");
    font.setFamilies(families);
    font.setStyleHint(QFont::SansSerif);
    font.setPointSizeF(desc.sizeTenths / 10.0);
    font.setBold(desc.bold);
    font.setItalic(desc.italic);
    font.setUnderline(desc.underline);
    return font;
}

CQtChartSurface::CQtChartSurface(QPainter& painter)
    : m_painter(painter), m_defaultFont(SharedFont(tagChartFontDesc{"Microsoft Sans Serif", 80})) {
    m_painter.setRenderHint(QPainter::Antialiasing, false);
    m_image = dynamic_cast<QImage*>(m_painter.device());
    m_scale = m_painter.device() ? m_painter.device()->devicePixelRatioF() : 1.0;
    m_painter.setFont(m_defaultFont->Font());
    m_painter.setBrush(Qt::NoBrush);
    ApplyPen();
}

void CQtChartSurface::DrawThinLines(const QLine* lines, int count) {
    // Straight lines are runs a pixel thick, written straight into a back buffer (a dotted grid is
    // thousands of them, so what they share is worked out once); slanted ones get a pen one pixel
    // wide. Both leave out their end point.
    const QPen thin = m_painter.pen();
    const QColor colour = thin.color();
    const bool direct = Direct();
    const QRect clip = direct ? DeviceClip() : QRect();
    const QRgb pixel = colour.rgb();
    uchar* bits = direct ? m_image->bits() : nullptr; // once: each call checks for sharing
    const qsizetype stride = direct ? m_image->bytesPerLine() : 0;
    for (int i = 0; i < count; ++i) {
        const QLine& line = lines[i];
        const int dx = line.dx(), dy = line.dy();
        if ((dy == 0) != (dx == 0)) {
            const QRect run = dy == 0 ? QRect(dx > 0 ? line.x1() : line.x2() + 1, line.y1(), std::abs(dx), 1)
                                      : QRect(line.x1(), dy > 0 ? line.y1() : line.y2() + 1, 1, std::abs(dy));
            if (!direct) {
                m_painter.fillRect(run, colour);
                continue;
            }
            const int left = std::max(Device(run.left()), clip.left());
            const int right = std::min(Device(run.left() + run.width()), clip.right() + 1);
            const int top = std::max(Device(run.top()), clip.top());
            const int bottom = std::min(Device(run.top() + run.height()), clip.bottom() + 1);
            g_WriteRows(bits, stride, left, top, right, bottom, pixel);
        } else if (dx != 0) {
            QPen wide = thin;
            wide.setWidthF(m_scale == 1.0 ? 0.0 : 1.0);
            wide.setCapStyle(Qt::FlatCap);
            m_painter.setPen(wide);
            m_painter.drawLine(line);
            m_painter.setPen(thin);
        }
    }
}

void CQtChartSurface::ApplyPen() {
    if (m_pen.none) {
        m_painter.setPen(Qt::NoPen);
        return;
    }
    QPen pen(ToQColor(m_pen.colour));
    pen.setWidth(m_pen.width <= 1 ? 0 : m_pen.width);
    pen.setCapStyle(Qt::FlatCap);
    pen.setJoinStyle(Qt::MiterJoin);
    m_painter.setPen(pen);
}

tagChartPen CQtChartSurface::SelectPen(const tagChartPen& pen) {
    const tagChartPen previous = m_pen;
    m_pen = pen;
    ApplyPen();
    return previous;
}

tagChartBrush CQtChartSurface::SelectBrush(const tagChartBrush& brush) {
    const tagChartBrush previous = m_brush;
    m_brush = brush;
    m_painter.setBrush(brush.none ? QBrush(Qt::NoBrush) : QBrush(ToQColor(brush.colour)));
    return previous;
}

const CQtChartFont& CQtChartSurface::CurrentFont() const {
    if (auto* font = dynamic_cast<const CQtChartFont*>(m_font.get())) {
        return *font;
    }
    return *m_defaultFont;
}

std::shared_ptr<CChartFont> CQtChartSurface::SelectFont(std::shared_ptr<CChartFont> font) {
    std::shared_ptr<CChartFont> previous = std::move(m_font);
    m_font = std::move(font);
    m_painter.setFont(CurrentFont().Font());
    return previous;
}

std::shared_ptr<CChartFont> CQtChartSurface::CreateFont(const tagChartFontDesc& desc) {
    return SharedFont(desc);
}

std::shared_ptr<CQtChartFont> CQtChartSurface::SharedFont(const tagChartFontDesc& desc) {
    // One object per description: asking the font database costs more than drawing the chart's
    // texts, and what a font keeps of its texts outlives a surface (a frame painted on the screen
    // has a surface of its own).
    static std::vector<std::shared_ptr<CQtChartFont>> made;
    for (const auto& font : made) {
        if (font->Desc() == desc) {
            return font;
        }
    }
    return made.emplace_back(std::make_shared<CQtChartFont>(desc));
}

COLORREF CQtChartSurface::SetTextColor(COLORREF colour) {
    const COLORREF previous = m_textColour;
    m_textColour = colour;
    return previous;
}

void CQtChartSurface::MoveTo(int x, int y) {
    m_position = QPoint(x, y);
}

void CQtChartSurface::LineTo(int x, int y) {
    // Qt's thin lines, like the classic line call, leave out their end point.
    if (!m_pen.none && QPoint(x, y) != m_position) {
        const QLine line(m_position, QPoint(x, y));
        DrawThinLines(&line, 1);
    }
    m_position = QPoint(x, y);
}

void CQtChartSurface::Segments(const std::vector<std::pair<tagChartPoint, tagChartPoint>>& segments) {
    // One call for all: a dotted grid is thousands of dashes.
    QVarLengthArray<QLine, 1024> lines;
    for (const auto& [from, to] : segments) {
        if (from.x != to.x || from.y != to.y) {
            lines.append(QLine(from.x, from.y, to.x, to.y));
        }
        m_position = QPoint(to.x, to.y);
    }
    if (!m_pen.none) {
        DrawThinLines(lines.data(), static_cast<int>(lines.size()));
    }
}

int CQtChartSurface::Device(int pixel) const {
    return m_scale == 1.0 ? pixel : ChartRound(pixel * m_scale);
}

QRect CQtChartSurface::DeviceRect(int x, int y, int w, int h) const {
    return QRect(Device(x), Device(y), Device(x + w) - Device(x), Device(y + h) - Device(y));
}

QRect CQtChartSurface::DeviceRun(int x, int y, int w, int h) const {
    return DeviceRect(x, y, w, h).intersected(DeviceClip());
}

QRect CQtChartSurface::DeviceClip() const {
    const QRect clip = m_image->rect();
    return m_clip ? clip.intersected(
                        DeviceRect(m_clip->left(), m_clip->top(), m_clip->width(), m_clip->height()))
                  : clip;
}

bool CQtChartSurface::Direct() const {
    return m_image && m_painter.transform().isIdentity() &&
           (m_image->format() == QImage::Format_RGB32 || m_image->format() == QImage::Format_ARGB32 ||
            m_image->format() == QImage::Format_ARGB32_Premultiplied); // opaque pixels: the same bits
}

void CQtChartSurface::Polyline(const std::vector<tagChartPoint>& points) {
    if (points.size() < 2 || m_pen.none) {
        return;
    }
    // Wide pens stroke outlines, which costs tens of milliseconds for six long traces. A trace is
    // drawn instead pixel-exact: straight runs (the columns of a dense trace) as filled
    // rectangles, slanted ones as parallel one-pixel lines shifted across their main direction.
    const int width = std::max(m_pen.width, 1);
    const int lead = (width - 1) / 2; // pixels before the centre line
    const QColor colour = ToQColor(m_pen.colour);
    const QPen saved = m_painter.pen();
    m_painter.setPen(QPen(colour, 0));
    QVarLengthArray<QLine, 4096> lines;
    auto flush = [&] {
        DrawThinLines(lines.data(), static_cast<int>(lines.size()));
        lines.clear();
    };
    // Consecutive vertical segments in one column overlap; they are filled once as their union.
    bool columnOpen = false;
    int columnX = 0, columnTop = 0, columnBottom = 0;
    auto closeColumn = [&] {
        if (columnOpen) {
            FillRun(columnX - lead, columnTop, width, columnBottom - columnTop + 1, colour);
            columnOpen = false;
        }
    };
    for (size_t i = 1; i < points.size(); ++i) {
        const QPoint a(points[i - 1].x, points[i - 1].y);
        const QPoint b(points[i].x, points[i].y);
        if (a.x() == b.x()) {
            if (!columnOpen || columnX != a.x()) {
                closeColumn();
                columnOpen = true;
                columnX = a.x();
                columnTop = columnBottom = a.y();
            }
            columnTop = std::min({columnTop, a.y(), b.y()});
            columnBottom = std::max({columnBottom, a.y(), b.y()});
            continue;
        }
        closeColumn();
        // Like thin lines, each segment leaves out its end point; the next one starts there.
        if (a.y() == b.y()) {
            const int left = a.x() < b.x() ? a.x() : b.x() + 1;
            FillRun(left, a.y() - lead, std::abs(b.x() - a.x()), width, colour);
            continue;
        }
        const bool flat = std::abs(b.x() - a.x()) >= std::abs(b.y() - a.y());
        for (int k = 0; k < width; ++k) {
            const QPoint offset = flat ? QPoint(0, k - lead) : QPoint(k - lead, 0);
            lines.append(QLine(a + offset, b + offset));
            if (lines.size() == lines.capacity()) {
                flush();
            }
        }
    }
    closeColumn();
    flush();
    // The very last point, which no following segment covers.
    FillRun(points.back().x - lead, points.back().y - lead, width, width, colour);
    m_painter.setPen(saved);
}

void CQtChartSurface::DrawTrace(const std::vector<tagChartPoint>& deviceVertices) {
    if (!Direct()) {
        Polyline(deviceVertices); // a drawing (SVG) or a painter without a back buffer: one to one
        return;
    }
    if (deviceVertices.empty() || m_pen.none) {
        return;
    }
    const int width = std::max(1, Device(std::max(m_pen.width, 1)));
    const QRgb pixel = ToQColor(m_pen.colour).rgb();
    if (!m_tracesHeld) {
        m_traceColumns.Build(deviceVertices, width, DeviceClip());
        m_traceColumns.Fill(*m_image, pixel);
        return;
    }
    if (m_heldCount == m_heldTraces.size()) {
        m_heldTraces.emplace_back();
    }
    auto& [columns, colour] = m_heldTraces[m_heldCount++];
    columns.Build(deviceVertices, width, DeviceClip());
    colour = pixel;
}

void CQtChartSurface::BeginTraces() {
    EndTraces();
    m_tracesHeld = true;
}

void CQtChartSurface::EndTraces() {
    // Beyond a few (a trace broken by many gaps) the comparison costs more than it saves.
    constexpr size_t kMostCompared = 12;
    m_tracesHeld = false;
    const size_t compared = m_heldCount <= kMostCompared ? m_heldCount : 0;
    for (size_t k = 0; k < m_heldCount; ++k) {
        const auto& [columns, pixel] = m_heldTraces[k];
        m_above.clear();
        for (size_t j = k + 1; j < compared; ++j) {
            m_above.push_back(&m_heldTraces[j].first);
        }
        columns.FillBeneath(*m_image, pixel, m_above);
    }
    m_heldCount = 0;
}

void CQtChartSurface::Polygon(const std::vector<tagChartPoint>& points) {
    m_painter.drawPolygon(ToPolygon(points));
}

void CQtChartSurface::FillSolidRect(const tagChartRect& rect, COLORREF colour) {
    constexpr int kStreamedPixels = 1 << 16; // far beyond the first-level cache
    if (m_streamLargeFills && Direct() && rect.Width() * rect.Height() >= kStreamedPixels) {
        FillDevice(DeviceRun(rect.left, rect.top, rect.Width(), rect.Height()), ToQColor(colour).rgb(), true);
        return;
    }
    m_painter.fillRect(QRect(rect.left, rect.top, rect.Width(), rect.Height()), ToQColor(colour));
}

void CQtChartSurface::DrawRaisedEdge(const tagChartRect& rect) {
    const QPen saved = m_painter.pen();
    auto frame = [&](int inset, QColor light, QColor dark) {
        const int l = rect.left + inset;
        const int t = rect.top + inset;
        const int r = rect.right - 1 - inset;
        const int b = rect.bottom - 1 - inset;
        m_painter.setPen(QPen(light, 0));
        const QLine lit[] = {{l, t, r - 1, t}, {l, t, l, b - 1}};
        DrawThinLines(lit, 2);
        m_painter.setPen(QPen(dark, 0));
        const QLine shaded[] = {{l, b, r, b}, {r, t, r, b}};
        DrawThinLines(shaded, 2);
    };
    frame(0, QColor(227, 227, 227), QColor(105, 105, 105));
    frame(1, QColor(255, 255, 255), QColor(160, 160, 160));
    m_painter.setPen(saved);
}

tagChartSize CQtChartSurface::GetTextExtent(const std::string& text) {
    const CQtChartFont& font = CurrentFont();
    return {font.Width(text), font.Metrics().height()};
}

void CQtChartSurface::TextOut(int x, int y, const std::string& text) {
    const CQtChartFont& font = CurrentFont();
    m_painter.save();
    m_painter.setPen(ToQColor(m_textColour));
    if (font.Desc().vertical) {
        m_painter.translate(x, y);
        m_painter.rotate(-90.0);
        m_painter.drawText(0, font.Metrics().ascent(), ToQString(text));
    } else if (const QStaticText* laid = font.Laid(text)) {
        m_painter.drawStaticText(x, y, *laid);
    } else {
        m_painter.drawText(x, y + font.Metrics().ascent(), ToQString(text));
    }
    m_painter.restore();
}

void CQtChartSurface::FillRun(int x, int y, int w, int h, const QColor& colour) {
    if (!Direct()) {
        m_painter.fillRect(x, y, w, h, colour);
        return;
    }
    FillDevice(DeviceRun(x, y, w, h), colour.rgb());
}

void CQtChartSurface::FillDevice(const QRect& run, QRgb pixel, bool streamed) {
    if (run.isEmpty()) {
        return; // bits() is not asked for nothing: it checks for sharing
    }
    const auto write = streamed ? g_StreamRows : g_WriteRows;
    write(m_image->bits(), m_image->bytesPerLine(), run.left(), run.top(), run.right() + 1, run.bottom() + 1,
          pixel);
}

void CQtChartSurface::SetClipRect(const tagChartRect& rect) {
    const QRect clip(rect.left, rect.top, rect.Width(), rect.Height());
    m_painter.setClipRect(clip, m_painter.hasClipping() ? Qt::IntersectClip : Qt::ReplaceClip);
    m_clip = m_clip ? m_clip->intersected(clip) : clip;
}

void CQtChartSurface::ResetClip() {
    m_painter.setClipping(false);
    m_clip.reset();
}

void CQtChartSurface::DrawBuffer(const CChartBuffer& buffer) {
    if (auto* qtBuffer = dynamic_cast<const CQtChartBuffer*>(&buffer)) {
        m_painter.drawImage(0, 0, qtBuffer->Image());
    }
}

CQtChartBuffer::CQtChartBuffer(tagChartSize size, double scale)
    : m_image(std::max(static_cast<int>(std::ceil(size.cx * scale)), 1),
              std::max(static_cast<int>(std::ceil(size.cy * scale)), 1), QImage::Format_RGB32),
      m_size{std::max(size.cx, 1), std::max(size.cy, 1)} {
    m_image.setDevicePixelRatio(scale);
    m_image.fill(Qt::white);
}

CQtChartBuffer::~CQtChartBuffer() {
    m_surface.reset();
    m_painter.reset();
}

CChartSurface& CQtChartBuffer::Surface() {
    if (!m_painter) {
        m_painter = std::make_unique<QPainter>(&m_image);
        m_surface = std::make_unique<CQtChartSurface>(*m_painter);
    }
    return *m_surface;
}

const QImage& CQtChartBuffer::Image() const {
    if (m_painter) {
        const_cast<CQtChartBuffer*>(this)->m_surface.reset();
        m_painter.reset();
    }
    return m_image;
}
