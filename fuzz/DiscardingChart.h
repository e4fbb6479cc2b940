// A chart with the main window's traces whose drawing goes nowhere, for the fuzz targets: the
// chart's arithmetic runs in full, with text measured as the test surface measures it, but no
// drawing command is stored.
#pragma once

#include "acquisition/TraceSet.h"

#include <memory>
#include <utility>
#include <vector>

class CDiscardingSurface : public CChartSurface {
public:
    tagChartPen SelectPen(const tagChartPen& pen) override { return std::exchange(m_pen, pen); }
    tagChartBrush SelectBrush(const tagChartBrush& brush) override { return std::exchange(m_brush, brush); }
    std::shared_ptr<CChartFont> SelectFont(std::shared_ptr<CChartFont> font) override {
        return std::exchange(m_font, std::move(font));
    }
    std::shared_ptr<CChartFont> CreateFont(const tagChartFontDesc& desc) override {
        return std::make_shared<CChartFont>(desc);
    }
    COLORREF SetTextColor(COLORREF colour) override { return std::exchange(m_text, colour); }
    void SetBkTransparent() override {}
    void MoveTo(int, int) override {}
    void LineTo(int, int) override {}
    void Polyline(const std::vector<tagChartPoint>&) override {}
    void Polygon(const std::vector<tagChartPoint>&) override {}
    void FillSolidRect(const tagChartRect&, COLORREF) override {}
    void DrawRaisedEdge(const tagChartRect&) override {}
    tagChartSize GetTextExtent(const std::string& text) override {
        return {static_cast<int>(6 * text.size()), 13};
    }
    void TextOut(int, int, const std::string&) override {}
    void SetClipRect(const tagChartRect&) override {}
    void ResetClip() override {}
    void DrawBuffer(const CChartBuffer&) override {}

private:
    tagChartPen m_pen;
    tagChartBrush m_brush;
    std::shared_ptr<CChartFont> m_font;
    COLORREF m_text = 0;
};

class CDiscardingBuffer : public CChartBuffer {
public:
    explicit CDiscardingBuffer(tagChartSize size) : m_size(size) {}
    CChartSurface& Surface() override { return m_surface; }
    tagChartSize Size() const override { return m_size; }

private:
    CDiscardingSurface m_surface;
    tagChartSize m_size;
};

class CDiscardingHost : public CChartHost {
public:
    tagChartRect ClientRect() const override { return {0, 0, 800, 500}; }
    std::unique_ptr<CChartBuffer> CreateBuffer(tagChartSize size) override {
        return std::make_unique<CDiscardingBuffer>(size);
    }
    void Invalidate() override {}
    void UpdateNow() override {}
    void CaptureMouse() override {}
    void ReleaseMouse() override {}
    void SetPointer(EnumChartPointer) override {}
    COLORREF ButtonFaceColour() const override { return 0xF0F0F0; }
};

// The main window's chart and traces, made once for all inputs.
struct tagDiscardingChart {
    tagDiscardingChart() {
        chart.SetHost(&host);
        traces = std::make_unique<CTraceSet>(chart, "Timeline(ms)", 1000, true, tagTraceCallbacks{});
    }
    CDiscardingHost host;
    CChartCtrl chart;
    std::unique_ptr<CTraceSet> traces;
};
