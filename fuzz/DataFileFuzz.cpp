// The data file reader on arbitrary bytes: it may call a file damaged, never crash, read out of
// bounds or allocate more than the input can fill; and the chart draws whatever it read.
#include "acquisition/TraceSet.h"
#include "files/DataFile.h"

#include <cstddef>
#include <cstdint>
#include <utility>
#include <vector>

namespace {

// A drawing surface that keeps nothing: the chart's arithmetic runs in full, with text measured as
// the test surface measures it, but no drawing command is stored.
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
struct tagChart {
    tagChart() {
        chart.SetHost(&host);
        traces = std::make_unique<CTraceSet>(chart, "Timeline(ms)", 1000, true, tagTraceCallbacks{});
    }
    CDiscardingHost host;
    CChartCtrl chart;
    std::unique_ptr<CTraceSet> traces;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static tagChart c;
    CTraceSet& traces = *c.traces;
    std::vector<uint8_t> bytes(data, data + size);
    tagMonitorState state;
    CBinaryArchive archive(bytes, CBinaryArchive::Load);
    c.chart.SetRedrawEnabled(false); // as the program loads
    try {
        SerializeData(archive, state, traces, nullptr);
    } catch (const CArchiveException&) {
        // a damaged file: what was read stays, which the next input resets
    }
    // Whatever was read must draw: damaged numbers may not reach the pixel arithmetic.
    traces.TimeAxis().ResetZoom();
    traces.ValueAxis().ResetZoom();
    c.chart.SetRedrawEnabled(true);
    c.chart.RedrawChart();
    // What was read must be whole: every channel name and every point within the input.
    size_t points = 0;
    for (size_t k = 0; k < kMaxChannels; ++k) {
        points += traces.Serie(k).GetPointCount();
    }
    if (points * 16 > size || state.channels.size() > kMaxFileChannels) {
        __builtin_trap();
    }
    return 0;
}
