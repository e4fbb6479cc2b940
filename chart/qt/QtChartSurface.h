// The chart's drawing surface on a QPainter, pixel-exact (no antialiasing) like the chart expects.
#pragma once

#include <vector>

#include "TraceColumns.h"
#include "chart/ChartSurface.h"

#include <QFont>
#include <QFontMetrics>
#include <QImage>
#include <QLine>
#include <QPainter>
#include <QStaticText>

#include <memory>
#include <optional>
#include <string>
#include <unordered_map>

class CQtChartFont : public CChartFont {
public:
    explicit CQtChartFont(const tagChartFontDesc& desc);
    const QFont& Font() const { return m_font; }
    const QFontMetrics& Metrics() const { return m_metrics; }
    // A text's width and its laid-out glyphs, kept: the chart sets the same labels at every
    // redraw, and shaping them again costs more than drawing the traces of a short view.
    int Width(const std::string& text) const;
    // Null while a text is new: it is then drawn as plain text.
    const QStaticText* Laid(const std::string& text) const;

private:
    // More different texts than this (a long pan through changing labels) starts the cache anew.
    static constexpr size_t kKeptTexts = 512;

    QFont m_font;
    QFontMetrics m_metrics;
    mutable std::unordered_map<std::string, int> m_widths;
    mutable std::unordered_map<std::string, std::optional<QStaticText>> m_laid;
};

class CQtChartSurface : public CChartSurface {
public:
    explicit CQtChartSurface(QPainter& painter);
    // Large fills (the background) written past the cache. For a window's backing store, which
    // the display server reads after every frame: filled through the cache, each of its lines is
    // first fetched only to be overwritten. A back buffer that stays in the cache is filled faster
    // through it.
    void StreamLargeFills() { m_streamLargeFills = true; }

    tagChartPen SelectPen(const tagChartPen& pen) override;
    tagChartBrush SelectBrush(const tagChartBrush& brush) override;
    std::shared_ptr<CChartFont> SelectFont(std::shared_ptr<CChartFont> font) override;
    std::shared_ptr<CChartFont> CreateFont(const tagChartFontDesc& desc) override;
    COLORREF SetTextColor(COLORREF colour) override;
    void SetBkTransparent() override {}

    void MoveTo(int x, int y) override;
    void LineTo(int x, int y) override;
    void Segments(const std::vector<std::pair<tagChartPoint, tagChartPoint>>& segments) override;
    void Polyline(const std::vector<tagChartPoint>& points) override;
    void Polygon(const std::vector<tagChartPoint>& points) override;
    double DeviceScale() const override { return Direct() ? m_scale : 1.0; }
    void DrawTrace(const std::vector<tagChartPoint>& deviceVertices) override;
    // Traces in between are written at the end, each only where the ones drawn after it leave its
    // pixels uncovered: overlapping bands are written once, not once per trace.
    void BeginTraces() override;
    void EndTraces() override;
    void FillSolidRect(const tagChartRect& rect, COLORREF colour) override;
    void DrawRaisedEdge(const tagChartRect& rect) override;
    tagChartSize GetTextExtent(const std::string& text) override;
    void TextOut(int x, int y, const std::string& text) override;
    void SetClipRect(const tagChartRect& rect) override;
    void ResetClip() override;
    void DrawBuffer(const CChartBuffer& buffer) override;

    static QColor ToQColor(COLORREF colour);
    // The face the chart asks for, or a sans-serif face of this machine.
    static QFont MakeFont(const tagChartFontDesc& desc);
    // The one font object of a description.
    static std::shared_ptr<CQtChartFont> SharedFont(const tagChartFontDesc& desc);

private:
    void ApplyPen();
    // One-pixel lines, as many device pixels wide as a pixel is: straight ones as runs of pixels,
    // slanted ones with a pen of a pixel's width.
    void DrawThinLines(const QLine* lines, int count);
    // A solid rectangle, written straight into the back buffer when painting on one without a
    // transform (trace columns are thousands of these per redraw), else through the painter.
    void FillRun(int x, int y, int w, int h, const QColor& colour);
    // Whether the drawing goes straight into the back buffer's pixels.
    bool Direct() const;
    // A rectangle of pixels in the back buffer's device pixels, within it and the clip.
    QRect DeviceRun(int x, int y, int w, int h) const;
    // Pixels to the back buffer's device pixels, and a rectangle of them without any clipping.
    int Device(int pixel) const;
    QRect DeviceRect(int x, int y, int w, int h) const;
    QRect DeviceClip() const;
    // Past the cache when streamed (see StreamLargeFills).
    void FillDevice(const QRect& run, QRgb pixel, bool streamed = false);

    const CQtChartFont& CurrentFont() const;

    QPainter& m_painter;
    tagChartPen m_pen;
    tagChartBrush m_brush{0, true};
    std::shared_ptr<CChartFont> m_font;
    std::shared_ptr<CQtChartFont> m_defaultFont;
    COLORREF m_textColour = 0;
    QPoint m_position;
    QImage* m_image = nullptr; // the painter's device when it is a back buffer
    double m_scale = 1.0;      // its device pixels per logical pixel
    bool m_streamLargeFills = false;
    CTraceColumns m_traceColumns; // kept between traces for its storage
    bool m_tracesHeld = false;
    std::vector<std::pair<CTraceColumns, QRgb>> m_heldTraces; // the first m_heldCount are in use
    size_t m_heldCount = 0;
    std::vector<const CTraceColumns*> m_above;
    std::optional<QRect> m_clip;
};

// A back buffer: an image with a painter that stays open while the chart draws into it. The chart
// draws in logical pixels; the image has scale device pixels to each (the screen's device pixel
// ratio), so that lines and text stay sharp on high-density displays.
class CQtChartBuffer : public CChartBuffer {
public:
    explicit CQtChartBuffer(tagChartSize size, double scale = 1.0);
    ~CQtChartBuffer() override;

    CChartSurface& Surface() override;
    // In logical pixels.
    tagChartSize Size() const override { return m_size; }
    // Ends any drawing in progress and gives the picture.
    const QImage& Image() const;

private:
    mutable QImage m_image;
    tagChartSize m_size;
    mutable std::unique_ptr<QPainter> m_painter;
    std::unique_ptr<CQtChartSurface> m_surface;
};
