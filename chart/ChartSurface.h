// The drawing operations the chart needs. The Qt layer paints them with QPainter; tests record them.
#pragma once

#include "ChartGeometry.h"

#include <memory>
#include <string>
#include <utility>
#include <vector>

struct tagChartFontDesc {
    std::string face;
    int sizeTenths = 100; // tenths of a point
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool vertical = false; // text turned by 90 degrees, reading upwards
    bool operator==(const tagChartFontDesc&) const = default;
};

// A font object made by a surface for a description.
class CChartFont {
public:
    explicit CChartFont(tagChartFontDesc desc) : m_desc(std::move(desc)) {}
    virtual ~CChartFont() = default;
    const tagChartFontDesc& Desc() const { return m_desc; }

private:
    tagChartFontDesc m_desc;
};

struct tagChartPen {
    int width = 0; // 0 and 1 both mean one pixel
    COLORREF colour = 0;
    bool none = false;
    bool operator==(const tagChartPen&) const = default;
};

struct tagChartBrush {
    COLORREF colour = 0;
    bool none = false;
    bool operator==(const tagChartBrush&) const = default;
};

class CChartBuffer;

class CChartSurface {
public:
    virtual ~CChartSurface() = default;

    // Each Select returns what was selected before, so callers can restore it.
    virtual tagChartPen SelectPen(const tagChartPen& pen) = 0;
    virtual tagChartBrush SelectBrush(const tagChartBrush& brush) = 0;
    // nullptr selects the surface's default font.
    virtual std::shared_ptr<CChartFont> SelectFont(std::shared_ptr<CChartFont> font) = 0;
    virtual std::shared_ptr<CChartFont> CreateFont(const tagChartFontDesc& desc) = 0;
    virtual COLORREF SetTextColor(COLORREF colour) = 0;
    virtual void SetBkTransparent() = 0;

    virtual void MoveTo(int x, int y) = 0;
    // Draws from the current position; the end point itself is not drawn.
    virtual void LineTo(int x, int y) = 0;
    // Many lines, each as MoveTo(from) and LineTo(to).
    virtual void Segments(const std::vector<std::pair<tagChartPoint, tagChartPoint>>& segments) {
        for (const auto& [from, to] : segments) {
            MoveTo(from.x, from.y);
            LineTo(to.x, to.y);
        }
    }
    virtual void Polyline(const std::vector<tagChartPoint>& points) = 0;
    // Device pixels per logical pixel of what the surface paints into.
    virtual double DeviceScale() const { return 1.0; }
    // A trace with the selected pen: a polyline given in device pixels, one logical pixel wide.
    virtual void DrawTrace(const std::vector<tagChartPoint>& deviceVertices) { Polyline(deviceVertices); }
    // The traces between these two calls may be painted at the second one, as long as each later
    // one shows over the earlier ones: no other drawing in between may overlap them.
    virtual void BeginTraces() {}
    virtual void EndTraces() {}
    // Filled with the brush, outlined with the pen.
    virtual void Polygon(const std::vector<tagChartPoint>& points) = 0;
    virtual void FillSolidRect(const tagChartRect& rect, COLORREF colour) = 0;
    // A raised double edge just inside the rectangle.
    virtual void DrawRaisedEdge(const tagChartRect& rect) = 0;

    virtual tagChartSize GetTextExtent(const std::string& text) = 0;
    // Text with its top-left corner (for turned text: its start, bottom-left) at the point.
    virtual void TextOut(int x, int y, const std::string& text) = 0;

    // Limits drawing to the rectangle (within any earlier limit) until ResetClip.
    virtual void SetClipRect(const tagChartRect& rect) = 0;
    virtual void ResetClip() = 0;

    // Copies a back buffer to this surface at (0, 0).
    virtual void DrawBuffer(const CChartBuffer& buffer) = 0;
};

// An off-screen surface of a fixed size.
class CChartBuffer {
public:
    virtual ~CChartBuffer() = default;
    virtual CChartSurface& Surface() = 0;
    virtual tagChartSize Size() const = 0;
};
