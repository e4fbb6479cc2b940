// A drawing surface that records every call, with fixed text metrics (6 x 13 pixels per character at
// 8 pt, scaled with the size), so that layouts come out exact. Also a host window for the chart.
#pragma once

#include "chart/ChartHost.h"
#include "chart/ChartSurface.h"

#include <string>
#include <vector>

enum class EnumSurfaceOp { Line, Polyline, Polygon, Fill, Edge, Text, Clip, ResetClip, Buffer };

struct tagSurfaceOp {
    tagSurfaceOp(EnumSurfaceOp kind) : op(kind) {} // NOLINT: lets ops.push_back({kind}) read naturally

    EnumSurfaceOp op;
    std::vector<tagChartPoint> points; // line: from, to
    tagChartRect rect;
    std::string text;
    tagChartPen pen;
    tagChartBrush brush;
    COLORREF colour = 0; // fill or text colour
    tagChartFontDesc font;
};

class CRecordingSurface : public CChartSurface {
public:
    tagChartPen SelectPen(const tagChartPen& pen) override;
    tagChartBrush SelectBrush(const tagChartBrush& brush) override;
    std::shared_ptr<CChartFont> SelectFont(std::shared_ptr<CChartFont> font) override;
    std::shared_ptr<CChartFont> CreateFont(const tagChartFontDesc& desc) override;
    COLORREF SetTextColor(COLORREF colour) override;
    void SetBkTransparent() override {}
    void MoveTo(int x, int y) override;
    void LineTo(int x, int y) override;
    void Polyline(const std::vector<tagChartPoint>& points) override;
    void Polygon(const std::vector<tagChartPoint>& points) override;
    void FillSolidRect(const tagChartRect& rect, COLORREF colour) override;
    void DrawRaisedEdge(const tagChartRect& rect) override;
    tagChartSize GetTextExtent(const std::string& text) override;
    void TextOut(int x, int y, const std::string& text) override;
    void SetClipRect(const tagChartRect& rect) override;
    void ResetClip() override;
    void DrawBuffer(const CChartBuffer& buffer) override;

    static tagChartSize Extent(const std::string& text, const tagChartFontDesc& font);
    const tagChartFontDesc& CurrentFont() const;

    std::vector<tagSurfaceOp> ops;
    int fontsCreated = 0;

private:
    tagChartPen m_pen;
    tagChartBrush m_brush{0, true};
    std::shared_ptr<CChartFont> m_font;
    COLORREF m_textColour = 0;
    tagChartPoint m_position;
};

class CRecordingBuffer : public CChartBuffer {
public:
    explicit CRecordingBuffer(tagChartSize size) : m_size(size) {}
    CChartSurface& Surface() override { return surface; }
    tagChartSize Size() const override { return m_size; }
    CRecordingSurface surface;

private:
    tagChartSize m_size;
};

class CFakeChartHost : public CChartHost {
public:
    tagChartRect ClientRect() const override { return client; }
    std::unique_ptr<CChartBuffer> CreateBuffer(tagChartSize size) override;
    void Invalidate() override { ++invalidations; }
    void UpdateNow() override { ++updates; }
    void CaptureMouse() override { captured = true; }
    void ReleaseMouse() override { captured = false; }
    void SetPointer(EnumChartPointer p) override { pointer = p; }
    COLORREF ButtonFaceColour() const override { return 0xF0F0F0; }

    // The surface of the latest back buffer.
    CRecordingSurface* Buffer() const { return lastBuffer; }

    tagChartRect client{0, 0, 800, 500};
    int invalidations = 0;
    int updates = 0;
    int buffersCreated = 0;
    bool captured = false;
    EnumChartPointer pointer = EnumChartPointer::Arrow;
    CRecordingSurface* lastBuffer = nullptr;
};
